#pragma once
// The first-start chain: language, charger model and serial port, each asked in
// its own modal dialog.

namespace velmara {

class Session;

// Runs dlgFirstSprache, dlgFirstCharger and dlgFirstComPortSelection in turn.
// False when the user cancelled the language or the charger dialog: the caller
// ends the program (the temporary values are already cleared when the language
// dialog was cancelled). Cancelling the port dialog keeps ComPort and returns true.
bool runFirstStartChain(Session& session);

} // namespace velmara
