#include "programs/ui/programfields.h"

#include "base/widgets/inputfilters.h"
#include "programs/ui/choiceonly.h"
#include "programs/ui/editorboxes.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmara {

namespace {

// Selects the entry whose item data (or, without data, text) equals value.
void selectEntry(QComboBox* list, const QVariant& value) {
    list->setCurrentIndex(list->findData(value));
}

void setItems(QComboBox* list, const QStringList& items) {
    QStringList now;
    for (int i = 0; i < list->count(); ++i)
        now << list->itemText(i);
    if (now == items)
        return;
    list->clear();
    list->addItems(items);
}

void setShown(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* w : widgets)
        w->setVisible(visible);
}

} // namespace

ProgramFieldsWidget::ProgramFieldsWidget(ProgramEditorModel& model, const ProgramViewContext& view,
                                         QWidget* parent)
    : QWidget(parent), m_model(model), m_view(view) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* battery = new QGroupBox(key("0906"), this);
    battery->setObjectName(QStringLiteral("frameAkkudaten"));
    buildBatteryFrame(battery);
    layout->addWidget(battery);
    auto* mode = new QGroupBox(key("0936"), this);
    mode->setObjectName(QStringLiteral("frameModus"));
    buildModeFrame(mode);
    layout->addWidget(mode);
    auto* capacity = new QGroupBox(this);
    capacity->setObjectName(QStringLiteral("frameKapazitaet"));
    buildCapacityFrame(capacity);
    layout->addWidget(capacity);
    for (QComboBox* c : {m_types, m_modes, m_cells, m_nominal, m_chargeRate, m_dischargeRate})
        ignoreTypedKeys(c);
    connectControls();
    refresh();
}

