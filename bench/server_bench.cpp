// The user data on a PostgreSQL server, measured against a server made for the
// run: `pg_virtualenv build/bin/server_bench [stations|diagram|stall]`.
//
// stations [N]  40 (or N) stations x 4 channels, each channel writing one value every 3 s
//           through the program's writer (ValueWriter -> the user file's outbox
//           -> the shipper), 30 s: p50/p99/max from a value accepted to its
//           commit on the server, and the server's CPU.
// diagram   a diagram of a 100 000-value series loaded from the user file and
//           the same series from the server (through the store thread, as the
//           program does): median of 5 each.
// hold N    holds the lease on battery N as a recording station does, until
//           killed (bench/lease-release makes its network fall silent).
// stall     the server behind a relay that delays everything by 200 ms: the
//           event loop's longest gap (a 5 ms timer) while the window's calls
//           (a battery list every 0.5 s) and the shipper (a value every 100 ms)
//           wait for it, over 20 s.
#include "channel/core/valuewriter.h"
#include "charts/core/diagramload.h"
#include "data/batteryleases.h"
#include "data/schema.h"
#include "data/session.h"
#include "data/stores/batteryrecords.h"
#include "data/stores/outboxvaluestore.h"
#include "data/stores/serverstores.h"
#include "data/stores/storethread.h"
#include "data/stores/threadedstores.h"
#include "data/valueshipper.h"
#include "storage/database.h"
#include "support/empty_server.h"
#include "support/tcp_proxy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>

using namespace velmara;

namespace {

void emptyServer() {
    if (const auto emptied = test::emptyServer(); !emptied)
        std::fprintf(stderr, "%s\n", qPrintable(emptied.error()));
}

qint32 newSeries(ServerLine& line, const QString& battery) {
    return qint32(line.number("WITH a AS (INSERT INTO Akkus (AkkuName) VALUES ($1) RETURNING "
                              "AkkuId) INSERT INTO MessReihen (AkkuId, Nummer) SELECT AkkuId, 1 "
                              "FROM a RETURNING MessReiheID",
                              {battery})
                      .valueOr(-1));
}

// CPU seconds of every process named postgres (the server and its backends).
double serverCpuSeconds() {
    double ticks = 0;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const int open = line.indexOf('('), close = line.lastIndexOf(')');
        if (open < 0 || close < 0 || line.mid(open + 1, close - open - 1) != "postgres")
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 12)
            ticks += fields[11].toDouble() + fields[12].toDouble(); // utime, stime
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

// One station: its user file, outbox, shipper and writer, and a timer per
// channel, all on a thread of its own as on a PC of its own.
struct Station {
    explicit Station(const QString& folder) : session(ProgramFolder(folder)) {}
    Session session;
    std::unique_ptr<ServerOutbox> outbox;
    std::unique_ptr<OutboxValueStore> values;
    std::unique_ptr<ValueShipper> shipper;
    std::unique_ptr<ValueWriter> writer;
    std::vector<std::unique_ptr<QTimer>> timers;
    qint32 series[4] = {};
    std::map<qint64, qint64> accepted; // outbox seq -> ms on the clock
    int written = 0;
};

struct Measure {
    QElapsedTimer clock;
    QMutex mutex;
    std::vector<double> latencies;
};

// On the station's thread: the station's parts, recording until stopped.
void setUp(Station& st, Measure& m, int index, int count) {
    if (!st.session.openUser().ok)
        return;
    const UserFile file = [session = &st.session] { return session->user(); };
    st.outbox = std::make_unique<ServerOutbox>(file);
    st.values = std::make_unique<OutboxValueStore>(file);
    st.shipper = std::make_unique<ValueShipper>(*st.outbox, st.outbox->stationKey().valueOr({}),
                                                ShipperOptions{});
    Station* raw = &st;
    st.values->onQueued([raw](qint32 id, qint64 n) { raw->shipper->queued(id, n); });
    QObject::connect(raw->shipper.get(), &ValueShipper::shipped, [raw, &m](qint64 seq) {
        const qint64 now = m.clock.elapsed();
        QMutexLocker lock(&m.mutex);
        for (auto it = raw->accepted.begin(); it != raw->accepted.end() && it->first <= seq;) {
            m.latencies.push_back(double(now - it->second));
            it = raw->accepted.erase(it);
        }
    });
    st.writer = std::make_unique<ValueWriter>([raw]() -> ValueStore& { return *raw->values; });
    st.shipper->start();
    // Each channel every 3 s, the channels of all stations spread over the 3 s;
    // the first after 3 s, as a station connects at its start, long before
    // its first recording.
    for (int c = 0; c < 4; ++c) {
        auto timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [raw, c, &m] {
            ++raw->written;
            raw->writer->write(ValueTable::Permanent, raw->series[c], false,
                               QString("1000;12000;2000;%1").arg(m.clock.elapsed() / 1000),
                               [raw, &m](qint32 seq) { raw->accepted[seq] = m.clock.elapsed(); });
        });
        QTimer::singleShot(3000 + (index * 4 + c) * 3000 / (count * 4), timer.get(),
                           [t = timer.get()] { t->start(3000); });
        st.timers.push_back(std::move(timer));
    }
}

