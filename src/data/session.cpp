#include "data/session.h"
#include "data/deliveredtexts.h"

#include "data/batteryleases.h"
#include "data/schema.h"
#include "data/serverschema.h"
#include "data/stores/importstaging.h"
#include "data/stores/outboxvaluestore.h"
#include "data/stores/serveroutbox.h"
#include "data/stores/serverstores.h"
#include "data/stores/storethread.h"
#include "data/stores/threadedstores.h"
#include "data/stores/unfinishedimports.h"
#include "data/stores/valuestore.h"
#include "data/valueshipper.h"
#include "link/chargerlink.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cstdio>

namespace velmara {

Session::Session(const ProgramFolder& folder)
    : m_folder(folder), m_stores(makeSqliteStores([this] { return m_user.get(); },
                                                  [this] { return stationName(); })) {}

Session::~Session() {
    m_leases.reset();
    m_shipper.reset();
    m_serverView.reset();
    m_storeThread.reset(); // the thread ends; the server's stores are let go here
    m_serverStores.reset();
    releaseLink();
    closeFiles();
    m_log.release();
}

ValueStore& Session::recordingValues() {
    return m_outboxValues ? static_cast<ValueStore&>(*m_outboxValues) : m_stores->values();
}

QString Session::stationName() {
    const QString name = setting(QStringLiteral("StationName")).trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

Result<void> Session::useServer(const QString& conninfo, const QString& stationName) {
    if (!m_user || !m_user->isOpen())
        return Failure{QStringLiteral("The user file is not open.")};
    const UserFile file = [this] { return m_user.get(); };
    m_outbox = std::make_unique<ServerOutbox>(file);
    const auto key = m_outbox->stationKey();
    if (!key)
        return Failure{key.error()};
    m_serverStores = makeServerStores(conninfo, {stationName, *key});
    // Each new connection checks the schema (and brings it up to date).
    m_serverStores->line().setOnConnect([](PgConnection& connection) -> Result<void> {
        if (const auto version = upgradeServerSchema(connection); !version)
            return Failure{version.error()};
        return {};
    });
    m_serverStores->line().setUnreachableText(text(QStringLiteral("4923")));
    m_storeThread = std::make_unique<StoreThread>();
    m_leases = std::make_unique<BatteryLeases>(*m_storeThread, conninfo, stationName);
    // What an import of this station left unfinished goes, as with the file;
    // without the server now, at a later start.
    m_storeThread->await([server = m_serverStores.get()] {
        return server->newImportStaging()->removeUnfinished(-1);
    });
    m_serverView = makeThreadedStores(*m_storeThread, *m_serverStores, m_stores->values());
    m_outboxValues = std::make_unique<OutboxValueStore>(file);
    ShipperOptions options;
    options.conninfo = conninfo;
    m_shipper = std::make_unique<ValueShipper>(*m_outbox, *key, options);
    m_outboxValues->onQueued(
        [shipper = m_shipper.get()](qint32 series, qint64 n) { shipper->queued(series, n); });
    m_shipper->start();
    return {};
}

QCoro::Task<bool> Session::awaitStores(std::function<bool(UserStores&)> work) {
    if (!m_serverStores)
        co_return work(*m_stores);
    // (Made before the co_await: a temporary inside it trips GCC 12.)
    auto there = [work = std::move(work), server = m_serverStores.get()] { return work(*server); };
    co_return co_await m_storeThread->await(std::move(there));
}

void Session::writeLog(const QString& signature, const QStringList& lines) {
    m_log.writeSignature(signature);
    for (const QString& line : lines)
        m_log.writeEntry(line);
}

MsgAnswer showKeyed(Session& session, const QString& textKey, const QString& titleKey, MsgIcon icon,
                    MsgButtons buttons) {
    Message m;
    m.key = textKey;
    m.text = session.text(textKey);
    m.title = titleKey.isEmpty() ? QString() : session.text(titleKey);
    m.icon = icon;
    m.buttons = buttons;
    return session.prompter().show(m);
}

FileOpening Session::openFile(std::unique_ptr<Database>& into, const QString& path, bool master) {
    FileOpening result;
    result.path = path;
    into.reset();
    // A file of 0 bytes would open as an empty database and be filled with empty
    // tables: the data it held would be gone without a word.
    if (const QFileInfo info(path); info.exists() && info.isFile() && info.size() == 0) {
        result.emptyFile = true;
        result.reason = QStringLiteral("%1 is empty (0 bytes)").arg(path);
        return result;
    }
    const QVector<SchemaStep> steps = master ? masterSchemaSteps() : userSchemaSteps();
    const QString rows = master ? masterSeedRows() : QString();
    if (!QDir().mkpath(m_folder.dataDir())) {
        result.reason = QStringLiteral("cannot create %1").arg(m_folder.dataDir());
        return result;
    }
    if (!createFileAt(path, steps, rows, &result.reason))
        return result;
    auto db = Database::open(path, connectString(), &result.reason, true);
    if (!db)
        return result;
    const UpgradeResult r = upgradeSchema(*db, steps, &result.reason);
    if (r == UpgradeResult::NewerFile || r == UpgradeResult::Failed) {
        db->close();
        return result;
    }
    result.reason.clear();
    // A damaged page deep inside a file does not stop it from opening; it shows
    // only when that page is read. The quick check reads every page once now.
    result.damage = quickCheckProblemsOf(*db);
    if (!result.damage.isEmpty()) {
        m_log.writeSignature(QStringLiteral("Damaged database file"));
        m_log.writeEntry(QDir::toNativeSeparators(path));
        for (const QString& problem : result.damage)
            m_log.writeEntry(problem);
    }
    // A master file made by an earlier velmara gets the texts delivered since.
    if (master && result.damage.isEmpty()) {
        const TextUpdate texts = bringTextsUpToDate(*db);
        if (!texts.error.isEmpty()) {
            m_log.writeSignature(QStringLiteral("Delivered texts not written"));
            m_log.writeEntry(texts.error);
        }
    }
    // An import cut off by the end of the program leaves a series nobody sees.
    if (!master && result.damage.isEmpty()) {
        QString error;
        const int removed = removeUnfinishedImports(*db, -1, &error);
        if (removed != 0) {
            m_log.writeSignature(QStringLiteral("Unfinished import removed"));
            m_log.writeEntry(removed > 0 ? QStringLiteral("%1 series").arg(removed) : error);
        }
    }
    into = std::move(db);
    result.ok = true;
    return result;
}

FolderLock Session::lockDataFolder() {
    FolderLock result;
    if (m_folderLock && m_folderLock->isLocked())
        return result.ok = true, result;
    QDir().mkpath(m_folder.dataDir());
    m_folderLock =
        std::make_unique<QLockFile>(m_folder.dataDir() + QStringLiteral("/velmara.lock"));
    // A lock is stale only when its program no longer runs, never by its age:
    // a program may run for weeks.
    m_folderLock->setStaleLockTime(0);
    if (m_folderLock->tryLock(0))
        return result.ok = true, result;
    if (m_folderLock->error() == QLockFile::LockFailedError) {
        QString app;
        m_folderLock->getLockInfo(&result.pid, &result.host, &app);
        m_folderLock.reset();
        return result;
    }
    // No lock file can be made (a write-protected folder): nothing can be
    // written there either, so the program goes on.
    result.ok = true;
    result.reason = QStringLiteral("cannot create the lock file in %1").arg(m_folder.dataDir());
    m_log.writeSignature(QStringLiteral("Data folder not locked"));
    m_log.writeEntry(result.reason);
    m_folderLock.reset();
    return result;
}

QString Session::asideName(const QString& path, const QDateTime& when) {
    return path + when.toString(QStringLiteral("'.damaged-'yyyyMMdd-hhmmss"));
}

bool Session::setFileAside(const QString& path, const QString& keptAs, QString* error) {
    if (QFileInfo::exists(keptAs) || !QFile::rename(path, keptAs)) {
        if (error)
            *error = QStringLiteral("cannot rename %1 to %2").arg(path, keptAs);
        return false;
    }
    for (const QString& companion : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFileInfo::exists(path + companion))
            QFile::rename(path + companion, keptAs + companion);
    m_log.writeSignature(QStringLiteral("Damaged database file set aside"));
    m_log.writeEntry(QStringLiteral("%1 -> %2").arg(path, keptAs));
    return true;
}

FileOpening Session::openMaster() {
    return openFile(m_master, m_folder.masterPath(), true);
}

FileOpening Session::openUser() {
    return openFile(m_user, m_folder.userPath(), false);
}

bool Session::openStores(QString* error, const QString& language) {
    if (!m_master) {
        if (error)
            *error = QStringLiteral("the master file is not open");
        return false;
    }
    auto settings = m_master->openRecordset(QStringLiteral("SELECT * FROM Optionen"));
    if (!settings->isValid()) {
        if (error)
            *error = settings->error();
        return false;
    }
    m_settings.setRecordset(std::move(settings));
    auto texts = m_master->openRecordset(QStringLiteral("SELECT * FROM NLSResources"));
    if (!texts->isValid()) {
        if (error)
            *error = texts->error();
        return false;
    }
    m_texts.setRecordset(std::move(texts));
    m_texts.setLanguageKey(
        language.isEmpty() ? m_settings.getSetting(QStringLiteral("UsedLanguage")) : language);
    return true;
}

bool Session::openRecordsets() {
    SharedRecordsets& s = m_recordsets;
    const QString charger = m_settings.getSetting(QStringLiteral("UsedCharger"));
    const QString language = m_settings.getSetting(QStringLiteral("UsedLanguage"));
    s.sqlAkkutypen = akkutypenQuery(charger, language);
    s.sqlGeraeteModi = geraeteModiQuery(language);
    s.sqlFormierModi = formierModiQuery();
    s.sqlMinMaxWerte = minMaxWerteQuery(charger);
    s.sqlDiagramPoints = QStringLiteral("SELECT * FROM DiagramPoints ORDER BY ID");
    if (!m_master || !m_user)
        return false;
    s.akkutypen = m_master->openRecordset(s.sqlAkkutypen);
    s.geraeteModi = m_master->openRecordset(s.sqlGeraeteModi);
    s.formierModi = m_master->openRecordset(s.sqlFormierModi);
    s.minMaxWerte = m_master->openRecordset(s.sqlMinMaxWerte);
    s.diagramPoints = m_master->openRecordset(s.sqlDiagramPoints);
    for (Recordset* rs : {s.akkutypen.get(), s.geraeteModi.get(), s.formierModi.get(),
                          s.minMaxWerte.get(), s.diagramPoints.get()})
        if (!rs->isValid())
            return false;
    return true;
}

void Session::closeRecordsets() {
    SharedRecordsets& s = m_recordsets;
    s.akkutypen.reset();
    s.geraeteModi.reset();
    s.formierModi.reset();
    s.minMaxWerte.reset();
    s.diagramPoints.reset();
}

void Session::closeFiles() {
    closeRecordsets();
    m_settings.release();
    m_texts.release();
    if (m_user)
        m_user->close();
    if (m_master)
        m_master->close();
    m_user.reset();
    m_master.reset();
}

Compaction Session::compactUserFile(const CompactedCopyCheck& check) {
    const QString source = m_folder.userPath();
    const QString target = m_folder.compactTempPath();
    if (m_user)
        m_user->close();
    m_user.reset();

    Compaction result;
    bool ok = exportCompactedCopy(source, target, &result.reason);
    if (ok && !check(source, target, &result.reason)) {
        ok = false;
        // A check that gives no reason still leaves one for the log and the user.
        if (result.reason.isEmpty())
            result.reason = QStringLiteral("the compacted copy of %1 failed its check").arg(source);
    }
    if (ok) {
        // One atomic step replaces the old file by the compacted one: at every
        // moment one complete user file exists under its name.
        ok = ::rename(QFile::encodeName(target).constData(),
                      QFile::encodeName(source).constData()) == 0;
        if (ok) {
            QFile::remove(source + QStringLiteral("-wal"));
            QFile::remove(source + QStringLiteral("-shm"));
        } else {
            result.reason = QStringLiteral("cannot replace %1").arg(source);
        }
    }
    if (!ok) {
        m_log.writeSignature(QStringLiteral("Compaction failed"));
        m_log.writeEntry(result.reason);
        QFile::remove(target);
        // Keep working with the old file.
        openUser();
        return result;
    }
    result.ok = true;
    return result;
}

void Session::setLink(std::unique_ptr<ChargerLink> link) {
    m_link = std::move(link);
}

void Session::releaseLink() {
    m_link.reset();
}

} // namespace velmara
