#include "printing/ui/windowreader.h"

#include "programs/ui/usedprogramdialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace velmara {

namespace {

// The caption or text of the named control, whatever kind it is.
QString textOf(const QWidget* window, const char* name) {
    const QWidget* w = window->findChild<QWidget*>(QLatin1String(name));
    if (!w)
        return QString();
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* list = qobject_cast<const QComboBox*>(w))
        return list->currentText();
    return QString();
}

QStringList entriesOf(const QWidget* window, const char* name) {
    QStringList out;
    if (auto* list = window->findChild<QListWidget*>(QLatin1String(name)))
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
    return out;
}

bool checkedOf(const QWidget* window, const char* name) {
    auto* b = window->findChild<QAbstractButton*>(QLatin1String(name));
    return b && b->isChecked();
}

// Shown in the view, whether or not the view itself is on screen.
bool shownOf(const QWidget* window, const char* name) {
    auto* w = window->findChild<QWidget*>(QLatin1String(name));
    return w && !w->isHidden();
}

} // namespace

ReportWindowData readReportWindow(const QWidget* window) {
    ReportWindowData d;
    if (!window)
        return d;
    d.windowCaption = window->windowTitle();
    d.frameAkkuprogramm = textOf(window, "frameAkkuprogramm");
    d.frameAkkumesswerte = textOf(window, "frameAkkumesswerte");
    d.lblAkkutyp = textOf(window, "lblAkkutyp");
    d.lblMode = textOf(window, "lblMode");
    d.lblNennkapazitaet = textOf(window, "lblNennkapazitaet");
    d.lblMesswerteNachLaden = textOf(window, "lblMesswerteNachLaden");
    d.lblMesswerteNachEntladen = textOf(window, "lblMesswerteNachEntladen");
    d.lblLadenNr = textOf(window, "lblLadenNr");
    d.lblLadenAh = textOf(window, "lblLadenAh");
    d.lblLadenVolt = textOf(window, "lblLadenVolt");
    d.lblLadenMin = textOf(window, "lblLadenMin");
    d.lblEntladenNr = textOf(window, "lblEntladenNr");
    d.lblEntladenAh = textOf(window, "lblEntladenAh");
    d.lblEntladenVolt = textOf(window, "lblEntladenVolt");
    d.lblEntladenMin = textOf(window, "lblEntladenMin");
    d.lblAkkuzustand = textOf(window, "lblAkkuzustand");
    d.lblSelbstentladung = textOf(window, "lblSelbstentladung");
    d.lblBemerkungen = textOf(window, "lblBemerkungen");
    d.txtAkkuTyp = textOf(window, "txtAkkuTyp");
    d.txtAkkuzustand = textOf(window, "txtAkkuzustand");
    d.txtSelbstentladung = textOf(window, "txtSelbstentladung");
    d.txtBemerkung = textOf(window, "txtBemerkung");
    d.lstEndwertLaden = entriesOf(window, "lstEndwertLaden");
    d.lstEndwertEntladen = entriesOf(window, "lstEndwertEntladen");
    return d;
}

ProgramBlockData readProgramView(const QWidget* v) {
    ProgramBlockData p;
    p.optAkkuTyp = checkedOf(v, "optAkkuTyp");
    p.optVorgSpannung = checkedOf(v, "optVorgSpannung");
    p.optVorgSpannungCaption = textOf(v, "optVorgSpannung");
    p.cboAkkuType = textOf(v, "cboAkkuType");
    p.cboZellenzahl = textOf(v, "cboZellenzahl");
    p.cboNennSpannung = textOf(v, "cboNennSpannung");
    p.cboGeraeteModi = textOf(v, "cboGeraeteModi");
    p.cboModeZyklus = textOf(v, "cboModeZyklus");
    p.cboModeZyklusVisible = shownOf(v, "cboModeZyklus");
    p.lblZellenzahl = textOf(v, "lblZellenzahl");
    p.lblNennSpannung = textOf(v, "lblNennSpannung");
    p.lblLadeSchlussSpannung = textOf(v, "lblLadeSchlussSpannung");
    p.lblEntladeschlussSpannung = textOf(v, "lblEntladeschlussSpannung");
    p.lblZeitraum = textOf(v, "lblZeitraum");
    p.lblSelbstentladungNach = textOf(v, "lblSelbstentladungNach");
    p.txtLadeschlussSpannung = textOf(v, "txtLadeschlussSpannung");
    p.txtEntladeschlussSpannung = textOf(v, "txtEntladeschlussSpannung");
    p.txtZeitraum = textOf(v, "txtZeitraum");
    p.txtZeitraumVisible = shownOf(v, "txtZeitraum");
    p.txtKapazitaetAh = textOf(v, "txtKapazitaetAh");
    p.txtLadestrom = textOf(v, "txtLadestrom");
    p.txtEntladestrom = textOf(v, "txtEntladestrom");
    p.txtSelbstentladungsZeitraum = textOf(v, "txtSelbstentladungsZeitraum");
    p.chkSelbstentladung = checkedOf(v, "chkSelbstentladung");
    p.chkSelbstentladungCaption = textOf(v, "chkSelbstentladung");
    p.optSelbstentladungStunden = checkedOf(v, "optSelbstentladungStunden");
    p.optSelbstentladungStundenCaption = textOf(v, "optSelbstentladungStunden");
    p.optSelbstentladungTageCaption = textOf(v, "optSelbstentladungTage");
    return p;
}

ProgramBlockData readProgramBlock(const ProgramRecord& program, const ProgramReference& reference,
                                  const ProgramViewContext& view, const QLocale& locale) {
    UsedProgramDialog dialog(program, reference, view, locale);
    dialog.activate();
    return readProgramView(&dialog);
}

} // namespace velmara
