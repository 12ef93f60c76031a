#pragma once
// The delivered texts reach a master file that an earlier velmara made: every
// row of the delivered NLSResources that the file lacks is added, and a row
// that still holds a text an earlier velmara delivered and this one mended gets
// the mended text. A text the user changed in any other way stays as it is.
#include <QMultiHash>
#include <QString>
#include <QVector>

namespace velmara {

class Database;

struct TextRow {
    QString key;      // ResourceID
    QString language; // SprachCode
    QString text;     // ResourceText
};

// What bringTextsUpToDate did; error is empty when it could write.
struct TextUpdate {
    int added = 0;
    int mended = 0;
    QString error;
};

// "key<TAB>language" of a row, the key of the tables below.
QString textRowId(const QString& key, const QString& language);

// The rows of NLSResources of the delivered master file (read from the seed once).
const QVector<TextRow>& deliveredTexts();
// Texts delivered earlier and mended since, by textRowId (seed/mended-texts.tsv).
const QMultiHash<QString, QString>& mendedTexts();

TextUpdate bringTextsUpToDate(Database& master, const QVector<TextRow>& delivered,
                              const QMultiHash<QString, QString>& earlierTexts);
inline TextUpdate bringTextsUpToDate(Database& master) {
    return bringTextsUpToDate(master, deliveredTexts(), mendedTexts());
}

} // namespace velmara
