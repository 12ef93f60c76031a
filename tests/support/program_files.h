#pragma once
// Opens the two files of the session's folder (made from the delivered
// content when missing) and its settings and text stores, as the start-up does. Tests that use it
// link velmara_data.
#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace velmara::test {

// language: the text language; empty takes the setting UsedLanguage.
inline bool openProgramFiles(Session& session, const QString& language = QString()) {
    return session.openMaster().ok && session.openUser().ok &&
           session.openStores(nullptr, language);
}

// A fresh program folder whose files are open with German texts; closed at the end.
class ProgramFilesTest : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(openProgramFiles(session(), "de")); }
    void TearDown() override { session().closeFiles(); }
    Session& session() { return folder.session(); }
    Database& user() { return *session().user(); }
    QString text(const QString& key) { return session().text(key); }

    TempProgramFolder folder;
};

} // namespace velmara::test
