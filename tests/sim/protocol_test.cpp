// The simulator keeps the charger's side of the line: the frames, the kinds of
// answer the program reads, and the control commands the end-to-end tests use.
#include "charger.h"
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
    for (char c : stream) // one byte at a time, as a slow line delivers them
        for (std::string& b : reader.feed(std::string(1, c)))
            bodies.push_back(b);
    EXPECT_EQ(bodies, (std::vector<std::string>{"001,M", "002,D", "003,W"}));
}

// The payload of the answer frame, "(silent)" or "(bad frame)".
std::string ask(sim::Charger& charger, const std::string& body) {
    std::string bytes;
    for (const sim::Reply& r : charger.receive(sim::frameRequest(body)))
        bytes += r.bytes();
    if (bytes.empty())
        return "(silent)";
    if (bytes.size() < 4 || bytes.substr(0, 2) != "\x14," ||
        bytes.substr(bytes.size() - 2) != ",\x03")
        return "(bad frame)";
    return bytes.substr(2, bytes.size() - 4);
}

const std::string kNiMH6 = "001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400";

// Each row runs on the charger the rows before it left behind.
TEST(SimCharger, AnswersEachKindTheProgramReads) {
    const struct {
        const char* command; // a control command first, or ""
        std::string request;
        std::string answer; // "prefix*" matches the start
    } rows[] = {
        {"", "004,M", "004,M,SA"},
        {"", "002,D", "002,D"},
        {"", "001,X", "(silent)"},
        {"", kNiMH6, kNiMH6 + ",G1"},
        {"", "001,W", kNiMH6 + ",G1"},
        {"", "002,P,A02,M01,Z25,F0,W30,L01000,E00500,V30000,D22500", "002,M,SA"}, // refused
        {"", "001,P,A99", "001,M,SL,*"}, // refused while running: the live status
        {"remove 2", "002,M", "002,M,SK"},
        {"", "002,P,A06,M01,Z03,F0,W30,L01000,E01000,V11100,D09000", "002,M,SK"},
        {"insert 2 LiPo 3 2200 40", "002,M", "002,M,SA"},
        {"fault 3 SG", "003,P,A03,M01,Z06,F0,W30,L01000,E01000,V12000,D10800", "003,M,SG"},
        {"silent all", "001,M", "(silent)"},
        {"talk all", "003,M", "003,M,SG"},
    };
    sim::Charger charger{sim::ChargerOptions{}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.request);
        if (*r.command) {
            ASSERT_TRUE(charger.command(r.command).ok) << r.command;
        }
        const std::string got = ask(charger, r.request);
        if (r.answer.back() == '*')
            EXPECT_EQ(got.substr(0, r.answer.size() - 1), r.answer.substr(0, r.answer.size() - 1));
        else
            EXPECT_EQ(got, r.answer);
    }

    sim::ChargerOptions one;
    one.model = sim::Model::OneChannel;
    sim::Charger single(one);
    EXPECT_EQ(ask(single, "002,M"), "(silent)");
}

TEST(SimCharger, EndValuesReplaceTheNextStatusAnswerOnce) {
    sim::ChargerOptions options;
    options.batteries = {sim::BatteryParams{sim::Chemistry::NiMH, 6, 2000, 95}, std::nullopt,
                         std::nullopt, std::nullopt};
    sim::Charger charger(options);
    ASSERT_EQ(ask(charger, kNiMH6), kNiMH6 + ",G1");
    for (int i = 0; i < 120 && charger.channel(1).endValues().empty(); ++i)
        charger.advance(30);
    const std::string first = ask(charger, "001,M");
    EXPECT_EQ(first.substr(0, 9), "001,D,SL,") << first;
    EXPECT_EQ(ask(charger, "001,M").substr(0, 9), "001,M,SM,");
    EXPECT_EQ(ask(charger, "001,D"), first);
    ASSERT_EQ(ask(charger, kNiMH6), kNiMH6 + ",G2");
    EXPECT_EQ(ask(charger, "001,D"), "001,D") << "a new program clears the end values";
}

} // namespace
