// The storage layer: dialect translation, opening keyed files, statements, transactions and
// the record sets (find, editing, lazy loading).
#include "storage/database.h"
#include "storage/recordset.h"
#include "storage/sqlitevalue.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <unistd.h>

using namespace velmara;

namespace {

const QString kConnect = QStringLiteral("MS Access;PWD=kq'z --");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("test.mdb");
        QString error;
        m_db = Database::open(m_path, kConnect, &error, false);
        ASSERT_TRUE(m_db) << error.toStdString();
        ASSERT_TRUE(m_db->execute(
            "CREATE TABLE MessWerte (MessWertId INTEGER PRIMARY KEY AUTOINCREMENT, "
            "MessReiheID INTEGER, EW INTEGER, MessWertString TEXT);"
            "CREATE TABLE Optionen (key TEXT, value TEXT);"
            "INSERT INTO Optionen VALUES ('UsedLanguage', 'de'), ('UsedCharger', 'QMT1');"
            "CREATE TABLE GeraeteModi (ModusNr INTEGER, Name TEXT, Usable INTEGER, Rem TEXT);"
            "INSERT INTO GeraeteModi VALUES (1, 'Laden', 1, NULL), (6, 'Entladen', 0, 'x'),"
            " (12, 'Äpfel', 1, 'it''s'), (3, 'laden', 1, NULL), (20, 'Formieren', 0, 'y');"))
            << m_db->lastError().toStdString();
    }

    // Adds a measured value through rs and returns its key.
    qint64 addValue(Recordset& rs, int series, const QString& text, bool endValue = false) {
        rs.addNew();
        rs.setValue("MessReiheID", series);
        rs.setValue("EW", endValue);
        rs.setValue("MessWertString", text);
        EXPECT_TRUE(rs.update()) << rs.lastError().toStdString();
        return rs.lastModified().toLongLong();
    }

    QTemporaryDir m_dir{test::testTempRoot() + "/storage-XXXXXX"};
    QString m_path;
    std::unique_ptr<Database> m_db;
};

// --- dialect --------------------------------------------------------------------------------

