#include "charts/core/livecurve.h"

#include <algorithm>

namespace velmara {

bool LiveCurve::takesValue(qint16 answerKind, qint16 state) {
    return answerKind == 2 && (state == 2 || state == 3);
}

bool LiveCurve::add(qint32 seriesId, const SeriesSample& sample) {
    const bool restart = seriesId != m_seriesId;
    if (restart) {
        clear();
        m_seriesId = seriesId;
    }
    const qint32 low = std::min({sample.millivolt, sample.milliampere, sample.milliampereHours});
    const qint32 high = std::max({sample.millivolt, sample.milliampere, sample.milliampereHours});
    if (m_samples.empty()) {
        m_low = low;
        m_high = high;
    } else {
        m_low = std::min(m_low, low);
        m_high = std::max(m_high, high);
    }
    m_samples.push_back(sample);
    return restart;
}

void LiveCurve::clear() {
    m_seriesId = -1;
    m_samples.clear();
    m_low = m_high = 0;
}

} // namespace velmara
