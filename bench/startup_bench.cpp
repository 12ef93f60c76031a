// Start-up of the main window: from load() (databases, settings, texts, link,
// channel windows; the logo is not part of it) to the window's first paint.
// Both database files exist already, as on every start after the first.
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/widgets/modal.h"
#include "bench_folder.h"
#include "channel/core/channelboard.h"
#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "ui/mainwindow/mainwindow.h"

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

bool prepareFolder(Session& session) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return false;
    g_ptySlave = QString::fromLocal8Bit(ptsname(master)); // master stays open for the run
    return bench::prepareFolder(session, g_ptySlave);
}

void BM_StartupToFirstPaint(benchmark::State& state, Session* session) {
    for (auto _ : state) {
        ChannelBoard board(*session);
        MainWindow window(*session, board);
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Session session{ProgramFolder(dir.path())};
    NoBoxes boxes;
    session.prompter().setMessageService(&boxes);
    session.prompter().setModalHandler([](QDialog*) { return int(QDialog::Rejected); });
    if (!prepareFolder(session)) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    benchmark::RegisterBenchmark("BM_StartupToFirstPaint", BM_StartupToFirstPaint, &session)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return boxes.shown == 0 ? 0 : 1;
}
