#pragma once
// Printing a channel report or the diagram page from a window: the remark
// dialog, the platform's print dialog (or a PDF file), reading the window's
// controls and the used-program view, and telling the user when nothing was printed.
#include "link/programrecord.h"
#include "printing/core/reportdata.h"
#include "programs/core/programreference.h"

#include <QImage>

#include <optional>

class QPrinter;
class QWidget;

namespace velmara {

class Prompter;

struct PrintContext {
    SettingLookup setting;                              // HeadArea, PrintDate, PrintingSubTitle
    std::function<QString(const QString& key)> text;    // texts by key
    std::function<ProgramReference()> programReference; // lists of the used-program view
    QLocale locale;
    QString language;               // the program's language ("de", "en"): the print date
    std::function<QDateTime()> now; // default: the present time
    QPrinter* printer = nullptr;    // kept by the caller between prints
    // A PDF file to write to; empty: cancelled.
    std::function<QString()> askPdfPath;
    QWidget* dialogParent = nullptr;
    // Runs the dialogs and shows the message; without one nothing is printed.
    Prompter* prompter = nullptr;
};

struct ReportRequest {
    const QWidget* callerForm = nullptr; // the channel or stored-series window
    // Without a callerForm: its controls as read earlier (the window is gone).
    std::optional<ReportWindowData> windowData;
    const ProgramRecord* program = nullptr;
    QImage diagram;           // the captured diagram window; null: none
    bool diagramOnly = false; // the diagram page instead of the report
};

enum class ReportTarget { Printer, PdfFile };

// Asks for the remark (full report), then for the printer or the file, and
// prints. Cancelling either dialog ends silently; paper other than A4 and a
// failed print are told in one message. Returns true when a page was produced.
bool printReport(const PrintContext& context, const ReportRequest& request,
                 ReportTarget target = ReportTarget::Printer);

// What the report of the request shows (without dialogs).
ChannelReportInput buildReportInput(const PrintContext& context, const ReportRequest& request,
                                    const QString& remark);

} // namespace velmara
