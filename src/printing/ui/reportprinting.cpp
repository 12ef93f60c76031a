#include "printing/ui/reportprinting.h"

#include "base/core/messages.h"
#include "base/widgets/modal.h"
#include "printing/core/reportprint.h"
#include "printing/core/reporttexts.h"
#include "printing/ui/printdialogs.h"
#include "printing/ui/windowreader.h"

#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

namespace velmara {

namespace {

QString keyText(const PrintContext& c, const QString& key) {
    return c.text ? c.text(key) : key;
}

// One message for a page that was not produced.
void tellNotPrinted(const PrintContext& c, const PrintResult& result) {
    Message m;
    if (result.outcome == PrintOutcome::NotA4) {
        m.key = QStringLiteral("9040");
        m.text = keyText(c, m.key).arg(result.detail);
        m.icon = MsgIcon::Exclamation;
    } else {
        m.key = QStringLiteral("9041");
        m.text = keyText(c, m.key);
        if (!result.detail.isEmpty())
            m.text += QStringLiteral("\n\n") + result.detail;
        m.icon = MsgIcon::Critical;
    }
    m.title = keyText(c, QStringLiteral("0410"));
    c.prompter->show(m);
}

ReportWindowData callerWindow(const ReportRequest& request) {
    if (!request.callerForm && request.windowData)
        return *request.windowData;
    return readReportWindow(request.callerForm);
}

PrintResult printOn(QPagedPaintDevice& device, const PrintContext& context,
                    const ReportRequest& request, const QString& remark) {
    if (request.diagramOnly)
        return printDiagramPage(device, callerWindow(request).windowCaption, request.diagram);
    // The paper is checked before the used-program view is built.
    if (!isA4(device))
        return {PrintOutcome::NotA4, device.pageLayout().pageSize().name()};
    return printChannelReport(device, buildReportInput(context, request, remark));
}

} // namespace

ChannelReportInput buildReportInput(const PrintContext& context, const ReportRequest& request,
                                    const QString& remark) {
    ChannelReportInput in;
    in.window = callerWindow(request);
    if (windowHasProgram(in.window) && request.program) {
        Prompter unused; // the view is read unseen and asks nothing
        const ProgramViewContext view{
            [&context](const QString& key) { return keyText(context, key); },
            context.prompter ? *context.prompter : unused};
        in.program = readProgramBlock(*request.program,
                                      context.programReference ? context.programReference()
                                                               : ProgramReference(),
                                      view, context.locale);
    }
    in.settings = readReportSettings(context.setting, context.locale);
    in.title = keyText(context, QStringLiteral("0010"));
    in.chargeCurrentLabel = keyText(context, QStringLiteral("0860"));
    in.dischargeCurrentLabel = keyText(context, QStringLiteral("0862"));
    if (in.settings.printDate)
        in.printDate = formatPrintDate(context.now ? context.now() : QDateTime::currentDateTime(),
                                       context.language);
    in.remark = remark;
    in.diagram = request.diagram;
    return in;
}

bool printReport(const PrintContext& context, const ReportRequest& request, ReportTarget target) {
    if (!context.prompter)
        return false;
    Prompter& prompter = *context.prompter;
    QString remark;
    if (!request.diagramOnly) {
        RemarkDialog dialog(context.text, context.dialogParent);
        if (execModal(prompter, &dialog) != QDialog::Accepted)
            return false;
        remark = dialog.remark();
    }

    PrintResult result;
    if (target == ReportTarget::PdfFile) {
        const QString path = context.askPdfPath ? context.askPdfPath() : QString();
        if (path.isEmpty())
            return false;
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        writer.setTitle(keyText(context, QStringLiteral("0010")));
        result = printOn(writer, context, request, remark);
        if (result.outcome == PrintOutcome::Failed && result.detail.isEmpty())
            result.detail = path;
    } else {
        QPrinter fallback(QPrinter::HighResolution);
        QPrinter* printer = context.printer ? context.printer : &fallback;
        QPrintDialog dialog(printer, context.dialogParent);
        dialog.setObjectName(QStringLiteral("commonDialogMain"));
        if (execModal(prompter, &dialog) != QDialog::Accepted)
            return false;
        result = printOn(*printer, context, request, remark);
        if (result.outcome == PrintOutcome::Printed && printer->printerState() == QPrinter::Error)
            result.outcome = PrintOutcome::Failed;
        if (result.outcome == PrintOutcome::Failed && result.detail.isEmpty())
            result.detail = printer->outputFileName().isEmpty() ? printer->printerName()
                                                                : printer->outputFileName();
    }
    if (result.outcome != PrintOutcome::Printed) {
        tellNotPrinted(context, result);
        return false;
    }
    return true;
}

} // namespace velmara
