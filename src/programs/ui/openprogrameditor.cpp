#include "programs/ui/openprogrameditor.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "programs/core/programreference.h"
#include "programs/core/programtransfer.h"
#include "programs/ui/editorboxes.h"
#include "programs/ui/programeditordialog.h"
#include "programs/ui/usedprogramdialog.h"

namespace velmara {

int openProgramEditor(QWidget* parent, Session& session, const ChannelProgramContext& context) {
    LinkProgramLine line(context.link);
    ProgramEditorSetup setup;
    setup.channel = context.channel;
    if (context.program)
        setup.program = *context.program;
    setup.reference =
        loadProgramReference(session.master(), session.setting(QStringLiteral("UsedCharger")),
                             session.texts().languageKey());
    setup.options =
        loadProgramOptions([&session](const QString& key) { return session.setting(key); });
    setup.line = &line;
    setup.programs = session.user() ? &session.stores().programs() : nullptr;
    setup.resetChannels = context.resetChannels;
    setup.locale = context.locale;

    ProgramEditorDialog dialog(session, std::move(setup), parent);
    if (context.programChangedFromOutside)
        *context.programChangedFromOutside = [&dialog](const ProgramRecord& p) {
            dialog.programChangedFromOutside(p);
        };
    const int result = execModal(session.prompter(), &dialog);
    if (context.programChangedFromOutside)
        *context.programChangedFromOutside = nullptr;
    return result;
}

void openUsedProgram(QWidget* parent, Session& session, const ProgramRecord& program,
                     const QLocale& locale) {
    UsedProgramDialog dialog(program,
                             loadProgramReference(session.master(),
                                                  session.setting(QStringLiteral("UsedCharger")),
                                                  session.texts().languageKey()),
                             programViewContext(session), locale, parent);
    execModal(session.prompter(), &dialog);
}

} // namespace velmara
