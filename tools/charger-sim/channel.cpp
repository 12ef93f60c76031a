#include "channel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sim {

namespace {

constexpr double kChargeStep = 0.5;    // seconds; keeps the CV loop and -dV detection stable
constexpr double kRestStep = 60.0;     // seconds; at rest only self-discharge acts
constexpr double kSafetyHours = 20;    // charge timer
constexpr double kFormingHours = 16;   // 0.1 C for 16 h
constexpr double kCapacityLimit = 1.6; // charged capacity as a share of the target capacity

const char* const kFaultCodes[] = {"SP", "SK", "SG", "SQT", "SQV", "SQR", "SQU", "SQP", "SQS"};

// The program a channel reports before it has ever been given one.
constexpr const char* kIdleProgram = ",P,A02,M01,Z06,F0,W30,L01000,E00500,V07200,D05400";

const ChemistryRules* programRules(const Program& p) {
    auto chemistry = chemistryFromType(p.type);
    return chemistry ? &rulesFor(*chemistry) : nullptr;
}

} // namespace

bool isFaultCode(const std::string& code) {
    return std::find(std::begin(kFaultCodes), std::end(kFaultCodes), code) != std::end(kFaultCodes);
}

Channel::Channel(int number, Model model) : number_(number), model_(model) {}

std::string Channel::code() const {
    return fixed(number_, 3);
}

void Channel::insert(const BatteryParams& params, std::mt19937& rng) {
    battery_ = std::make_unique<Battery>(params, rng);
    steps_.clear();
    currentA_ = 0;
    if (!faultHeld_) {
        state_ = State::Idle;
        faultCode_.clear();
    }
}

void Channel::remove() {
    battery_.reset();
    steps_.clear();
    currentA_ = 0;
    if (!faultHeld_) {
        state_ = State::Idle;
        faultCode_.clear();
    }
}

void Channel::injectFault(const std::string& code) {
    fail(code);
    faultHeld_ = true;
}

void Channel::clear() {
    faultHeld_ = false;
    if (state_ == State::Fault) {
        state_ = State::Idle;
        faultCode_.clear();
    }
}

void Channel::fail(const std::string& code) {
    state_ = State::Fault;
    faultCode_ = code;
    steps_.clear();
    currentA_ = 0;
}

std::string Channel::stateCode() const {
    if (!battery_ && !faultHeld_) {
        return "SK";
    }
    switch (state_) {
    case State::Idle:
        return "SA";
    case State::Charging:
        return "SL";
    case State::Discharging:
        return "SE";
    case State::Trickle:
        return "SM";
    case State::Finished:
        return "SF";
    case State::Waiting:
        return "SW";
    case State::Fault:
        return faultCode_;
    }
    return "SA";
}

long Channel::currentMa() const {
    return std::lround(std::abs(currentA_) * 1000.0);
}

long Channel::voltageMv() const {
    return battery_ ? std::lround(battery_->terminalVoltage(currentA_) * 1000.0) : 0;
}

std::string Channel::plainStatus() const {
    std::string out = code() + ",M," + stateCode();
    if (!battery_) {
        return out;
    }
    auto values = [&](char letter) {
        return std::string(",") + letter + fixed(currentMa(), 5) + ",V" + fixed(voltageMv(), 5) +
               ",K" + fixed(phaseCapacityMah(), 5);
    };
    switch (state_) {
    case State::Charging:
    case State::Trickle:
        out += values('L');
        break;
    case State::Discharging:
        out += values('E');
        break;
    case State::Finished:
        if (lastVerdict_) {
            out += *lastVerdict_ ? ",X3" : ",X2";
        }
        break;
    default:
        break;
    }
    return out;
}

std::string Channel::answerStatus() {
    if (programReport_) {
        programReport_ = false;
        return answerProgramRequest();
    }
    if (battery_ && state_ != State::Fault && endValuesPending_) {
        return answerEndValues();
    }
    return plainStatus();
}

