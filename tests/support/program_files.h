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

namespace velmara::test {

// language: the text language; empty takes the setting UsedLanguage.
inline bool openProgramFiles(Session& session, const QString& language = QString()) {
    return session.openMaster().ok && session.openUser().ok &&
           session.openStores(nullptr, language);
}

} // namespace velmara::test