int stations(int count, int seconds) {
    emptyServer();
    QTemporaryDir root;
    ServerLine line(QString{});
    Measure m;
    m.clock.start();
    std::vector<std::unique_ptr<Station>> all;
    std::vector<std::unique_ptr<QThread>> threads;
    for (int s = 0; s < count; ++s) {
        const QString folder = root.filePath(QString::number(s));
        QDir().mkpath(folder);
        auto st = std::make_unique<Station>(folder);
        for (int c = 0; c < 4; ++c)
            st->series[c] = newSeries(line, QString("station %1 channel %2").arg(s).arg(c + 1));
        all.push_back(std::move(st));
    }
    const double cpuBefore = serverCpuSeconds();
    QElapsedTimer run;
    run.start();
    for (int s = 0; s < count; ++s) {
        auto thread = std::make_unique<QThread>();
        auto* home = new QObject;
        home->moveToThread(thread.get());
        thread->start();
        Station* st = all[size_t(s)].get();
        QMetaObject::invokeMethod(home, [st, &m, s, count] { setUp(*st, m, s, count); });
        QObject::connect(
            thread.get(), &QThread::finished, home,
            [st, home] {
                st->timers.clear();
                st->writer.reset();
                st->shipper.reset();
                st->values.reset();
                st->outbox.reset();
                st->session.closeFiles();
                delete home;
            },
            Qt::DirectConnection);
        threads.push_back(std::move(thread));
    }
    QThread::sleep(unsigned(seconds) + 3); // the 3 s before the first value
    for (auto& st : all)
        QMetaObject::invokeMethod(st->timers.empty() ? nullptr : st->timers.front().get(), [&st] {
            for (auto& t : st->timers)
                t->stop();
        });
    QThread::sleep(2); // the last portions
    for (auto& thread : threads) {
        thread->quit();
        thread->wait();
    }
    const double cpu = serverCpuSeconds() - cpuBefore;
    const double wall = double(run.elapsed()) / 1000.0;
    int written = 0;
    for (auto& st : all)
        written += st->written;
    const qint64 onServer = line.number("SELECT count(*) FROM MessWerte").valueOr(-1);
    std::printf("%d stations x 4 channels (a thread each), %d s: %d values written, %zu "
                "committed (server has %lld)\n",
                count, seconds, written, m.latencies.size(), static_cast<long long>(onServer));
    std::printf("accepted -> committed on the server: p50 %.1f ms, p99 %.1f ms, max %.1f ms\n",
                percentile(m.latencies, 0.5), percentile(m.latencies, 0.99),
                percentile(m.latencies, 1.0));
    std::printf("server CPU: %.2f s in %.1f s = %.1f %% of one core\n", cpu, wall,
                100.0 * cpu / wall);
    return onServer == written ? 0 : 1;
}

// 100 000 values as the diagram test series have them: value i at minute i.
QString rampText(int i) {
    return QString("%1;%2;%3;%4").arg(3 * i).arg(1000 + i).arg(2 * i).arg(60 * i);
}

double medianLoad(ValueStore& values, qint32 series, int* points) {
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        DiagramLoad load(values, DiagramRequest{false, series, 0}, {});
        if (load.run() != DiagramLoad::State::Ready)
            return -1;
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        *points = int(load.values().size());
    }
    return percentile(ms, 0.5);
}

