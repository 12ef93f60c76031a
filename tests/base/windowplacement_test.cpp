#include "base/core/windowplacement.h"

#include <gtest/gtest.h>

using namespace velmara;

// A window opens at least as large as its layout needs, inside the screen's free
// area, over its parent, and a second one of its kind steps down and right.
TEST(WindowPlacement, AtLeastTheMinimumInsideTheScreenOverTheParent) {
    const QRect screen(0, 0, 1366, 740); // 1366x768 less a panel
    const QMargins frame(4, 30, 4, 4);
    struct Case {
        const char* what;
        QSize wanted, minimum;
        QRect parent;
        int cascade;
        QRect expected;
    };
    const Case cases[] = {
        {"below its minimum: grows",
         {320, 512},
         {560, 640},
         {0, 0, 1366, 740},
         0,
         {403, 50, 560, 640}},
        {"taller than the screen: the free area",
         {720, 900},
         {300, 200},
         {},
         0,
         {323, 30, 720, 706}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect r = placeWindowRect({c.wanted, c.minimum, screen, c.parent, frame, c.cascade});
        EXPECT_EQ(r, c.expected);
        EXPECT_TRUE(screen.marginsRemoved(frame).contains(r));
    }
}
