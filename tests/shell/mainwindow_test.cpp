#include "mainwindow_fixture.h"

#include "data/databases.h"
#include "link/velmaracomcommunication.h"
#include "shell/core/programresources.h"
#include "shell/core/programsettings.h"
#include "shell/mainwindow/startlogo.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace velmara::test {
namespace {

QAction* entry(frmMDIMainForm& w, const QString& name) {
    QAction* a = w.findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    return a;
}

QLabel* panel(frmMDIMainForm& w, const QString& name) {
    QLabel* l = w.findChild<QLabel*>(name);
    EXPECT_NE(l, nullptr) << name.toStdString();
    return l;
}

const QStringList kFullStart{"log",        "master",     "user",      "settings", "resources",
                             "tempvalues", "recordsets", "extension", "texts",    "link",
                             "channels",   "visibility", "show"};

TEST_F(MainWindowTest, StartsInOrderAndShowsTheWindow) {
    prepare();
    auto w = makeWindow();
    EXPECT_EQ(w->load(), StartupOutcome::Running);
    EXPECT_EQ(w->startupTrace(), kFullStart);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->comLink() && w->comLink()->isComPortOpen());
    EXPECT_TRUE(QFile::exists(folder.folder().logPath()));
    EXPECT_EQ(w->windowTitle(), mainCaption(res("0001"), res("0002"), VELMARA_VERSION_MAJOR,
                                            VELMARA_VERSION_MINOR, VELMARA_VERSION_PATCH));
    EXPECT_EQ(entry(*w, "mnuDatei")->text(), res("1000"));
    EXPECT_EQ(entry(*w, "mnuEinstellungenKanaeleKanal3")->text(), res("1048"));
    EXPECT_EQ(panel(*w, "Kanal4Label")->text(), res("1506"));
    EXPECT_EQ(w->getNewTempMessreiheID(), 1);
    EXPECT_EQ(w->getNewTempMessreiheID(), 2);
    EXPECT_EQ(w->getNewTempMessreiheID(), 3);
    w->setStatusbarText("003", "Laden");
    w->setStatusbarText("009", "ignored");
    EXPECT_EQ(panel(*w, "Kanal3Text")->text(), "Laden");
    EXPECT_EQ(panel(*w, "Kanal1Text")->text(), "");
}

TEST_F(MainWindowTest, FirstStartRunsTheChainBeforeTheTemporaryValuesAndEndsIt) {
    prepare({{"FirstStartup", "YES"}});
    {
        ScriptedDialogs dialogs;
        dialogs.accept("dlgFirstSprache")
            .accept("dlgFirstCharger")
            .reject("dlgFirstComPortSelection");
        auto w = makeWindow();
        ASSERT_EQ(w->load(), StartupOutcome::Running);
        QStringList expected = kFullStart;
        expected.insert(expected.indexOf("tempvalues"), "firststart");
        EXPECT_EQ(w->startupTrace(), expected);
        EXPECT_EQ(getSetting("FirstStartup"), "NO");
    }
}

TEST_F(MainWindowTest, CancelledFirstStartEndsBeforeTheWindowIsShown) {
    prepare({{"FirstStartup", "YES"}});
    ScriptedDialogs dialogs;
    dialogs.reject("dlgFirstSprache");
    auto w = makeWindow();
    QSignalSpy ended(w.get(), &frmMDIMainForm::programEnded);
    EXPECT_EQ(w->load(), StartupOutcome::EndProgram);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->startupTrace().last(), "firststart");
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(masterDatabase(), nullptr);
    EXPECT_EQ(storedSetting("FirstStartup"), "YES"); // asked again next time
}

