-- The shared user data on a PostgreSQL server, schema version 1: the
-- batteries, series, values and programs of every station. A series names the
-- station and channel that recorded it. A value is keyed by its series and its
-- place in it (Seq); a value a station shipped also carries that station's key
-- and its own sequence number, so a value shipped twice is stored once.
CREATE TABLE velmara_schema (version integer NOT NULL);
INSERT INTO velmara_schema VALUES (0);
CREATE TABLE Programme (
    ProgrammID bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    Bez text NOT NULL UNIQUE,
    Daten text
);
CREATE TABLE Akkus (
    AkkuId integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    AkkuName text NOT NULL UNIQUE,
    bemerkung text
);
CREATE TABLE MessReihen (
    MessReiheID integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    AkkuId integer NOT NULL REFERENCES Akkus (AkkuId) ON DELETE CASCADE,
    Nummer integer,
    bemerkung text,
    Datum text,
    Programm text,
    Mode text,
    Station text NOT NULL DEFAULT '',
    Kanal integer,
    UNIQUE (AkkuId, Nummer) DEFERRABLE INITIALLY DEFERRED
);
-- Series of an import still running, the battery made for it, and the
-- station that imports it (what is left of a station's unfinished import is
-- that station's to remove).
CREATE TABLE ImportMessReihen (
    MessReiheID integer PRIMARY KEY REFERENCES MessReihen (MessReiheID) ON DELETE CASCADE,
    NeuerAkku integer REFERENCES Akkus (AkkuId) ON DELETE CASCADE,
    StationKey text NOT NULL
);
CREATE TABLE MessWerte (
    MessReiheID integer NOT NULL REFERENCES MessReihen (MessReiheID) ON DELETE CASCADE,
    Seq bigint NOT NULL,
    EW boolean NOT NULL DEFAULT false,
    MessWertString text NOT NULL,
    StationKey text,
    StationSeq bigint,
    PRIMARY KEY (MessReiheID, Seq),
    UNIQUE (MessReiheID, StationKey, StationSeq)
);
-- What a station's user file copied onto the server (velmara-db push): per
-- file (its station key), kind of row ('Akku', 'Programm') and the row's key
-- in the file, the row it became here. Written in the transaction that copies
-- the row, so copying the same file again adds nothing.
CREATE TABLE Uebernahmen (
    StationKey text NOT NULL,
    Art text NOT NULL,
    LokalId bigint NOT NULL,
    ServerId bigint NOT NULL,
    PRIMARY KEY (StationKey, Art, LokalId)
);
