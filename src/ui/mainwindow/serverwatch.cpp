#include "ui/mainwindow/serverwatch.h"

#include "channel/core/channelboard.h"
#include "data/batteryleases.h"
#include "data/session.h"
#include "data/valueshipper.h"

#include <QLabel>
#include <QStatusBar>

namespace velmara {

ServerWatch::ServerWatch(Session& session, ChannelBoard& board, QStatusBar* bar,
                         std::function<bool(qint32)> isUsed)
    : QObject(bar), m_session(session), m_isUsed(std::move(isUsed)) {
    m_mark = new QLabel(bar);
    m_mark->setObjectName(QStringLiteral("lblServerWartet"));
    m_mark->setStyleSheet(QStringLiteral("color: rgb(160, 90, 0); font-weight: bold;"));
    m_mark->hide();
    bar->addPermanentWidget(m_mark);
    if (ValueShipper* shipper = session.shipper()) {
        connect(shipper, &ValueShipper::changed, this, &ServerWatch::showWaiting);
        board.followShipper(*shipper);
        showWaiting();
    }
    if (BatteryLeases* leases = session.leases()) {
        // A recording resumed at start holds its battery as a new one does;
        // one the server could not be asked for is taken at the next check.
        connect(&board, &ChannelBoard::recordingStarted, this,
                [this](const QString&, qint32 battery, qint32) {
                    m_recording.insert(battery);
                    takeLease(battery);
                });
        connect(&board, &ChannelBoard::recordingStopped, this,
                [leases, this](const QString&, qint32 battery, qint32) {
                    if (!m_isUsed || !m_isUsed(battery)) {
                        m_recording.remove(battery);
                        leases->release(battery);
                    }
                });
        m_check.setInterval(15000);
        connect(&m_check, &QTimer::timeout, this, &ServerWatch::checkLeases);
        m_check.start();
    }
}

void ServerWatch::takeLease(qint32 battery) {
    BatteryLeases* leases = m_session.leases();
    QString other;
    const auto taken = leases->take(battery, &other);
    if (!taken || !*taken)
        m_session.writeLog(
            QStringLiteral("Battery on the server"),
            {QStringLiteral("battery %1 is recorded here, but %2")
                 .arg(battery)
                 .arg(taken ? QStringLiteral("station %1 holds it").arg(other)
                            : QStringLiteral("could not be taken: ") + taken.error())});
}

void ServerWatch::showWaiting() {
    const ValueShipper* shipper = m_session.shipper();
    const int waiting = shipper ? shipper->waiting() : 0;
    m_mark->setText(waiting > 0 ? m_session.text(QStringLiteral("4922")).arg(waiting) : QString());
    m_mark->setToolTip(shipper ? shipper->lastError() : QString());
    m_mark->setVisible(waiting > 0);
}

// Batteries no channel records any more are let go; those it records are
// taken again after a lost connection.
void ServerWatch::checkLeases() {
    BatteryLeases* leases = m_session.leases();
    if (!leases)
        return;
    for (qint32 battery : leases->held())
        if (m_isUsed && !m_isUsed(battery)) {
            m_recording.remove(battery);
            leases->release(battery);
        }
    if (const auto checked = leases->check(); !checked) {
        m_session.writeLog(QStringLiteral("Battery on the server"), {checked.error()});
        return;
    }
    const QSet<qint32> held = leases->held();
    for (qint32 battery : std::as_const(m_recording))
        if (!held.contains(battery))
            takeLease(battery);
}

} // namespace velmara
