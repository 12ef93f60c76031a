// The one quoting function: a literal the scanner reads back as the text.
#include "storage/jetlexer.h"

#include <gtest/gtest.h>

using namespace velmara::storage;

namespace {

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
