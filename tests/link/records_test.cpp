// The charger's answers parsed into the status record, the program record and
// the end-value list, and the list line of an end value.
#include "link/communicationendwert.h"
#include "link/communicationprogram.h"
#include "link/communicationresults.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace velmara;

namespace {

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
    {"001,M,SF,X2,", 2, 5, 11, 111, 222, 333, "001"},
    {"001,M,SA,X9,", 2, 1, 0, 111, 222, 333, "001"},
    {"001,M,SW,", 2, 6, 0, 111, 222, 333, "001"},
    {"002,M,SL,L01500,V07234,K00350,", 2, 2, 0, 1500, 7234, 350, "002"},
    {"002,M,SE,E00800,V06900,K01200,", 2, 3, 0, 800, 6900, 1200, "002"},
    {"002,M,SM,L00050,V08400,K02000,", 2, 4, 0, 50, 8400, 2000, "002"},
    {"002,M,SL,", 11, 2, 0, 111, 222, 333, "002"},
    {"002,M,SL,L01500,", -1, 2, 0, 1500, 222, 333, "002"},
    {"002,M,SL,,V07234,K00350,", 2, 2, 0, 111, 222, 333, "002"},
    {"003,M,SL,X01500,V07234,K00350,", -1, 2, 0, 111, 7234, 350, "003"},
    {"003,M,SP,", 2, 7, 1, 111, 222, 333, "003"},
    {"003,M,SK,", 2, 7, 2, 111, 222, 333, "003"},
    {"003,M,SG,", 2, 7, 3, 111, 222, 333, "003"},
    {"003,M,SQT,", 2, 7, 4, 111, 222, 333, "003"},
    {"003,M,SQV,", 2, 7, 5, 111, 222, 333, "003"},
    {"003,M,SQR,", 2, 7, 6, 111, 222, 333, "003"},
    {"003,M,SQU,", 2, 7, 7, 111, 222, 333, "003"},
    {"003,M,SQP,", 2, 7, 8, 111, 222, 333, "003"},
    {"003,M,SQS,", 2, 7, 9, 111, 222, 333, "003"},
    {"003,M,SZ,", -1, 99, 99, 111, 222, 333, "003"},
    {"007,M,SA,", 2, 1, 0, 111, 222, 333, "004"},
    {"001,X,SA,", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M,sl,", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M,SL,L123456,V07234,K00350,", 2, 2, 0, 23456, 7234, 350, "001"},
    {"001,M,SL,L01500,V07234,K00350", 2, 2, 0, 1500, 7234, 350, "001"},
    // Bytes the charger never sends.
    {"garbage", -1, 99, 99, 111, 222, 333, "004"},
    {"001", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M,SL,L0150,V07234,K00350,", -1, 2, 0, 111, 222, 333, "001"},
    {"001,M,SL,L-1500,V07234,K00350,", -1, 2, 0, 111, 222, 333, "001"},
    {"001,M,SL,L01500,V07234,K0035\xb3,", -1, 2, 0, 1500, 7234, 333, "001"},
    {"001,M,SL,L01500,V07234", -1, 2, 0, 1500, 7234, 333, "001"},
};

TEST(CommunicationResultsTest, ParsesEveryKindOfAnswer) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.answer);
        CommunicationResults r;
        r.strKanal = "004";
        r.iAntwortTyp = 55;
        r.iStatusTyp = r.iFehlerCode = 99;
        r.lStrom = 111;
        r.lSpannung = 222;
        r.lKapazitaet = 333;
        QString text = QString::fromLatin1(c.answer);
        r.splitRecievedString(text);
        EXPECT_EQ(text, QString::fromLatin1(c.answer).trimmed());
        EXPECT_EQ(r.iAntwortTyp, c.kind);
        EXPECT_EQ(r.iStatusTyp, c.state);
        EXPECT_EQ(r.iFehlerCode, c.code);
        EXPECT_EQ(r.lStrom, c.strom);
        EXPECT_EQ(r.lSpannung, c.spannung);
        EXPECT_EQ(r.lKapazitaet, c.kapazitaet);
        EXPECT_EQ(r.strKanal, QString::fromLatin1(c.kanal));
    }
}

