#pragma once
// Wildcard patterns of Like, matched without regard to letter case (umlauts included).
#include <QString>
#include <QVector>

namespace velmara::storage {

class LikePattern {
public:
    // Jet: * and % any run, ? and _ one character, # one digit, [abc] [a-z] [!abc] one of a
    // set (so [*] is a literal star). Sql: % any run, _ one character, escape makes the next
    // character literal.
    enum class Dialect { Jet, Sql };

    LikePattern() = default;
    LikePattern(const QString& pattern, Dialect dialect, QChar escape = QChar());

    bool matches(const QString& text) const;

private:
    struct Item {
        enum Kind { Char, One, Any, Digit, Set } kind = Char;
        QChar ch;    // Char: the case-folded character
        QString set; // Set: pairs of (low, high), case-folded
        bool negate = false;
    };
    bool itemMatches(const Item& item, QChar c) const;

    QVector<Item> m_items;
};

} // namespace velmara::storage
