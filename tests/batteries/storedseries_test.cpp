// The stored-series window's data read back from the user file.
#include "batteries/core/referencetexts.h"
#include "batteries/core/storedseries.h"
#include "batteries_fixture.h"

#include <QLocale>

namespace velmara::test {
namespace {

class StoredSeriesTest : public BatteriesTest {
public:
    void SetUp() override {
        BatteriesTest::SetUp();
        QLocale::setDefault(QLocale::c());
        texts = loadReferenceTexts(*master, "QMT4", "de");
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    StoredSeriesView read(qint32 series) {
        StoredSeriesReader reader(*user, texts, testText,
                                  [this](const QString& s, const QString& e) { log << s << e; });
        return reader.read({series, "Pack", "2", "a remark"});
    }

    ReferenceTexts texts;
    QStringList log;
};

QStringList textsOf(const QList<EndValueLine>& lines) {
    QStringList t;
    for (const auto& l : lines)
        t << l.text;
    return t;
}

TEST_F(StoredSeriesTest, ProgramFieldsShowTheStoredProgram) {
    const qint32 battery = insertBattery("Pack");
    const struct {
        const char* program;
        const char* type;
        const char* mode;
        const char* capacity;
    } cases[] = {
        {"001,P,A02,M02,Z06,F1,W30,K02000,L01000,E00500,V08400,D06000,G1,", "NiMH", "Entladen",
         "2.000 Ah"},
        {"001,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", "<0912>", "Laden", "---"},
        {"001,P,A09,M77,Z06,F1,W30,K00150,L01000,E00500,V08400,D06000,G1,", "", "", "0.150 Ah"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        const auto view = read(insertSeries(battery, ++n, c.program));
        ASSERT_TRUE(view.found);
        EXPECT_EQ(view.batteryType, c.type);
        EXPECT_EQ(view.mode, c.mode);
        EXPECT_EQ(view.nominalCapacity, c.capacity);
    }
    EXPECT_TRUE(log.isEmpty());
    // The texts are those of the language asked for; another has none.
    EXPECT_TRUE(loadReferenceTexts(*master, "QMT4", "xx").modes.isEmpty());
    // A mode stored under its name of another language reads in this one.
    EXPECT_EQ(loadReferenceTexts(*master, "QMT4", "en").modeName("Entladen-Laden"),
              "Discharge-charge");
    EXPECT_EQ(texts.modeName("no such mode"), "no such mode");
}

TEST_F(StoredSeriesTest, EmptyProgramShowsDashesAndLogsOnEveryRead) {
    const qint32 series = insertSeries(insertBattery("Pack"), 1, "   ");
    for (int i = 1; i <= 2; ++i) {
        const auto view = read(series);
        EXPECT_EQ(view.program->batteryType, ProgramRecord::Absent);
        EXPECT_EQ(view.batteryType, "");
        EXPECT_EQ(view.mode, "");
        EXPECT_EQ(view.nominalCapacity, "---");
        EXPECT_EQ(log.size(), 2 * i);
    }
    EXPECT_TRUE(log.at(1).contains(QString::number(series)));
}

TEST_F(StoredSeriesTest, EndValuesFillTheTwoListsInOrder) {
    const qint32 series = insertSeries(insertBattery("Pack"), 1);
    insertValue(series, false, "10;1200;500;3");
    const qint32 d1 = insertValue(series, true, "3;1850;1000;3600;118");
    const qint32 c1 = insertValue(series, true, "2;2100;1420;9000;125;T;95");
    insertValue(series, true, "garbage");
    const qint32 d2 = insertValue(series, true, "3;1900;1000;12000;120;F;80;12");
    const auto view = read(series);
    EXPECT_EQ(textsOf(view.chargeLines), QStringList({"---", " 2.      2.100     1.420   125"}));
    EXPECT_EQ(view.chargeLines[0].valueId, 0);
    EXPECT_EQ(view.chargeLines[1].valueId, c1);
    EXPECT_EQ(textsOf(view.dischargeLines),
              QStringList({" 1.      1.850     1.000   118", " 2.      1.900     1.000   120"}));
    EXPECT_EQ(view.dischargeLines[0].valueId, d1);
    EXPECT_EQ(view.dischargeLines[1].valueId, d2);
    ASSERT_TRUE(view.endValues);
    EXPECT_EQ(view.endValues->size(), 3);
    // The last end value decides the two extra fields.
    EXPECT_EQ(view.batteryState, FieldShow::Shown);
    EXPECT_EQ(view.batteryStateText, "<0846> (80%)");
    EXPECT_EQ(view.selfDischarge, FieldShow::Shown);
    EXPECT_EQ(view.selfDischargeText, "12 mAh");
}

TEST_F(StoredSeriesTest, LastEndValueHidesOrKeepsTheExtraFields) {
    const qint32 battery = insertBattery("Pack");
    const struct {
        const char* value; // empty: no end value
        FieldShow state, selfDischarge;
        const char* stateText;
    } cases[] = {
        {"2;2100;1420;9000;125;T;95", FieldShow::Shown, FieldShow::Hidden, "<0847> (95%)"},
        {"2;2100;1420;9000;125;0", FieldShow::Hidden, FieldShow::Shown, ""},
        {"2;2100;1420;9000;125", FieldShow::Hidden, FieldShow::Hidden, ""},
        {"", FieldShow::Keep, FieldShow::Keep, ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const qint32 series = insertSeries(battery, ++n);
        if (*c.value)
            insertValue(series, true, c.value);
        const auto view = read(series);
        EXPECT_EQ(view.batteryState, c.state);
        EXPECT_EQ(view.selfDischarge, c.selfDischarge);
        EXPECT_EQ(view.batteryStateText, c.stateText);
        EXPECT_EQ(view.chargeLines.isEmpty(), !*c.value);
        EXPECT_TRUE(view.dischargeLines.isEmpty());
    }
}

TEST_F(StoredSeriesTest, DeletedSeriesIsReportedAsGone) {
    qint32 battery = -1;
    const auto ids = batteryWithSeries("Pack", 2, &battery);
    ASSERT_TRUE(store->deleteSeries(ids[0]));
    const auto view = read(ids[0]);
    EXPECT_FALSE(view.found);
    EXPECT_FALSE(view.endValues);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(read(ids[1]).found);
}

} // namespace
} // namespace velmara::test
