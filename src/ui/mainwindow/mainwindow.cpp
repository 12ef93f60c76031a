#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/featurecontexts.h"
#include "ui/mainwindow/mainwindownotices.h"
#include "ui/mainwindow/printentries.h"
#include "ui/mainwindow/statusmarks.h"

#include "base/core/errorlog.h"
#include "base/core/manualpath.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/widgets/modal.h"
#include "batteries/core/batterystore.h"
#include "batteries/core/capturechannel.h"
#include "batteries/ui/batteriesui.h"
#include "channel/core/channelboard.h"
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
#include "storage/database.h"
#include "storage/recordset.h"
#include "ui/dialogs/chargerdialog.h"
#include "ui/dialogs/comportdialog.h"
#include "ui/dialogs/firststart.h"
#include "ui/dialogs/infowindow.h"
#include "ui/dialogs/languagedialog.h"
#include "web/ui/webview.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace velmara {

using namespace mainwindow;

MainWindow::MainWindow(Session& session, ChannelBoard& board, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_board(board),
      m_factory(placeholderChannelViewFactory()),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmMDIMainForm"));
    setWindowTitle(QStringLiteral("velmara3.0"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    m_printing = std::make_unique<PrintEntries>(m_session, this);
    m_webView = std::make_unique<WebView>(m_session, m_board, [this](const QString& code) {
        return m_session.text(channelCaptionKey(code));
    });
    m_contexts = std::make_unique<FeatureContexts>(m_session, *m_printing, this, m_mdi);
    createMenus();
    m_marks = new StatusMarks(m_session, statusBar());
    m_marks->channelNameDoubleClicked = [this](const QString& code) { toggleChannel(code); };
    m_marks->follow(m_board);
    connect(&m_board, &ChannelBoard::channelEvent, this, &MainWindow::tellChannelEvent);
    resize(1024, 768);
}

MainWindow::~MainWindow() {
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
    // Channel windows go first: they use the link and the databases.
    for (auto& c : m_channels) {
        c.view.reset();
        delete c.sub.data();
    }
    m_webView.reset(); // its viewers go before the channels they watch
    m_board.stopAll();
    m_session.releaseLink();
}

void MainWindow::setChannelViewFactory(ChannelViewFactory factory) {
    m_factory = std::move(factory);
}

// ---------------------------------------------------------------- texts, status bar

void MainWindow::applyLanguageTexts() {
    setWindowTitle(mainCaption(m_session.text("0001"), m_session.text("0002"),
                               VELMARA_VERSION_MAJOR, VELMARA_VERSION_MINOR,
                               VELMARA_VERSION_PATCH));
    for (const auto& [object, key] : m_texts) {
        if (auto* menu = qobject_cast<QMenu*>(object))
            menu->setTitle(m_session.text(key));
        else if (auto* action = qobject_cast<QAction*>(object))
            action->setText(m_session.text(key));
    }
    m_marks->applyTexts();
    m_webView->setLanguage();
}

// ---------------------------------------------------------------- channels

ChannelView* MainWindow::channelView(const QString& channelCode) const {
    const int i = indexOf(channelCode);
    return i < 0 ? nullptr : m_channels[size_t(i)].view.get();
}

QMdiSubWindow* MainWindow::channelSubWindow(const QString& channelCode) const {
    const int i = indexOf(channelCode);
    return i < 0 ? nullptr : m_channels[size_t(i)].sub.data();
}

void MainWindow::setChannelChecked(const QString& channelCode, bool checked) {
    const int i = indexOf(channelCode);
    if (i >= 0 && m_channels[size_t(i)].menuEntry)
        m_channels[size_t(i)].menuEntry->setChecked(checked);
}

bool MainWindow::isChannelChecked(const QString& channelCode) const {
    const int i = indexOf(channelCode);
    return i >= 0 && m_channels[size_t(i)].menuEntry->isChecked();
}

void MainWindow::toggleChannel(const QString& channelCode) {
    const int i = indexOf(channelCode);
    QMdiSubWindow* sub = channelSubWindow(channelCode);
    if (!sub || !m_channels[size_t(i)].menuEntry->isEnabled())
        return;
    if (!isChannelChecked(channelCode))
        setChannelChecked(channelCode, true);
    // A minimised window comes back at its size, not as an icon.
    if (sub->isMinimized())
        sub->showNormal();
    else
        sub->show();
    m_mdi->setActiveSubWindow(sub);
    sub->raise();
}

QString MainWindow::releaseBattery(qint32 akkuId) {
    return firstAnsweringChannel(
        loadedChannelCodes(m_session.setting("UsedCharger")),
        [&](const QString& code) {
            ChannelView* v = channelView(code);
            return v && v->releaseBattery(akkuId);
        },
        QStringLiteral("noReset"));
}

QString MainWindow::isBatteryUsed(qint32 akkuId) {
    return firstAnsweringChannel(
        loadedChannelCodes(m_session.setting("UsedCharger")),
        [&](const QString& code) {
            ChannelView* v = channelView(code);
            return v && v->isBatteryUsed(akkuId);
        },
        QStringLiteral("notUsed"));
}

// ---------------------------------------------------------------- end

void MainWindow::storeVisibility() {
    std::array<bool, 4> checked{};
    for (int i = 0; i < 4; ++i)
        checked[size_t(i)] = m_channels[size_t(i)].menuEntry->isChecked();
    for (const auto& [key, value] : visibilityToStore(m_session.setting("UsedCharger"), checked))
        m_session.setSetting(key, value);
}

void MainWindow::releaseProgram() {
    if (m_ended)
        return;
    m_ended = true;
    finishRelease();
}

void MainWindow::finishRelease() {
    // The channel windows poll the link and write to the databases: they go
    // first. A step of theirs that still awaits an answer ends without touching
    // anything once the link gives up its requests.
    for (auto& c : m_channels) {
        c.view.reset();
        delete c.sub.data();
    }
    m_board.stopAll();
    ChargerLink* link = m_session.link();
    if (link)
        link->endAllRequests();
    if (m_session.user() && m_session.user()->isOpen())
        deleteTempValues(m_session);
    if (link && link->isComPortOpen())
        link->closeComPort();
    m_session.prompter().withdraw(kLineNotice);
    m_session.releaseLink();
    m_session.closeFiles();
    m_session.log().release();
    Q_EMIT programEnded();
}

void MainWindow::endProgram() {
    m_forceClose = true;
    if (isVisible())
        close();
    else
        releaseProgram();
}

// Values that wait for the user file (full disk, write protection) are lost
// when the program ends: the user hears how many and decides. True to end.
bool MainWindow::confirmLosingWaitingValues() {
    const int waiting = m_marks->valuesWaiting();
    if (waiting == 0)
        return true;
    Message m;
    m.key = QStringLiteral("4300");
    m.text = m_session.text(m.key).arg(waiting);
    m.title = m_session.text(QStringLiteral("0120"));
    m.icon = MsgIcon::Exclamation;
    m.buttons = MsgButtons::YesNo;
    return m_session.prompter().show(m) == MsgAnswer::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_ended && !m_forceClose) {
        if (!confirmLosingWaitingValues() || !confirmQuit()) {
            event->ignore();
            return;
        }
        storeVisibility();
    }
    releaseProgram();
    event->accept();
}

bool MainWindow::confirmQuit() {
    QStringList recorded;
    Database* user = m_session.user();
    for (const QString& code : loadedChannelCodes(m_session.setting("UsedCharger"))) {
        const ChannelView* view = channelView(code);
        const auto [batteryId, seriesId] =
            view ? view->recordedSeries() : std::pair<qint32, qint32>{-1, -1};
        if (seriesId < 0 || !user)
            continue;
        BatteryStore store(m_session.stores().batteries());
        const auto battery = store.battery(batteryId);
        const auto series = store.seriesById(seriesId);
        recorded << m_session.text(QStringLiteral("4401"))
                        .arg(m_session.text(channelCaptionKey(code)),
                             battery ? battery->name : QString::number(batteryId),
                             series ? QString::number(series->number) : QString::number(seriesId));
    }
    if (recorded.isEmpty())
        return showKeyed(m_session, "1090", "0410", MsgIcon::Question, MsgButtons::YesNo) ==
               MsgAnswer::Yes;
    Message m;
    m.key = QStringLiteral("4400");
    m.text = m_session.text(m.key) + QStringLiteral("\n\n") + recorded.join(QLatin1Char('\n')) +
             QStringLiteral("\n\n") + m_session.text(QStringLiteral("4403"));
    m.title = m_session.text(QStringLiteral("0410"));
    m.icon = MsgIcon::Question;
    m.buttons = MsgButtons::YesNo;
    return m_session.prompter().show(m) == MsgAnswer::Yes;
}

void MainWindow::changeEvent(QEvent* event) {
    // A window outside the main window (a stored-series window) is no longer the
    // one to print; the active channel or diagram window inside it stays.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        QMdiSubWindow* sub = m_mdi->activeSubWindow();
        QWidget* printed = m_printing->printItemWindow();
        m_printing->checkAndSetPrintItem(!printed || !sub || sub->widget() != printed
                                             ? std::optional<bool>(false)
                                             : std::nullopt);
    }
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && !m_ended) {
        // A channel window's close button hides it; it keeps running.
        for (int i = 0; i < 4; ++i) {
            if (watched == m_channels[size_t(i)].sub.data()) {
                event->ignore();
                m_channels[size_t(i)].menuEntry->setChecked(false);
                m_channels[size_t(i)].sub->hide();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- window arrangements

QList<QMdiSubWindow*> MainWindow::visibleSubWindows() const {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            out.append(sub);
    return out;
}

void MainWindow::arrangeCascade() {
    m_mdi->cascadeSubWindows();
}
void MainWindow::tileStacked() {
    tile(Qt::Vertical);
}
void MainWindow::tileSideBySide() {
    tile(Qt::Horizontal);
}

void MainWindow::tile(Qt::Orientation stacking) {
    const QList<QMdiSubWindow*> subs = visibleSubWindows();
    const QList<QRect> rects = tileRects(m_mdi->viewport()->rect(), int(subs.size()), stacking);
    for (int i = 0; i < subs.size() && i < rects.size(); ++i) {
        if (subs[i]->isMaximized())
            subs[i]->showNormal();
        subs[i]->setGeometry(rects[i]);
    }
}

void MainWindow::minimiseAll() {
    for (QMdiSubWindow* sub : visibleSubWindows())
        sub->showMinimized();
}

void MainWindow::arrangeIcons() {
    const QRect area = m_mdi->viewport()->rect();
    int x = area.left();
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isVisible() || !sub->isMinimized())
            continue;
        const QSize size = sub->size();
        sub->move(x, area.bottom() - size.height() + 1);
        x += size.width();
    }
}

std::shared_ptr<BatteryUsage> MainWindow::batteryUsage() {
    QPointer<MainWindow> self(this);
    return std::make_shared<CallbackBatteryUsage>(
        [self](qint32 id) { return self ? self->isBatteryUsed(id) : QStringLiteral("notUsed"); },
        [self](qint32 id) {
            if (self)
                self->releaseBattery(id);
        },
        m_session.leases());
}

void MainWindow::onManageMeasurements() {
    openManagementDialog(batteryUsage(), m_contexts->batteriesContext(), this);
}

void MainWindow::onFileSave() {
    runSeriesExport(m_contexts->exchangeContext(), this);
}

void MainWindow::onImportCsv() {
    runSeriesImport(m_contexts->exchangeContext(), this);
}

void MainWindow::setDesktopNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    m_notifications.reset();
    m_notifier = std::move(notifier);
}