// A wrong translation deletes, changes or reads other rows than meant.
TEST(JetSql, TranslatesTheProgramsDialect) {
    const struct {
        const char* jet;
        const char* native;
    } cases[] = {
        {"DELETE * FROM MessWerte WHERE MessReiheID=5",
         "DELETE FROM MessWerte WHERE MessReiheID=5"},
        {"DELETE [Mess Werte].* FROM [Mess Werte]", "DELETE FROM \"Mess Werte\""},
        {"SELECT * FROM A WHERE Usable=True AND EW = false",
         "SELECT * FROM A WHERE Usable=1 AND EW = 0"},
        {"SELECT TrueValue, T.True, Falsely FROM T", "SELECT TrueValue, T.True, Falsely FROM T"},
        {"SELECT [it's], [a\"b] FROM T", "SELECT \"it's\", \"a\"\"b\" FROM T"},
        // Quoted text and comments stay as they are.
        {"UPDATE T SET a='DELETE * FROM x [y] True'", "UPDATE T SET a='DELETE * FROM x [y] True'"},
        {"UPDATE T SET a='it''s True', b=\"[x]\"", "UPDATE T SET a='it''s True', b=\"[x]\""},
        {"/* 'True' */ True", "/* 'True' */ 1"},
        {"SELECT a -- it's [x True\nFROM T WHERE b=True",
         "SELECT a -- it's [x True\nFROM T WHERE b=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translateJetSql(c.jet).toStdString(), c.native) << c.jet;
}

TEST(JetSql, PasswordOfConnectString) {
    EXPECT_EQ(Database::passwordOf("MS Access; Pwd =a=b;x=y"), "a=b");
    EXPECT_EQ(Database::passwordOf("MS Access"), "");
}

// --- opening --------------------------------------------------------------------------------

TEST_F(StorageTest, WrongKeyOrNoDatabaseFailsAndLeavesTheFileAlone) {
    m_db.reset();
    const QString junk = m_dir.filePath("junk.mdb");
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    const QByteArray before = fileBytes(m_path);
    ASSERT_FALSE(before.isEmpty());
    EXPECT_FALSE(before.startsWith("SQLite format 3")); // the file is really keyed

    const struct {
        QString path;
        QString connect;
    } cases[] = {
        {m_path, "MS Access;PWD=wrong"},
        {m_path, "MS Access"},
        {m_path, "MS Access;PWD=kq"}, // the password ends at its quote nowhere
        {m_path, "MS Access;PWD=KQ'Z --"},
        {junk, kConnect},
        {m_dir.filePath("missing.mdb"), kConnect}, // must exist: not created either
    };
    for (const auto& c : cases) {
        const QByteArray original = fileBytes(c.path);
        QString error;
        EXPECT_FALSE(Database::open(c.path, c.connect, &error)) << c.connect.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(fileBytes(c.path), original) << c.path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(m_dir.filePath("missing.mdb")));
    auto again = Database::open(m_path, kConnect);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->scalar("SELECT value FROM Optionen WHERE key='UsedCharger'").toString(),
              "QMT1");
}

TEST_F(StorageTest, WriteOnFileLockedByAnotherWriterFailsInsteadOfHanging) {
    auto other = Database::open(m_path, kConnect);
    ASSERT_TRUE(other);
    QElapsedTimer timer;
    timer.start();
    bool secondFailed = false;
    EXPECT_TRUE(m_db->transaction([&] {
        m_db->execute("INSERT INTO Optionen VALUES ('a', 'b')");
        secondFailed = !other->execute("INSERT INTO Optionen VALUES ('c', 'd')");
        return true;
    }));
    EXPECT_TRUE(secondFailed);
    EXPECT_FALSE(other->lastError().isEmpty());
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(other->scalar("SELECT count(*) FROM Optionen").toInt(), 3);
}

// --- statements and transactions -------------------------------------------------------------

// Bound values are never read as statement text; a failing statement changes nothing.
TEST_F(StorageTest, BoundValuesStayValuesAndFailingStatementsChangeNothing) {
    const QString tricky = "it's' OR '1'='1";
    EXPECT_TRUE(m_db->execute("INSERT INTO Optionen VALUES (?, ?)", {tricky, "v"}));
    EXPECT_EQ(m_db->scalar("SELECT count(*) FROM Optionen WHERE key = ?", {"it's"}).toInt(), 0);
    EXPECT_EQ(m_db->scalar("SELECT value FROM Optionen WHERE key = ?", {tricky}).toString(), "v");
    const struct {
        const char* sql;
        QVariantList values;
    } failing[] = {
        {"INSERT INTO Optionen VALUES ('x', '1'); INSERT INTO Nowhere VALUES (1)", {}},
        {"DELETE * FROM Optionen; SELEKT 1", {}},
        {"UPDATE Optionen SET value='z'; INSERT INTO Optionen VALUES (1, 2, 3)", {}},
        {"INSERT INTO Optionen VALUES (?, ?)", {"too few values"}},
    };
    for (const auto& c : failing) {
        EXPECT_FALSE(c.values.isEmpty() ? m_db->execute(c.sql) : m_db->execute(c.sql, c.values))
            << c.sql;
        EXPECT_FALSE(m_db->lastError().isEmpty());
        EXPECT_EQ(m_db->scalar("SELECT count(*) FROM Optionen WHERE value<>'z'").toInt(), 3)
            << c.sql;
    }
}

TEST_F(StorageTest, TransactionCommitsOrRollsBack) {
    auto count = [&] { return m_db->scalar("SELECT count(*) FROM Optionen").toInt(); };
    EXPECT_FALSE(m_db->transaction([&] {
        m_db->execute("INSERT INTO Optionen VALUES ('a', '1')");
        return false;
    }));
    EXPECT_EQ(count(), 2);
    // A failing statement rolls the whole transaction back even when fn says yes.
    EXPECT_FALSE(m_db->transaction([&] {
        m_db->execute("INSERT INTO Optionen VALUES ('a', '1')");
        m_db->execute("INSERT INTO Nowhere VALUES (1)");
        return true;
    }));
    EXPECT_EQ(count(), 2);
    // Nested: the inner one is undone, the outer one kept.
    EXPECT_TRUE(m_db->transaction([&] {
        m_db->execute("INSERT INTO Optionen VALUES ('outer', '1')");
        EXPECT_FALSE(m_db->transaction([&] {
            m_db->execute("INSERT INTO Optionen VALUES ('inner', '1')");
            return false;
        }));
        return true;
    }));
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(m_db->scalar("SELECT count(*) FROM Optionen WHERE key='inner'").toInt(), 0);
}

// --- record sets ------------------------------------------------------------------------------

TEST_F(StorageTest, IdsAscendAndNewRowIsCurrentWithItsKey) {
    auto rs = m_db->openRecordset("SELECT * FROM MessWerte");
    ASSERT_TRUE(rs->isUpdatable()) << rs->error().toStdString();
    qint64 previous = 0;
    for (int i = 0; i < 3; ++i) {
        const qint64 id = addValue(*rs, 1, QString("v%1").arg(i), i == 2);
        EXPECT_GT(id, previous);
        previous = id;
        EXPECT_EQ(rs->value("messwertID").toLongLong(), id);
    }
    EXPECT_EQ(rs->value("EW").toInt(), 1); // a bool is written as 1/0
    EXPECT_EQ(m_db->scalar("SELECT typeof(EW) || EW FROM MessWerte WHERE MessWertId=1").toString(),
              "integer0");
    EXPECT_EQ(rs->recordCount(), 3);
}

TEST_F(StorageTest, DeleteLoopRemovesEveryRow) {
    auto rs = m_db->openRecordset("SELECT * FROM GeraeteModi WHERE Usable = True");
    int removed = 0;
    while (!rs->isEOF()) {
        ASSERT_TRUE(rs->remove());
        ++removed;
        rs->moveNext();
    }
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(m_db->scalar("SELECT count(*) FROM GeraeteModi").toInt(), 2);
}

// A value found by is never read as a pattern: quotes, wildcards and brackets match only
// themselves, texts match without regard to letter case.
TEST_F(StorageTest, FindByFieldAndValueTakesTheValueAsItIs) {
    // Rows that a wildcard or set would match come before the row meant.
    ASSERT_TRUE(m_db->execute(
        "DELETE * FROM Optionen; INSERT INTO Optionen VALUES ('axb', 'x'), ('a%b', 'percent'),"
        " ('a_b', 'underscore'), ('it''s', 'quote'), ('x', 'plain'), ('[x]', 'brackets'),"
        " ('a]b', 'close'), ('Äpfel', 'umlaut'), ('0800', 'zero'), ('800', 'number');"));
    auto rs = m_db->openRecordset("SELECT key AS [the key], value FROM Optionen");
    const struct {
        const char* key;
        const char* value; // "" when no row matches
    } cases[] = {
        {"a%b", "percent"},  {"a_b", "underscore"},
        {"A*B", ""},         {"a?b", ""},
        {"it's", "quote"},   {"IT'S", "quote"},
        {"[x]", "brackets"}, {"a]b", "close"},
        {"äPFEL", "umlaut"}, {"Apfel", ""},
        {"0800", "zero"},    {"800", "number"},
        {"' OR 'a'='a", ""}, {"", ""},
    };
    for (const auto& c : cases) {
        rs->moveFirst();
        const bool found = rs->findFirstEqual("The Key", QString::fromUtf8(c.key));
        EXPECT_EQ(found, *c.value != 0) << c.key;
        EXPECT_EQ(rs->noMatch(), !found) << c.key;
        // On no match the set stays on its first row.
        EXPECT_EQ(rs->text("value").toStdString(), found ? c.value : "x") << c.key;
    }

    // Numbers equal numbers, and a text that reads as a number does too ("[ModusNr]='6'").
    auto modes = m_db->openRecordset("SELECT * FROM GeraeteModi");
    ASSERT_TRUE(modes->findFirstEqual("ModusNr", "6"));
    EXPECT_EQ(modes->text("Name"), "Entladen");
    ASSERT_TRUE(modes->findFirstEqual("modusnr", 12.0));
    EXPECT_EQ(modes->text("Name"), "Äpfel");
    ASSERT_TRUE(modes->findFirstEqual({{"Name", "LADEN"}, {"ModusNr", qint64(3)}}));
    EXPECT_EQ(modes->text("Name"), "laden");
    EXPECT_FALSE(modes->findFirstEqual({{"Name", "Laden"}, {"Usable", false}}));
    EXPECT_FALSE(modes->findFirstEqual("Rem", QVariant())); // null equals nothing
    EXPECT_TRUE(modes->lastError().isEmpty());
    EXPECT_FALSE(modes->findFirstEqual("Nowhere", 1));
    EXPECT_TRUE(modes->noMatch());
    EXPECT_FALSE(modes->lastError().isEmpty());
}

TEST_F(StorageTest, AddingToAnUnreadBigSetDoesNotReadIt) {
    ASSERT_TRUE(m_db->execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                              "WHERE i < 200000) INSERT INTO MessWerte (MessReiheID, EW, "
                              "MessWertString) SELECT i / 1000, 0, 'w' || i FROM n"));
    auto rs = m_db->openRecordset("SELECT * FROM MessWerte");
    EXPECT_FALSE(rs->isLoaded());
    const qint64 id = addValue(*rs, 999, "new");
    EXPECT_EQ(id, 200001);
    EXPECT_EQ(rs->text("MessWertString"), "new");
    EXPECT_FALSE(rs->isLoaded());

    // Reading the rows later keeps the added row once, last and current.
    EXPECT_EQ(rs->recordCount(), 200001);
    EXPECT_EQ(rs->value("MessWertId").toLongLong(), id);
    rs->moveNext();
    EXPECT_TRUE(rs->isEOF());
    rs->moveFirst();
    EXPECT_EQ(rs->text("MessWertString"), "w1");
}

