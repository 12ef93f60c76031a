#pragma once
// Makes the real channel windows at start-up in place of the placeholders.
#include "ui/mainwindow/placeholderview.h"

namespace velmara {

class MainWindow;

// The factory of the channel windows: each starts its channel on the main
// window's board, polling through the main window's link, and follows it.
ChannelViewFactory channelWindowFactory();

// Gives the main window the channel windows' factory; call before load().
void installChannelWindows(MainWindow& main);

} // namespace velmara
