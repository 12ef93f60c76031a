// Values recorded while the user data is on a server: queued in the user file
// with the value, shipped in order, once, whatever happens to the network or
// the station in between. Against a real server made for the run by
// pg_virtualenv, reached through a relay the test can cut.
#include "data/schema.h"
#include "data/stores/outboxvaluestore.h"
#include "data/stores/serverstores.h"
#include "data/valueshipper.h"
#include "storage/database.h"
#include "support/empty_server.h"
#include "support/tcp_proxy.h"
#include "support/temp_folder.h"

#include <QTest>
#include <gtest/gtest.h>

namespace velmara {
namespace {

class Shipping : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.session().openUser().ok);
        ASSERT_TRUE(test::emptyServer());
        ServerLine line(QString{});
        m_series = qint32(
            line.number("WITH a AS (INSERT INTO Akkus (AkkuName) VALUES ('P') RETURNING AkkuId) "
                        "INSERT INTO MessReihen (AkkuId, Nummer) SELECT AkkuId, 1 FROM a "
                        "RETURNING MessReiheID")
                .valueOr(0));
        ASSERT_GT(m_series, 0);
        m_key = m_outbox.stationKey().valueOr({});
        ASSERT_EQ(m_key.size(), 32);
    }

    UserFile file() {
        return [this] { return m_tmp.session().user(); };
    }
    std::unique_ptr<ValueShipper> shipper() {
        ShipperOptions options;
        options.conninfo = QString("host=127.0.0.1 port=%1").arg(m_relay.port());
        options.connectWait = PgConnection::Wait(2000);
        options.firstRetry = std::chrono::milliseconds(50);
        options.lastRetry = std::chrono::milliseconds(200);
        options.portion = 7; // several portions for a few values
        return std::make_unique<ValueShipper>(m_outbox, m_key, options);
    }
    // The values of the series on the server, in their order.
    QStringList onServer() {
        QStringList texts;
        const auto rows =
            m_server.run("SELECT MessWertString, EW, Seq FROM MessWerte ORDER BY Seq", {});
        EXPECT_TRUE(rows) << rows.error().toStdString();
        for (const auto& row : rows->rows)
            texts << row[0].toString() + (row[1].toString() == "t" ? "*" : "");
        return texts;
    }
    int inOutbox() {
        return m_tmp.session().user()->scalar("SELECT count(*) FROM ServerAusgang").toInt();
    }

    test::TempProgramFolder m_tmp;
    ServerOutbox m_outbox{file()};
    OutboxValueStore m_values{file()};
    test::TcpProxy m_relay{qEnvironmentVariable("PGHOST"),
                           quint16(qEnvironmentVariableIntValue("PGPORT"))};
    ServerLine m_server{QString{}};
    qint32 m_series = 0;
    QString m_key;
};

// The server away in the middle of a recording: the values wait in the user
// file, the count of waiting values says so, and on its return every value
// arrives once and in order.
TEST_F(Shipping, AnOutageLosesNothingAndKeepsTheOrder) {
    auto ship = shipper();
    m_values.onQueued([&](qint32 s, qint64 n) { ship->queued(s, n); });
    ship->start();
    QStringList expected;
    auto record = [&](int from, int to) {
        for (int i = from; i <= to; ++i) {
            const bool end = i % 10 == 0;
            ASSERT_TRUE(m_values.append(ValueTable::Permanent, m_series, end, QString::number(i)));
            expected << QString::number(i) + (end ? "*" : "");
        }
    };
    record(1, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ship->waiting() == 0; }, 10000));
    EXPECT_EQ(onServer(), expected);

    m_relay.cut();
    record(21, 45);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ship->reachable(); }, 10000));
    EXPECT_EQ(ship->waiting(), 25);
    EXPECT_EQ(ship->waitingFor(m_series), 25);
    EXPECT_FALSE(ship->lastError().isEmpty());
    EXPECT_EQ(inOutbox(), 25);
    EXPECT_EQ(onServer().size(), 20);

    m_relay.join();
    record(46, 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ship->waiting() == 0; }, 10000));
    EXPECT_TRUE(ship->reachable());
    EXPECT_EQ(onServer(), expected);
    EXPECT_EQ(inOutbox(), 0);
}

// The station killed after the server took a portion but before the outbox
// let it go: the next start sends it again, and the server keeps it once.
// A temporary series taken into the series goes the same way, in its order.
TEST_F(Shipping, SentAgainAfterACrashIsStoredOnce) {
    Database& user = *m_tmp.session().user();
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(user.execute("INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) "
                                 "VALUES (9, 0, ?)",
                                 {QString("t%1").arg(i)}));
    ASSERT_TRUE(m_values.adoptTemporarySeries(9, m_series));
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(m_values.append(ValueTable::Permanent, m_series, false, QString::number(i)));
    ASSERT_TRUE(user.execute("CREATE TEMP TABLE kept AS SELECT * FROM ServerAusgang"));
    {
        auto ship = shipper();
        ship->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ship->waiting() == 0; }, 10000));
    }
    ASSERT_EQ(onServer().size(), 15);
    // What the outbox held before the crash is there again, with one new value.
    ASSERT_TRUE(user.execute("INSERT INTO ServerAusgang SELECT * FROM kept"));
    ASSERT_TRUE(m_values.append(ValueTable::Permanent, m_series, false, "13"));
    auto ship = shipper();
    ship->start();
    EXPECT_EQ(ship->waiting(), 16);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ship->waiting() == 0; }, 10000));
    EXPECT_EQ(onServer(), (QStringList{"t1", "t2", "t3", "1", "2", "3", "4", "5", "6", "7", "8",
                                       "9", "10", "11", "12", "13"}));
}

// Values of a series deleted on the server meanwhile do not stop the values
// behind them.
TEST_F(Shipping, ValuesOfADeletedSeriesDoNotBlockTheRest) {
    ASSERT_TRUE(m_values.append(ValueTable::Permanent, m_series + 1000, false, "gone"));
    ASSERT_TRUE(m_values.append(ValueTable::Permanent, m_series, false, "kept"));
    auto ship = shipper();
    ship->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ship->waiting() == 0; }, 10000));
    EXPECT_EQ(onServer(), QStringList{"kept"});
}

} // namespace
} // namespace velmara
