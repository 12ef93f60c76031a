#include "charts/core/diagramoptions.h"

#include "base/core/formatting.h"

#include <optional>

namespace velmara {

namespace {

QLocale withoutGrouping(QLocale locale) {
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

std::optional<double> numberOf(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = parseLocaleNumber(trimmed, &ok, locale);
    // "12," is a number being typed, which the input filter lets through.
    const QString dp = locale.decimalPoint();
    if (!ok && trimmed.endsWith(dp) && trimmed.size() > dp.size())
        value = parseLocaleNumber(trimmed.chopped(dp.size()), &ok, locale);
    if (!ok)
        return std::nullopt;
    return value;
}

OptionsCheck failure(const char* key, OptionsField focus) {
    return OptionsCheck{QString::fromLatin1(key), focus};
}

} // namespace

QString formatRangeValue(double value, const QLocale& locale) {
    return withoutGrouping(locale).toString(value, 'f', QLocale::FloatingPointShortest);
}

DiagramOptionsForm initialOptionsForm(const DiagramSwitches& switches, const AxisRange& xRange,
                                      const AxisRange& yRange, const QLocale& locale) {
    DiagramOptionsForm form;
    form.switches = switches;
    form.xAutomatic = xRange.automatic;
    if (!xRange.automatic) {
        form.xFrom = formatRangeValue(xRange.dMinValue, locale);
        form.xTo = formatRangeValue(xRange.dMaxValue, locale);
    }
    form.yAutomatic = yRange.automatic;
    if (!yRange.automatic) {
        form.yFrom = formatRangeValue(yRange.dMinValue, locale);
        form.yTo = formatRangeValue(yRange.dMaxValue, locale);
    }
    return form;
}

OptionsCheck validateOptions(const DiagramOptionsForm& form, const QLocale& locale) {
    if (!form.xAutomatic) {
        const auto from = numberOf(form.xFrom, locale);
        if (!from)
            return failure("2164", OptionsField::XFrom);
        const auto to = numberOf(form.xTo, locale);
        if (!to)
            return failure("2164", OptionsField::XTo);
        if (*from >= *to)
            return failure("2160", OptionsField::XTo);
        if (*from < 0)
            return failure("2166", OptionsField::XFrom);
    }
    if (!form.yAutomatic) {
        const auto from = numberOf(form.yFrom, locale);
        if (!from)
            return failure("2164", OptionsField::YFrom);
        const auto to = numberOf(form.yTo, locale);
        if (!to)
            return failure("2164", OptionsField::YTo);
        if (*from >= *to)
            return failure("2162", OptionsField::YTo);
    }
    return {};
}

OptionsResult optionsRanges(const DiagramOptionsForm& form, const QLocale& locale) {
    OptionsResult result;
    if (!form.xAutomatic) {
        result.xRange.automatic = false;
        result.xRange.dMinValue = numberOf(form.xFrom, locale).value_or(0);
        result.xRange.dMaxValue = numberOf(form.xTo, locale).value_or(0);
    }
    if (!form.yAutomatic) {
        result.yRange.automatic = false;
        result.yRange.dMinValue = numberOf(form.yFrom, locale).value_or(0);
        result.yRange.dMaxValue = numberOf(form.yTo, locale).value_or(0);
    }
    return result;
}

} // namespace velmara
