#include "fuzz_targets.h"
#include "link/endvalueanswer.h"

namespace velmara::fuzz {

int endValueAnswer(const uint8_t* data, size_t size) {
    EntwertList list;
    QString text = latin1(data, size);
    const qsizetype fields = text.count(QLatin1Char(',')) + 1;
    list.splitRecievedString(text);
    // Every end value takes at least four fields.
    require(list.Count() <= fields / 4 + 1);
    for (const auto& e : list) {
        require(e->iEndwertTyp >= -1 && e->iEndwertTyp <= 3);
        require(e->lZykluszeit >= 0);
        require(e->lSelbstentladung >= -1 && e->lSelbstentladung <= 99999);
        (void)formatEndwertLine(list.Count(), *e);
    }
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(endValueAnswer)
