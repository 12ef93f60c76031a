// Printing from a window: remark, print and file dialogs, pages not produced, the
// used-program view, and the print settings dialog.
#include "pdfwords.h"
#include "printing/core/reporttexts.h"
#include "printing/ui/printdialogs.h"
#include "printing/ui/reportprinting.h"
#include "printing/ui/windowreader.h"
#include "support/program_files.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace velmara;

namespace {

// A window with the controls the report reads, named as in the channel window.
class FakeChannelWindow : public QWidget {
public:
    FakeChannelWindow() {
        setWindowTitle("Windowcaption");
        auto* layout = new QVBoxLayout(this);
        auto* frame = new QGroupBox("Programframe", this);
        frame->setObjectName("frameAkkuprogramm");
        layout->addWidget(frame);
        auto add = [&](QWidget* w, const char* name) {
            w->setObjectName(name);
            layout->addWidget(w);
        };
        add(new QLabel("Typelabel"), "lblAkkutyp");
        add(new QLabel("Remarkslabel"), "lblBemerkungen");
        add(type = new QLineEdit(""), "txtAkkuTyp");
        add(new QLineEdit("Seriesremark"), "txtBemerkung");
        add(charge = new QListWidget, "lstEndwertLaden");
        add(new QListWidget, "lstEndwertEntladen");
        charge->addItems({"Chargeone", "Chargetwo"});
    }
    QLineEdit* type;
    QListWidget* charge;
};

class PrintingUi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = {{"HeadArea", "0"}, {"PrintDate", "NO"}, {"PrintingSubTitle", "Subtitle"}};
        m_context.setting = [this](const QString& k) { return m_settings.value(k); };
        m_context.text = [](const QString& key) { return "#" + key; };
        m_context.askPdfPath = [this] {
            ++m_pathsAsked;
            return m_pdf;
        };
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(m_pdf);
        m_printer.setPageSize(QPageSize(QPageSize::A4));
        m_context.printer = &m_printer;
        m_context.prompter = &m_prompter;
        m_request.callerForm = &m_window;
    }

    // Answers the remark dialog with a text.
    static test::ScriptedDialogs::Step remark(const QString& text) {
        return [text](QDialog* d) {
            d->findChild<QPlainTextEdit*>("txtBemerkung")->setPlainText(text);
            return int(QDialog::Accepted);
        };
    }
    std::optional<test::PdfText> words() { return test::readPdfWords(m_pdf); }

    QTemporaryDir m_dir{test::testTempRoot() + QStringLiteral("/ui-XXXXXX")};
    QString m_pdf = m_dir.filePath("report.pdf");
    QMap<QString, QString> m_settings;
    test::GuardedPrompter m_prompter;
    test::UnscriptedMessagesFail m_noBoxes{m_prompter};
    test::ScriptedDialogs m_noDialogs{m_prompter};
    PrintContext m_context;
    QPrinter m_printer{QPrinter::HighResolution};
    FakeChannelWindow m_window;
    ReportRequest m_request;
    int m_pathsAsked = 0;
};

TEST_F(PrintingUi, CancelledRemarkOrPrintDialogEndsSilently) {
    test::ScriptedDialogs dialogs(m_prompter);
    dialogs.reject("dlgBemerkung");
    EXPECT_FALSE(printReport(m_context, m_request, ReportTarget::PdfFile));
    EXPECT_EQ(m_pathsAsked, 0);
    dialogs.accept("dlgBemerkung").reject("commonDialogMain");
    EXPECT_FALSE(printReport(m_context, m_request));
    m_pdf.clear(); // the file dialog cancelled
    dialogs.accept("dlgBemerkung");
    EXPECT_FALSE(printReport(m_context, m_request, ReportTarget::PdfFile));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("report.pdf")));
    m_context.prompter = nullptr; // nobody to ask: nothing is printed
    EXPECT_FALSE(printReport(m_context, m_request, ReportTarget::PdfFile));
}

TEST_F(PrintingUi, ExportWritesTheReportWithTheRemark) {
    if (!test::havePdfToText())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: PDF contents not checked";
    test::ScriptedDialogs dialogs(m_prompter);
    dialogs.expect("dlgBemerkung", remark("Alpha\nBravo"));
    ASSERT_TRUE(printReport(m_context, m_request, ReportTarget::PdfFile));
    EXPECT_EQ(m_pathsAsked, 1);
    const auto text = words();
    ASSERT_TRUE(text.has_value());
    for (const char* w : {"#0010", "Subtitle", "Chargetwo", "Seriesremark", "Alpha", "Bravo"})
        EXPECT_TRUE(text->find(w).has_value()) << w;
}

