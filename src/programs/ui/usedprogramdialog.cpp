#include "programs/ui/usedprogramdialog.h"

#include "base/widgets/modal.h"
#include "programs/ui/extendedmodedialog.h"
#include "programs/ui/programfields.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

UsedProgramDialog::UsedProgramDialog(const ProgramRecord& program,
                                     const ProgramReference& reference,
                                     const ProgramViewContext& view, QLocale locale,
                                     QWidget* parent)
    : QDialog(parent), m_reference(reference), m_view(view) {
    setObjectName(QStringLiteral("dlgUsedProgram"));
    setWindowTitle(view.text(QStringLiteral("0901")));
    m_model = std::make_unique<ProgramEditorModel>(m_reference, locale);
    m_model->setProgram(program);

    auto* layout = new QVBoxLayout(this);
    m_fields = new ProgramFieldsWidget(*m_model, m_view, this);
    // Nothing shown here can be kept: the fields only show the program.
    m_fields->setReadOnly();
    layout->addWidget(m_fields);
    auto* buttons = new QHBoxLayout;
    m_extended = new QPushButton(view.text(QStringLiteral("0903")), this);
    m_extended->setObjectName(QStringLiteral("cmdExtendedModus"));
    m_extended->setAutoDefault(false);
    auto* close = new QPushButton(view.text(QStringLiteral("0100")), this);
    close->setObjectName(QStringLiteral("cmdCancelButton"));
    close->setDefault(true);
    buttons->addWidget(m_extended);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_extended, &QPushButton::clicked, this, [this] {
        ExtendedModeDialog dialog(m_model->program(), m_reference, m_view, this);
        dialog.setEditableFalse();
        execModal(m_view.prompter, &dialog);
    });
    activate();
}

UsedProgramDialog::~UsedProgramDialog() = default;

void UsedProgramDialog::activate() {
    const qint16 type = m_model->program().batteryType;
    if (type != ProgramRecord::BadAnswer && type != ProgramRecord::NoAnswer)
        m_model->initFromProgram();
    m_fields->refresh();
    m_extended->setVisible(m_model->program().extendedReceived);
}

} // namespace velmara
