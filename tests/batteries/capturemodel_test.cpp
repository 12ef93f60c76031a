// The capture dialog's logic against a fake channel and fake channel set.
#include "batteries/core/capturemodel.h"
#include "batteries_fixture.h"
#include "capture_fakes.h"
#include "support/scripted_messages.h"

namespace velmara::test {
namespace {

class CaptureModelTest : public BatteriesTest {
public:
    // The dialog's model on the fake channel, or without one for managing batteries.
    std::unique_ptr<CaptureModel> model(bool onChannel = true) {
        auto m =
            std::make_unique<CaptureModel>(*store, usage, onChannel ? &channel : nullptr, testText,
                                           [this](const Message& m) { return prompter.show(m); });
        m->seriesDeleted = [this](qint32 id) { deletedSeries << id; };
        return m;
    }
    // ... opened as the dialog opens it.
    std::unique_ptr<CaptureModel> opened(bool onChannel = true) {
        auto m = model(onChannel);
        EXPECT_TRUE(m->initialize());
        return m;
    }
    static QVector<int> numbers(const CaptureModel& m) {
        QVector<int> n;
        for (const SeriesRow& r : m.series())
            n << r.number;
        return n;
    }

    FakeChannel channel;
    FakeUsage usage;
    GuardedPrompter prompter;
    QList<qint32> deletedSeries;
};

TEST_F(CaptureModelTest, OpeningTakesOverTheChannelState) {
    const struct {
        const char* what;
        bool recording, running, endValues;
        bool immediate, immediateEnabled, nextEnabled, endEnabled, recordingAfter;
    } cases[] = {
        {"never measured", false, false, false, false, false, true, false, false},
        {"finished with end values", false, false, true, true, true, true, false, false},
        {"running, not recorded", false, true, false, true, true, true, false, false},
        {"running and recorded", true, true, true, true, false, false, true, true},
        {"recording flag without measurement", true, false, true, true, true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        channel.recording = c.recording;
        channel.running = c.running;
        channel.endValues = c.endValues;
        auto m = opened();
        EXPECT_EQ(m->controls().immediate, c.immediate);
        EXPECT_EQ(m->controls().immediateEnabled, c.immediateEnabled);
        EXPECT_EQ(m->controls().nextEnabled, c.nextEnabled);
        EXPECT_EQ(m->controls().frameEnabled, c.nextEnabled);
        EXPECT_EQ(m->controls().endEnabled, c.endEnabled);
        EXPECT_EQ(channel.recording, c.recordingAfter);
        EXPECT_TRUE(m->controls().captureVisible);
        EXPECT_FALSE(m->controls().managementVisible);
    }
}

TEST_F(CaptureModelTest, TitleNamesTheChannelAndTheChannelsBatteryIsChosen) {
    insertBattery("Alpha");
    const qint32 beta = insertBattery("Beta");
    channel.code = "004";
    auto m = opened();
    EXPECT_EQ(m->title(), "<0700> - <0701> 4");
    EXPECT_EQ(m->selectedBattery()->name, "Alpha"); // the first by name

    channel.battery = beta;
    ASSERT_TRUE(m->initialize());
    EXPECT_EQ(m->selectedBatteryId(), beta);

    channel.battery = 4711; // deleted meanwhile: the first one stays chosen
    ASSERT_TRUE(m->initialize());
    EXPECT_EQ(m->selectedBattery()->name, "Alpha");
}

TEST_F(CaptureModelTest, WithoutBatteriesNoSeriesCanBeCreated) {
    auto m = opened();
    EXPECT_EQ(m->selectedBatteryId(), -1);
    EXPECT_FALSE(m->controls().newSeriesEnabled);
    EXPECT_TRUE(m->controls().newBatteryEnabled);
    EXPECT_FALSE(m->addNewSeries("x"));
    EXPECT_TRUE(channel.started.empty());
}

// The channel waits to record the last of `count` new series of battery `name`; opening the
// dialog asks (0726) whether that queued recording is dropped.
TEST_F(CaptureModelTest, QueuedRecordingIsDroppedOnlyWhenConfirmed) {
    const qint32 kept = insertBattery("Kept");
    auto queue = [&](const char* name, int count, qint32* battery) {
        channel = FakeChannel();
        const auto ids = batteryWithSeries(name, count, battery);
        channel.queued = true;
        channel.battery = *battery;
        channel.series = ids.last();
        return ids;
    };
    qint32 battery = -1;
    {
        SCOPED_TRACE("declined: everything stays");
        const auto ids = queue("Queued", 1, &battery);
        ScriptedMessages boxes(prompter);
        boxes.expect("0726", MsgAnswer::No);
        EXPECT_FALSE(model()->initialize());
        EXPECT_TRUE(channel.queued);
        EXPECT_EQ(channel.series, ids[0]);
        EXPECT_EQ(channel.battery, battery);
        EXPECT_TRUE(store->battery(battery));
        EXPECT_TRUE(channel.headings.isEmpty());
    }
    {
        SCOPED_TRACE("the queued first series takes its new battery along");
        const qint32 values = rows("SELECT COUNT(*) FROM MessWerte");
        const auto ids = queue("Fresh", 1, &battery);
        ScriptedMessages boxes(prompter);
        boxes.expect("0726", MsgAnswer::Yes);
        auto m = opened();
        EXPECT_FALSE(store->battery(battery));
        EXPECT_EQ(rows("SELECT COUNT(*) FROM MessWerte"), values);
        EXPECT_TRUE(store->battery(kept));
        EXPECT_FALSE(channel.queued);
        EXPECT_EQ(channel.battery, -1);
        EXPECT_EQ(channel.series, -1);
        EXPECT_EQ(channel.headings, QList<QStringList>({{"", "", ""}}));
        EXPECT_EQ(m->selectedBatteryId(), -1);
        EXPECT_EQ(deletedSeries, QList<qint32>({ids[0]}));
    }
    {
        SCOPED_TRACE("the recording began while the question was open: nothing goes");
        const auto ids = queue("Began", 1, &battery);
        auto m = std::make_unique<CaptureModel>(*store, usage, &channel, testText,
                                                [this](const Message&) {
                                                    channel.queued = false;
                                                    channel.recording = true;
                                                    return MsgAnswer::Yes;
                                                });
        EXPECT_FALSE(m->initialize());
        EXPECT_TRUE(store->seriesById(ids[0]));
        EXPECT_EQ(channel.series, ids[0]);
        EXPECT_TRUE(channel.recording);
    }
    {
        SCOPED_TRACE("a later queued series goes alone");
        const auto ids = queue("Older", 3, &battery);
        ScriptedMessages boxes(prompter);
        boxes.expect("0726", MsgAnswer::Yes);
        auto m = opened();
        EXPECT_EQ(numbers(*m), QVector<int>({1, 2}));
        EXPECT_FALSE(store->seriesById(ids[2]));
        EXPECT_EQ(channel.battery, battery);
        EXPECT_EQ(channel.series, -1);
        EXPECT_FALSE(channel.queued);
        EXPECT_TRUE(m->controls().newSeriesEnabled);
    }
}

TEST_F(CaptureModelTest, NewBatteryNamesAreCheckedWithTheirMessages) {
    insertBattery("Pack");
    auto m = opened();
    ScriptedMessages boxes(prompter);
    boxes.expect("0554").expect("0552");
    EXPECT_FALSE(m->acceptNewBatteryName("    "));
    EXPECT_FALSE(m->acceptNewBatteryName(" Pack "));
    EXPECT_TRUE(m->acceptNewBatteryName("pack"));
    EXPECT_TRUE(m->acceptNewBatteryName("Pack's twin"));
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].title, "<0550>");
    EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Information);
}

