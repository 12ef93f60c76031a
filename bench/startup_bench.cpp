// Start-up of the main window: from load() (databases, settings, texts, link,
// channel windows; the logo is not part of it) to the window's first paint.
// Both database files exist already, as on every start after the first.
#include "data/session.h"
#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "data/settingsstore.h"
#include "ui/mainwindow/mainwindow.h"
#include "base/widgets/modal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

namespace {

using namespace velmara;

// No box may appear while measuring: report it and give the safe answer.
class NoBoxes : public MessageService {
public:
    MsgAnswer show(const Message& m) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(m.text));
        ++shown;
        return m.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    void notify(const QString&, const Message& m) override { show(m); }
    void withdraw(const QString&) override {}
    int shown = 0;
};

class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(o, e);
    }
};

QString g_ptySlave;

bool prepareFolder() {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return false;
    g_ptySlave = QString::fromLocal8Bit(ptsname(master)); // master stays open for the run
    if (!openMasterDatabase() || !openUserDatabase())
        return false;
    currentSession()->settings().setRecordset(
        masterDatabase()->openRecordset("SELECT * FROM Optionen"));
    setSetting("FirstStartup", "NO");
    setSetting("UsedCharger", "QMT4");
    setSetting("ComPort", "1");
    setSetting("ComDevice1", g_ptySlave);
    for (int i = 1; i <= 4; ++i)
        setSetting(QString("Akku%1Visible").arg(i), "YES");
    closeDatabases();
    return true;
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        MainWindow window(*currentSession());
        PaintWatch watch;
        window.installEventFilter(&watch);
        QElapsedTimer clock;
        clock.start();
        if (window.load() != StartupOutcome::Running) {
            state.SkipWithError("start-up ended the program");
            break;
        }
        QElapsedTimer limit;
        limit.start();
        while (!watch.painted && limit.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (!watch.painted) {
            state.SkipWithError("no paint within 5 s");
            break;
        }
        window.endProgram();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Session session{ProgramFolder(dir.path())};
    NoBoxes boxes;
    setMessageService(&boxes);
    setModalHandler([](QDialog*) { return int(QDialog::Rejected); });
    if (!prepareFolder()) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return boxes.shown == 0 ? 0 : 1;
}
