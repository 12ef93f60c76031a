#pragma once
// The texts of a channel report that are put together from several controls or
// settings: the battery and mode lines, the print date, the remark lines, and the head height
// of the print settings.
#include "printing/core/reportdata.h"

namespace velmara {

// "NiMH, Zellen 4, Nennspannung 4,8" or the preset voltages; empty when neither
// option of the used-program view is selected.
QString buildBatteryText(const ProgramBlockData& p);
// The device mode, with its cycle selection or its period when those are shown.
QString buildModeText(const ProgramBlockData& p);
// The mode line: the forming mode ("Formieren" / "Conditioning") also names its cycle.
QString buildModeLine(const ProgramBlockData& p);

// "06. Dezember 2026   14:05": the month named in the program's language ("de", "en").
QString formatPrintDate(const QDateTime& when, const QString& language);

// The remark as printed lines: CR LF, LF and CR each end a line; a remark of
// blanks only gives no lines.
QStringList remarkLines(const QString& remark);

// HeadArea (centimetres, in the locale or else with a point), PrintDate (exactly
// "YES") and PrintingSubTitle. A head height that is no number, or negative, is 0;
// one above kMaxHeadAreaCm (stored before the dialog bounded it) is that maximum.
ReportSettings readReportSettings(const SettingLookup& setting, const QLocale& locale);

// The head height typed into the print settings: 0 to kMaxHeadAreaCm centimetres,
// so the report always fits on its one page.
inline constexpr double kMaxHeadAreaCm = 10;
enum class HeadAreaCheck { Ok, Missing, NotANumber, OutOfRange };
HeadAreaCheck checkHeadAreaText(const QString& text, const QLocale& locale);

// The report shows the program block only when the window names a battery type.
bool windowHasProgram(const ReportWindowData& window);

} // namespace velmara
