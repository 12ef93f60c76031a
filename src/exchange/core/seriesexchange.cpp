#include "exchange/core/seriesexchange.h"

#include "batteries/core/batterystore.h"
#include "data/valuestrings.h"
#include "exchange/core/seriesimport.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QSaveFile>

namespace velmara {

namespace {
void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}
} // namespace

std::optional<LoadedSeries> loadSeriesFile(Database& user, qint32 seriesId, QString* error) {
    auto head = user.openRecordset(
        QStringLiteral("SELECT Akkus.AkkuName AS AkkuName, Akkus.bemerkung AS AkkuBemerkung, "
                       "MessReihen.Nummer AS Nummer, MessReihen.Datum AS Datum, "
                       "MessReihen.bemerkung AS bemerkung, MessReihen.Programm AS Programm, "
                       "MessReihen.Mode AS Mode FROM MessReihen INNER JOIN Akkus ON "
                       "Akkus.AkkuId = MessReihen.AkkuId WHERE MessReihen.MessReiheID=") +
        QString::number(seriesId));
    if (!head->isValid()) {
        setError(error, head->error());
        return std::nullopt;
    }
    head->moveFirst();
    if (head->isEOF()) {
        setError(error, QStringLiteral("Series %1 does not exist.").arg(seriesId));
        return std::nullopt;
    }
    LoadedSeries loaded;
    SeriesFile& f = loaded.file;
    f.batteryName = head->text(QStringLiteral("AkkuName"));
    f.batteryRemark = head->text(QStringLiteral("AkkuBemerkung"));
    f.seriesNumber = head->value(QStringLiteral("Nummer")).toInt();
    f.created = head->text(QStringLiteral("Datum"));
    f.remark = head->text(QStringLiteral("bemerkung"));
    f.program = head->text(QStringLiteral("Programm"));
    f.mode = head->text(QStringLiteral("Mode"));

    auto values =
        user.openRecordset(QStringLiteral("SELECT EW, MessWertString FROM MessWerte WHERE "
                                          "MessReiheID=") +
                           QString::number(seriesId) + QStringLiteral(" ORDER BY MessWertId ASC"));
    if (!values->isValid()) {
        setError(error, values->error());
        return std::nullopt;
    }
    for (values->moveFirst(); !values->isEOF(); values->moveNext()) {
        const LoadedMeasurementValue v =
            parseValueString(values->text(QStringLiteral("MessWertString")),
                             values->value(QStringLiteral("EW")).toBool());
        if (v.bValid)
            f.values.append(v);
        else
            ++loaded.damaged;
    }
    return loaded;
}

std::optional<ImportedSeries> importSeriesFile(Database& user, BatteryStore& store,
                                               const ImportTarget& target, const SeriesFile& series,
                                               QString* error) {
    SeriesImport import(user);
    std::optional<ImportedSeries> imported;
    if (import.open(series) && import.add(series.values))
        imported = import.store(store, target);
    if (!imported)
        setError(error, import.error());
    return imported;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace velmara
