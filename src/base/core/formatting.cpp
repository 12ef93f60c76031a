#include "base/core/formatting.h"

#include <cmath>

namespace velmara {

namespace {

QString threeDecimals(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Round half away from zero on the third decimal, as the display pattern does.
    double rounded = std::round(value * 1000.0) / 1000.0;
    if (rounded == 0.0)
        rounded = 0.0; // no "-0.000"
    return plain.toString(rounded, 'f', 3);
}

QString thousandths(qint32 value, const char* unit, const QLocale& locale) {
    return threeDecimals(static_cast<double>(value) / 1000.0, locale) + QLatin1Char(' ') +
           QLatin1String(unit);
}

} // namespace

QString formatVoltString(qint32 millivolt, const QLocale& locale) {
    return thousandths(millivolt, "V", locale);
}
QString formatAmpereString(qint32 milliampere, const QLocale& locale) {
    return thousandths(milliampere, "A", locale);
}
QString formatAmpereHourString(qint32 milliampereHours, const QLocale& locale) {
    return thousandths(milliampereHours, "Ah", locale);
}

double parseLocaleNumber(const QString& text, bool* ok, const QLocale& locale) {
    QString t = text.trimmed();
    bool good = false;
    double v = locale.toDouble(t, &good);
    if (!good) {
        // Grouping characters are not part of what users type into these fields;
        // accept a plain number written with the locale's separator only.
        v = 0.0;
    }
    if (good && !std::isfinite(v))
        good = false;
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

QString formatThreeDecimals(const QString& text, const QLocale& locale) {
    bool ok = false;
    double v = parseLocaleNumber(text, &ok, locale);
    if (!ok)
        return text;
    return threeDecimals(v, locale);
}

QString filterDecimalInput(const QString& previous, const QString& current, const QLocale& locale) {
    // Accept what converts to a number with the locale's rules; a number followed by
    // one decimal separator is a number being typed and is kept as well.
    QString t = current.trimmed();
    if (t.isEmpty())
        return current;
    if (t.contains(locale.groupSeparator()) && locale.groupSeparator() != locale.decimalPoint())
        return previous;
    bool ok = false;
    float f = locale.toFloat(t, &ok);
    Q_UNUSED(f);
    if (ok)
        return current;
    const QString dp = locale.decimalPoint();
    if (t.endsWith(dp) && t.count(dp) == 1 && t.size() > dp.size()) {
        locale.toFloat(t.chopped(dp.size()), &ok);
        if (ok)
            return current;
    }
    return previous;
}

QString filterIntegerInput(const QString& previous, const QString& current) {
    if (current.contains(QLatin1Char('.')) || current.contains(QLatin1Char(',')))
        return previous;
    QString t = current.trimmed();
    if (t.isEmpty())
        return current;
    bool ok = false;
    t.toShort(&ok);
    return ok ? current : previous;
}

} // namespace velmara
