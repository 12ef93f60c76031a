#include "data/endvaluelines.h"
#include "fuzz_targets.h"
#include "link/endvaluerecord.h"

namespace velmara::fuzz {

int endValueAnswer(const uint8_t* data, size_t size) {
    EndValueList list;
    QString text = latin1(data, size);
    const qsizetype fields = text.count(QLatin1Char(',')) + 1;
    list.parse(text);
    // Every end value takes at least four fields.
    require(list.size() <= fields / 4 + 1);
    for (const auto& e : list) {
        require(e->endValueType >= -1 && e->endValueType <= 3);
        require(e->cycleSeconds >= 0);
        require(e->selfDischarge >= -1 && e->selfDischarge <= 99999);
        (void)formatEndValueLine(list.size(), *e);
    }
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(endValueAnswer)
