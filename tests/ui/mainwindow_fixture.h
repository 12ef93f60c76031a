#pragma once
// A program folder with the delivered databases, preset settings, a pty to stand
// in for the charger's port, and channel views that record what they were asked.
#include "channel/core/channelboard.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"
#include "ui/mainwindow/mainwindow.h"

#include <QMap>

#include <gtest/gtest.h>

#include <memory>

namespace velmara::test {

// The master end of a pseudo-terminal; its slave is a serial device the link can open.
class Pty {
public:
    Pty();
    ~Pty();
    const QString& slavePath() const { return m_slave; }

private:
    int m_master = -1;
    QString m_slave;
};

// A channel view that answers the battery queries from a list and records the calls.
class RecordingChannelView : public QWidget, public ChannelView {
public:
    RecordingChannelView(const QString& code, QStringList* asked) : m_code(code), m_asked(asked) {
        resize(300, 200);
    }
    QWidget* widget() override { return this; }
    QString channelCode() const override { return m_code; }
    bool releaseBattery(qint32 id) override {
        *m_asked << "reset" + m_code;
        return usedIds.contains(id);
    }
    bool isBatteryUsed(qint32 id) override {
        *m_asked << "used" + m_code;
        return usedIds.contains(id);
    }
    std::pair<qint32, qint32> recordedSeries() const override { return recorded; }
    QList<qint32> usedIds;
    std::pair<qint32, qint32> recorded{-1, -1};

private:
    QString m_code;
    QStringList* m_asked;
};

class MainWindowTest : public ::testing::Test {
protected:
    // Delivered databases with FirstStartup "NO" and COM1 on the pty, plus the overrides.
    void prepare(const QMap<QString, QString>& overrides = {});
    // Reads a setting from the master file while the program is not running.
    QString storedSetting(const QString& key);
    // A main window whose channel views are RecordingChannelViews.
    std::unique_ptr<MainWindow> makeWindow();
    // prepare, then a window that has started.
    std::unique_ptr<MainWindow> start(const QMap<QString, QString>& overrides = {});
    void TearDown() override;
    // A fresh folder for the next case of a table: the helpers work on it from now on.
    void freshFolder() {
        ownFolder.reset(); // the old one goes first
        ownFolder = std::make_unique<TempProgramFolder>();
    }
    TempProgramFolder& current() { return ownFolder ? *ownFolder : folder; }
    Session& session() { return current().session(); }

    TempProgramFolder folder;
    std::unique_ptr<TempProgramFolder> ownFolder;
    Pty pty;
    QStringList asked;
    std::vector<std::unique_ptr<ChannelBoard>> boards; // one per window made
};

} // namespace velmara::test
