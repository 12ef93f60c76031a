#include "base/core/dateformat.h"

namespace velmara {

QString dateFormat(const QString& language, bool withTime) {
    const bool german = language.startsWith(QLatin1String("de"));
    const QString date = german ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("yyyy-MM-dd");
    return withTime ? date + QStringLiteral(" HH:mm") : date;
}

QString formatDateTime(const QDateTime& when, const QString& language, bool withTime) {
    return when.toString(dateFormat(language, withTime));
}

} // namespace velmara
