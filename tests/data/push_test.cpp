// velmara-db push against a PostgreSQL server made for the run by
// pg_virtualenv: a user file copied row for row and only once, names another
// station holds left alone, nothing half-written when the server refuses.
#include "data/serverschema.h"
#include "data/stores/batteryrecords.h"
#include "data/stores/programstore.h"
#include "data/stores/serverline.h"
#include "data/stores/valuestore.h"
#include "push.h"
#include "storage/database.h"
#include "storage/pgconnection.h"
#include "support/empty_server.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

// Failures show texts as text.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace velmara {
namespace {

const QString kOdd = "O'Brien \"A\"; DROP TABLE Akkus; --";

struct PushRun {
    int status;
    QString out, err;
};

PushRun push(const QString& folder, const QString& conninfo = {}) {
    PushRun run;
    {
        QTextStream out(&run.out), err(&run.err);
        run.status = pushUserFile(folder, conninfo, out, err);
    } // the streams write what they hold
    return run;
}

// The rows of a query on the server, columns joined by '|'.
QStringList serverRows(const QString& sql) {
    const auto rows = ServerLine(QString{}).run(sql);
    EXPECT_TRUE(rows) << rows.error().toStdString();
    QStringList out;
    for (const auto& row : rows ? rows->rows : QList<QList<QVariant>>{}) {
        QStringList cells;
        for (const QVariant& cell : row)
            cells << cell.toString();
        out << cells.join('|');
    }
    return out;
}

// How many batteries, series, values, programs and notes of pushed rows.
QString held() {
    if (serverRows("SELECT to_regclass('velmara_schema') IS NULL") == QStringList{"t"})
        return "no schema";
    return serverRows("SELECT (SELECT count(*) FROM Akkus), (SELECT count(*) FROM MessReihen), "
                      "(SELECT count(*) FROM MessWerte), (SELECT count(*) FROM Programme), "
                      "(SELECT count(*) FROM Uebernahmen)")
        .value(0);
}

// Each series: battery, number, whether Seq runs 1..n, its values by Seq (* an end value).
QStringList serverValues() {
    return serverRows("SELECT a.AkkuName, r.Nummer, count(w.Seq) = COALESCE(max(w.Seq), 0), "
                      "COALESCE(string_agg(w.MessWertString || CASE WHEN w.EW THEN '*' ELSE '' "
                      "END, ',' ORDER BY w.Seq), '') FROM MessReihen r JOIN Akkus a USING "
                      "(AkkuId) LEFT JOIN MessWerte w USING (MessReiheID) GROUP BY r.MessReiheID, "
                      "a.AkkuName, r.Nummer ORDER BY r.MessReiheID");
}

// No tables; with then (not null) the schema, and then run on it.
void emptyServer(const QString& then = {}) {
    ASSERT_TRUE(test::emptyServer(!then.isNull()));
    if (!then.isEmpty()) {
        ASSERT_TRUE(ServerLine(QString{}).run(then));
    }
}

// A user file with two batteries (series stored out of number order), ordinary
// and end values, a series of three portions, and two programs.
class Push : public ::testing::Test {
protected:
    void SetUp() override {
        Session& s = m_tmp.session();
        ASSERT_TRUE(s.openMaster().ok && s.openStores() && s.openUser().ok);
        s.setSetting("StationName", "Bench 1");
        for (int i = 0; i < 10000; ++i)
            m_long << QString("v%1").arg(i) + (i % 1000 == 999 ? "*" : "");
        BatteryRecords& records = s.fileStores().batteries();
        auto add = [&](qint32 battery, int number, int channel, const QStringList& values) {
            const auto id = records.insertSeries(
                {battery, number, "s" + QString::number(number), "2024-03-01", "P", "M", channel});
            for (QString v : values) {
                const bool end = v.endsWith('*');
                v.chop(end ? 1 : 0);
                EXPECT_TRUE(s.fileStores().values().append(ValueTable::Permanent, *id, end, v));
            }
        };
        ASSERT_TRUE(records.inOneStep([&]() -> Result<void> {
            const qint32 odd = *records.insertBattery(kOdd, "r1");
            const qint32 pack = *records.insertBattery("Pack 2", "");
            add(pack, 2, 0, {});
            add(pack, 1, 1, {"a", "b*", "last"});
            add(odd, 1, 2, {"1;4.1", "2;4.2", "E1*", "3;4.3", "E2*"});
            add(odd, 2, 3, m_long);
            return {};
        }));
        // A series from before stations, and one another station recorded.
        ASSERT_TRUE(s.user()->execute("UPDATE MessReihen SET Station = NULL WHERE Kanal = 2"));
        ASSERT_TRUE(s.user()->execute("UPDATE MessReihen SET Station = 'Bench 7' WHERE Kanal = 3"));
        s.setSetting("StationName", "Bench 3");
        ASSERT_TRUE(s.fileStores().programs().insert("Li 4S", "a=1") &&
                    s.fileStores().programs().insert("NiMH", "b'; --"));
    }