int diagram(int n) {
    emptyServer();
    QTemporaryDir root;
    Session session{ProgramFolder(root.path())};
    if (!session.openUser().ok)
        return 1;
    ServerLine line(QString{});
    const qint32 serverSeries = newSeries(line, "100k");
    QJsonArray rows;
    for (int i = 0; i < n; ++i)
        rows.append(rampText(i));
    (void)line.run("INSERT INTO MessWerte (MessReiheID, Seq, MessWertString) SELECT $1, ord, v "
                   "FROM jsonb_array_elements_text($2::jsonb) WITH ORDINALITY AS e(v, ord)",
                   {serverSeries, QString::fromUtf8(QJsonDocument(rows).toJson())});
    (void)line.run("VACUUM ANALYZE MessWerte");
    BatteryRecords& records = session.stores().batteries();
    const auto battery = records.insertBattery("100k", "");
    const auto fileSeries =
        records.insertSeries({*battery, 1, "", QDateTime::currentDateTime(), {}, {}, 0});
    session.user()->transaction([&] {
        for (int i = 0; i < n; ++i)
            (void)session.stores().values().append(ValueTable::Permanent, *fileSeries, false,
                                                   rampText(i));
        return true;
    });
    int filePoints = 0, serverPoints = 0;
    const double file = medianLoad(session.stores().values(), *fileSeries, &filePoints);
    StoreThread thread;
    auto server = makeServerStores(QString{}, {"bench", "bench"});
    auto threaded = makeThreadedStores(thread, *server, session.fileStores().values());
    const double fromServer = medianLoad(threaded->values(), serverSeries, &serverPoints);
    std::printf("diagram of %d values: user file %.1f ms, server %.1f ms (%.2fx); %d / %d "
                "values read\n",
                n, file, fromServer, fromServer / file, filePoints, serverPoints);
    return file > 0 && fromServer > 0 ? 0 : 1;
}

int stall(int delayMs, int seconds) {
    emptyServer();
    QTemporaryDir root;
    Session session{ProgramFolder(root.path())};
    if (!session.openUser().ok)
        return 1;
    ServerLine direct(QString{});
    const qint32 series = newSeries(direct, "stall");
    test::TcpProxy relay(qEnvironmentVariable("PGHOST"),
                         quint16(qEnvironmentVariableIntValue("PGPORT")));
    relay.setDelay(delayMs);
    const QString conninfo = QString("host=127.0.0.1 port=%1").arg(relay.port());
    StoreThread thread;
    auto server = makeServerStores(conninfo, {"bench", "bench"});
    auto threaded = makeThreadedStores(thread, *server, session.fileStores().values());
    const UserFile file = [&session] { return session.user(); };
    ServerOutbox outbox(file);
    OutboxValueStore values(file);
    ShipperOptions options;
    options.conninfo = conninfo;
    ValueShipper shipper(outbox, outbox.stationKey().valueOr({}), options);
    values.onQueued([&](qint32 id, qint64 n) { shipper.queued(id, n); });
    shipper.start();

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    std::vector<double> gaps;
    int calls = 0, failed = 0, ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (ticks++ > 0) {
            longest = std::max(longest, now - last);
            gaps.push_back(double(now - last));
        }
        last = now;
    });
    tick.start(5);
    QTimer value;
    QObject::connect(&value, &QTimer::timeout,
                     [&] { (void)values.append(ValueTable::Permanent, series, false, "1;2;3;4"); });
    value.start(100);
    QTimer window; // what a dialog asks of the server
    QObject::connect(&window, &QTimer::timeout, [&] {
        window.stop();
        ++calls;
        if (!threaded->batteries().batteries())
            ++failed;
        window.start(500);
    });
    window.start(500);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    value.stop();
    window.stop();
    std::printf("server %d ms away: %d window calls (%d failed), %d values waiting at the end; "
                "event loop gaps (5 ms timer, %d ticks): p99 %.0f ms, longest %lld ms\n",
                delayMs, calls, failed, shipper.waiting(), ticks, percentile(gaps, 0.99),
                static_cast<long long>(longest));
    return 0;
}

// Holds a lease on the battery as a recording station does, until killed:
// the station whose network bench/lease-release falls silent.
int hold(qint32 battery) {
    StoreThread thread;
    BatteryLeases leases(thread, QString{}, "silent");
    const auto taken = leases.take(battery);
    if (!taken || !*taken) {
        std::fprintf(stderr, "battery %d not taken: %s\n", battery,
                     taken ? "another station holds it" : qPrintable(taken.error()));
        return 1;
    }
    std::printf("holding battery %d\n", battery);
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString what = argc > 1 ? QString(argv[1]) : QString("stations");
    if (qEnvironmentVariable("PGHOST").isEmpty()) {
        std::fprintf(stderr, "server_bench needs a server: pg_virtualenv %s %s\n", argv[0],
                     qPrintable(what));
        return 2;
    }
    if (what == "stations") // optionally how many stations (40)
        return stations(argc > 2 ? std::max(1, atoi(argv[2])) : 40, 30);
    if (what == "diagram")
        return diagram(100000);
    if (what == "hold") // the battery
        return hold(argc > 2 ? atoi(argv[2]) : 1);
    if (what == "stall")
        return stall(200, 20);
    std::fprintf(stderr, "usage: server_bench [stations|diagram|stall]\n");
    return 2;
}
