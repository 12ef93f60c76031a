-- User file veluser.mdb, schema version 1: programs, batteries, series, values.
-- Ids ascend in insert order; a deleted battery takes its series and their
-- values with it.
CREATE TABLE Programme (
    ProgrammID INTEGER PRIMARY KEY AUTOINCREMENT,
    Bez TEXT NOT NULL,
    daten TEXT
);
CREATE TABLE Akkus (
    AkkuId INTEGER PRIMARY KEY AUTOINCREMENT,
    AkkuName TEXT NOT NULL,
    bemerkung TEXT
);
CREATE TABLE MessReihen (
    MessReiheID INTEGER PRIMARY KEY AUTOINCREMENT,
    AkkuId INTEGER NOT NULL REFERENCES Akkus (AkkuId) ON DELETE CASCADE,
    Nummer INTEGER,
    bemerkung TEXT,
    Datum TEXT,
    Programm TEXT,
    Mode TEXT
);
CREATE INDEX MessReihen_Akku ON MessReihen (AkkuId);
CREATE TABLE MessWerte (
    MessWertId INTEGER PRIMARY KEY AUTOINCREMENT,
    MessReiheID INTEGER NOT NULL REFERENCES MessReihen (MessReiheID) ON DELETE CASCADE,
    EW INTEGER NOT NULL DEFAULT 0,
    MessWertString TEXT
);
CREATE INDEX MessWerte_Reihe ON MessWerte (MessReiheID, MessWertId);
CREATE TABLE TempMessWerte (
    MessWertId INTEGER PRIMARY KEY AUTOINCREMENT,
    MessReiheID INTEGER,
    EW INTEGER NOT NULL DEFAULT 0,
    MessWertString TEXT
);
CREATE INDEX TempMessWerte_Reihe ON TempMessWerte (MessReiheID, MessWertId);
CREATE TABLE TempTempMessWerte (
    MessWertId INTEGER PRIMARY KEY,
    MessReiheID INTEGER,
    EW INTEGER NOT NULL DEFAULT 0,
    MessWertString TEXT
);
