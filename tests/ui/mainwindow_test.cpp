#include "mainwindow_fixture.h"
#include "ui/mainwindow/statusmarks.h"

#include "data/databases.h"
#include "link/chargerlink.h"
#include "storage/database.h"
#include "support/controls.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>

namespace velmara::test {
namespace {

template <class T = QAction> T* entry(MainWindow& w, const QString& name) {
    return child<T>(&w, name);
}

const QStringList kFullStart{"lock",      "log",        "master",     "user",       "settings",
                             "resources", "tempvalues", "recordsets", "server",     "extension",
                             "texts",     "link",       "channels",   "visibility", "show"};

TEST_F(MainWindowTest, StartsInOrderAndShowsTheWindow) {
    auto w = start();
    EXPECT_EQ(w->startupTrace(), kFullStart);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->comLink() && w->comLink()->isComPortOpen());
    EXPECT_TRUE(QFile::exists(folder.folder().logPath()));
    w->statusMarks().setStatusbarText("009", "ignored"); // no panel, no crash
}

TEST_F(MainWindowTest, FirstStartChainRunsBeforeTheTemporaryValuesOrEndsTheProgram) {
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        freshFolder();
        prepare({{"FirstStartup", "YES"}});
        ScriptedDialogs dialogs(session().prompter());
        if (cancel)
            dialogs.reject("dlgFirstSprache");
        else
            dialogs.accept("dlgFirstSprache")
                .accept("dlgFirstCharger")
                .reject("dlgFirstComPortSelection");
        auto w = makeWindow();
        QSignalSpy ended(w.get(), &MainWindow::programEnded);
        EXPECT_EQ(w->load(), cancel ? StartupOutcome::EndProgram : StartupOutcome::Running);
        QStringList expected = kFullStart.mid(0, kFullStart.indexOf("tempvalues"));
        expected << "firststart";
        if (!cancel)
            expected += kFullStart.mid(expected.size() - 1);
        EXPECT_EQ(w->startupTrace(), expected);
        EXPECT_EQ(w->isVisible(), !cancel);
        EXPECT_EQ(ended.count(), cancel ? 1 : 0);
        w.reset();
        session().closeFiles();
        EXPECT_EQ(storedSetting("FirstStartup"), cancel ? "YES" : "NO");
    }
}

// A file that cannot be opened, or a master file without its settings or
// texts, ends the start-up with one critical box, in the stored language when
// the settings can still be read. Without them the system's language decides,
// so only the file name is sure.
TEST_F(MainWindowTest, UnusableFilesEndTheProgramWithOneReadableBox) {
    enum class Fault { DamagedFile, FolderInPlace, DropTable };
    struct Case {
        const char* name;
        Fault fault;
        const char* what; // the file in Daten/, or the table dropped
        const char* language;
        const char* expected; // the message's first sentence
        const char* lastStep;
    };
    const Case cases[] = {
        {"damaged master", Fault::DamagedFile, "velmara.mdb", "de", "velmara.mdb", "master"},
        {"master cannot be created", Fault::FolderInPlace, "velmara.mdb", "en", "velmara.mdb",
         "master"},
        {"damaged user file, German", Fault::DamagedFile, "veluser.mdb", "de",
         "Die Datenbankdatei veluser.mdb konnte nicht ge\u00f6ffnet werden.", "user"},
        {"no texts, English", Fault::DropTable, "NLSResources", "en",
         "The texts of velmara were not found in the database file", "resources"},
        {"no settings", Fault::DropTable, "Optionen", "en", "velmara.mdb", "settings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshFolder();
        prepare({{"UsedLanguage", c.language}});
        if (c.fault == Fault::DropTable) {
            ASSERT_TRUE(session().openMaster().ok);
            ASSERT_TRUE(session().master()->execute(QStringLiteral("DROP TABLE %1").arg(c.what)));
            session().closeFiles();
        } else {
            const QString path = QDir(current().folder().dataDir()).filePath(c.what);
            QFile::remove(path);
            QFile file(path);
            if (c.fault == Fault::FolderInPlace)
                QDir().mkpath(path);
            else if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(4096, 'x'));
        }
        ScriptedMessages boxes(session());
        boxes.expect(QString::fromUtf8(c.expected));
        auto w = makeWindow();
        EXPECT_EQ(w->load(), StartupOutcome::EndProgram);
        EXPECT_EQ(w->startupTrace().last(), c.lastStep);
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->comLink(), nullptr);
        EXPECT_EQ(boxes.shown.size(), 1);
    }
}

