// The longest stall of the user-interface thread: the largest gap between the
// ticks of a 10 ms timer while the main window and its four channel windows run
// against the charger simulator. Five cases: the charger answers, is silent, is
// switched off while charging, answers late, and is off at start-up (from the
// shown window on). Every case also gives load_ms, the time load() takes to
// show the main window (the logo is not part of it); the start-up case repeats
// the start three times and reports that time as its own.
//
// A sixth case runs the charger's answers with the web view on and 20 viewers
// connected (in a thread of their own): its stall and its user-interface
// thread's CPU time (ui_cpu_ms_per_s, also given for the plain case) against
// those of the plain case are what the viewers cost.
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
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include <atomic>
#include <ctime>

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

// Waits in the event loop (no spinning), so the thread's CPU time is its work.
void idleFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

const QString kWebToken = QStringLiteral("stallBench-0123456789abcdefghijklmnopqrstuvwxyz");

// Web viewers in a thread of their own: they cost the user-interface thread
// nothing but what the program does for them.
class Viewers {
public:
    Viewers(int count, quint16 port) {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_context,
            [this, count, port] {
                for (int i = 0; i < count; ++i) {
                    auto* socket =
                        new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, &m_context);
                    QObject::connect(socket, &QWebSocket::textMessageReceived,
                                     [this](const QString&) { ++messages; });
                    QObject::connect(socket, &QWebSocket::connected, [this] { ++connected; });
                    QObject::connect(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), [socket] {
                        std::fprintf(stderr, "viewer: %s\n", qPrintable(socket->errorString()));
                    });
                    socket->open(QUrl(
                        QStringLiteral("ws://127.0.0.1:%1/feed?t=%2").arg(port).arg(kWebToken)));
                }
            },
            Qt::QueuedConnection);
    }
    ~Viewers() {
        QMetaObject::invokeMethod(
            &m_context, [this] { qDeleteAll(m_context.children()); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    std::atomic<int> messages{0};
    std::atomic<int> connected{0};

private:
    QThread m_thread;
    QObject m_context;
};

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
    int webViewers = 0;    // the web view on, with this many viewers
};

// The settings rows of the web view, written while no window has the files open.
void setWebView(bool on, quint16 port) {
    Session& session = *g_session;
    if (!session.openMaster().ok)
        return;
    session.settings().setRecordset(session.master()->openRecordset("SELECT * FROM Optionen"));
    session.setSetting(QStringLiteral("WebView"), on ? "YES" : "NO");
    session.setSetting(QStringLiteral("WebViewPort"), QString::number(port));
    session.setSetting(QStringLiteral("WebViewToken"), kWebToken);
    session.closeFiles();
}

void runCase(benchmark::State& state, const Case& c) {
    qint64 maxGap = 0;
    double loadSum = 0;
    double cpuPerSecond = 0;
    int viewerMessages = 0, viewersConnected = 0;
    const quint16 webPort = quint16(20000 + QCoreApplication::applicationPid() % 20000);
    setWebView(c.webViewers > 0, webPort);
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
        std::unique_ptr<Viewers> viewers;
        if (c.webViewers > 0)
            viewers = std::make_unique<Viewers>(c.webViewers, webPort);
        watch.start();
        runFor(c.settleMs);
        if (c.atWatch)
            c.atWatch(sim);
        const double cpuBefore = threadCpuMs();
        idleFor(c.watchMs);
        cpuPerSecond = (threadCpuMs() - cpuBefore) / (c.watchMs / 1000.0);
        const qint64 gap = watch.maxGapMs();
        if (viewers) {
            viewerMessages = viewers->messages;
            viewersConnected = viewers->connected;
            viewers.reset();
        }
        state.SetIterationTime(c.timeLoad ? loadMs / 1000.0 : double(gap) / 1000.0);
        maxGap = std::max(maxGap, gap);
        loadSum += loadMs;
        window->endProgram();
        runFor(300);
    }
    state.counters["max_stall_ms"] = double(maxGap);
    state.counters["load_ms"] = loadSum / double(std::max<qint64>(state.iterations(), 1));
    state.counters["ui_cpu_ms_per_s"] = cpuPerSecond;
    if (c.webViewers > 0) {
        state.counters["viewers"] = viewersConnected;
        state.counters["viewer_messages"] = viewerMessages;
        setWebView(false, webPort);
    }
}

void BM_Stall_ChargerAnswers(benchmark::State& state) {
    runCase(state, Case{{"--demo"}, {}, 0, {}, 9000, false});
}
void BM_Stall_ChargerAnswers20WebViewers(benchmark::State& state) {
    Case c{{"--demo"}, {}, 0, {}, 9000, false};
    c.webViewers = 20;
    runCase(state, c);
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
STALL_CASE(BM_Stall_ChargerAnswers20WebViewers);
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
