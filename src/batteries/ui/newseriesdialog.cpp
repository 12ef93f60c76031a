#include "batteries/ui/newseriesdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

NewSeriesDialog::NewSeriesDialog(const TextLookup& text, int maxSeriesRemark, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgNeueMessreihe"));
    setWindowTitle(text(QStringLiteral("2000")));
    auto* top = new QVBoxLayout(this);
    auto* label = new QLabel(text(QStringLiteral("2002")), this);
    label->setObjectName(QStringLiteral("lblBemerkung"));
    top->addWidget(label);
    m_remark = new QLineEdit(this);
    m_remark->setObjectName(QStringLiteral("txtBemerkung"));
    if (maxSeriesRemark > 0) // a missing setting leaves the length open
        m_remark->setMaxLength(maxSeriesRemark);
    top->addWidget(m_remark);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = new QPushButton(text(QStringLiteral("0100")), this);
    ok->setObjectName(QStringLiteral("cmdOKButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(text(QStringLiteral("0101")), this);
    cancel->setObjectName(QStringLiteral("cmdCancelButton"));
    row->addWidget(ok);
    row->addWidget(cancel);
    top->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString NewSeriesDialog::remark() const {
    return m_remark->text();
}

} // namespace velmara