ChannelNotifications& MainWindow::notifications() {
    if (!m_notifier)
        m_notifier = std::make_unique<DBusNotifier>();
    if (!m_notifications)
        m_notifications = std::make_unique<ChannelNotifications>(
            *m_notifier, [session = &m_session](const QString& key) { return session->text(key); },
            [session = &m_session] { return session->setting(QStringLiteral("Notifications")); });
    return *m_notifications;
}

void MainWindow::tellChannelEvent(const ChannelEvent& event) {
    notifications().tell(event);
}

void MainWindow::onNotificationsToggled(bool on) {
    m_session.settings().setOrAddSetting(QStringLiteral("Notifications"),
                                         on ? QStringLiteral("YES") : QStringLiteral("NO"));
    if (on && notifications().switchedOnWithoutService())
        showKeyed(m_session, QStringLiteral("4214"), QStringLiteral("0001"), MsgIcon::Information);
}

void MainWindow::onCompact() {
    if (showKeyed(m_session, "1028", "0110", MsgIcon::Critical, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    // The quit question, with the icon it has everywhere else.
    if (showKeyed(m_session, "1090", "0410", MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    const Compaction done = m_session.compactUserFile(m_compactionCheck);
    if (!done.ok) {
        Message m;
        m.text = QStringLiteral("Fehler");
        m_session.prompter().show(m);
        return;
    }
    showKeyed(m_session, "1030", "0410", MsgIcon::Information, MsgButtons::Ok);
    endProgram();
}

void MainWindow::onComPort() {
    runComPortDialog(m_session, false, [this] { return reopenSerialLink(); });
}

void MainWindow::onLanguage() {
    if (runLanguageDialog(m_session))
        endProgram();
}

void MainWindow::onCharger() {
    if (runChargerDialog(m_session))
        endProgram();
}

void MainWindow::onHelpContents() {
    const QString manual =
        findManualInLanguage(QCoreApplication::applicationDirPath(), m_session.folder(),
                             m_session.texts().languageKey());
    if (m_openUrl(QUrl::fromLocalFile(manual)))
        return;
    // No browser or viewer: tell the user where the manual is.
    Message m;
    m.key = QStringLiteral("1134");
    m.text = m_session.text(m.key).arg(QDir::toNativeSeparators(manual));
    m.title = m_session.text(QStringLiteral("0410"));
    m.icon = MsgIcon::Information;
    m_session.prompter().show(m);
}

void MainWindow::onInfo() {
    showInfoWindow(m_session, this);
}

} // namespace velmara
