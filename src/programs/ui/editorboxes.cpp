#include "programs/ui/editorboxes.h"

#include "data/session.h"

namespace velmara {

ProgramViewContext programViewContext(Session& session) {
    return {[&session](const QString& key) { return session.text(key); }, session.prompter()};
}

void showEditorMessage(const ProgramViewContext& view, const EditorMessage& message,
                       const QLocale& locale) {
    Message box;
    if (message.isLimits()) {
        box.text = message.text(view.text, locale);
        box.key = message.keyA;
    } else {
        box.text = view.text(message.key);
        box.key = message.key;
    }
    view.prompter.show(box);
}

} // namespace velmara
