// The longest stall of the user-interface thread: the largest gap between the
// ticks of a 10 ms timer while the main window and its four channel windows run
// against the charger simulator. Five cases: the charger answers, is silent, is
// switched off while charging, answers late, and is off at start-up (from the
// shown window on). Every case also gives load_ms, the time load() takes to
// show the main window (the logo is not part of it); the start-up case repeats
// the start three times and reports that time as its own.
//
// Needs build/bin/velmara-charger-sim (VELMARA_BIN_DIR or beside this program).
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
#include "ui/mainwindow/channelwindowfactory.h"
#include "ui/mainwindow/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace {

using namespace velmara;

class NoBoxes : public MessageService {
public:
    MsgAnswer show(const Message& m) override {
        return m.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    void notify(const QString&, const Message&) override {}
    void withdraw(const QString&) override {}
};

QString g_simBinary;
QString g_linkPath;
Session* g_session = nullptr; // the benchmark program's one session

// The largest gap between the ticks of a 10 ms timer.
class StallWatch {
public:
    StallWatch() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void tick() {
        const qint64 now = m_clock.elapsed();
        m_maxGap = std::max(m_maxGap, now - m_last);
        m_last = now;
    }
    qint64 maxGapMs() {
        tick();
        return m_maxGap;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_maxGap = 0;
};

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class Simulator {
public:
    bool start(const QStringList& extra) {
        m_proc.setProgram(g_simBinary);
        m_proc.setArguments(QStringList{"--link", g_linkPath} + extra);
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start();
        if (!m_proc.waitForStarted(5000))
            return false;
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(g_linkPath) && t.elapsed() < 5000)
            runFor(10);
        return QFileInfo::exists(g_linkPath);
    }
    void command(const QByteArray& line) {
        m_proc.write(line + "\n");
        m_proc.waitForBytesWritten(1000);
    }
    ~Simulator() {
        if (m_proc.state() != QProcess::NotRunning) {
            command("quit");
            if (!m_proc.waitForFinished(3000))
                m_proc.kill();
            m_proc.waitForFinished(3000);
        }
    }

private:
    QProcess m_proc;
};

struct Case {
    QStringList simArgs;
    QList<QByteArray> beforeStart;           // simulator commands before the window loads
    int settleMs = 0;                        // after load(): run this long, then atWatch
    std::function<void(Simulator&)> atWatch; // a change on the charger
    int watchMs = 8000;
    bool timeLoad = false; // the iteration time is load(), not the stall
};

void runCase(benchmark::State& state, const Case& c) {
    qint64 maxGap = 0;
    double loadSum = 0;
    for (auto _ : state) {
        Simulator sim;
        if (!sim.start(c.simArgs)) {
            state.SkipWithError("the simulator did not start");
            return;
        }
        for (const QByteArray& cmd : c.beforeStart)
            sim.command(cmd);
        runFor(100);
        ChannelBoard board(*g_session);
        auto window = std::make_unique<MainWindow>(*g_session, board);
        installChannelWindows(*window);
        StallWatch watch;
        QElapsedTimer load;
        load.start();
        const StartupOutcome outcome = window->load();
        const double loadMs = double(load.nsecsElapsed()) / 1e6;
        if (outcome != StartupOutcome::Running) {
            state.SkipWithError("start-up ended the program");
            return;
        }
        watch.start();
        runFor(c.settleMs);
        if (c.atWatch)
            c.atWatch(sim);
        runFor(c.watchMs);
        const qint64 gap = watch.maxGapMs();
        state.SetIterationTime(c.timeLoad ? loadMs / 1000.0 : double(gap) / 1000.0);
        maxGap = std::max(maxGap, gap);
        loadSum += loadMs;
        window->endProgram();
        runFor(300);
    }
    state.counters["max_stall_ms"] = double(maxGap);
    state.counters["load_ms"] = loadSum / double(std::max<qint64>(state.iterations(), 1));
}

void BM_Stall_ChargerAnswers(benchmark::State& state) {
    runCase(state, Case{{"--demo"}, {}, 0, {}, 9000, false});
}
void BM_Stall_ChargerSilent(benchmark::State& state) {
    runCase(state, Case{{}, {"silent"}, 0, {}, 16000, false});
}
void BM_Stall_ChargingChargerSwitchedOff(benchmark::State& state) {
    runCase(
        state,
        Case{{"--demo"}, {}, 4000, [](Simulator& sim) { sim.command("silent"); }, 16000, false});
}
void BM_Stall_LateAnswers(benchmark::State& state) {
    runCase(state, Case{{"--demo"},
                        {},
                        1000,
                        [](Simulator& sim) { sim.command("late 12 2500"); },
                        16000,
                        false});
}
void BM_Stall_StartupChargerOff(benchmark::State& state) {
    runCase(state, Case{{}, {"silent"}, 0, {}, 6000, true});
}

#define STALL_CASE(fn) BENCHMARK(fn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)
STALL_CASE(BM_Stall_ChargerAnswers);
STALL_CASE(BM_Stall_ChargerSilent);
STALL_CASE(BM_Stall_ChargingChargerSwitchedOff);
STALL_CASE(BM_Stall_LateAnswers);
BENCHMARK(BM_Stall_StartupChargerOff)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString binDir = qEnvironmentVariable("VELMARA_BIN_DIR");
    if (binDir.isEmpty())
        binDir = QCoreApplication::applicationDirPath();
    g_simBinary = QDir(binDir).filePath("velmara-charger-sim");
    if (!QFileInfo(g_simBinary).isExecutable()) {
        std::fprintf(stderr, "no simulator at %s\n", qPrintable(g_simBinary));
        return 1;
    }
    QTemporaryDir dir;
    g_linkPath = QDir(dir.path()).filePath("charger");
    Session session{ProgramFolder(dir.path())};
    g_session = &session;
    NoBoxes boxes;
    session.prompter().setMessageService(&boxes);
    session.prompter().setModalHandler([](QDialog*) { return int(QDialog::Rejected); });
    if (!bench::prepareFolder(session, g_linkPath)) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
