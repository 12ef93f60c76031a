#pragma once
// The stored form of measured values: all numbers of one value in one text,
// fields separated by ";" (MessWertString). Ordinary values come from a status
// answer, end values from an end-value record.
#include "data/loadedmeasurementvalue.h"

#include <QDateTime>
#include <QString>

namespace velmara {

class StatusRecord;
class EndValueRecord;

// Whole seconds from r to now: the number of second boundaries passed.
qint64 secondsSince(const QDateTime& r, const QDateTime& now);

// "capacity;voltage;current;seconds since r".
QString buildValueString(const StatusRecord& results, const QDateTime& r, const QDateTime& now);
QString buildValueString(const StatusRecord& results, const QDateTime& r);

// "kind;capacity;voltage;seconds;duration" [";T;percent" | ";F;percent"] [";self-discharge"].
QString buildEndValueString(const EndValueRecord& endwert, const QDateTime& r,
                            const QDateTime& now);
QString buildEndValueString(const EndValueRecord& endwert, const QDateTime& r);

// Decodes a stored text; a damaged text gives a value with bValid false.
LoadedMeasurementValue parseValueString(const QString& text, bool isEndValue);

} // namespace velmara
