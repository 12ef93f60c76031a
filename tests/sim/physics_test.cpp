// Runs programs on simulated batteries and checks them the way the computer sees them:
// through the status and end-value answers.
#include "sim_driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using simtest::Driver;

namespace {

struct Sample {
    double time;
    std::string state; // "D" for an end-value answer
    long current = 0, voltage = 0;
};

// "001,M,SL,L01000,V07234,K00350" -> state SL, current and voltage.
Sample parseStatus(double time, const std::string& payload) {
    std::vector<std::string> f = sim::splitFields(payload);
    Sample s{time, f.size() >= 3 && f[1] == "M" ? f[2] : f.size() >= 2 ? f[1] : "?"};
    if (f.size() >= 6 && f[1] == "M") {
        s.current = std::stol(f[3].substr(1));
        s.voltage = std::stol(f[4].substr(1));
    }
    return s;
}

// Polls channel 1 every `interval` simulated seconds until `done` or `limit` seconds.
template <typename Done>
std::vector<Sample> pollUntil(Driver& d, double interval, double limit, Done done) {
    std::vector<Sample> samples;
    for (double t = 0; t <= limit; t += interval) {
        samples.push_back(parseStatus(t, d.ask("001,M")));
        if (done(samples.back())) {
            break;
        }
        d.run(interval);
    }
    return samples;
}

struct EndValueFields {
    std::string phase;
    long k = -1, t = -1, v = -1, y = -1, x = -1, p = -1;
};

// "001,D,SL,K..,T..,V..,SE,..." -> one entry per phase; a stray field throws.
std::vector<EndValueFields> parseEndValues(const std::string& payload) {
    std::vector<EndValueFields> out;
    for (const std::string& field : sim::splitFields(payload.substr(6))) {
        if (field == "SL" || field == "SE") {
            out.push_back({field});
            continue;
        }
        EndValueFields& e = out.back();
        const std::array<long*, 6> slots = {&e.k, &e.t, &e.v, &e.y, &e.x, &e.p};
        *slots.at(std::string("KTVYXP").find(field.at(0))) = std::stol(field.substr(1));
    }
    return out;
}

TEST(SimPhysics, NiMHChargeRisesToAPeakAndEndsOnMinusDeltaV) {
    Driver d(simtest::oneBattery({sim::Chemistry::NiMH, 6, 2000, 10}));
    const std::string program = "001,P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400";
    ASSERT_EQ(d.ask(program), program + ",G1");

    const double interval = 10;
    auto samples =
        pollUntil(d, interval, 6 * 3600.0, [](const Sample& s) { return s.state != "SL"; });
    ASSERT_EQ(samples.back().state, "D") << "the end value comes in place of a status answer";
    samples.pop_back();
    ASSERT_GT(samples.size(), 100u);

    auto peak = std::max_element(samples.begin(), samples.end(),
                                 [](auto& a, auto& b) { return a.voltage < b.voltage; });
    const Sample& last = samples.back();
    EXPECT_GT(peak->voltage, samples.front().voltage + 600) << "the voltage rises over the charge";
    EXPECT_GE(peak->voltage, 8400) << "about 1.4 V a cell near full";
    EXPECT_LT(peak->voltage, 6 * 1700);
    EXPECT_GT(peak->time, samples.front().time + 3600) << "no early false peak";
    EXPECT_LE(last.voltage, peak->voltage) << "falling after the peak";

    // capacity: integral of the reported current against the end value
    double integrated = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        integrated += samples[i - 1].current * (samples[i].time - samples[i - 1].time) / 3600.0;
    }
    auto ends = parseEndValues(d.ask("001,D"));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].phase, "SL");
    EXPECT_NEAR(ends[0].k, integrated, 0.01 * integrated + interval * 1000 / 3600.0);
    EXPECT_GT(ends[0].k, 1.0 * 0.9 * 2000 * 0.93) << "a NiMH charge puts in more than it stores";
    EXPECT_NEAR(ends[0].t, last.time / 60.0, interval / 60.0 + 1);
    EXPECT_LT(ends[0].v, peak->voltage);
}

