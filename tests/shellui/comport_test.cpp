// The serial-port dialogs: preselection from ComPort, device paths, refusing an
// incomplete choice, and reopening the link from the menu form.
#include "selection_fixture.h"

#include "shell/ui/comportdialog.h"

#include <QRadioButton>

namespace velmara::test {
namespace {

class ComPortDialogs : public SelectionFixture {};

int checkedOption(QDialog* d) {
    int checked = 0;
    for (int port = 1; port <= 4; ++port) {
        auto* option = d->findChild<QRadioButton*>(QStringLiteral("optCom%1").arg(port));
        EXPECT_NE(option, nullptr);
        if (option && option->isChecked()) {
            EXPECT_EQ(checked, 0) << "two options checked";
            checked = port;
        }
    }
    return checked;
}

TEST_F(ComPortDialogs, PreselectsThePortTheSettingNamesAndShowsEachDevicePath) {
    const struct {
        const char* comPort;
        int option; // 0: none
    } cases[] = {{"4", 4}, {" 2 ", 2}, {"7", 0}, {"", 0}, {"COM3", 0}};
    setSetting("ComDevice3", "/dev/ttyS5");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comPort);
        setSetting("ComPort", c.comPort);
        for (auto form : {ComPortDialog::Form::FirstStart, ComPortDialog::Form::Menu}) {
            ComPortDialog dialog(form);
            EXPECT_EQ(checkedOption(&dialog), c.option);
            EXPECT_EQ(dialog.chosenPort(), c.option);
            EXPECT_EQ(child<QLineEdit>(&dialog, "txtComDevice3")->text(), "/dev/ttyS5");
            EXPECT_EQ(child<QAbstractButton>(&dialog, "cmdOK")->isEnabled(), c.option != 0);
        }
    }
}

TEST_F(ComPortDialogs, ConfirmingWithoutAPortOrWithoutItsPathIsRefused) {
    setSetting("ComPort", "7");
    int reopened = 0;
    ScriptedDialogs dialogs;
    dialogs.expect("dlgComPortSelection", [](QDialog* d) {
        EXPECT_EQ(clickOk(d), QDialog::Rejected); // nothing chosen: stays open
        check(d, "optCom3");
        edit(d, "txtComDevice3", "  ");
        EXPECT_EQ(clickOk(d), QDialog::Rejected); // COM3 stands for no device
        edit(d, "txtComDevice3", "/dev/ttyUSB3");
        return clickOk(d);
    });

    EXPECT_TRUE(runComPortDialog(false, [&] { return ++reopened, true; }));
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(getSetting("ComPort"), "3");
    EXPECT_EQ(getSetting("ComDevice3"), "/dev/ttyUSB3");
}

TEST_F(ComPortDialogs, AFailedReopenShowsTheErrorAndTheDialogAgain) {
    setSetting("ComDevice1", "/dev/ttyUSB0");
    setSetting("ComDevice2", "/dev/ttyUSB1");
    QStringList linkOpenedWith; // port and its device path at each attempt
    const auto reopen = [&] {
        const QString port = getSetting("ComPort");
        linkOpenedWith << port + " " + getSetting("ComDevice" + port);
        return linkOpenedWith.size() > 1;
    };
    ScriptedDialogs dialogs;
    ScriptedMessages boxes;
    dialogs
        .expect("dlgComPortSelection",
                [](QDialog* d) {
                    check(d, "optCom2");
                    return clickOk(d);
                })
        .expect("dlgComPortSelection", [](QDialog* d) {
            EXPECT_EQ(checkedOption(d), 2); // the stored choice is shown again
            check(d, "optCom4");
            edit(d, "txtComDevice4", "/tmp/velmara-sim");
            edit(d, "txtComDevice1", ""); // an emptied path of another port is kept
            return clickOk(d);
        });
    boxes.expect("1092");

    EXPECT_TRUE(runComPortDialog(true, reopen));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(linkOpenedWith, (QStringList{"2 /dev/ttyUSB1", "4 /tmp/velmara-sim"}));
    EXPECT_EQ(getSetting("ComPort"), "4");
    EXPECT_EQ(getSetting("ComDevice4"), "/tmp/velmara-sim");
    EXPECT_EQ(getSetting("ComDevice1"), "/dev/ttyUSB0");
}

TEST_F(ComPortDialogs, CancelEndsTheProgramOnlyWhenStartUpAskedSo) {
    for (bool endOnCancel : {true, false}) {
        SCOPED_TRACE(endOnCancel);
        int reopened = 0;
        ScriptedDialogs dialogs;
        dialogs.expect("dlgComPortSelection", [](QDialog* d) {
            check(d, "optCom4");
            return clickCancel(d);
        });
        EXPECT_EQ(runComPortDialog(endOnCancel, [&] { return ++reopened, true; }), !endOnCancel);
        EXPECT_EQ(reopened, 0);
        EXPECT_EQ(getSetting("ComPort"), "1");
    }
}

} // namespace
} // namespace velmara::test
