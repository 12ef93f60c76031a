#pragma once
// Opens the two files of the running session's folder (made from the delivered
// content when missing) and its settings and text stores, as the start-up does. Tests that use it
// link velmara_data.
#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara::test {

// language: the text language; empty takes the setting UsedLanguage.
inline bool openProgramFiles(Session& session, const QString& language = QString()) {
    return session.openMaster().ok && session.openUser().ok &&
           session.openStores(nullptr, language);
}
// TRANSITIONAL: on the running session.
inline bool openProgramFiles(const QString& language = QString()) {
    Session* session = currentSession();
    return session && openProgramFiles(*session, language);
}

} // namespace velmara::test
