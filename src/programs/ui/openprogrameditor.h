#pragma once
// The entries the channel window and the stored-series window call.
#include "link/programrecord.h"
#include "programs/core/programoptions.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace velmara {

class Session;
class ChargerLink;

struct ChannelProgramContext {
    QString channel;                        // "001" .. "004"
    const ProgramRecord* program = nullptr; // the channel's program (copied)
    ChargerLink* link = nullptr;
    QLocale locale; // numbers in the boxes
    // resetForNewProgram of these channels' windows, in the order given.
    std::function<void(const QStringList& channels)> resetChannels;
    // Set while the editor is open (cleared when it closes): a program the
    // charger reports for the channel goes here.
    std::function<void(const ProgramRecord&)>* programChangedFromOutside = nullptr;
};

// Runs the program editor modally; QDialog::Accepted after a successful send. The
// session gives the files, the charger family, the program options and the text
// language.
int openProgramEditor(QWidget* parent, Session& session, const ChannelProgramContext& context);

// Shows a stored series' program read-only, with the names of the session's
// charger family (setting UsedCharger) and text language.
void openUsedProgram(QWidget* parent, Session& session, const ProgramRecord& program,
                     const QLocale& locale = QLocale());

} // namespace velmara