TEST_F(MainWindowTest, DatabaseThatCannotBeOpenedEndsTheProgram) {
    struct Case {
        const char* name;
        std::function<void(const ProgramFolder&)> spoil;
        QString box;
        QString lastStep;
    };
    const Case cases[] = {
        {"damaged master",
         [](const ProgramFolder& f) {
             QFile file(f.masterPath());
             file.open(QIODevice::WriteOnly);
             file.write(QByteArray(4096, 'x'));
         },
         "Error in Connecting velmara.mdb.", "master"},
        {"master cannot be created",
         [](const ProgramFolder& f) {
             QFile::remove(f.masterPath());
             QDir().mkpath(f.masterPath()); // a folder where the file should be
         },
         "Error in Connecting velmara.mdb.", "master"},
        {"damaged user file",
         [](const ProgramFolder& f) {
             QFile file(f.userPath());
             file.open(QIODevice::WriteOnly | QIODevice::Truncate);
             file.write(QByteArray(4096, 'y'));
         },
         "Error in Connecting veluser.mdb", "user"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramFolder own;
        prepare();
        c.spoil(own.folder());
        ScriptedMessages boxes;
        boxes.expect(c.box);
        auto w = makeWindow();
        EXPECT_EQ(w->load(), StartupOutcome::EndProgram);
        EXPECT_EQ(w->startupTrace().last(), c.lastStep);
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->comLink(), nullptr);
    }
}

TEST_F(MainWindowTest, PortThatFailsShowsTheErrorThenThePortDialog) {
    for (bool pickWorkingDevice : {false, true}) {
        SCOPED_TRACE(pickWorkingDevice);
        TempProgramFolder own;
        prepare({{"ComDevice1", own.path() + "/no-such-tty"}});
        ScriptedMessages boxes;
        boxes.expect("1092");
        ScriptedDialogs dialogs;
        const QString device = pty.slavePath();
        dialogs.expect("dlgComPortSelection", [&](QDialog* d) {
            if (!pickWorkingDevice)
                return int(QDialog::Rejected);
            d->findChild<QLineEdit*>("txtComDevice1")->setText(device);
            d->findChild<QAbstractButton*>("optCom1")->setChecked(true);
            return int(QDialog::Accepted);
        });
        auto w = makeWindow();
        if (pickWorkingDevice) {
            ASSERT_EQ(w->load(), StartupOutcome::Running);
            EXPECT_EQ(w->startupTrace(), kFullStart);
            EXPECT_TRUE(w->comLink()->isComPortOpen());
        } else {
            EXPECT_EQ(w->load(), StartupOutcome::EndProgram);
            EXPECT_EQ(w->startupTrace().last(), "link");
            EXPECT_EQ(boxes.shown.first().icon, MsgIcon::Critical);
            EXPECT_EQ(w->channelView("001"), nullptr);
            EXPECT_FALSE(w->isVisible());
        }
        w.reset();
        closeDatabases();
    }
}

TEST_F(MainWindowTest, ChargerModelDecidesWindowsMenusAndPanels) {
    struct Case {
        QString charger;
        int loaded;
        bool upperPanelsShown;
        QString extension;
    };
    const Case cases[] = {
        {"QMT4", 4, true, "YES"},
        {"QMT1", 1, false, "NO"},
        {"QMT7", 1, true, "NO"}, // unknown: panels stay as designed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charger.toStdString());
        TempProgramFolder own;
        prepare({{"UsedCharger", c.charger},
                 {"P1ExtensionAvailable", "NO"},
                 {"P4ExtensionAvailable", "YES"}});
        auto w = makeWindow();
        ASSERT_EQ(w->load(), StartupOutcome::Running);
        EXPECT_EQ(getSetting("ProgramExtensionAvaiable"), c.extension);
        for (int n = 1; n <= 4; ++n) {
            const QString code = QString("00%1").arg(n);
            const bool loaded = n <= c.loaded;
            EXPECT_EQ(w->channelView(code) != nullptr, loaded) << n;
            EXPECT_EQ(w->channelSubWindow(code) && w->channelSubWindow(code)->isVisible(), loaded)
                << n;
            QAction* menu = entry(*w, QString("mnuEinstellungenKanaeleKanal%1").arg(n));
            EXPECT_EQ(menu->isEnabled(), loaded) << n;
            EXPECT_EQ(menu->isChecked(), loaded) << n;
            if (n > 1) {
                EXPECT_EQ(panel(*w, QString("Kanal%1Label").arg(n))->isVisible(),
                          c.upperPanelsShown);
                EXPECT_EQ(panel(*w, QString("Kanal%1Text").arg(n))->isVisible(),
                          c.upperPanelsShown);
            }
        }
        EXPECT_TRUE(panel(*w, "Kanal1Label")->isVisible());
        w.reset();
        closeDatabases();
    }
}

