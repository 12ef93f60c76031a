#include "ui/mainwindow/statusmarks.h"
#include "ui/mainwindow/mainwindownotices.h"
#include "ui/mainwindow/shellrules.h"

#include "base/core/messages.h"
#include "channel/core/channelboard.h"
#include "data/session.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>

namespace velmara {

using namespace mainwindow;

namespace {
constexpr int kPanelMinWidth = 140; // a channel's state panel in the status bar
} // namespace

StatusMarks::StatusMarks(Session& session, QStatusBar* bar)
    : QObject(bar), m_session(session), m_bar(bar) {
    bar->setObjectName(QStringLiteral("stbFirstStatusbar"));
    bar->setSizeGripEnabled(true);
    static const char* const designLabels[] = {"Kanal 1", "Kanal 2", "Kanal 3", "Kanal 4"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(designLabels[i]), bar);
        label->setObjectName(QStringLiteral("Kanal%1Label").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->installEventFilter(this);
        auto* text = new QLabel(bar);
        text->setObjectName(QStringLiteral("Kanal%1Text").arg(i + 1));
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        text->setMinimumWidth(kPanelMinWidth);
        // A fault's sign in front of the state text, shown only for a fault.
        auto* sign = new QLabel(bar);
        sign->setObjectName(QStringLiteral("Kanal%1Fehler").arg(i + 1));
        const int size = bar->style()->pixelMetric(QStyle::PM_SmallIconSize);
        sign->setPixmap(
            bar->style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
        sign->hide();
        bar->addWidget(label);
        bar->addWidget(sign);
        bar->addWidget(text, 1);
        m_panels[size_t(i)].label = label;
        m_panels[size_t(i)].text = text;
        m_panels[size_t(i)].fault = sign;
    }
    m_storageMark = new QLabel(bar);
    m_storageMark->setObjectName(QStringLiteral("lblNichtGespeichert"));
    m_storageMark->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));
    m_storageMark->hide();
    bar->addPermanentWidget(m_storageMark);
}

void StatusMarks::follow(ChannelBoard& board) {
    connect(&board, &ChannelBoard::snapshotChanged, this, &StatusMarks::show);
}

void StatusMarks::show(const ChannelSnapshot& snapshot) {
    const int i = indexOf(snapshot.channelCode);
    if (i < 0)
        return;
    const Panel& panel = m_panels[size_t(i)];
    setStatusbarText(snapshot.channelCode, snapshot.stateText, snapshot.fault);
    if (snapshot.valuesWaiting != panel.waitingValues ||
        snapshot.waitingReason != panel.waitingReason)
        setValuesWaiting(snapshot.channelCode, snapshot.valuesWaiting, snapshot.waitingReason);
}

void StatusMarks::applyTexts() {
    static const char* const labelKeys[] = {"1500", "1502", "1504", "1506"};
    for (int i = 0; i < 4; ++i)
        m_panels[size_t(i)].label->setText(m_session.text(labelKeys[i]));
}

void StatusMarks::fitToCharger() {
    std::optional<bool> visible = upperChannelPanelsVisible(m_session.setting("UsedCharger"));
    if (!visible)
        return;
    for (int i = 1; i < 4; ++i) {
        for (QLabel* panel : {m_panels[size_t(i)].label, m_panels[size_t(i)].text}) {
            panel->setVisible(*visible);
            if (*visible)
                panel->setEnabled(true);
        }
    }
}

int StatusMarks::valuesWaiting() const {
    int total = 0;
    for (const Panel& p : m_panels)
        total += p.waitingValues;
    return total;
}

void StatusMarks::setValuesWaiting(const QString& channelCode, int waiting, const QString& reason) {
    const int i = indexOf(channelCode);
    if (i < 0)
        return;
    const int before = valuesWaiting();
    m_panels[size_t(i)].waitingValues = waiting;
    m_panels[size_t(i)].waitingReason = reason;
    const int total = valuesWaiting();
    m_storageMark->setText(total > 0 ? m_session.text("1124").arg(total) : QString());
    m_storageMark->setVisible(total > 0);
    // The notice is shown again when the reason changes (the file is writable
    // again, but its -shm file is not).
    const bool newReason = waiting > 0 && !reason.isEmpty() && reason != m_waitingReason;
    if (total == 0 || newReason)
        m_waitingReason = total > 0 ? reason : QString();
    if ((before == 0 && total > 0) || (newReason && before > 0)) {
        Message m;
        m.key = QStringLiteral("1122");
        m.text = m_session.text(m.key) +
                 (reason.isEmpty() ? QString() : QStringLiteral("\n\n") + reason);
        m.title = m_session.text(QStringLiteral("0120"));
        m.icon = MsgIcon::Exclamation;
        m.buttons = MsgButtons::Ok;
        m_session.prompter().notify(kStorageNotice, m);
    } else if (total == 0) {
        m_session.prompter().withdraw(kStorageNotice);
    }
}

void StatusMarks::setStatusbarText(const QString& channelCode, const QString& text, bool fault) {
    const int i = indexOf(channelCode);
    if (i < 0)
        return;
    Panel& panel = m_panels[size_t(i)];
    panel.text->setText(text);
    panel.text->setToolTip(text); // a long fault text may not fit the panel
    // A fault stands out: its sign and the fault colour.
    panel.text->setStyleSheet(fault ? QStringLiteral("color: rgb(190, 0, 0); font-weight: bold;")
                                    : QString());
    panel.fault->setVisible(fault && !panel.text->isHidden());
    // A fault's panel asks for the width of its whole text, up to half the bar;
    // the other panels give way.
    QFont font = panel.text->font();
    font.setBold(true);
    const int whole = QFontMetrics(font).horizontalAdvance(text) + 12;
    panel.text->setMinimumWidth(
        fault ? std::clamp(whole, kPanelMinWidth, std::max(kPanelMinWidth, m_bar->width() / 2))
              : kPanelMinWidth);
}

bool StatusMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 4; ++i)
            if (watched == m_panels[size_t(i)].label) {
                if (channelNameDoubleClicked)
                    channelNameDoubleClicked(allChannelCodes().at(i));
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmara
