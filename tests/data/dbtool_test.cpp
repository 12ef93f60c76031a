#include "dbtool.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace velmara;

namespace {
struct ToolRun {
    int status;
    QString out, err;
};
ToolRun run(const QStringList& args) {
    QString o, e;
    QTextStream out(&o), err(&e);
    int s = runDbTool(args, out, err);
    out.flush();
    err.flush();
    return {s, o, e};
}
} // namespace

TEST(DbTool, InitGetSetAndErrors) {
    test::TempProgramFolder tmp;
    const QString dir = tmp.path();
    EXPECT_EQ(run({"--folder", dir, "init"}).status, 0);
    EXPECT_TRUE(QFile::exists(dir + "/Daten/velmara.mdb"));
    EXPECT_TRUE(QFile::exists(dir + "/Daten/veluser.mdb"));
    EXPECT_EQ(run({"--folder", dir, "get", "FirstStartup"}).out, "YES\n");
    EXPECT_EQ(run({"--folder", dir, "set", "ComDevice1", "/tmp/x"}).status, 0);
    EXPECT_EQ(run({"--folder", dir, "get", "comdevice1"}).out, "/tmp/x\n");

    ToolRun missing = run({"--folder", dir, "get", "NoSuchKey"});
    EXPECT_NE(missing.status, 0);
    EXPECT_TRUE(missing.err.contains("no setting NoSuchKey"));
    EXPECT_NE(run({"--folder", dir, "set", "NoSuchKey", "1"}).status, 0);
    EXPECT_NE(run({"--folder", dir + "/nowhere", "get", "FirstStartup"}).status, 0);
    // Unknown commands and options: status 2, the usage on the error stream only.
    for (const QStringList& args : {QStringList{"--folder", dir, "frobnicate"},
                                    QStringList{"--folder", dir, "frobnicate", "--help"},
                                    QStringList{"-x", "--folder", dir, "get", "FirstStartup"}}) {
        const ToolRun unknown = run(args);
        EXPECT_EQ(unknown.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(unknown.out.isEmpty());
        EXPECT_TRUE(unknown.err.contains("usage:"));
    }

    QFile master(dir + "/Daten/velmara.mdb");
    ASSERT_TRUE(master.open(QIODevice::WriteOnly | QIODevice::Truncate));
    master.write(QByteArray(2048, '\x5a'));
    master.close();
    ToolRun damaged = run({"--folder", dir, "get", "FirstStartup"});
    EXPECT_NE(damaged.status, 0);
    EXPECT_TRUE(damaged.err.contains("cannot open"));
}

TEST(DbTool, FilesNeedTheKeyInTheSqlcipherShell) {
    const QString shell = QStandardPaths::findExecutable("sqlcipher");
    if (shell.isEmpty())
        GTEST_SKIP() << "sqlcipher shell not installed";
    test::TempProgramFolder tmp;
    ASSERT_EQ(run({"--folder", tmp.path(), "init"}).status, 0);
    auto query = [&](const QString& script) {
        QProcess p;
        p.start(shell, {tmp.path() + "/Daten/velmara.mdb"});
        p.write(script.toUtf8());
        p.closeWriteChannel();
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    };
    EXPECT_FALSE(query("SELECT value FROM Optionen WHERE key = 'FirstStartup';\n").contains("YES"));
    EXPECT_TRUE(
        query("PRAGMA key = 'kqz';\nSELECT value FROM Optionen WHERE key = 'FirstStartup';\n")
            .contains("YES"));
}
