#pragma once
// The main window: the MDI frame of the program, its start-up sequence, menus,
// status bar and the orderly end. It owns the serial link and the channel windows.
#include "data/session.h"
#include "printing/core/reportdata.h"
#include "ui/mainwindow/placeholderview.h"
#include "ui/mainwindow/shellrules.h"

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QTranslator;
class QUrl;

namespace velmara {

class BatteryUsage;
class ProgramRecord;
class DiagramOpener;
class DiagramWindow;
class TurnQueue;
class ChargerLink;
struct BatteriesContext;
struct ChannelEvent;
class ChannelNotifications;
class DesktopNotifier;
struct ExchangeContext;

enum class StartupOutcome { Running, EndProgram };

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The channel windows made at start-up (default: placeholder windows).
    void setChannelViewFactory(ChannelViewFactory factory);

    // Runs the start-up sequence. Running: the window is shown and the program
    // runs; EndProgram: a fatal error or a cancelled dialog ended it (the
    // program-wide objects are released already).
    StartupOutcome load();
    // The steps that load() went through, in order ("lock", "log", "master", "user",
    // "settings", "resources", "firststart", "tempvalues", "recordsets",
    // "extension", "texts", "link", "channels", "visibility", "show").
    const QStringList& startupTrace() const { return m_trace; }

    // --- used by the channel windows and dialogs ---
    bool chargerMissing = false;
    QPointer<QWidget> activeWindow;

    // 1, 2, 3, ... per run
    qint32 newTempSeriesId() { return m_tempIds.next(); }
    // The first channel (1..4; QMT1: only 1) that released / uses the battery,
    // or "noReset" / "notUsed".
    QString releaseBattery(qint32 akkuId);
    QString isBatteryUsed(qint32 akkuId);

    // Writes the state text of a channel into its status-bar panel.
    void setStatusbarText(const QString& channelCode, const QString& text, bool fault = false);
    // Values of a channel wait in memory because the user file does not take
    // them: one notice per episode and a mark in the status bar while it lasts.
    void setValuesWaiting(const QString& channelCode, int waiting, const QString& reason);
    int valuesWaiting() const;
    // The check mark of a channel's menu entry.
    void setChannelChecked(const QString& channelCode, bool checked);
    bool isChannelChecked(const QString& channelCode) const;
    // The menu entry of a channel: brings a checked channel to the front, shows an unchecked one.
    void toggleChannel(const QString& channelCode);

    // The serial link (null before start-up step 11 and after the end). It is
    // made once and lives until the channel windows are gone; the port dialog
    // changes its port, not the object.
    ChargerLink* comLink() const { return m_session.link(); }
    Session& session() const { return m_session; }
    // How the compaction checks its copy (tests hand in one that fails).
    void setCompactionCheck(CompactedCopyCheck check) { m_compactionCheck = std::move(check); }
    // The channels take turns through this: one channel's step at a time.
    const std::shared_ptr<TurnQueue>& channelTurn() const { return m_channelTurn; }
    // Closes the port and opens the one of the current ComPort (making the link
    // on the first call); true when the port is open. No message.
    bool reopenSerialLink();

    // The battery and series windows' view of the running program, and of the
    // channels that may use a battery.
    std::shared_ptr<const BatteriesContext> batteriesContext();
    std::shared_ptr<BatteryUsage> batteryUsage();
    // Opens (or reuses) the one diagram window on a series of the temporary
    // (channel windows) or permanent table (stored-series windows); endValueId 0
    // draws the whole series. done learns whether the diagram was shown.
    // caller and program: the window that opened the diagram and its program,
    // printed on the diagram window's report.
    void openDiagram(bool temporary, qint32 seriesId, qint32 endValueId,
                     const std::function<void(bool shown)>& done = {}, QWidget* caller = nullptr,
                     std::function<const ProgramRecord*()> program = {});
    DiagramWindow* diagramWindow() const;
    // A channel's process ended or the charger reported a fault: a desktop
    // notification, while the setting Notifications allows it.
    void tellChannelEvent(const ChannelEvent& event);
    // The desktop notifier (default: the session bus); tests hand in a fake.
    void setDesktopNotifier(std::unique_ptr<DesktopNotifier> notifier);
    // What the export and import of series need (file pickers through the seam).
    ExchangeContext exchangeContext();

    // The print entry: false forgets the window stored for printing; the entry
    // is enabled while a window is stored.
    void checkAndSetPrintItem(std::optional<bool> keep = std::nullopt);
    void setPrintItemWindow(QWidget* window);
    // The window whose report "Drucken..." and "Als PDF exportieren..." produce
    // (print(false): the printer, print(true): a PDF file).
    using PrintAction = std::function<void(bool toPdf)>;
    void setPrintItemWindow(QWidget* window, PrintAction print);
    QWidget* printItemWindow() const { return m_printItemWindow.data(); }