// One program per data folder: a second one ends before it opens or changes
// anything; a lock left by a program that was killed is taken over.
TEST_F(MainWindowTest, ASecondProgramOnTheDataFolderEndsWithoutTouchingIt) {
    for (bool holderRuns : {true, false}) {
        SCOPED_TRACE(holderRuns);
        freshFolder();
        prepare();
        const QString lockPath = current().folder().dataDir() + "/velmara.lock";
        QLockFile holder(lockPath);
        ASSERT_TRUE(holder.tryLock(0));
        if (!holderRuns) {
            QFile file(lockPath);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            QList<QByteArray> lines = file.readAll().split('\n');
            file.close();
            holder.unlock();
            QProcess gone;
            gone.start("true");
            ASSERT_TRUE(gone.waitForStarted());
            lines[0] = QByteArray::number(gone.processId());
            gone.waitForFinished();
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(lines.join('\n'));
        }
        const QString logPath = current().folder().logPath();
        QFile::remove(logPath);
        ScriptedMessages boxes(session());
        if (holderRuns)
            boxes.expect(QString::number(QCoreApplication::applicationPid()));
        auto w = makeWindow();
        EXPECT_EQ(w->load(), holderRuns ? StartupOutcome::EndProgram : StartupOutcome::Running);
        if (holderRuns) {
            EXPECT_EQ(w->startupTrace(), QStringList{"lock"});
            EXPECT_TRUE(boxes.shown.value(0).text.contains(current().folder().dataDir()));
            EXPECT_FALSE(QFile::exists(logPath)) << "not even the log is touched";
        }
    }
}

// A user file of 0 bytes lost its data: a new one takes its place only when
// the user agrees, and the damaged one is kept under another name.
TEST_F(MainWindowTest, AnEmptyUserFileIsReplacedOnlyWhenTheUserAgrees) {
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        freshFolder();
        prepare();
        const QString path = current().folder().userPath();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        ScriptedMessages boxes(session());
        boxes.expect(QDir::toNativeSeparators(path) + " ", answer);
        auto w = makeWindow();
        const bool yes = answer == MsgAnswer::Yes;
        EXPECT_EQ(w->load(), yes ? StartupOutcome::Running : StartupOutcome::EndProgram);
        const QStringList kept =
            QDir(current().folder().dataDir()).entryList({"veluser.mdb.damaged-*"});
        EXPECT_EQ(kept.size(), yes ? 1 : 0);
        EXPECT_EQ(QFileInfo(path).size() > 0, yes) << "No leaves the file as it was";
    }
}

TEST_F(MainWindowTest, PortThatFailsShowsTheErrorThenThePortDialog) {
    for (bool pickWorkingDevice : {false, true}) {
        SCOPED_TRACE(pickWorkingDevice);
        freshFolder();
        prepare({{"ComDevice1", current().path() + "/no-such-tty"}});
        ScriptedMessages boxes(session());
        boxes.expect("1092");
        ScriptedDialogs dialogs(session().prompter());
        dialogs.expect("dlgComPortSelection", [&](QDialog* d) {
            if (!pickWorkingDevice)
                return int(QDialog::Rejected);
            d->findChild<QLineEdit*>("txtComDevice1")->setText(pty.slavePath());
            return int(QDialog::Accepted);
        });
        auto w = makeWindow();
        EXPECT_EQ(w->load(),
                  pickWorkingDevice ? StartupOutcome::Running : StartupOutcome::EndProgram);
        EXPECT_EQ(boxes.shown.first().icon, MsgIcon::Critical);
        if (pickWorkingDevice) {
            EXPECT_EQ(w->startupTrace(), kFullStart);
            EXPECT_TRUE(w->comLink()->isComPortOpen());
        } else {
            EXPECT_EQ(w->startupTrace().last(), "link");
            EXPECT_EQ(w->channelView("001"), nullptr);
            EXPECT_FALSE(w->isVisible());
        }
    }
}

