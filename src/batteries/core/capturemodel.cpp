#include "batteries/core/capturemodel.h"
#include "data/batteryleases.h"

#include "batteries/core/capturechannel.h"
#include "link/chargermodel.h"

namespace velmara {

namespace {
const QString kTitleInfo = QStringLiteral("0410");
const QString kTitleCapture = QStringLiteral("0700");
const QString kTitleName = QStringLiteral("0550");
const QString kTwoBreaks = QStringLiteral("\n\n");
} // namespace

int channelNumberOfAnswer(const QString& answer) {
    return ChannelCode::fromText(answer).value_or(ChannelCode()).number();
}

int CallbackBatteryUsage::channelUsing(qint32 batteryId) {
    return m_isUsed ? channelNumberOfAnswer(m_isUsed(batteryId)) : 0;
}

// A server that cannot be asked names no other station here: taking the
// battery, which a recording needs, is refused then.
QString CallbackBatteryUsage::stationUsing(qint32 batteryId) {
    return m_leases ? m_leases->holder(batteryId).valueOr(QString()) : QString();
}

bool CallbackBatteryUsage::takeBattery(qint32 batteryId, QString* station) {
    if (!m_leases)
        return true;
    const auto taken = m_leases->take(batteryId, station);
    if (!taken && station)
        *station = taken.error();
    return taken && *taken;
}

CaptureModel::CaptureModel(BatteryStore& store, BatteryUsage& usage, CaptureChannel* channel,
                           TextLookup text, AskFunction ask)
    : m_store(store), m_usage(usage), m_channel(channel), m_text(std::move(text)),
      m_ask(std::move(ask)) {}

MsgAnswer CaptureModel::ask(const QString& text, const QString& key, const QString& titleKey,
                            MsgIcon icon, MsgButtons buttons) {
    Message m;
    m.text = text;
    m.key = key;
    m.title = m_text(titleKey);
    m.icon = icon;
    m.buttons = buttons;
    return m_ask ? m_ask(m) : (buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No);
}

QString CaptureModel::inUseText(const QString& firstKey, int channel,
                                const QString& secondKey) const {
    return m_text(firstKey) + QLatin1Char(' ') + QString::number(channel) + QLatin1Char(' ') +
           m_text(secondKey);
}

QString CaptureModel::deleteQuestion(const QString& questionKey, const QString& lossText) const {
    return m_text(questionKey) + kTwoBreaks + lossText + kTwoBreaks +
           m_text(QStringLiteral("0742"));
}

void CaptureModel::reportStoreError() {
    ask(m_store.lastError(), QString(), kTitleInfo, MsgIcon::Critical, MsgButtons::Ok);
}

const BatteryRow* CaptureModel::selectedBattery() const {
    for (const BatteryRow& row : m_batteries)
        if (row.id == m_selected)
            return &row;
    return nullptr;
}

void CaptureModel::reloadBatteries() {
    m_batteries = m_store.batteries();
    if (!selectedBattery())
        m_selected = -1;
}

void CaptureModel::reloadSeries() {
    m_series = m_selected == -1 ? QVector<SeriesRow>() : m_store.series(m_selected);
}

void CaptureModel::updateNewSeriesEnabled() {
    m_controls.newSeriesEnabled = !isManagement() && !m_locked && m_selected != -1;
}

void CaptureModel::selectBattery(qint32 batteryId) {
    m_selected = batteryId;
    if (!selectedBattery())
        m_selected = -1;
    reloadSeries();
    updateNewSeriesEnabled();
}

void CaptureModel::setImmediate(bool immediate) {
    if (immediate && !m_controls.immediateEnabled)
        return;
    m_controls.immediate = immediate;
}

bool CaptureModel::initialize() {
    m_locked = false;
    m_controls = CaptureControls();
    m_endValuesAvailable = false;
    m_store.clearError();
    reloadBatteries();
    m_selected = m_batteries.isEmpty() ? -1 : m_batteries.first().id;
    // Batteries that cannot be read (a server that cannot be reached) are
    // said, not shown as none; capturing can still be ended.
    const bool unread = !m_store.lastError().isEmpty();
    if (unread)
        reportStoreError();

    if (isManagement()) {
        if (unread)
            return false;
        // Managing is not capturing: its own title, and a close button that cancels nothing.
        m_title = m_text(QStringLiteral("4600"));
        m_controls.cancelKey = QStringLiteral("1614");
        m_controls.captureVisible = false;
        m_controls.managementVisible = true;
        m_actualBattery = -1;
        m_actualSeries = -1;
        reloadSeries();
        updateNewSeriesEnabled();
        return true;
    }

    // Without a measurement there is no recording to keep running.
    if (!m_channel->measurementRunning())
        m_channel->stopRecording();
    m_recordRunning = m_channel->isRecording();
    m_queued = m_channel->isQueued();
    m_measurementRunning = m_channel->measurementRunning();
    m_endValuesAvailable = m_channel->endValuesAvailable();
    m_actualBattery = m_channel->batteryId();
    m_actualSeries = m_channel->seriesId();

    const int channel = channelNumberOfAnswer(m_channel->channelCode());
    m_title = m_text(kTitleCapture) + QStringLiteral(" - ") + m_text(QStringLiteral("0701")) +
              (channel > 0 ? QLatin1Char(' ') + QString::number(channel) : QString());

    m_controls.immediate = true;
    m_controls.immediateEnabled = m_controls.nextEnabled = m_controls.frameEnabled =
        !m_recordRunning;
    m_controls.endEnabled = m_recordRunning;
    if (!m_measurementRunning && !m_endValuesAvailable) {
        // Nothing has been measured that could be taken over.
        m_controls.immediate = false;
        m_controls.immediateEnabled = false;
    }

    if (m_actualBattery != -1) {
        for (const BatteryRow& row : m_batteries)
            if (row.id == m_actualBattery)
                m_selected = row.id;
    }
    reloadSeries();
    updateNewSeriesEnabled();

    if (m_queued) {
        if (!cancelQueuedSeries())
            return false;
        m_channel->dropQueuedRecording();
        m_queued = false;
        reloadSeries();
        m_channel->setHeading();
    }
    return true;
}

bool CaptureModel::cancelQueuedSeries() {
    if (ask(m_text(QStringLiteral("0726")), QStringLiteral("0726"), kTitleInfo, MsgIcon::Question,
            MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    // The channel polls while the question is open: a recording that has begun
    // meanwhile keeps its series.
    if (!m_channel->isQueued() || m_channel->seriesId() != m_actualSeries)
        return false;
    const auto queued = m_store.seriesById(m_actualSeries);
    if (!queued)
        return true; // nothing stored any more for the queued recording
    // A battery that was made for the queued series goes with it. Only a battery
    // without other series: deleting it must never take stored series along.
    if (m_store.series(queued->batteryId).size() == 1) {
        if (!removeBattery(queued->batteryId))
            return true;
        m_channel->forgetBattery();
        m_selected = -1;
        reloadSeries();
        updateNewSeriesEnabled();
    } else if (m_store.deleteSeries(queued->id)) {
        if (seriesDeleted)
            seriesDeleted(queued->id);
    } else {
        reportStoreError();
    }
    return true;
}

bool CaptureModel::confirmImmediateWithTemp() {
    if (!m_controls.immediate)
        return false;
    if (ask(m_text(QStringLiteral("0750")), QStringLiteral("0750"), kTitleCapture,
            MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes)
        return true;
    if (!m_measurementRunning)
        m_controls.immediate = false; // wait for the next charging process
    return false;
}

void CaptureModel::lockCaptureControls() {
    m_locked = true;
    m_controls.endEnabled = false;
    m_controls.newSeriesEnabled = false;
    m_controls.newBatteryEnabled = false;
    m_controls.frameEnabled = false;
    m_controls.nextEnabled = false;
    m_controls.immediateEnabled = false;
    m_controls.cancelKey = QStringLiteral("0100");
}

void CaptureModel::startOnChannel(qint32 batteryId, qint32 seriesId, const QString& name,
                                  const QString& remark, int number) {
    const bool withTemp = confirmImmediateWithTemp();
    const bool queued = !m_controls.immediate; // read after the question, which may change it
    m_channel->startRecording(batteryId, seriesId, queued, withTemp);
    m_channel->setHeading(name, remark, QString::number(number));
    lockCaptureControls();
    reloadSeries();
}

bool CaptureModel::acceptNewBatteryName(const QString& name) {
    switch (m_store.checkName(name)) {
    case NameCheck::Free:
        return true;
    case NameCheck::Blank:
        ask(m_text(QStringLiteral("0554")), QStringLiteral("0554"), kTitleName,
            MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    case NameCheck::Taken:
        ask(m_text(QStringLiteral("0552")), QStringLiteral("0552"), kTitleName,
            MsgIcon::Information, MsgButtons::Ok);
        return false;
    case NameCheck::Failed:
        reportStoreError();
        return false;
    }
    return false;
}

bool CaptureModel::addNewBattery(const QString& name, const QString& batteryRemark,
                                 const QString& seriesRemark) {
    if (isManagement() || m_locked)
        return false;
    const auto created =
        m_store.createBattery(name, batteryRemark, seriesRemark, m_channel->channelCode().toInt());
    if (!created) {
        reportStoreError();
        return false;
    }
    reloadBatteries();
    m_selected = created->batteryId;
    (void)m_usage.takeBattery(created->batteryId, nullptr); // new: nobody else knows it yet
    startOnChannel(created->batteryId, created->seriesId, name.trimmed(), seriesRemark,
                   created->number);
    return true;
}

bool CaptureModel::newSeriesAllowed() {
    if (m_selected == -1)
        return false;
    if (const int channel = m_usage.channelUsing(m_selected)) {
        ask(inUseText(QStringLiteral("0748"), channel, QStringLiteral("0749")),
            QStringLiteral("0748"), kTitleInfo, MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    return !usedElsewhere(m_selected, QStringLiteral("4920"));
}

bool CaptureModel::usedElsewhere(qint32 batteryId, const QString& key) {
    const QString station = m_usage.stationUsing(batteryId);
    if (station.isEmpty())
        return false;
    ask(m_text(key).arg(station), key, kTitleInfo, MsgIcon::Information, MsgButtons::Ok);
    return true;
}

bool CaptureModel::takeForRecording(qint32 batteryId) {
    QString station;
    if (m_usage.takeBattery(batteryId, &station))
        return true;
    ask(m_text(QStringLiteral("4920")).arg(station), QStringLiteral("4920"), kTitleInfo,
        MsgIcon::Information, MsgButtons::Ok);
    return false;
}

bool CaptureModel::addNewSeries(const QString& remark) {
    const BatteryRow* battery = selectedBattery();
    if (isManagement() || m_locked || !battery)
        return false;
    const QString name = battery->name;
    // Another station starting the battery at the same moment gets it or is told.
    if (!takeForRecording(battery->id))
        return false;
    const auto created = m_store.addSeries(battery->id, remark, m_channel->channelCode().toInt());
    if (!created) {
        reportStoreError();
        return false;
    }
    startOnChannel(created->batteryId, created->seriesId, name, remark, created->number);
    return true;
}

void CaptureModel::endCapture() {
    if (isManagement() || m_locked)
        return;
    m_channel->endRecording();
    m_channel->setHeading();
    lockCaptureControls();
}

bool CaptureModel::removeBattery(qint32 batteryId) {
    const auto doomed = m_store.series(batteryId);
    if (!m_store.deleteBattery(batteryId)) {
        reportStoreError();
        return false;
    }
    if (seriesDeleted)
        for (const SeriesRow& row : doomed)
            seriesDeleted(row.id);
    reloadBatteries();
    return true;
}

bool CaptureModel::deleteSelectedBattery() {
    if (m_batteries.isEmpty() || m_selected == -1)
        return false;
    const qint32 id = m_selected;
    if (m_usage.channelUsing(id)) {
        ask(m_text(QStringLiteral("0752")), QStringLiteral("0752"), kTitleInfo,
            MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    if (usedElsewhere(id, QStringLiteral("4921")))
        return false;
    const DeletionLoss loss = m_store.lossOfBattery(id);
    const QString lossText = m_text(QStringLiteral("0743")).arg(loss.series).arg(loss.values);
    if (ask(deleteQuestion(QStringLiteral("0740"), lossText), QStringLiteral("0740"), kTitleInfo,
            MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    // A channel may have taken the battery up while the question was open.
    if (const int channel = m_usage.channelUsing(id)) {
        ask(inUseText(QStringLiteral("0746"), channel, QStringLiteral("0747")),
            QStringLiteral("0746"), kTitleInfo, MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    if (!removeBattery(id))
        return false;
    m_selected = -1;
    reloadSeries();
    updateNewSeriesEnabled();
    m_usage.releaseBattery(id);
    return true;
}

bool CaptureModel::deleteSeries(qint32 seriesId) {
    if (m_batteries.isEmpty() || m_selected == -1)
        return false;
    const qint32 battery = m_selected;
    bool ofSelected = false;
    for (const SeriesRow& row : m_series)
        ofSelected = ofSelected || row.id == seriesId;
    if (!ofSelected)
        return false;
    if (m_usage.channelUsing(battery)) {
        ask(m_text(QStringLiteral("0752")), QStringLiteral("0752"), kTitleInfo,
            MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    if (usedElsewhere(battery, QStringLiteral("4921")))
        return false;
    const DeletionLoss loss = m_store.lossOfSeries(seriesId);
    const QString lossText = m_text(QStringLiteral("0745")).arg(loss.values);
    if (ask(deleteQuestion(QStringLiteral("0744"), lossText), QStringLiteral("0744"), kTitleInfo,
            MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    // A battery keeps at least one series: the last one goes with its battery.
    if (m_store.series(battery).size() <= 1)
        return deleteSelectedBattery();
    if (const int channel = m_usage.channelUsing(battery)) {
        ask(inUseText(QStringLiteral("0746"), channel, QStringLiteral("0747")),
            QStringLiteral("0746"), kTitleInfo, MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    if (!m_store.deleteSeries(seriesId)) {
        reportStoreError();
        return false;
    }
    if (seriesDeleted)
        seriesDeleted(seriesId);
    reloadSeries();
    return true;
}

} // namespace velmara
