#pragma once
// The marks of the main window's status bar: a panel per channel (its name, a
// fault's sign, its state) and the mark of values that wait for the user file,
// with the notice that tells of them once per episode. They follow the board.
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QLabel;
class QStatusBar;

namespace velmara {

class ChannelBoard;
class Session;
struct ChannelSnapshot;

class StatusMarks : public QObject {
    Q_OBJECT
public:
    // Builds the panels and the mark into bar.
    StatusMarks(Session& session, QStatusBar* bar);

    // The panels show what the board's channels show from now on.
    void follow(ChannelBoard& board);
    // The channels' names in the current language.
    void applyTexts();
    // Channels 2 to 4 shown or hidden as the charger model has them.
    void fitToCharger();

    // Writes the state text of a channel into its panel.
    void setStatusbarText(const QString& channelCode, const QString& text, bool fault = false);
    // Values of a channel wait in memory because the user file does not take
    // them: one notice per episode and a mark in the status bar while it lasts.
    void setValuesWaiting(const QString& channelCode, int waiting, const QString& reason);
    int valuesWaiting() const;

    // A double click on a channel's name.
    std::function<void(const QString& channelCode)> channelNameDoubleClicked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const ChannelSnapshot& snapshot);

    struct Panel {
        QLabel* label = nullptr; // the channel's name
        QLabel* text = nullptr;  // its state text
        QLabel* fault = nullptr; // the sign before a fault's text
        int waitingValues = 0;   // values that wait for the user file
        QString waitingReason;
    };
    Session& m_session;
    QStatusBar* m_bar;
    std::array<Panel, 4> m_panels;
    QLabel* m_storageMark = nullptr;
    QString m_waitingReason; // why values wait, as the notice last said
};

} // namespace velmara
