#include "ui/dialogs/dialogparts.h"

#include <QSignalBlocker>

namespace velmara {

ConfirmRow makeConfirmRow(QDialog* dialog) {
    ConfirmRow row;
    row.ok = new QPushButton(dialog);
    row.ok->setObjectName(QStringLiteral("cmdOK"));
    row.ok->setDefault(true);
    row.cancel = new QPushButton(dialog);
    row.cancel->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(row.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(row.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    row.layout = new QHBoxLayout;
    row.layout->addStretch();
    row.layout->addWidget(row.ok);
    row.layout->addWidget(row.cancel);
    return row;
}

void fillChoices(QComboBox* list, const ChoiceList& choices, const QString& select) {
    const QSignalBlocker block(list);
    list->clear();
    for (const Choice& c : choices)
        list->addItem(c.text, c.value);
    list->setCurrentIndex(indexOfValue(choices, select));
}

QString chosenValue(const QComboBox* list) {
    return list->currentIndex() < 0 ? QString() : list->currentData().toString();
}

} // namespace velmara
