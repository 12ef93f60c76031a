#include "base/core/windowplacement.h"

#include <gtest/gtest.h>

using namespace velmara;

// A window taller than the screen gets the screen's free area, its frame included.
TEST(WindowPlacement, AWindowTallerThanTheScreenStaysInsideIt) {
    const QRect screen(0, 0, 1366, 740); // 1366x768 less a panel
    const QMargins frame(4, 30, 4, 4);
    const QRect r = placeWindowRect({{720, 900}, {300, 200}, screen, {}, frame, 0});
    EXPECT_EQ(r, QRect(323, 30, 720, 706));
}
