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

// The record starts every case from a state that makes "unchanged" visible.
void preset(CommunicationResults& r) {
    r.strKanal = "004";
    r.iAntwortTyp = 55;
    r.iStatusTyp = 99;
    r.iFehlerCode = 99;
    r.lStrom = 111;
    r.lSpannung = 222;
    r.lKapazitaet = 333;
}

const StatusCase kStatusCases[] = {
    {"", -2, 99, 99, 111, 222, 333, "004"},
    {"   ", -2, 99, 99, 111, 222, 333, "004"},
    {"-1", -1, 99, 99, 111, 222, 333, "004"},
    {"001,M,SA,", 2, 1, 0, 111, 222, 333, "001"},
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
    {"001,m,SA,", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M,sl,", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M,SL,L123456,V07234,K00350,", 2, 2, 0, 23456, 7234, 350, "001"},
    // Bytes the charger never sends.
    {"garbage", -1, 99, 99, 111, 222, 333, "004"},
    {"001", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M", -1, 99, 99, 111, 222, 333, "001"},
    {"001,M,SL,L0150,V07234,K00350,", -1, 2, 0, 111, 222, 333, "001"},
    {"001,M,SL,L-1500,V07234,K00350,", -1, 2, 0, 111, 222, 333, "001"},
    {"001,M,SL,L01500,V07 34,K00350,", -1, 2, 0, 1500, 222, 333, "001"},
    {"001,M,SL,L01500,V07234,K0035\x01,", -1, 2, 0, 1500, 7234, 333, "001"},
    {"001,M,SL,L01500,V07234,K0035\xb3,", -1, 2, 0, 1500, 7234, 333, "001"},
    {"001,M,SL,\xcc"
     "01500,V07234,K00350,",
     -1, 2, 0, 111, 7234, 350, "001"},
    {"001,M,SL,L01500,V07234,K00350", 2, 2, 0, 1500, 7234, 350, "001"},
    {"001,M,SL,L01500,V07234", -1, 2, 0, 1500, 7234, 333, "001"},
    {",,,,,,,", -1, 99, 99, 111, 222, 333, "004"},
};

TEST(CommunicationResultsTest, ParsesEveryKindOfAnswer) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.answer);
        CommunicationResults r;
        preset(r);
        QString text = QString::fromLatin1(c.answer);
        r.splitRecievedString(text);
        EXPECT_EQ(r.iAntwortTyp, c.kind);
        EXPECT_EQ(r.iStatusTyp, c.state);
        EXPECT_EQ(r.iFehlerCode, c.code);
        EXPECT_EQ(r.lStrom, c.strom);
        EXPECT_EQ(r.lSpannung, c.spannung);
        EXPECT_EQ(r.lKapazitaet, c.kapazitaet);
        EXPECT_EQ(r.strKanal, QString::fromLatin1(c.kanal));
    }
}

TEST(CommunicationResultsTest, HandsTheTrimmedTextBack) {
    CommunicationResults r;
    QString text = "  001,M,SA,  ";
    r.splitRecievedString(text);
    EXPECT_EQ(text, "001,M,SA,");
}

TEST(CommunicationResultsTest, ProgramAnswerRaisesProgramChangedAndKeepsTheKind) {
    CommunicationResults r;
    r.iAntwortTyp = 2;
    std::shared_ptr<CommunicationProgram> got;
    int raised = 0;
    QObject::connect(&r, &CommunicationResults::ProgramChanged,
                     [&](std::shared_ptr<CommunicationProgram> p) { got = p, ++raised; });
    QString text = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    r.splitRecievedString(text);
    ASSERT_EQ(raised, 1);
    EXPECT_EQ(r.iAntwortTyp, 2);
    EXPECT_EQ(got->iAkkuTyp, 5);
    EXPECT_EQ(got->iGalNummer, 1);
    EXPECT_EQ(got->strKanal, "001");
}

