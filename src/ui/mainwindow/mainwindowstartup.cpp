// The main window's start-up sequence: log, files, stores, first start, link, channel windows.
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/mainwindownotices.h"
#include "ui/mainwindow/serverwatch.h"
#include "ui/mainwindow/statusmarks.h"
#include "web/ui/webview.h"

#include "base/core/errorlog.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/core/startupmessages.h"
#include "base/widgets/modal.h"
#include "batteries/core/capturechannel.h"
#include "batteries/ui/batteriesui.h"
#include "charts/ui/diagramwindow.h"
#include "data/databases.h"
#include "data/portsetting.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/tempvalues.h"
#include "data/textstore.h"
#include "exchange/ui/exchangecontext.h"
#include "exchange/ui/seriesexchangeflows.h"
#include "link/chargerlink.h"
#include "link/qtserialport.h"
#include "notify/channelevents.h"
#include "notify/dbusnotifier.h"
#include "programs/core/programreference.h"
#include "programs/ui/openprogrameditor.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "ui/dialogs/chargerdialog.h"
#include "ui/dialogs/comportdialog.h"
#include "ui/dialogs/firststart.h"
#include "ui/dialogs/infowindow.h"
#include "ui/dialogs/languagedialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace velmara {

using namespace mainwindow;

namespace {

// The language of the start-up's own messages: the stored one once the master
// file is open, the system's before (or when its settings cannot be read).
QString messageLanguage(Database* master) {
    QString stored;
    if (master)
        stored = master
                     ->scalar(QStringLiteral(
                         "SELECT \"value\" FROM Optionen WHERE \"key\" = 'UsedLanguage'"))
                     .toString();
    return startupLanguage(stored);
}

// The quick check found damage in an opened file: the program goes on with it.
void showDamage(Prompter& prompter, Database* master, const FileOpening& opening) {
    if (opening.damage.isEmpty())
        return;
    prompter.show(fileDamageMessage(messageLanguage(master), QDir::toNativeSeparators(opening.path),
                                    opening.damage.first()));
}

} // namespace

// A file of 0 bytes lost its data: the user decides whether a new one takes its
// place; the damaged one is kept under another name. True when it was set aside.
bool MainWindow::replaceEmptyFile(Database* master) {
    const QString path = master ? m_session.folder().userPath() : m_session.folder().masterPath();
    const QString keptAs = Session::asideName(path, QDateTime::currentDateTime());
    const QString language = messageLanguage(master);
    if (m_session.prompter().show(
            emptyFileQuestion(language, path, QFileInfo(path).size(), keptAs)) != MsgAnswer::Yes)
        return false;
    QString error;
    if (m_session.setFileAside(path, keptAs, &error))
        return true;
    m_session.prompter().show(fileFailureMessage(language, QFileInfo(path).fileName(), error));
    return false;
}

StartupOutcome MainWindow::load() {
    auto fail = [this] {
        releaseProgram();
        return StartupOutcome::EndProgram;
    };
    SettingsStore& settings = m_session.settings();

    // One program per data folder, before anything in it is opened or changed.
    m_trace << "lock";
    if (const FolderLock lock = m_session.lockDataFolder(); !lock.ok) {
        const QString language = messageLanguage(nullptr);
        m_session.prompter().show(alreadyRunningMessage(
            language, m_session.folder().dataDir(), lockHolderText(language, lock.pid, lock.host)));
        return fail();
    }

    m_trace << "log";
    m_session.log().open(m_session.folder().logPath());

    m_trace << "master";
    FileOpening master = m_session.openMaster();
    if (master.emptyFile) {
        if (!replaceEmptyFile(nullptr))
            return fail();
        master = m_session.openMaster();
    }
    if (!master.ok) {
        m_session.prompter().show(fileFailureMessage(messageLanguage(nullptr),
                                                     QStringLiteral("velmara.mdb"), master.reason));
        return fail();
    }
    showDamage(m_session.prompter(), m_session.master(), master);
    m_trace << "user";
    FileOpening user = m_session.openUser();
    if (user.emptyFile) {
        if (!replaceEmptyFile(m_session.master()))
            return fail();
        user = m_session.openUser();
    }
    if (!user.ok) {
        m_session.prompter().show(fileFailureMessage(messageLanguage(m_session.master()),
                                                     QStringLiteral("veluser.mdb"), user.reason));
        return fail();
    }
    showDamage(m_session.prompter(), m_session.master(), user);

    m_trace << "settings";
    if (!openSettings())
        return fail();
    m_trace << "resources";
    if (!openResources())
        return fail();

    if (settings.isYes("FirstStartup")) {
        m_trace << "firststart";
        if (!runFirstStartChain(m_session))
            return fail();
        settings.setSetting("FirstStartup", "NO");
    }

    m_trace << "tempvalues";
    deleteTempValues(m_session);

    m_trace << "recordsets";
    if (!m_session.openRecordsets()) {
        m_session.log().writeSignature("Shared recordsets not opened");
        m_session.log().writeEntry(m_session.user() ? m_session.user()->lastError() : "");
    }

    m_trace << "server";
    if (const QString server = settings.getSetting("UserDataServer").trimmed(); !server.isEmpty()) {
        // The status bar owns the watch of the server.
        if (const auto used = m_session.useServer(server, m_session.stationName()); used)
            new ServerWatch(m_session, m_board, statusBar(), [this](qint32 id) {
                return isBatteryUsed(id) != QLatin1String("notUsed");
            });
        else
            m_session.writeLog("User data server", {used.error()});
    }

    m_trace << "extension";
    const QString charger = settings.getSetting("UsedCharger");
    settings.setSetting("ProgramExtensionAvaiable",
                        deriveProgramExtension(charger, settings.getSetting("P1ExtensionAvailable"),
                                               settings.getSetting("P4ExtensionAvailable")));

    m_trace << "texts";
    applyLanguageTexts();
    m_marks->fitToCharger();

    m_trace << "link";
    if (!generateSerialConnection())
        return fail();

    m_trace << "channels";
    loadChannelWindows();
    // The web view, when it is on, from the channels' first snapshots on.
    m_webView->start();

    m_trace << "visibility";
    applyVisibility("001");

    m_trace << "show";
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(avail.size() * 0.9);
    }
    show();
    // The channels side by side once the work area has its size.
    QTimer::singleShot(0, this, [this] { tileSideBySide(); });
    return StartupOutcome::Running;
}

