#include "charts/core/diagramload.h"

namespace velmara {

DiagramLoad::DiagramLoad(ValueStore& values, const DiagramRequest& request,
                         QVector<DiagramPointsRow> diagramPoints)
    : m_store(values), m_request(request), m_diagramPoints(std::move(diagramPoints)) {}

DiagramLoad::State DiagramLoad::step(int chunkRows) {
    if (m_state != State::Reading)
        return m_state;
    if (!m_started) {
        m_started = true;
        if (!selectValues(m_store, m_request, &m_selection, &m_error) ||
            !m_reader.start(m_store, m_selection, &m_error)) {
            m_state = State::Failed;
            return m_state;
        }
    }
    switch (m_reader.readSome(chunkRows)) {
    case SeriesReader::Status::More:
        return m_state;
    case SeriesReader::Status::Failed:
        m_error = m_reader.error();
        m_state = State::Failed;
        return m_state;
    case SeriesReader::Status::Done:
        break;
    }
    return finish();
}

DiagramLoad::State DiagramLoad::run() {
    while (step() == State::Reading) {
    }
    return m_state;
}

DiagramLoad::State DiagramLoad::finish() {
    m_damaged = m_reader.damagedCount();
    m_values = m_reader.takeSamples();
    const qint64 n = qint64(m_values.size());
    if (n < kMinimumValues) {
        m_state = State::TooFewValues;
        return m_state;
    }
    m_k = plottingStep(m_diagramPoints, n);
    m_plot = thinnedPlot(m_values, m_k);
    m_state = State::Ready;
    return m_state;
}

} // namespace velmara
