#include "ui/dialogs/firststart.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "data/tempvalues.h"
#include "ui/dialogs/chargerdialog.h"
#include "ui/dialogs/comportdialog.h"
#include "ui/dialogs/languagedialog.h"

namespace velmara {

namespace {

bool askLanguage(Session& session) {
    TextStore& texts = session.texts();
    const QString before = texts.languageKey();
    LanguageDialog dialog(session, LanguageDialog::Form::FirstStart);
    if (execModal(session.prompter(), &dialog) != QDialog::Accepted ||
        dialog.chosenCode().isEmpty()) {
        texts.setLanguageKey(before); // the dialog switched it while the user was choosing
        deleteTempValues(session);
        return false;
    }
    session.setSetting(QStringLiteral("UsedLanguage"), dialog.chosenCode());
    texts.setLanguageKey(dialog.chosenCode());
    return true;
}

bool askCharger(Session& session) {
    ChargerDialog dialog(session, ChargerDialog::Form::FirstStart);
    if (execModal(session.prompter(), &dialog) != QDialog::Accepted ||
        dialog.chosenCharger().isEmpty())
        return false;
    session.setSetting(QStringLiteral("UsedCharger"), dialog.chosenCharger());
    return true;
}

void askPort(Session& session) {
    ComPortDialog dialog(session, ComPortDialog::Form::FirstStart);
    if (execModal(session.prompter(), &dialog) == QDialog::Accepted && dialog.isComplete())
        dialog.store();
}

} // namespace

bool runFirstStartChain(Session& session) {
    if (!askLanguage(session) || !askCharger(session))
        return false;
    askPort(session);
    return true;
}

} // namespace velmara
