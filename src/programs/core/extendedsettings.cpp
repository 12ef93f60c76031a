#include "programs/core/extendedsettings.h"

#include <cmath>

namespace velmara {

namespace {

const char* kFocus = "txtLadeende";

// A whole percentage; a shown tenth ("10,5") rounds to the even number.
std::optional<int> percentOf(const QString& text, const QLocale& locale) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        return v;
    const double d = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > 1e6)
        return std::nullopt;
    return int(std::nearbyint(d));
}

EditorMessage plainMessage(const char* key) {
    EditorMessage m;
    m.key = QLatin1String(key);
    m.focus = QLatin1String(kFocus);
    return m;
}

} // namespace

ExtendedChoices extendedChoicesOf(const ProgramRecord& p, const QLocale& locale) {
    ExtendedChoices c;
    c.locked = p.programmingLocked;
    c.withoutLoad = p.withoutLoad;
    c.leadMode2 = p.leadAcidMode == 1;
    c.liIonMode2 = p.lithiumIonMode == 1;
    c.continuousCurrent = p.chargeMode == 1;
    c.q2 = p.qMode == 1;
    c.u2 = p.uMode == 1;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    c.endOfCharge = plain.toString(p.endOfCharge / 10.0, 'g', QLocale::FloatingPointShortest);
    return c;
}

CheckResult checkEndOfCharge(const QString& text, const ProgramReference& reference,
                             const QLocale& locale) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const LimitRow* row = reference.limit(QStringLiteral("N"));
    const std::optional<int> v = percentOf(text, locale);
    if (!row || (v && *v >= int(row->min) && *v <= int(row->max)))
        return std::nullopt;
    EditorMessage m;
    m.focus = QLatin1String(kFocus);
    m.keyA = QStringLiteral("7050");
    m.keyB = QStringLiteral("7051");
    m.keyC = QStringLiteral("7052");
    m.min = int(row->min);
    m.max = int(row->max);
    return m;
}

CheckResult collectExtended(const ExtendedChoices& c, const ProgramReference& reference,
                            ProgramRecord& into, const QLocale& locale) {
    if (c.endOfCharge.trimmed().isEmpty())
        return plainMessage("7054");
    if (CheckResult r = checkEndOfCharge(c.endOfCharge, reference, locale))
        return r;
    // Whatever the limits say, the value has to fit the three digits of N.
    const std::optional<int> percent = percentOf(c.endOfCharge, locale);
    if (!percent || *percent < 0 || *percent > 99)
        return plainMessage("7054");
    into.programmingLocked = c.locked;
    into.withoutLoad = c.withoutLoad;
    into.leadAcidMode = c.leadMode2 ? 1 : 0;
    into.lithiumIonMode = c.liIonMode2 ? 1 : 0;
    into.chargeMode = c.continuousCurrent ? 1 : 0;
    into.qMode = c.q2 ? 1 : 0;
    into.uMode = c.u2 ? 1 : 0;
    into.endOfCharge = qint16(percent.value_or(0) * 10);
    return std::nullopt;
}

} // namespace velmara