TEST_F(MainWindowTest, HiddenChannelIsLoadedButNotShown) {
    prepare({{"Akku3Visible", "NO"}, {"Akku1Visible", "NO"}});
    auto w = makeWindow();
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    for (const QString code : {"001", "003"}) {
        EXPECT_NE(w->channelView(code), nullptr);
        EXPECT_FALSE(w->channelSubWindow(code)->isVisible());
        EXPECT_FALSE(w->isChannelChecked(code));
    }
    EXPECT_TRUE(w->channelSubWindow("002")->isVisible());
    EXPECT_TRUE(w->isChannelChecked("004"));
}

TEST_F(MainWindowTest, ChannelCloseButtonHidesAndMenuOrPanelBringsItBack) {
    prepare();
    auto w = makeWindow();
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    QMdiSubWindow* sub = w->channelSubWindow("002");
    QWidget* channel = w->channelView("002")->widget();

    EXPECT_FALSE(sub->close());
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(w->isChannelChecked("002"));
    EXPECT_EQ(w->channelView("002")->widget(), channel); // still loaded

    entry(*w, "mnuEinstellungenKanaeleKanal2")->trigger();
    EXPECT_TRUE(sub->isVisible());
    EXPECT_TRUE(w->isChannelChecked("002"));

    // Triggering a checked entry keeps the check mark and brings the window forward.
    entry(*w, "mnuEinstellungenKanaeleKanal2")->trigger();
    EXPECT_TRUE(w->isChannelChecked("002"));
    EXPECT_EQ(w->mdiArea()->activeSubWindow(), sub);

    sub->close();
    QTest::mouseClick(panel(*w, "Kanal2Label"), Qt::LeftButton);
    EXPECT_FALSE(sub->isVisible()); // a single click does nothing
    QTest::mouseDClick(panel(*w, "Kanal2Label"), Qt::LeftButton);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_TRUE(w->isChannelChecked("002"));
}

