#pragma once
// Makes the real channel windows at start-up in place of the placeholders.
#include "ui/mainwindow/placeholderview.h"

namespace velmara {

class MainWindow;

// The factory of the channel windows: each window polls through the main
// window's link and shares its values (chargerMissing, ids, status bar).
ChannelViewFactory channelWindowFactory();

// Gives the main window the channel windows' factory; call before load().
void installChannelWindows(MainWindow& main);

} // namespace velmara
