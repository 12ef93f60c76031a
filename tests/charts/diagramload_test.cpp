// Loading a diagram from the user file: the values chosen, too few or damaged
// values, chunked reading and database failures.
#include "charts/core/diagramload.h"
#include "series_db.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

using namespace velmara;

namespace {

const QVector<DiagramPointsRow> kRows = {{1, 100, 1}, {2, 1000, 2}, {3, 5000, 5}};

QString ordinary(int minute, int millivolt) {
    return QString("0;%1;0;%2").arg(millivolt).arg(minute * 60);
}

// Minutes of the plotted voltage points.
QVector<double> minutes(const DiagramLoad& load) {
    return load.plot().curve(Curve::Voltage).x;
}

class DiagramLoadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_files.isOpen()) << m_files.error().toStdString(); }

    DiagramLoad::State load(bool temporary, qint32 series, qint32 endValue,
                            std::unique_ptr<DiagramLoad>* out = nullptr) {
        auto l = std::make_unique<DiagramLoad>(m_files.values(),
                                               DiagramRequest{temporary, series, endValue}, kRows);
        const auto state = l->run();
        if (out)
            *out = std::move(l);
        return state;
    }

    test::SeriesDb m_files{test::testTempRoot()};
};

TEST(SeriesDecodeTest, OrdinaryTexts) {
    const struct {
        const char* text;
        bool ok;
        SeriesSample expected;
    } cases[] = {
        {"1250;7140;1500;3600", true, {3600, 7140, 1500, 1250}},
        {"-5;0;-2147483648;2147483647", true, {2147483647, 0, -2147483648, -5}},
        {"1;2;3;4;extra;fields", true, {4, 2, 3, 1}},
        {"007;8;9;10", true, {10, 8, 9, 7}},
        {"1;2;3", false, {}},
        {"1;2;x;4", false, {}},
        {"1;2;3;2147483648", false, {}},
        {"1; 2;3;4", false, {}},
        {"+1;2;3;4", false, {}},
        {"", false, {}},
    };
    const auto fields = [](const SeriesSample& s) {
        return std::tuple(s.seconds, s.millivolt, s.milliampere, s.milliampereHours);
    };
    for (const auto& c : cases) {
        SeriesSample s;
        EXPECT_EQ(decodeOrdinaryValue(c.text, int(std::strlen(c.text)), &s), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(fields(s), fields(c.expected)) << c.text;
        }
    }
    EXPECT_FALSE(decodeOrdinaryValue(nullptr, 0, nullptr));
}

TEST_F(DiagramLoadTest, FourValuesAreTooFewFiveAreADiagram) {
    for (bool temporary : {true, false}) {
        const qint32 series = m_files.addSeries();
        ASSERT_TRUE(m_files.addRamp(temporary, series, 4));
        EXPECT_EQ(load(temporary, series, 0), DiagramLoad::State::TooFewValues) << temporary;
        ASSERT_TRUE(m_files.addRamp(temporary, series, 1, 4));
        std::unique_ptr<DiagramLoad> l;
        EXPECT_EQ(load(temporary, series, 0, &l), DiagramLoad::State::Ready) << temporary;
        EXPECT_EQ(minutes(*l), (QVector<double>{0, 1, 2, 3, 4}));
        // The other table holds nothing of this series.
        EXPECT_EQ(load(!temporary, series, 0), DiagramLoad::State::TooFewValues);
    }
}

class EndValueTest : public DiagramLoadTest {
protected:
    void SetUp() override {
        DiagramLoadTest::SetUp();
        // Minutes 0-4, end value A, minutes 5-10, end value B, minutes 11-14; another
        // series records in between.
        series = m_files.addSeries();
        const qint32 other = m_files.addSeries();
        for (int m = 0; m < 15; ++m) {
            if (m == 5)
                endA = m_files.addValue(true, series, true, "2;1000;1400;300;300");
            if (m == 8) // damaged: not listed, so it bounds no phase
                m_files.addValue(true, series, true, "2;x");
            if (m == 11)
                endB = m_files.addValue(true, series, true, "3;900;1100;660;360;F;80");
            m_files.addValue(true, series, false, ordinary(m, 1200 + m));
            m_files.addValue(true, other, false, ordinary(100 + m, 9000));
        }
        otherEnd = m_files.addValue(true, other, true, "2;1;1;1;1");
        ordinaryId = m_files.addValue(true, series, false, ordinary(15, 1300));
        ASSERT_GT(endA, 0);
        ASSERT_GT(endB, endA);
    }
    qint32 series = 0;
    qint64 endA = 0, endB = 0, otherEnd = 0, ordinaryId = 0;
};

