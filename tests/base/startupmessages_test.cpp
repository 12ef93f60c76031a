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
        {"de", QLocale::English, "de"},  {"en", QLocale::German, "en"},
        {" DE ", QLocale::French, "de"}, {"", QLocale::German, "de"},
        {"", QLocale::French, "en"},     {"fr", QLocale::German, "de"},
        {"fr", QLocale::C, "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(startupLanguage(c.stored, c.system), c.expected)
            << "'" << c.stored << "' on " << QLocale::languageToString(c.system).toStdString();
}

TEST(StartupMessages, FatalMessagesAreCriticalSentencesInTheChosenLanguage) {
    ProgramFolder::Choice folder{ProgramFolder(QStringLiteral("/opt/velmara")),
                                 QStringLiteral("it is read-only")};
    struct Case {
        const char* name;
        Message de;
        Message en;
        const char* germanStart;
        const char* englishStart;
    };
    const Case cases[] = {
        {"file", fileFailureMessage("de", "veluser.mdb", "disk I/O error"),
         fileFailureMessage("en", "veluser.mdb", "disk I/O error"),
         "Die Datenbankdatei veluser.mdb konnte nicht geöffnet werden. Ohne sie kann velmara "
         "nicht arbeiten und wird jetzt beendet.\n\nGrund: disk I/O error",
         "The database file veluser.mdb could not be opened. velmara cannot work without it and "
         "closes now.\n\nReason: disk I/O error"},
        {"settings", missingTableMessage("de", MissingTable::Settings, "no such table: Optionen"),
         missingTableMessage("en", MissingTable::Settings, "no such table: Optionen"),
         "Die Einstellungen von velmara wurden in der Datenbankdatei velmara.mdb nicht gefunden.",
         "The settings of velmara were not found in the database file velmara.mdb."},
        {"texts", missingTableMessage("de", MissingTable::Texts, ""),
         missingTableMessage("en", MissingTable::Texts, ""),
         "Die Texte von velmara wurden in der Datenbankdatei velmara.mdb nicht gefunden.",
         "The texts of velmara were not found in the database file velmara.mdb."},
        {"folder", unusableFolderMessage("de", folder), unusableFolderMessage("en", folder),
         "Der Datenordner /opt/velmara/Daten kann nicht verwendet werden: it is read-only.",
         "The data folder /opt/velmara/Daten cannot be used: it is read-only."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.de.text.startsWith(QString::fromUtf8(c.germanStart)))
            << c.de.text.toStdString();
        EXPECT_TRUE(c.en.text.startsWith(QString::fromUtf8(c.englishStart)))
            << c.en.text.toStdString();
        EXPECT_EQ(c.de.title, "velmara - Fehler");
        EXPECT_EQ(c.en.title, "velmara - Error");
        for (const Message* m : {&c.de, &c.en}) {
            EXPECT_EQ(m->icon, MsgIcon::Critical);
            EXPECT_EQ(m->buttons, MsgButtons::Ok);
        }
    }
    // The settings message names its cause; an empty one adds no empty reason line.
    EXPECT_TRUE(cases[1].en.text.endsWith("Reason: no such table: Optionen"));
    EXPECT_FALSE(cases[2].de.text.contains("Grund"));
}

TEST(StartupMessages, DamageIsAWarningWithTheFileAndTheFirstFinding) {
    const Message de = fileDamageMessage("de", "/d/velmara.mdb", "row 3 missing");
    const Message en = fileDamageMessage("en", "/d/velmara.mdb", "row 3 missing");
    EXPECT_TRUE(de.text.startsWith(
        QString::fromUtf8("Die Datenbankdatei /d/velmara.mdb ist beschädigt:\nrow 3 missing\n\n")));
    EXPECT_TRUE(
        en.text.startsWith("The database file /d/velmara.mdb is damaged:\nrow 3 missing\n\n"));
    EXPECT_EQ(de.icon, MsgIcon::Exclamation);
    EXPECT_EQ(en.title, "velmara - Warning");
}

} // namespace
} // namespace velmara
