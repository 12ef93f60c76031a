#pragma once
// What the program views label themselves with and ask through, and the boxes
// of the editor's checks.
#include "base/core/messages.h"
#include "programs/core/editormessage.h"

#include <QLocale>

namespace velmara {

class Session;

struct ProgramViewContext {
    TextLookup text;    // texts by key in the current language
    Prompter& prompter; // boxes and modal dialogs
};

// The session's texts and prompter.
ProgramViewContext programViewContext(Session& session);

// Shows a failed check: a limits message built from its keys and bounds, or
// the box of its text key.
void showEditorMessage(const ProgramViewContext& view, const EditorMessage& message,
                       const QLocale& locale = QLocale());

} // namespace velmara
