#pragma once
// The values of a channel's running process as its live curve shows them: the
// values that go to the temporary series, appended as they arrive. A new
// temporary series starts the curve anew. The extents are kept as values come,
// so a new value costs the same however long the curve is.
#include "charts/core/seriesreader.h"

#include <vector>

namespace velmara {

class LiveCurve {
public:
    // The value of a poll, when the poll records one: a status answer (kind 2)
    // while charging (2) or discharging (3).
    static bool takesValue(qint16 answerKind, qint16 state);

    // Adds a value of temporary series seriesId; true when it started the curve anew.
    bool add(qint32 seriesId, const SeriesSample& sample);
    void clear();

    qint32 seriesId() const { return m_seriesId; }
    const std::vector<SeriesSample>& samples() const { return m_samples; }
    // Extents over the three curves, in thousandths (V, A, Ah), and the last time in seconds.
    qint32 lowest() const { return m_low; }
    qint32 highest() const { return m_high; }
    qint32 lastSeconds() const { return m_samples.empty() ? 0 : m_samples.back().seconds; }

private:
    qint32 m_seriesId = -1;
    std::vector<SeriesSample> m_samples;
    qint32 m_low = 0;
    qint32 m_high = 0;
};

} // namespace velmara
