#include "programs/ui/openprogrameditor.h"

#include "programs/core/programreference.h"
#include "programs/core/programtransfer.h"
#include "programs/ui/programeditordialog.h"
#include "programs/ui/usedprogramdialog.h"
#include "base/widgets/modal.h"

namespace velmara {

int openProgramEditor(QWidget* parent, const ChannelProgramContext& context) {
    LinkProgramLine line(context.link);
    ProgramEditorSetup setup;
    setup.channel = context.channel;
    if (context.program)
        setup.program = *context.program;
    const QString charger =
        context.setting ? context.setting(QStringLiteral("UsedCharger")) : QString();
    setup.reference = loadProgramReference(context.master, charger, context.language);
    setup.options = context.setting ? loadProgramOptions(context.setting) : ProgramOptions{};
    setup.line = &line;
    setup.user = context.user;
    setup.resetChannels = context.resetChannels;
    setup.locale = context.locale;

    ProgramEditorDialog dialog(std::move(setup), parent);
    if (context.programChangedFromOutside)
        *context.programChangedFromOutside = [&dialog](const ProgramRecord& p) {
            dialog.programChangedFromOutside(p);
        };
    const int result = execModal(&dialog);
    if (context.programChangedFromOutside)
        *context.programChangedFromOutside = nullptr;
    return result;
}

void openUsedProgram(QWidget* parent, const ProgramRecord& program, Database* master,
                     const QString& charger, const QString& language, const QLocale& locale) {
    UsedProgramDialog dialog(program, loadProgramReference(master, charger, language), locale,
                             parent);
    execModal(&dialog);
}

} // namespace velmara
