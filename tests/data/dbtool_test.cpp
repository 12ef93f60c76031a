#include "dbtool.h"
#include "support/temp_folder.h"

#include <QFile>
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
    EXPECT_TRUE(QFile::exists(dir + "/Daten/veluser.mdb"));
    EXPECT_EQ(run({"--folder", dir, "get", "FirstStartup"}).out, "YES\n");
    EXPECT_EQ(run({"--folder", dir, "set", "ComDevice1", "/tmp/x"}).status, 0);
    EXPECT_EQ(run({"--folder", dir, "get", "comdevice1"}).out, "/tmp/x\n");

    EXPECT_NE(run({"--folder", dir, "get", "NoSuchKey"}).status, 0);
    EXPECT_NE(run({"--folder", dir, "set", "NoSuchKey", "1"}).status, 0);
    EXPECT_NE(run({"--folder", dir + "/nowhere", "get", "FirstStartup"}).status, 0);
    for (const QStringList& push : {QStringList{"push"}, {"push", "--to"}, {"push", "x", "y"}})
        EXPECT_EQ(run(QStringList{"--folder", dir} + push).status, 2);

    QFile master(dir + "/Daten/velmara.mdb");
    ASSERT_TRUE(master.open(QIODevice::WriteOnly | QIODevice::Truncate));
    master.write(QByteArray(2048, '\x5a'));
    master.close();
    ToolRun damaged = run({"--folder", dir, "get", "FirstStartup"});
    EXPECT_NE(damaged.status, 0);
    EXPECT_TRUE(damaged.err.contains("cannot open"));
}
