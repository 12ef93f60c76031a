#pragma once
// The program that was in use for a stored series: the editor's fields without
// its library and transfer functions.
#include "link/programrecord.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programreference.h"

#include "programs/ui/editorboxes.h"

#include <QDialog>

#include <memory>

class QPushButton;

namespace velmara {

class ProgramFieldsWidget;

class UsedProgramDialog : public QDialog {
    Q_OBJECT
public:
    UsedProgramDialog(const ProgramRecord& program, const ProgramReference& reference,
                      const ProgramViewContext& view, QLocale locale = QLocale(),
                      QWidget* parent = nullptr);
    ~UsedProgramDialog() override;

    const ProgramRecord& program() const { return m_model->program(); }
    // Fills the fields from the program (also for a report that reads them unseen).
    void activate();

private:
    ProgramReference m_reference;
    ProgramViewContext m_view;
    std::unique_ptr<ProgramEditorModel> m_model;
    ProgramFieldsWidget* m_fields;
    QPushButton* m_extended;
};

} // namespace velmara
