#include "base/core/errorlog.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmara;

static QStringList linesOf(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QString all = QString::fromUtf8(f.readAll());
    EXPECT_FALSE(all.contains(QRegularExpression("[^\r]\n"))) << "lines end with CR LF";
    return all.split("\r\n");
}

TEST(ErrorLog, SignaturesAppendAndKeepEarlierContent) {
    QTemporaryDir dir(test::testTempRoot() + "/log-XXXXXX");
    const QString path = dir.path() + "/error.log";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier\r\n");
    }
    ErrorLog log;
    log.open(path);
    log.writeSignature("No Program Value for Current Measurementrow");
    log.writeEntry("Current RowId: 17");
    log.writeSignature("second");
    log.release();
    log.open("/nonexistent-dir/for/sure/error.log"); // an unwritable log is skipped silently
    EXPECT_FALSE(log.isOpen());
    log.writeEntry("y");

    const QStringList l = linesOf(path);
    ASSERT_GE(l.size(), 13);
    EXPECT_EQ(l[0], "earlier");
    EXPECT_EQ(l[3], "LogType: No Program Value for Current Measurementrow");
    EXPECT_EQ(l[6], "Current RowId: 17");
    EXPECT_EQ(l.filter("LogType: second").size(), 1);
}

