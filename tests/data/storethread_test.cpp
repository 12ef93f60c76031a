// Calls that wait for a server run on the store thread while the caller's
// event loop goes on: the window repaints and the charger is served.
#include "data/stores/storethread.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <thread>

namespace velmara {
namespace {

TEST(StoreThread, TheCallersEventLoopRunsWhileAStoreWaits) {
    StoreThread thread;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    bool nestedRanThere = false;
    const int answer = thread.call([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the server thinks
        // A call made on the store thread itself (a transaction's work) runs at once.
        nestedRanThere = thread.call([&] { return thread.isCurrent(); });
        return 42;
    });
    EXPECT_EQ(answer, 42);
    EXPECT_TRUE(nestedRanThere);
    EXPECT_GE(ticks, 2); // about 30 at 10 ms; a call that held the loop leaves 0
}

} // namespace
} // namespace velmara
