#pragma once
// The fields of a charge program as controls, bound to an editor model: the
// battery definition, the mode with its currents and cycles, the target
// capacity and the self-discharge test. The editor and the used-program view
// both show them.
#include "programs/core/programeditormodel.h"
#include "programs/ui/editorboxes.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace velmara {

class ProgramFieldsWidget : public QWidget {
    Q_OBJECT
public:
    ProgramFieldsWidget(ProgramEditorModel& model, const ProgramViewContext& view,
                        QWidget* parent = nullptr);

    // Shows the model's state in the controls.
    void refresh();
    QLineEdit* box(Box b) const { return m_boxes[int(b)]; }
    // Gives the control of this objectName the focus (after a failed check);
    // a control the user cannot see keeps out of it.
    void focusControl(const QString& objectName);
    // Shows the program only: nothing takes input, no field is checked.
    void setReadOnly();

Q_SIGNALS:
    // The user changed a field (the model has taken it).
    void edited();

private:
    QString key(const char* textKey) const;
    QLabel* label(const char* name, const QString& text);
    QLineEdit* numberBox(Box b);
    QComboBox* list(const char* name);
    void buildBatteryFrame(QGroupBox* frame);
    void buildModeFrame(QGroupBox* frame);
    void buildCapacityFrame(QGroupBox* frame);
    void connectControls();
    void boxLeft(Box b);
    void showLists();
    template <typename F> void edit(F change);

    ProgramEditorModel& m_model;
    ProgramViewContext m_view;
    bool m_refreshing = false;
    bool m_readOnly = false;
    std::array<QLineEdit*, BoxCount> m_boxes{};

    QRadioButton *m_optType, *m_optPreset;
    QComboBox *m_types, *m_cells, *m_nominal;
    QLabel *m_lblCells, *m_lblNominal;
    QLabel *m_lblChargeEnd, *m_voltCharge, *m_lblDischargeEnd, *m_voltDischarge;
    QComboBox *m_modes, *m_cycles, *m_chargeRate, *m_dischargeRate;
    QLabel *m_lblCharge, *m_ampCharge, *m_lblChargeRate;
    QLabel *m_lblDischarge, *m_ampDischarge, *m_lblDischargeRate;
    QLabel* m_lblPeriod;
    QCheckBox *m_chkCapacity, *m_chkSelf;
    QLabel *m_lblAh, *m_lblPercent1, *m_lblPercent2, *m_lblSelfAfter;
    QRadioButton *m_optDays, *m_optHours;
};

} // namespace velmara