// Sets on one table can be changed; names, literals and comments that hold FROM, commas or
// quotes do not hide the table or invent a second one.
TEST_F(StorageTest, SetsOnOneTableCanBeChanged) {
    ASSERT_TRUE(m_db->execute("CREATE TABLE [it's, FROM] (a TEXT); INSERT INTO [it's, FROM] "
                              "VALUES ('old')"));
    const struct {
        const char* sql;
        bool updatable;
    } cases[] = {
        {"SELECT /* FROM Nowhere, x */ * FROM GeraeteModi", true},
        {"SELECT Name, 'a FROM b, c' AS t FROM GeraeteModi -- , Optionen", true},
        {"SELECT a FROM [it's, FROM] AS [x y]", true},
        {"SELECT count(*) FROM GeraeteModi", false},
        {"SELECT * FROM GeraeteModi, Optionen", false},
        {"SELECT Name FROM GeraeteModi UNION SELECT key FROM Optionen", false},
    };
    for (const auto& c : cases) {
        auto rs = m_db->openRecordset(c.sql);
        ASSERT_TRUE(rs->isValid()) << c.sql << ": " << rs->error().toStdString();
        EXPECT_EQ(rs->isUpdatable(), c.updatable) << c.sql;
    }
    // Writing through an alias in any letter case reaches the table's column.
    auto rs = m_db->openRecordset("SELECT a AS Bez FROM [it's, FROM] AS [x y]");
    rs->edit();
    rs->setValue("bez", "new");
    ASSERT_TRUE(rs->update()) << rs->lastError().toStdString();
    EXPECT_EQ(rs->text("Bez"), "new");
    EXPECT_EQ(m_db->scalar("SELECT a FROM [it's, FROM]").toString(), "new");
    // The row deleted meanwhile: the write fails instead of reporting success.
    ASSERT_TRUE(m_db->execute("DELETE FROM [it's, FROM]"));
    rs->edit();
    rs->setValue("bez", "lost");
    EXPECT_FALSE(rs->update());
    rs->edit();
    rs->setValue("Nowhere", 1);
    EXPECT_FALSE(rs->lastError().isEmpty());
}

