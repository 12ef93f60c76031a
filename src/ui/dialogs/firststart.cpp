#include "ui/dialogs/firststart.h"

#include "data/tempvalues.h"
#include "data/textstore.h"
#include "data/settingsstore.h"
#include "ui/dialogs/chargerdialog.h"
#include "ui/dialogs/comportdialog.h"
#include "ui/dialogs/languagedialog.h"
#include "base/widgets/modal.h"

namespace velmara {

namespace {

bool askLanguage() {
    const QString before = currentLanguage();
    LanguageDialog dialog(LanguageDialog::Form::FirstStart);
    if (execModal(&dialog) != QDialog::Accepted || dialog.chosenCode().isEmpty()) {
        setCurrentLanguage(before); // the dialog switched it while the user was choosing
        deleteTempValues();
        return false;
    }
    setSetting(QStringLiteral("UsedLanguage"), dialog.chosenCode());
    setCurrentLanguage(dialog.chosenCode());
    return true;
}

bool askCharger() {
    ChargerDialog dialog(ChargerDialog::Form::FirstStart);
    if (execModal(&dialog) != QDialog::Accepted || dialog.chosenCharger().isEmpty())
        return false;
    setSetting(QStringLiteral("UsedCharger"), dialog.chosenCharger());
    return true;
}

void askPort() {
    ComPortDialog dialog(ComPortDialog::Form::FirstStart);
    if (execModal(&dialog) == QDialog::Accepted && dialog.isComplete())
        dialog.store();
}

} // namespace

bool runFirstStartChain() {
    if (!askLanguage() || !askCharger())
        return false;
    askPort();
    return true;
}

} // namespace velmara