QLabel* ProgramFieldsWidget::label(const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit* ProgramFieldsWidget::numberBox(Box b) {
    auto* e = new QLineEdit(this);
    e->setObjectName(boxName(b));
    e->setAlignment(Qt::AlignRight);
    e->setMaxLength(12);
    if (isDecimalBox(b))
        attachDecimalFilter(e);
    else
        attachIntegerFilter(e);
    m_boxes[int(b)] = e;
    return e;
}

QComboBox* ProgramFieldsWidget::list(const char* name) {
    auto* c = new QComboBox(this);
    c->setObjectName(QLatin1String(name));
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

void ProgramFieldsWidget::buildBatteryFrame(QGroupBox* frame) {
    auto* grid = new QGridLayout(frame);
    m_optType = new QRadioButton(key("0910"), this);
    m_optType->setObjectName(QStringLiteral("optAkkuTyp"));
    m_optPreset = new QRadioButton(key("0912"), this);
    m_optPreset->setObjectName(QStringLiteral("optVorgSpannung"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_optType);
    group->addButton(m_optPreset);
    // Neither option is selected until a program or the user chooses one.
    group->setExclusive(false);

    m_types = list("cboAkkuType");
    for (const BatteryType& t : m_model.reference().batteryTypes)
        m_types->addItem(t.name, t.number);
    m_cells = list("cboZellenzahl");
    m_nominal = list("cboNennSpannung");
    m_lblCells = label("lblZellenzahl", key("0914"));
    m_lblNominal = label("lblNennSpannung", key("0916"));
    m_lblChargeEnd = label("lblLadeSchlussSpannung", key("0918"));
    m_lblDischargeEnd = label("lblEntladeschlussSpannung", key("0920"));
    m_voltCharge = label("lblVoltLade", QStringLiteral("V"));
    m_voltDischarge = label("lblVoltEntl", QStringLiteral("V"));

    grid->addWidget(m_optType, 0, 0);
    grid->addWidget(m_types, 0, 1, 1, 2);
    grid->addWidget(m_lblCells, 1, 0);
    grid->addWidget(m_cells, 1, 1, 1, 2);
    grid->addWidget(m_lblNominal, 2, 0);
    grid->addWidget(m_nominal, 2, 1, 1, 2);
    grid->addWidget(m_optPreset, 3, 0, 1, 3);
    grid->addWidget(m_lblChargeEnd, 4, 0);
    grid->addWidget(numberBox(Box::ChargeEndVoltage), 4, 1);
    grid->addWidget(m_voltCharge, 4, 2);
    grid->addWidget(m_lblDischargeEnd, 5, 0);
    grid->addWidget(numberBox(Box::DischargeEndVoltage), 5, 1);
    grid->addWidget(m_voltDischarge, 5, 2);
    grid->setColumnStretch(3, 1);
}

void ProgramFieldsWidget::buildModeFrame(QGroupBox* frame) {
    auto* grid = new QGridLayout(frame);
    m_modes = list("cboGeraeteModi");
    for (const DeviceMode& m : m_model.reference().deviceModes)
        m_modes->addItem(m.name, m.number);
    m_cycles = list("cboModeZyklus");
    for (const FormingMode& f : m_model.reference().formingModes)
        m_cycles->addItem(f.name, f.sendCode);
    m_chargeRate = list("cboLadeStromC");
    m_dischargeRate = list("cboEntladeStromC");
    m_chargeRate->addItems(m_model.rateList());
    m_dischargeRate->addItems(m_model.rateList());

    m_lblCharge = label("lblLadestrom", key("0924"));
    m_ampCharge = label("lblAmpereLaden", QStringLiteral("A"));
    m_lblChargeRate = label("lblLadeStromC", key("0948"));
    m_lblDischarge = label("lblEntladestrom", key("0922"));
    m_ampDischarge = label("lblAmpereEntladen", QStringLiteral("A"));
    m_lblDischargeRate = label("lblEnladeStromC", key("0946"));
    m_lblPeriod = label("lblZeitraum", key("0938"));

    grid->addWidget(label("lblMode", key("0936")), 0, 0);
    grid->addWidget(m_modes, 0, 1, 1, 2);
    grid->addWidget(m_cycles, 0, 3, 1, 2);
    grid->addWidget(m_lblCharge, 1, 0);
    grid->addWidget(numberBox(Box::ChargeCurrent), 1, 1);
    grid->addWidget(m_ampCharge, 1, 2);
    grid->addWidget(m_lblChargeRate, 1, 3);
    grid->addWidget(m_chargeRate, 1, 4);
    grid->addWidget(m_lblDischarge, 2, 0);
    grid->addWidget(numberBox(Box::DischargeCurrent), 2, 1);
    grid->addWidget(m_ampDischarge, 2, 2);
    grid->addWidget(m_lblDischargeRate, 2, 3);
    grid->addWidget(m_dischargeRate, 2, 4);
    grid->addWidget(m_lblPeriod, 3, 0);
    grid->addWidget(numberBox(Box::Period), 3, 1);
    grid->setColumnStretch(5, 1);
}

void ProgramFieldsWidget::buildCapacityFrame(QGroupBox* frame) {
    auto* grid = new QGridLayout(frame);
    m_chkCapacity = new QCheckBox(key("0932"), this);
    m_chkCapacity->setObjectName(QStringLiteral("chkSollKapazitaet"));
    m_lblAh = label("lblKapazitaetAh", QStringLiteral("Ah"));
    m_lblPercent1 = label("lblKapazitaetProzent1", key("0942"));
    m_lblPercent2 = label("lblKapazitaetProzent2", key("0944"));
    grid->addWidget(m_chkCapacity, 0, 0);
    grid->addWidget(numberBox(Box::Capacity), 0, 1);
    grid->addWidget(m_lblAh, 0, 2);
    grid->addWidget(m_lblPercent1, 0, 3);
    grid->addWidget(numberBox(Box::Percent), 0, 4);
    grid->addWidget(m_lblPercent2, 0, 5);

    m_chkSelf = new QCheckBox(key("0934"), this);
    m_chkSelf->setObjectName(QStringLiteral("chkSelbstentladung"));
    m_lblSelfAfter = label("lblSelbstentladungNach", key("0940"));
    m_optDays = new QRadioButton(key("0928"), this);
    m_optDays->setObjectName(QStringLiteral("optSelbstentladungTage"));
    m_optHours = new QRadioButton(key("0926"), this);
    m_optHours->setObjectName(QStringLiteral("optSelbstentladungStunden"));
    auto* unitGroup = new QButtonGroup(this);
    unitGroup->addButton(m_optDays);
    unitGroup->addButton(m_optHours);
    auto* units = new QHBoxLayout;
    units->addWidget(m_optDays);
    units->addWidget(m_optHours);
    grid->addWidget(m_chkSelf, 1, 0);
    grid->addWidget(numberBox(Box::SelfDischarge), 1, 1);
    grid->addWidget(m_lblSelfAfter, 1, 3);
    grid->addLayout(units, 1, 4, 1, 2);
    grid->setColumnStretch(6, 1);
}

template <typename F> void ProgramFieldsWidget::edit(F change) {
    if (m_refreshing)
        return;
    change();
    refresh();
    Q_EMIT edited();
}

void ProgramFieldsWidget::connectControls() {
    // A click on the selected option changes nothing: refresh selects it again.
    connect(m_optType, &QRadioButton::toggled, this, [this](bool on) {
        edit([this, on] {
            if (on)
                m_model.chooseBatteryDefinition(BatteryDefinition::BatteryType);
        });
    });
    connect(m_optPreset, &QRadioButton::toggled, this, [this](bool on) {
        edit([this, on] {
            if (on)
                m_model.chooseBatteryDefinition(BatteryDefinition::PresetVoltages);
        });
    });
    connect(m_types, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            edit([this, i] { m_model.chooseBatteryType(m_types->itemData(i).toInt()); });
    });
    connect(m_cells, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            edit([this, i] { m_model.pickCellCount(m_cells->itemText(i)); });
    });
    connect(m_nominal, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            edit([this, i] { m_model.pickNominalVoltage(m_nominal->itemText(i)); });
    });
    connect(m_modes, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            edit([this, i] { m_model.chooseDeviceMode(m_modes->itemData(i).toInt()); });
    });
    connect(m_cycles, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            edit([this, i] { m_model.chooseCycleCode(m_cycles->itemData(i).toInt()); });
    });
    connect(m_chargeRate, &QComboBox::currentIndexChanged, this, [this](int i) {
        edit([this, i] { m_model.chooseChargeRate(i); });
        if (!m_refreshing && m_model.chargeRateIndex() >= 0)
            box(Box::ChargeCurrent)->setFocus();
    });
    connect(m_dischargeRate, &QComboBox::currentIndexChanged, this, [this](int i) {
        edit([this, i] { m_model.chooseDischargeRate(i); });
        if (!m_refreshing && m_model.dischargeRateIndex() >= 0)
            box(Box::DischargeCurrent)->setFocus();
    });
    connect(m_chkCapacity, &QCheckBox::toggled, this,
            [this](bool on) { edit([this, on] { m_model.setTargetCapacity(on); }); });
    connect(m_chkSelf, &QCheckBox::toggled, this,
            [this](bool on) { edit([this, on] { m_model.setSelfDischarge(on); }); });
    connect(m_optHours, &QRadioButton::toggled, this,
            [this](bool on) { edit([this, on] { m_model.chooseSelfDischargeHours(on); }); });
    for (int i = 0; i < BoxCount; ++i) {
        const Box b = Box(i);
        QLineEdit* e = m_boxes[i];
        // Read the field itself: the typing filter may have taken the keystroke back.
        connect(e, &QLineEdit::textChanged, this,
                [this, b, e] { edit([this, b, e] { m_model.setText(b, e->text()); }); });
        connect(e, &QLineEdit::editingFinished, this, [this, b] { boxLeft(b); });
    }
}

