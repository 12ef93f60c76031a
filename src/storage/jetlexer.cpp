#include "storage/jetlexer.h"

namespace velmara::storage {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A literal or name opened by s[i] and closed by close; a doubled close stands for
// itself unless the name takes none (brackets).
void scanQuoted(const QString& s, int i, QChar close, bool doubling, JetToken* t) {
    int j = i + 1;
    t->closed = false;
    for (; j < s.size(); ++j) {
        if (s.at(j) != close) {
            t->value += s.at(j);
            continue;
        }
        if (doubling && j + 1 < s.size() && s.at(j + 1) == close) {
            t->value += close;
            ++j;
            continue;
        }
        t->closed = true;
        ++j;
        break;
    }
    t->end = j;
}

int numberEnd(const QString& s, int i) {
    int j = i;
    while (j < s.size() && (isDigit(s.at(j)) || s.at(j) == QLatin1Char('.')))
        ++j;
    if (j < s.size() && (s.at(j) == QLatin1Char('e') || s.at(j) == QLatin1Char('E'))) {
        int k = j + 1;
        if (k < s.size() && (s.at(k) == QLatin1Char('+') || s.at(k) == QLatin1Char('-')))
            ++k;
        if (k < s.size() && isDigit(s.at(k))) {
            while (k < s.size() && isDigit(s.at(k)))
                ++k;
            j = k;
        }
    }
    return j;
}

int operatorLength(const QString& s, int i) {
    static const QLatin1String pairs[] = {QLatin1String("<>"), QLatin1String("<="),
                                          QLatin1String(">="), QLatin1String("!="),
                                          QLatin1String("=="), QLatin1String("||")};
    const QStringView two = QStringView(s).mid(i, 2);
    for (QLatin1String p : pairs)
        if (two == p)
            return 2;
    return 1;
}

} // namespace

QVector<JetToken> lexJet(const QString& s) {
    QVector<JetToken> tokens;
    int i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i);
        const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
        JetToken t;
        t.start = i;
        if (c.isSpace()) {
            t.kind = JetToken::Blank;
            t.end = i + 1;
            while (t.end < s.size() && s.at(t.end).isSpace())
                ++t.end;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            t.kind = JetToken::Comment;
            const int nl = int(s.indexOf(QLatin1Char('\n'), i));
            t.end = nl < 0 ? int(s.size()) : nl;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            t.kind = JetToken::Comment;
            const int close = int(s.indexOf(QLatin1String("*/"), i + 2));
            t.closed = close >= 0;
            t.end = close < 0 ? int(s.size()) : close + 2;
        } else if (c == QLatin1Char('\'')) {
            t.kind = JetToken::SingleQuoted;
            scanQuoted(s, i, c, true, &t);
        } else if (c == QLatin1Char('"')) {
            t.kind = JetToken::DoubleQuoted;
            scanQuoted(s, i, c, true, &t);
        } else if (c == QLatin1Char('`')) {
            t.kind = JetToken::BacktickName;
            scanQuoted(s, i, c, true, &t);
        } else if (c == QLatin1Char('[')) {
            t.kind = JetToken::BracketName;
            scanQuoted(s, i, QLatin1Char(']'), false, &t);
        } else if (isDigit(c) || (c == QLatin1Char('.') && isDigit(next))) {
            t.kind = JetToken::Number;
            t.end = numberEnd(s, i);
        } else if (isWordStart(c)) {
            t.kind = JetToken::Word;
            t.end = i + 1;
            while (t.end < s.size() && isWordChar(s.at(t.end)))
                ++t.end;
        } else {
            t.kind = JetToken::Operator;
            t.end = i + operatorLength(s, i);
        }
        if (t.kind != JetToken::SingleQuoted && t.kind != JetToken::DoubleQuoted &&
            t.kind != JetToken::BacktickName && t.kind != JetToken::BracketName)
            t.value = s.mid(t.start, t.end - t.start);
        i = t.end;
        tokens.append(std::move(t));
    }
    return tokens;
}

QString jetStringLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace velmara::storage
