#include "programs/ui/extendedmodedialog.h"

#include "base/widgets/inputfilters.h"
#include "programs/core/extendedsettings.h"
#include "programs/ui/editorboxes.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmara {

ExtendedModeDialog::ExtendedModeDialog(const ProgramRecord& program,
                                       const ProgramReference& reference,
                                       const ProgramViewContext& view, QWidget* parent)
    : QDialog(parent), m_program(program), m_reference(reference), m_view(view) {
    setObjectName(QStringLiteral("dlgErweiterterProgrammiermodus"));
    setWindowTitle(key("7000"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    const ExtendedChoices c = extendedChoicesOf(program);
    struct Group {
        const char *frame, *title, *first, *firstText, *firstTip, *second, *secondText, *secondTip;
        bool secondChosen;
    };
    const Group groups[] = {
        {"frameProgrammierung", "7002", "optFreigegeben", "7016", "7018", "optGesperrt", "7012",
         "7014", c.locked},
        {"frameSpannungMessen", "7004", "optUnterLast", "7020", "7022", "optOhneLast", "7024",
         "7026", c.withoutLoad},
        {"frameBleiakku", "7006", "optBleiakkuMode1", "7028", "7030", "optBleiakkuMode2", "7032",
         "7034", c.leadMode2},
        {"frameLiIon", "7008", "optLiIonMode1", "7036", "7038", "optLiIonMode2", "7040", "7042",
         c.liIonMode2},
        {"frameLademode", "7060", "optReversepulse", "7062", "7064", "optDauerstrom", "7066",
         "7068", c.continuousCurrent},
        {"frameQ", "7070", "optQ1", "7072", "7074", "optQ2", "7076", "7078", c.q2},
        {"frameU", "7080", "optU1", "7082", "7084", "optU2", "7086", "7088", c.u2},
    };
    int i = 0;
    for (const Group& g : groups) {
        auto* frame = new QGroupBox(key(g.title), this);
        frame->setObjectName(QLatin1String(g.frame));
        auto* row = new QVBoxLayout(frame);
        QRadioButton* first = option(g.first, g.firstText, g.firstTip);
        QRadioButton* second = option(g.second, g.secondText, g.secondTip);
        auto* group = new QButtonGroup(frame);
        group->addButton(first);
        group->addButton(second);
        row->addWidget(first);
        row->addWidget(second);
        (g.secondChosen ? second : first)->setChecked(true);
        grid->addWidget(frame, i / 2, i % 2);
        ++i;
    }
    auto* endFrame = new QGroupBox(key("7010"), this);
    endFrame->setObjectName(QStringLiteral("frameLadeende"));
    auto* endRow = new QHBoxLayout(endFrame);
    m_endOfCharge = new QLineEdit(c.endOfCharge, endFrame);
    m_endOfCharge->setObjectName(QStringLiteral("txtLadeende"));
    m_endOfCharge->setAlignment(Qt::AlignRight);
    m_endOfCharge->setMaxLength(5);
    attachIntegerFilter(m_endOfCharge);
    auto* endLabel = new QLabel(key("7044"), endFrame);
    endLabel->setObjectName(QStringLiteral("lblLadeende"));
    endRow->addWidget(m_endOfCharge);
    endRow->addWidget(endLabel, 1);
    grid->addWidget(endFrame, i / 2, i % 2);
    connect(m_endOfCharge, &QLineEdit::editingFinished, this, [this] {
        if (const CheckResult r = checkEndOfCharge(m_endOfCharge->text(), m_reference)) {
            showEditorMessage(m_view, *r);
            m_endOfCharge->setFocus();
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(key("0100"), this);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(key("0101"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &ExtendedModeDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &ExtendedModeDialog::reject);
}

QRadioButton* ExtendedModeDialog::option(const char* name, const char* textKey,
                                         const char* tipKey) {
    auto* o = new QRadioButton(key(textKey), this);
    o->setObjectName(QLatin1String(name));
    o->setToolTip(key(tipKey));
    m_options << o;
    return o;
}

void ExtendedModeDialog::setEditableFalse() {
    for (QRadioButton* o : m_options)
        o->setEnabled(false);
    m_endOfCharge->setReadOnly(true);
    m_ok->hide();
    m_cancel->setDefault(true);
}

void ExtendedModeDialog::accept() {
    if (m_ok->isHidden())
        return; // read-only: nothing to confirm
    ExtendedChoices c;
    auto chosen = [this](const char* name) {
        auto* o = findChild<QRadioButton*>(QLatin1String(name));
        return o && o->isChecked();
    };
    c.locked = chosen("optGesperrt");
    c.withoutLoad = chosen("optOhneLast");
    c.leadMode2 = chosen("optBleiakkuMode2");
    c.liIonMode2 = chosen("optLiIonMode2");
    c.continuousCurrent = chosen("optDauerstrom");
    c.q2 = chosen("optQ2");
    c.u2 = chosen("optU2");
    c.endOfCharge = m_endOfCharge->text();
    if (const CheckResult r = collectExtended(c, m_reference, m_program)) {
        showEditorMessage(m_view, *r);
        m_endOfCharge->setFocus();
        return;
    }
    QDialog::accept();
}

QString ExtendedModeDialog::key(const char* textKey) const {
    return m_view.text(QLatin1String(textKey));
}

} // namespace velmara
