#pragma once
// Opens the two files of the current program folder (made from the delivered
// content when missing) and hands the settings and text stores their record
// sets, as the start-up does. Tests that use it link velmara_data.
#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "data/textstore.h"
#include "data/settingsstore.h"

namespace velmara::test {

// language: the text language; empty takes the setting UsedLanguage.
inline bool openProgramFiles(const QString& language = QString()) {
    if (!openMasterDatabase() || !openUserDatabase())
        return false;
    SettingsStore::instance().setRecordset(
        masterDatabase()->openRecordset("SELECT * FROM Optionen"));
    TextStore::instance().setRecordset(
        masterDatabase()->openRecordset("SELECT * FROM NLSResources"));
    TextStore::instance().setLanguageKey(language.isEmpty() ? getSetting("UsedLanguage")
                                                                   : language);
    return true;
}

} // namespace velmara::test
