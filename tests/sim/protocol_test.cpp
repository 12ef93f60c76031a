#include "protocol.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

TEST(SimFrames, RequestAndAnswerBytesAreExact) {
    EXPECT_EQ(sim::frameRequest("004,M"),
              bytes({0x12, 0x2C, 0x30, 0x30, 0x34, 0x2C, 0x4D, 0x2C, 0x03, 0x0D}));
    EXPECT_EQ(sim::frameAnswer("001,M,SA"),
              bytes({0x14, 0x2C, 0x30, 0x30, 0x31, 0x2C, 0x4D, 0x2C, 0x53, 0x41, 0x2C, 0x03}));
    EXPECT_EQ(sim::frameAnswer(""), bytes({0x14, 0x2C, 0x2C, 0x03}));
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

struct ProgramCase {
    const char* text;
    sim::Model model;
    bool accepted;
};

class SimProgramAcceptance : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(SimProgramAcceptance, ChecksLayoutAndRanges) {
    std::string why;
    auto p = sim::parseProgram(GetParam().text, GetParam().model, &why);
    EXPECT_EQ(p.has_value(), GetParam().accepted) << GetParam().text << " " << why;
}

constexpr auto Q4 = sim::Model::FourChannel;
constexpr auto Q1 = sim::Model::OneChannel;

INSTANTIATE_TEST_SUITE_P(
    Cases, SimProgramAcceptance,
    ::testing::Values(
        ProgramCase{kPlain, Q4, true},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,YH012", Q4, true},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,S1,C0,B0,H1,N100", Q4,
                    true},
        // cells: NiMH 24 on four channels, 30 on one; LiPo 7 / 10
        ProgramCase{"001,P,A02,M01,Z24,F0,W30,L01000,E00500,V28800,D21600", Q4, true},
        ProgramCase{"001,P,A02,M01,Z25,F0,W30,L01000,E00500,V30000,D22500", Q4, false},
        ProgramCase{"001,P,A02,M01,Z25,F0,W30,L01000,E00500,V30000,D22500", Q1, true},
        ProgramCase{"001,P,A06,M01,Z08,F0,W30,L01000,E00500,V29600,D24000", Q4, false},
        // currents: 50 to 5000 mA on four channels, up to 10000 on one
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L00049,E00500,V07200,D05400", Q4, false},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L06000,E00500,V07200,D05400", Q1, true},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L01000,E10001,V07200,D05400", Q1, false},
        ProgramCase{"001,P,A05,M01,Z06,F0,W30,L01000,E00500,V60001,D05400", Q4, false},
        // type 0 (none chosen), 9; mode 0, 9
        ProgramCase{"001,P,A00,M01,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        ProgramCase{"001,P,A02,M00,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        // layout: W missing, lower-case tag, short field, trailing field, P without K
        ProgramCase{"001,P,A02,M01,Z06,F0,L01000,E00500,V07200,D05400", Q4, false},
        ProgramCase{"001,P,a02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L1000,E00500,V07200,D05400", Q4, false},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,G1", Q4, false},
        ProgramCase{"001,P,A02,M01,Z06,P080,F0,W30,L01000,E00500,V07200,D05400", Q4, false},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,S1,C0,B0,H1", Q4, false},
        ProgramCase{"001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400,S1,C0,B0,H1,N100,O1", Q4,
                    false},
        ProgramCase{"005,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400", Q4, false}));

} // namespace
