#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/mainwindownotices.h"

#include "base/core/dateformat.h"
#include "base/core/errorlog.h"
#include "base/core/manualpath.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/widgets/modal.h"
#include "batteries/core/batterystore.h"
#include "batteries/core/capturechannel.h"
#include "batteries/ui/batteriesui.h"
#include "batteries/ui/storedserieswindow.h"
#include "charts/ui/diagramopener.h"
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
#include "printing/ui/printdialogs.h"
#include "printing/ui/reportprinting.h"
#include "printing/ui/windowreader.h"
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
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace velmara {

using namespace mainwindow;

MainWindow::MainWindow(Session& session, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_factory(placeholderChannelViewFactory()),
      m_channelTurn(std::make_shared<TurnQueue>()),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmMDIMainForm"));
    setWindowTitle(QStringLiteral("velmara3.0"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    m_diagramOpener = new DiagramOpener(m_mdi, this);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub)
            activeWindow = sub->widget();
    });
    createMenus();
    createStatusbar();
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
    static const char* const labelKeys[] = {"1500", "1502", "1504", "1506"};
    for (int i = 0; i < 4; ++i)
        m_channels[size_t(i)].panelLabel->setText(m_session.text(labelKeys[i]));
}

void MainWindow::optimizeStatusbar() {
    std::optional<bool> visible = upperChannelPanelsVisible(m_session.setting("UsedCharger"));
    if (!visible)
        return;
    for (int i = 1; i < 4; ++i) {
        for (QLabel* panel : {m_channels[size_t(i)].panelLabel, m_channels[size_t(i)].panelText}) {
            panel->setVisible(*visible);
            if (*visible)
                panel->setEnabled(true);
        }
    }
}

namespace {
constexpr int kPanelMinWidth = 140; // a channel's state panel in the status bar
} // namespace

void MainWindow::createStatusbar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbFirstStatusbar"));
    bar->setSizeGripEnabled(true);
    static const char* const designLabels[] = {"Kanal 1", "Kanal 2", "Kanal 3", "Kanal 4"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(designLabels[i]), bar);
        label->setObjectName(QStringLiteral("Kanal%1Label").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->installEventFilter(this);
        auto* text = new QLabel(bar);
        text->setObjectName(QStringLiteral("Kanal%1Text").arg(i + 1));
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        text->setMinimumWidth(kPanelMinWidth);
        // A fault's sign in front of the state text, shown only for a fault.
        auto* sign = new QLabel(bar);
        sign->setObjectName(QStringLiteral("Kanal%1Fehler").arg(i + 1));
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
        sign->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
        sign->hide();
        bar->addWidget(label);
        bar->addWidget(sign);
        bar->addWidget(text, 1);
        m_channels[size_t(i)].panelLabel = label;
        m_channels[size_t(i)].panelText = text;
        m_channels[size_t(i)].panelFault = sign;
    }
    m_storageMark = new QLabel(bar);
    m_storageMark->setObjectName(QStringLiteral("lblNichtGespeichert"));
    m_storageMark->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));
    m_storageMark->hide();
    bar->addPermanentWidget(m_storageMark);
}

int MainWindow::valuesWaiting() const {
    int total = 0;
    for (const Channel& c : m_channels)
        total += c.waitingValues;
    return total;
}

void MainWindow::setValuesWaiting(const QString& channelCode, int waiting, const QString& reason) {
    const int i = indexOf(channelCode);
    if (i < 0)
        return;
    const int before = valuesWaiting();
    m_channels[size_t(i)].waitingValues = waiting;
    const int total = valuesWaiting();
    m_storageMark->setText(total > 0 ? m_session.text("1124").arg(total) : QString());
    m_storageMark->setVisible(total > 0);
    // The notice is shown again when the reason changes (the file is writable
    // again, but its -shm file is not).
    const bool newReason = waiting > 0 && !reason.isEmpty() && reason != m_waitingReason;
    if (total == 0 || newReason)
        m_waitingReason = total > 0 ? reason : QString();
    if ((before == 0 && total > 0) || (newReason && before > 0)) {
        Message m;
        m.key = QStringLiteral("1122");
        m.text = m_session.text(m.key) +
                 (reason.isEmpty() ? QString() : QStringLiteral("\n\n") + reason);
        m.title = m_session.text(QStringLiteral("0120"));
        m.icon = MsgIcon::Exclamation;
        m.buttons = MsgButtons::Ok;
        m_session.prompter().notify(kStorageNotice, m);
    } else if (total == 0) {
        m_session.prompter().withdraw(kStorageNotice);
    }
}

