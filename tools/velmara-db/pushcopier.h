#pragma once
// Copies the rows of a user file onto the server, a battery (with all its
// series and values) or a program per transaction, together with the note
// that it came from this file (table Uebernahmen, by the file's station key).
// A row noted before is not copied again; a name the server has that this
// file did not put there is left alone.
#include "base/core/result.h"

#include <QString>

#include <functional>
#include <optional>

namespace velmara {

struct BatteryRow;
struct SeriesRow;
struct StoredProgram;
class ServerLine;
class UserStores;

class PushCopier {
public:
    // What became of one battery or program.
    enum class Outcome { Pushed, Already, Clash };
    struct Counts {
        int series = 0;
        qint64 values = 0;
    };

    // stationName: what a series that names no station is given.
    PushCopier(ServerLine& line, UserStores& file, QString stationKey, QString stationName)
        : m_line(line), m_file(file), m_stationKey(std::move(stationKey)),
          m_stationName(std::move(stationName)) {}

    // Program names are told apart without regard to case, as the library does.
    Result<Outcome> program(const StoredProgram& program);
    // counts: what was copied with a battery that was pushed.
    Result<Outcome> battery(const BatteryRow& battery, Counts& counts);

private:
    using Insert = std::function<Result<std::optional<qint64>>()>;
    Result<Outcome> copy(const QString& kind, qint64 localId, const Insert& insert);
    Result<bool> copiedBefore(const QString& kind, qint64 localId);
    Result<qint64> copySeries(const SeriesRow& series, qint64 serverBattery);
    Result<qint64> copyValues(qint32 localSeries, qint64 serverSeries);

    ServerLine& m_line;
    UserStores& m_file;
    QString m_stationKey;
    QString m_stationName;
};

} // namespace velmara
