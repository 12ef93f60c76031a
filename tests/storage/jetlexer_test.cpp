// The scanner of statement texts, and the one quoting function.
#include "storage/jetlexer.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace velmara::storage;

namespace {

// Tokens as "kind:value", blanks as "_", a trailing "!" for a token the text ends inside.
std::string render(const QVector<JetToken>& tokens) {
    QStringList parts;
    for (const JetToken& t : tokens) {
        static const char* kinds[] = {"W", "N", "S", "D", "K", "#", "O", "_", "C"};
        QString part = QLatin1String(kinds[t.kind]);
        if (!t.is(JetToken::Blank))
            part += QLatin1Char(':') + t.value;
        if (!t.closed)
            part += QLatin1Char('!');
        parts << part;
    }
    return parts.join(QLatin1Char(' ')).toStdString();
}

TEST(JetLexer, SplitsTextIntoTokens) {
    const struct {
        const char* text;
        const char* tokens;
    } cases[] = {
        {"a='it''s'", "W:a O:= S:it's"},
        {"\"say \"\"hi\"\"\"", "D:say \"hi\""},
        {"[Mess Werte].[x]", "N:Mess Werte O:. N:x"},
        {"[it's] 'a]b' [a\"b]", "N:it's _ S:a]b _ N:a\"b"},
        {"`a``b`", "K:a`b"},
        {"-- it's [x\nb", "C:-- it's [x _ W:b"},
        {"/* 'q */y", "C:/* 'q */ W:y"},
        {"'-- x' '/*'", "S:-- x _ S:/*"},
        {"Größe_1$ ÄND", "W:Größe_1$ _ W:ÄND"},
        // Unterminated: runs to the end and says so.
        {"a = 'open", "W:a _ O:= _ S:open!"},
        {"[open", "N:open!"},
        {"/* open", "C:/* open!"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const QVector<JetToken> tokens = lexJet(text);
        EXPECT_EQ(render(tokens), c.tokens) << c.text;
        // The spans cover the text without gaps or overlaps.
        QString joined;
        int at = 0;
        for (const JetToken& t : tokens) {
            EXPECT_EQ(t.start, at) << c.text;
            at = t.end;
            joined += text.mid(t.start, t.end - t.start);
        }
        EXPECT_EQ(joined, text) << c.text;
    }
}

TEST(JetLexer, StringLiteralReadsBackAsTheText) {
    EXPECT_EQ(jetStringLiteral("it's"), "'it''s'");
    for (const char* text : {"", "'", "''", "a'b'c", "\"]['%_*?", "Größe' --"}) {
        const QVector<JetToken> tokens = lexJet(jetStringLiteral(QString::fromUtf8(text)));
        ASSERT_EQ(tokens.size(), 1) << text;
        EXPECT_TRUE(tokens.at(0).is(JetToken::SingleQuoted) && tokens.at(0).closed) << text;
        EXPECT_EQ(tokens.at(0).value, QString::fromUtf8(text));
    }
}

} // namespace
