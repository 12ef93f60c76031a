// A series recorded from the charger simulator, shown in a stored-series window
// and printed: the channel report, the report with the diagram below it, and
// the diagram page. With VELMARA_SCREENS_DIR set the PDF files are kept there.
#include "../e2e/sim_channel.h"
#include "batteries/ui/storedserieswindow.h"
#include "charts/core/thinning.h"
#include "charts/ui/opendiagram.h"
#include "pdfwords.h"
#include "printing/ui/reportprinting.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

namespace velmara::test {
namespace {

class ReportFromSimulator : public SimChannelTest {
protected:
    QStringList simulatorArguments() const override {
        return {"--channels", "1", "--speed", "900", "--battery", "1,NiMH,6,2000,20"};
    }
    void SetUp() override {
        if (!havePdfToText())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: PDF contents not checked";
        SimChannelTest::SetUp();
    }

    // Records a charge - discharge - charge run into a new series of a battery.
    qint32 recordSeries() {
        ChannelController& channel = addChannel("001", display);
        EXPECT_TRUE(sendProgram("001,P,A02,M03,Z06,F1,W30,L02000,E01000,V07200,D06000"));
        QCoro::waitFor(channel.resetForNewProgram());
        const ChannelTest::Series created = ChannelTest::newSeries(*folder.session().user());
        QCoro::waitFor(channel.startRecording(created.akku, created.id, false, true));
        EXPECT_TRUE(channel.isRecording());
        bool ran = false;
        pollUntil(
            [&] {
                ran = ran || channel.measurementRunning();
                return ran && !channel.measurementRunning() && display.entladen.size() >= 1 &&
                       display.laden.size() >= 2;
            },
            150000);
        return created.id;
    }

    PrintContext printContext(const QString& pdf) {
        PrintContext c;
        Session& s = folder.session();
        c.setting = [&s](const QString& key) { return s.setting(key); };
        c.text = [&s](const QString& key) { return s.text(key); };
        c.programReference = [&s] { return loadProgramReference(s.master(), "QMT4", "de"); };
        c.askPdfPath = [pdf] { return pdf; };
        c.prompter = &s.prompter();
        return c;
    }
    static void keep(const QString& pdf) {
        const QString screens = qEnvironmentVariable("VELMARA_SCREENS_DIR");
        if (screens.isEmpty())
            return;
        const QString target = QDir(screens).filePath(QFileInfo(pdf).fileName());
        QFile::remove(target);
        QFile::copy(pdf, target);
    }

    FakeDisplay display;
};

TEST_F(ReportFromSimulator, StoredSeriesPrintsItsReportAndDiagram) {
    // Numbers in the used-program view are written and filtered in the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct RestoreLocale {
        ~RestoreLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    } restore;
    const qint32 series = recordSeries();
    Session& s = folder.session();
    s.setSetting("PrintingSubTitle", "Werkstatt Nord");

    auto context = std::make_shared<BatteriesContext>();
    context->user = s.user();
    context->references = loadReferenceTexts(*s.master(), "QMT4", "de");
    context->text = [&s](const QString& key) { return s.text(key); };
    context->log = [](const QString&, const QString&) {};
    auto* window = new StoredSeriesWindow({series, "Pack A", "1", "Kapazitätstest"}, context);
    window->reload();
    auto* charge = window->findChild<QListWidget*>("lstEndwertLaden");
    ASSERT_GE(charge->count(), 2);

    const QString reportPdf = QDir(folder.path()).filePath("report-stored-series.pdf");
    {
        ScriptedDialogs dialogs(s.prompter());
        dialogs.expect("dlgBemerkung", [](QDialog* d) {
            d->findChild<QPlainTextEdit*>("txtBemerkung")
                ->setPlainText("Akku nach 50 Zyklen\nZellen gleichmäßig warm");
            return int(QDialog::Accepted);
        });
        ReportRequest request;
        request.callerForm = window;
        request.program = window->program().get();
        ASSERT_TRUE(printReport(printContext(reportPdf), request, ReportTarget::PdfFile));
    }
    keep(reportPdf);
    const auto text = readPdfWords(reportPdf);
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->find("NiMH,").has_value()) << "the battery line of the program block";
    EXPECT_TRUE(text->find("2,000").has_value()) << "the charge current of the program";
    EXPECT_TRUE(text->find("Werkstatt").has_value());
    EXPECT_TRUE(text->find("Zyklen").has_value());
    // The first charge line's number column.
    EXPECT_TRUE(text->find("1.").has_value());

    // The diagram of the series, captured and printed below the report and alone.
    DiagramContext dc;
    dc.user = s.user();
    loadDiagramPointsRows(*s.master(), &dc.diagramPoints);
    dc.settings = {[&s](const QString& key) { return s.setting(key); },
                   [&s](const QString& key, const QString& value) { s.setSetting(key, value); }};
    dc.text = [&s](const QString& key) { return s.text(key); };
    dc.prompter = &s.prompter();
    QImage picture; // captured by the window's own print button, without its buttons
    dc.print = [&](DiagramWindow*, const QPixmap& captured, bool, bool) {
        picture = captured.toImage();
    };
    QPointer<DiagramWindow> diagram;
    std::optional<bool> shown;
    openDiagram(dc, DiagramRequest{false, series, 0}, diagram, {}, [&](bool ok) { shown = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.has_value(); }, 20000));
    ASSERT_TRUE(shown.value_or(false));
    diagram->resize(1000, 620);
    QCoreApplication::processEvents();
    diagram->printReport(false);
    ASSERT_FALSE(picture.isNull());

    const QString withDiagram = QDir(folder.path()).filePath("report-with-diagram.pdf");
    const QString pagePdf = QDir(folder.path()).filePath("diagram-page.pdf");
    {
        ScriptedDialogs dialogs(s.prompter());
        dialogs.accept("dlgBemerkung");
        ReportRequest request;
        request.callerForm = window;
        request.program = window->program().get();
        request.diagram = picture;
        ASSERT_TRUE(printReport(printContext(withDiagram), request, ReportTarget::PdfFile));
        request.diagramOnly = true;
        ASSERT_TRUE(printReport(printContext(pagePdf), request, ReportTarget::PdfFile));
    }
    keep(withDiagram);
    keep(pagePdf);
    const auto page = readPdfWords(pagePdf);
    ASSERT_TRUE(page.has_value());
    ASSERT_EQ(page->pages.size(), 1);
    EXPECT_GT(page->pages[0].width(), page->pages[0].height());
    EXPECT_TRUE(page->find("Pack").has_value()) << "the caption of the stored-series window";
    delete diagram.data();
    delete window;
}

} // namespace
} // namespace velmara::test
