#pragma once
// The diagram options dialog dlgDiagramOptions: min/max lines and grids (kept in
// the settings store) and the two axis ranges (kept by the open diagram window).
// Validation and the ranges come from charts/core/diagramoptions.
#include "charts/core/diagramoptions.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmara {

class DiagramWindow;

class DiagramOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // parentWin: the diagram window the options apply to.
    explicit DiagramOptionsDialog(DiagramWindow* parentWin);

    // Fills the axis fields from the window's ranges.
    void initializeDialog(const AxisRange& xRange, const AxisRange& yRange);

    // OK: validates (a message and the focus on the first bad field), stores the
    // switches, hands the ranges to the window and closes. False when invalid.
    bool confirm();

    DiagramOptionsForm form() const;
    QLineEdit* field(OptionsField f) const;

private:
    void build();
    void showAxisFields(bool x, bool visible);

    DiagramWindow* m_parentWin;
    QCheckBox* m_chkSpannung = nullptr;
    QCheckBox* m_chkStrom = nullptr;
    QCheckBox* m_chkKapazitaet = nullptr;
    QCheckBox* m_chkXGrid = nullptr;
    QCheckBox* m_chkYGrid = nullptr;
    QCheckBox* m_chkXAutomatisch = nullptr;
    QCheckBox* m_chkYAutomatisch = nullptr;
    QLabel* m_lblXVon = nullptr;
    QLabel* m_lblXBis = nullptr;
    QLabel* m_lblYVon = nullptr;
    QLabel* m_lblYBis = nullptr;
    QLineEdit* m_txtXVon = nullptr;
    QLineEdit* m_txtXBis = nullptr;
    QLineEdit* m_txtYVon = nullptr;
    QLineEdit* m_txtYBis = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace velmara
