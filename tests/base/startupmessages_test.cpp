// The messages of a start-up that cannot go on, in German and English.
#include "base/core/startupmessages.h"

#include <gtest/gtest.h>

namespace velmara {
namespace {

TEST(StartupMessages, LanguageIsTheStoredOneElseTheSystems) {
    struct Case {
        const char* stored;
        QLocale::Language system;
        const char* expected;
    };
    const Case cases[] = {
        {"en", QLocale::German, "en"},
        {" DE ", QLocale::French, "de"},
        {"fr", QLocale::German, "de"},
        {"", QLocale::C, "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(startupLanguage(c.stored, c.system), c.expected)
            << "'" << c.stored << "' on " << QLocale::languageToString(c.system).toStdString();
}

// Each message names what failed and why, in either language; only damage lets
// the program go on, only an empty file asks.
TEST(StartupMessages, NameTheFileOrFolderAndTheReason) {
    const ProgramFolder::Choice folder{ProgramFolder("/opt/velmara"), "it is read-only"};
    QStringList german;
    for (const QString language : {"de", "en"}) {
        const QString& l = language;
        const struct {
            Message m;
            QStringList named;
        } cases[] = {
            {fileFailureMessage(l, "veluser.mdb", "disk I/O"), {"veluser.mdb", "disk I/O"}},
            {missingTableMessage(l, MissingTable::Texts, "no such table: X"), {"no such table: X"}},
            {unusableFolderMessage(l, folder), {"/opt/velmara/Daten", "it is read-only"}},
            {alreadyRunningMessage(l, "/d/Daten", lockHolderText(l, 4711, "pc")),
             {"/d/Daten", "4711", "pc"}},
            {fileDamageMessage(l, "/d/velmara.mdb", "row 3"), {"/d/velmara.mdb", "row 3"}},
            {emptyFileQuestion(l, "/d/veluser.mdb", 0, "/d/kept"), {"/d/veluser.mdb", "/d/kept"}},
        };
        for (size_t i = 0; i < std::size(cases); ++i) {
            SCOPED_TRACE(cases[i].m.text.toStdString());
            for (const QString& part : cases[i].named)
                EXPECT_TRUE(cases[i].m.text.contains(part)) << part.toStdString();
            if (l == "de")
                german << cases[i].m.text;
            else
                EXPECT_NE(cases[i].m.text, german.value(int(i)));
        }
        EXPECT_EQ(cases[0].m.icon, MsgIcon::Critical);
        EXPECT_EQ(cases[4].m.icon, MsgIcon::Exclamation);
        EXPECT_EQ(cases[0].m.buttons, MsgButtons::Ok);
        EXPECT_EQ(cases[5].m.buttons, MsgButtons::YesNo);
    }
}

} // namespace
} // namespace velmara