std::string Channel::answerEndValues() {
    endValuesPending_ = false;
    std::string out = code() + ",D";
    for (const EndValue& v : endValues_) {
        out += v.charge ? ",SL" : ",SE";
        out += ",K" + fixed(v.capacityMah, 5);
        out += ",T" + std::to_string(v.minutes);
        out += ",V" + fixed(v.voltageMv, 5);
        if (v.selfDischargeMah) {
            out += ",Y" + fixed(*v.selfDischargeMah, 5);
        }
        if (v.good) {
            out += *v.good ? ",X1" : ",X0";
        }
        if (v.percent) {
            out += ",P" + fixed(*v.percent, 3);
        }
    }
    return out;
}

std::string Channel::answerProgramRequest() const {
    if (!battery_ || (state_ == State::Fault && faultCode_ == "SK")) {
        return code() + ",M,SK";
    }
    std::string out = program_ ? program_->text : code() + kIdleProgram;
    out += ",G" + std::to_string(accepted_ % 10);
    if (program_ && program_->extended) {
        out += model_ == Model::FourChannel ? ",R4" : ",R1";
    }
    return out;
}

std::string Channel::answerProgramText(std::string_view text) {
    if (!battery_ || (state_ == State::Fault && faultCode_ == "SK")) {
        return code() + ",M,SK";
    }
    if (faultHeld_) {
        return plainStatus();
    }
    std::optional<Program> program = parseProgram(text, model_);
    if (!program || program->channel != number_) {
        return plainStatus();
    }
    ++accepted_;
    start(*program);
    return answerProgramRequest();
}

double Channel::endOfChargeVolts() const {
    const ChemistryRules* rules = programRules(*program_);
    return rules ? rules->endOfChargeCell * program_->cells : program_->chargeMv / 1000.0;
}

double Channel::endOfDischargeVolts() const {
    if (program_->dischargeMv > 0) {
        return program_->dischargeMv / 1000.0;
    }
    const ChemistryRules* rules = programRules(*program_);
    return rules ? rules->endOfDischargeCell * program_->cells : 0.0;
}

double Channel::maxVolts() const {
    const ChemistryRules* rules = programRules(*program_);
    return rules ? rules->maxCell * program_->cells : program_->chargeMv / 1000.0 * 1.1;
}

void Channel::start(const Program& program) {
    program_ = program;
    endValues_.clear();
    endValuesPending_ = false;
    lastVerdict_.reset();
    lostInWait_.reset();
    steps_.clear();
    currentA_ = 0;
    state_ = State::Idle;

    const ChemistryRules* rules = programRules(program);
    if (!rules && (program.chargeMv == 0 || program.dischargeMv >= program.chargeMv)) {
        fail("SP"); // preset voltages that make no sense
        return;
    }
    double rest = battery_->terminalVoltage(0);
    if (rest > maxVolts()) {
        fail("SQV");
        return;
    }
    if (rules && rest < rules->minCell * program.cells) {
        fail("SQU");
        return;
    }

    const int cycles = std::max(1, program.cycles);
    const bool selfTest = program.selfDischargeHours.has_value();
    auto cycle = [&] {
        for (int i = 0; i < cycles; ++i) {
            steps_.push_back(StepKind::Discharge);
            steps_.push_back(StepKind::Charge);
        }
    };
    switch (program.mode) {
    case 1:
        steps_ = {StepKind::Charge};
        break;
    case 2:
        steps_ = {StepKind::Discharge};
        break;
    case 3:
        steps_ = {StepKind::Discharge, StepKind::Charge};
        if (selfTest) {
            steps_.insert(steps_.end(),
                          {StepKind::SelfDischargeWait, StepKind::Discharge, StepKind::Charge});
        }
        break;
    case 4:
        steps_ = {StepKind::Charge};
        if (selfTest) {
            steps_.push_back(StepKind::SelfDischargeWait);
        }
        steps_.insert(steps_.end(), {StepKind::Discharge, StepKind::Charge});
        break;
    case 5:
        cycle();
        break;
    case 6:
        steps_ = {StepKind::Discharge, StepKind::StorageCharge, StepKind::StorageWait};
        break;
    case 7:
        steps_ = {StepKind::FormingCharge};
        cycle();
        break;
    case 8:
        steps_ = {StepKind::Charge};
        if (selfTest) {
            steps_.push_back(StepKind::SelfDischargeWait);
        }
        steps_.push_back(StepKind::Discharge);
        break;
    }
    beginNextStep();
}

