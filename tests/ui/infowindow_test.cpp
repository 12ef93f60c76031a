// What the information window tells about the machine, read from /proc texts.
#include "ui/dialogs/systeminfo.h"

#include <gtest/gtest.h>

namespace velmara::test {
namespace {

TEST(SystemInfo, SummarisesProcessorAndMemoryFromProcTexts) {
    const QString cpuinfo = "processor\t: 0\nvendor_id\t: GenuineIntel\n"
                            "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n\n"
                            "processor\t: 1\nmodel name\t: Intel(R) Core(TM) i5-8250U CPU @ "
                            "1.60GHz\n";
    EXPECT_EQ(cpuSummary(cpuinfo), "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz \u00d7 2");
    EXPECT_EQ(cpuSummary("processor\t: 0\nHardware\t: BCM2835\n"), "");
    EXPECT_EQ(memorySummary("MemFree:  1000 kB\nMemTotal:       16303648 kB\n"), "15.5 GiB");
    EXPECT_EQ(memorySummary("MemFree:  1000 kB\n"), "");
    EXPECT_EQ(memorySummary("MemTotal: 16303648 kB\n", QLocale("de")), "15,5 GiB");
}

} // namespace
} // namespace velmara::test
