#pragma once
// The values on their way from this station to the server, in the user file
// (table ServerAusgang): a value is queued in the same transaction that
// accepts it and taken out only once the server has it. Seq is the station's
// own sequence number for the value and is never given twice, so the server
// can tell a value sent again from a new one.
#include "base/core/result.h"
#include "data/stores/userfile.h"

#include <QHash>
#include <QString>
#include <QVector>

namespace velmara {

struct QueuedValue {
    qint64 seq = 0;
    qint32 seriesId = 0; // the series on the server
    bool endValue = false;
    QString text;
};

class ServerOutbox {
public:
    explicit ServerOutbox(UserFile file) : m_file(std::move(file)) {}

    Result<qint64> queue(qint32 seriesId, bool endValue, const QString& text);
    // The values of a temporary series, in recording order, all or none; how many.
    Result<qint64> queueTemporarySeries(qint32 temporaryId, qint32 seriesId);
    // Up to max values, oldest first.
    Result<QVector<QueuedValue>> oldest(int max);
    // Takes the values up to seq (inclusive) out: the server has them.
    Result<void> removeUpTo(qint64 seq);
    // The number of values waiting, per series.
    Result<QHash<qint32, int>> waitingBySeries();
    // The key that names this file's station to the server.
    Result<QString> stationKey();

private:
    UserFile m_file;
};

} // namespace velmara
