// velmara: the logo, then the main window and its start-up sequence.
#include "channel/ui/channelwindowfactory.h"
#include "shell/core/programfolder.h"
#include "shell/mainwindow/mainform.h"
#include "shell/mainwindow/startlogo.h"
#include "shell/ui/modal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <memory>

namespace {

// With VELMARA_SCREENSHOT=<file.png> the main window is saved to that file
// shortly after it has appeared and the program ends without the quit question.
// Used to take pictures of the window on a virtual display; off otherwise.
void scheduleScreenshot(velmara::frmMDIMainForm* main, const QString& path) {
    QTimer::singleShot(1500, main, [main, path] {
        main->grab().save(path);
        qInfo("caption: %s", qPrintable(main->windowTitle()));
        main->endProgram();
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmara"));
    app.setQuitOnLastWindowClosed(false);

    velmara::setProgramFolder(
        velmara::ProgramFolder::resolve(QCoreApplication::applicationDirPath()));
    velmara::installWidgetMessageService();

    const QString screenshot = qEnvironmentVariable("VELMARA_SCREENSHOT");
    std::unique_ptr<velmara::frmMDIMainForm> main;
    int exitCode = 0;

    velmara::frmStartLogo logo;
    QObject::connect(&logo, &velmara::frmStartLogo::finished, &app, [&] {
        main = std::make_unique<velmara::frmMDIMainForm>();
        velmara::installChannelWindows(*main);
        QObject::connect(main.get(), &velmara::frmMDIMainForm::programEnded, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        if (main->load() == velmara::StartupOutcome::EndProgram) {
            QCoreApplication::exit(exitCode);
            return;
        }
        if (!screenshot.isEmpty())
            scheduleScreenshot(main.get(), screenshot);
    });
    logo.show();

    exitCode = app.exec();
    main.reset();
    return exitCode;
}
