// The installed program: `cmake --install` into a fresh prefix puts the three
// programs, the manual, the desktop entry, the icon and the AppStream file in
// their places, and the installed program finds its manual there.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
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

TEST(Install, EverythingLandsUnderThePrefixAndTheProgramFindsItsManual) {
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

    const QString velmara = root.filePath("bin/velmara");
    EXPECT_EQ(run(velmara, {"--version"}, &code).trimmed(), "velmara " VELMARA_VERSION_TEXT);
    EXPECT_EQ(code, 0);
    const QString help = run(velmara, {"--help"}, &code);
    EXPECT_EQ(code, 0);
    const QString manual =
        QFileInfo(root.filePath("share/velmara/help/index.html")).canonicalFilePath();
    EXPECT_TRUE(help.contains(manual)) << help.toStdString();

    // A user types "velmara --help" in a terminal: found through PATH, started
    // from the home folder, the program still names the installed manual.
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", root.filePath("bin") + ":/usr/bin:/bin");
    env.insert("HOME", home.path());
    shell.setProcessEnvironment(env);
    shell.setWorkingDirectory(home.path());
    shell.start("/bin/sh", {"-c", "velmara --help"});
    ASSERT_TRUE(shell.waitForFinished(60000));
    const QString byName = QString::fromLocal8Bit(shell.readAllStandardOutput());
    EXPECT_EQ(shell.exitCode(), 0);
    EXPECT_TRUE(byName.contains("The manual: " + manual + "\n")) << byName.toStdString();
}

} // namespace
