// The diagram window and its options dialog: opening and its failures, options,
// saving, the printing switch and where the window opens.
#include "charts/ui/diagramchart.h"
#include "charts/ui/diagramopener.h"
#include "series_db.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmara;

namespace {

int loadingMessagesShown() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->objectName() == "dlgDiagrammLadeMeldung" && w->isVisible();
    return n;
}

class DiagramWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_files.isOpen());
        m_settings = {{"MinMaxSpannungVisible", "NO"},   {"MinMaxStromVisible", "NO"},
                      {"MinMaxKapazitaetVisible", "NO"}, {"xGridVisible", "YES"},
                      {"yGridVisible", "YES"},           {"PrintingLook", "1"}};
        m_context.values = &m_files.values();
        m_context.diagramPoints = {{1, 100, 1}, {2, 1000, 2}, {3, 5000, 5}};
        m_context.settings.get = [this](const QString& k) { return m_settings.value(k); };
        m_context.settings.set = [this](const QString& k, const QString& v) { m_settings[k] = v; };
        m_context.text = [](const QString& key) { return "#" + key; };
        m_context.prompter = &m_prompter;
        m_series = m_files.addSeries();
    }
    void TearDown() override {
        if (m_window)
            delete m_window.data();
    }

    // Opens the diagram and waits for the outcome.
    bool open(qint32 series, qint32 endValue = 0) {
        std::optional<bool> outcome;
        m_opener.open(m_context, DiagramRequest{false, series, endValue},
                      [&](bool shown) { outcome = shown; });
        m_window = m_opener.window();
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 10000));
        return outcome.value_or(false);
    }

    test::SeriesDb m_files{test::testTempRoot()};
    QMap<QString, QString> m_settings;
    test::GuardedPrompter m_prompter;
    test::UnscriptedMessagesFail m_noBoxes{m_prompter};
    test::ScriptedDialogs m_noDialogs{m_prompter};
    DiagramContext m_context;
    DiagramOpener m_opener;
    QPointer<DiagramWindow> m_window;
    qint32 m_series = 0;
};

// Too few values, then a closed file (logged): a message each and no window.
TEST_F(DiagramWindowTest, ALoadThatFailsShowsAMessageAndNoWindow) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 4));
    QStringList logged;
    m_context.log = [&](const QString& entry) { logged << entry; };
    for (const char* key : {"0848", "2170"}) {
        test::ScriptedMessages messages(m_prompter);
        messages.expect(key);
        EXPECT_FALSE(open(m_series));
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_window.isNull(); }, 5000));
        m_files.db().close();
    }
    EXPECT_EQ(logged.size(), 1);
}

TEST_F(DiagramWindowTest, ANewerOpeningOrClosingEndsTheOneStillLoading) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 100));
    m_context.chunkRows = 10;
    QList<bool> outcomes;
    m_opener.open(m_context, DiagramRequest{false, m_series, 0},
                  [&](bool shown) { outcomes << shown; });
    m_window = m_opener.window();
    DiagramWindow* first = m_window;
    QCoreApplication::processEvents(); // one chunk
    m_opener.open(m_context, DiagramRequest{false, m_series, 0},
                  [&](bool shown) { outcomes << shown; });
    EXPECT_EQ(outcomes, (QList<bool>{false})); // told at once that it was replaced
    EXPECT_EQ(m_opener.window(), first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return outcomes.size() == 2; }, 10000));
    EXPECT_EQ(outcomes, (QList<bool>{false, true}));

    m_opener.open(m_context, DiagramRequest{false, m_series, 0},
                  [&](bool shown) { outcomes << shown; });
    m_window->close();
    EXPECT_EQ(outcomes, (QList<bool>{false, true, false}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_window.isNull(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([] { return loadingMessagesShown() == 0; }, 5000));
}

TEST_F(DiagramWindowTest, LoadingLetsTimersRun) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 200));
    m_context.chunkRows = 10;
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { ++ticks; });
    poll.start(0);
    ASSERT_TRUE(open(m_series));
    EXPECT_GT(ticks, 5); // timers fired between the 20 chunks
}

