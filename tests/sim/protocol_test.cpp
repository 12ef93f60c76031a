#include "protocol.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(SimFrames, RequestAndAnswerBytesAreExact) {
    using namespace std::string_literals;
    EXPECT_EQ(sim::frameRequest("004,M"), "\x12\x2C\x30\x30\x34\x2C\x4D\x2C\x03\x0D"s);
    EXPECT_EQ(sim::frameAnswer("001,M,SA"), "\x14\x2C\x30\x30\x31\x2C\x4D\x2C\x53\x41\x2C\x03"s);
    EXPECT_EQ(sim::frameAnswer(""), "\x14\x2C\x2C\x03"s);
}

TEST(SimFrames, ReaderJoinsPiecesSkipsNoiseAndDropsBrokenFrames) {
    sim::RequestReader reader;
    // noise, two good frames, one without its closing separator, one cut off by a new DC2
    std::string stream = "xx\r" + sim::frameRequest("001,M") + sim::frameRequest("002,D") +
                         "\x12,001,M\x03\r" + "\x12,002" + sim::frameRequest("003,W");
    std::vector<std::string> bodies;
    for (char c : stream) { // one byte at a time, as a slow line delivers them
        for (std::string& b : reader.feed(std::string(1, c))) {
            bodies.push_back(b);
        }
    }
    EXPECT_EQ(bodies, (std::vector<std::string>{"001,M", "002,D", "003,W"}));
    EXPECT_TRUE(reader.pending().empty());
    EXPECT_EQ(sim::fixed(-3, 3), "000");
    EXPECT_EQ(sim::fixed(123456, 5), "99999");
}

const char* const kPlain = "001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400";

TEST(SimProgramText, ReadsEveryField) {
    auto p = sim::parseProgram("002,P,A01,M08,Z10,P080,F3,W07,K02000,L01000,E00900,V12000,"
                               "D10000,YD007,S0,C1,B1,H0,N150,O1,Q0,U1",
                               sim::Model::FourChannel);
    ASSERT_TRUE(p);
    EXPECT_EQ(std::vector<int>({p->channel, p->type, p->mode, p->cells, p->percent.value_or(-1),
                                p->cycles, p->repeat, p->capacityMah.value_or(-1), p->chargeMa,
                                p->dischargeMa, p->chargeMv, p->dischargeMv, p->endShare}),
              std::vector<int>({2, 1, 8, 10, 80, 3, 7, 2000, 1000, 900, 12000, 10000, 150}));
    EXPECT_EQ(p->selfDischargeHours, 7 * 24);
    EXPECT_TRUE(p->extended && p->locked && p->withoutLoad && p->switches);
    EXPECT_EQ(p->o + p->q + p->u, 2);

    auto plain = sim::parseProgram(kPlain, sim::Model::FourChannel);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->hasTarget());
    EXPECT_FALSE(plain->selfDischargeHours);
    EXPECT_FALSE(plain->extended);
    EXPECT_EQ(plain->endShare, 100);
}

TEST(SimProgramText, ChecksLayoutAndRanges) {
    constexpr auto Q4 = sim::Model::FourChannel;
    constexpr auto Q1 = sim::Model::OneChannel;
    const struct {
        const char* text;
        sim::Model model;
        bool accepted;
    } cases[] = {
        {kPlain, Q4, true},
        {"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,S1,C0,B0,H1,N100", Q4, true},
        // cells: NiMH 24 on four channels, 30 on one; LiPo 7 / 10
        {"001,P,A02,M01,Z25,F0,W30,L01000,E00500,V30000,D22500", Q4, false},
        {"001,P,A02,M01,Z25,F0,W30,L01000,E00500,V30000,D22500", Q1, true},
        {"001,P,A06,M01,Z08,F0,W30,L01000,E00500,V29600,D24000", Q4, false},
        // currents: 50 to 5000 mA on four channels, up to 10000 on one
        {"001,P,A02,M01,Z06,F0,W30,L00049,E00500,V07200,D05400", Q4, false},
        {"001,P,A02,M01,Z06,F0,W30,L06000,E00500,V07200,D05400", Q1, true},
        {"001,P,A02,M01,Z06,F0,W30,L01000,E10001,V07200,D05400", Q1, false},
        {"001,P,A05,M01,Z06,F0,W30,L01000,E00500,V60001,D05400", Q4, false},
        // type 0 (none chosen), mode 0
        {"001,P,A00,M01,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        {"001,P,A02,M00,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        // layout: W missing, short field, trailing field, P without K, cut extensions, channel
        {"001,P,A02,M01,Z06,F0,L01000,E00500,V07200,D05400", Q4, false},
        {"001,P,A02,M01,Z06,F0,W30,L1000,E00500,V07200,D05400", Q4, false},
        {"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,G1", Q4, false},
        {"001,P,A02,M01,Z06,P080,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        {"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,S1,C0,B0,H1", Q4, false},
        {"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,S1,C0,B0,H1,N100,O1", Q4, false},
        {"005,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(sim::parseProgram(c.text, c.model, &why).has_value(), c.accepted)
            << c.text << " " << why;
    }
}

} // namespace
