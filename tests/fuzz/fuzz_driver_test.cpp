// Runs every fuzz target over random and mutated inputs from a fixed seed, a few
// hundred thousand per target, bounded in time so the suite stays quick.
#include "fuzz_targets.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace velmara::fuzz;

namespace {

using Target = int (*)(const uint8_t*, size_t);

constexpr int kInputs = 300'000;
constexpr qint64 kBudgetMs = 3000;

// Bytes that matter to the parsers, drawn more often than the rest.
const std::string kAlphabet = std::string("0123456789,;-+ ") + "\x14\x03\x12\r\n" +
                              "ADEFGHKLMNOPQRSTUVWXYZ" + "acdgklmps" + "\x7f\x80\xb2\xff";

// The seeds as they are, then random bytes, or a seed with a few edits: bytes
// put in, a stretch or the rest cut out, the tail of another seed spliced on, a
// long run of digits.
void run(const Target& target, const std::vector<std::string>& seeds, unsigned seed) {
    std::mt19937 rng(seed);
    auto below = [&](size_t n) {
        return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng) : 0;
    };
    auto byte = [&] { return below(4) ? kAlphabet[below(kAlphabet.size())] : char(below(256)); };
    QElapsedTimer timer;
    timer.start();
    int done = 0;
    for (; done < kInputs && ((done & 1023) != 0 || timer.elapsed() < kBudgetMs); ++done) {
        const bool asIs = done < int(seeds.size()), random = !asIs && done % 3 == 0;
        std::string s = seeds[asIs ? size_t(done) : below(seeds.size())];
        if (random) {
            s.assign(below(48), '\0');
            for (char& c : s)
                c = byte();
        }
        for (int edits = asIs || random ? 0 : 1 + int(below(4)); edits > 0; --edits) {
            const size_t at = below(s.size() + 1);
            const std::string& other = seeds[below(seeds.size())];
            switch (below(4)) {
            case 0:
                s.insert(at, std::string(1 + below(3), byte()));
                break;
            case 1: // a stretch, or the whole rest
                s.erase(at, below(2) ? below(6) : std::string::npos);
                break;
            case 2:
                s = s.substr(0, at) + other.substr(below(other.size() + 1));
                break;
            case 3:
                s.insert(at, std::string(6 + below(30), char('0' + below(10))));
                break;
            }
        }
        target(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
    EXPECT_GT(done, 1000);
}

TEST(FuzzTest, EveryTargetOnItsSeedsAndMutations) {
    const struct {
        Target target;
        std::vector<std::string> seeds;
    } targets[] = {
        {statusAnswer,
         {"001,M,SA,X3,", "002,M,SL,L01500,V07234,K00350,", "003,M,SQV,",
          "001,D,SL,K01000,T90,V08400,", "-1",
          "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,"}},
        {programString,
         {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000",
          "002,P,A01,M01,Z10,P080,F0,W30,K02000,L01000,E01000,V14000,D10000,YD007,G1,",
          "001,P,A01,M01,Z10,F0,W30,L01000,E01000,V14000,D10000,S1,C0,B0,H1,N100,O1,Q0,U1,G2,R4,",
          "001,M,SK,"}},
        {endValueAnswer,
         {"002,D,SE,K00950,T75,V06000,Y00012,X1,P095,",
          "001,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000,", "001,D,SL,K01000,P080,V08400,"}},
        {valueString, {"1250;7140;1500;3600", "3;950;6000;60;75;T;95;12", "3;950;6000;60;75;7"}},
        // The first byte decides how the rest arrives in pieces.
        {answerFrame,
         {"\x05\x14,001,M,SA,\x03", "\x02\x14,002,M,SL,L01500,V07234,K00350,\x03\r",
          "\x01  \x14,001,M ,SA,\x03  ", "\x03\x14,\x03", "\x06\x03\x14,"}},
    };
    unsigned seed = 0;
    for (const auto& t : targets) {
        SCOPED_TRACE(t.seeds.front());
        run(t.target, t.seeds, ++seed);
    }
}

} // namespace
