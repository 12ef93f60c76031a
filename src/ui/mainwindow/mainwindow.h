#pragma once
// The main window: the MDI frame of the program, its start-up sequence, menus
// and the orderly end. It owns the serial link and the channel windows; the
// channels themselves run on the board.
#include "data/session.h"
#include "ui/mainwindow/placeholderview.h"
#include "ui/mainwindow/shellrules.h"

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
class QTranslator;
class QUrl;

namespace velmara {

class WebView;

class BatteryUsage;
class ChannelBoard;
class ChargerLink;
struct ChannelEvent;
class ChannelNotifications;
class DesktopNotifier;
class FeatureContexts;
class PrintEntries;
class StatusMarks;

enum class StartupOutcome { Running, EndProgram };

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // board: the channels, which the channel windows and the status bar follow.
    MainWindow(Session& session, ChannelBoard& board, QWidget* parent = nullptr);
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
    ChannelBoard& board() const { return m_board; }
    PrintEntries& printing() const { return *m_printing; }
    FeatureContexts& contexts() const { return *m_contexts; }
    StatusMarks& statusMarks() const { return *m_marks; }

    // The first channel (1..4; QMT1: only 1) that released / uses the battery,
    // or "noReset" / "notUsed".
    QString releaseBattery(qint32 akkuId);
    QString isBatteryUsed(qint32 akkuId);

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
    // Closes the port and opens the one of the current ComPort (making the link
    // on the first call); true when the port is open. No message.
    bool reopenSerialLink();

    // The channels that may use a battery, as the battery windows see them.
    std::shared_ptr<BatteryUsage> batteryUsage();
    // A channel's process ended or the charger reported a fault: a desktop
    // notification, while the setting Notifications allows it.
    void tellChannelEvent(const ChannelEvent& event);
    // The desktop notifier (default: the session bus); tests hand in a fake.
    void setDesktopNotifier(std::unique_ptr<DesktopNotifier> notifier);
    void applyLanguageTexts();

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
    void onCompact();
    void onComPort();
    void onLanguage();
    void onCharger();
    void onHelpContents();
    void onInfo();

    Session& m_session;
    ChannelBoard& m_board;
    CompactedCopyCheck m_compactionCheck = checkCompactedCopy;
    QMdiArea* m_mdi = nullptr;
    QStringList m_trace;
    ChannelViewFactory m_factory;
    // What the main window keeps of each channel.
    struct Channel {
        std::unique_ptr<ChannelView> view;
        QPointer<QMdiSubWindow> sub;
        QAction* menuEntry = nullptr; // "Kanal n" in the menu Fenster
    };
    std::array<Channel, 4> m_channels;
    QList<QPair<QObject*, QString>> m_texts; // menu object -> text key
    std::unique_ptr<PrintEntries> m_printing;
    std::unique_ptr<FeatureContexts> m_contexts;
    StatusMarks* m_marks = nullptr;
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<ChannelNotifications> m_notifications;
    QAction* m_notificationsAction = nullptr;
    std::unique_ptr<WebView> m_webView;
    QAction* m_exportPng = nullptr;
    QAction* m_exportPdf = nullptr;
    std::function<bool(const QUrl&)> m_openUrl;
    std::unique_ptr<QTranslator> m_qtTranslator; // Qt's own texts (Yes/No, standard dialogs)
    bool m_ended = false;
    bool m_forceClose = false;
};

} // namespace velmara
