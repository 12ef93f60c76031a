#pragma once
// Reading the fields of charger answers and stored value texts.
#include <QString>
#include <QStringView>

#include <optional>

namespace velmara::fieldtext {

// The text without leading and trailing blanks (spaces only; other white space stays).
QString trimSpaces(const QString& text);

// The last n characters, or the whole text when it is shorter.
inline QStringView right(QStringView text, qsizetype n) {
    return text.size() <= n ? text : text.right(n);
}

// A whole decimal number made of ASCII digits only (the charger never sends a
// sign), fitting into 32 bits. Anything else, the empty text included, gives nothing.
std::optional<qint32> digitsToInt32(QStringView text);
std::optional<qint16> digitsToInt16(QStringView text);

// As above with an optional leading "-" (stored value texts carry negative numbers).
std::optional<qint64> signedToInt64(QStringView text);
std::optional<qint32> signedToInt32(QStringView text);
std::optional<qint16> signedToInt16(QStringView text);

} // namespace velmara::fieldtext
