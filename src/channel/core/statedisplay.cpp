#include "channel/core/statedisplay.h"

#include "link/statusrecord.h"

namespace velmara {

namespace {

using V = StateDisplay::Values;
using Run = StateDisplay::Running;
using Rec = StateDisplay::Recording;
using S = ChargerState;
using F = ChargerFault;

struct Row {
    qint16 answerType;
    ChargerState state;
    ChargerFault fault; // compared only for faults
    bool anyFault;      // the row for every fault not listed before it
    StateDisplay display;
};

constexpr qint16 kWith = StatusRecord::Status;
constexpr qint16 kWithout = StatusRecord::StatusWithoutValues;

constexpr StateDisplay kIdle{.stateKey = "6010",
                             .values = V::Clear,
                             .batteryState = true,
                             .running = Run::Clear,
                             .recording = Rec::Stop,
                             .newTempSeries = true,
                             .resetHeading = true};
constexpr StateDisplay kFinished{.stateKey = "6018",
                                 .values = V::Clear,
                                 .batteryState = true,
                                 .running = Run::Clear,
                                 .recording = Rec::Stop,
                                 .newTempSeries = true,
                                 .stopFlashing = true};
constexpr StateDisplay kWaiting{.stateKey = "6020",
                                .values = V::Clear,
                                .running = Run::Clear,
                                .recording = Rec::StopInStorageMode};

// A fault stops the channel: its text is the state, the last values go stale.
constexpr StateDisplay fault(const char* key, Run running = Run::Keep, Rec recording = Rec::Keep,
                             const char* boxKey = nullptr, const char* boxSecondKey = nullptr) {
    return {.stateKey = key,
            .values = V::Stale,
            .running = running,
            .recording = recording,
            .fault = true,
            .boxKey = boxKey,
            .boxSecondKey = boxSecondKey};
}

constexpr Row kRows[] = {
    // Status answers with their live values.
    {kWith, S::Idle, F::None, false, kIdle},
    {kWith,
     S::Charging,
     F::None,
     false,
     {.stateKey = "6012", .values = V::Show, .running = Run::Set}},
    {kWith,
     S::Discharging,
     F::None,
     false,
     {.stateKey = "6014", .values = V::Show, .running = Run::Set}},
    {kWith,
     S::Trickle,
     F::None,
     false,
     {.stateKey = "6016", .running = Run::Clear, .recording = Rec::Stop, .newTempSeries = true}},
    {kWith, S::Finished, F::None, false, kFinished},
    {kWith, S::Waiting, F::None, false, kWaiting},
    {kWith, S::Fault, F::NoBattery, false, fault("0878", Run::Clear)},
    {kWith, S::Fault, F::Overheated, false, fault("0880", Run::Keep, Rec::Keep, "0880", "0881")},
    {kWith, S::Fault, F::SafetyTimer, false, fault("0882")},
    {kWith, S::Fault, F::VoltageTooHigh, false, fault("0874", Run::Clear, Rec::Stop)},
    {kWith, S::Fault, F::ReversedPolarity, false, fault("0876", Run::Keep, Rec::Keep, "0876")},
    {kWith, S::Fault, F::VoltageTooLow, false, fault("0884")},
    {kWith, S::Fault, F::CapacityLimit, false, fault("0886", Run::Clear)},
    {kWith, S::Fault, F::ShortCircuit, false, fault("0888", Run::Clear)},
    // The program error and any fault this program does not know.
    {kWith,
     S::Fault,
     F::None,
     true,
     {.stateKey = "6022",
      .values = V::Stale,
      .running = Run::Clear,
      .newTempSeries = true,
      .fault = true}},
    // Status answers of a state that carries values, but without them.
    {kWithout,
     S::Idle,
     F::None,
     false,
     {.stateKey = "6010",
      .values = V::Clear,
      .running = Run::Clear,
      .recording = Rec::Stop,
      .resetHeading = true}},
    {kWithout, S::Charging, F::None, false, {.stateKey = "6012"}},
    {kWithout, S::Discharging, F::None, false, {.stateKey = "6014"}},
    {kWithout, S::Finished, F::None, false, kFinished},
    {kWithout, S::Waiting, F::None, false, kWaiting},
};

} // namespace

std::optional<StateDisplay> stateDisplayOf(qint16 answerType, ChargerState state,
                                           ChargerFault fault) {
    for (const Row& row : kRows) {
        if (row.answerType != answerType || row.state != state)
            continue;
        if (state == S::Fault && !row.anyFault && row.fault != fault)
            continue;
        return row.display;
    }
    return std::nullopt;
}

} // namespace velmara
