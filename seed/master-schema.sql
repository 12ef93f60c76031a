-- Master file velmara.mdb, schema version 1: settings, texts, languages,
-- charger models, battery types, device modes, forming cycles, limits, thinning.
CREATE TABLE Optionen (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    "key" TEXT NOT NULL UNIQUE COLLATE NOCASE,
    "value" TEXT
);
CREATE TABLE NLSResources (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ResourceID TEXT NOT NULL,
    SprachCode TEXT NOT NULL,
    ResourceText TEXT,
    UNIQUE (ResourceID, SprachCode)
);
CREATE TABLE Sprachen (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    SprachCode TEXT NOT NULL UNIQUE,
    SprachResID TEXT NOT NULL,
    Usable INTEGER NOT NULL DEFAULT 1
);
CREATE TABLE Ladegeraete (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Geraetebezeichnung TEXT NOT NULL,
    Geraetekuerzel TEXT NOT NULL UNIQUE
);
CREATE TABLE Akkutypen (
    Nr INTEGER PRIMARY KEY,
    Nennspannung REAL NOT NULL,
    ZminQMT1 INTEGER NOT NULL,
    ZmaxQMT1 INTEGER NOT NULL,
    ZminQMT4 INTEGER NOT NULL,
    ZmaxQMT4 INTEGER NOT NULL,
    SprachId TEXT NOT NULL,
    Usable INTEGER NOT NULL DEFAULT 1
);
CREATE TABLE GeraeteModi (
    ModusNr INTEGER PRIMARY KEY,
    LBlock INTEGER NOT NULL DEFAULT 0,
    EBlock INTEGER NOT NULL DEFAULT 0,
    TSel INTEGER NOT NULL DEFAULT 0,
    FormCbo INTEGER NOT NULL DEFAULT 0,
    TageText INTEGER NOT NULL DEFAULT 0,
    Ladeschluss INTEGER NOT NULL DEFAULT 0,
    Entladeschluss INTEGER NOT NULL DEFAULT 0,
    SprachId TEXT NOT NULL
);
CREATE TABLE FormierModi (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Modus TEXT NOT NULL,
    SendeCode INTEGER NOT NULL
);
CREATE TABLE MinMaxWerte (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Bez TEXT NOT NULL UNIQUE,
    Kommentar TEXT,
    MinQmt1 REAL NOT NULL,
    MaxQmt1 REAL NOT NULL,
    MinQmt4 REAL NOT NULL,
    MaxQmt4 REAL NOT NULL
);
CREATE TABLE DiagramPoints (
    ID INTEGER PRIMARY KEY,
    Schwellwert INTEGER NOT NULL,
    xteWert INTEGER NOT NULL CHECK (xteWert >= 1)
);
