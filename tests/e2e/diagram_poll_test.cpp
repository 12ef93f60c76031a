// A channel polls the simulated charger on its own timer while the diagram of a
// series of a million values loads from the same user file: the load runs a
// chunk at a time from the event loop, so no poll falls behind by more than a
// second.
#include "sim_channel.h"

#include "charts/core/thinning.h"
#include "charts/ui/diagramchart.h"
#include "charts/ui/opendiagram.h"

#include <QMap>
#include <QTest>
#include <QTimer>

#include <sqlcipher/sqlite3.h>

namespace velmara::test {
namespace {

// Notes the time of every state shown: each poll of a charging channel shows it.
class TickLog : public FakeDisplay {
public:
    explicit TickLog(const QElapsedTimer& clock) : m_clock(clock) {}
    void setText(ChannelField f, const QString& t) override {
        FakeDisplay::setText(f, t);
        if (f == ChannelField::Status)
            ticks.push_back(m_clock.elapsed());
    }
    std::vector<qint64> ticks;

private:
    const QElapsedTimer& m_clock;
};

// n ordinary values of a long charge in one statement, value i at 3 i seconds: the
// voltage rises slowly with a few millivolts of jitter, the current holds, the
// capacity grows.
bool addValues(Database& user, qint32 series, int n) {
    const QByteArray sql =
        "WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM c WHERE i < " +
        QByteArray::number(n - 1) +
        ") INSERT INTO MessWerte (MessReiheID, EW, MessWertString) SELECT " +
        QByteArray::number(series) +
        ", 0, (i / 400) || ';' || (6000 + i / 800 + i % 5) || ';' || (1000 + i % 3) || ';' || "
        "(3 * i) FROM c";
    return sqlite3_exec(user.handle(), sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

class DiagramWhilePolling : public SimChannelTest {
protected:
    QStringList simulatorArguments() const override {
        return {"--channels", "4", "--speed", "10", "--battery", "1,NiMH,6,2000,20"};
    }
    void SetUp() override {
        SimChannelTest::SetUp();
        clock.start();
    }
    void TearDown() override {
        delete window.data();
        SimChannelTest::TearDown();
    }

    QElapsedTimer clock;
    TickLog display{clock};
    QPointer<DiagramWindow> window;
};

TEST_F(DiagramWhilePolling, NoPollIsMissedWhileAMillionValuesLoad) {
    constexpr int kValues = 1000000;
    const ChannelTest::Series series = ChannelTest::newSeries(user());
    ASSERT_TRUE(addValues(user(), series.id, kValues));

    ASSERT_TRUE(sendProgram("001,P,A02,M01,Z06,F1,W30,L01000,E01000,V07200,D06000"));
    channels.push_back(
        std::make_unique<ChannelController>(folder.session(), ChannelCode(1), link, host, display));
    ChannelController* channel = channels.back().get();
    channel->load(true);
    ASSERT_EQ(channel->pollInterval(), ChannelController::NormalInterval);
    // The poll runs on its own: two ticks of the timer.
    const size_t before = display.ticks.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return display.ticks.size() >= before + 2; }, 10000));
    ASSERT_TRUE(channel->measurementRunning()) << display[ChannelField::Status].toStdString();

    DiagramContext context;
    context.prompter = &folder.session().prompter();
    context.user = &user();
    ASSERT_TRUE(loadDiagramPointsRows(*folder.session().master(), &context.diagramPoints));
    QMap<QString, QString> settings;
    context.settings = {[&](const QString& k) { return settings.value(k); },
                        [&](const QString& k, const QString& v) { settings[k] = v; }};
    context.text = [this](const QString& k) { return text(k); };

    // A 20 ms timer beside the poll shows how long the event loop was ever held up.
    std::vector<qint64> beats;
    QTimer probe;
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, [&] { beats.push_back(clock.elapsed()); });
    probe.start();

    std::optional<bool> shown;
    const qint64 loadStart = clock.elapsed();
    openDiagram(context, DiagramRequest{false, series.id, 0}, window, {},
                [&](bool ok) { shown = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.has_value(); }, 120000));
    const qint64 loadEnd = clock.elapsed();
    probe.stop();
    ASSERT_TRUE(*shown);
    ASSERT_TRUE(window);
    EXPECT_GT(window->chart()->plottedPoints(Curve::Voltage), 100);

    // One more tick after the load, so the last stretch is measured too.
    const size_t afterLoad = display.ticks.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return display.ticks.size() > afterLoad; }, 10000));

    // The longest time without a poll over the stretch the load ran.
    qint64 longest = 0;
    int during = 0;
    for (size_t i = 1; i < display.ticks.size(); ++i) {
        const qint64 from = display.ticks[i - 1], to = display.ticks[i];
        if (to < loadStart || from > loadEnd)
            continue;
        longest = std::max(longest, to - from);
        during += to >= loadStart && to <= loadEnd;
    }
    qint64 held = 0;
    for (size_t i = 1; i < beats.size(); ++i)
        held = std::max(held, beats[i] - beats[i - 1]);
    std::cout << "load " << (loadEnd - loadStart) << " ms, " << during
              << " polls during it, longest time without a poll " << longest
              << " ms, event loop held up at most " << held << " ms\n";
    EXPECT_LE(longest, ChannelController::NormalInterval + 1000);
    EXPECT_LE(held, 1000) << "a poll falling due then would be that late";
}

} // namespace
} // namespace velmara::test