TEST_F(CaptureModelTest, NewBatteryStartsItsFirstSeriesAndLocksTheChoice) {
    channel.running = true;
    auto m = opened();
    ScriptedMessages boxes(prompter);
    boxes.expect("0750", MsgAnswer::Yes);
    ASSERT_TRUE(m->addNewBattery(" D'Artagnan ", "", "first"));
    const auto battery = store->batteries().value(0);
    EXPECT_EQ(battery.name, "D'Artagnan");
    const auto series = store->series(battery.id);
    ASSERT_EQ(series.size(), 1);
    EXPECT_EQ(channel.started,
              std::vector<FakeChannel::Start>({{battery.id, series[0].id, false, true}}));
    EXPECT_EQ(channel.headings, QList<QStringList>({{"D'Artagnan", "first", "1"}}));
    EXPECT_EQ(m->selectedBatteryId(), battery.id);
    EXPECT_EQ(m->controls().cancelKey, "0100");
    for (bool enabled :
         {m->controls().newBatteryEnabled, m->controls().newSeriesEnabled, m->controls().endEnabled,
          m->controls().frameEnabled, m->controls().immediateEnabled, m->controls().nextEnabled})
        EXPECT_FALSE(enabled);
    EXPECT_FALSE(m->addNewSeries("second")); // one choice per opening
    EXPECT_EQ(channel.started.size(), 1u);
}

