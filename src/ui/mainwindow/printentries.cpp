#include "ui/mainwindow/printentries.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "data/textstore.h"
#include "printing/ui/printdialogs.h"
#include "printing/ui/reportprinting.h"
#include "programs/core/programreference.h"

#include <QAction>
#include <QFileDialog>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace velmara {

PrintEntries::PrintEntries(Session& session, QWidget* window)
    : m_session(session), m_window(window) {}

PrintEntries::~PrintEntries() = default;

void PrintEntries::checkAndSetPrintItem(std::optional<bool> keep) {
    if (keep && !*keep) {
        m_printItemWindow = nullptr;
        m_printItemAction = nullptr;
    }
    const bool held = !m_printItemWindow.isNull() && m_printItemAction;
    for (const char* name : {"mnuDateiPrint", "mnuDateiExportPdf"})
        if (QAction* entry = m_window->findChild<QAction*>(QLatin1String(name)))
            entry->setEnabled(held);
}

void PrintEntries::setPrintItemWindow(QWidget* window) {
    m_printItemWindow = window;
    checkAndSetPrintItem();
}

void PrintEntries::setPrintItemWindow(QWidget* window, PrintAction print) {
    m_printItemAction = std::move(print);
    setPrintItemWindow(window);
}

void PrintEntries::print(bool toPdf) {
    if (m_printItemWindow && m_printItemAction)
        m_printItemAction(toPdf);
}

QPrinter* PrintEntries::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

QString PrintEntries::askPdfPath() {
    // The menu entry's text, without its access key and dots, names the file dialog.
    QString title = m_session.text(QStringLiteral("9042"));
    title.remove(QRegularExpression(QStringLiteral("&(?=[^&])")));
    title.remove(QRegularExpression(QStringLiteral("(\\.\\.\\.|\u2026)$")));
    QFileDialog dialog(m_window, title, QString(), QStringLiteral("PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("commonDialogMain"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (execModal(m_session.prompter(), &dialog) != QDialog::Accepted ||
        dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void PrintEntries::printReport(const QWidget* caller, const ProgramRecord* program,
                               const QImage& diagram, bool diagramOnly, bool toPdf,
                               const ReportWindowData* callerData) {
    PrintContext context;
    context.prompter = &m_session.prompter();
    context.setting = [session = &m_session](const QString& key) { return session->setting(key); };
    context.text = [session = &m_session](const QString& key) { return session->text(key); };
    context.programReference = [session = &m_session] {
        return loadProgramReference(session->master(), session->setting("UsedCharger"),
                                    session->texts().languageKey());
    };
    context.language = m_session.texts().languageKey();
    context.printer = printer();
    context.askPdfPath = [this] { return askPdfPath(); };
    context.dialogParent = m_window;
    ReportRequest request;
    request.callerForm = caller;
    if (!caller && callerData)
        request.windowData = *callerData;
    request.program = program;
    request.diagram = diagram;
    request.diagramOnly = diagramOnly;
    velmara::printReport(context, request, toPdf ? ReportTarget::PdfFile : ReportTarget::Printer);
}

void PrintEntries::pageSetup() {
    QPageSetupDialog dialog(printer(), m_window);
    dialog.setObjectName(QStringLiteral("commonDialogMain"));
    execModal(m_session.prompter(), &dialog);
}

void PrintEntries::subTitle() {
    SubTitleDialog dialog(
        [session = &m_session](const QString& key) { return session->text(key); },
        [session = &m_session](const QString& key) { return session->setting(key); },
        [session = &m_session](const QString& key, const QString& value) {
            session->setSetting(key, value);
        },
        m_window);
    execModal(m_session.prompter(), &dialog);
}

void PrintEntries::printSettings() {
    PrintSettingsDialog dialog(
        [session = &m_session](const QString& key) { return session->text(key); },
        m_session.prompter(),
        [session = &m_session](const QString& key) { return session->setting(key); },
        [session = &m_session](const QString& key, const QString& value) {
            session->setSetting(key, value);
        },
        QLocale(), m_window);
    execModal(m_session.prompter(), &dialog);
}

} // namespace velmara
