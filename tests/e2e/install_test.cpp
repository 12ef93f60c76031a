// The installed program: `cmake --install` into a fresh prefix puts the three
// programs, the manual, the desktop entry, the icon and the AppStream file in
// their places, and the installed program starts.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& args, int* exitCode) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        *exitCode = -1;
        return {};
    }
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}

TEST(Install, EverythingLandsUnderThePrefixAndTheProgramStarts) {
    const QString bin = qEnvironmentVariable("VELMARA_BIN_DIR");
    ASSERT_FALSE(bin.isEmpty());
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    int code = 0;
    const QString out =
        run(QStringLiteral(VELMARA_CMAKE_COMMAND),
            {"--install", QDir(bin).filePath(".."), "--prefix", prefix.path()}, &code);
    ASSERT_EQ(code, 0) << out.toStdString();

    const QDir root(prefix.path());
    for (const char* file : {"bin/velmara", "bin/velmara-charger-sim", "bin/velmara-db",
                             "share/velmara/help/index.html", "share/applications/velmara.desktop",
                             "share/icons/hicolor/scalable/apps/velmara.svg",
                             "share/metainfo/org.velmara.Velmara.metainfo.xml"})
        EXPECT_TRUE(QFileInfo::exists(root.filePath(file))) << file;

    // The installed program starts from its new place.
    EXPECT_EQ(run(root.filePath("bin/velmara"), {"--version"}, &code).trimmed(),
              "velmara " VELMARA_VERSION_TEXT);
    EXPECT_EQ(code, 0);
}

} // namespace