void Channel::beginNextStep() {
    phaseSeconds_ = 0;
    phaseMah_ = 0;
    peakVolts_ = 0;
    currentA_ = 0;
    if (steps_.empty()) {
        finishRun();
        return;
    }
    step_ = steps_.front();
    steps_.pop_front();
    switch (step_) {
    case StepKind::Charge:
    case StepKind::StorageCharge:
    case StepKind::FormingCharge:
        state_ = State::Charging;
        currentA_ = chargeCurrentA();
        break;
    case StepKind::Discharge:
        state_ = State::Discharging;
        currentA_ = -program_->dischargeMa / 1000.0;
        break;
    case StepKind::SelfDischargeWait:
        state_ = State::Waiting;
        waitLeft_ = *program_->selfDischargeHours * 3600.0;
        chargeBeforeWait_ = battery_->chargeMah();
        break;
    case StepKind::StorageWait:
        state_ = State::Waiting;
        waitLeft_ = program_->repeat > 0 ? program_->repeat * 86400.0
                                         : std::numeric_limits<double>::infinity();
        break;
    }
}

void Channel::finishRun() {
    const ChemistryRules* rules = programRules(*program_);
    if (program_->mode == 1 && rules && rules->deltaPeak) {
        state_ = State::Trickle;
        currentA_ = std::max(50, program_->chargeMa / 20) / 1000.0;
    } else {
        state_ = State::Finished;
    }
}

double Channel::setCurrentA() const {
    if (step_ == StepKind::FormingCharge) {
        int basis = program_->capacityMah ? *program_->capacityMah : program_->chargeMa;
        return std::clamp(basis / 10, 50, program_->chargeMa) / 1000.0;
    }
    return program_->chargeMa / 1000.0;
}

double Channel::chargeCurrentA() const {
    const double set = setCurrentA();
    const ChemistryRules* rules = programRules(*program_);
    if (rules && rules->deltaPeak) {
        return set; // constant current, the end comes from the voltage peak
    }
    double cv = (endOfChargeVolts() - battery_->chargeEmf()) / battery_->chargeResistanceOhm();
    return std::clamp(cv, 0.0, set);
}

void Channel::endPhase() {
    EndValue v;
    v.charge = state_ == State::Charging;
    v.capacityMah = std::lround(phaseMah_);
    v.minutes = std::lround(phaseSeconds_ / 60.0);
    v.voltageMv = voltageMv();
    if (!v.charge) {
        if (lostInWait_) {
            v.selfDischargeMah = std::lround(std::max(0.0, *lostInWait_));
            lostInWait_.reset();
        }
        if (program_->hasTarget()) {
            long percent = std::lround(100.0 * phaseMah_ / *program_->capacityMah);
            v.percent = static_cast<int>(std::min(999L, percent));
            v.good = percent >= *program_->percent;
            lastVerdict_ = v.good;
        }
    }
    endValues_.push_back(v);
    endValuesPending_ = true;
    beginNextStep();
}

