#pragma once
// Series between the user file and CSV files: reading a stored series for export
// and storing an imported one as a new series of a battery. A failed import
// leaves the user file as it was.
#include "exchange/core/seriescsv.h"

#include <QString>

#include <optional>

namespace velmara {

class BatteryStore;
class UserStores;

struct LoadedSeries {
    SeriesFile file;
    int damaged = 0; // stored values whose text could not be read; left out
};

// The series with its battery and values in recording order; nullopt when it
// does not exist or the file cannot be read (error set).
std::optional<LoadedSeries> loadSeriesFile(UserStores& stores, qint32 seriesId,
                                           QString* error = nullptr);

// Where an imported series goes: an existing battery, or a new one by name.
struct ImportTarget {
    qint32 batteryId = -1; // -1: create a battery named newBatteryName
    QString newBatteryName;
    QString newBatteryRemark;
};

struct ImportedSeries {
    qint32 batteryId = -1;
    qint32 seriesId = -1;
    int number = 0;
};

// Stores the series as the battery's next series, with the file's date, remark,
// program, mode and values, all in one transaction. nullopt (error set) when the
// battery does not exist, the new name is not free or the file refuses.
std::optional<ImportedSeries> importSeriesFile(UserStores& stores, BatteryStore& store,
                                               const ImportTarget& target, const SeriesFile& series,
                                               QString* error = nullptr);

// Writes bytes to path through a temporary file that replaces it at the end, so
// a failure leaves no half-written file.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace velmara