TEST(SimPhysics, LithiumChargeHoldsItsEndVoltageWhileTheCurrentFalls) {
    Driver d(simtest::oneBattery({sim::Chemistry::LiPo, 3, 2200, 30}));
    const std::string program = "001,P,A06,M01,Z03,F0,W30,L02000,E01000,V11100,D09000";
    ASSERT_EQ(d.ask(program), program + ",G1");
    auto samples = pollUntil(d, 15, 6 * 3600.0, [](const Sample& s) { return s.state != "SL"; });
    ASSERT_EQ(samples.back().state, "D");
    samples.pop_back();

    std::vector<Sample> cv;
    for (const Sample& s : samples) {
        if (s.current < 2000) {
            cv.push_back(s);
        }
    }
    ASSERT_GT(cv.size(), 20u) << "a CV phase of some minutes";
    for (size_t i = 0; i < cv.size(); ++i) {
        EXPECT_NEAR(cv[i].voltage, 12600, 2) << "at " << cv[i].time;
        if (i > 0) {
            EXPECT_LE(cv[i].current, cv[i - 1].current);
        }
    }
    EXPECT_LE(cv.back().current, 260) << "ends near 10 % of the charge current";
    EXPECT_GE(cv.back().current, 200);
    for (const Sample& s : samples) {
        EXPECT_LE(s.voltage, 12602);
    }
    auto ends = parseEndValues(d.ask("001,D"));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_NEAR(ends[0].v, 12600, 2);
    EXPECT_EQ(parseStatus(0, d.ask("001,M")).state, "SF") << "no trickle for lithium";
}

TEST(SimPhysics, DischargeStopsAtTheEndVoltage) {
    Driver d(simtest::oneBattery({sim::Chemistry::NiMH, 6, 2000, 100}));
    const std::string program = "001,P,A02,M02,Z06,F0,W30,L01000,E01000,V07200,D06000";
    ASSERT_EQ(d.ask(program), program + ",G1");
    auto samples = pollUntil(d, 10, 5 * 3600.0, [](const Sample& s) { return s.state != "SE"; });
    ASSERT_EQ(samples.back().state, "D");
    samples.pop_back();
    for (const Sample& s : samples) {
        EXPECT_EQ(s.current, 1000);
        EXPECT_GT(s.voltage, 6000);
    }
    auto ends = parseEndValues(d.ask("001,D"));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].phase, "SE");
    EXPECT_NEAR(ends[0].v, 6000, 15);
    EXPECT_GT(ends[0].k, 1600);
    EXPECT_LE(ends[0].k, 2040);
    EXPECT_EQ(parseStatus(0, d.ask("001,M")).state, "SF");
}

