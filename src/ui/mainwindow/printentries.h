#pragma once
// The printing of the main window: the printer kept between prints, the page
// setup, the sub-title and print settings dialogs, the window whose report the
// File menu's print entries print (and whether they are enabled), the report
// of a window and the path of a PDF file.
#include "printing/core/reportdata.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace velmara {

class ProgramRecord;
class Session;

class PrintEntries {
public:
    // window: the main window (parent of the dialogs, holder of the entries).
    PrintEntries(Session& session, QWidget* window);
    ~PrintEntries();

    // The print entry: false forgets the window stored for printing; the entry
    // is enabled while a window is stored.
    void checkAndSetPrintItem(std::optional<bool> keep = std::nullopt);
    void setPrintItemWindow(QWidget* window);
    // The window whose report "Drucken..." and "Als PDF exportieren..." produce
    // (print(false): the printer, print(true): a PDF file).
    using PrintAction = std::function<void(bool toPdf)>;
    void setPrintItemWindow(QWidget* window, PrintAction print);
    QWidget* printItemWindow() const { return m_printItemWindow.data(); }
    // The print entries: the stored window's report.
    void print(bool toPdf);

    // The channel report of a window (a channel or stored-series window) with its
    // program; diagram: the captured diagram window printed below it, or with
    // diagramOnly alone on a landscape page. toPdf: into a PDF file.
    // callerData: what the report shows of a caller that is gone.
    void printReport(const QWidget* caller, const ProgramRecord* program,
                     const QImage& diagram = QImage(), bool diagramOnly = false, bool toPdf = false,
                     const ReportWindowData* callerData = nullptr);
    // The printer of the print entries, kept between prints.
    QPrinter* printer();

    void pageSetup();
    void subTitle();
    void printSettings();

private:
    QString askPdfPath();

    Session& m_session;
    QWidget* m_window;
    QPointer<QWidget> m_printItemWindow;
    PrintAction m_printItemAction;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace velmara