bool MainWindow::openSettings() {
    auto rs = m_session.master()->openRecordset("SELECT * FROM Optionen");
    if (!rs->isValid()) {
        m_session.prompter().show(missingTableMessage(messageLanguage(m_session.master()),
                                                      MissingTable::Settings, rs->error()));
        return false;
    }
    m_session.settings().setRecordset(std::move(rs));
    return true;
}

bool MainWindow::openResources() {
    auto rs = m_session.master()->openRecordset("SELECT * FROM NLSResources");
    if (!rs->isValid()) {
        m_session.prompter().show(missingTableMessage(messageLanguage(m_session.master()),
                                                      MissingTable::Texts, rs->error()));
        return false;
    }
    TextStore& store = m_session.texts();
    store.setRecordset(std::move(rs));
    store.setLanguageKey(m_session.setting("UsedLanguage"));
    // The buttons and standard dialogs of the toolkit speak the same language.
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + store.languageKey(),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        if (m_qtTranslator)
            QCoreApplication::removeTranslator(m_qtTranslator.get());
        m_qtTranslator = std::move(translator);
        QCoreApplication::installTranslator(m_qtTranslator.get());
    }
    return true;
}

bool MainWindow::generateSerialConnection() {
    try {
        if (reopenSerialLink())
            return true;
        showPortOpenFailure(m_session);
        return runComPortDialog(m_session, true, [this] { return reopenSerialLink(); });
    } catch (const std::exception& e) {
        Message where;
        where.text = QStringLiteral("errhandler von generate serial connection");
        m_session.prompter().show(where);
        Message what;
        what.text = QString::fromLocal8Bit(e.what());
        m_session.prompter().show(what);
        return true;
    }
}

bool MainWindow::reopenSerialLink() {
    const PortChoice port = configuredPort(m_session.settings());
    auto serial = std::make_unique<QtSerialPort>(port.devicePath);
    if (ChargerLink* link = m_session.link())
        return link->reopenPort(std::move(serial), qint16(port.number));
    m_session.setLink(
        std::make_unique<ChargerLink>(std::move(serial), nullptr, qint16(port.number)));
    ChargerLink* link = m_session.link();
    link->setLog(&m_session.log());
    connect(link, &ChargerLink::lineFault, this, &MainWindow::onLineFault);
    connect(link, &ChargerLink::lineRecovered, this, &MainWindow::onLineRecovered);
    return link->openComPort();
}

// One notice per outage; the poll goes on behind it, and it closes by itself
// once a request goes through again.
void MainWindow::onLineFault(int errorNumber, const QString& description, bool portLost) {
    Message m;
    m.key = portLost ? QStringLiteral("1094") : QStringLiteral("1120");
    m.text = m_session.text(m.key) + QStringLiteral("\n\n") +
             (m_session.link() ? m_session.link()->port().devicePath() + QStringLiteral(": ")
                               : QString()) +
             QString::number(errorNumber) + QStringLiteral(" - ") + description;
    m.title = m_session.text(QStringLiteral("0120"));
    m.icon = MsgIcon::Exclamation;
    m.buttons = MsgButtons::Ok;
    m_session.prompter().notify(kLineNotice, m);
}

void MainWindow::onLineRecovered() {
    m_session.prompter().withdraw(kLineNotice);
}

void MainWindow::loadChannelWindows() {
    const QStringList codes = loadedChannelCodes(m_session.setting("UsedCharger"));
    for (const QString& code : codes) {
        const int i = indexOf(code);
        ChannelView* view = m_factory(code, this);
        if (!view)
            continue;
        m_channels[size_t(i)].view.reset(view);
        QMdiSubWindow* sub = m_mdi->addSubWindow(view->widget());
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setObjectName(QStringLiteral("subKanal%1").arg(i + 1));
        sub->installEventFilter(this);
        sub->hide();
        m_channels[size_t(i)].sub = sub;
        m_channels[size_t(i)].menuEntry->setEnabled(true);
        if (i > 0)
            applyVisibility(code);
    }
    for (int i = 1; i < 4; ++i)
        if (!m_channels[size_t(i)].view)
            m_channels[size_t(i)].menuEntry->setEnabled(false);
}

void MainWindow::applyVisibility(const QString& channelCode) {
    QMdiSubWindow* sub = channelSubWindow(channelCode);
    const bool visible =
        m_session.settings().isYes(QStringLiteral("Akku%1Visible").arg(channelNumber(channelCode)));
    setChannelChecked(channelCode, visible);
    if (!sub)
        return;
    if (visible)
        sub->show();
    else
        sub->hide();
}

} // namespace velmara