TEST_F(MainWindowTest, QuitQuestionStoresVisibilityAndEndsOnlyOnYes) {
    struct Case {
        QString charger;
        MsgAnswer answer;
        QMap<QString, QString> expected;
    };
    const Case cases[] = {
        {"QMT4", MsgAnswer::No, {{"Akku2Visible", "YES"}}}, // nothing stored
        {"QMT4",
         MsgAnswer::Yes,
         {{"Akku1Visible", "YES"},
          {"Akku2Visible", "NO"},
          {"Akku3Visible", "YES"},
          {"Akku4Visible", "YES"}}},
        // One channel: only its own key is written, channel 2's "YES" stays.
        {"QMT1", MsgAnswer::Yes, {{"Akku1Visible", "NO"}, {"Akku2Visible", "YES"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charger.toStdString());
        TempProgramFolder own;
        prepare({{"UsedCharger", c.charger}});
        auto w = makeWindow();
        ASSERT_EQ(w->load(), StartupOutcome::Running);
        w->channelSubWindow(c.charger == "QMT4" ? "002" : "001")->close();
        QSignalSpy ended(w.get(), &frmMDIMainForm::programEnded);
        const bool yes = c.answer == MsgAnswer::Yes;
        {
            ScriptedMessages boxes;
            boxes.expect("1090", c.answer);
            EXPECT_EQ(w->close(), yes);
            EXPECT_EQ(boxes.shown.first().buttons, MsgButtons::YesNo);
        }
        EXPECT_EQ(ended.count(), yes ? 1 : 0);
        EXPECT_EQ(w->isVisible(), !yes);
        EXPECT_EQ(w->comLink() == nullptr, yes);
        w.reset();
        closeDatabases();
        for (auto it = c.expected.begin(); it != c.expected.end(); ++it)
            EXPECT_EQ(storedSetting(it.key()), it.value()) << it.key().toStdString();
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
        TempProgramFolder own;
        prepare({{"UsedCharger", c.charger}});
        auto w = makeWindow();
        ASSERT_EQ(w->load(), StartupOutcome::Running);
        for (int n : c.usedOn)
            view(*w, QString("00%1").arg(n))->usedIds << 7;
        asked.clear();
        EXPECT_EQ(w->resetAkkuId(7), c.reset);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(w->isAkkuUsed(7), c.used);
        EXPECT_EQ(w->isAkkuUsed(8), "notUsed");
        w.reset();
        closeDatabases();
    }
}

TEST_F(MainWindowTest, EntriesOfLaterWorkShowThePlainNotImplementedBox) {
    prepare();
    auto w = makeWindow();
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    for (const QString name :
         {"mnuDateiFormatPage", "mnuHelpWeb", "mnuEinstellungenOptionen", "mnuPrintsettings"}) {
        SCOPED_TRACE(name.toStdString());
        ScriptedMessages boxes;
        boxes.expect("Funktion ist noch nicht implementiert!");
        entry(*w, name)->trigger();
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_TRUE(boxes.shown.first().title.isEmpty());
        EXPECT_EQ(boxes.shown.first().icon, MsgIcon::None);
    }
    ScriptedMessages info;
    info.expect("1100");
    entry(*w, "mnuBearbeitenInfoDiagramm")->trigger();
    EXPECT_EQ(info.shown.first().icon, MsgIcon::Information);
}

TEST_F(MainWindowTest, TilingArrangesOnlyTheVisibleChannelWindows) {
    prepare({{"Akku4Visible", "NO"}});
    auto w = makeWindow();
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    const QRect area = w->mdiArea()->viewport()->rect();
    auto sub = [&](const char* code) { return w->channelSubWindow(code)->geometry(); };
    entry(*w, "mnuFensterUebereinander")->trigger();
    EXPECT_EQ(sub("001").width(), area.width());
    EXPECT_GE(sub("002").top(), sub("001").bottom());
    EXPECT_GE(sub("003").top(), sub("002").bottom());
    EXPECT_EQ(sub("003").bottom(), area.bottom()) << "the hidden window takes no share";
    entry(*w, "mnuFensterNebeneinander")->trigger();
    EXPECT_EQ(sub("002").height(), area.height());
    EXPECT_GE(sub("003").left(), sub("002").right());
    EXPECT_EQ(sub("003").right(), area.right());
    EXPECT_FALSE(w->channelSubWindow("004")->isVisible());
}

TEST_F(MainWindowTest, EndProgramSkipsTheQuestionAndReleasesEverything) {
    prepare();
    auto w = makeWindow();
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    QSignalSpy ended(w.get(), &frmMDIMainForm::programEnded);
    w->endProgram(); // no box: any box would fail the test
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->channelView("001"), nullptr);
    EXPECT_EQ(masterDatabase(), nullptr);
    EXPECT_EQ(storedSetting("Akku2Visible"), "YES");
}

TEST_F(MainWindowTest, MenuEntriesThatEndTheProgramSkipTheQuitQuestion) {
    struct Case {
        const char* entry;
        std::function<void(ScriptedDialogs&)> dialogs;
        QStringList boxes;  // all answered with Yes / Ok
        QString key, value; // stored for the next start
    };
    const Case cases[] = {
        {"mnuEinstellungenSprache",
         [](ScriptedDialogs& d) {
             d.expect("dlgSprache", [](QDialog* dlg) {
                 auto* list = dlg->findChild<QComboBox*>("cboSprache");
                 EXPECT_NE(list, nullptr);
                 if (list)
                     list->setCurrentIndex(list->findData("en"));
                 return int(QDialog::Accepted);
             });
         },
         {"0411", "1090"},
         "UsedLanguage",
         "en"},
        {"mnuBearbeitenDBKomprimieren",
         [](ScriptedDialogs&) {},
         {"1028", "1090", "1030"},
         "UsedLanguage",
         "de"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        TempProgramFolder own;
        prepare({{"UsedLanguage", "de"}});
        auto w = makeWindow();
        ASSERT_EQ(w->load(), StartupOutcome::Running);
        QSignalSpy ended(w.get(), &frmMDIMainForm::programEnded);
        {
            ScriptedDialogs dialogs;
            c.dialogs(dialogs);
            ScriptedMessages boxes;
            for (const QString& box : c.boxes)
                boxes.expect(box, box == "0411" || box == "1030" ? MsgAnswer::Ok : MsgAnswer::Yes);
            entry(*w, c.entry)->trigger();
        }
        EXPECT_EQ(ended.count(), 1);
        EXPECT_TRUE(w->hasEnded());
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(storedSetting(c.key), c.value);
        EXPECT_FALSE(QFile::exists(own.folder().compactTempPath()));
    }
}

TEST_F(MainWindowTest, HelpEntryOpensTheManualOfTheProgramFolder) {
    prepare();
    auto w = makeWindow();
    QList<QUrl> opened;
    w->setUrlOpener([&](const QUrl& url) { opened << url; });
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    entry(*w, "mnuHelpInhalt")->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), folder.folder().helpPath());
}

