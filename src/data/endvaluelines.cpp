#include "data/endvaluelines.h"

#include "base/core/formatting.h"

namespace velmara {

QString formatEndValueLine(int n, const EndValueRecord& endwert) {
    QString capacity = formatAmpereHourString(endwert.capacityMah);
    capacity.chop(3); // " Ah"
    QString voltage = formatVoltString(endwert.voltageMv);
    voltage.chop(2); // " V"
    return (QString::number(n) + QStringLiteral(". ")).rightJustified(4) + QString(4, u' ') +
           capacity.rightJustified(6) + QString(4, u' ') + voltage.rightJustified(6) +
           QString(2, u' ') + QString::number(endwert.cycleSeconds).rightJustified(4);
}

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
