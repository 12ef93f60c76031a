#include "base/core/terminationsignals.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <csignal>

using namespace velmara;

TEST(TerminationSignals, EachSignalArrivesOnTheEventLoopAndTheHandlersGoBack) {
    {
        TerminationSignals termination;
        ASSERT_TRUE(termination.isActive());
        // Only one object at a time: a second one stays inactive.
        TerminationSignals second;
        EXPECT_FALSE(second.isActive());

        QSignalSpy spy(&termination, &TerminationSignals::requested);
        for (int number : {SIGTERM, SIGINT, SIGHUP})
            ASSERT_EQ(::raise(number), 0);
        EXPECT_TRUE(spy.isEmpty()); // not inside the handler: on the event loop
        for (int i = 0; i < 100 && spy.size() < 3; ++i)
            spy.wait(50);
        ASSERT_EQ(spy.size(), 3);
        EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
        EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
        EXPECT_EQ(spy.at(2).at(0).toInt(), SIGHUP);
    }
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}
