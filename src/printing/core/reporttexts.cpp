#include "printing/core/reporttexts.h"

#include <algorithm>
#include <cmath>

namespace velmara {

namespace {

// Centimetres are typed without thousands separators: "2.5" is no 25 on a German system.
QLocale withoutGroups(QLocale locale) {
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

QString buildBatteryText(const ProgramBlockData& p) {
    const QString comma = QStringLiteral(", ");
    const QString blank = QStringLiteral(" ");
    if (p.optAkkuTyp)
        return p.cboAkkuType + comma + p.lblZellenzahl + blank + p.cboZellenzahl + comma +
               p.lblNennSpannung + blank + p.cboNennSpannung;
    if (p.optVorgSpannung)
        return p.optVorgSpannungCaption + comma + p.lblLadeSchlussSpannung + blank +
               p.txtLadeschlussSpannung + QStringLiteral(" V, ") + p.lblEntladeschlussSpannung +
               blank + p.txtEntladeschlussSpannung + QStringLiteral(" V");
    return QString();
}

QString buildModeText(const ProgramBlockData& p) {
    QString text = p.cboGeraeteModi;
    if (p.cboModeZyklusVisible)
        text += QStringLiteral(", ") + p.cboModeZyklus;
    else if (p.txtZeitraumVisible)
        text += QStringLiteral(", ") + p.txtZeitraum + p.lblZeitraum;
    return text;
}

QString buildModeLine(const ProgramBlockData& p) {
    const QString mode = buildModeText(p);
    if (mode == QLatin1String("Conditioning") || mode == QLatin1String("Formieren"))
        return mode + QStringLiteral(" - ") + p.cboModeZyklus;
    return mode;
}

QString formatPrintDate(const QDateTime& when, const QString& language) {
    const QLocale locale(language == QLatin1String("de") ? QLocale::German : QLocale::English);
    return locale.toString(when, QStringLiteral("dd. MMMM yyyy   hh:mm"));
}

QStringList remarkLines(const QString& remark) {
    if (remark.trimmed().isEmpty())
        return {};
    QString text = remark;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

ReportSettings readReportSettings(const SettingLookup& setting, const QLocale& locale) {
    ReportSettings s;
    if (!setting)
        return s;
    const QString head = setting(reportkeys::HeadArea).trimmed();
    bool ok = false;
    double cm = withoutGroups(locale).toDouble(head, &ok);
    if (!ok)
        cm = QLocale::c().toDouble(head, &ok);
    s.headAreaCm = (ok && std::isfinite(cm) && cm > 0) ? std::min(cm, kMaxHeadAreaCm) : 0.0;
    s.printDate = setting(reportkeys::PrintDate) == QLatin1String("YES");
    s.subTitle = setting(reportkeys::PrintingSubTitle);
    return s;
}

HeadAreaCheck checkHeadAreaText(const QString& text, const QLocale& locale) {
    if (text.isEmpty())
        return HeadAreaCheck::Missing;
    bool ok = false;
    const double v = withoutGroups(locale).toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return HeadAreaCheck::NotANumber;
    return v < 0 || v > kMaxHeadAreaCm ? HeadAreaCheck::OutOfRange : HeadAreaCheck::Ok;
}

bool windowHasProgram(const ReportWindowData& window) {
    return !window.txtAkkuTyp.trimmed().isEmpty();
}

} // namespace velmara
