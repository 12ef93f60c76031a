#pragma once
// The states a charger channel reports in its status answer, and the faults it
// stops with. The numbers are those the status record has always held (and the
// notifications and tests compare against); the letters are the charger's own.
#include <QtGlobal>

#include <optional>
#include <string_view>

namespace velmara {

enum class ChargerState : qint16 {
    Unknown = 0,     // no status answer read yet
    Idle = 1,        // SA: ready for a program
    Charging = 2,    // SL
    Discharging = 3, // SE
    Trickle = 4,     // SM: maintenance charge after a full charge
    Finished = 5,    // SF
    Waiting = 6,     // SW: pause of a self-discharge test, storage period
    Fault = 7        // one of the fault letters below; the channel has stopped
};

// With ChargerState::Fault: which fault. With Idle and Finished: the battery
// flag (BatteryGood, BatteryWeak) or None.
enum class ChargerFault : qint16 {
    None = 0,
    ProgramError = 1,     // SP: the charger could not run the program
    NoBattery = 2,        // SK
    Overheated = 3,       // SG: the charger must cool down
    SafetyTimer = 4,      // SQT
    VoltageTooHigh = 5,   // SQV
    ReversedPolarity = 6, // SQR
    VoltageTooLow = 7,    // SQU
    CapacityLimit = 8,    // SQP
    ShortCircuit = 9,     // SQS
    BatteryGood = 10,     // X3 with SA or SF
    BatteryWeak = 11      // X2 with SA or SF
};

namespace stateletters {
inline constexpr std::string_view Idle = "SA";
inline constexpr std::string_view Charging = "SL";
inline constexpr std::string_view Discharging = "SE";
inline constexpr std::string_view Trickle = "SM";
inline constexpr std::string_view Finished = "SF";
inline constexpr std::string_view Waiting = "SW";
inline constexpr std::string_view BatteryGood = "X3";
inline constexpr std::string_view BatteryWeak = "X2";
} // namespace stateletters

struct FaultLetters {
    std::string_view letters;
    ChargerFault fault;
};
inline constexpr FaultLetters kFaultLetters[] = {
    {"SP", ChargerFault::ProgramError},    {"SK", ChargerFault::NoBattery},
    {"SG", ChargerFault::Overheated},      {"SQT", ChargerFault::SafetyTimer},
    {"SQV", ChargerFault::VoltageTooHigh}, {"SQR", ChargerFault::ReversedPolarity},
    {"SQU", ChargerFault::VoltageTooLow},  {"SQP", ChargerFault::CapacityLimit},
    {"SQS", ChargerFault::ShortCircuit}};

// The fault a state field names; nothing for any other text.
constexpr std::optional<ChargerFault> faultOfLetters(std::string_view letters) {
    for (const FaultLetters& f : kFaultLetters)
        if (f.letters == letters)
            return f.fault;
    return std::nullopt;
}

constexpr bool isChannelFault(ChargerFault f) {
    return f >= ChargerFault::ProgramError && f <= ChargerFault::ShortCircuit;
}

// States whose status answer carries current, voltage and capacity.
constexpr bool carriesLiveValues(ChargerState s) {
    return s == ChargerState::Charging || s == ChargerState::Discharging ||
           s == ChargerState::Trickle;
}

} // namespace velmara
