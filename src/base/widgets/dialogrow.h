#pragma once
// Pieces the battery and exchange dialogs share: a widget with its object name,
// and the row of OK (cmdOk, the default) and Cancel (cmdCancel) at the bottom.
#include <QBoxLayout>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace velmara {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Adds the row to layout; Cancel rejects the dialog, OK is returned for the
// caller to connect.
inline QPushButton* addOkCancelRow(QDialog* dialog, QBoxLayout* layout, const QString& okText,
                                   const QString& cancelText) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = named(new QPushButton(okText, dialog), "cmdOk");
    auto* cancel = named(new QPushButton(cancelText, dialog), "cmdCancel");
    ok->setDefault(true);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return ok;
}

} // namespace velmara
