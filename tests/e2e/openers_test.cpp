// The windows the channel windows and the main window open: the capture dialog
// of a channel, the management dialog, and the diagram of a channel's
// temporary series inside the main window's area.
#include "../ui/mainwindow_fixture.h"

#include "../printing/pdfwords.h"
#include "batteries/ui/batteriesui.h"
#include "batteries/ui/storedserieswindow.h"
#include "channel/ui/channelwindow.h"
#include "charts/ui/diagramwindow.h"
#include "data/databases.h"
#include "data/settingsstore.h"
#include "storage/database.h"
#include "support/scripted_dialogs.h"
#include "support/user_rows.h"
#include "ui/mainwindow/channelwindowfactory.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

namespace velmara::test {
namespace {

class Openers : public MainWindowTest {
protected:
    void SetUp() override {
        prepare({{"UsedCharger", "QMT1"}});
        window = makeWindow();
        installChannelWindows(*window);
        ASSERT_EQ(window->load(), StartupOutcome::Running);
        channel = dynamic_cast<ChannelWindow*>(window->channelView("001"));
        ASSERT_NE(channel, nullptr);
    }
    void TearDown() override {
        window.reset();
        MainWindowTest::TearDown();
    }
    // The main window's printer writes an A4 PDF file into the test folder.
    QString printToPdf(const char* name) {
        const QString pdf = QDir(folder.path()).filePath(name);
        window->printer()->setOutputFormat(QPrinter::PdfFormat);
        window->printer()->setOutputFileName(pdf);
        window->printer()->setPageSize(QPageSize(QPageSize::A4));
        return pdf;
    }
    // n ordinary values of a series in the table.
    void addValues(const char* table, qint32 series, int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(session().user()->execute(
                QString("INSERT INTO %1 (MessReiheID, EW, MessWertString) VALUES (?, 0, ?)")
                    .arg(table),
                {series, QString("%1;%2;1000;%3").arg(10 * i).arg(7000 + 10 * i).arg(30 * i)}));
    }
    // A battery's stored series with a program and twelve values, in its window.
    StoredSeriesWindow* openStoredSeries(const QString& battery) {
        const qint32 series = newSeries(*session().user(), battery,
                                        "001,P,A02,M01,Z06,F1,W30,L02000,E01000,V07200,D06000,G1,")
                                  .id;
        addValues("MessWerte", series, 12);
        StoredSeriesWindow* stored =
            openStoredSeriesWindow({series, battery, "1", ""}, window->batteriesContext(), nullptr);
        stored->reload();
        return stored;
    }
    std::unique_ptr<MainWindow> window;
    ChannelWindow* channel = nullptr;
};

TEST_F(Openers, CaptureAndManagementDialogsOpen) {
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.reject("dlgMesswerteErfassen");
        channel->findChild<QPushButton*>("cmdMesswert")->click();
    }
    window->findChild<QAction*>("mnuBearbeitenMesswerteVerwalten")->trigger();
    auto* management = window->findChild<QDialog*>("dlgMesswerteErfassen");
    ASSERT_NE(management, nullptr);
    EXPECT_TRUE(management->isVisible());
    EXPECT_FALSE(management->isModal());
    management->close();
}

// Two requests within one load (a stored series, then the channel) share the one
// diagram sub-window, which fills the main window's area; the replaced request's
// busy flag drops when it is replaced, not before; OK closes the sub-window.
TEST_F(Openers, DiagramRequestsShareTheOneSubWindowOfTheMainArea) {
    addValues("TempMessWerte", channel->controller().tempSeriesId(), 12);
    StoredSeriesWindow* stored = openStoredSeries("Pack B");
    auto* fromStored = stored->findChild<QPushButton*>("cmdDiagramme");
    auto* fromChannel = channel->findChild<QPushButton*>("cmdDiagramme");
    QPointer<QMdiSubWindow> sub;
    for (int round = 0; round < 2; ++round) { // a new window, then the shown one reused
        SCOPED_TRACE(round);
        fromStored->click();
        EXPECT_TRUE(stored->diagramBusy());
        fromChannel->click(); // replaces the stored series' load
        EXPECT_FALSE(stored->diagramBusy());
        EXPECT_TRUE(channel->controller().isDiagramBusy());
        fromChannel->click(); // a second click while it loads does nothing
        QTRY_VERIFY_WITH_TIMEOUT(!channel->controller().isDiagramBusy(), 5000);
        DiagramWindow* diagram = window->diagramWindow();
        ASSERT_NE(diagram, nullptr);
        auto* now = qobject_cast<QMdiSubWindow*>(diagram->parentWidget());
        ASSERT_NE(now, nullptr);
        if (sub) {
            EXPECT_EQ(now, sub.data());
        }
        sub = now;
        EXPECT_TRUE(sub->isVisible());
        EXPECT_EQ(window->mdiArea()->currentSubWindow(), sub.data());
        EXPECT_EQ(sub->geometry(), window->mdiArea()->viewport()->rect());
    }

    const QString pdf = printToPdf("diagram.pdf");
    {
        ScriptedDialogs dialogs(session().prompter()); // the diagram page asks for no remark
        dialogs.accept("commonDialogMain");
        window->diagramWindow()->findChild<QPushButton*>("cmdPrintDiagram")->click();
    }
    EXPECT_GT(QFileInfo(pdf).size(), 0);

    window->diagramWindow()->findChild<QPushButton*>("cmdOk")->click();
    QTRY_VERIFY_WITH_TIMEOUT(sub.isNull(), 5000);
    stored->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The diagram's report still shows the series after its window was closed.
TEST_F(Openers, DiagramReportKeepsWhatItsClosedCallerShowed) {
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: PDF contents not checked";
    StoredSeriesWindow* stored = openStoredSeries("Zelle Nord");
    stored->findChild<QPushButton*>("cmdDiagramme")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!stored->diagramBusy(), 5000);
    stored->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(window->diagramWindow(), nullptr);
    const QString pdf = QDir(folder.path()).filePath("closed-caller.pdf");
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgBemerkung").expect("commonDialogMain", [&](QDialog* d) {
            qobject_cast<QFileDialog*>(d)->selectFile(pdf);
            return int(QDialog::Accepted);
        });
        window->diagramWindow()->printReport(false, true);
    }
    const std::optional<PdfText> text = readPdfWords(pdf);
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->find("Nord")) << "the series' heading";
    EXPECT_TRUE(text->find("NiMH,")) << "the program's battery type";
}

