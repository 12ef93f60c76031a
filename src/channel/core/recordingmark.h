#pragma once
// What a channel keeps on disk about the series it records, so that after a
// restart it can tell whether the charger still runs that process: written when
// the recording starts, cleared when it ends normally (not when the program ends).
#include "link/chargerstate.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace velmara {

class SettingsStore;

struct RecordingMark {
    qint32 batteryId = -1;
    qint32 seriesId = -1;
    QString program; // the program text the charger reported for the series
    QDateTime start; // the time the series' seconds count from
    bool operator==(const RecordingMark&) const = default;
};

// The setting that holds the mark of channel n (1..4).
QString recordingMarkKey(int channel);
QString encodeRecordingMark(const RecordingMark& mark);
// Nothing for an empty or unreadable text.
std::optional<RecordingMark> decodeRecordingMark(const QString& text);

std::optional<RecordingMark> readRecordingMark(SettingsStore& settings, int channel);
void writeRecordingMark(SettingsStore& settings, int channel, const RecordingMark& mark);
void clearRecordingMark(SettingsStore& settings, int channel);

// The same process still runs: the channel charges, discharges or pauses
// within its program, the program is the one of the series (as the charger
// reports it), the series is still there, and it started before now.
bool continuesRecording(const RecordingMark& mark, const QString& programAnswer, ChargerState state,
                        bool seriesExists, const QDateTime& now);

} // namespace velmara