    test::TempProgramFolder m_tmp;
    QStringList m_long;
};

TEST_F(Push, CopiesEveryRowAndASecondPushAddsNothing) {
    emptyServer();
    const PushRun first = push(m_tmp.path());
    EXPECT_EQ(first.status, PushDone) << first.err.toStdString();
    EXPECT_EQ(first.out, "battery 1/2 \"" + kOdd +
                             "\": 2 series, 10005 values\n"
                             "battery 2/2 \"Pack 2\": 2 series, 3 values\n"
                             "pushed 2 batteries, 4 series, 10008 values, 2 programs; "
                             "0 already on the server; 0 skipped\n");
    EXPECT_EQ(serverRows("SELECT AkkuName, bemerkung FROM Akkus ORDER BY AkkuId"),
              (QStringList{kOdd + "|r1", "Pack 2|"}));
    EXPECT_EQ(serverRows("SELECT Nummer, bemerkung, Datum, Programm, Mode, Station, Kanal "
                         "FROM MessReihen ORDER BY MessReiheID"),
              (QStringList{"1|s1|2024-03-01|P|M|Bench 3|2", "2|s2|2024-03-01|P|M|Bench 7|3",
                           "1|s1|2024-03-01|P|M|Bench 1|1", "2|s2|2024-03-01|P|M|Bench 1|"}));
    EXPECT_EQ(serverValues(), (QStringList{kOdd + "|1|t|1;4.1,2;4.2,E1*,3;4.3,E2*",
                                           kOdd + "|2|t|" + m_long.join(','),
                                           "Pack 2|1|t|a,b*,last", "Pack 2|2|t|"}));
    EXPECT_EQ(serverRows("SELECT Bez, Daten FROM Programme ORDER BY ProgrammID"),
              (QStringList{"Li 4S|a=1", "NiMH|b'; --"}));

    const PushRun again = push(m_tmp.path());
    EXPECT_EQ(again.status, PushDone) << again.err.toStdString();
    EXPECT_TRUE(again.out.endsWith("pushed 0 batteries, 0 series, 0 values, 0 programs; "
                                   "4 already on the server; 0 skipped\n"));
    EXPECT_EQ(held(), "2|4|10008|2|4");
}

// A battery and a program (letter case aside) of the same names that another
// station put there stay as they are; the rest goes.
TEST_F(Push, NamesAnotherStationHoldsAreSkipped) {
    emptyServer("WITH a AS (INSERT INTO Akkus (AkkuName, bemerkung) VALUES ('Pack 2', 'theirs') "
                "RETURNING AkkuId), r AS (INSERT INTO MessReihen (AkkuId, Nummer) SELECT AkkuId, "
                "1 FROM a RETURNING MessReiheID) INSERT INTO MessWerte (MessReiheID, Seq, "
                "MessWertString) SELECT MessReiheID, 1, 'x' FROM r; "
                "INSERT INTO Programme (Bez, Daten) VALUES ('nimh', 'theirs')");
    const PushRun run = push(m_tmp.path());
    EXPECT_EQ(run.status, PushSkippedClashes);
    EXPECT_TRUE(run.err.contains("battery \"Pack 2\" exists on the server: skipped"));
    EXPECT_TRUE(run.err.contains("program \"NiMH\" exists on the server: skipped"));
    EXPECT_EQ(serverRows("SELECT AkkuName, bemerkung FROM Akkus ORDER BY AkkuId"),
              (QStringList{"Pack 2|theirs", kOdd + "|r1"}));
    EXPECT_EQ(serverValues().value(0), "Pack 2|1|t|x");
    EXPECT_EQ(serverRows("SELECT Bez, Daten FROM Programme ORDER BY ProgrammID"),
              (QStringList{"nimh|theirs", "Li 4S|a=1"}));
    EXPECT_EQ(held(), "2|3|10006|2|2");
}

// Unreachable, a newer schema, a statement failing in the second battery:
// exit 1 with the server's word, and of the battery it was at, nothing.
TEST_F(Push, ARefusingServerGetsNothingHalfWritten) {
    const struct {
        const char* conninfo;
        QString server; // null: no schema
        const char* says;
        const char* held;
    } rows[] = {
        {"host=127.0.0.1 port=1", QString(), "refused", "no schema"},
        {"", "UPDATE velmara_schema SET version = 9", "newer version", "0|0|0|0|0"},
        {"",
         "CREATE OR REPLACE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF "
         "NEW.MessWertString = 'last' THEN RAISE 'no room'; END IF; RETURN NEW; END $$; CREATE "
         "TRIGGER refuse BEFORE INSERT ON MessWerte FOR EACH ROW EXECUTE FUNCTION refuse()",
         "no room", "1|2|10005|2|3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.says);
        emptyServer(row.server);
        const PushRun run = push(m_tmp.path(), row.conninfo);
        EXPECT_EQ(run.status, PushFailed);
        EXPECT_TRUE(run.err.contains(row.says)) << run.err.toStdString();
        EXPECT_EQ(held(), row.held);
    }
}

} // namespace
} // namespace velmara
