#pragma once
// What the parts of the main window share: the ids of its notices and the
// position of a channel in its lists.
#include "link/chargermodel.h"

#include <QString>

namespace velmara::mainwindow {

// The notice of a fault on the serial line.
inline const QString kLineNotice = QStringLiteral("serial-line");
// The notice of values that the user file does not take.
inline const QString kStorageNotice = QStringLiteral("values-waiting");

// 0 .. 3 for "001" .. "004", -1 for anything else.
inline int indexOf(const QString& channelCode) {
    return channelNumber(channelCode) - 1;
}

} // namespace velmara::mainwindow