// What the options accept: DiagramOptionsTest.
TEST_F(DiagramWindowTest, OptionsAreStoredAndAppliedOnOkOnly) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 10));
    ASSERT_TRUE(open(m_series));
    test::ScriptedDialogs dialogs(m_prompter);
    for (bool ok : {false, true}) {
        dialogs.expect("dlgDiagramOptions", [&](QDialog* d) {
            d->findChild<QCheckBox*>("chkXAutomatisch")->setChecked(false);
            d->findChild<QLineEdit*>("txtXVon")->setText("0");
            d->findChild<QLineEdit*>("txtXBis")->setText("30");
            d->findChild<QCheckBox*>("chkSpannung")->setChecked(true);
            d->findChild<QPushButton*>(ok ? "OKButton" : "CancelButton")->click();
            return d->result();
        });
        m_window->findChild<QPushButton*>("cmdEinstellungen")->click();
        EXPECT_EQ(m_settings.value("MinMaxSpannungVisible"), ok ? "YES" : "NO");
        EXPECT_EQ(m_window->chart()->xAxis->range(), ok ? QCPRange(0, 30) : QCPRange(0, 9));
        EXPECT_EQ(m_window->chart()->minLineOf(Curve::Voltage)->visible(), ok);
    }
}

// A typed name gets its suffix; each save says where the file went.
TEST_F(DiagramWindowTest, SavesPngAndPdf) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 10));
    QTemporaryDir dir(test::testTempRoot() + "/save-XXXXXX");
    QString path;
    m_context.askSavePath = [&](const QString&) { return path; };
    m_context.text = [](const QString& k) { return "#" + k + (k == "4502" ? " %1" : ""); };
    ASSERT_TRUE(open(m_series));
    for (bool pdf : {false, true}) {
        path = dir.filePath("chart");
        test::ScriptedMessages told(m_prompter);
        told.expect("4502");
        m_window->saveChart(pdf);
        const QString written = path + (pdf ? ".pdf" : ".png");
        EXPECT_GT(QFileInfo(written).size(), 0) << written.toStdString();
        ASSERT_EQ(told.shown.size(), 1);
        EXPECT_TRUE(told.shown[0].text.contains(written)) << told.shown[0].text.toStdString();
    }
    test::ScriptedMessages messages(m_prompter);
    messages.expect("2178");
    path = dir.filePath("missing-folder/chart.png");
    m_window->saveChart(false);
}

TEST_F(DiagramWindowTest, PrintButtonsFollowPrintingLook) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 10));
    QList<bool> printed;
    m_context.print = [&](DiagramWindow*, const QPixmap& picture, bool diagramOnly, bool) {
        // The chart alone, without the boxes, read-out and buttons above it.
        EXPECT_EQ(picture.size(), m_window->chart()->size());
        printed << diagramOnly;
    };
    ASSERT_TRUE(open(m_series));
    m_settings["PrintingLook"] = " 1 ";
    m_window->findChild<QPushButton*>("cmdPrintDiagram")->click();
    m_window->findChild<QPushButton*>("cmdPrint")->click();
    m_settings["PrintingLook"] = "2";
    m_window->findChild<QPushButton*>("cmdPrint")->click();
    EXPECT_EQ(printed, (QList<bool>{true, false}));
}

// Asked for from a window of its own (a stored series over the management
// dialog, which stays above the main window), the diagram opens as a window of
// its own in front with the focus; asked for from inside the area, it goes back.
// Wherever it is, it takes the print entries when it becomes the active window.
TEST_F(DiagramWindowTest, FromAWindowOfItsOwnTheDiagramOpensInFront) {
    ASSERT_TRUE(m_files.addRamp(false, m_series, 10));
    int claims = 0;
    m_context.printItemChanged = [&](DiagramWindow*, bool active) { claims += active; };
    QMdiArea mdi;
    mdi.resize(1000, 700);
    mdi.show();
    QDialog dialog(&mdi);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    DiagramOpener opener(&mdi);
    int shown = 0;
    opener.open(
        m_context, DiagramRequest{false, m_series, 0}, [&](bool ok) { shown += ok; }, &dialog);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, 10000));
    EXPECT_EQ(opener.subWindow(), nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(opener.window()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return claims > 0; }, 2000));

    claims = 0;
    opener.open(m_context, DiagramRequest{false, m_series, 0}, [&](bool ok) { shown += ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown == 2; }, 10000));
    ASSERT_NE(opener.subWindow(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return claims > 0; }, 2000));
}

} // namespace
