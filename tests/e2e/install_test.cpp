// The installed program: `cmake --install` into a fresh prefix puts the three
// programs, their manual pages, the manual, the desktop entry, the icon, the
// AppStream file and the copyright in their places; the installed program finds
// its manual there and keeps its data in the user's data folder, never beside
// itself, whoever runs it.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

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

// cmake --install of the build into a fresh prefix; its output when it fails.
::testing::AssertionResult installInto(const QTemporaryDir& prefix) {
    const QString bin = qEnvironmentVariable("VELMARA_BIN_DIR");
    if (bin.isEmpty() || !prefix.isValid())
        return ::testing::AssertionFailure() << "no build folder or no prefix";
    int code = 0;
    const QString out =
        run(QStringLiteral(VELMARA_CMAKE_COMMAND),
            {"--install", QDir(bin).filePath(".."), "--prefix", prefix.path()}, &code);
    if (code != 0)
        return ::testing::AssertionFailure() << out.toStdString();
    return ::testing::AssertionSuccess();
}

TEST(Install, EverythingLandsUnderThePrefixAndTheProgramFindsItsManual) {
    QTemporaryDir prefix;
    ASSERT_TRUE(installInto(prefix));
    int code = 0;

    const QDir root(prefix.path());
    for (const char* file :
         {"bin/velmara", "bin/velmara-charger-sim", "bin/velmara-db",
          "share/velmara/help/index.html", "share/applications/velmara.desktop",
          "share/icons/hicolor/scalable/apps/velmara.svg",
          "share/metainfo/org.velmara.Velmara.metainfo.xml", "share/man/man1/velmara.1.gz",
          "share/man/man1/velmara-db.1.gz", "share/man/man1/velmara-charger-sim.1.gz",
          "share/doc/velmara/copyright", "share/doc/velmara/changelog.Debian.gz"})
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
    env.remove("XDG_DATA_HOME");
    shell.setProcessEnvironment(env);
    shell.setWorkingDirectory(home.path());
    shell.start("/bin/sh", {"-c", "velmara --help"});
    ASSERT_TRUE(shell.waitForFinished(60000));
    const QString byName = QString::fromLocal8Bit(shell.readAllStandardOutput());
    EXPECT_EQ(shell.exitCode(), 0);
    EXPECT_TRUE(byName.contains("The manual: " + manual + "\n")) << byName.toStdString();
    EXPECT_TRUE(byName.contains("The data folder: " + home.path() + "/.local/share/velmara\n"))
        << byName.toStdString();
}

// Started by the user who owns the prefix (root in a system install) and, when
// that is root, by nobody: the program makes its data folder at home and
// nothing beside itself.
TEST(Install, TheInstalledProgramWritesNothingBesideItselfForRootOrAnyoneElse) {
    QTemporaryDir prefix;
    ASSERT_TRUE(installInto(prefix));
    const QFile::Permissions everyone =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(prefix.path(), everyone));
    const QDir installed(prefix.filePath("bin"));
    const QStringList programs = installed.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QStringList runAs{QString()};
    if (::geteuid() == 0 && ::getpwnam("nobody"))
        runAs << "nobody";
    for (const QString& user : runAs) {
        SCOPED_TRACE(user.isEmpty() ? "the prefix's owner" : "nobody");
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QFile::setPermissions(home.path(), everyone | QFile::WriteOther));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.remove("XDG_DATA_HOME");
        QProcess velmara;
        velmara.setProcessEnvironment(env);
        velmara.setWorkingDirectory(home.path());
        const QString exe = installed.filePath("velmara");
        if (user.isEmpty())
            velmara.start(exe, {});
        else
            velmara.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", exe});
        ASSERT_TRUE(velmara.waitForStarted());
        const QString master = home.filePath(".local/share/velmara/Daten/velmara.mdb");
        QDeadlineTimer deadline(60000);
        while (!QFileInfo::exists(master) && !deadline.hasExpired() &&
               velmara.state() == QProcess::Running)
            velmara.waitForFinished(100);
        velmara.terminate();
        if (!velmara.waitForFinished(30000))
            velmara.kill();
        velmara.waitForFinished();
        EXPECT_TRUE(QFileInfo::exists(master)) << velmara.readAllStandardError().toStdString();
        EXPECT_EQ(installed.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), programs);
    }
}

} // namespace
