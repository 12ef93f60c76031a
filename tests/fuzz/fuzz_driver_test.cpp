// Runs every fuzz target over random and mutated inputs from a fixed seed, a few
// hundred thousand per target, bounded in time so the suite stays quick.
#include "fuzz_targets.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace velmara::fuzz;

namespace {

using Target = std::function<int(const uint8_t*, size_t)>;

constexpr int kInputs = 300'000;
constexpr qint64 kBudgetMs = 3000;

// Bytes that matter to the parsers, drawn more often than the rest.
const std::string kAlphabet = std::string("0123456789,;-+ ") + "\x14\x03\x12\r\n" +
                              "ADEFGHKLMNOPQRSTUVWXYZ" + "acdgklmps" + "\x7f\x80\xb2\xff";

struct Mutator {
    std::mt19937 rng;
    explicit Mutator(unsigned seed) : rng(seed) {}

    size_t below(size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
    }
    char byte() { return below(4) == 0 ? char(below(256)) : kAlphabet[below(kAlphabet.size())]; }
    std::string random() {
        std::string s(below(48), '\0');
        for (char& c : s)
            c = byte();
        return s;
    }
    std::string digits(size_t n) {
        std::string s(n, '0');
        for (char& c : s)
            c = char('0' + below(10));
        return s;
    }
    std::string mutate(std::string s, const std::vector<std::string>& seeds) {
        const int edits = 1 + int(below(4));
        for (int e = 0; e < edits; ++e) {
            const size_t at = below(s.size() + 1);
            switch (below(7)) {
            case 0: // replace a byte
                if (!s.empty())
                    s[below(s.size())] = byte();
                break;
            case 1: // insert bytes
                s.insert(at, std::string(1 + below(3), byte()));
                break;
            case 2: // delete a stretch
                s.erase(at, below(6));
                break;
            case 3: // duplicate a stretch
                if (at < s.size())
                    s.insert(at, s.substr(at, 1 + below(12)));
                break;
            case 4: { // splice with another seed
                const std::string& other = seeds[below(seeds.size())];
                s = s.substr(0, at) + other.substr(below(other.size() + 1));
                break;
            }
            case 5: // a huge number
                s.insert(at, digits(6 + below(30)));
                break;
            case 6: // cut
                s.resize(at);
                break;
            }
        }
        return s;
    }
};

void run(const char* name, const Target& target, const std::vector<std::string>& seeds,
         unsigned seed) {
    Mutator m(seed);
    QElapsedTimer timer;
    timer.start();
    int done = 0;
    for (const std::string& s : seeds)
        target(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    for (; done < kInputs; ++done) {
        const std::string in =
            (done % 3 == 0) ? m.random() : m.mutate(seeds[m.below(seeds.size())], seeds);
        target(reinterpret_cast<const uint8_t*>(in.data()), in.size());
        if ((done & 1023) == 0 && timer.elapsed() > kBudgetMs)
            break;
    }
    std::printf("%s: %d inputs in %lld ms\n", name, done, static_cast<long long>(timer.elapsed()));
    EXPECT_GT(done, 1000);
}

const std::vector<std::string> kStatusSeeds = {
    "001,M,SA,",
    "001,M,SA,X3,",
    "002,M,SL,L01500,V07234,K00350,",
    "002,M,SE,E00800,V06900,K01200,",
    "003,M,SQV,",
    "001,D,SL,K01000,T90,V08400,",
    "-1",
    "",
    "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,"};
const std::vector<std::string> kProgramSeeds = {
    "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,",
    "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000",
    "002,P,A01,M01,Z10,P080,F0,W30,K02000,L01000,E01000,V14000,D10000,YD007,G1,",
    "001,P,A01,M01,Z10,F0,W30,L01000,E01000,V14000,D10000,S1,C0,B0,H1,N100,O1,Q0,U1,G2,R4,",
    "001,M,SK,"};
const std::vector<std::string> kEndwertSeeds = {
    "001,D,SL,K01000,T90,V08400,", "002,D,SE,K00950,T75,V06000,Y00012,X1,P095,",
    "001,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000,", "001,D,SL,K01000,P080,V08400,",
    "001,D,"};
const std::vector<std::string> kValueSeeds = {"1250;7140;1500;3600",   "3;950;6000;60;75",
                                              "3;950;6000;60;75;F;80", "3;950;6000;60;75;T;95;12",
                                              "2;1000;8400;5;90;0",    "-1;-2;-3;-4"};
const std::vector<std::string> kFrameSeeds = {"\x05\x14,001,M,SA,\x03",
                                              "\x02\x14,002,M,SL,L01500,V07234,K00350,\x03\r",
                                              "\x01  \x14,001,M ,SA,\x03  ",
                                              "\x03\x14,\x03",
                                              "\x04\x14,,\x03",
                                              "\x06\x03\x14,"};

TEST(FuzzTest, StatusAnswer) {
    run("status", statusAnswer, kStatusSeeds, 1);
}
TEST(FuzzTest, ProgramString) {
    run("program", programString, kProgramSeeds, 2);
}
TEST(FuzzTest, EndValueAnswer) {
    run("endwert", endValueAnswer, kEndwertSeeds, 3);
}
TEST(FuzzTest, ValueString) {
    run("valuestring", valueString, kValueSeeds, 4);
}
TEST(FuzzTest, AnswerFrame) {
    run("frame", answerFrame, kFrameSeeds, 5);
}

} // namespace
