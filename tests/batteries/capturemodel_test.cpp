// The capture dialog's logic against a fake channel and fake channel set.
#include "batteries/core/capturemodel.h"
#include "batteries_fixture.h"
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

    FakeChannel channel;
    FakeUsage usage;
    GuardedPrompter prompter;
    QList<qint32> deletedSeries;
};

TEST_F(CaptureModelTest, OpeningTakesOverTheChannelState) {
    const struct {
        const char* what;
        bool recording, running, endValues;
        bool immediate, choiceEnabled, endEnabled, recordingAfter;
    } cases[] = {
        {"never measured", false, false, false, false, false, false, false},
        {"finished with end values", false, false, true, true, true, false, false},
        {"running, not recorded", false, true, false, true, true, false, false},
        {"running and recorded", true, true, true, true, false, true, true},
        {"recording flag without measurement", true, false, true, true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        channel.recording = c.recording;
        channel.running = c.running;
        channel.endValues = c.endValues;
        auto m = opened();
        EXPECT_EQ(m->controls().immediate, c.immediate);
        EXPECT_EQ(m->controls().immediateEnabled, c.choiceEnabled);
        EXPECT_EQ(m->controls().endEnabled, c.endEnabled);
        EXPECT_EQ(channel.recording, c.recordingAfter);
    }
}

TEST_F(CaptureModelTest, TheChannelsBatteryIsChosen) {
    insertBattery("Alpha");
    const qint32 beta = insertBattery("Beta");
    auto m = opened();
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
        EXPECT_EQ(numbersOf(m->series()), QVector<int>({1, 2}));
        EXPECT_FALSE(store->seriesById(ids[2]));
        EXPECT_EQ(channel.battery, battery);
        EXPECT_EQ(channel.series, -1);
        EXPECT_FALSE(channel.queued);
        EXPECT_TRUE(m->controls().newSeriesEnabled);
    }
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
    }
}