    // The channel report of a window (a channel or stored-series window) with its
    // program; diagram: the captured diagram window printed below it, or with
    // diagramOnly alone on a landscape page. toPdf: into a PDF file.
    // callerData: what the report shows of a caller that is gone.
    void printReport(const QWidget* caller, const ProgramRecord* program,
                     const QImage& diagram = QImage(), bool diagramOnly = false, bool toPdf = false,
                     const ReportWindowData* callerData = nullptr);
    // The printer of the print entries, kept between prints.
    QPrinter* printer();

    void applyLanguageTexts();
    void optimizeStatusbar();

    // Ends the program at once without the quit question (language and charger
    // dialogs, compaction): clears the temporary values, closes the databases,
    // releases the log and emits programEnded(). Called while a request waits on
    // the line, the release follows as soon as that request has returned.
    void endProgram();
    bool hasEnded() const { return m_ended; }

    ChannelView* channelView(const QString& channelCode) const;
    QMdiSubWindow* channelSubWindow(const QString& channelCode) const;
    QMdiArea* mdiArea() const { return m_mdi; }

    // Window arrangements of the menu Fenster.
    void arrangeCascade();
    void tileStacked();    // one above the other ("Übereinander")
    void tileSideBySide(); // side by side ("Nebeneinander")
    void arrangeIcons();
    void minimiseAll(); // "Alle Fenster verkleinern"

    // How the help file is opened (tests replace it).
    // The opener answers false when nothing could show the file.
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }

Q_SIGNALS:
    // The program ends (after the quit question or through endProgram()).
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The quit question; while channels record, it names each battery and
    // series that stops being recorded. True: the user wants to quit.
    bool confirmQuit();
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createStatusbar();
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption, const QString& key);
    QMenu* addMenu(QMenu* parentMenu, const char* name, const QString& caption, const QString& key);

    // A user file (master given) or master file of 0 bytes: asks, sets it aside.
    bool replaceEmptyFile(Database* master);
    bool confirmLosingWaitingValues();
    bool openSettings();
    bool openResources();
    bool generateSerialConnection();
    void loadChannelWindows();
    void applyVisibility(const QString& channelCode);
    void storeVisibility();
    void releaseProgram();
    void finishRelease();
    void tile(Qt::Orientation stacking);
    void onLineFault(int errorNumber, const QString& description, bool portLost);
    void onLineRecovered();
    QList<QMdiSubWindow*> visibleSubWindows() const;

    void onManageMeasurements();
    void onFileSave();
    void onImportCsv();
    void onNotificationsToggled(bool on);
    // The notifications of channel events, made at first use.
    ChannelNotifications& notifications();
    void onPageSetup();
    void onPrint(bool toPdf);
    void onSubTitle();
    void onPrintSettings();
    QString askPdfPath();
    void onCompact();
    void onComPort();
    void onLanguage();
    void onCharger();
    void onHelpContents();
    void onInfo();

    Session& m_session;
    CompactedCopyCheck m_compactionCheck = checkCompactedCopy;
    QMdiArea* m_mdi = nullptr;
    QStringList m_trace;
    TempSeriesCounter m_tempIds;
    ChannelViewFactory m_factory;
    std::shared_ptr<TurnQueue> m_channelTurn;
    // What the main window keeps of each channel.
    struct Channel {
        std::unique_ptr<ChannelView> view;
        QPointer<QMdiSubWindow> sub;
        QAction* menuEntry = nullptr; // "Kanal n" in the menu Fenster
        QLabel* panelLabel = nullptr; // the channel's name in the status bar
        QLabel* panelText = nullptr;  // its state text in the status bar
        QLabel* panelFault = nullptr; // the sign before a fault's text
        int waitingValues = 0;        // values that wait for the user file
    };
    std::array<Channel, 4> m_channels;
    QLabel* m_storageMark = nullptr;
    QString m_waitingReason;                 // why values wait, as the notice last said
    QList<QPair<QObject*, QString>> m_texts; // menu object -> text key
    QPointer<QWidget> m_printItemWindow;
    PrintAction m_printItemAction;
    // The window that opened the diagram, and its program.
    // What the report needs of the caller is kept, so the report still prints
    // after the caller was closed.
    QPointer<QWidget> m_diagramCaller;
    ReportWindowData m_diagramCallerData;
    std::function<const ProgramRecord*()> m_diagramProgram;
    DiagramOpener* m_diagramOpener = nullptr;
    std::shared_ptr<const BatteriesContext> m_batteriesContext;
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<ChannelNotifications> m_notifications;
    QAction* m_notificationsAction = nullptr;
    QAction* m_exportPng = nullptr;
    QAction* m_exportPdf = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    std::function<bool(const QUrl&)> m_openUrl;
    std::unique_ptr<QTranslator> m_qtTranslator; // Qt's own texts (Yes/No, standard dialogs)
    bool m_ended = false;
    bool m_forceClose = false;
};

} // namespace velmara
