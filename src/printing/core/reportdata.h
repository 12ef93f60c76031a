#pragma once
// What a channel report is made of, as plain data: the captions and values of
// the window that prints it (read from its controls by name), the program block
// read from the used-program view, and the print settings.
#include <QDateTime>
#include <QImage>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmara {

// The controls of a channel window or a stored-series window, by their objectName.
struct ReportWindowData {
    QString windowCaption; // the window's own caption (diagram page)
    QString frameAkkuprogramm;
    QString frameAkkumesswerte;
    QString lblAkkutyp;
    QString lblMode;
    QString lblNennkapazitaet;
    QString lblMesswerteNachLaden;
    QString lblMesswerteNachEntladen;
    QString lblLadenNr;
    QString lblLadenAh;
    QString lblLadenVolt;
    QString lblLadenMin;
    QString lblEntladenNr;
    QString lblEntladenAh;
    QString lblEntladenVolt;
    QString lblEntladenMin;
    QString lblAkkuzustand;
    QString lblSelbstentladung;
    QString lblBemerkungen;
    QString txtAkkuTyp;
    QString txtAkkuzustand;
    QString txtSelbstentladung;
    QString txtBemerkung;
    QStringList lstEndwertLaden;
    QStringList lstEndwertEntladen;
};

// The controls of the used-program view after it has been given the program.
struct ProgramBlockData {
    bool optAkkuTyp = false;
    bool optVorgSpannung = false;
    QString optVorgSpannungCaption;
    QString cboAkkuType;
    QString cboZellenzahl;
    QString cboNennSpannung;
    QString cboGeraeteModi;
    QString cboModeZyklus;
    bool cboModeZyklusVisible = false;
    QString lblZellenzahl;
    QString lblNennSpannung;
    QString lblLadeSchlussSpannung;
    QString lblEntladeschlussSpannung;
    QString lblZeitraum;
    QString lblSelbstentladungNach;
    QString txtLadeschlussSpannung;
    QString txtEntladeschlussSpannung;
    QString txtZeitraum;
    bool txtZeitraumVisible = false;
    QString txtKapazitaetAh;
    QString txtLadestrom;
    QString txtEntladestrom;
    QString txtSelbstentladungsZeitraum;
    bool chkSelbstentladung = false;
    QString chkSelbstentladungCaption;
    bool optSelbstentladungStunden = false;
    QString optSelbstentladungStundenCaption;
    QString optSelbstentladungTageCaption;
};

// The settings HeadArea, PrintDate and PrintingSubTitle as the report uses them.
struct ReportSettings {
    double headAreaCm = 0; // never negative
    bool printDate = false;
    QString subTitle;
};

namespace reportkeys {
inline const QString HeadArea = QStringLiteral("HeadArea");
inline const QString PrintDate = QStringLiteral("PrintDate");
inline const QString PrintingSubTitle = QStringLiteral("PrintingSubTitle");
} // namespace reportkeys

// Everything one channel report page shows.
struct ChannelReportInput {
    ReportWindowData window;
    // Present when the window knows a program (txtAkkuTyp not blank).
    std::optional<ProgramBlockData> program;
    ReportSettings settings;
    QString title;              // text "0010"
    QString chargeCurrentLabel; // text "0860"
    QString dischargeCurrentLabel;
    QString printDate; // formatted; empty when the date is not printed
    QString remark;    // from the remark dialog
    QImage diagram;    // the captured diagram window; null: none
};

// Reading a setting by key.
using SettingLookup = std::function<QString(const QString& key)>;

} // namespace velmara
