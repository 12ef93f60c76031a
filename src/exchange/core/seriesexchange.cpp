#include "exchange/core/seriesexchange.h"

#include "batteries/core/batterystore.h"
#include "data/stores/userstores.h"
#include "data/stores/valuestore.h"
#include "data/valuestrings.h"
#include "exchange/core/seriesimport.h"

#include <QSaveFile>

namespace velmara {

namespace {
void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}
} // namespace

std::optional<LoadedSeries> loadSeriesFile(UserStores& stores, qint32 seriesId, QString* error) {
    BatteryStore store(stores.batteries());
    const auto series = store.seriesById(seriesId);
    const auto battery = series ? store.battery(series->batteryId) : std::nullopt;
    if (!battery) {
        setError(error, store.lastError().isEmpty()
                            ? QStringLiteral("Series %1 does not exist.").arg(seriesId)
                            : store.lastError());
        return std::nullopt;
    }
    LoadedSeries loaded;
    SeriesFile& f = loaded.file;
    f.batteryName = battery->name;
    f.batteryRemark = battery->remark;
    f.seriesNumber = series->number;
    f.created = series->createdText;
    f.remark = series->remark;
    f.program = series->program;
    f.mode = series->mode;

    ValueRange range;
    range.seriesId = seriesId;
    const Result<void> read = stores.values().visit(range, [&](const StoredValueView& value) {
        const LoadedMeasurementValue v =
            parseValueString(QString::fromUtf8(value.text), value.endValue);
        if (v.bValid)
            f.values.append(v);
        else
            ++loaded.damaged;
        return true;
    });
    if (!read) {
        setError(error, read.error());
        return std::nullopt;
    }
    return loaded;
}

std::optional<ImportedSeries> importSeriesFile(UserStores& stores, BatteryStore& store,
                                               const ImportTarget& target, const SeriesFile& series,
                                               QString* error) {
    SeriesImport import(stores);
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
