// The shared user data's server: a PostgreSQL server made for this run by
// pg_virtualenv, reached through PGHOST, PGPORT, PGUSER and PGPASSWORD.
#include "data/serverschema.h"
#include "storage/pgconnection.h"

#include <QCoroTask>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

namespace velmara {
namespace {

using Wait = PgConnection::Wait;

// The result of a task, the event loop running until it is there.
template <class T> T run(QCoro::Task<T>&& task) {
    std::optional<T> out;
    QEventLoop loop;
    auto wait = [&]() -> QCoro::Task<> {
        out.emplace(co_await std::move(task));
        loop.quit();
    };
    auto waiting = wait();
    if (!out)
        loop.exec();
    return std::move(*out);
}

std::unique_ptr<PgConnection> connect(const QString& extra = {}) {
    auto opened = run(PgConnection::open(extra));
    EXPECT_TRUE(opened) << opened.error().toStdString();
    return opened ? std::move(*opened) : nullptr;
}

// Each way of not getting in ends with what libpq says, and none hangs.
TEST(Server, RefusedConnectionsSayWhyAndAWaitIsBounded) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    QTcpServer silent; // takes the connection, answers nothing
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const struct {
        QString conninfo;
        const char* says;
    } rows[] = {
        {"password=wrong", "password authentication failed"},
        {QString("host=127.0.0.1 port=%1").arg(closedPort), "Connection refused"},
        {"sslmode=require", "SSL"}, // the test server runs without TLS
        {QString("host=127.0.0.1 port=%1").arg(silent.serverPort()), "did not answer"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.conninfo.toStdString());
        int ticks = 0; // the event loop runs while the connection waits
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(10);
        const auto opened = run(PgConnection::open(row.conninfo, Wait(700)));
        ASSERT_FALSE(opened);
        EXPECT_TRUE(opened.error().contains(row.says)) << opened.error().toStdString();
        if (QString(row.says) == "did not answer") {
            EXPECT_GT(ticks, 20);
        }
    }
}

// Values are bound, never spliced: a name with quotes and one shaped like an
// injection are stored and read back as typed.
TEST(Server, ParametersCarryAnyTextAsIs) {
    auto db = connect();
    ASSERT_TRUE(db);
    ASSERT_TRUE(run(db->exec("CREATE TEMP TABLE t (name text)")));
    const QStringList names{"O'Brien \"Akku\"", "x'); DROP TABLE t; --",
                            QString::fromUtf8("Zelle ä€")};
    for (const QString& name : names)
        ASSERT_TRUE(run(db->exec("INSERT INTO t VALUES ($1)", {name})));
    const auto rows = run(db->exec("SELECT name FROM t"));
    ASSERT_TRUE(rows) << rows.error().toStdString();
    QStringList read;
    for (const auto& row : rows->rows)
        read << row[0].toString();
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, sorted);
    const auto failing = run(db->exec("SELECT * FROM no_such_table"));
    EXPECT_FALSE(failing);
    EXPECT_TRUE(run(db->exec("SELECT 1"))) << "the connection goes on after an error";
}

// The schema in numbered steps: made once, found up to date after, and a
// server with a newer schema is refused untouched.
TEST(Server, SchemaStepsRunOnceAndANewerServerIsRefused) {
    auto db = connect();
    ASSERT_TRUE(db);
    (void)run(db->exec("DROP TABLE IF EXISTS MessWerte, ImportMessReihen, MessReihen, Akkus, "
                       "Programme, Uebernahmen, velmara_schema"));
    auto version = upgradeServerSchema(*db);
    ASSERT_TRUE(version) << version.error().toStdString();
    EXPECT_EQ(*version, 1);
    version = upgradeServerSchema(*db);
    ASSERT_TRUE(version) << version.error().toStdString();
    EXPECT_EQ(*version, 1);
    ASSERT_TRUE(run(db->exec("UPDATE velmara_schema SET version = 9")));
    version = upgradeServerSchema(*db);
    ASSERT_FALSE(version);
    EXPECT_TRUE(version.error().contains("newer")) << version.error().toStdString();
    EXPECT_EQ(serverSchemaVersion(*db).valueOr(0), 9);
}

} // namespace
} // namespace velmara
