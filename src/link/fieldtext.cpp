#include "link/fieldtext.h"

#include <limits>

namespace velmara::fieldtext {

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

namespace {

template <typename T> std::optional<T> parse(QStringView text, bool allowMinus) {
    bool negative = false;
    qsizetype i = 0;
    if (allowMinus && !text.isEmpty() && text.at(0) == QLatin1Char('-')) {
        negative = true;
        i = 1;
    }
    if (i >= text.size())
        return std::nullopt;
    // Accumulate as a negative number so the most negative value fits.
    const qint64 limit =
        negative ? qint64(std::numeric_limits<T>::min()) : -qint64(std::numeric_limits<T>::max());
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (limit + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
        if (value < limit)
            return std::nullopt;
    }
    return static_cast<T>(negative ? value : -value);
}

} // namespace

std::optional<qint32> digitsToInt32(QStringView text) {
    return parse<qint32>(text, false);
}
std::optional<qint16> digitsToInt16(QStringView text) {
    return parse<qint16>(text, false);
}
std::optional<qint64> signedToInt64(QStringView text) {
    return parse<qint64>(text, true);
}
std::optional<qint32> signedToInt32(QStringView text) {
    return parse<qint32>(text, true);
}
std::optional<qint16> signedToInt16(QStringView text) {
    return parse<qint16>(text, true);
}

} // namespace velmara::fieldtext