void Channel::stepOnce(double dt) {
    switch (state_) {
    case State::Charging: {
        currentA_ = chargeCurrentA();
        battery_->step(dt, currentA_);
        phaseSeconds_ += dt;
        phaseMah_ += currentA_ * 1000.0 * dt / 3600.0;
        const double volts = battery_->terminalVoltage(currentA_);
        if (volts > maxVolts()) {
            fail("SQV");
            return;
        }
        const ChemistryRules* rules = programRules(*program_);
        const bool peak = rules && rules->deltaPeak;
        if (step_ == StepKind::FormingCharge) {
            if (phaseSeconds_ >= kFormingHours * 3600.0) {
                endPhase();
                return;
            }
        } else if (phaseSeconds_ >= kSafetyHours * 3600.0) {
            fail("SQT");
            return;
        } else if (program_->capacityMah && phaseMah_ > kCapacityLimit * *program_->capacityMah) {
            fail("SQP");
            return;
        }
        if (step_ == StepKind::StorageCharge) {
            double level = rules ? rules->storageLevel : 0.5;
            if (battery_->soc() >= level) {
                endPhase();
            }
            return;
        }
        if (peak) {
            peakVolts_ = std::max(peakVolts_, volts);
            if (step_ != StepKind::FormingCharge &&
                volts < peakVolts_ - rules->deltaMvPerCell * program_->cells) {
                endPhase();
            }
        } else if (currentA_ <= setCurrentA() * program_->endShare / 1000.0) {
            endPhase(); // CV phase: the current has fallen to the end share
        }
        return;
    }
    case State::Discharging: {
        battery_->step(dt, currentA_);
        phaseSeconds_ += dt;
        phaseMah_ += -currentA_ * 1000.0 * dt / 3600.0;
        if (battery_->terminalVoltage(currentA_) <= endOfDischargeVolts() ||
            battery_->chargeMah() <= 0) {
            endPhase();
        }
        return;
    }
    case State::Trickle:
        battery_->step(dt, currentA_);
        phaseSeconds_ += dt;
        phaseMah_ += currentA_ * 1000.0 * dt / 3600.0;
        return;
    case State::Waiting:
        battery_->step(dt, 0);
        waitLeft_ -= dt;
        if (waitLeft_ <= 1e-9) {
            if (step_ == StepKind::SelfDischargeWait) {
                lostInWait_ = chargeBeforeWait_ - battery_->chargeMah();
            } else {
                steps_.push_back(StepKind::StorageCharge); // top up, then wait again
                steps_.push_back(StepKind::StorageWait);
            }
            beginNextStep();
        }
        return;
    default:
        battery_->step(dt, 0);
        return;
    }
}

void Channel::advance(double seconds) {
    if (!battery_) {
        return;
    }
    while (seconds > 1e-12) {
        bool active =
            state_ == State::Charging || state_ == State::Discharging || state_ == State::Trickle;
        double dt = std::min(seconds, active ? kChargeStep : kRestStep);
        if (state_ == State::Waiting) {
            dt = std::min(dt, std::max(waitLeft_, 1e-6));
        }
        stepOnce(dt);
        seconds -= dt;
    }
}

std::string Channel::describe() const {
    std::string out = "channel " + std::to_string(number_) + ": ";
    if (!battery_) {
        out += "empty";
    } else {
        char text[160];
        const BatteryParams& s = battery_->params();
        std::snprintf(text, sizeof text,
                      "%s %d cells %d mAh (actual %.0f), charge %.0f mAh (%.1f %%)",
                      std::string(chemistryName(s.chemistry)).c_str(), s.cells, s.capacityMah,
                      battery_->actualCapacityMah(), battery_->chargeMah(), battery_->soc() * 100);
        out += text;
    }
    out += ", state " + stateCode();
    if (battery_ &&
        (state_ == State::Charging || state_ == State::Discharging || state_ == State::Trickle)) {
        out += ", " + std::to_string(currentMa()) + " mA, " + std::to_string(voltageMv()) +
               " mV, " + std::to_string(phaseCapacityMah()) + " mAh";
    }
    if (state_ == State::Waiting && std::isfinite(waitLeft_)) {
        out += ", waiting " + std::to_string(std::lround(waitLeft_)) + " s";
    }
    out += ", program " + (program_ ? program_->text : std::string("none"));
    out += ", end values " + std::to_string(endValues_.size());
    return out;
}

} // namespace sim
