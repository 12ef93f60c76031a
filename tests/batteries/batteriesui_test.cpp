// The capture dialog, its two small dialogs, the stored-series window and the
// battery history window, driven through their controls.
#include "batteries/ui/batteriesui.h"
#include "batteries/ui/capturedialog.h"
#include "batteries/ui/storedserieswindow.h"
#include "batteries_fixture.h"
#include "support/controls.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

namespace velmara::test {
namespace {

void click(QWidget* parent, const char* name) {
    if (auto* b = child<QPushButton>(parent, name))
        b->click();
}

QStringList column(QTableWidget* grid, int c) {
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r)
        cells << grid->item(r, c)->text();
    return cells;
}

class BatteriesUiTest : public BatteriesTest {
public:
    void SetUp() override {
        BatteriesTest::SetUp();
        auto ctx = std::make_shared<BatteriesContext>();
        ctx->stores = &session().stores();
        ctx->text = testText;
        ctx->prompter = &session().prompter();
        ctx->hooks.diagram = [this](QWidget*, qint32 series, qint32 endValue,
                                    std::shared_ptr<ProgramRecord>,
                                    const std::function<void()>& finished) {
            diagrams << QPair<qint32, qint32>(series, endValue);
            finished();
        };
        context = ctx;
    }

    std::shared_ptr<const BatteriesContext> context;
    std::shared_ptr<FakeUsage> usage = std::make_shared<FakeUsage>();
    FakeChannel channel;
    QList<QPair<qint32, qint32>> diagrams;
};

TEST_F(BatteriesUiTest, CaptureOfANeverMeasuredChannelQueuesTheNextSeries) {
    batteryWithSeries("Pack", 1);
    CaptureDialog dialog(context, usage, &channel);
    ASSERT_TRUE(dialog.initializeDialog());
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgNeueMessreihe", [](QDialog* d) {
        d->findChild<QLineEdit*>("txtBemerkung")->setText("second");
        return int(QDialog::Accepted);
    });
    click(&dialog, "cmdNeueMessreihe");
    EXPECT_EQ(column(child<QTableWidget>(&dialog, "dbGrid"), 1).last(), "second");
    EXPECT_EQ(channel.started.size(), 1u);
}

TEST_F(BatteriesUiTest, NewBatteryDialogStaysOpenForABlankName) {
    channel.running = true;
    CaptureDialog dialog(context, usage, &channel);
    ASSERT_TRUE(dialog.initializeDialog());
    ScriptedMessages boxes(session());
    boxes.expect("0554").expect("0750", MsgAnswer::No);
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgNeuerAkku", [](QDialog* d) {
        d->findChild<QLineEdit*>("txtName")->setText("   ");
        d->findChild<QPushButton*>("cmdOk")->click();
        EXPECT_EQ(d->result(), int(QDialog::Rejected));
        d->findChild<QLineEdit*>("txtName")->setText(" Mc'Pack ");
        d->findChild<QLineEdit*>("txtMessreiheBemerkung")->setText("erste");
        d->findChild<QPushButton*>("cmdOk")->click();
        return d->result();
    });
    click(&dialog, "cmdNeuerAkku");
    EXPECT_EQ(child<QComboBox>(&dialog, "cboAkkus")->currentText(), "Mc'Pack");
    EXPECT_EQ(channel.headings.value(0), QStringList({"Mc'Pack", "erste", "1"}));
}

TEST_F(BatteriesUiTest, DeletingAShownSeriesClosesItsWindow) {
    qint32 battery = -1;
    const auto ids = batteryWithSeries("Pack", 3, &battery);
    QDialog* dialog = openManagementDialog(usage, context, nullptr);
    ASSERT_TRUE(dialog);
    auto* grid = child<QTableWidget>(dialog, "dbGrid");
    grid->selectRow(1);
    click(dialog, "cmdMessReiheAnzeigen");
    auto* capture = static_cast<CaptureDialog*>(dialog);
    ASSERT_EQ(capture->seriesWindows().size(), 1);
    StoredSeriesWindow* window = capture->seriesWindows().first();
    EXPECT_EQ(window->seriesId(), ids[1]);

    ScriptedMessages boxes(session());
    boxes.expect("0744", MsgAnswer::Yes);
    grid->selectRow(1);
    click(dialog, "cmdMessReiheLoeschen");
    EXPECT_EQ(column(grid, grid->columnCount() - 1),
              QStringList({QString::number(ids[0]), QString::number(ids[2])}));
    EXPECT_TRUE(capture->seriesWindows().isEmpty());

    // A window of a series deleted elsewhere closes when it reads the series again.
    grid->selectRow(1);
    click(dialog, "cmdMessReiheAnzeigen");
    ASSERT_EQ(capture->seriesWindows().size(), 1);
    QPointer<StoredSeriesWindow> other = capture->seriesWindows().first();
    ASSERT_TRUE(store->deleteSeries(ids[2]));
    other->reload();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(other.isNull());
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What the lists show: StoredSeriesTest.
TEST_F(BatteriesUiTest, StoredSeriesWindowOpensTheDiagramsOfItsEndValues) {
    const qint32 series = insertSeries(insertBattery("Pack"), 1);
    insertValue(series, true, "3;1850;1000;3600;118");
    const qint32 charge = insertValue(series, true, "2;2100;1420;9000;125;T;95");
    StoredSeriesWindow* window =
        openStoredSeriesWindow({series, "Pack", "1", "a remark"}, context, nullptr);
    ASSERT_TRUE(window);
    auto* laden = child<QListWidget>(window, "lstEndwertLaden");
    ASSERT_EQ(laden->count(), 2); // "---" for the first cycle: the whole series
    emit laden->itemDoubleClicked(laden->item(1));
    emit laden->itemDoubleClicked(laden->item(0));
    click(window, "cmdDiagramme");
    using P = QPair<qint32, qint32>;
    EXPECT_EQ(diagrams, QList<P>({P(series, charge), P(series, 0), P(series, 0)}));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace velmara::test
