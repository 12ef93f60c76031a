#include "data/valuestrings.h"
#include "fuzz_targets.h"

namespace velmara::fuzz {

int valueString(const uint8_t* data, size_t size) {
    const QString text = latin1(data, size);
    for (bool endwert : {false, true}) {
        const LoadedMeasurementValue v = parseValueString(text, endwert);
        require(v.isEndValue == endwert);
        if (!endwert)
            require(!v.hasBatteryCondition && !v.hasSelfDischarge && v.endValueType == 0);
        // A valid value has at least the fields its kind needs.
        if (v.bValid)
            require(text.count(QLatin1Char(';')) >= (endwert ? 4 : 3));
    }
    return 0;
}

} // namespace velmara::fuzz

VELMARA_FUZZ_ENTRY(valueString)
