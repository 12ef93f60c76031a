#include "channel/core/recordingmark.h"

#include "data/settingsstore.h"

#include <QStringList>

namespace velmara {

namespace {

// Fields: battery, series, start (ISO with offset), program text last: the
// program contains the separator itself.
constexpr QChar kSeparator = QLatin1Char(';');

// The program text without the closing separators of the answer.
QString programOf(const QString& answer) {
    QString text = answer.trimmed();
    while (text.endsWith(QLatin1Char(',')))
        text.chop(1);
    return text;
}

} // namespace

QString recordingMarkKey(int channel) {
    return QStringLiteral("RecordingChannel%1").arg(channel);
}

QString encodeRecordingMark(const RecordingMark& mark) {
    return QStringList{QString::number(mark.batteryId), QString::number(mark.seriesId),
                       mark.start.toString(Qt::ISODateWithMs), programOf(mark.program)}
        .join(kSeparator);
}

std::optional<RecordingMark> decodeRecordingMark(const QString& text) {
    const QStringList fields = text.split(kSeparator);
    if (fields.size() < 4)
        return std::nullopt;
    RecordingMark mark;
    bool batteryOk = false, seriesOk = false;
    mark.batteryId = fields[0].toInt(&batteryOk);
    mark.seriesId = fields[1].toInt(&seriesOk);
    mark.start = QDateTime::fromString(fields[2], Qt::ISODateWithMs);
    mark.program = fields.mid(3).join(kSeparator);
    if (!batteryOk || !seriesOk || mark.seriesId <= 0 || !mark.start.isValid() ||
        mark.program.isEmpty())
        return std::nullopt;
    return mark;
}

std::optional<RecordingMark> readRecordingMark(SettingsStore& settings, int channel) {
    return decodeRecordingMark(settings.getSetting(recordingMarkKey(channel)));
}

void writeRecordingMark(SettingsStore& settings, int channel, const RecordingMark& mark) {
    settings.setOrAddSetting(recordingMarkKey(channel), encodeRecordingMark(mark));
}

void clearRecordingMark(SettingsStore& settings, int channel) {
    settings.setSetting(recordingMarkKey(channel), QString());
}

bool continuesRecording(const RecordingMark& mark, const QString& programAnswer, ChargerState state,
                        bool seriesExists, const QDateTime& now) {
    const bool running = state == ChargerState::Charging || state == ChargerState::Discharging ||
                         state == ChargerState::Waiting;
    return running && seriesExists && mark.start.isValid() && mark.start <= now &&
           !programOf(programAnswer).isEmpty() &&
           programOf(programAnswer) == programOf(mark.program);
}

} // namespace velmara