// Other paper and a file that cannot be written are told once; nothing is printed.
TEST_F(PrintingUi, APageNotProducedIsToldOnce) {
    {
        test::ScriptedMessages messages(m_prompter);
        messages.expect("9040");
        test::ScriptedDialogs dialogs(m_prompter);
        dialogs.accept("dlgBemerkung").expect("commonDialogMain", [](QDialog* d) {
            qobject_cast<QPrintDialog*>(d)->printer()->setPageSize(QPageSize(QPageSize::Letter));
            return int(QDialog::Accepted);
        });
        EXPECT_FALSE(printReport(m_context, m_request));
        EXPECT_TRUE(messages.shown.at(0).text.startsWith("#9040"));
        EXPECT_FALSE(QFileInfo::exists(m_pdf) && QFileInfo(m_pdf).size() > 0);
    }
    m_pdf = m_dir.filePath("missing-folder/report.pdf");
    test::ScriptedMessages messages(m_prompter);
    messages.expect("9041");
    test::ScriptedDialogs dialogs(m_prompter);
    dialogs.accept("dlgBemerkung");
    EXPECT_FALSE(printReport(m_context, m_request, ReportTarget::PdfFile));
    EXPECT_TRUE(messages.shown.at(0).text.contains("missing-folder"));
}

// The print date names the month in the program's language, whatever the system's locale says.
TEST_F(PrintingUi, PrintDateInTheProgramsLanguage) {
    m_settings["PrintDate"] = "YES";
    m_context.locale = QLocale(QLocale::German, QLocale::Germany);
    m_context.now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5)); };
    for (const auto& [language, date] : {std::pair{"de", "06. Dezember 2026   09:05"},
                                         std::pair{"en", "06. December 2026   09:05"}}) {
        m_context.language = language;
        EXPECT_EQ(buildReportInput(m_context, m_request, {}).printDate, date) << language;
    }
}

// The program block comes from the used-program view over the delivered lists,
// its numbers written (and let through the view's input filters) in the user's locale.
TEST(PrintingProgramBlock, UsedProgramViewFillsTheBlock) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct RestoreLocale {
        ~RestoreLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    } restore;
    test::TempProgramFolder folder;
    ASSERT_TRUE(test::openProgramFiles(folder.session(), "en"));
    const ProgramReference reference =
        loadProgramReference(folder.session().master(), "QMT4", "en");
    ProgramRecord program;
    QString text = "001,P,A02,M01,Z04,F1,W30,K02000,L00500,E01000,V08400,D06000";
    program.parse(text, false);
    const ProgramBlockData p =
        readProgramBlock(program, reference, programViewContext(folder.session()), QLocale());
    EXPECT_EQ(QStringList({p.cboAkkuType, p.cboZellenzahl, p.txtLadestrom, p.txtKapazitaetAh,
                           buildModeLine(p)}),
              QStringList({"NiMH", "4", "0,500", "2,000", "Charge"}));
}

// --- the settings dialogs -------------------------------------------------------------------

TEST(PrintSettingsDialogTest, HeightIsCheckedTheDateSwitchAlwaysStored) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const char* height;
        bool checked;
        const char* message; // empty: stored and closed
        const char* storedHeight;
    } cases[] = {{"2,5", true, "", "2,5"},    {"", false, "9032", "3"},
                 {"zwei", true, "9031", "3"}, {"2.5", false, "9031", "3"},
                 {"25", false, "4500", "3"},  {"-1", false, "4500", "3"},
                 {"10", false, "", "10"}};
    test::GuardedPrompter prompter;
    for (const auto& c : cases) {
        QMap<QString, QString> settings{{"HeadArea", "3"}, {"PrintDate", "yes"}};
        PrintSettingsDialog dialog([](const QString& k) { return "#" + k; }, prompter,
                                   [&](const QString& k) { return settings[k]; },
                                   [&](const QString& k, const QString& v) { settings[k] = v; },
                                   german);
        dialog.findChild<QLineEdit*>("txtHeigth")->setText(c.height);
        dialog.findChild<QCheckBox*>("chkShowDate")->setChecked(c.checked);
        test::ScriptedMessages messages(prompter);
        if (*c.message)
            messages.expect(c.message);
        dialog.accept();
        EXPECT_EQ(dialog.result(), *c.message ? QDialog::Rejected : QDialog::Accepted) << c.height;
        EXPECT_EQ(settings["HeadArea"], c.storedHeight) << c.height;
        EXPECT_EQ(settings["PrintDate"], c.checked ? "YES" : "NO") << c.height;
    }
}

} // namespace
