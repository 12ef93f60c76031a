#include "sim_driver.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using simtest::Driver;

namespace {

const std::string kNiMH6 = "001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400";

TEST(SimCharger, FreshChargerAnswers) {
    const struct {
        sim::Model model;
        const char* request;
        const char* answer;
    } cases[] = {
        {sim::Model::FourChannel, "004,M", "004,M,SA"},
        {sim::Model::FourChannel, "002,D", "002,D"},
        {sim::Model::FourChannel, "003,W",
         "003,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,G0"},
        {sim::Model::OneChannel, "002,M", "(silent)"},
        {sim::Model::FourChannel, "001,X", "(silent)"},
    };
    for (const auto& c : cases) {
        sim::ChargerOptions options;
        options.model = c.model;
        EXPECT_EQ(Driver(options).ask(c.request), c.answer) << c.request;
    }
}

TEST(SimCharger, EchoesAcceptedProgramsWithRunningNumberAndChargerNumber) {
    Driver d;
    EXPECT_EQ(d.ask(kNiMH6), kNiMH6 + ",G1");
    EXPECT_EQ(d.ask("001,W"), kNiMH6 + ",G1");
    const std::string extended = kNiMH6 + ",S1,C0,B0,H1,N100,O1,Q0,U1";
    EXPECT_EQ(d.ask(extended), extended + ",G2,R4");
    EXPECT_EQ(d.ask("001,W"), extended + ",G2,R4");
    for (int i = 3; i <= 10; ++i) {
        d.ask(kNiMH6);
    }
    EXPECT_EQ(d.ask("001,W"), kNiMH6 + ",G0") << "the running number has one digit";

    sim::ChargerOptions one;
    one.model = sim::Model::OneChannel;
    Driver q1(one);
    const std::string ext1 = kNiMH6 + ",S0,C1,B1,H0,N050";
    EXPECT_EQ(q1.ask(ext1), ext1 + ",G1,R1");
}

TEST(SimCharger, RejectedProgramIsAnsweredWithTheStatus) {
    Driver d;
    const std::string tooManyCells = "001,P,A02,M01,Z25,F0,W30,L01000,E00500,V30000,D22500";
    EXPECT_EQ(d.ask(tooManyCells), "001,M,SA");
    EXPECT_EQ(d.ask("001,W"), "001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,G0")
        << "a refused program changes nothing";
    // while a program runs, a refused text is answered with the live status
    ASSERT_EQ(d.ask(kNiMH6), kNiMH6 + ",G1");
    d.run(60);
    std::string status = d.ask("001,P,A99");
    EXPECT_EQ(status.substr(0, 9), "001,M,SL,") << status;
}

TEST(SimCharger, EmptyChannelAnswersSK) {
    Driver d;
    d.command("remove 2");
    EXPECT_EQ(d.ask("002,M"), "002,M,SK");
    EXPECT_EQ(d.ask("002,W"), "002,M,SK");
    EXPECT_EQ(d.ask("002,P,A06,M01,Z03,F0,W30,L01000,E01000,V11100,D09000"), "002,M,SK");
    d.command("insert 2 LiPo 3 2200 40");
    EXPECT_EQ(d.ask("002,M"), "002,M,SA");

    // Taken out while charging: the run stops.
    ASSERT_EQ(d.ask(kNiMH6), kNiMH6 + ",G1");
    d.run(120);
    d.command("remove 1");
    EXPECT_EQ(d.ask("001,M"), "001,M,SK");
    d.command("insert 1 NiMH 6 2000 50");
    EXPECT_EQ(d.ask("001,M"), "001,M,SA");
}

TEST(SimCharger, ControlCommandsShapeTheAnswers) {
    Driver d;
    d.command("fault 3 SG");
    const std::string lead = "003,P,A03,M01,Z06,F0,W30,L01000,E01000,V12000,D10800";
    EXPECT_EQ(d.ask(lead), "003,M,SG") << "the charger refuses programs while it cools down";
    d.command("clear 3");
    EXPECT_EQ(d.ask(lead), lead + ",G1");

    d.command("silent 2");
    EXPECT_EQ(d.ask("002,M"), "(silent)");
    EXPECT_EQ(d.ask("001,M"), "001,M,SA");
    d.command("talk all");
    EXPECT_EQ(d.ask("002,M"), "002,M,SA");

    d.command("garbage 1");
    std::string garbage = d.bytesFor("001,M");
    ASSERT_FALSE(garbage.empty());
    EXPECT_EQ(garbage.find(sim::DC4), std::string::npos);
    EXPECT_EQ(garbage.back(), sim::ETX) << "the computer stops waiting at once";
    EXPECT_EQ(d.ask("001,M"), "001,M,SA") << "only N answers are garbage";

    d.command("split 1");
    auto replies = d.charger.receive(sim::frameRequest("002,M"));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_GT(replies[0].pieces.size(), 1u);
    EXPECT_GT(replies[0].pauseMs, 0);
    EXPECT_EQ(replies[0].bytes(), sim::frameAnswer("002,M,SA"));

    d.command("late 2 2500");
    for (int delay : {2500, 2500, 0}) {
        auto r = d.charger.receive(sim::frameRequest("001,M"));
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(r[0].delayMs, delay);
    }

    for (const char* bad : {"insert 5 NiMH 6 2000", "insert 1 Unobtainium 6 2000", "remove",
                            "fault 1 SX", "frobnicate"})
        EXPECT_FALSE(d.charger.command(bad).ok) << bad;
    EXPECT_TRUE(d.charger.command("# comment").ok);
    EXPECT_TRUE(d.charger.command("quit").quit);
    EXPECT_NE(d.charger.command("state").output.find("channel 4: NiCd 8 cells 1700 mAh"),
              std::string::npos);
}

TEST(SimCharger, EndValuesReplaceTheNextStatusAnswerOnce) {
    Driver d(simtest::oneBattery({sim::Chemistry::NiMH, 6, 2000, 95}));
    ASSERT_EQ(d.ask(kNiMH6), kNiMH6 + ",G1");
    // nearly full: the peak comes within minutes
    for (int i = 0; i < 120 && d.charger.channel(1).endValues().empty(); ++i) {
        d.run(30);
    }
    ASSERT_EQ(d.charger.channel(1).endValues().size(), 1u);
    std::string first = d.ask("001,M");
    EXPECT_EQ(first.substr(0, 9), "001,D,SL,") << first;
    EXPECT_EQ(d.ask("001,M").substr(0, 9), "001,M,SM,") << "trickle after a NiMH charge";
    EXPECT_EQ(d.ask("001,D"), first) << "the D request lists the end values again";

    ASSERT_EQ(d.ask(kNiMH6), kNiMH6 + ",G2");
    EXPECT_EQ(d.ask("001,D"), "001,D") << "a new program clears the end values";
}

} // namespace