TEST_F(StorageTest, JoinedSetIsReadOnly) {
    ASSERT_TRUE(m_db->execute("CREATE TABLE NLS (ResourceID TEXT, ResourceText TEXT);"
                              "INSERT INTO NLS VALUES ('1', 'eins'), ('12', 'zwölf');"));
    auto rs = m_db->openRecordset("SELECT GeraeteModi.ModusNr, NLS.ResourceText FROM "
                                  "GeraeteModi, NLS WHERE GeraeteModi.ModusNr = NLS.ResourceID");
    ASSERT_TRUE(rs->isValid()) << rs->error().toStdString();
    EXPECT_EQ(rs->recordCount(), 2);
    rs->edit();
    rs->setValue("ResourceText", "x");
    EXPECT_FALSE(rs->update());
    rs->addNew();
    EXPECT_FALSE(rs->update());
    EXPECT_FALSE(rs->remove());
    EXPECT_FALSE(rs->lastError().isEmpty());
    EXPECT_EQ(m_db->scalar("SELECT count(*) FROM NLS WHERE ResourceText='x'").toInt(), 0);
}

TEST_F(StorageTest, EmptyInvalidAndClosedSetsAreHarmless) {
    auto empty = m_db->openRecordset("SELECT * FROM MessWerte");
    EXPECT_TRUE(empty->isBOF() && empty->isEOF());
    empty->moveNext();
    EXPECT_FALSE(empty->value("EW").isValid());
    EXPECT_FALSE(empty->remove());
    empty->edit();
    EXPECT_FALSE(empty->isEditing());

    for (const char* bad : {"SELECT * FROM Nowhere", "SELEKT 1", "DELETE FROM Optionen", ""}) {
        auto rs = m_db->openRecordset(bad);
        EXPECT_FALSE(rs->isValid()) << bad;
        EXPECT_TRUE(rs->isEOF());
        rs->addNew();
        rs->setValue("x", 1);
        EXPECT_FALSE(rs->update());
        EXPECT_FALSE(rs->findFirstEqual("x", 1));
    }
    EXPECT_EQ(m_db->scalar("SELECT count(*) FROM Optionen").toInt(), 2);

    auto open = m_db->openRecordset("SELECT * FROM Optionen");
    EXPECT_EQ(open->recordCount(), 2);
    m_db->close();
    EXPECT_TRUE(open->isEOF());
    EXPECT_FALSE(open->value("key").isValid());
    open->addNew();
    EXPECT_FALSE(open->update());
    EXPECT_FALSE(m_db->execute("DELETE FROM Optionen"));
    EXPECT_FALSE(m_db->transaction([] { return true; }));
    EXPECT_FALSE(m_db->openRecordset("SELECT * FROM Optionen")->isValid());
    m_db.reset(); // the set outlives its database
    EXPECT_TRUE(open->isEOF());
}

} // namespace

