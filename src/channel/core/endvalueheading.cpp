#include "channel/core/endvalueheading.h"

namespace velmara {

QString endValueHeadingLine(const QString& nr, const QString& ah, const QString& volt,
                            const QString& min) {
    const QString headings[4] = {nr.trimmed(), ah.trimmed(), volt.trimmed(), min.trimmed()};
    QString line;
    for (int i = 0; i < 4; ++i) {
        const qsizetype room = kEndValueColumnEnds[i] - line.size();
        // Right-aligned in its column, one blank kept before it after the first.
        if (i > 0 && headings[i].size() >= room)
            line += QLatin1Char(' ');
        line += headings[i].rightJustified(room, QLatin1Char(' '));
    }
    return line;
}

} // namespace velmara