TEST_F(EndValueTest, PhaseUpToAnEndValue) {
    const QVector<double> kWhole = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const qint32 plain = m_files.addSeries(); // a series without end values
    ASSERT_TRUE(m_files.addRamp(true, plain, 6));
    const struct {
        const char* name;
        qint32 series;
        qint64 endValue;
        QVector<double> minutes;
        bool missing;
    } cases[] = {
        {"whole series", series, 0, kWhole, false},
        {"first end value", series, endA, {0, 1, 2, 3, 4}, false},
        {"later end value", series, endB, {5, 6, 7, 8, 9, 10}, false},
        {"end value not in the table", series, 999999, kWhole, true},
        {"end value of another series", series, otherEnd, kWhole, true},
        {"an ordinary value", series, ordinaryId, kWhole, true},
        {"series without end values", plain, endA, {0, 1, 2, 3, 4, 5}, false},
    };
    for (const auto& c : cases) {
        std::unique_ptr<DiagramLoad> l;
        ASSERT_EQ(load(true, c.series, qint32(c.endValue), &l), DiagramLoad::State::Ready)
            << c.name;
        EXPECT_EQ(minutes(*l), c.minutes) << c.name;
        EXPECT_EQ(l->selection().endValueMissing, c.missing) << c.name;
    }
}

TEST_F(DiagramLoadTest, DamagedTextsAreLeftOut) {
    const qint32 series = m_files.addSeries();
    ASSERT_TRUE(m_files.addRamp(false, series, 3));
    for (const char* bad : {"abc", "1;2;3", "", "1;2;3;x"})
        m_files.addValue(false, series, false, bad);
    ASSERT_TRUE(m_files.db().execute(
        QString("INSERT INTO MessWerte (MessReiheID, EW, MessWertString) VALUES (%1, 0, NULL)")
            .arg(series)));
    EXPECT_EQ(load(false, series, 0), DiagramLoad::State::TooFewValues);
    ASSERT_TRUE(m_files.addRamp(false, series, 2, 3));
    std::unique_ptr<DiagramLoad> l;
    ASSERT_EQ(load(false, series, 0, &l), DiagramLoad::State::Ready);
    EXPECT_EQ(l->damagedCount(), 5);
    EXPECT_EQ(minutes(*l), (QVector<double>{0, 1, 2, 3, 4}));
}

TEST_F(DiagramLoadTest, ChunkedReadingSeesTheSeriesAsItWasAtTheStart) {
    const qint32 series = m_files.addSeries();
    ASSERT_TRUE(m_files.addRamp(true, series, 10));
    DiagramLoad l(m_files.values(), DiagramRequest{true, series, 0}, kRows);
    EXPECT_EQ(l.step(3), DiagramLoad::State::Reading);
    // Recording goes on while the diagram loads; between chunks nothing is held open,
    // so the writes succeed, and the new values do not join this diagram.
    ASSERT_TRUE(m_files.addRamp(true, series, 5, 10));
    int calls = 1;
    do
        ++calls;
    while (l.step(3) == DiagramLoad::State::Reading);
    EXPECT_EQ(calls, 4); // 3 + 3 + 3 + 1 rows
    ASSERT_EQ(l.state(), DiagramLoad::State::Ready);
    EXPECT_EQ(minutes(l), (QVector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(DiagramLoadTest, DatabaseErrorsFailTheLoad) {
    const qint32 series = m_files.addSeries();
    ASSERT_TRUE(m_files.addRamp(false, series, 20));

    // Failing before the first row: the table is unusable.
    ASSERT_TRUE(m_files.db().execute("ALTER TABLE MessWerte RENAME TO Gone"));
    DiagramLoad broken(m_files.values(), DiagramRequest{false, series, 0}, kRows);
    EXPECT_EQ(broken.run(), DiagramLoad::State::Failed);
    EXPECT_FALSE(broken.error().isEmpty());
    DiagramLoad brokenEnd(m_files.values(), DiagramRequest{false, series, 5}, kRows);
    EXPECT_EQ(brokenEnd.run(), DiagramLoad::State::Failed);
    ASSERT_TRUE(m_files.db().execute("ALTER TABLE Gone RENAME TO MessWerte"));

    // Failing halfway: the file is closed between two chunks. No half diagram comes back.
    DiagramLoad l(m_files.values(), DiagramRequest{false, series, 0}, kRows);
    ASSERT_EQ(l.step(5), DiagramLoad::State::Reading);
    m_files.db().close();
    EXPECT_EQ(l.step(5), DiagramLoad::State::Failed);
    EXPECT_FALSE(l.error().isEmpty());
    EXPECT_TRUE(l.plot().curve(Curve::Voltage).x.isEmpty());
}

} // namespace
