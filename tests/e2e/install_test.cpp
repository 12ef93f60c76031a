// The installed program: `cmake --install` into a fresh prefix; the installed
// program finds its manual there and keeps its data in the user's data folder,
// never beside itself, whoever runs it.
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

// cmake --install of the build into a fresh prefix; its output when it fails.
::testing::AssertionResult installInto(const QTemporaryDir& prefix) {
    const QString bin = qEnvironmentVariable("VELMARA_BIN_DIR");
    if (bin.isEmpty() || !prefix.isValid())
        return ::testing::AssertionFailure() << "no build folder or no prefix";
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral(VELMARA_CMAKE_COMMAND),
                {"--install", QDir(bin).filePath(".."), "--prefix", prefix.path()});
    if (!cmake.waitForFinished(120000) || cmake.exitStatus() != QProcess::NormalExit ||
        cmake.exitCode() != 0)
        return ::testing::AssertionFailure() << cmake.readAll().toStdString();
    return ::testing::AssertionSuccess();
}

// Found through PATH and started from the home folder, the installed program
// names the installed manual; started by the user who owns the prefix (root in
// a system install) and, when that is root, by nobody, it makes its data folder
// at home and nothing beside itself.
TEST(Install, TheInstalledProgramFindsItsManualAndWritesNothingBesideItself) {
    QTemporaryDir prefix;
    ASSERT_TRUE(installInto(prefix));
    const QDir root(prefix.path());
    const QString manual =
        QFileInfo(root.filePath("share/velmara/help/index.html")).canonicalFilePath();
    ASSERT_FALSE(manual.isEmpty());
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
        env.insert("PATH", installed.path() + ":/usr/bin:/bin");
        env.insert("HOME", home.path());
        env.remove("XDG_DATA_HOME");
        const auto start = [&](QProcess& p, const QStringList& command) {
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(home.path());
            if (user.isEmpty())
                p.start(command[0], command.mid(1));
            else
                p.start("setpriv",
                        QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups"} +
                            command);
        };
        if (user.isEmpty()) {
            QProcess shell;
            start(shell, {"/bin/sh", "-c", "velmara --help"});
            ASSERT_TRUE(shell.waitForFinished(60000));
            const QString help = QString::fromLocal8Bit(shell.readAllStandardOutput());
            EXPECT_EQ(shell.exitCode(), 0);
            EXPECT_TRUE(help.contains("The manual: " + manual + "\n")) << help.toStdString();
            EXPECT_TRUE(
                help.contains("The data folder: " + home.path() + "/.local/share/velmara\n"))
                << help.toStdString();
        }
        QProcess velmara;
        start(velmara, {installed.filePath("velmara")});
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