void MainWindow::setStatusbarText(const QString& channelCode, const QString& text, bool fault) {
    const int i = indexOf(channelCode);
    if (i < 0)
        return;
    Channel& channel = m_channels[size_t(i)];
    channel.panelText->setText(text);
    channel.panelText->setToolTip(text); // a long fault text may not fit the panel
    // A fault stands out: its sign and the fault colour.
    channel.panelText->setStyleSheet(
        fault ? QStringLiteral("color: rgb(190, 0, 0); font-weight: bold;") : QString());
    channel.panelFault->setVisible(fault && !channel.panelText->isHidden());
    // A fault's panel asks for the width of its whole text, up to half the bar;
    // the other panels give way.
    QFont font = channel.panelText->font();
    font.setBold(true);
    const int whole = QFontMetrics(font).horizontalAdvance(text) + 12;
    channel.panelText->setMinimumWidth(
        fault
            ? std::clamp(whole, kPanelMinWidth, std::max(kPanelMinWidth, statusBar()->width() / 2))
            : kPanelMinWidth);
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

// ---------------------------------------------------------------- print entry

void MainWindow::checkAndSetPrintItem(std::optional<bool> keep) {
    if (keep && !*keep) {
        m_printItemWindow = nullptr;
        m_printItemAction = nullptr;
    }
    const bool held = !m_printItemWindow.isNull() && m_printItemAction;
    for (const char* name : {"mnuDateiPrint", "mnuDateiExportPdf"})
        if (QAction* entry = findChild<QAction*>(QLatin1String(name)))
            entry->setEnabled(held);
}

void MainWindow::setPrintItemWindow(QWidget* window) {
    m_printItemWindow = window;
    checkAndSetPrintItem();
}

void MainWindow::setPrintItemWindow(QWidget* window, PrintAction print) {
    m_printItemAction = std::move(print);
    setPrintItemWindow(window);
}

QPrinter* MainWindow::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

QString MainWindow::askPdfPath() {
    // The menu entry's text, without its access key and dots, names the file dialog.
    QString title = m_session.text(QStringLiteral("9042"));
    title.remove(QRegularExpression(QStringLiteral("&(?=[^&])")));
    title.remove(QRegularExpression(QStringLiteral("(\\.\\.\\.|\u2026)$")));
    QFileDialog dialog(this, title, QString(), QStringLiteral("PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("commonDialogMain"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (execModal(m_session.prompter(), &dialog) != QDialog::Accepted ||
        dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void MainWindow::printReport(const QWidget* caller, const ProgramRecord* program,
                             const QImage& diagram, bool diagramOnly, bool toPdf,
                             const ReportWindowData* callerData) {
    PrintContext context;
    context.prompter = &m_session.prompter();
    context.setting = [session = &m_session](const QString& key) { return session->setting(key); };
    context.text = [session = &m_session](const QString& key) { return session->text(key); };
    context.programReference = [session = &m_session] {
        return loadProgramReference(session->master(), session->setting("UsedCharger"),
                                    session->texts().languageKey());
    };
    context.language = m_session.texts().languageKey();
    context.printer = printer();
    context.askPdfPath = [this] { return askPdfPath(); };
    context.dialogParent = this;
    ReportRequest request;
    request.callerForm = caller;
    if (!caller && callerData)
        request.windowData = *callerData;
    request.program = program;
    request.diagram = diagram;
    request.diagramOnly = diagramOnly;
    velmara::printReport(context, request, toPdf ? ReportTarget::PdfFile : ReportTarget::Printer);
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
    const int waiting = valuesWaiting();
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
        checkAndSetPrintItem(!m_printItemWindow || !sub || sub->widget() != m_printItemWindow
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
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 4; ++i)
            if (watched == m_channels[size_t(i)].panelLabel) {
                toggleChannel(allChannelCodes().at(i));
                return true;
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
        });
}

std::shared_ptr<const BatteriesContext> MainWindow::batteriesContext() {
    if (m_batteriesContext)
        return m_batteriesContext;
    auto context = std::make_shared<BatteriesContext>();
    context->prompter = &m_session.prompter();
    context->stores = m_session.user() ? &m_session.stores() : nullptr;
    if (Database* master = m_session.master())
        context->references = loadReferenceTexts(*master, m_session.setting("UsedCharger"),
                                                 m_session.setting("UsedLanguage"));
    context->text = [session = &m_session](const QString& key) { return session->text(key); };
    context->language = m_session.texts().languageKey();
    context->log = [session = &m_session](const QString& signature, const QString& entry) {
        session->log().writeSignature(signature);
        session->log().writeEntry(entry);
    };
    bool ok = false;
    const int battery = m_session.setting("MaxAkkuBemerkung").toInt(&ok);
    if (ok)
        context->maxBatteryRemark = battery;
    const int series = m_session.setting("MaxMessBemerkung").toInt(&ok);
    if (ok)
        context->maxSeriesRemark = series;
    QPointer<MainWindow> self(this);
    // While a stored-series window is active, the print entries print its report.
    context->hooks.activated = [self](QWidget* window) {
        if (!self)
            return;
        self->activeWindow = window;
        QPointer<QWidget> target(window);
        self->setPrintItemWindow(window, [self, target](bool toPdf) {
            auto* series = qobject_cast<StoredSeriesWindow*>(target.data());
            if (self && series)
                self->printReport(series, series->program().get(), QImage(), false, toPdf);
        });
    };
    context->hooks.closed = [self](QWidget* window) {
        if (self && self->printItemWindow() == window)
            self->checkAndSetPrintItem(false);
    };
    context->hooks.print = [self](QWidget* window, std::shared_ptr<ProgramRecord> program) {
        if (self)
            self->printReport(window, program.get());
    };
    context->hooks.exportPdf = [self](QWidget* window, std::shared_ptr<ProgramRecord> program) {
        if (self)
            self->printReport(window, program.get(), QImage(), false, true);
    };
    context->hooks.diagram = [self](QWidget* window, qint32 seriesId, qint32 endValueId,
                                    std::shared_ptr<ProgramRecord> program,
                                    std::function<void()> finished) {
        if (!self) {
            if (finished)
                finished();
            return;
        }
        self->openDiagram(
            false, seriesId, endValueId,
            [finished](bool) {
                if (finished)
                    finished();
            },
            window, [program] { return program.get(); });
    };
    context->hooks.showProgram = [self](std::shared_ptr<ProgramRecord> program) {
        if (self && program)
            openUsedProgram(self, self->m_session, *program);
    };
    m_batteriesContext = context;
    return m_batteriesContext;
}

DiagramWindow* MainWindow::diagramWindow() const {
    return m_diagramOpener->window();
}

void MainWindow::openDiagram(bool temporary, qint32 seriesId, qint32 endValueId,
                             const std::function<void(bool shown)>& done, QWidget* caller,
                             std::function<const ProgramRecord*()> program) {
    // Every opening names the window and program its report prints.
    m_diagramCaller = caller;
    m_diagramCallerData = readReportWindow(caller);
    m_diagramProgram = std::move(program);
    DiagramContext context;
    context.prompter = &m_session.prompter();
    context.values = &m_session.stores().values();
    if (Database* master = m_session.master())
        loadDiagramPointsRows(*master, &context.diagramPoints);
    context.settings = {
        [session = &m_session](const QString& key) { return session->setting(key); },
        [session = &m_session](const QString& key, const QString& value) {
            session->settings().setOrAddSetting(key, value);
        }};
    context.text = [session = &m_session](const QString& key) { return session->text(key); };
    context.log = [session = &m_session](const QString& entry) {
        session->log().writeSignature(QStringLiteral("Diagram"));
        session->log().writeEntry(entry);
    };
    QPointer<MainWindow> self(this);
    // While the diagram window is active, the print entries print its report
    // with the diagram.
    context.printItemChanged = [self](DiagramWindow* window, bool active) {
        if (!self)
            return;
        if (!active) {
            if (self->printItemWindow() == window)
                self->checkAndSetPrintItem(false);
            return;
        }
        QPointer<DiagramWindow> target(window);
        self->setPrintItemWindow(window, [target](bool toPdf) {
            if (target)
                target->printReport(false, toPdf);
        });
    };
    context.print = [self](DiagramWindow*, const QPixmap& picture, bool diagramOnly, bool toPdf) {
        if (!self)
            return;
        const ProgramRecord* program = self->m_diagramProgram ? self->m_diagramProgram() : nullptr;
        // A caller still open is read as it stands now; one that was closed as it
        // stood when the diagram was opened.
        if (self->m_diagramCaller)
            self->m_diagramCallerData = readReportWindow(self->m_diagramCaller);
        self->printReport(self->m_diagramCaller, program, picture.toImage(), diagramOnly, toPdf,
                          &self->m_diagramCallerData);
    };
    context.askSavePath = [self, prompter = &m_session.prompter()](const QString& filter) {
        QFileDialog dialog(self, QString(), QString(), filter);
        dialog.setObjectName(QStringLiteral("commonDialogMain"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (execModal(*prompter, &dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    DiagramRequest request;
    request.tempCreated = temporary;
    request.seriesId = seriesId;
    request.endValueId = endValueId;
    // Saved pictures are titled with what the caller shows (battery and series,
    // or the channel and the day).
    QString title = caller ? caller->windowTitle() : QString();
    if (temporary)
        title += QStringLiteral(", ") + formatDateTime(QDateTime::currentDateTime(),
                                                       m_session.texts().languageKey(), false);
    m_diagramOpener->open(
        context, request,
        [done](bool shown) {
            if (done)
                done(shown);
        },
        caller);
    if (DiagramWindow* window = m_diagramOpener->window())
        window->setTitle(title);
}

void MainWindow::onManageMeasurements() {
    openManagementDialog(batteryUsage(), batteriesContext(), this);
}

void MainWindow::onFileSave() {
    runSeriesExport(exchangeContext(), this);
}

void MainWindow::onImportCsv() {
    runSeriesImport(exchangeContext(), this);
}

ExchangeContext MainWindow::exchangeContext() {
    ExchangeContext context;
    context.prompter = &m_session.prompter();
    context.stores = m_session.user() ? &m_session.stores() : nullptr;
    context.text = [session = &m_session](const QString& key) { return session->text(key); };
    context.language = m_session.texts().languageKey();
    QPointer<MainWindow> self(this);
    context.askPath = [self, prompter = &m_session.prompter()](const PathRequest& request) {
        QFileDialog dialog(self, QString(), QString(), request.filter);
        dialog.setObjectName(QStringLiteral("commonDialogMain"));
        switch (request.kind) {
        case PathRequest::Kind::OpenFile:
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            break;
        case PathRequest::Kind::SaveFile:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("csv"));
            dialog.selectFile(request.suggestedName);
            break;
        case PathRequest::Kind::Folder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
        }
        if (execModal(*prompter, &dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    return context;
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

void MainWindow::onPageSetup() {
    QPageSetupDialog dialog(printer(), this);
    dialog.setObjectName(QStringLiteral("commonDialogMain"));
    execModal(m_session.prompter(), &dialog);
}

void MainWindow::onPrint(bool toPdf) {
    if (m_printItemWindow && m_printItemAction)
        m_printItemAction(toPdf);
}

void MainWindow::onSubTitle() {
    SubTitleDialog dialog(
        [session = &m_session](const QString& key) { return session->text(key); },
        [session = &m_session](const QString& key) { return session->setting(key); },
        [session = &m_session](const QString& key, const QString& value) {
            session->setSetting(key, value);
        },
        this);
    execModal(m_session.prompter(), &dialog);
}

void MainWindow::onPrintSettings() {
    PrintSettingsDialog dialog(
        [session = &m_session](const QString& key) { return session->text(key); },
        m_session.prompter(),
        [session = &m_session](const QString& key) { return session->setting(key); },
        [session = &m_session](const QString& key, const QString& value) {
            session->setSetting(key, value);
        },
        QLocale(), this);
    execModal(m_session.prompter(), &dialog);
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