TEST(CommunicationResultsTest, EndValueAnswerRaisesEndwertRecieved) {
    struct Case {
        const char* answer;
        int count; // items of the list passed on
    };
    const Case cases[] = {
        {"001,D,SL,K01000,T90,V08400,SE,K00950,T75,V06000,", 2},
        {"001,D,SL,K01000,T90,V08400,SE,", 0}, // cut short: an empty list
        {"001,D,", 0},
        {"001,D,SL,K01x00,T90,V08400,", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CommunicationResults r;
        std::shared_ptr<EntwertList> got;
        QObject::connect(&r, &CommunicationResults::EndwertRecieved,
                         [&](std::shared_ptr<EntwertList> l) { got = l; });
        QString text = c.answer;
        r.splitRecievedString(text);
        EXPECT_EQ(r.iAntwortTyp, 3);
        ASSERT_TRUE(got);
        EXPECT_EQ(got->Count(), c.count);
    }
}

// ---------------------------------------------------------------- program record

constexpr qint16 U = 77; // "unchanged" marker for 16-bit fields

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
    struct Case {
        const char* text;
        bool withGal;
        qint16 akkuTyp;
    };
    const Case cases[] = {
        {"", true, -2},
        {"-1", true, -1},
        {"001,M,SK,", true, -4},
        {"001,M,SA,", true, -1},
        {"001,M", true, -1},
        {"001", true, -1},
        {"001,P,a05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", true, -1},
        {"001,P,Axx,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", true, -1},
        {"001,P,A5,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", true, -1},
        {"001,P,A-5,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,", true, -1},
        // Received from the charger without G: the empty last field fails.
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,YH012,", true, -1},
        // Extended: R straight after N, R without G, G without R.
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,B0,H1,N100,R4,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,B0,H1,N100,G2,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,B0,H1,N100,O1,Q0,G2,R4,", true,
         -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,B0,H1,N100,O1,U1,Q0,G2,R4,",
         true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,X1,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,Gx,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,Bq,H1,N100,G2,R4,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,B0,H1,N100", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D0600\x7f,G1,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,YH\xb9\xb9\xb9,G1,", true, -1},
        {"001,P,", true, -1},
        {"001,P,A05,M02,Z06,F1,W30,L99999999999999999999,E00500,V08400,D06000,G1,", true, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CommunicationProgram p;
        QString text = QString::fromLatin1(c.text);
        p.splitRecievedString(text, c.withGal);
        EXPECT_EQ(p.iAkkuTyp, c.akkuTyp);
    }
}

TEST(CommunicationProgramTest, EmptyTextChangesNothingElse) {
    CommunicationProgram p;
    preset(p);
    QString text;
    p.splitRecievedString(text, true);
    EXPECT_EQ(p.iAkkuTyp, -2);
    EXPECT_EQ(p.iMode, U);
    EXPECT_EQ(p.strKanal, "004");
}

TEST(CommunicationProgramTest, StandardProgramFromTheCharger) {
    CommunicationProgram p;
    preset(p);
    QString text = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    p.splitRecievedString(text, true);
    EXPECT_EQ(p.strKanal, "001");
    EXPECT_EQ(p.iAkkuTyp, 5);
    EXPECT_EQ(p.iMode, 2);
    EXPECT_EQ(p.iZellenzahl, 6);
    EXPECT_EQ(p.iProzentwert, -3);
    EXPECT_EQ(p.iFormierZyklen, 1);
    EXPECT_EQ(p.iWiederholtesLadenEntladen, 30);
    EXPECT_EQ(p.lKapazitaet, -3);
    EXPECT_EQ(p.lLadestrom, 1000);
    EXPECT_EQ(p.lEntladeStrom, 500);
    EXPECT_EQ(p.lLadeschlussSpannung, 8400);
    EXPECT_EQ(p.lEntladeschlussSpannung, 6000);
    EXPECT_EQ(p.iSelbstentladungsIntervall, -3);
    EXPECT_FALSE(p.bExtendedRecieved);
    EXPECT_EQ(p.iGalNummer, 1);
    EXPECT_EQ(p.iLadegeraet, U); // R is not read
}

TEST(CommunicationProgramTest, StoredProgramEndsWithoutGal) {
    CommunicationProgram p;
    preset(p);
    QString text = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000";
    p.splitRecievedString(text, false);
    EXPECT_EQ(p.iAkkuTyp, 5);
    EXPECT_EQ(p.iGalNummer, 0);
    EXPECT_EQ(p.iSelbstentladungsIntervall, -3);

    CommunicationProgram ext;
    preset(ext);
    text = "001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C1,B2,H1,N120,O1,Q1,U0";
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
    struct Case {
        const char* y;
        qint16 interval, typ;
    };
    const Case cases[] = {{"YD007", 7, 1}, {"YH012", 12, 2}, {"YX005", 5, U}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        CommunicationProgram p;
        preset(p);
        QString text = QString("002,P,A01,M01,Z10,P080,F0,W30,K02000,L01000,E01000,V14000,D10000,"
                               "%1,G1,")
                           .arg(c.y);
        p.splitRecievedString(text, true);
        EXPECT_EQ(p.iAkkuTyp, 1);
        EXPECT_EQ(p.iProzentwert, 80);
        EXPECT_EQ(p.lKapazitaet, 2000);
        EXPECT_EQ(p.iSelbstentladungsIntervall, c.interval);
        EXPECT_EQ(p.iSelbstentladungsIntervalTyp, c.typ);
        EXPECT_EQ(p.iGalNummer, 1);
    }
}

