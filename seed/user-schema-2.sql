-- User file schema version 2: series being imported. An import moves its
-- values into MessWerte over many short transactions under a series without
-- a number, listed here, which no list of series shows; the transaction that
-- moves the last values numbers the series and removes its row here. A row
-- left behind (the program ended during an import) is removed with its
-- series, its values and the battery made for it when the file is opened.
CREATE TABLE ImportMessReihen (
    MessReiheID INTEGER PRIMARY KEY REFERENCES MessReihen (MessReiheID) ON DELETE CASCADE,
    NeuerAkku INTEGER
);
