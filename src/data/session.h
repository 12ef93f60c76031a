#pragma once
// One running program's data: its folder, the error log, the two database
// files, the settings and text stores and the shared record sets over them, and
// the link to the charger. Made once at start (app/main.cpp) and handed to the
// main window; tests make their own in a temporary folder. The files never show
// a box: opening and compacting return what happened, and the user interface
// tells the user.
#include "base/core/errorlog.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/core/result.h"
#include "data/databases.h"
#include "data/settingsstore.h"
#include "data/stores/userstores.h"
#include "data/textstore.h"

#include <QCoroTask>
#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>

class QLockFile;

namespace velmara {

class BatteryLeases;
class ChargerLink;
class Database;
class OutboxValueStore;
class ServerOutbox;
class ServerStores;
class StoreThread;
class ValueShipper;
class ValueStore;

// How opening one database file went.
struct FileOpening {
    bool ok = false;
    QString reason;     // why it failed (empty on success)
    QStringList damage; // what the engine's quick check found in an opened file
    QString path;
    bool emptyFile = false; // the file exists with 0 bytes: damaged, nothing was touched
};

// How taking the data folder for this program went.
struct FolderLock {
    bool ok = false;
    qint64 pid = 0; // the program that holds the folder (when !ok)
    QString host;
    QString reason; // why no lock could be taken, if one could not (the program goes on)
};

// How compacting the user file went.
struct Compaction {
    bool ok = false;
    QString reason; // why it failed; the old file is open again
};

class Session {
public:
    explicit Session(const ProgramFolder& folder);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const ProgramFolder& folder() const { return m_folder; }
    ErrorLog& log() { return m_log; }
    SettingsStore& settings() { return m_settings; }
    TextStore& texts() { return m_texts; }
    // How the program asks its user: boxes, notices and modal dialogs.
    Prompter& prompter() { return m_prompter; }

    // The text of a key in the current language (the key itself when there is none).
    QString text(const QString& key) { return m_texts.text(key); }
    // The value of a setting ("" when absent); writing does nothing for an absent key.
    QString setting(const QString& key) { return m_settings.getSetting(key); }
    void setSetting(const QString& key, const QString& value) { m_settings.setSetting(key, value); }
    // A boolean setting: true only for the exact text "YES".
    bool settingIsYes(const QString& key) { return m_settings.isYes(key); }
    // Writes a signature and its lines into the error log.
    void writeLog(const QString& signature, const QStringList& lines = QStringList());
    SharedRecordsets& recordsets() { return m_recordsets; }
    Database* master() const { return m_master.get(); }
    Database* user() const { return m_user.get(); }
    // The typed stores of the user data (batteries, series, values, programs):
    // over the user file as it is at the moment of use, or on the server.
    UserStores& stores() { return m_serverView ? *m_serverView : *m_stores; }
    // The stores of the user file alone (its temporary series, its outbox).
    UserStores& fileStores() { return *m_stores; }
    // Runs work on the user data's stores where they live: at once on the user
    // file; on the store thread with a server, the coroutine resuming when it
    // is done. For work done while the charger is served (a nested wait
    // there would hold the line's answers back).
    QCoro::Task<bool> awaitStores(std::function<bool(UserStores&)> work);
    // Where a recording channel writes its values: the user file, or, with the
    // user data on a server, the file's outbox towards it.
    ValueStore& recordingValues();

    // Puts the user data on a PostgreSQL server (a libpq connection string or
    // "service=NAME"): its stores on a thread of their own, the values that
    // channels record shipped from the user file's outbox. Nothing waits for
    // the server here; the first use connects. Needs the open user file.
    Result<void> useServer(const QString& conninfo, const QString& stationName);
    bool onServer() const { return m_serverView != nullptr; }
    // Ships recorded values to the server (null without a server).
    ValueShipper* shipper() const { return m_shipper.get(); }
    // Which station records a battery (null without a server).
    BatteryLeases* leases() const { return m_leases.get(); }
    // The station's name: the setting StationName, else the host name.
    QString stationName();

    // One program per data folder: takes the lock file Daten/velmara.lock, held
    // until the session ends. A lock left by a program that no longer runs is
    // taken over. Not ok (with the holder) while another program holds it.
    FolderLock lockDataFolder();

    // Creates Daten/ and a missing file from the delivered content, opens the
    // file, brings its schema up to date and runs the quick check. A file the
    // check finds damaged is open; its findings are written to the log.
    FileOpening openMaster();
    FileOpening openUser();
    // Where a damaged file is kept: its name followed by ".damaged-<date>-<time>".
    static QString asideName(const QString& path, const QDateTime& when);
    // Renames a damaged file (and its -wal and -shm) to keptAs, so that a new
    // one can be made in its place. False with the reason when that fails.
    bool setFileAside(const QString& path, const QString& keptAs, QString* error);
    // The settings and text stores on the master file; language "" takes the
    // setting UsedLanguage. False with the reason when a table cannot be read.
    bool openStores(QString* error = nullptr, const QString& language = QString());
    // The shared record sets of the master file (false when one cannot be
    // opened or the user file is not open).
    bool openRecordsets();
    void closeRecordsets();
    // Record sets, stores and both files, in that order.
    void closeFiles();

    // Closes the user file, copies it into veluser.$$$ leaving out free space,
    // checks the copy, swaps the files. On failure the old file is opened again
    // with its record sets, and the reason is logged.
    Compaction compactUserFile(const CompactedCopyCheck& check = checkCompactedCopy);

    // The link to the charger (made by the main window's start-up, kept until
    // the channel windows are gone).
    ChargerLink* link() const { return m_link.get(); }
    void setLink(std::unique_ptr<ChargerLink> link);
    void releaseLink();

private:
    FileOpening openFile(std::unique_ptr<Database>& into, const QString& path, bool master);

    ProgramFolder m_folder;
    ErrorLog m_log;
    Prompter m_prompter;
    std::unique_ptr<Database> m_master;
    std::unique_ptr<Database> m_user;
    std::unique_ptr<UserStores> m_stores;
    // With the user data on a server (in the order they are let go, last first).
    std::unique_ptr<ServerOutbox> m_outbox;
    std::unique_ptr<OutboxValueStore> m_outboxValues;
    std::unique_ptr<StoreThread> m_storeThread;
    std::unique_ptr<ServerStores> m_serverStores;
    std::unique_ptr<UserStores> m_serverView;
    std::unique_ptr<ValueShipper> m_shipper;
    std::unique_ptr<BatteryLeases> m_leases;
    SettingsStore m_settings;
    TextStore m_texts;
    SharedRecordsets m_recordsets;
    std::unique_ptr<ChargerLink> m_link;
    std::unique_ptr<QLockFile> m_folderLock;
};

// A box through the session's prompter whose text and title are text keys,
// looked up in the current language.
MsgAnswer showKeyed(Session& session, const QString& textKey, const QString& titleKey,
                    MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);

} // namespace velmara
