#include "charts/ui/diagramoptionsdialog.h"

#include "base/core/messages.h"
#include "base/widgets/inputfilters.h"
#include "charts/ui/diagramwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace velmara {

DiagramOptionsDialog::DiagramOptionsDialog(DiagramWindow* parentWin)
    : QDialog(parentWin), m_parentWin(parentWin) {
    setObjectName(QStringLiteral("dlgDiagramOptions"));
    build();
    // The switches as stored.
    const DiagramSwitches s = readDiagramSwitches(m_parentWin->context().settings);
    m_chkSpannung->setChecked(s.minMaxVoltage);
    m_chkStrom->setChecked(s.minMaxCurrent);
    m_chkKapazitaet->setChecked(s.minMaxCapacity);
    m_chkXGrid->setChecked(s.xGrid);
    m_chkYGrid->setChecked(s.yGrid);
}

void DiagramOptionsDialog::build() {
    const DiagramContext& c = m_parentWin->context();
    auto key = [&](const char* k) { return c.tr(QLatin1String(k)); };
    setWindowTitle(key("2130"));
    auto check = [&](QWidget* parent, const char* name, const char* text) {
        auto* box = new QCheckBox(key(text), parent);
        box->setObjectName(QLatin1String(name));
        return box;
    };

    auto* frameMinimaMaxima = new QGroupBox(key("2132"), this);
    frameMinimaMaxima->setObjectName(QStringLiteral("frameMinimaMaxima"));
    auto* mm = new QVBoxLayout(frameMinimaMaxima);
    mm->addWidget(m_chkSpannung = check(frameMinimaMaxima, "chkSpannung", "2134"));
    mm->addWidget(m_chkStrom = check(frameMinimaMaxima, "chkStrom", "2136"));
    mm->addWidget(m_chkKapazitaet = check(frameMinimaMaxima, "chkKapazitaet", "2138"));

    auto* frameGrid = new QGroupBox(key("2140"), this);
    frameGrid->setObjectName(QStringLiteral("frameGrid"));
    auto* grid = new QVBoxLayout(frameGrid);
    grid->addWidget(m_chkXGrid = check(frameGrid, "chkXGrid", "2144"));
    grid->addWidget(m_chkYGrid = check(frameGrid, "chkYGrid", "2142"));

    auto* frmAutoCalculate = new QGroupBox(key("2145"), this);
    frmAutoCalculate->setObjectName(QStringLiteral("frmAutoCalculate"));
    auto* axes = new QGridLayout(frmAutoCalculate);
    auto label = [&](const char* name, const char* text) {
        auto* l = new QLabel(key(text), frmAutoCalculate);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto edit = [&](const char* name) {
        auto* e = new QLineEdit(frmAutoCalculate);
        e->setObjectName(QLatin1String(name));
        attachDecimalFilter(e);
        return e;
    };
    m_chkYAutomatisch = check(frmAutoCalculate, "chkYAutomatisch", "2146");
    m_chkXAutomatisch = check(frmAutoCalculate, "chkXAutomatisch", "2148");
    m_lblYVon = label("lblYVon", "2150");
    m_lblYBis = label("lblYBis", "2152");
    m_lblXVon = label("lblXVon", "2150");
    m_lblXBis = label("lblXBis", "2152");
    m_txtYVon = edit("txtYVon");
    m_txtYBis = edit("txtYBis");
    m_txtXVon = edit("txtXVon");
    m_txtXBis = edit("txtXBis");
    axes->addWidget(m_chkYAutomatisch, 0, 0, 1, 4);
    axes->addWidget(m_lblYVon, 1, 0);
    axes->addWidget(m_txtYVon, 1, 1);
    axes->addWidget(m_lblYBis, 1, 2);
    axes->addWidget(m_txtYBis, 1, 3);
    axes->addWidget(m_chkXAutomatisch, 2, 0, 1, 4);
    axes->addWidget(m_lblXVon, 3, 0);
    axes->addWidget(m_txtXVon, 3, 1);
    axes->addWidget(m_lblXBis, 3, 2);
    axes->addWidget(m_txtXBis, 3, 3);
    connect(m_chkXAutomatisch, &QCheckBox::toggled, this,
            [this](bool on) { showAxisFields(true, !on); });
    connect(m_chkYAutomatisch, &QCheckBox::toggled, this,
            [this](bool on) { showAxisFields(false, !on); });

    m_ok = new QPushButton(key("0100"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(key("0101"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_ok, &QPushButton::clicked, this, &DiagramOptionsDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(frameMinimaMaxima);
    top->addWidget(frameGrid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(frmAutoCalculate);
    main->addLayout(buttons);
}

void DiagramOptionsDialog::showAxisFields(bool x, bool visible) {
    const std::array<QWidget*, 4> widgets =
        x ? std::array<QWidget*, 4>{m_lblXVon, m_lblXBis, m_txtXVon, m_txtXBis}
          : std::array<QWidget*, 4>{m_lblYVon, m_lblYBis, m_txtYVon, m_txtYBis};
    for (QWidget* w : widgets)
        w->setVisible(visible);
}

void DiagramOptionsDialog::initializeDialog(const AxisRange& xRange, const AxisRange& yRange) {
    const DiagramOptionsForm f = initialOptionsForm(DiagramSwitches{}, xRange, yRange);
    m_chkXAutomatisch->setChecked(f.xAutomatic);
    showAxisFields(true, !f.xAutomatic);
    m_txtXVon->setText(f.xFrom);
    m_txtXBis->setText(f.xTo);
    m_chkYAutomatisch->setChecked(f.yAutomatic);
    showAxisFields(false, !f.yAutomatic);
    m_txtYVon->setText(f.yFrom);
    m_txtYBis->setText(f.yTo);
}

DiagramOptionsForm DiagramOptionsDialog::form() const {
    DiagramOptionsForm f;
    f.switches = DiagramSwitches{m_chkSpannung->isChecked(), m_chkStrom->isChecked(),
                                 m_chkKapazitaet->isChecked(), m_chkXGrid->isChecked(),
                                 m_chkYGrid->isChecked()};
    f.xAutomatic = m_chkXAutomatisch->isChecked();
    f.xFrom = m_txtXVon->text();
    f.xTo = m_txtXBis->text();
    f.yAutomatic = m_chkYAutomatisch->isChecked();
    f.yFrom = m_txtYVon->text();
    f.yTo = m_txtYBis->text();
    return f;
}

QLineEdit* DiagramOptionsDialog::field(OptionsField f) const {
    switch (f) {
    case OptionsField::XFrom:
        return m_txtXVon;
    case OptionsField::XTo:
        return m_txtXBis;
    case OptionsField::YFrom:
        return m_txtYVon;
    case OptionsField::YTo:
        return m_txtYBis;
    case OptionsField::None:
        break;
    }
    return nullptr;
}

bool DiagramOptionsDialog::confirm() {
    const DiagramOptionsForm f = form();
    const OptionsCheck check = validateOptions(f);
    if (!check.ok()) {
        m_parentWin->context().tell(check.textKey, QStringLiteral("0410"), MsgIcon::Information);
        if (QLineEdit* e = field(check.focus))
            e->setFocus();
        return false;
    }
    writeDiagramSwitches(m_parentWin->context().settings, f.switches);
    const OptionsResult ranges = optionsRanges(f);
    m_parentWin->refreshXYRanges(ranges.yRange, ranges.xRange);
    m_parentWin->refreshMinMaxStatLines();
    m_parentWin->refreshGrids();
    accept();
    return true;
}

} // namespace velmara
