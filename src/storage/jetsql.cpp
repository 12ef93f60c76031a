// The program's statement dialect turned into the engine's.
#include "storage/database.h"

#include "storage/jetlexer.h"
#include "storage/sqlitevalue.h"

namespace velmara {

using storage::JetToken;

namespace {

bool isNameToken(const JetToken& t) {
    return t.is(JetToken::Word) || t.is(JetToken::BracketName);
}

// "DELETE * FROM" or "DELETE T.* FROM" with DELETE at index del: the index of FROM, or -1.
int deleteStarFrom(const QVector<JetToken>& t, int del) {
    int k = del + 1;
    while (k < t.size() && t.at(k).is(JetToken::Blank))
        ++k;
    if (k + 2 < t.size() && isNameToken(t.at(k)) && t.at(k + 1).isOperator(QLatin1String(".")))
        k += 2;
    if (k >= t.size() || !t.at(k).isOperator(QLatin1String("*")))
        return -1;
    ++k;
    while (k < t.size() && t.at(k).is(JetToken::Blank))
        ++k;
    return k < t.size() && t.at(k).isWord(QLatin1String("FROM")) ? k : -1;
}

} // namespace

QString translateJetSql(const QString& sql) {
    const QVector<JetToken> tokens = storage::lexJet(sql);
    QString out;
    out.reserve(sql.size() + 16);
    for (int i = 0; i < tokens.size(); ++i) {
        const JetToken& t = tokens.at(i);
        const QStringView raw = QStringView(sql).mid(t.start, t.end - t.start);
        if (t.isBlankOrComment() || t.isQuoted()) {
            // Text in quotes stays as written (an unclosed literal for the engine to refuse).
            out += raw;
        } else if (t.is(JetToken::BracketName) && t.closed) {
            out += storage::quoteIdentifier(t.value);
        } else if (t.is(JetToken::Word)) {
            const bool qualified =
                (i > 0 && tokens.at(i - 1).isOperator(QLatin1String("."))) ||
                (i + 1 < tokens.size() && tokens.at(i + 1).isOperator(QLatin1String(".")));
            if (!qualified && t.isWord(QLatin1String("True"))) {
                out += QLatin1Char('1');
            } else if (!qualified && t.isWord(QLatin1String("False"))) {
                out += QLatin1Char('0');
            } else if (t.isWord(QLatin1String("DELETE"))) {
                out += raw;
                const int from = deleteStarFrom(tokens, i);
                if (from >= 0) {
                    out += QLatin1Char(' ');
                    i = from - 1;
                }
            } else {
                out += raw;
            }
        } else {
            out += raw;
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