// --- a full disk ------------------------------------------------------------------------------

TEST_F(StorageTest, AFullDiskIsCalledSoAndTheWriteChangesNothing) {
    // The file may not grow any more, as on a disk without room.
    const int pages = m_db->scalar("PRAGMA page_count").toInt();
    ASSERT_TRUE(m_db->execute(QString("PRAGMA max_page_count = %1").arg(pages)));
    EXPECT_FALSE(m_db->execute("INSERT INTO MessWerte (MessReiheID, EW, MessWertString) "
                               "VALUES (1, 0, zeroblob(200000))"));
    EXPECT_TRUE(m_db->lastError().startsWith("the disk is full"))
        << m_db->lastError().toStdString();
    EXPECT_EQ(m_db->scalar("SELECT count(*) FROM MessWerte").toInt(), 0);
}

namespace {

// As root every file can be written: the body runs in a child process under
// an ordinary user. True where the caller is to run the body itself.
bool runsAsOrdinaryUser() {
    if (::geteuid() != 0)
        return true;
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (setpriv.isEmpty())
        return false;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(setpriv,
                {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                 QCoreApplication::applicationFilePath(),
                 QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
    EXPECT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << "the test failed as user nobody";
    return false;
}

} // namespace

// A file write-protected while it was opened gives a read-only connection, and
// its -wal and -shm files inherit the protection. Unprotecting the file alone
// does not make a new connection write: it replaces the old one only once it
// can, and until then the file that blocks is named.
TEST(WriteProtectedFile, ConnectionIsOpenedAnewOnlyOnceEveryFileTakesWrites) {
    if (!runsAsOrdinaryUser())
        return;
    QTemporaryDir dir(QDir::tempPath() + "/velmara-protected-XXXXXX");
    const QString path = dir.filePath("veluser.mdb");
    const auto ro = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto rw = ro | QFile::WriteOwner;
    {
        auto db = Database::open(path, kConnect, nullptr, false);
        ASSERT_TRUE(db && db->execute("CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1);"));
    }
    ASSERT_TRUE(QFile::setPermissions(path, ro));
    QString error;
    auto db = Database::open(path, kConnect, &error, true);
    ASSERT_TRUE(db) << error.toStdString();
    EXPECT_FALSE(db->execute("INSERT INTO t VALUES (2)"));
    EXPECT_FALSE(db->reopenIfWritable());
    EXPECT_TRUE(db->lastError().contains(path + " (mode 0444")) << db->lastError().toStdString();

    ASSERT_TRUE(QFile::setPermissions(path, rw));
    ASSERT_FALSE(QFileInfo(path + "-shm").isWritable()) << "the -shm file took the file's mode";
    EXPECT_FALSE(db->reopenIfWritable());
    EXPECT_TRUE(db->lastError().contains(path + "-shm (mode 0444"))
        << db->lastError().toStdString();
    EXPECT_FALSE(db->canWrite());

    for (const char* companion : {"-wal", "-shm"})
        QFile::setPermissions(path + companion, rw);
    EXPECT_TRUE(db->reopenIfWritable()) << db->lastError().toStdString();
    EXPECT_TRUE(db->execute("INSERT INTO t VALUES (2)")) << db->lastError().toStdString();
    EXPECT_EQ(db->scalar("SELECT count(*) FROM t").toInt(), 2);
}
