-- User file schema version 3: stations. A series names the station and the
-- channel that recorded it. With the user data on a server, a value recorded
-- here is first stored in ServerAusgang, in the same transaction as it is
-- accepted, and leaves it once the server has it; Seq, never given twice,
-- is this station's sequence number for the value. StationKey names this
-- file's station to the server, made once and kept.
ALTER TABLE MessReihen ADD COLUMN Station TEXT;
ALTER TABLE MessReihen ADD COLUMN Kanal INTEGER;
CREATE TABLE ServerAusgang (
    Seq INTEGER PRIMARY KEY AUTOINCREMENT,
    MessReiheID INTEGER NOT NULL,
    EW INTEGER NOT NULL DEFAULT 0,
    MessWertString TEXT NOT NULL
);
CREATE TABLE Station (StationKey TEXT NOT NULL);
INSERT INTO Station (StationKey) VALUES (lower(hex(randomblob(16))));