TEST(StartLogo, EndsOnceAfterItsTimeOrAtAKeyPress) {
    frmStartLogo logo(60000);
    QSignalSpy finished(&logo, &frmStartLogo::finished);
    logo.show();
    EXPECT_TRUE(logo.timerStartLogo()->isActive());
    QTest::keyClick(&logo, Qt::Key_Space);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(logo.isVisible());
    EXPECT_FALSE(logo.timerStartLogo()->isActive());
    logo.finish();
    EXPECT_EQ(finished.count(), 1);

    frmStartLogo quick(10);
    QSignalSpy quickFinished(&quick, &frmStartLogo::finished);
    quick.show();
    EXPECT_TRUE(quickFinished.wait(2000));
}

// Channel 1 lets the user interface run while it waits for a silent charger;
// ending the program or replacing the link from there must not pull the link
// (or the channel windows) away from under the waiting request.
TEST_F(MainWindowTest, EndingOrNewPortDuringAWaitingRequestIsSafe) {
    prepare();
    auto w = makeWindow();
    ASSERT_EQ(w->load(), StartupOutcome::Running);
    QSignalSpy ended(w.get(), &frmMDIMainForm::programEnded);

    VelmaraComCommunication* waiting = w->comLink();
    bool reopened = false;
    QTimer::singleShot(50, w.get(), [&] { reopened = w->reopenSerialLink(); });
    {
        // The old port is closed under the waiting request, which reports it.
        ScriptedMessages boxes;
        boxes.expect("Port not open");
        EXPECT_EQ(waiting->getProgram("001", true), ""); // the pty stays silent
    }
    EXPECT_TRUE(reopened);
    EXPECT_NE(w->comLink(), waiting);
    EXPECT_TRUE(w->comLink()->isComPortOpen());

    waiting = w->comLink();
    QTimer::singleShot(50, w.get(), [&] { w->endProgram(); });
    EXPECT_EQ(waiting->getProgram("001", true), "");
    EXPECT_TRUE(w->hasEnded());
    EXPECT_EQ(ended.count(), 0); // not while the request was on the line
    EXPECT_NE(w->channelView("001"), nullptr);
    EXPECT_TRUE(ended.wait(2000));
    EXPECT_EQ(w->comLink(), nullptr);
    EXPECT_EQ(w->channelView("001"), nullptr);
}

} // namespace
} // namespace velmara::test
