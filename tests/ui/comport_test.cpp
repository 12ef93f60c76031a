// The serial-port dialogs: preselection from ComPort, device paths, refusing an
// incomplete choice, and reopening the link from the menu form.
#include "selection_fixture.h"

#include "ui/dialogs/comportdialog.h"

namespace velmara::test {
namespace {

class ComPortDialogs : public SelectionFixture {};

int checkedOption(QDialog* d) {
    return static_cast<ComPortDialog*>(d)->chosenPort();
}

// Cancel stores nothing and ends the program only when start-up asked so.
TEST_F(ComPortDialogs, PreselectsTheSettingsPortAndCancelStoresNothing) {
    const struct {
        const char* comPort;
        int option; // 0: none
    } cases[] = {{"4", 4}, {" 2 ", 2}, {"7", 0}, {"", 0}, {"COM3", 0}};
    setting("ComDevice3", "/dev/ttyS5");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comPort);
        setting("ComPort", c.comPort);
        ComPortDialog first(session(), ComPortDialog::Form::FirstStart);
        EXPECT_EQ(checkedOption(&first), c.option);
        for (bool endOnCancel : {true, false}) {
            int reopened = 0;
            ScriptedDialogs dialogs(session().prompter());
            dialogs.expect("dlgComPortSelection", [&](QDialog* d) {
                EXPECT_EQ(checkedOption(d), c.option);
                EXPECT_EQ(child<QLineEdit>(d, "txtComDevice3")->text(), "/dev/ttyS5");
                EXPECT_EQ(child<QAbstractButton>(d, "cmdOK")->isEnabled(), c.option != 0);
                check(d, "optCom4");
                return click(d, "cmdCancel");
            });
            EXPECT_EQ(runComPortDialog(session(), endOnCancel, [&] { return ++reopened, true; }),
                      !endOnCancel);
            EXPECT_EQ(reopened, 0);
            EXPECT_EQ(setting("ComPort"), c.comPort);
        }
    }
}

// An incomplete choice is refused; a failed reopen shows the error and the
// dialog again, with the stored choice.
TEST_F(ComPortDialogs, RefusesAnIncompleteChoiceAndRetriesAFailedReopen) {
    setting("ComPort", "7");
    setting("ComDevice1", "/dev/ttyUSB0");
    QStringList linkOpenedWith; // port and its device path at each attempt
    const auto reopen = [&] {
        const QString port = setting("ComPort");
        linkOpenedWith << port + " " + setting("ComDevice" + port);
        return linkOpenedWith.size() > 1;
    };
    ScriptedDialogs dialogs(session().prompter());
    ScriptedMessages boxes(session());
    dialogs
        .expect("dlgComPortSelection",
                [](QDialog* d) {
                    EXPECT_EQ(click(d, "cmdOK"), QDialog::Rejected) << "nothing chosen";
                    check(d, "optCom2");
                    edit(d, "txtComDevice2", "  ");
                    EXPECT_EQ(click(d, "cmdOK"), QDialog::Rejected) << "no device";
                    edit(d, "txtComDevice2", "/dev/ttyUSB1");
                    return click(d, "cmdOK");
                })
        .expect("dlgComPortSelection", [](QDialog* d) {
            EXPECT_EQ(checkedOption(d), 2);
            check(d, "optCom4");
            edit(d, "txtComDevice4", "/tmp/velmara-sim");
            edit(d, "txtComDevice1", ""); // an emptied path of another port is kept
            return click(d, "cmdOK");
        });
    boxes.expect("1092");

    EXPECT_TRUE(runComPortDialog(session(), true, reopen));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    // The box says which path failed and why.
    EXPECT_TRUE(boxes.shown[0].text.endsWith(session().text("1126").arg("/dev/ttyUSB1")));
    EXPECT_EQ(linkOpenedWith, (QStringList{"2 /dev/ttyUSB1", "4 /tmp/velmara-sim"}));
    EXPECT_EQ(setting("ComPort"), "4");
    EXPECT_EQ(setting("ComDevice2"), "/dev/ttyUSB1");
    EXPECT_EQ(setting("ComDevice4"), "/tmp/velmara-sim");
    EXPECT_EQ(setting("ComDevice1"), "/dev/ttyUSB0");
}

} // namespace
} // namespace velmara::test