TEST(SimPhysics, DischargeChargeRunsToTheEnd) {
    // mode 3: discharge to the type's end voltage (or D for preset voltages), then charge
    const struct {
        sim::BatteryParams battery;
        const char* program;
        long endOfDischargeMv;
    } cases[] = {
        {{sim::Chemistry::NiCd, 8, 1700, 60},
         "001,P,A01,M03,Z08,F0,W30,L01700,E01000,V09600,D00000",
         7200},
        {{sim::Chemistry::Lead, 6, 7000, 60},
         "001,P,A03,M03,Z06,F0,W30,L02000,E01000,V12000,D00000",
         10800},
        {{sim::Chemistry::Lead, 6, 7000, 60},
         "001,P,A05,M03,Z06,F0,W30,L02000,E01000,V14400,D11000",
         11000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        Driver d(simtest::oneBattery(c.battery));
        ASSERT_EQ(d.ask(c.program), std::string(c.program) + ",G1");
        for (int i = 0; i < 24 * 60 && d.charger.channel(1).endValues().size() < 2; ++i)
            d.run(60);
        auto ends = parseEndValues(d.ask("001,D"));
        ASSERT_EQ(ends.size(), 2u) << d.charger.channel(1).describe();
        EXPECT_EQ(ends[0].phase, "SE");
        EXPECT_NEAR(ends[0].v, c.endOfDischargeMv, c.endOfDischargeMv * 0.02);
        EXPECT_EQ(ends[1].phase, "SL");
        EXPECT_GT(ends[1].k, ends[0].k) << "the charge refills what came out, and then some";
        EXPECT_GT(d.charger.channel(1).battery()->soc(), 0.9);
        EXPECT_EQ(d.ask("001,M"), "001,M,SF");
    }
}

TEST(SimPhysics, SelfDischargeTestWaitsThenReportsLossAndVerdict) {
    Driver d(simtest::oneBattery({sim::Chemistry::NiMH, 6, 2000, 50}));
    const std::string program =
        "001,P,A02,M08,Z06,P080,F0,W30,K02000,L01000,E01000,V07200,D06000,YD007";
    ASSERT_EQ(d.ask(program), program + ",G1");
    std::vector<std::string> states;
    for (int i = 0; i < 10 * 24 * 60 && d.charger.channel(1).state() != sim::State::Finished; ++i) {
        std::string s = parseStatus(0, d.ask("001,M")).state;
        if (states.empty() || states.back() != s) {
            states.push_back(s);
        }
        d.run(60);
    }
    states.push_back(parseStatus(0, d.ask("001,M")).state);
    EXPECT_EQ(states, (std::vector<std::string>{"SL", "D", "SW", "SE", "D"}));
    auto ends = parseEndValues(d.ask("001,D"));
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].y, -1);
    EXPECT_EQ(ends[1].phase, "SE");
    EXPECT_GT(ends[1].y, 40) << "a week of NiMH self-discharge";
    EXPECT_LT(ends[1].y, 200);
    EXPECT_EQ(ends[1].p, std::lround(100.0 * ends[1].k / 2000));
    EXPECT_EQ(ends[1].x, ends[1].p >= 80 ? 1 : 0);
    EXPECT_EQ(d.ask("001,M"), ends[1].x == 1 ? "001,M,SF,X3" : "001,M,SF,X2");
}

TEST(SimPhysics, ProgramThatCannotRunEndsInAFault) {
    const struct {
        sim::BatteryParams battery;
        const char* program;
        double seconds;
        const char* status;
    } cases[] = {
        // preset voltages with the discharge end above the charge end
        {{sim::Chemistry::Lead, 6, 7000, 60},
         "001,P,A05,M01,Z06,F0,W30,L01000,E01000,V12000,D13000",
         600,
         "001,M,SP"},
        // three LiPo cells programmed as six NiMH cells: far too high
        {{sim::Chemistry::LiPo, 3, 2200, 50},
         "001,P,A02,M01,Z06,F0,W30,L01000,E01000,V07200,D05400",
         600,
         "001,M,SQV"},
        // four NiMH cells programmed as three LiPo cells: far too low
        {{sim::Chemistry::NiMH, 4, 2000, 50},
         "001,P,A06,M01,Z03,F0,W30,L01000,E01000,V11100,D09000",
         600,
         "001,M,SQU"},
        // 50 mA into 7 Ah: the charge timer runs out
        {{sim::Chemistry::Lead, 6, 7000, 10},
         "001,P,A03,M01,Z06,F0,W30,L00050,E01000,V12000,D10800",
         21 * 3600,
         "001,M,SQT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        Driver d(simtest::oneBattery(c.battery));
        const std::string program = c.program;
        ASSERT_EQ(d.ask(program), program + ",G1") << "accepted, then stopped";
        d.run(c.seconds);
        EXPECT_EQ(d.ask("001,M"), c.status);
        EXPECT_EQ(d.ask("001,W"), program + ",G1");
    }
}

TEST(SimPhysics, SameSeedSameRun) {
    auto run = [](std::uint32_t seed) {
        Driver d(simtest::oneBattery({sim::Chemistry::NiMH, 6, 2000, 10}, seed));
        d.ask("001,P,A02,M03,Z06,F0,W30,L01000,E01000,V07200,D06000");
        d.run(6 * 3600);
        return d.ask("001,D");
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));
}

} // namespace
