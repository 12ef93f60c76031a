// One charging channel: the battery in it, the program it runs, and its answers.
#pragma once

#include "battery.h"
#include "protocol.h"

#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace sim {

// SP, SK, SG, SQT, SQV, SQR, SQU, SQP, SQS
bool isFaultCode(const std::string& code);

enum class State { Idle, Charging, Discharging, Trickle, Finished, Waiting, Fault };

struct EndValue {
    bool charge = true; // SL, else SE
    long capacityMah = 0;
    long minutes = 0;
    long voltageMv = 0;
    std::optional<long> selfDischargeMah;
    std::optional<bool> good;
    std::optional<int> percent;
};

class Channel {
public:
    Channel(int number, Model model);

    int number() const { return number_; }
    std::string code() const;

    void insert(const BatteryParams& params, std::mt19937& rng);
    void remove();
    bool hasBattery() const { return battery_ != nullptr; }
    const Battery* battery() const { return battery_.get(); }

    // A fault set from outside holds until clear() and refuses programs.
    void injectFault(const std::string& code);
    void clear();

    // Payloads without framing. The status answer is replaced once by the end-value
    // answer after a phase has ended.
    std::string answerStatus();
    std::string answerEndValues();
    std::string answerProgramRequest() const;
    std::string answerProgramText(std::string_view text);

    // A program started at the charger's keys: the channel tells it with a
    // program answer in place of its next status answer.
    void reportProgramOnNextStatus() { programReport_ = true; }
    int programsAccepted() const { return accepted_; }

    // Lets simulated time pass, in steps short enough for the battery physics.
    void advance(double seconds);

    State state() const { return state_; }
    std::string stateCode() const; // SA, SL, ..., or the fault code
    long currentMa() const;        // what the charger reports now
    long voltageMv() const;
    long phaseCapacityMah() const { return std::lround(phaseMah_); }
    const std::vector<EndValue>& endValues() const { return endValues_; }
    bool endValuesPending() const { return endValuesPending_; }
    std::string describe() const;

private:
    enum class StepKind {
        Charge,
        StorageCharge,
        FormingCharge,
        Discharge,
        SelfDischargeWait,
        StorageWait
    };

    std::string plainStatus() const;
    void start(const Program& program);
    void beginNextStep();
    void finishRun();
    void endPhase();
    void fail(const std::string& code);
    void stepOnce(double dt);
    double setCurrentA() const;    // programmed charge current of this step
    double chargeCurrentA() const; // the current the charger drives now (CC, or CV below it)
    double endOfChargeVolts() const;
    double endOfDischargeVolts() const;
    double maxVolts() const;

    int number_;
    Model model_;
    std::unique_ptr<Battery> battery_;

    State state_ = State::Idle;
    std::string faultCode_;
    bool faultHeld_ = false;

    std::optional<Program> program_;
    int accepted_ = 0; // programs accepted so far (G counts them modulo 10)
    std::deque<StepKind> steps_;
    StepKind step_ = StepKind::Charge;
    std::optional<bool> lastVerdict_;

    // the phase that runs now
    double phaseSeconds_ = 0;
    double phaseMah_ = 0;
    double currentA_ = 0; // positive charging, negative discharging
    double peakVolts_ = 0;
    double waitLeft_ = 0;
    double chargeBeforeWait_ = 0;
    std::optional<double> lostInWait_;

    std::vector<EndValue> endValues_;
    bool endValuesPending_ = false;
    bool programReport_ = false;
};

} // namespace sim
