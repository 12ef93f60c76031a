#include "data/valuestrings.h"

#include "link/endvaluerecord.h"
#include "link/fieldtext.h"
#include "link/statusrecord.h"

#include <QStringList>

namespace velmara {

using namespace fieldtext;

namespace {
QString num(qint64 v) {
    return QString::number(v);
}
QLatin1Char semi() {
    return QLatin1Char(';');
}
} // namespace

qint64 secondsSince(const QDateTime& r, const QDateTime& now) {
    if (!r.isValid() || !now.isValid())
        return 0;
    // Count second boundaries, as a date difference in seconds does: floor both.
    auto floorSecs = [](const QDateTime& t) {
        const qint64 ms = t.toMSecsSinceEpoch();
        return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    };
    return floorSecs(now) - floorSecs(r);
}

QString buildValueString(const StatusRecord& results, const QDateTime& r, const QDateTime& now) {
    return num(results.capacityMah) + semi() + num(results.voltageMv) + semi() +
           num(results.currentMa) + semi() + num(secondsSince(r, now));
}

QString buildValueString(const StatusRecord& results, const QDateTime& r) {
    return buildValueString(results, r, QDateTime::currentDateTime());
}

QString buildEndValueString(const EndValueRecord& endwert, const QDateTime& r,
                            const QDateTime& now) {
    QString text = num(endwert.endValueType) + semi() + num(endwert.capacityMah) + semi() +
                   num(endwert.voltageMv) + semi() + num(secondsSince(r, now)) + semi() +
                   num(endwert.cycleSeconds);
    if (endwert.hasBatteryCondition)
        text += (endwert.batteryCondition ? QStringLiteral(";T;") : QStringLiteral(";F;")) +
                num(endwert.percent);
    if (endwert.selfDischarge != -1)
        text += semi() + num(endwert.selfDischarge);
    return text;
}

QString buildEndValueString(const EndValueRecord& endwert, const QDateTime& r) {
    return buildEndValueString(endwert, r, QDateTime::currentDateTime());
}

LoadedMeasurementValue parseValueString(const QString& text, bool isEndValue) {
    LoadedMeasurementValue v;
    v.isEndValue = isEndValue;
    const QStringList f = text.split(semi());
    const qsizetype n = f.size() - 1; // highest index
    bool ok = true;
    auto i32 = [&](qsizetype at, qint32& target) {
        const auto x = signedToInt32(f.at(at));
        if (x)
            target = *x;
        else
            ok = false;
    };
    auto i16 = [&](qsizetype at, qint16& target) {
        const auto x = signedToInt16(f.at(at));
        if (x)
            target = *x;
        else
            ok = false;
    };

    if (!isEndValue) {
        if (n < 3) {
            v.bValid = false;
            return v;
        }
        i32(0, v.capacityMah);
        i32(1, v.voltageMv);
        i32(2, v.chargeCurrentMa);
        i32(3, v.elapsedSeconds);
        v.bValid = ok;
        return v;
    }

    if (n < 4) {
        v.bValid = false;
        return v;
    }
    i16(0, v.endValueType);
    i32(1, v.capacityMah);
    i32(2, v.voltageMv);
    i32(3, v.elapsedSeconds);
    i32(4, v.cycleSeconds);
    qsizetype next = 5;
    if (n > 5) {
        const QString& flag = f.at(5);
        if (flag.startsWith(QLatin1Char('T')) || flag.startsWith(QLatin1Char('F'))) {
            v.hasBatteryCondition = true;
            v.batteryCondition = flag.startsWith(QLatin1Char('T'));
            i16(6, v.percent);
            next = 7;
        } else {
            v.hasBatteryCondition = false;
        }
    }
    if (n < next) {
        v.hasSelfDischarge = false;
    } else {
        v.hasSelfDischarge = true;
        i32(next, v.selfDischarge);
    }
    v.bValid = ok;
    return v;
}

} // namespace velmara