TEST(CommunicationResultsTest, ProgramAndEndValueAnswersAreHandedOn) {
    CommunicationResults r;
    r.iAntwortTyp = 2;
    std::shared_ptr<CommunicationProgram> program;
    std::shared_ptr<EntwertList> list;
    QObject::connect(&r, &CommunicationResults::ProgramChanged,
                     [&](std::shared_ptr<CommunicationProgram> p) { program = p; });
    QObject::connect(&r, &CommunicationResults::EndwertRecieved,
                     [&](std::shared_ptr<EntwertList> l) { list = l; });
    QString text = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    r.splitRecievedString(text);
    ASSERT_TRUE(program);
    EXPECT_EQ(r.iAntwortTyp, 2); // a program answer keeps the kind
    EXPECT_EQ(program->iAkkuTyp, 5);
    EXPECT_EQ(program->strKanal, "001");

    for (auto [answer, count] : {std::pair{"001,D,SL,K01000,T90,V08400,SE,K00950,T75,V06000,", 2},
                                 std::pair{"001,D,SL,K01000,T90,V08400,SE,", 0}}) {
        SCOPED_TRACE(answer);
        list.reset();
        text = answer;
        r.splitRecievedString(text);
        EXPECT_EQ(r.iAntwortTyp, 3);
        ASSERT_TRUE(list); // a damaged list is passed on empty
        EXPECT_EQ(list->Count(), count);
    }
}

// ---------------------------------------------------------------- program record

constexpr qint16 U = 77; // "unchanged" marker for 16-bit fields
const QString kStd = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000";

void preset(CommunicationProgram& p) {
    p.strKanal = "004";
    p.iAkkuTyp = p.iMode = p.iZellenzahl = p.iProzentwert = p.iFormierZyklen = U;
    p.iWiederholtesLadenEntladen = p.iSelbstentladungsIntervall = U;
    p.iSelbstentladungsIntervalTyp = p.iBleiakkuMode = p.iLiionMode = p.iLadeende = U;
    p.iLademode = p.iQ = p.iU = p.iGalNummer = p.iLadegeraet = U;
    p.lKapazitaet = p.lLadestrom = p.lEntladeStrom = p.lLadeschlussSpannung =
        p.lEntladeschlussSpannung = U;
}

