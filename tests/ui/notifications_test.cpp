// Desktop notifications of channel events through the main window: the setting
// and its menu entry, also for a master file without the setting's row.
#include "data/session.h"
#include "mainwindow_fixture.h"

#include "data/databases.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "notify/channelevents.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fake_notifier.h"

#include <QAction>

namespace velmara::test {
namespace {

using NotificationsTest = MainWindowTest;

TEST_F(NotificationsTest, SentWhileTheSettingAllowsAndTheMenuSwitchesThem) {
    auto w = start();
    QStringList sent;
    w->setDesktopNotifier(std::make_unique<FakeNotifier>(&sent));
    const ChannelEvent ended{"002", ChannelEvent::Kind::Ended, 5, 0};
    w->tellChannelEvent(ended);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0], session().text("2200").arg(2) + " | " +
                           session().text("2202").arg(session().text("6018")));

    auto* entry = w->findChild<QAction*>("mnuEinstellungenBenachrichtigungen");
    ASSERT_NE(entry, nullptr);
    // A master file of an older version has no row: on, and switching off adds it.
    ASSERT_TRUE(session().master()->execute("DELETE FROM Optionen WHERE key = 'Notifications'"));
    session().settings().setRecordset(session().master()->openRecordset("SELECT * FROM Optionen"));
    w->tellChannelEvent(ended);
    EXPECT_EQ(sent.size(), 2);
    entry->setChecked(true);
    entry->trigger(); // unchecks
    EXPECT_EQ(session().setting("Notifications"), "NO");
    w->tellChannelEvent(ended);
    EXPECT_EQ(sent.size(), 2);
    entry->trigger();
    EXPECT_EQ(session().setting("Notifications"), "YES");
    w->tellChannelEvent({"004", ChannelEvent::Kind::Fault, 7, 3});
    EXPECT_EQ(sent.size(), 3);
    w->endProgram();
}

} // namespace
} // namespace velmara::test
