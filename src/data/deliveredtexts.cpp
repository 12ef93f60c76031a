#include "data/deliveredtexts.h"

#include "data/schema.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QFile>
#include <QHash>

static void initDeliveredTextsResource() {
    Q_INIT_RESOURCE(seed);
}

namespace velmara {

namespace {

const QString kSelectTexts =
    QStringLiteral("SELECT ResourceID, SprachCode, ResourceText FROM NLSResources");

QVector<TextRow> readTexts(Database& db) {
    QVector<TextRow> rows;
    auto rs = db.openRecordset(kSelectTexts);
    if (!rs->isValid())
        return rows;
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        rows.append({rs->text(QStringLiteral("ResourceID")), rs->text(QStringLiteral("SprachCode")),
                     rs->text(QStringLiteral("ResourceText"))});
    return rows;
}

// The delivered file, made in memory from the seed, so that its rows are read
// exactly as a new master file would hold them.
QVector<TextRow> readDeliveredTexts() {
    auto db = Database::open(QStringLiteral(":memory:"), QString(), nullptr, false);
    if (!db || upgradeSchema(*db, masterSchemaSteps(), nullptr) == UpgradeResult::Failed ||
        !db->execute(masterSeedRows()))
        return {};
    return readTexts(*db);
}

QMultiHash<QString, QString> readMendedTexts() {
    initDeliveredTextsResource();
    QMultiHash<QString, QString> earlier;
    QFile f(QStringLiteral(":/seed/mended-texts.tsv"));
    if (!f.open(QIODevice::ReadOnly))
        return earlier;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() == 3)
            earlier.insert(textRowId(parts[0], parts[1]), parts[2]);
    }
    return earlier;
}

} // namespace

QString textRowId(const QString& key, const QString& language) {
    return key + QLatin1Char('\t') + language;
}

const QVector<TextRow>& deliveredTexts() {
    static const QVector<TextRow> rows = readDeliveredTexts();
    return rows;
}

const QMultiHash<QString, QString>& mendedTexts() {
    static const QMultiHash<QString, QString> texts = readMendedTexts();
    return texts;
}

TextUpdate bringTextsUpToDate(Database& master, const QVector<TextRow>& delivered,
                              const QMultiHash<QString, QString>& earlierTexts) {
    TextUpdate update;
    QHash<QString, QString> held;
    for (const TextRow& row : readTexts(master))
        held.insert(textRowId(row.key, row.language), row.text);
    QVector<TextRow> missing, mended;
    for (const TextRow& row : delivered) {
        const QString id = textRowId(row.key, row.language);
        const auto found = held.constFind(id);
        if (found == held.constEnd())
            missing.append(row);
        else if (*found != row.text && earlierTexts.contains(id, *found))
            mended.append(row);
    }
    if (missing.isEmpty() && mended.isEmpty())
        return update;
    const bool written = master.transaction([&] {
        for (const TextRow& row : missing)
            if (!master.execute(QStringLiteral("INSERT INTO NLSResources (ResourceID, SprachCode, "
                                               "ResourceText) VALUES (?, ?, ?)"),
                                {row.key, row.language, row.text}))
                return false;
        for (const TextRow& row : mended)
            if (!master.execute(QStringLiteral("UPDATE NLSResources SET ResourceText = ? WHERE "
                                               "ResourceID = ? AND SprachCode = ? AND "
                                               "ResourceText = ?"),
                                {row.text, row.key, row.language,
                                 held.value(textRowId(row.key, row.language))}))
                return false;
        return true;
    });
    if (!written) {
        update.error = master.lastError();
        return update;
    }
    update.added = int(missing.size());
    update.mended = int(mended.size());
    return update;
}

} // namespace velmara
