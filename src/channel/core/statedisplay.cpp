#include "channel/core/statedisplay.h"

#include "link/statusrecord.h"

namespace velmara {

namespace {

using V = StateDisplay::Values;
using Run = StateDisplay::Running;
using Rec = StateDisplay::Recording;

// Status answers with their live values.
StateDisplay withValues(ChargerState state) {
    switch (state) {
    case ChargerState::Idle:
        return {.stateKey = "6010",
                .values = V::Clear,
                .batteryState = true,
                .running = Run::Clear,
                .recording = Rec::Stop,
                .newTempSeries = true,
                .resetHeading = true};
    case ChargerState::Charging:
        return {.stateKey = "6012", .values = V::Show, .running = Run::Set};
    case ChargerState::Discharging:
        return {.stateKey = "6014", .values = V::Show, .running = Run::Set};
    case ChargerState::Trickle:
        return {.stateKey = "6016",
                .running = Run::Clear,
                .recording = Rec::Stop,
                .newTempSeries = true};
    case ChargerState::Finished:
        return {.stateKey = "6018",
                .values = V::Clear,
                .batteryState = true,
                .running = Run::Clear,
                .recording = Rec::Stop,
                .newTempSeries = true,
                .stopFlashing = true};
    case ChargerState::Waiting:
        return {.stateKey = "6020",
                .values = V::Clear,
                .running = Run::Clear,
                .recording = Rec::StopInStorageMode};
    default:
        return {};
    }
}

// The channel stopped: the fault is its state, the last values are stale.
StateDisplay faultRow(ChargerFault fault) {
    StateDisplay row{.values = V::Stale, .fault = true};
    switch (fault) {
    case ChargerFault::NoBattery:
        row.stateKey = "0878";
        row.running = Run::Clear;
        break;
    case ChargerFault::Overheated:
        row.stateKey = "0880";
        row.boxKey = "0880";
        row.boxSecondKey = "0881";
        break;
    case ChargerFault::SafetyTimer:
        row.stateKey = "0882";
        break;
    case ChargerFault::VoltageTooHigh:
        row.stateKey = "0874";
        row.running = Run::Clear;
        row.recording = Rec::Stop;
        break;
    case ChargerFault::ReversedPolarity:
        row.stateKey = "0876";
        row.boxKey = "0876";
        break;
    case ChargerFault::VoltageTooLow:
        row.stateKey = "0884";
        break;
    case ChargerFault::CapacityLimit:
        row.stateKey = "0886";
        row.running = Run::Clear;
        break;
    case ChargerFault::ShortCircuit:
        row.stateKey = "0888";
        row.running = Run::Clear;
        break;
    default: // program error and any fault this program does not know
        row.stateKey = "6022";
        row.running = Run::Clear;
        row.newTempSeries = true;
        break;
    }
    return row;
}

// Status answers of a state that carries values, but without them.
std::optional<StateDisplay> withoutValues(ChargerState state) {
    switch (state) {
    case ChargerState::Idle:
        return StateDisplay{.stateKey = "6010",
                            .values = V::Clear,
                            .running = Run::Clear,
                            .recording = Rec::Stop,
                            .resetHeading = true};
    case ChargerState::Charging:
        return StateDisplay{.stateKey = "6012"};
    case ChargerState::Discharging:
        return StateDisplay{.stateKey = "6014"};
    case ChargerState::Finished:
    case ChargerState::Waiting:
        return withValues(state);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<StateDisplay> stateDisplayOf(qint16 answerType, ChargerState state,
                                           ChargerFault fault) {
    if (answerType == StatusRecord::StatusWithoutValues)
        return withoutValues(state);
    if (answerType != StatusRecord::Status)
        return std::nullopt;
    if (state == ChargerState::Fault)
        return faultRow(fault);
    const StateDisplay row = withValues(state);
    if (!row.stateKey)
        return std::nullopt;
    return row;
}

} // namespace velmara
