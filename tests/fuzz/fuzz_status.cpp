#include "fuzz_targets.h"
#include "link/statusrecord.h"

namespace velmara::fuzz {

int statusAnswer(const uint8_t* data, size_t size) {
    StatusRecord r;
    int programs = 0, lists = 0;
    QObject::connect(&r, &StatusRecord::programReceived,
                     [&](std::shared_ptr<ProgramRecord> p) { programs += p ? 1 : 100; });
    QObject::connect(&r, &StatusRecord::endValuesReceived,
                     [&](std::shared_ptr<EndValueList> l) { lists += l ? 1 : 100; });
    QString text = latin1(data, size);
    r.parse(text);
    const qint16 k = r.answerType;
    require(k == 0 || k == -2 || k == -1 || k == 2 || k == 3 || k == 11);
    require(programs + lists <= 1);
    require(r.channelCode.number() >= 0 && r.channelCode.number() <= 4);
    // Live values come from five digits at most.
    for (qint32 v : {r.currentMa, r.voltageMv, r.capacityMah})
        require(v >= 0 && v <= 99999);
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(statusAnswer)