TEST(CommunicationProgramTest, ExtendedAnswers) {
    struct Case {
        const char* tail;
        bool locked, ohneLast;
        qint16 lademode, q, u;
    };
    const Case cases[] = {
        {"S1,C0,B0,H1,N100,G2,R4,", false, false, U, U, U},
        {"S0,C1,B0,H1,N100,G2,R4,", true, true, U, U, U},
        {"S7,C0,B0,H1,N100,G2,R4,", true, false, U, U, U},
        {"S1,C0,B0,H1,N100,O1,Q0,U1,G2,R4,", false, false, 1, 0, 1},
        {"S1,C0,B0,H1,N100,O7,Q1,U0,G2,R4,", false, false, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        CommunicationProgram p;
        preset(p);
        QString text =
            QString("001,P,A01,M01,Z10,F0,W30,L01000,E01000,V14000,D10000,%1").arg(c.tail);
        p.splitRecievedString(text, true);
        EXPECT_EQ(p.iAkkuTyp, 1);
        EXPECT_TRUE(p.bExtendedRecieved);
        EXPECT_EQ(p.bProgrammierungGesperrt, c.locked);
        EXPECT_EQ(p.bOhneLast, c.ohneLast);
        EXPECT_EQ(p.iBleiakkuMode, 0);
        EXPECT_EQ(p.iLiionMode, 1);
        EXPECT_EQ(p.iLadeende, 100);
        EXPECT_EQ(p.iLademode, c.lademode);
        EXPECT_EQ(p.iQ, c.q);
        EXPECT_EQ(p.iU, c.u);
        EXPECT_EQ(p.iGalNummer, 2);
        EXPECT_EQ(p.iLadegeraet, 4);
    }
}

TEST(CommunicationProgramTest, StopsAtTheFirstBadFieldKeepingWhatCameBefore) {
    CommunicationProgram p;
    preset(p);
    QString text = "001,P,A05,M02,Z06,F1,L01000,E00500,V08400,D06000,G1,";
    p.splitRecievedString(text, true);
    EXPECT_EQ(p.iAkkuTyp, -1);
    EXPECT_EQ(p.iMode, 2);
    EXPECT_EQ(p.iZellenzahl, 6);
    EXPECT_EQ(p.iFormierZyklen, 1);
    EXPECT_EQ(p.iWiederholtesLadenEntladen, U);
    EXPECT_EQ(p.lLadestrom, U);
}

TEST(CommunicationProgramTest, ForeignChannelCodeIsKeptOut) {
    CommunicationProgram p;
    preset(p);
    QString text = "009,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    p.splitRecievedString(text, true);
    EXPECT_EQ(p.strKanal, "004");
    EXPECT_EQ(p.iAkkuTyp, 5); // the battery type overwrites the mark, as the channel window expects
}

// ---------------------------------------------------------------- end values

struct EndwertExpect {
    qint16 typ;
    qint32 kap, zeit, spannung, selbst;
    bool withZustand, zustand;
    qint16 prozent;
};

TEST(EntwertListTest, SplitsEndValueAnswers) {
    struct Case {
        const char* answer;
        bool list;
        std::vector<EndwertExpect> items;
    };
    const std::vector<Case> cases = {
        {"", false, {}},
        {"-1", false, {}},
        {"001,D,", false, {}},
        {"001,D,SL,", false, {}},
        {"001,M,SL,K01000,T90,V08400,", false, {}},
        {"001,D,SL,K01000,T90,V08400,", true, {{2, 1000, 90, 8400, -1, false, false, 0}}},
        {"002,D,SE,K00950,T75,V06000,Y00012,X1,P095,",
         true,
         {{3, 950, 75, 6000, 12, true, true, 95}}},
        {"001,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000,",
         true,
         {{2, 1000, 90, 8400, -1, true, false, 0}, {3, 950, 75, 6000, -1, false, false, 0}}},
        {"001,D,SL,K01000,P080,V08400,", true, {{-1, 1000, 0, 8400, -1, false, false, 0}}},
        {"001,D,SL,K01000,T12345,V08400,", true, {{2, 1000, 12345, 8400, -1, false, false, 0}}},
        {"001,D,SX,K01000,T1,V08400,", true, {{0, 1000, 1, 8400, -1, false, false, 0}}},
        {"001,D,SL,K01000,T90,", true, {{-1, 1000, 90, 0, -1, false, false, 0}}},
        // Malformed numbers, signs, overflow, control and 8-bit bytes: no list.
        {"001,D,SL,K01000,T,V08400,", false, {}},
        {"001,D,SL,K01000,T-90,V08400,", false, {}},
        {"001,D,SL,K01000,T99999999999,V08400,", false, {}},
        {"001,D,SL,K0100\x02,T90,V08400,", false, {}},
        {"001,D,SL,K01000,T90,V0840\xb2,", false, {}},
        {"001,D,SL,K01000,T90,V08400,Y0001x,", false, {}},
        {"001,D,SL,K01000,T90,V08400,Y00001,X1,Pabc,", false, {}},
        {"001,D,SL,K01000,T90,V08400,SE,", false, {}},
    };
    for (const Case& c : cases) {
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

TEST(EntwertListTest, ForeignChannelCodeGivesEmptyChannel) {
    QStringList fields = QString("009,D,SL,K01000,T90,V08400,").split(',');
    EntwertList list;
    ASSERT_TRUE(list.evaluateSplitedMembers(fields));
    EXPECT_EQ(list.Item(1)->strKanal, "");
}

TEST(EntwertListTest, ValuesBeforeAFaultStayInTheList) {
    QStringList fields = QString("001,D,SL,K01000,T90,V08400,SE,K0x950,T1,V1,").split(',');
    EntwertList list;
    EXPECT_FALSE(list.evaluateSplitedMembers(fields));
    EXPECT_EQ(list.Count(), 1);
}

TEST(EntwertListTest, CollectionOperations) {
    EntwertList list;
    auto a = std::make_shared<CommunicationEndwert>();
    auto b = std::make_shared<CommunicationEndwert>();
    auto c = std::make_shared<CommunicationEndwert>();
    EXPECT_EQ(list.Add(a), a);
    EXPECT_EQ(list.Add(b, "Key"), b);
    EXPECT_EQ(list.Add(c, "KEY"), nullptr); // keys are unique regardless of case
    EXPECT_EQ(list.Add(nullptr), nullptr);
    EXPECT_EQ(list.Add(c), c);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(1), a);
    EXPECT_EQ(list.Item("key"), b);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(4), nullptr);
    EXPECT_EQ(list.Item("none"), nullptr);
    std::vector<EntwertList::Item_t> order(list.begin(), list.end());
    EXPECT_EQ(order, (std::vector<EntwertList::Item_t>{a, b, c}));
    EXPECT_TRUE(list.Remove("KEY"));
    EXPECT_FALSE(list.Remove("KEY"));
    EXPECT_EQ(list.Item(2), c);
    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.Remove(5));
    EXPECT_EQ(list.Item(1), c);
    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0);
}

TEST(FormatEndwertLineTest, FixedColumns) {
    struct Case {
        int n;
        qint32 kap, spannung, zeit;
        const char* line;
    };
    const Case cases[] = {
        {1, 1234, 8400, 90, " 1.      1.234     8.400    90"},
        {12, 0, 0, 0, "12.      0.000     0.000     0"},
        {3, 99999, 99999, 9999, " 3.     99.999    99.999  9999"},
        // Too wide for their columns: nothing is cut off.
        {123, 1234567, 123456, 12345, "123.     1234.567    123.456  12345"},
        {1, -1500, -1, -5, " 1.     -1.500    -0.001    -5"},
    };
    for (const Case& c : cases) {
        CommunicationEndwert e;
        e.lKapazitaet = c.kap;
        e.lSpannung = c.spannung;
        e.lZykluszeit = c.zeit;
        EXPECT_EQ(formatEndwertLine(c.n, e), QString::fromLatin1(c.line));
    }
    CommunicationEndwert e;
    e.lKapazitaet = 1234;
    e.lSpannung = 8400;
    e.lZykluszeit = 90;
    EXPECT_EQ(formatEndwertLine(1, e).size(), 30);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatEndwertLine(1, e), " 1.      1,234     8,400    90");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