TEST_F(CaptureModelTest, AFileThatRefusesTheBatteryStartsNoRecording) {
    ASSERT_TRUE(user->execute("CREATE TRIGGER refuse BEFORE INSERT ON Akkus "
                              "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;"));
    auto m = opened();
    ScriptedMessages boxes(prompter);
    boxes.expect("disk says no");
    EXPECT_FALSE(m->addNewBattery("Pack", "", ""));
    EXPECT_EQ(boxes.shown.value(0).icon, MsgIcon::Critical);
    EXPECT_TRUE(channel.started.empty());
    EXPECT_TRUE(m->controls().newBatteryEnabled); // the user may try again
}

TEST_F(CaptureModelTest, TakingOverValuesIsAskedOnlyForAnImmediateStart) {
    const struct {
        const char* what;
        bool running, endValues, chooseNext;
        bool asked;
        MsgAnswer answer;
        bool queued, withTemp;
    } cases[] = {
        {"running, take over", true, false, false, true, MsgAnswer::Yes, false, true},
        {"running, do not take over", true, false, false, true, MsgAnswer::No, false, false},
        {"finished, take over", false, true, false, true, MsgAnswer::Yes, false, true},
        {"finished, declined: wait for the next", false, true, false, true, MsgAnswer::No, true,
         false},
        {"next chosen", true, true, true, false, MsgAnswer::Yes, true, false},
        {"never measured", false, false, false, false, MsgAnswer::Yes, true, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        channel = FakeChannel();
        channel.running = c.running;
        channel.endValues = c.endValues;
        auto m = opened();
        if (c.chooseNext)
            m->setImmediate(false);
        ScriptedMessages boxes(prompter);
        if (c.asked)
            boxes.expect("0750", c.answer);
        ASSERT_TRUE(m->addNewBattery(QString("B%1").arg(++n), "", ""));
        ASSERT_EQ(channel.started.size(), 1u);
        EXPECT_EQ(channel.started[0].queued, c.queued);
        EXPECT_EQ(channel.started[0].withTemp, c.withTemp);
        if (c.asked) {
            ASSERT_EQ(boxes.shown.size(), 1);
            EXPECT_EQ(boxes.shown[0].title, "<0700>");
            EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
        }
    }
}

TEST_F(CaptureModelTest, NewSeriesAfterNumberFourIsFiveInTheHeading) {
    qint32 battery = -1;
    batteryWithSeries("Four's", 4, &battery);
    auto m = opened(); // never measured: queued, no question
    ASSERT_EQ(m->selectedBatteryId(), battery);
    ASSERT_TRUE(m->newSeriesAllowed());
    ASSERT_TRUE(m->addNewSeries("fifth"));
    EXPECT_EQ(numbers(*m), QVector<int>({1, 2, 3, 4, 5}));
    ASSERT_EQ(channel.started.size(), 1u);
    EXPECT_EQ(channel.started[0].series, m->series().last().id);
    EXPECT_TRUE(channel.started[0].queued);
    ASSERT_EQ(channel.headings.size(), 1);
    EXPECT_EQ(channel.headings[0], QStringList({"Four's", "fifth", "5"}));
}

TEST_F(CaptureModelTest, NoNewSeriesForABatteryRecordedElsewhere) {
    const qint32 battery = insertBattery("Busy");
    insertSeries(battery, 1);
    usage.answers = {3};
    auto m = opened();
    ScriptedMessages boxes(prompter);
    boxes.expect("0748");
    EXPECT_FALSE(m->newSeriesAllowed());
    EXPECT_EQ(boxes.shown[0].text, "<0748> 3 <0749>");
    EXPECT_EQ(usage.asked, QList<qint32>({battery}));
}

TEST_F(CaptureModelTest, EndingTheCaptureResetsTheHeadingAndLocks) {
    channel.recording = channel.running = true;
    channel.series = 12;
    auto m = opened();
    EXPECT_TRUE(m->controls().endEnabled);
    m->endCapture();
    EXPECT_EQ(channel.ended, 1);
    EXPECT_EQ(channel.headings, QList<QStringList>({{"", "", ""}}));
    EXPECT_EQ(m->controls().cancelKey, "0100");
    EXPECT_FALSE(m->controls().endEnabled);
}

// --- management mode

TEST_F(CaptureModelTest, DeletingSeriesTwoOfThreeRenumbersTheThird) {
    qint32 battery = -1;
    const auto ids = batteryWithSeries("Three", 3, &battery);
    auto m = opened(false);
    EXPECT_EQ(m->title(), "<4600>");
    EXPECT_EQ(m->controls().cancelKey, "1614") << "closing, not cancelling";
    ScriptedMessages boxes(prompter);
    boxes.expect("0744", MsgAnswer::Yes);
    ASSERT_TRUE(m->deleteSeries(ids[1]));
    EXPECT_EQ(boxes.shown[0].text, "<0744>\n\nvalues 2\n\n<0742>");
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(numbers(*m), QVector<int>({1, 2}));
    EXPECT_EQ(m->series().last().id, ids[2]);
    EXPECT_EQ(deletedSeries, QList<qint32>({ids[1]}));
    EXPECT_TRUE(usage.released.isEmpty());
}

TEST_F(CaptureModelTest, DeletionIsRefusedOrDeclinedWithoutChange) {
    qint32 battery = -1;
    const auto ids = batteryWithSeries("Busy", 2, &battery);
    auto m = opened(false);
    {
        SCOPED_TRACE("in use");
        usage.answers = {1};
        ScriptedMessages boxes(prompter);
        boxes.expect("0752").expect("0752");
        EXPECT_FALSE(m->deleteSeries(ids[0]));
        EXPECT_FALSE(m->deleteSelectedBattery());
        EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
    }
    {
        SCOPED_TRACE("declined");
        usage.answers = {0};
        ScriptedMessages boxes(prompter);
        boxes.expect("0744", MsgAnswer::No).expect("0740", MsgAnswer::No);
        EXPECT_FALSE(m->deleteSeries(ids[0]));
        EXPECT_FALSE(m->deleteSelectedBattery());
    }
    {
        SCOPED_TRACE("taken up while the question was open");
        usage.answers = {0, 2};
        ScriptedMessages boxes(prompter);
        boxes.expect("0744", MsgAnswer::Yes).expect("0746");
        EXPECT_FALSE(m->deleteSeries(ids[0]));
        EXPECT_EQ(boxes.shown[1].text, "<0746> 2 <0747>");
        usage.answers = {0, 4};
        boxes.expect("0740", MsgAnswer::Yes).expect("0746");
        EXPECT_FALSE(m->deleteSelectedBattery());
    }
    {
        SCOPED_TRACE("a series of another battery");
        const auto foreign = batteryWithSeries("Zulu", 2);
        EXPECT_FALSE(m->deleteSeries(foreign[0]));
    }
    EXPECT_EQ(numbers(*m), QVector<int>({1, 2}));
    EXPECT_TRUE(store->battery(battery));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessWerte"), 8);
    EXPECT_TRUE(deletedSeries.isEmpty());
}

TEST_F(CaptureModelTest, DeletingTheOnlySeriesDeletesTheBatteryAfterItsOwnQuestion) {
    const qint32 first = insertBattery("Alpha");
    qint32 battery = -1;
    const auto ids = batteryWithSeries("Only", 1, &battery);
    auto m = opened(false);
    ASSERT_EQ(m->selectedBatteryId(), first);
    m->selectBattery(battery);
    ScriptedMessages boxes(prompter);
    boxes.expect("0744", MsgAnswer::Yes).expect("0740", MsgAnswer::Yes);
    ASSERT_TRUE(m->deleteSeries(ids[0]));
    EXPECT_EQ(boxes.shown[1].text, "<0740>\n\nseries 1 values 2\n\n<0742>");
    EXPECT_FALSE(store->battery(battery));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessWerte"), 0);
    EXPECT_EQ(m->selectedBatteryId(), -1);
    EXPECT_TRUE(m->series().isEmpty());
    EXPECT_EQ(m->batteries().size(), 1);
    EXPECT_EQ(usage.released, QList<qint32>({battery}));
    EXPECT_EQ(deletedSeries, QList<qint32>({ids[0]}));
}

TEST_F(CaptureModelTest, DeletingABatteryNamesWhatIsLost) {
    qint32 battery = -1;
    const auto ids = batteryWithSeries("O'Hara", 3, &battery);
    auto m = opened(false);
    ScriptedMessages boxes(prompter);
    boxes.expect("0740", MsgAnswer::Yes);
    ASSERT_TRUE(m->deleteSelectedBattery());
    EXPECT_EQ(boxes.shown[0].text, "<0740>\n\nseries 3 values 6\n\n<0742>");
    EXPECT_TRUE(m->batteries().isEmpty());
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessReihen"), 0);
    EXPECT_EQ(deletedSeries, QList<qint32>(ids.begin(), ids.end()));
    EXPECT_EQ(usage.released, QList<qint32>({battery}));
    EXPECT_FALSE(m->deleteSelectedBattery()); // nothing chosen any more
}

TEST(ChannelAnswer, MainWindowAnswersBecomeChannelNumbers) {
    const struct {
        const char* answer;
        int channel;
    } cases[] = {{"001", 1}, {"004", 4}, {"notUsed", 0}, {"noReset", 0}, {"005", 0}, {"", 0}};
    for (const auto& c : cases) {
        CallbackBatteryUsage usage([&](qint32) { return QString(c.answer); }, [](qint32) {});
        EXPECT_EQ(usage.channelUsing(7), c.channel) << c.answer;
    }
}

} // namespace
} // namespace velmara::test
