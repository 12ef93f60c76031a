#pragma once
// Pieces the selection dialogs share: the confirm/cancel row and a list filled
// from choices.
#include "ui/dialogs/selection.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace velmara {

struct ConfirmRow {
    QPushButton* ok = nullptr;     // "cmdOK": accepts the dialog
    QPushButton* cancel = nullptr; // "cmdCancel": rejects it
    QHBoxLayout* layout = nullptr;
};
ConfirmRow makeConfirmRow(QDialog* dialog);

// Replaces the entries of the list (text shown, value as item data) and selects
// the entry yielding select (none when absent). Emits no change signals.
void fillChoices(QComboBox* list, const ChoiceList& choices, const QString& select);
// The value of the selected entry, or "" when none is selected.
QString chosenValue(const QComboBox* list);

} // namespace velmara
