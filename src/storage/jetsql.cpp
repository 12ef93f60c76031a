// The program's statement dialect turned into the engine's.
#include "storage/database.h"

namespace velmara {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == '$';
}

int skipSpace(const QString& s, int i) {
    while (i < s.size() && s.at(i).isSpace())
        ++i;
    return i;
}

int wordEnd(const QString& s, int i) {
    while (i < s.size() && isWordChar(s.at(i)))
        ++i;
    return i;
}

// End (one past the closing quote) of a literal opened at i; the size when unclosed.
int quotedEnd(const QString& s, int i) {
    const QChar q = s.at(i);
    for (int j = i + 1; j < s.size(); ++j) {
        if (s.at(j) != q)
            continue;
        if (j + 1 < s.size() && s.at(j + 1) == q) {
            ++j;
            continue;
        }
        return j + 1;
    }
    return int(s.size());
}

// A literal right after Like: Jet wildcards become the engine's, the result single-quoted.
QString likeLiteral(const QString& literal) {
    const QChar q = literal.at(0);
    QString body = literal.mid(1);
    if (body.endsWith(q))
        body.chop(1);
    body.replace(QString(2, q), QString(q));
    QString out;
    out.reserve(body.size() + 2);
    out += QLatin1Char('\'');
    for (QChar c : body) {
        if (c == QLatin1Char('*'))
            out += QLatin1Char('%');
        else if (c == QLatin1Char('?'))
            out += QLatin1Char('_');
        else if (c == QLatin1Char('\''))
            out += QLatin1String("''");
        else
            out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

// "DELETE * FROM" or "DELETE T.* FROM": the index of FROM, or -1.
int deleteStarFrom(const QString& s, int afterDelete) {
    int k = skipSpace(s, afterDelete);
    if (k < s.size() && isWordStart(s.at(k))) {
        const int e = wordEnd(s, k);
        if (e >= s.size() || s.at(e) != QLatin1Char('.'))
            return -1;
        k = e + 1;
    } else if (k < s.size() && s.at(k) == QLatin1Char('[')) {
        const int close = int(s.indexOf(QLatin1Char(']'), k));
        if (close < 0 || close + 1 >= s.size() || s.at(close + 1) != QLatin1Char('.'))
            return -1;
        k = close + 2;
    }
    if (k >= s.size() || s.at(k) != QLatin1Char('*'))
        return -1;
    k = skipSpace(s, k + 1);
    const int e = wordEnd(s, k);
    if (s.mid(k, e - k).compare(QLatin1String("FROM"), Qt::CaseInsensitive) != 0)
        return -1;
    return k;
}

} // namespace

QString translateJetSql(const QString& sql) {
    const QString& s = sql;
    QString out;
    out.reserve(s.size() + 16);
    bool afterLike = false;
    int i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = quotedEnd(s, i);
            const QString literal = s.mid(i, end - i);
            out += afterLike ? likeLiteral(literal) : literal;
            afterLike = false;
            i = end;
        } else if (c == QLatin1Char('[')) {
            const int close = int(s.indexOf(QLatin1Char(']'), i + 1));
            if (close < 0) {
                out += s.mid(i);
                break;
            }
            QString name = s.mid(i + 1, close - i - 1);
            name.replace(QLatin1Char('"'), QLatin1String("\"\""));
            out += QLatin1Char('"') + name + QLatin1Char('"');
            afterLike = false;
            i = close + 1;
        } else if (c == QLatin1Char('-') && i + 1 < s.size() && s.at(i + 1) == c) {
            const int nl = int(s.indexOf(QLatin1Char('\n'), i));
            const int end = nl < 0 ? int(s.size()) : nl;
            out += s.mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('/') && i + 1 < s.size() && s.at(i + 1) == '*') {
            const int close = int(s.indexOf(QLatin1String("*/"), i + 2));
            const int end = close < 0 ? int(s.size()) : close + 2;
            out += s.mid(i, end - i);
            i = end;
        } else if (c.isDigit()) {
            int end = i;
            while (end < s.size() && (isWordChar(s.at(end)) || s.at(end) == QLatin1Char('.')))
                ++end;
            out += s.mid(i, end - i);
            afterLike = false;
            i = end;
        } else if (isWordStart(c)) {
            const int end = wordEnd(s, i);
            const QString word = s.mid(i, end - i);
            const bool qualified = (i > 0 && s.at(i - 1) == QLatin1Char('.')) ||
                                   (end < s.size() && s.at(end) == QLatin1Char('.'));
            afterLike = false;
            if (!qualified && word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
                out += QLatin1Char('1');
            } else if (!qualified &&
                       word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
                out += QLatin1Char('0');
            } else if (word.compare(QLatin1String("DELETE"), Qt::CaseInsensitive) == 0) {
                const int from = deleteStarFrom(s, end);
                out += word;
                if (from >= 0) {
                    out += QLatin1Char(' ');
                    i = from;
                    continue;
                }
            } else {
                out += word;
                afterLike = word.compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0;
            }
            i = end;
        } else {
            out += c;
            if (!c.isSpace())
                afterLike = false;
            ++i;
        }
    }
    return out;
}

QString Database::passwordOf(const QString& connect) {
    const QStringList parts = connect.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const int eq = int(part.indexOf(QLatin1Char('=')));
        if (eq < 0)
            continue;
        if (part.left(eq).trimmed().compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1);
    }
    return QString();
}

} // namespace velmara
