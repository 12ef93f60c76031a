// The live curve of a channel window: what one poll adds to the tick (the
// value appended, the axes fitted, the event watch), and one full redraw of a
// 10-hour charge (12 000 values, one every 3 seconds).
#include "charts/ui/livecurvechart.h"
#include "notify/channelevents.h"

#include <benchmark/benchmark.h>

#include <QApplication>

using namespace velmara;

namespace {

SeriesSample sampleAt(int i) {
    SeriesSample s;
    s.seconds = i * 3;
    s.millivolt = 7200 + (i % 500);
    s.milliampere = 1500;
    s.milliampereHours = i * 3 * 1500 / 3600;
    return s;
}

struct ShownChart {
    explicit ShownChart(int values) {
        chart.resize(600, 200);
        chart.show();
        for (int i = 0; i < values; ++i)
            chart.addValue(1, sampleAt(i));
        QApplication::processEvents();
    }
    LiveCurveChart chart;
};

// The own cost of the live curve in one poll tick of a channel: the watch for
// ended processes and faults, and one value appended to a 10-hour curve. The
// redraw is queued to the event loop and measured below.
void BM_LiveCurveTick(benchmark::State& state) {
    ShownChart shown(12000);
    ChannelEventWatcher watcher("001");
    int i = 12000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(watcher.observe(2, 2, 0));
        shown.chart.addValue(1, sampleAt(i++));
    }
}
BENCHMARK(BM_LiveCurveTick)->Unit(benchmark::kMicrosecond);

// One full redraw of the curve of a 10-hour charge in a 600 x 200 pane.
void BM_LiveCurveRedraw12000(benchmark::State& state) {
    ShownChart shown(12000);
    for (auto _ : state)
        shown.chart.replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_LiveCurveRedraw12000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
