// The charger: its channels, the requests it answers, the control commands that
// change its world, and simulated time.
#pragma once

#include "channel.h"
#include "protocol.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// One answer as it goes onto the line: after `delayMs`, the pieces one after the other
// with `pauseMs` between them.
struct Reply {
    std::vector<std::string> pieces;
    int delayMs = 0;
    int pauseMs = 0;
    std::string bytes() const; // all pieces joined
};

struct ChargerOptions {
    Model model = Model::FourChannel;
    std::uint32_t seed = 1;
    // nullopt: the channel starts empty
    std::array<std::optional<BatteryParams>, 4> batteries = {
        BatteryParams{Chemistry::NiMH, 6, 2000, 20},
        BatteryParams{Chemistry::LiPo, 3, 2200, 40},
        BatteryParams{Chemistry::Lead, 6, 7000, 60},
        BatteryParams{Chemistry::NiCd, 8, 1700, 10},
    };
};

struct CommandResult {
    bool ok = true;
    bool quit = false;
    std::string output; // text for standard output (state) or the error
};

class Charger {
public:
    explicit Charger(const ChargerOptions& options = {});

    // Bytes from the computer; the replies to every request they complete.
    std::vector<Reply> receive(std::string_view bytes);
    // One request body ("001,M"); nothing when the charger stays silent.
    std::optional<Reply> handle(std::string_view body);

    // Lets `seconds` of simulated time pass.
    void advance(double seconds);
    double now() const { return now_; }

    // One control line: insert, remove, fault, clear, silent, talk, garbage, split,
    // late, start, state, quit.
    CommandResult command(std::string_view line);

    // A program text that suits the battery in the channel, for demonstrations:
    // channels 1 to 4 charge, charge-discharge-charge, discharge and cycle at 0.5 C.
    // Empty when the channel has no battery.
    std::string demoProgram(int number) const;

    Model model() const { return model_; }
    int channelCount() const { return model_ == Model::FourChannel ? 4 : 1; }
    Channel& channel(int number) { return channels_[number - 1]; }
    std::string stateReport() const;

    // Request/answer log lines are handed here when set.
    void setLog(std::vector<std::string>* log) { log_ = log; }

private:
    std::optional<std::string> answer(std::string_view body);
    Reply shape(const std::string& payload);

    Model model_;
    std::mt19937 rng_;
    std::vector<Channel> channels_;
    std::array<bool, 4> silent_{};
    int garbage_ = 0;
    int split_ = 0;
    int late_ = 0;
    int lateMs_ = 0;
    double now_ = 0;
    RequestReader reader_;
    std::vector<std::string>* log_ = nullptr;
};

} // namespace sim
