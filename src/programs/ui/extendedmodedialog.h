#pragma once
// The extended program settings of a record: editable for the program editor,
// read-only (no OK button) for the used-program view.
#include "link/programrecord.h"
#include "programs/core/programreference.h"

#include "programs/ui/editorboxes.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmara {

class ExtendedModeDialog : public QDialog {
    Q_OBJECT
public:
    ExtendedModeDialog(const ProgramRecord& program, const ProgramReference& reference,
                       const ProgramViewContext& view, QWidget* parent = nullptr);

    // Disables every option, locks the percentage and removes the OK button.
    void setEditableFalse();
    // The record with the choices of the dialog (after it was accepted).
    const ProgramRecord& program() const { return m_program; }

    void accept() override;

private:
    QString key(const char* textKey) const;
    QRadioButton* option(const char* name, const char* textKey, const char* tipKey);
    void addGroup(const char* frame, const char* titleKey, QRadioButton* first,
                  QRadioButton* second);

    ProgramRecord m_program;
    const ProgramReference& m_reference;
    ProgramViewContext m_view;
    QList<QRadioButton*> m_options;
    QLineEdit* m_endOfCharge;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace velmara
