// Opening a diagram of a stored series with 10 k, 100 k and 1 M values, split
// into where the time goes: the query alone (stepping the rows), query with
// decoding, the whole load (selection, reading, thinning, plotted points), and
// the chart taking the points and painting them.
// Reported counters: values read and plotted points per curve.
#include "charts/core/diagramload.h"
#include "charts/core/plotdata.h"
#include "charts/ui/diagramchart.h"
#include "charts/ui/diagramcontext.h"
#include "charts/ui/diagramopener.h"
#include "charts/ui/diagramwindow.h"
#include "data/schema.h"
#include "series_db.h"
#include "storage/sqlitevalue.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QPointer>
#include <QTimer>

#include <sqlcipher/sqlite3.h>

#include <map>
#include <optional>

using namespace velmara;

namespace {

std::unique_ptr<test::SeriesDb> g_files;
std::map<int, qint32> g_seriesOfSize;
QVector<DiagramPointsRow> g_diagramPoints;

qint32 seriesWith(int n) {
    auto it = g_seriesOfSize.find(n);
    if (it != g_seriesOfSize.end())
        return it->second;
    const qint32 series = g_files->addSeries();
    if (series < 0 || !g_files->addRamp(false, series, n))
        return -1;
    g_files->db().execute("PRAGMA wal_checkpoint(TRUNCATE)");
    g_seriesOfSize[n] = series;
    return series;
}

// A series of n values with an end value after every 10 000 values; returns the id of
// the last end value.
std::map<int, std::pair<qint32, qint64>> g_phasedOfSize;
std::pair<qint32, qint64> phasedSeriesWith(int n) {
    auto it = g_phasedOfSize.find(n);
    if (it != g_phasedOfSize.end())
        return it->second;
    const qint32 series = g_files->addSeries();
    qint64 lastEnd = -1;
    for (int first = 0; first < n; first += 10000) {
        g_files->addRamp(false, series, 10000, first);
        lastEnd = g_files->addValue(false, series, true, "2;1000;1400;300;300");
    }
    g_files->db().execute("PRAGMA wal_checkpoint(TRUNCATE)");
    return g_phasedOfSize[n] = {series, lastEnd};
}

// The delivered DiagramPoints rows, from a master file made from the seed.
bool loadDeliveredDiagramPoints(const QString& folder) {
    QString error;
    auto master = Database::open(folder + "/velmara.mdb", "MS Access;PWD=bench", &error, false);
    if (!master || upgradeSchema(*master, masterSchemaSteps(), &error) == UpgradeResult::Failed ||
        !master->transaction([&] { return master->execute(masterSeedRows()); }))
        return false;
    return loadDiagramPointsRows(*master, &g_diagramPoints, &error);
}

void BM_QueryOnly(benchmark::State& state) {
    const qint32 series = seriesWith(int(state.range(0)));
    sqlite3* db = storage::nativeHandle(g_files->db());
    for (auto _ : state) {
        storage::Statement stmt;
        QString error;
        stmt.prepare(db,
                     "SELECT MessWertId, MessWertString FROM MessWerte WHERE MessReiheID = ?1 "
                     "AND EW = 0 ORDER BY MessWertId ASC",
                     &error);
        sqlite3_bind_int(stmt.get(), 1, series);
        qint64 bytes = 0;
        while (stmt.step() == SQLITE_ROW) {
            sqlite3_column_text(stmt.get(), 1);
            bytes += sqlite3_column_bytes(stmt.get(), 1);
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_QueryAndDecode(benchmark::State& state) {
    const qint32 series = seriesWith(int(state.range(0)));
    for (auto _ : state) {
        ValueSelection selection;
        selection.seriesId = series;
        SeriesReader reader;
        reader.start(g_files->values(), selection);
        reader.readAll();
        benchmark::DoNotOptimize(reader.samples().data());
    }
}

void BM_ThinAndPlotPoints(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<SeriesSample> values(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        values[size_t(i)] = SeriesSample{i * 60, 1000 + i, 2 * i, 3 * i};
    const qint64 k = plottingStep(g_diagramPoints, n);
    qsizetype points = 0;
    for (auto _ : state) {
        const PlotData plot = thinnedPlot(values, k);
        points = plot.curve(Curve::Voltage).x.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}

void BM_OpenDiagram(benchmark::State& state) {
    const qint32 series = seriesWith(int(state.range(0)));
    qsizetype points = 0;
    for (auto _ : state) {
        DiagramLoad load(g_files->values(), DiagramRequest{false, series, 0}, g_diagramPoints);
        if (load.run() != DiagramLoad::State::Ready) {
            state.SkipWithError("load failed");
            break;
        }
        points = load.plot().curve(Curve::Voltage).x.size();
    }
    state.counters["points"] = double(points);
}

// One phase (the last 10 000 values) of a long series, chosen by its end value.
void BM_OpenLastPhase(benchmark::State& state) {
    const auto [series, lastEnd] = phasedSeriesWith(int(state.range(0)));
    qsizetype points = 0;
    for (auto _ : state) {
        DiagramLoad load(g_files->values(), DiagramRequest{false, series, qint32(lastEnd)},
                         g_diagramPoints);
        if (load.run() != DiagramLoad::State::Ready) {
            state.SkipWithError("load failed");
            break;
        }
        points = load.plot().curve(Curve::Voltage).x.size();
    }
    state.counters["points"] = double(points);
}

void BM_ZoomedStretch(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<SeriesSample> values(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        values[size_t(i)] = SeriesSample{i * 60, 1000 + i, 2 * i, 3 * i};
    for (auto _ : state) {
        // A quarter of the series in view.
        const PlotData plot = visibleStretch(values, n * 0.25, n * 0.5, 2000);
        benchmark::DoNotOptimize(plot.curves[0].x.data());
    }
}

// The chart's share: the thinned points (and every value, for zooming) handed to the
// chart, the axes applied, and one full repaint of a window-sized chart.
void BM_ChartShowAndPaint(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<SeriesSample> values(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        values[size_t(i)] = SeriesSample{i * 60, 1000 + i, 2 * i, 3 * i};
    const PlotData plot = thinnedPlot(values, plottingStep(g_diagramPoints, n));
    DiagramChart chart;
    chart.resize(1200, 700);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<SeriesSample> copy = values;
        state.ResumeTiming();
        chart.setSeries(std::move(copy), plot);
        chart.applyAxes(refreshYRange({}, {true, false, false}, plot.minMax, YAxis{}), XAxis{});
        chart.replot(QCustomPlot::rpImmediateRefresh);
    }
    state.counters["points"] = double(chart.plottedPoints(Curve::Voltage));
}

// The diagram window opening a long series the way the program does it: the load
// runs a chunk at a time from the event loop, beside a 20 ms timer that stands for
// the channels' polls. Reported: the longest time the event loop was held up
// (a poll falling due then would be that late; it must stay well under a second).
void BM_OpenDiagramWindowBesideAPoll(benchmark::State& state) {
    const qint32 series = seriesWith(int(state.range(0)));
    Prompter prompter;
    QMap<QString, QString> settings;
    DiagramContext context;
    context.prompter = &prompter;
    context.values = &g_files->values();
    context.diagramPoints = g_diagramPoints;
    context.settings = {[&](const QString& k) { return settings.value(k); },
                        [&](const QString& k, const QString& v) { settings[k] = v; }};
    context.text = [](const QString& key) { return key; };
    qint64 longestHold = 0;
    for (auto _ : state) {
        DiagramOpener opener; // a window of its own, as no main area is given
        QElapsedTimer clock;
        clock.start();
        qint64 lastBeat = 0, held = 0;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            held = std::max(held, clock.elapsed() - lastBeat);
            lastBeat = clock.elapsed();
        });
        poll.start();
        std::optional<bool> shown;
        opener.open(context, DiagramRequest{false, series, 0}, [&](bool ok) { shown = ok; });
        while (!shown)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        held = std::max(held, clock.elapsed() - lastBeat);
        poll.stop();
        longestHold = std::max(longestHold, held);
        delete opener.window();
        if (!*shown) {
            state.SkipWithError("the diagram did not open");
            break;
        }
    }
    state.counters["longest_hold_ms"] = double(longestHold);
}

#define SIZES ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_QueryOnly) SIZES;
BENCHMARK(BM_QueryAndDecode) SIZES;
BENCHMARK(BM_ThinAndPlotPoints) SIZES;
BENCHMARK(BM_OpenDiagram) SIZES;
BENCHMARK(BM_OpenLastPhase)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedStretch) SIZES;
BENCHMARK(BM_ChartShowAndPaint) SIZES;
BENCHMARK(BM_OpenDiagramWindowBesideAPoll)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_files = std::make_unique<test::SeriesDb>(QDir::tempPath());
    if (!g_files->isOpen() || !loadDeliveredDiagramPoints(g_files->folder()))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_files.reset();
    return 0;
}