TEST_F(Openers, ChannelReportIsPrintedAfterTheRemarkAndThePrintDialog) {
    const QString pdf = printToPdf("channel-report.pdf");
    auto* print = channel->findChild<QPushButton*>("cmdDruck");
    ASSERT_TRUE(print->isEnabled());
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.expect("dlgBemerkung", [](QDialog* d) {
            d->findChild<QPlainTextEdit*>("txtBemerkung")->setPlainText("Zelle 3 warm");
            return int(QDialog::Accepted);
        });
        dialogs.accept("commonDialogMain");
        print->click();
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
}

// While the channel window is active, "Als PDF exportieren..." writes its report.
TEST_F(Openers, PrintEntriesFollowTheActiveChannelWindow) {
    auto* exportPdf = window->findChild<QAction*>("mnuDateiExportPdf");
    auto* printEntry = window->findChild<QAction*>("mnuDateiPrint");
    window->checkAndSetPrintItem(false);
    EXPECT_FALSE(exportPdf->isEnabled());
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window->channelSubWindow("001"), &activate);
    EXPECT_EQ(window->printItemWindow(), channel);
    EXPECT_TRUE(exportPdf->isEnabled());
    EXPECT_TRUE(printEntry->isEnabled());

    const QString pdf = QDir(folder.path()).filePath("exported.pdf");
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgBemerkung").expect("commonDialogMain", [&](QDialog* d) {
            auto* files = qobject_cast<QFileDialog*>(d);
            EXPECT_NE(files, nullptr);
            files->selectFile(pdf);
            return int(QDialog::Accepted);
        });
        exportPdf->trigger();
    }
    EXPECT_GT(QFileInfo(pdf).size(), 0);
}

TEST_F(Openers, StoredSeriesWindowExportsItsReport) {
    const qint32 series = newSeries(*session().user(), "Pack B",
                                    "001,P,A02,M01,Z06,F1,W30,L02000,E01000,V07200,D06000,G1,")
                              .id;
    StoredSeriesWindow* stored =
        openStoredSeriesWindow({series, "Pack B", "1", ""}, window->batteriesContext(), nullptr);
    ASSERT_NE(stored, nullptr);
    stored->reload();
    EXPECT_TRUE(stored->findChild<QPushButton*>("cmdDruck")->isEnabled());
    const QString pdf = QDir(folder.path()).filePath("stored.pdf");
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.accept("dlgBemerkung").expect("commonDialogMain", [&](QDialog* d) {
            qobject_cast<QFileDialog*>(d)->selectFile(pdf);
            return int(QDialog::Accepted);
        });
        stored->findChild<QPushButton*>("cmdPdf")->click();
    }
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    stored->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Openers, SubTitleAndPrintSettingsAreStoredFromTheirMenus) {
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.expect("dlgSubTitle", [](QDialog* d) {
            d->findChild<QLineEdit*>("txtSubTitle")->setText("Werkstatt Nord");
            d->accept();
            return d->result();
        });
        window->findChild<QAction*>("mnuEinstellungenOptionen")->trigger();
    }
    EXPECT_EQ(session().setting("PrintingSubTitle"), "Werkstatt Nord");
    {
        ScriptedDialogs dialogs(session().prompter());
        dialogs.expect("dlgPrintSettings", [](QDialog* d) {
            d->findChild<QLineEdit*>("txtHeigth")->setText("1.5");
            d->accept();
            return d->result();
        });
        window->findChild<QAction*>("mnuPrintsettings")->trigger();
    }
    EXPECT_EQ(session().setting("HeadArea"), "1.5");
}

} // namespace
} // namespace velmara::test
