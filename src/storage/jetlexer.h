#pragma once
// The one scanner of statement texts: splits them into words,
// [bracketed names], quoted literals, numbers, operators, blanks and comments,
// so that quotes, brackets and comments mean the same everywhere in storage.
#include <QString>
#include <QVector>

namespace velmara::storage {

struct JetToken {
    enum Kind {
        Word,         // letters, digits, _ and $, starting with a letter or _
        BracketName,  // [any text up to the first ]]
        SingleQuoted, // 'text' with '' for a quote
        DoubleQuoted, // "text" with "" for a quote
        BacktickName, // `name` with `` for a backtick
        Number,       // 12, 1.5, .5, 1.5e-3
        Operator,     // <> <= >= != == || or one other character
        Blank,        // a run of white space
        Comment,      // -- to the end of the line, or /* ... */
    };
    Kind kind = Operator;
    int start = 0; // offsets into the scanned text: [start, end)
    int end = 0;
    QString value;      // brackets and quotes removed, doubled quotes undone; else the text itself
    bool closed = true; // false for a literal, name or comment the text ends inside

    bool is(Kind k) const { return kind == k; }
    bool isBlankOrComment() const { return kind == Blank || kind == Comment; }
    // A text literal in single or double quotes.
    bool isQuoted() const { return kind == SingleQuoted || kind == DoubleQuoted; }
    // A word equal to word without regard to letter case.
    bool isWord(QLatin1String word) const {
        return kind == Word && value.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isOperator(QLatin1String op) const { return kind == Operator && value == op; }
};

// Every token of text in order; the tokens cover the text without gaps, so the
// text can be written out again from their spans. Never fails: an unterminated
// literal, name or comment runs to the end with closed false.
QVector<JetToken> lexJet(const QString& text);

// text as a single-quoted literal of a statement: it's -> 'it''s'.
// The only place where quotes are escaped; values better go in as bound parameters.
QString jetStringLiteral(const QString& text);

} // namespace velmara::storage