// Its number: BatteryStoreTest.NewSeriesIsNumberedAfterTheHighest.
TEST_F(CaptureModelTest, NewSeriesIsRecordedAndHeadsTheChannel) {
    batteryWithSeries("One's", 1);
    auto m = opened(); // never measured: queued, no question
    ASSERT_TRUE(m->addNewSeries("second"));
    ASSERT_EQ(channel.started.size(), 1u);
    EXPECT_EQ(channel.started[0].series, m->series().last().id);
    EXPECT_TRUE(channel.started[0].queued);
    EXPECT_EQ(channel.headings, QList<QStringList>({{"One's", "second", "2"}}));
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

// Another station records the battery: no new series of it, no deleting it,
// each told with the station's name; nothing is made.
TEST_F(CaptureModelTest, ABatteryRecordedAtAnotherStationStaysItsOwn) {
    const qint32 battery = insertBattery("Shared");
    insertSeries(battery, 1);
    usage.otherStation = "Labor 2";
    auto m = opened();
    ScriptedMessages boxes(prompter);
    boxes.expect("4920");
    boxes.expect("4920");
    boxes.expect("4921");
    EXPECT_FALSE(m->newSeriesAllowed());
    EXPECT_FALSE(m->addNewSeries("started at once")); // asked in the same moment
    EXPECT_FALSE(m->deleteSelectedBattery());
    EXPECT_EQ(boxes.shown[0].text, "recorded at Labor 2");
    EXPECT_TRUE(channel.started.empty());
    EXPECT_EQ(m->series().size(), 1);
}

// Batteries that cannot be read are said, never shown as none to manage.
TEST_F(CaptureModelTest, UnreadableBatteriesAreSaid) {
    ASSERT_TRUE(user->execute("ALTER TABLE Akkus RENAME TO Gone"));
    ScriptedMessages boxes(prompter);
    boxes.expect("no such table: Akkus");
    boxes.expect("no such table: Akkus");
    EXPECT_FALSE(model(false)->initialize()); // managing: nothing to show
    EXPECT_TRUE(model(true)->initialize());   // capturing: can still be ended
}

TEST_F(CaptureModelTest, EndingTheCaptureResetsTheHeadingAndLocks) {
    channel.recording = channel.running = true;
    channel.series = 12;
    auto m = opened();
    EXPECT_TRUE(m->controls().endEnabled);
    m->endCapture();
    EXPECT_EQ(channel.ended, 1);
    EXPECT_EQ(channel.headings, QList<QStringList>({{"", "", ""}}));
    EXPECT_FALSE(m->controls().endEnabled);
}

// --- management mode

// The battery's series and values themselves: BatteryStoreTest.
TEST_F(CaptureModelTest, DeletionAsksAndTakesOnlyWhatWasConfirmed) {
    constexpr int kBattery = -1, kForeign = -2;
    constexpr MsgAnswer Y = MsgAnswer::Yes, N = MsgAnswer::No, Ok = MsgAnswer::Ok;
    const struct {
        const char* what;
        int count;  // series of the chosen battery
        int target; // the series deleted (0-based), or kBattery, kForeign
        std::deque<int> usage;
        // The boxes by text key or by what they say of the loss.
        std::vector<std::pair<const char*, MsgAnswer>> boxes;
        int left; // series left; 0: the battery is gone
    } cases[] = {
        {"second of three", 3, 1, {0}, {{"values 2", Y}}, 2},
        {"the battery", 3, kBattery, {0}, {{"series 3 values 6", Y}}, 0},
        {"the only series", 1, 0, {0}, {{"values 2", Y}, {"series 1 values 2", Y}}, 0},
        {"series in use", 2, 0, {1}, {{"0752", Ok}}, 2},
        {"battery in use", 2, kBattery, {1}, {{"0752", Ok}}, 2},
        {"series declined", 2, 0, {0}, {{"0744", N}}, 2},
        {"battery declined", 2, kBattery, {0}, {{"0740", N}}, 2},
        {"series taken up while asked", 2, 0, {0, 2}, {{"0744", Y}, {"<0746> 2 <0747>", Ok}}, 2},
        {"battery taken up while asked", 2, kBattery, {0, 4}, {{"0740", Y}, {"0746", Ok}}, 2},
        {"a series of another battery", 2, kForeign, {0}, {}, 2},
    };
    insertBattery("A first"); // chosen when the dialog opens
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qint32 battery = -1;
        const auto ids = batteryWithSeries(QString("B%1").arg(++n), c.count, &battery);
        const auto foreign = batteryWithSeries(QString("F%1").arg(n), 1);
        usage = FakeUsage();
        usage.answers = c.usage;
        deletedSeries.clear();
        auto m = opened(false);
        m->selectBattery(battery);
        ScriptedMessages boxes(prompter);
        for (const auto& [box, answer] : c.boxes)
            boxes.expect(box, answer);
        const bool done = c.target == kBattery   ? m->deleteSelectedBattery()
                          : c.target == kForeign ? m->deleteSeries(foreign[0])
                                                 : m->deleteSeries(ids[c.target]);
        EXPECT_EQ(done, c.left < c.count);
        QVector<int> after;
        for (int i = 1; i <= c.left; ++i)
            after << i;
        EXPECT_EQ(numbersOf(m->series()), after);
        EXPECT_EQ(store->series(battery).size(), c.left);
        const bool batteryGone = c.left == 0;
        EXPECT_EQ(bool(store->battery(battery)), !batteryGone);
        EXPECT_EQ(m->selectedBatteryId(), batteryGone ? -1 : battery);
        EXPECT_EQ(usage.released, batteryGone ? QList<qint32>{battery} : QList<qint32>{});
        QList<qint32> gone;
        if (batteryGone)
            gone = QList<qint32>(ids.begin(), ids.end());
        else if (done)
            gone = {ids[c.target]};
        // As vectors: Qt's own comparison of two empty lists hands memcmp a null pointer.
        EXPECT_EQ(std::vector<qint32>(deletedSeries.begin(), deletedSeries.end()),
                  std::vector<qint32>(gone.begin(), gone.end()));
        for (qint32 id : gone)
            EXPECT_FALSE(store->seriesById(id));
    }
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
