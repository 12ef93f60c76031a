#include "programs/core/editormessage.h"

namespace velmara {

QString EditorMessage::text(const TextLookup& lookup, const QLocale& locale) const {
    if (!isLimits())
        return lookup(key);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    auto bound = [&](double v) { return plain.toString(v, 'g', QLocale::FloatingPointShortest); };
    return lookup(keyA) + QLatin1Char(' ') + bound(min) + lookup(keyB) + QLatin1Char(' ') +
           bound(max) + lookup(keyC);
}

} // namespace velmara
