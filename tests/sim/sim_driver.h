// Talks to an in-process charger the way the computer does: framed requests in,
// framed answers out, simulated time in between.
#pragma once

#include "charger.h"
#include "protocol.h"

#include <gtest/gtest.h>
#include <string>

namespace simtest {

// The payload of a well-formed answer frame, or "(silent)" / "(bad frame)".
inline std::string unframe(const std::string& bytes) {
    if (bytes.empty()) {
        return "(silent)";
    }
    if (bytes.size() < 4 || bytes[0] != sim::DC4 || bytes[1] != ',' ||
        bytes[bytes.size() - 2] != ',' || bytes.back() != sim::ETX) {
        return "(bad frame)";
    }
    return bytes.substr(2, bytes.size() - 4);
}

class Driver {
public:
    explicit Driver(const sim::ChargerOptions& options = {}) : charger(options) {}

    std::string bytesFor(const std::string& body) {
        std::string out;
        for (const sim::Reply& r : charger.receive(sim::frameRequest(body))) {
            out += r.bytes();
        }
        return out;
    }
    std::string ask(const std::string& body) { return unframe(bytesFor(body)); }
    void run(double seconds) { charger.advance(seconds); }
    void command(const std::string& line) {
        sim::CommandResult r = charger.command(line);
        ASSERT_TRUE(r.ok) << line << ": " << r.output;
    }

    sim::Charger charger;
};

// Options with the given battery in channel 1 and the others empty.
inline sim::ChargerOptions oneBattery(sim::BatteryParams params, std::uint32_t seed = 7) {
    sim::ChargerOptions o;
    o.seed = seed;
    o.batteries = {params, std::nullopt, std::nullopt, std::nullopt};
    return o;
}

} // namespace simtest