// The web view on a port another program holds: said in a box, the program goes on.
TEST_F(MainWindowTest, AWebViewPortInUseIsToldAndTheProgramGoesOn) {
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost));
    const QString port = QString::number(holder.serverPort());
    prepare({{"WebView", "YES"}, {"WebViewPort", port}});
    ScriptedMessages boxes(session());
    boxes.expect("4907");
    auto w = makeWindow();
    EXPECT_EQ(w->load(), StartupOutcome::Running);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown.first().text.contains(port));
}

TEST_F(MainWindowTest, QuitQuestionStoresVisibilityAndEndsOnlyOnYes) {
    struct Case {
        QString charger;
        MsgAnswer answer;
        QStringList stored; // Akku1Visible to Akku4Visible afterwards
    };
    const Case cases[] = {
        {"QMT4", MsgAnswer::No, {"YES", "YES", "YES", "YES"}},
        {"QMT4", MsgAnswer::Yes, {"YES", "NO", "YES", "YES"}},
        // One channel: only its own key is written, channel 2's "YES" stays.
        {"QMT1", MsgAnswer::Yes, {"NO", "YES", "YES", "YES"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charger.toStdString());
        freshFolder();
        auto w = start({{"UsedCharger", c.charger}});
        w->channelSubWindow(c.charger == "QMT4" ? "002" : "001")->close();
        QSignalSpy ended(w.get(), &MainWindow::programEnded);
        const bool yes = c.answer == MsgAnswer::Yes;
        {
            ScriptedMessages boxes(session());
            boxes.expect("1090", c.answer);
            EXPECT_EQ(w->close(), yes);
        }
        EXPECT_EQ(ended.count(), yes ? 1 : 0);
        EXPECT_EQ(w->isVisible(), !yes);
        EXPECT_EQ(w->comLink() == nullptr, yes);
        w.reset();
        session().closeFiles();
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(storedSetting(QString("Akku%1Visible").arg(n)), c.stored[n - 1]) << n;
    }
}

TEST_F(MainWindowTest, BatteryQueriesAskChannelsInOrderAndStopAtTheFirst) {
    struct Case {
        QString charger;
        QList<int> usedOn; // channel numbers that hold battery 7
        QString reset, used;
        QStringList asked; // by the reset query
    };
    const Case cases[] = {
        {"QMT4", {2, 4}, "002", "002", {"reset001", "reset002"}},
        {"QMT4", {}, "noReset", "notUsed", {"reset001", "reset002", "reset003", "reset004"}},
        {"QMT1", {}, "noReset", "notUsed", {"reset001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charger.toStdString());
        freshFolder();
        auto w = start({{"UsedCharger", c.charger}});
        for (int n : c.usedOn)
            dynamic_cast<RecordingChannelView*>(w->channelView(QString("00%1").arg(n)))->usedIds
                << 7;
        asked.clear();
        EXPECT_EQ(w->releaseBattery(7), c.reset);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(w->isBatteryUsed(7), c.used);
        EXPECT_EQ(w->isBatteryUsed(8), "notUsed");
    }
}

TEST_F(MainWindowTest, CompactingTheDatabaseEndsWithoutAnotherQuitQuestion) {
    auto w = start();
    QSignalSpy ended(w.get(), &MainWindow::programEnded);
    // Declining either question, or a copy that fails its check, leaves the
    // program running on its file.
    for (MsgAnswer first : {MsgAnswer::No, MsgAnswer::Yes}) {
        ScriptedMessages boxes(session());
        boxes.expect("1028", first);
        if (first == MsgAnswer::Yes)
            boxes.expect("1090", MsgAnswer::No);
        entry(*w, "mnuBearbeitenDBKomprimieren")->trigger();
    }
    w->setCompactionCheck([](const QString&, const QString&, QString* why) {
        *why = "refused";
        return false;
    });
    {
        ScriptedMessages boxes(session());
        boxes.expect("1028", MsgAnswer::Yes).expect("1090", MsgAnswer::Yes).expect("Fehler");
        entry(*w, "mnuBearbeitenDBKomprimieren")->trigger();
    }
    EXPECT_EQ(ended.count(), 0);
    ASSERT_NE(w->session().user(), nullptr);
    w->setCompactionCheck(checkCompactedCopy);
    {
        ScriptedMessages boxes(session());
        boxes.expect("1028", MsgAnswer::Yes).expect("1090", MsgAnswer::Yes).expect("1030");
        entry(*w, "mnuBearbeitenDBKomprimieren")->trigger();
    }
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(w->hasEnded());
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(QFile::exists(folder.folder().compactTempPath()));
}

// Ending from the program (language, charger, compaction) asks nothing, stores
// no window visibility and ends every request waiting for a silent charger
// without pulling the link away from under them.
TEST_F(MainWindowTest, EndingFromTheProgramSkipsTheQuestionAndEndsWaitingRequests) {
    auto w = start();
    w->channelSubWindow("004")->close();
    QSignalSpy ended(w.get(), &MainWindow::programEnded);
    ChargerLink* link = w->comLink();
    auto onLine = link->getProgram(ChannelCode(1));
    auto queued = link->getEndValues(ChannelCode(3));
    ASSERT_FALSE(onLine.isReady());
    w->endProgram(); // any box would fail the test
    ASSERT_TRUE(onLine.isReady() && queued.isReady());
    EXPECT_TRUE(ended.count() == 1 || ended.wait(2000));
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->comLink(), nullptr);
    EXPECT_EQ(w->channelView("001"), nullptr);
    EXPECT_EQ(session().master(), nullptr);
    EXPECT_EQ(storedSetting("Akku4Visible"), "YES");
}

// Serial faults and values the user file refuses are told in notices, which
// the poll does not wait for; a notice goes away when the cause has.
TEST_F(MainWindowTest, LineFaultAndWaitingValuesAreNoticesThatGoAwayByThemselves) {
    auto w = start();
    ScriptedMessages boxes(session());
    boxes.expect("1094").expect("1120").expect("1122");
    Q_EMIT w->comLink()->lineFault(9, "Input/output error", true);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].text.contains(pty.slavePath() + ": 9 - Input/output error"));
    Q_EMIT w->comLink()->lineRecovered();
    EXPECT_TRUE(boxes.openNotices.isEmpty());
    Q_EMIT w->comLink()->lineFault(8, "read failed", false);
    EXPECT_EQ(boxes.openNotices, QStringList{"serial-line"});

    // Values wait on two channels (as the board tells): one notice, a mark with
    // the total until none waits.
    const auto waiting = [&](const char* code, int n) {
        ChannelSnapshot s;
        s.channelCode = code;
        s.valuesWaiting = n;
        s.waitingReason = n > 0 ? "database or disk is full" : "";
        Q_EMIT w->board().snapshotChanged(s);
    };
    waiting("001", 2);
    waiting("003", 1);
    EXPECT_EQ(boxes.count("1122"), 1);
    auto* mark = entry<QLabel>(*w, "lblNichtGespeichert");
    EXPECT_EQ(mark->text(), session().text("1124").arg(3));
    // Ending now would lose them: the user hears how many first; No keeps running.
    boxes.expect("4300", MsgAnswer::No);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(boxes.shown.last().text, session().text("4300").arg(3));
    waiting("001", 0);
    EXPECT_FALSE(mark->isHidden());
    waiting("003", 0);
    EXPECT_TRUE(mark->isHidden());
    EXPECT_EQ(boxes.openNotices, QStringList{"serial-line"});
}

} // namespace
} // namespace velmara::test