void ProgramFieldsWidget::boxLeft(Box b) {
    if (m_refreshing || m_readOnly)
        return;
    const CheckResult r = m_model.leaveBox(b);
    refresh();
    if (!r)
        return;
    showEditorMessage(m_view, *r, m_model.locale());
    box(b)->setFocus();
}

QString ProgramFieldsWidget::key(const char* textKey) const {
    return m_view.text(QLatin1String(textKey));
}

void ProgramFieldsWidget::focusControl(const QString& objectName) {
    auto* w = findChild<QWidget*>(objectName);
    if (w && w->isVisibleTo(this))
        w->setFocus();
}

void ProgramFieldsWidget::setReadOnly() {
    m_readOnly = true;
    for (QLineEdit* e : m_boxes)
        e->setReadOnly(true);
    for (QComboBox* c : findChildren<QComboBox*>())
        c->setEnabled(false);
    for (QAbstractButton* b : findChildren<QAbstractButton*>())
        b->setEnabled(false);
}

void ProgramFieldsWidget::refresh() {
    m_refreshing = true;
    const BatteryDefinition def = m_model.batteryDefinition();
    m_optType->setChecked(def == BatteryDefinition::BatteryType);
    m_optPreset->setChecked(def == BatteryDefinition::PresetVoltages);
    selectEntry(m_types, m_model.batteryTypeNumber());
    setItems(m_cells, m_model.cellCountList());
    setItems(m_nominal, m_model.nominalVoltageList());
    m_cells->setCurrentIndex(m_cells->findText(m_model.cellCountText()));
    m_nominal->setCurrentIndex(m_nominal->findText(m_model.nominalVoltageText()));
    selectEntry(m_modes, m_model.deviceModeNumber());
    selectEntry(m_cycles, m_model.cycleCode());
    for (int i = 0; i < BoxCount; ++i)
        if (m_boxes[i]->text() != m_model.text(Box(i)))
            m_boxes[i]->setText(m_model.text(Box(i)));
    m_chargeRate->setCurrentIndex(m_model.chargeRateIndex());
    m_dischargeRate->setCurrentIndex(m_model.dischargeRateIndex());
    m_chkCapacity->setChecked(m_model.targetCapacity());
    m_chkSelf->setChecked(m_model.selfDischarge());
    m_optHours->setChecked(m_model.selfDischargeHours());
    m_optDays->setChecked(!m_model.selfDischargeHours());

    const FieldVisibility v = m_model.visibility();
    setShown({m_types, m_cells, m_nominal, m_lblCells, m_lblNominal}, v.batteryLists);
    setShown({m_lblChargeEnd, box(Box::ChargeEndVoltage), m_voltCharge}, v.chargeEndVoltage);
    setShown({m_lblDischargeEnd, box(Box::DischargeEndVoltage), m_voltDischarge},
             v.dischargeEndVoltage);
    setShown({m_lblCharge, box(Box::ChargeCurrent), m_ampCharge}, v.chargeCurrent);
    setShown({m_lblDischarge, box(Box::DischargeCurrent), m_ampDischarge}, v.dischargeCurrent);
    setShown({m_lblChargeRate, m_chargeRate}, v.chargeRate);
    setShown({m_lblDischargeRate, m_dischargeRate}, v.dischargeRate);
    setShown({m_cycles}, v.cycleList);
    setShown({m_lblPeriod, box(Box::Period)}, v.period);
    setShown({m_chkSelf}, v.selfDischargeBox);
    setShown({m_lblSelfAfter, box(Box::SelfDischarge), m_optDays, m_optHours},
             v.selfDischargeDetails);
    setShown({box(Box::Capacity), box(Box::Percent), m_lblAh, m_lblPercent1, m_lblPercent2},
             v.capacity);
    m_refreshing = false;
}

} // namespace velmara
