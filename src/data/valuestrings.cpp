#include "data/valuestrings.h"

#include "link/endvalueanswer.h"
#include "link/statusanswer.h"
#include "link/fieldtext.h"

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

QString buildValueString(const CommunicationResults& results, const QDateTime& r,
                         const QDateTime& now) {
    return num(results.lKapazitaet) + semi() + num(results.lSpannung) + semi() +
           num(results.lStrom) + semi() + num(secondsSince(r, now));
}

QString buildValueString(const CommunicationResults& results, const QDateTime& r) {
    return buildValueString(results, r, QDateTime::currentDateTime());
}

QString buildEndValueString(const CommunicationEndwert& endwert, const QDateTime& r,
                            const QDateTime& now) {
    QString text = num(endwert.iEndwertTyp) + semi() + num(endwert.lKapazitaet) + semi() +
                   num(endwert.lSpannung) + semi() + num(secondsSince(r, now)) + semi() +
                   num(endwert.lZykluszeit);
    if (endwert.bWithAkkuzustand)
        text += (endwert.bAkkuzustand ? QStringLiteral(";T;") : QStringLiteral(";F;")) +
                num(endwert.iProzent);
    if (endwert.lSelbstentladung != -1)
        text += semi() + num(endwert.lSelbstentladung);
    return text;
}

QString buildEndValueString(const CommunicationEndwert& endwert, const QDateTime& r) {
    return buildEndValueString(endwert, r, QDateTime::currentDateTime());
}

LoadedMeasurementValue parseValueString(const QString& text, bool bEndwert) {
    LoadedMeasurementValue v;
    v.bEndwert = bEndwert;
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

    if (!bEndwert) {
        if (n < 3) {
            v.bValid = false;
            return v;
        }
        i32(0, v.lKapazitaet);
        i32(1, v.lSpannung);
        i32(2, v.lLadestrom);
        i32(3, v.lTimeDiff);
        v.bValid = ok;
        return v;
    }

    if (n < 4) {
        v.bValid = false;
        return v;
    }
    i16(0, v.iEndwertTyp);
    i32(1, v.lKapazitaet);
    i32(2, v.lSpannung);
    i32(3, v.lTimeDiff);
    i32(4, v.lZykluszeit);
    qsizetype next = 5;
    if (n > 5) {
        const QString& flag = f.at(5);
        if (flag.startsWith(QLatin1Char('T')) || flag.startsWith(QLatin1Char('F'))) {
            v.bWithAkkuzustand = true;
            v.bAkkuzustand = flag.startsWith(QLatin1Char('T'));
            i16(6, v.iProzent);
            next = 7;
        } else {
            v.bWithAkkuzustand = false;
        }
    }
    if (n < next) {
        v.bWithSelbstentladung = false;
    } else {
        v.bWithSelbstentladung = true;
        i32(next, v.lSelbstentladung);
    }
    v.bValid = ok;
    return v;
}

} // namespace velmara
