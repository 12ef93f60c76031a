// The link against a charger on a pseudo-terminal that keeps 9600 baud line
// time: the time from writing a request to holding the parsed answer, as a
// ratio to the line time of the bytes exchanged (target below 1.05), and the
// CPU time spent in a silent wait (target below 2 % of the wait).
//
// By default a responder thread in this process plays the charger and holds
// every answer back by the line time of request and answer (10 bits a
// character). With VELMARA_SIM=/path/to/velmara-charger-sim the simulator
// (--line-time) serves instead; it holds back the answer's line time only.
#include "link/chargerlink.h"
#include "link/qtserialport.h"
#include "link/statusrecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <unistd.h>

using namespace velmara;

namespace {

constexpr double kSecondsPerByte = 10.0 / 9600.0;

const QByteArray kAnswer002 = "\x14,002,M,SL,L01500,V07234,K00350,\x03";

// A charger on the master side of a pty: channel 2 answers, the others are silent.
class LineTimeCharger {
public:
    LineTimeCharger() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            std::abort();
        m_slave = QString::fromLocal8Bit(ptsname(m_master));
        m_thread = std::thread([this] { run(); });
    }
    ~LineTimeCharger() {
        m_stop = true;
        m_thread.join();
        ::close(m_master);
    }
    const QString& slavePath() const { return m_slave; }

private:
    void run() {
        QByteArray pending;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buf[256];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                continue;
            timespec got{};
            clock_gettime(CLOCK_MONOTONIC, &got);
            pending.append(buf, n);
            qsizetype cr;
            while ((cr = pending.indexOf('\r')) >= 0) {
                const QByteArray request = pending.left(cr + 1);
                pending.remove(0, cr + 1);
                if (!request.contains("002,M"))
                    continue;
                // The request's and the answer's time on the line, counted from
                // the moment the request was written.
                const double line = (request.size() + kAnswer002.size()) * kSecondsPerByte;
                timespec due = got;
                due.tv_nsec += long(line * 1e9);
                due.tv_sec += due.tv_nsec / 1'000'000'000;
                due.tv_nsec %= 1'000'000'000;
                clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
                if (::write(m_master, kAnswer002.constData(), kAnswer002.size()) < 0)
                    return;
            }
        }
    }

    int m_master = -1;
    QString m_slave;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

// The simulator on a link path of its own, when VELMARA_SIM names it.
class Simulator {
public:
    explicit Simulator(const QString& program) {
        m_path = QDir(m_dir.path()).filePath("charger");
        m_process.setProgram(program);
        m_process.setArguments({"--link", m_path, "--line-time"});
        m_process.start();
        for (int i = 0; i < 200 && !QFileInfo::exists(m_path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~Simulator() {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(2000))
            m_process.kill();
    }
    const QString& slavePath() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QProcess m_process;
};

void BM_StatusRoundTrip(benchmark::State& state) {
    const char* simProgram = std::getenv("VELMARA_SIM");
    std::unique_ptr<LineTimeCharger> own;
    std::unique_ptr<Simulator> sim;
    QString path;
    if (simProgram && *simProgram) {
        sim = std::make_unique<Simulator>(QString::fromLocal8Bit(simProgram));
        path = sim->slavePath();
    } else {
        own = std::make_unique<LineTimeCharger>();
        path = own->slavePath();
    }
    ChargerLink link(std::make_unique<QtSerialPort>(path));
    if (!link.openComPort()) {
        state.SkipWithError("cannot open the pty");
        return;
    }
    StatusRecord results;
    double lineSeconds = 0;
    double elapsedSeconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QString answer = QCoro::waitFor(link.getStatus(ChannelCode(2)));
        results.parse(answer);
        const auto t1 = std::chrono::steady_clock::now();
        if (results.answerType != StatusRecord::Status) {
            state.SkipWithError("no status answer");
            return;
        }
        const double elapsed = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(elapsed);
        elapsedSeconds += elapsed;
        // Frame bytes: DC2 , body , ETX CR out; DC4 , payload , ETX in.
        const qsizetype requestBytes = 10;
        const qsizetype answerBytes = answer.size() + 3;
        lineSeconds += (sim ? answerBytes : requestBytes + answerBytes) * kSecondsPerByte;
    }
    state.counters["line_ms"] = 1000.0 * lineSeconds / double(state.iterations());
    state.counters["ratio"] = elapsedSeconds / lineSeconds;
}
BENCHMARK(BM_StatusRoundTrip)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

double threadCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_SilentWaitCpu(benchmark::State& state) {
    LineTimeCharger charger; // channel 4 never answers
    ChargerLink link(std::make_unique<QtSerialPort>(charger.slavePath()));
    if (!link.openComPort()) {
        state.SkipWithError("cannot open the pty");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double c0 = threadCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        const QString answer = QCoro::waitFor(link.getStatus(ChannelCode(4)));
        const auto t1 = std::chrono::steady_clock::now();
        cpu += threadCpuSeconds() - c0;
        const double w = std::chrono::duration<double>(t1 - t0).count();
        wall += w;
        state.SetIterationTime(w);
        if (!answer.isEmpty())
            state.SkipWithError("the silent channel answered");
    }
    state.counters["wait_ms"] = 1000.0 * wall / double(state.iterations());
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_SilentWaitCpu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
