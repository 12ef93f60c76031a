#pragma once
// Dates in tables, lists and charts: one format per program language, German
// "07.12.2026 15:20", otherwise ISO "2026-12-07 15:20".
#include <QDateTime>
#include <QString>

namespace velmara {

// The format text (QDateTime::toString); without the time when withTime is false.
QString dateFormat(const QString& language, bool withTime = true);
QString formatDateTime(const QDateTime& when, const QString& language, bool withTime = true);

} // namespace velmara
