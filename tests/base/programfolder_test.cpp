#include "base/core/programfolder.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

using namespace velmara;

namespace {

struct Folders {
    QTemporaryDir tmp{test::testTempRoot() + "/folder-XXXXXX"};
    QString exe() const { return tmp.path() + "/bin"; }
    QString home() const { return tmp.path() + "/home"; }
    QString exeData() const { return exe() + "/Daten"; }
    QString homeRoot() const { return home() + "/velmara"; }
};

void makeFile(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(ProgramFolder, ChoosesTheExecutablesFolderOrHomeAndRefusesAnUnusableDaten) {
    const struct Case {
        const char* name;
        std::function<void(const Folders&)> prepare;
        bool atHome;               // the folder chosen is the home folder
        const char* problem;       // part of the reason, "" when the folder is usable
        bool othersFolder = false; // the program folder belongs to another user
    } cases[] = {
        {"no Daten yet: made beside the program", [](const Folders&) {}, false, ""},
        {"Daten there", [](const Folders& f) { QDir().mkpath(f.exeData()); }, false, ""},
        {"installed (share/velmara beside bin), even with a Daten left there: home",
         [](const Folders& f) {
             QDir().mkpath(f.tmp.path() + "/share/velmara");
             QDir().mkpath(f.exeData());
         },
         true, ""},
        {"program folder of another user: home", [](const Folders&) {}, true, "", true},
        {"program folder cannot hold a Daten folder: home",
         [](const Folders& f) {
             QDir().rmdir(f.exe());
             makeFile(f.exe()); // a file where the folder would be
         },
         true, ""},
        {"Daten is a link to a drive that is not there",
         [](const Folders& f) {
             ASSERT_TRUE(QFile::link(f.tmp.path() + "/unmounted/Daten", f.exeData()));
         },
         false, "does not exist"},
        {"Daten is a file", [](const Folders& f) { makeFile(f.exeData()); }, false, "not a folder"},
        {"home Daten is a file as well",
         [](const Folders& f) {
             QDir().rmdir(f.exe());
             makeFile(f.exe());
             QDir().mkpath(f.homeRoot());
             makeFile(f.homeRoot() + "/Daten");
         },
         true, "not a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f;
        QDir().mkpath(f.exe());
        c.prepare(f);
        const uint user = c.othersFolder ? ::geteuid() + 1 : ::geteuid();
        const ProgramFolder::Choice choice = ProgramFolder::resolve(f.exe(), f.home(), user);
        EXPECT_EQ(choice.folder.root(), c.atHome ? f.homeRoot() : f.exe());
        EXPECT_EQ(ProgramFolder::preferredRoot(f.exe(), f.home(), user), choice.folder.root());
        EXPECT_TRUE(choice.problem.contains(c.problem)) << choice.problem.toStdString();
        EXPECT_EQ(choice.problem.isEmpty(), QString(c.problem).isEmpty());
        if (choice.problem.isEmpty()) {
            EXPECT_TRUE(QFileInfo(choice.folder.dataDir()).isDir());
        }
        // An unusable Daten beside the program never leads to a fresh folder at home.
        if (!c.atHome) {
            EXPECT_FALSE(QFileInfo::exists(f.homeRoot()));
        }
    }
}

TEST(ProgramFolder, NeverKeepsFilesBesideAProgramInTheSystemsFolders) {
    for (const char* dir : {"/usr/bin", "/usr/local/bin"})
        EXPECT_FALSE(keepsFilesBeside(dir, QFileInfo(dir).ownerId())) << dir;
}

TEST(ProgramFolder, AReadOnlyDatenIsReportedNotReplaced) {
    Folders f;
    ASSERT_TRUE(QDir().mkpath(f.exeData()));
    ASSERT_TRUE(QFile::setPermissions(f.exeData(), QFile::ReadOwner | QFile::ExeOwner));
    if (::access(QFile::encodeName(f.exeData()).constData(), W_OK) == 0) {
        QFile::setPermissions(f.exeData(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    const ProgramFolder::Choice choice = ProgramFolder::resolve(f.exe(), f.home(), ::geteuid());
    QFile::setPermissions(f.exeData(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(choice.folder.root(), f.exe());
    EXPECT_TRUE(choice.problem.contains("read-only")) << choice.problem.toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.homeRoot()));
}
