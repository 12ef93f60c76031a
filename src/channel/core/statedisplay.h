#pragma once
// What a channel window shows for each state its charger reports, and what the
// state does to the run: one row per state (and fault), looked up by the poll
// cycle instead of spelled out in code.
#include "link/chargerstate.h"

#include <QtGlobal>

#include <optional>

namespace velmara {

struct StateDisplay {
    enum class Values : quint8 {
        Keep,  // the live value boxes stay as they are
        Show,  // current, voltage and capacity of the answer
        Clear, // emptied
        Stale  // left as they were, marked as no longer live
    };
    enum class Running : quint8 { Keep, Set, Clear };
    enum class Recording : quint8 {
        Keep,
        Stop,
        StopInStorageMode // only when the channel runs the storage mode (6)
    };

    const char* stateKey = nullptr; // text key of the state box and status bar panel
    Values values = Values::Keep;
    bool batteryState = false; // the battery flag (X2/X3) goes to the battery-state box
    Running running = Running::Keep;
    Recording recording = Recording::Keep;
    bool newTempSeries = false;         // the temporary series moves on
    bool resetHeading = false;          // the heading goes back to "no recording" at the tick's end
    bool stopFlashing = false;          // steady status frame
    bool fault = false;                 // the channel stopped with a fault
    const char* boxKey = nullptr;       // a fault told in a box, once per fault episode
    const char* boxSecondKey = nullptr; // a second paragraph of that box
};

// The row for a status answer (answerType 2: with values, 11: without); nothing
// for kinds and states that change nothing.
std::optional<StateDisplay> stateDisplayOf(qint16 answerType, ChargerState state,
                                           ChargerFault fault);

// The state shown while the charger does not answer.
inline constexpr const char* kNoAnswerStateKey = "6000";

// The mode whose waiting state ends the measurement.
inline constexpr qint16 kStorageMode = 6;

} // namespace velmara
