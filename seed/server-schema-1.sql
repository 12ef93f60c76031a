-- The shared user data on a PostgreSQL server, schema version 1: the
-- batteries, series, values and programs of every station. A series names the
-- station and channel that recorded it. A value is keyed by its series and its
-- place in it (Seq), and by the station that shipped it with that station's
-- own sequence, so a value shipped twice is stored once.
CREATE TABLE velmara_schema (version integer NOT NULL);
INSERT INTO velmara_schema VALUES (0);
CREATE TABLE Programme (
    ProgrammID bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    Bez text NOT NULL UNIQUE,
    daten text
);
CREATE TABLE Akkus (
    AkkuId bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    AkkuName text NOT NULL UNIQUE,
    bemerkung text
);
CREATE TABLE MessReihen (
    MessReiheID bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    AkkuId bigint NOT NULL REFERENCES Akkus (AkkuId) ON DELETE CASCADE,
    Nummer integer,
    bemerkung text,
    Datum text,
    Programm text,
    Mode text,
    Station text NOT NULL,
    Kanal integer,
    UNIQUE (AkkuId, Nummer)
);
CREATE TABLE MessWerte (
    MessReiheID bigint NOT NULL REFERENCES MessReihen (MessReiheID) ON DELETE CASCADE,
    Seq bigint NOT NULL,
    EW boolean NOT NULL DEFAULT false,
    MessWertString text NOT NULL,
    Station text NOT NULL,
    StationSeq bigint NOT NULL,
    PRIMARY KEY (MessReiheID, Seq),
    UNIQUE (Station, StationSeq)
);
