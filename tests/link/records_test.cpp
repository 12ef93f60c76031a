// The charger's answers parsed into the status record, the program record and
// the end-value list, and the list line of an end value.
#include "link/chargermodel.h"
#include "link/endvaluerecord.h"
#include "link/programrecord.h"
#include "link/statusrecord.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace velmara;

namespace {

// ---------------------------------------------------------------- channel codes

// Only the four codes the charger uses name a channel; any other text from the
// line names none.
TEST(ChannelCodeTest, ReadsOnlyTheFourCodesOfTheLine) {
    const struct {
        QString text;
        int number; // 0: no channel
    } cases[] = {
        {"001", 1}, {"004", 4},  {"000", 0}, {"005", 0},
        {"01", 0},  {" 001", 0}, {"O01", 0}, {QString::fromUtf8("00١"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<ChannelCode> code = ChannelCode::fromText(c.text);
        ASSERT_EQ(code.has_value(), c.number != 0);
        if (code) {
            EXPECT_EQ(code->number(), c.number);
            EXPECT_EQ(code->text(), c.text); // written back exactly as read
        }
    }
}

// ---------------------------------------------------------------- status record

struct StatusCase {
    const char* answer;
    qint16 kind;
    qint16 state;                       // 99: unchanged
    qint16 code;                        // 99: unchanged
    qint32 strom, spannung, kapazitaet; // 111 / 222 / 333: unchanged
    const char* kanal;                  // "004": unchanged
};

const StatusCase kStatusCases[] = {
    {"", -2, 99, 99, 111, 222, 333, "004"},
    {"-1", -1, 99, 99, 111, 222, 333, "004"},
    {"  001,M,SA,  ", 2, 1, 0, 111, 222, 333, "001"},
    {"001,M,SA,X3,", 2, 1, 10, 111, 222, 333, "001"},
    {"001,M,SW,", 2, 6, 0, 111, 222, 333, "001"},
    {"002,M,SL,L01500,V07234,K00350,", 2, 2, 0, 1500, 7234, 350, "002"},
    {"002,M,SE,E00800,V06900,K01200,", 2, 3, 0, 800, 6900, 1200, "002"},
    {"002,M,SM,", 11, 4, 0, 111, 222, 333, "002"},
    {"002,M,SL,L01500,V07234", -1, 2, 0, 1500, 7234, 333, "002"},
    {"002,M,SL,,V07234,K00350,", 2, 2, 0, 111, 222, 333, "002"},
    {"003,M,SL,X01500,V07234,K00350,", -1, 2, 0, 111, 7234, 350, "003"},
    {"001,M,SL,L01500,V07234,K0035\xb3,", -1, 2, 0, 1500, 7234, 333, "001"},
    {"001,M,SL,L123456,V07234,K00350,", 2, 2, 0, 23456, 7234, 350, "001"},
    // Faults: one letter or Q and one (the letters' texts: pollcycle_test).
    {"003,M,SP,", 2, 7, 1, 111, 222, 333, "003"},
    {"003,M,SQT,", 2, 7, 4, 111, 222, 333, "003"},
    {"003,M,SZ,", -1, 99, 99, 111, 222, 333, "003"},
    {"007,M,SA,", 2, 1, 0, 111, 222, 333, "004"},
    {"001,X,SA,", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M", -1, 99, 99, 111, 222, 333, "001"},
    {"garbage", -1, 99, 99, 111, 222, 333, "004"},
};

TEST(CommunicationResultsTest, ParsesEveryKindOfAnswer) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.answer);
        StatusRecord r;
        r.channelCode = ChannelCode(4);
        r.answerType = 55;
        r.stateCode = r.faultCode = 99;
        r.currentMa = 111;
        r.voltageMv = 222;
        r.capacityMah = 333;
        QString text = QString::fromLatin1(c.answer);
        r.parse(text);
        EXPECT_EQ(text, QString::fromLatin1(c.answer).trimmed());
        EXPECT_EQ(r.answerType, c.kind);
        EXPECT_EQ(r.stateCode, c.state);
        EXPECT_EQ(r.faultCode, c.code);
        EXPECT_EQ(r.currentMa, c.strom);
        EXPECT_EQ(r.voltageMv, c.spannung);
        EXPECT_EQ(r.capacityMah, c.kapazitaet);
        EXPECT_EQ(r.channelCode.text(), QString::fromLatin1(c.kanal));
    }
}

// ---------------------------------------------------------------- program record

const QString kStd = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000";
const QString kStdOut = "A5 M2 Z6 P-3 F1 W30 K-3 L1000 E500 V8400 D6000 Y-3 y77";

// The record parsed from fields preset to 77: channel, then letter and value per field
// (y: unit of the self-discharge period).
QString parsed(const QString& answer, bool withGal) {
    ProgramRecord p;
    p.channelCode = ChannelCode(4);
    p.batteryType = p.deviceMode = p.cellCount = p.percentValue = p.formingCycles = 77;
    p.repeatCount = p.selfDischargeInterval = 77;
    p.selfDischargeIntervalUnit = p.leadAcidMode = p.lithiumIonMode = p.endOfCharge = 77;
    p.chargeMode = p.qMode = p.uMode = p.galNumber = p.chargerType = 77;
    p.capacityMah = p.chargeCurrentMa = p.dischargeCurrentMa = p.chargeEndVoltageMv =
        p.dischargeEndVoltageMv = 77;
    QString text = answer;
    p.parse(text, withGal);
    QString out = p.channelCode.text();
    auto add = [&](const char* letters, const QList<qint32>& values) {
        for (qsizetype i = 0; i < values.size(); ++i)
            out += QString(" %1%2").arg(letters[i]).arg(values[i]);
    };
    add("AMZPFWKLEVDYyGR",
        {p.batteryType, p.deviceMode, p.cellCount, p.percentValue, p.formingCycles, p.repeatCount,
         p.capacityMah, p.chargeCurrentMa, p.dischargeCurrentMa, p.chargeEndVoltageMv,
         p.dischargeEndVoltageMv, p.selfDischargeInterval, p.selfDischargeIntervalUnit, p.galNumber,
         p.chargerType});
    if (p.extendedReceived)
        add("SCBHNOQU", {!p.programmingLocked, p.withoutLoad, p.leadAcidMode, p.lithiumIonMode,
                         p.endOfCharge, p.chargeMode, p.qMode, p.uMode});
    return out;
}

TEST(CommunicationProgramTest, ParsesProgramAnswersAndStoredPrograms) {
    // Sentinel and malformed answers are checked up to the type only.
    const struct {
        QString text;
        bool withGal;
        QString start;
    } cases[] = {
        {"", true, "004 A-2 "},
        {"-1", true, "004 A-1 "},
        {"001,M,SK,", true, "001 A-4 "},
        {"001,M,SA,", true, "001 A-1 "},
        {"001,P,A5,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", true, "001 A-1 "},
        {kStd + ",", true, "001 A-1 "},                     // without G: the empty last field fails
        {kStd + ",S1,C0,B0,H1,N100,R4,", true, "001 A-1 "}, // R straight after N
        {"001,P,A05,M02,Z06,F1,W30,L99999999999999999999,E00500,V08400,D06000,G1,", true,
         "001 A5 M2 Z6 P-3 F1 W30 K-3 L99999 E500 "},
        // The first bad field (W missing) stops the parse, keeping what came before.
        {"001,P,A05,M02,Z06,F1,L01000,E00500,V08400,D06000,G1,", true,
         "001 A-1 M2 Z6 P-3 F1 W77 K77 L77 E77 V77 D77 Y77 y77 G77 R77"},
        {kStd + ",G1,", true, "001 " + kStdOut + " G1 R77"},
        {"009" + kStd.mid(3) + ",G1,", true, "004 " + kStdOut + " G1 R77"},
        {kStd, false, "001 " + kStdOut + " G0 R77"},
        {kStd + ",S1,C1,B2,H1,N120,O1,Q1,U0", false,
         "001 " + kStdOut + " G77 R77 S1 C1 B2 H1 N120 O1 Q1 U0"},
        {kStd + ",S0,C1,B0,H1,N100,G2,R4,", true,
         "001 " + kStdOut + " G2 R4 S0 C1 B0 H1 N100 O77 Q77 U77"},
        {kStd + ",S1,C0,B0,H1,N100,O7,Q1,U0,G2,R4,", true,
         "001 " + kStdOut + " G2 R4 S1 C0 B0 H1 N100 O0 Q1 U0"},
        {"002,P,A01,M01,Z10,P080,F0,W30,K02000,L01000,E01000,V14000,D10000,YD007,G1,", true,
         "002 A1 M1 Z10 P80 F0 W30 K2000 L1000 E1000 V14000 D10000 Y7 y1 G1 R77"},
        {"002,P,A01,M01,Z10,F0,W30,L01000,E01000,V14000,D10000,YX005,G1,", true,
         "002 A1 M1 Z10 P-3 F0 W30 K-3 L1000 E1000 V14000 D10000 Y5 y77 G1 R77"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(parsed(c.text, c.withGal).left(c.start.size()), c.start);
    }
}

// ---------------------------------------------------------------- end values

TEST(EntwertListTest, SplitsEndValueAnswers) {
    // Each item as "channel type K T V Y X P" ("X-": no state); "FAIL" when the
    // parse says "no list" (items read before the fault stay).
    const struct {
        const char* answer;
        const char* items;
    } cases[] = {
        {"", "FAIL"},
        {"001,D,", "FAIL"},
        {"001,M,SL,K01000,T90,V08400,", "FAIL"},
        {"001,D,SL,K01000,T90,V08400,", "001 2 K1000 T90 V8400 Y-1 X- P0"},
        {"002,D,SE,K00950,T75,V06000,Y00012,X1,P095,", "002 3 K950 T75 V6000 Y12 X1 P95"},
        {"001,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000,",
         "001 2 K1000 T90 V8400 Y-1 X0 P0 | 001 3 K950 T75 V6000 Y-1 X- P0"},
        {"009,D,SL,K01000,P080,V08400,", " -1 K1000 T0 V8400 Y-1 X- P0"},
        {"001,D,SL,K01000,T99999999999,V08400,", "FAIL"},
        {"001,D,SL,K01000,T90,V08400,Y00001,X1,Pabc,", "FAIL"},
        // Verdicts and percentages the charger never sends are refused, not stored.
        {"002,D,SE,K00950,T75,V06000,X7,P999,", "FAIL"},
        {"002,D,SE,K00950,T75,V06000,X1,P1234,", "FAIL"},
        {"002,D,SE,K00950,T75,V06000,X1,P95,", "FAIL"},
        {"002,D,SE,K00950,T75,V06000,X0,P999,", "002 3 K950 T75 V6000 Y-1 X0 P999"},
        {"001,D,SL,K01000,T90,V08400,SE,", "FAIL | 001 2 K1000 T90 V8400 Y-1 X- P0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        EndValueList list;
        QString text = QString::fromLatin1(c.answer);
        QStringList items;
        if (!list.parse(text))
            items << "FAIL";
        for (const auto& e : list)
            items << QString("%1 %2 K%3 T%4 V%5 Y%6 X%7 P%8")
                         .arg(e->channelCode.text())
                         .arg(e->endValueType)
                         .arg(e->capacityMah)
                         .arg(e->cycleSeconds)
                         .arg(e->voltageMv)
                         .arg(e->selfDischarge)
                         .arg(e->hasBatteryCondition ? QString::number(e->batteryCondition) : "-")
                         .arg(e->percent);
        EXPECT_EQ(items.join(" | "), c.items);
    }
}

TEST(EntwertListTest, PositionsOutsideTheListGiveNoRecord) {
    EndValueList list;
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    list.append(nullptr);
    EXPECT_TRUE(list.isEmpty());
    list.append(std::make_shared<EndValueRecord>());
    for (qsizetype i : {-1, 1})
        EXPECT_EQ(list.at(i), nullptr) << i;
}

} // namespace