TEST(CommunicationProgramTest, SentinelAnswers) {
    const struct {
        QString text;
        qint16 akkuTyp;
    } cases[] = {
        {"", -2},
        {"-1", -1},
        {"001,M,SK,", -4},
        {"001,M,SA,", -1},
        {"001", -1},
        {"001,P,", -1},
        {"001,P,a05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", -1},
        {"001,P,A5,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", -1},
        {"001,P,A-5,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", -1},
        {kStd + ",", -1}, // from the charger without G: the empty last field fails
        {kStd + ",YH012,", -1},
        {kStd + ",S1,C0,B0,H1,N100,R4,", -1}, // R straight after N
        {kStd + ",S1,C0,B0,H1,N100,G2,", -1}, // G without R
        {kStd + ",S1,C0,B0,H1,N100,O1,U1,Q0,G2,R4,", -1},
        {kStd + ",S1,C0,Bq,H1,N100,G2,R4,", -1},
        {kStd + ",Gx,", -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D0600\x7f,G1,", -1},
        {"001,P,A05,M02,Z06,F1,W30,L99999999999999999999,E00500,V08400,D06000,G1,", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        CommunicationProgram p;
        preset(p);
        QString text = c.text;
        p.splitRecievedString(text, true);
        EXPECT_EQ(p.iAkkuTyp, c.akkuTyp);
    }
}

TEST(CommunicationProgramTest, StandardProgramFromTheCharger) {
    CommunicationProgram p;
    preset(p);
    QString text = kStd + ",G1,";
    p.splitRecievedString(text, true);
    EXPECT_EQ(p.strKanal, "001");
    EXPECT_EQ(std::vector<qint32>({p.iAkkuTyp, p.iMode, p.iZellenzahl, p.iProzentwert,
                                   p.iFormierZyklen, p.iWiederholtesLadenEntladen, p.lKapazitaet,
                                   p.lLadestrom, p.lEntladeStrom, p.lLadeschlussSpannung,
                                   p.lEntladeschlussSpannung, p.iSelbstentladungsIntervall}),
              std::vector<qint32>({5, 2, 6, -3, 1, 30, -3, 1000, 500, 8400, 6000, -3}));
    EXPECT_FALSE(p.bExtendedRecieved);
    EXPECT_EQ(p.iGalNummer, 1);
    EXPECT_EQ(p.iLadegeraet, U); // R is not read

    // A foreign channel code is kept out; the fields still count.
    CommunicationProgram foreign;
    preset(foreign);
    text = "009" + kStd.mid(3) + ",G1,";
    foreign.splitRecievedString(text, true);
    EXPECT_EQ(foreign.strKanal, "004");
    EXPECT_EQ(foreign.iAkkuTyp, 5);

    // The first bad field (W missing) stops the parse, keeping what came before.
    CommunicationProgram cut;
    preset(cut);
    text = "001,P,A05,M02,Z06,F1,L01000,E00500,V08400,D06000,G1,";
    cut.splitRecievedString(text, true);
    EXPECT_EQ(cut.iAkkuTyp, -1);
    EXPECT_EQ(cut.iFormierZyklen, 1);
    EXPECT_EQ(cut.iWiederholtesLadenEntladen, U);
}

TEST(CommunicationProgramTest, StoredProgramEndsWithoutGal) {
    CommunicationProgram p;
    preset(p);
    QString text = kStd;
    p.splitRecievedString(text, false);
    EXPECT_EQ(p.iAkkuTyp, 5);
    EXPECT_EQ(p.iGalNummer, 0);

    CommunicationProgram ext;
    preset(ext);
    text = kStd + ",S1,C1,B2,H1,N120,O1,Q1,U0";
    ext.splitRecievedString(text, false);
    EXPECT_EQ(ext.iAkkuTyp, 5);
    EXPECT_TRUE(ext.bExtendedRecieved);
    EXPECT_TRUE(ext.bOhneLast);
    EXPECT_EQ(ext.iBleiakkuMode, 2);
    EXPECT_EQ(ext.iLadeende, 120);
    EXPECT_EQ(ext.iLademode, 1);
    EXPECT_EQ(ext.iQ, 1);
    EXPECT_EQ(ext.iU, 0);
    EXPECT_EQ(ext.iGalNummer, U);
}

TEST(CommunicationProgramTest, TargetCapacityAndSelfDischarge) {
    const struct {
        const char* y;
        qint16 interval, typ;
    } cases[] = {{"YD007", 7, 1}, {"YH012", 12, 2}, {"YX005", 5, U}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        CommunicationProgram p;
        preset(p);
        QString text = QString("002,P,A01,M01,Z10,P080,F0,W30,K02000,L01000,E01000,V14000,D10000,"
                               "%1,G1,")
                           .arg(c.y);
        p.splitRecievedString(text, true);
        EXPECT_EQ(p.iProzentwert, 80);
        EXPECT_EQ(p.lKapazitaet, 2000);
        EXPECT_EQ(p.iSelbstentladungsIntervall, c.interval);
        EXPECT_EQ(p.iSelbstentladungsIntervalTyp, c.typ);
        EXPECT_EQ(p.iGalNummer, 1);
    }
}

TEST(CommunicationProgramTest, ExtendedAnswers) {
    const struct {
        const char* tail;
        bool locked, ohneLast;
        qint16 lademode, q, u;
    } cases[] = {
        {"S1,C0,B0,H1,N100,G2,R4,", false, false, U, U, U},
        {"S0,C1,B0,H1,N100,G2,R4,", true, true, U, U, U},
        {"S1,C0,B0,H1,N100,O7,Q1,U0,G2,R4,", false, false, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        CommunicationProgram p;
        preset(p);
        QString text = kStd + "," + c.tail;
        p.splitRecievedString(text, true);
        EXPECT_EQ(p.iAkkuTyp, 5);
        EXPECT_TRUE(p.bExtendedRecieved);
        EXPECT_EQ(p.bProgrammierungGesperrt, c.locked);
        EXPECT_EQ(p.bOhneLast, c.ohneLast);
        EXPECT_EQ(p.iLiionMode, 1);
        EXPECT_EQ(p.iLadeende, 100);
        EXPECT_EQ(p.iLademode, c.lademode);
        EXPECT_EQ(p.iQ, c.q);
        EXPECT_EQ(p.iU, c.u);
        EXPECT_EQ(p.iGalNummer, 2);
        EXPECT_EQ(p.iLadegeraet, 4);
    }
}

// ---------------------------------------------------------------- end values

struct EndwertExpect {
    qint16 typ;
    qint32 kap, zeit, spannung, selbst;
    bool withZustand, zustand;
    qint16 prozent;
};

TEST(EntwertListTest, SplitsEndValueAnswers) {
    const struct {
        const char* answer;
        bool list;
        std::vector<EndwertExpect> items;
    } cases[] = {
        {"", false, {}},
        {"-1", false, {}},
        {"001,D,", false, {}},
        {"001,M,SL,K01000,T90,V08400,", false, {}},
        {"001,D,SL,K01000,T90,V08400,", true, {{2, 1000, 90, 8400, -1, false, false, 0}}},
        {"002,D,SE,K00950,T75,V06000,Y00012,X1,P095,",
         true,
         {{3, 950, 75, 6000, 12, true, true, 95}}},
        {"001,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000,",
         true,
         {{2, 1000, 90, 8400, -1, true, false, 0}, {3, 950, 75, 6000, -1, false, false, 0}}},
        {"001,D,SL,K01000,P080,V08400,", true, {{-1, 1000, 0, 8400, -1, false, false, 0}}},
        {"001,D,SX,K01000,T1,V08400,", true, {{0, 1000, 1, 8400, -1, false, false, 0}}},
        {"001,D,SL,K01000,T90,", true, {{-1, 1000, 90, 0, -1, false, false, 0}}},
        // Malformed numbers, signs, overflow, 8-bit bytes, a cut-off list: no list.
        {"001,D,SL,K01000,T,V08400,", false, {}},
        {"001,D,SL,K01000,T-90,V08400,", false, {}},
        {"001,D,SL,K01000,T99999999999,V08400,", false, {}},
        {"001,D,SL,K01000,T90,V0840\xb2,", false, {}},
        {"001,D,SL,K01000,T90,V08400,Y00001,X1,Pabc,", false, {}},
        {"001,D,SL,K01000,T90,V08400,SE,", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        EntwertList list;
        QString text = QString::fromLatin1(c.answer);
        EXPECT_EQ(list.splitRecievedString(text), c.list);
        if (!c.list)
            continue;
        ASSERT_EQ(list.Count(), qint32(c.items.size()));
        for (size_t i = 0; i < c.items.size(); ++i) {
            const auto& e = *list.Item(int(i) + 1);
            const EndwertExpect& x = c.items[i];
            EXPECT_EQ(e.iEndwertTyp, x.typ);
            EXPECT_EQ(e.lKapazitaet, x.kap);
            EXPECT_EQ(e.lZykluszeit, x.zeit);
            EXPECT_EQ(e.lSpannung, x.spannung);
            EXPECT_EQ(e.lSelbstentladung, x.selbst);
            EXPECT_EQ(e.bWithAkkuzustand, x.withZustand);
            EXPECT_EQ(e.bAkkuzustand, x.zustand);
            EXPECT_EQ(e.iProzent, x.prozent);
            EXPECT_EQ(e.strKanal, QString::fromLatin1(c.answer).left(3));
        }
    }
}

TEST(EntwertListTest, ForeignChannelAndValuesBeforeAFault) {
    QStringList fields = QString("009,D,SL,K01000,T90,V08400,").split(',');
    EntwertList foreign;
    ASSERT_TRUE(foreign.evaluateSplitedMembers(fields));
    EXPECT_EQ(foreign.Item(1)->strKanal, "");

    fields = QString("001,D,SL,K01000,T90,V08400,SE,K0x950,T1,V1,").split(',');
    EntwertList cut;
    EXPECT_FALSE(cut.evaluateSplitedMembers(fields));
    EXPECT_EQ(cut.Count(), 1);
}

TEST(EntwertListTest, KeysIgnoreCaseAndIndexesStartAtOne) {
    EntwertList list;
    auto a = std::make_shared<CommunicationEndwert>();
    auto b = std::make_shared<CommunicationEndwert>();
    auto c = std::make_shared<CommunicationEndwert>();
    EXPECT_EQ(list.Add(a), a);
    EXPECT_EQ(list.Add(b, "Key"), b);
    EXPECT_EQ(list.Add(c, "KEY"), nullptr);
    EXPECT_EQ(list.Add(nullptr), nullptr);
    EXPECT_EQ(list.Add(c), c);
    EXPECT_EQ(list.Item("key"), b);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(4), nullptr);
    EXPECT_TRUE(list.Remove("KEY"));
    EXPECT_EQ(list.Item(2), c);
    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.Remove(5));
    EXPECT_EQ(list.Item(1), c);
}

TEST(FormatEndwertLineTest, FixedColumns) {
    const struct {
        int n;
        qint32 kap, spannung, zeit;
        const char* line;
    } cases[] = {
        {1, 1234, 8400, 90, " 1.      1.234     8.400    90"},
        {12, 0, 0, 0, "12.      0.000     0.000     0"},
        // Too wide for their columns: nothing is cut off.
        {123, 1234567, 123456, 12345, "123.     1234.567    123.456  12345"},
        {1, -1500, -1, -5, " 1.     -1.500    -0.001    -5"},
    };
    CommunicationEndwert e;
    for (const auto& c : cases) {
        e.lKapazitaet = c.kap;
        e.lSpannung = c.spannung;
        e.lZykluszeit = c.zeit;
        EXPECT_EQ(formatEndwertLine(c.n, e), QString::fromLatin1(c.line));
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatEndwertLine(1, e), " 1.     -1,500    -0,001    -5");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
