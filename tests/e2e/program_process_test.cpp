// The program as a process: started in a folder of its own (the executable's
// folder is the program folder), against the charger simulator, ended by signals.
#include "data/databases.h"
#include "sim_process.h"
#include "storage/database.h"
#include "support/temp_folder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace velmara;

namespace {

// A program folder with its own copy of the executable (a hard link where it
// can; a symbolic link would lead the program back to bin/).
struct ProgramCopy {
    QTemporaryDir dir{test::testTempRoot() + "/process-XXXXXX"};
    QString exe() const { return dir.filePath("velmara"); }
    ProgramFolder folder() const { return ProgramFolder(dir.path()); }
    bool make() const {
        const QString original = QDir(qEnvironmentVariable("VELMARA_BIN_DIR")).filePath("velmara");
        return ::link(QFile::encodeName(original).constData(),
                      QFile::encodeName(exe()).constData()) == 0 ||
               QFile::copy(original, exe());
    }
    // The program's environment: offscreen, its home data folder in here.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_DATA_HOME", dir.filePath("home"));
        return env;
    }
};

bool storeSetting(const ProgramFolder& folder, const QString& key, const QString& value) {
    auto db = Database::open(folder.masterPath(), connectString(), nullptr, true);
    return db && db->execute("UPDATE Optionen SET [value] = ? WHERE [key] = ?", {value, key});
}

int tempValues(const ProgramFolder& folder) {
    auto db = Database::open(folder.userPath(), connectString(), nullptr, true);
    return db ? db->scalar("SELECT count(*) FROM TempMessWerte").toInt() : -1;
}

// Whether the process ends in time; it is killed when not.
bool finishes(QProcess& process, int seconds) {
    if (process.waitForFinished(seconds * 1000))
        return true;
    process.kill();
    process.waitForFinished(10000);
    return false;
}

} // namespace

TEST(ProgramProcess, SigtermWhileRunningEndsLikeTheQuitEntry) {
    ProgramCopy program;
    ASSERT_TRUE(program.make());
    ASSERT_TRUE(createMissingDatabaseFiles(program.folder()));
    const QString link = program.dir.filePath("ttyCharger");
    for (const auto& [key, value] : {std::pair<QString, QString>{"FirstStartup", "NO"},
                                     {"ComPort", "1"},
                                     {"ComDevice1", link}})
        ASSERT_TRUE(storeSetting(program.folder(), key, value));

    test::SimulatedCharger sim;
    ASSERT_TRUE(sim.launch(link, {"--speed", "60", "--demo"})) << sim.error().toStdString();

    QProcess velmara;
    velmara.setProcessEnvironment(program.environment());
    velmara.start(program.exe(), {});
    ASSERT_TRUE(velmara.waitForStarted());
    // Running: the channel windows poll and store the live values.
    QDeadlineTimer deadline(60000);
    while (tempValues(program.folder()) <= 0 && !deadline.hasExpired() &&
           velmara.state() == QProcess::Running)
        velmara.waitForFinished(200);
    ASSERT_GT(tempValues(program.folder()), 0) << velmara.readAllStandardError().toStdString();

    velmara.terminate(); // SIGTERM
    ASSERT_TRUE(finishes(velmara, 30));
    EXPECT_EQ(velmara.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(velmara.exitCode(), 0);
    EXPECT_EQ(tempValues(program.folder()), 0);
    // Nothing was made at home.
    EXPECT_FALSE(QFileInfo::exists(program.dir.filePath("home")));
}

// SIGTERM before the start-up sequence, while a message waits on the screen
// (the data folder cannot be used), and during it, while the first-start
// dialogs wait (they are closed as if cancelled): the start ends with a failure.
TEST(ProgramProcess, SigtermDuringTheStartEndsItWithAFailure) {
    for (bool unusableFolder : {true, false}) {
        SCOPED_TRACE(unusableFolder ? "unusable Daten folder" : "first-start dialogs");
        ProgramCopy program;
        ASSERT_TRUE(program.make());
        QProcess velmara;
        velmara.setProcessEnvironment(program.environment());
        if (unusableFolder) {
            // Daten is a link to a drive that is not mounted.
            ASSERT_TRUE(
                QFile::link(program.dir.filePath("unmounted/Daten"), program.folder().dataDir()));
            // SIGTERM is held back until the program takes it over.
            velmara.setChildProcessModifier([] {
                sigset_t set;
                sigemptyset(&set);
                sigaddset(&set, SIGTERM);
                sigprocmask(SIG_BLOCK, &set, nullptr);
            });
        }
        velmara.start(program.exe(), {});
        ASSERT_TRUE(velmara.waitForStarted());
        // The sequence has begun when the log is there; the dialogs wait from then on.
        QDeadlineTimer deadline(60000);
        while (!unusableFolder && !QFileInfo::exists(program.folder().logPath()) &&
               !deadline.hasExpired() && velmara.state() == QProcess::Running)
            velmara.waitForFinished(100);

        velmara.terminate();
        ASSERT_TRUE(finishes(velmara, 30)) << "still running, or a dialog still waits";
        EXPECT_EQ(velmara.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(velmara.exitCode(), 1);
        EXPECT_FALSE(QFileInfo::exists(program.dir.filePath("home")));
        if (!unusableFolder) {
            auto db = Database::open(program.folder().masterPath(), connectString(), nullptr, true);
            ASSERT_TRUE(db);
            EXPECT_EQ(
                db->scalar("SELECT [value] FROM Optionen WHERE [key] = 'FirstStartup'").toString(),
                "YES");
        }
    }
}
