#pragma once
// Loading one diagram: choose the values, read them a chunk at a time, thin them
// by the DiagramPoints rows and build the plotted points. The window drives
// step() from its event loop so the program stays responsive.
#include "charts/core/plotdata.h"
#include "charts/core/seriesreader.h"
#include "charts/core/thinning.h"
#include "charts/core/valueselection.h"

#include <QString>
#include <QVector>

#include <vector>

namespace velmara {

class DiagramLoad {
public:
    static constexpr int kMinimumValues = 5;
    static constexpr int kDefaultChunk = 50000;

    enum class State {
        Reading,      // call step() again
        TooFewValues, // fewer than five values: message "0848", no window
        Failed,       // a database error (error()); the window closes
        Ready,        // plot() and values() hold the diagram
    };

    DiagramLoad(ValueStore& values, const DiagramRequest& request,
                QVector<DiagramPointsRow> diagramPoints);

    // Reads up to chunkRows further rows; at the end of the rows the diagram is built.
    State step(int chunkRows = kDefaultChunk);
    // Runs all steps at once.
    State run();

    State state() const { return m_state; }
    const QString& error() const { return m_error; }
    const ValueSelection& selection() const { return m_selection; }

    // After Ready: every value of the stretch, the step K and the plotted points.
    const std::vector<SeriesSample>& values() const { return m_values; }
    std::vector<SeriesSample> takeValues() { return std::move(m_values); }
    qint64 stepK() const { return m_k; }
    const PlotData& plot() const { return m_plot; }
    qint64 damagedCount() const { return m_damaged; }

private:
    State finish();
    ValueStore& m_store;
    DiagramRequest m_request;
    QVector<DiagramPointsRow> m_diagramPoints;
    bool m_started = false;
    ValueSelection m_selection;
    SeriesReader m_reader;
    State m_state = State::Reading;
    QString m_error;
    std::vector<SeriesSample> m_values;
    qint64 m_k = 1;
    qint64 m_damaged = 0;
    PlotData m_plot;
};

} // namespace velmara