TEST(SimCharger, DemoProgramsSuitTheBatteriesAndAreAccepted) {
    Driver d;
    // Default batteries: NiMH 6 x 2000, LiPo 3 x 2200, lead 6 x 7000, NiCd 8 x 1700.
    EXPECT_EQ(d.charger.demoProgram(1), "001,P,A02,M01,Z06,F2,W30,L01000,E01000,V07200,D00000");
    EXPECT_EQ(d.charger.demoProgram(3), "003,P,A03,M02,Z06,F2,W30,L03500,E03500,V12000,D00000");
    for (int n = 1; n <= 4; ++n) {
        const std::string program = d.charger.demoProgram(n);
        sim::CommandResult started = d.charger.command("start " + program);
        EXPECT_NE(started.output.find(program + ",G1"), std::string::npos) << started.output;
    }
    // As a program set at the keys, each is reported once in place of a status.
    EXPECT_EQ(d.ask("001,M"), d.charger.demoProgram(1) + ",G1");
    EXPECT_EQ(d.ask("003,M"), d.charger.demoProgram(3) + ",G1");
    d.run(60);
    EXPECT_EQ(d.ask("001,M").substr(0, 8), "001,M,SL");
    EXPECT_EQ(d.ask("003,M").substr(0, 8), "003,M,SE");
    d.command("remove 2");
    EXPECT_EQ(d.charger.demoProgram(2), "");
}
