#include "fuzz_targets.h"
#include "link/programrecord.h"

namespace velmara::fuzz {

int programString(const uint8_t* data, size_t size) {
    for (bool withGal : {true, false}) {
        ProgramRecord p;
        QString text = latin1(data, size);
        p.parse(text, withGal);
        require(p.batteryType >= -4 && p.batteryType <= 99);
        require(p.chargeCurrentMa >= 0 && p.chargeCurrentMa <= 99999);
        require(p.capacityMah >= -3 && p.capacityMah <= 99999);
        require(p.endOfCharge >= 0 && p.endOfCharge <= 999);
        require(p.galNumber >= 0 && p.galNumber <= 9);
    }
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(programString)
