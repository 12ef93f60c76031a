// velmara: the logo, then the main window and its start-up sequence.
#include "app/uicommands.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/core/startupmessages.h"
#include "base/core/terminationsignals.h"
#include "base/widgets/modal.h"
#include "channel/core/channelboard.h"
#include "data/session.h"
#include "ui/mainwindow/channelwindowfactory.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/startlogo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// With VELMARA_SCREENSHOT=<file.png> the main window is saved to that file
// shortly after it has appeared and the program ends without the quit question.
// Used to take pictures of the window on a virtual display; off otherwise.
void scheduleScreenshot(velmara::MainWindow* main, const QString& path) {
    QTimer::singleShot(1500, main, [main, path] {
        main->grab().save(path);
        qInfo("caption: %s", qPrintable(main->windowTitle()));
        main->endProgram();
    });
}

} // namespace

// The exit code when start-up ended the program before the main window ran (a
// fatal error, or a start-up dialog that was cancelled).
constexpr int kStartupFailed = 1;

namespace {

const char* const kVersion = "velmara " VELMARA_VERSION_TEXT;

// The folder of this executable before the application object exists. Started
// by name through PATH, argv[0] is only "velmara" and names no folder, so the
// system's own link to the running executable comes first.
QString executableDir(const char* argv0) {
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (!self.isEmpty())
        return self;
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

// --version and --help answer on standard output without a window.
bool answerCommandLine(int argc, char** argv, int* exitCode) {
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--version")) {
            std::printf("%s\n", kVersion);
            return *exitCode = 0, true;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            const QString exeDir = executableDir(argv[0]);
            const velmara::ProgramFolder folder(velmara::ProgramFolder::preferredRoot(
                exeDir, velmara::ProgramFolder::homeBase(), ::geteuid()));
            std::printf("usage: velmara [--version] [--help]\n\n"
                        "%s runs a computer-controlled battery charger with one or four channels\n"
                        "over a serial port. Its settings and measurements live in database files\n"
                        "in Daten/ of its data folder, its error log in error.log there. An\n"
                        "installed program keeps them in $XDG_DATA_HOME/velmara (by default\n"
                        "~/.local/share/velmara); a build or a copy of your own, beside itself.\n\n"
                        "The data folder: %s\n"
                        "The manual: %s\n",
                        kVersion, qPrintable(folder.root()),
                        qPrintable(velmara::findManual(exeDir, folder)));
            return *exitCode = 0, true;
        }
    }
    return false; // anything else is for the toolkit (-platform, -style, ...)
}

} // namespace

int main(int argc, char** argv) {
    int answered = 0;
    if (answerCommandLine(argc, argv, &answered))
        return answered;
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmara"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMARA_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmara/velmara.svg")));
    app.setQuitOnLastWindowClosed(false);

    const QString screenshot = qEnvironmentVariable("VELMARA_SCREENSHOT");
    std::unique_ptr<velmara::MainWindow> main;
    bool loading = false;
    bool endRequested = false;
    bool startupFailed = false;

    // SIGTERM, SIGINT and SIGHUP end the program like the quit entry, without
    // the question. During the start-up sequence the request waits until the
    // sequence is through, and every dialog or message it shows from then on is
    // closed as if cancelled (nobody is there to answer it). Before the
    // sequence, nothing is open and the program just ends (a fatal message on
    // the screen is closed).
    QTimer closeDialogs;
    closeDialogs.setInterval(50);
    QObject::connect(&closeDialogs, &QTimer::timeout, &app, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    velmara::TerminationSignals termination;
    QObject::connect(&termination, &velmara::TerminationSignals::requested, &app, [&](int) {
        if (loading) {
            endRequested = true;
            closeDialogs.start();
        } else if (main) {
            main->endProgram();
        } else {
            QCoreApplication::exit(0);
        }
    });

    const velmara::ProgramFolder::Choice folder = velmara::ProgramFolder::resolve(
        QCoreApplication::applicationDirPath(), velmara::ProgramFolder::homeBase(), ::geteuid());
    if (!folder.problem.isEmpty()) {
        // No session without a folder; the box has a prompter of its own. No
        // master file to read the language from: the system's language decides.
        velmara::Prompter prompter;
        velmara::installWidgetMessageService(prompter);
        prompter.show(velmara::unusableFolderMessage(velmara::startupLanguage(QString()), folder));
        return kStartupFailed;
    }
    // The program's files, stores and link, from here to the end.
    velmara::Session session(folder.folder);
    velmara::installWidgetMessageService(session.prompter());
    // The channels, which the windows, the status bar and the notifications follow.
    velmara::ChannelBoard board(session);

    velmara::startUiCommands(&app);
    velmara::StartLogo logo;
    QObject::connect(&logo, &velmara::StartLogo::finished, &app, [&] {
        main = std::make_unique<velmara::MainWindow>(session, board);
        velmara::installChannelWindows(*main);
        QObject::connect(main.get(), &velmara::MainWindow::programEnded, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        loading = true;
        const velmara::StartupOutcome outcome = main->load();
        loading = false;
        closeDialogs.stop();
        if (outcome == velmara::StartupOutcome::EndProgram) {
            startupFailed = true;
            QCoreApplication::exit(kStartupFailed);
            return;
        }
        if (endRequested) {
            main->endProgram();
            return;
        }
        if (!screenshot.isEmpty())
            scheduleScreenshot(main.get(), screenshot);
    });
    logo.show();

    const int exitCode = app.exec();
    main.reset();
    // The ended start-up also emits programEnded(), whose queued quit must not
    // turn the failure into success.
    return startupFailed ? kStartupFailed : exitCode;
}
