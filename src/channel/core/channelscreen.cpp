#include "channel/core/channelscreen.h"

namespace velmara {

ChannelScreen::ChannelScreen(std::function<void()> changed,
                             std::function<void(const StatusRecord&)> polled)
    : m_changed(std::move(changed)), m_polled(std::move(polled)) {}

void ChannelScreen::attach(ChannelDisplay* view) {
    m_view = view;
    if (!view)
        return;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        view->setText(ChannelField(it.key()), it.value());
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it)
        view->setVisible(ChannelField(it.key()), it.value());
    view->setEndValueLines(m_laden, m_entladen);
    view->setValuesStale(m_stale);
    view->setStorageWarning(m_storageWarning);
    view->setHeartbeat(m_lit);
    view->setFaultState(m_fault); // after the state text, which it draws
}

void ChannelScreen::setText(ChannelField field, const QString& text) {
    m_texts[int(field)] = text;
    if (m_view)
        m_view->setText(field, text);
    m_changed();
}

QString ChannelScreen::text(ChannelField field) const {
    return m_texts.value(int(field));
}

void ChannelScreen::setVisible(ChannelField field, bool visible) {
    m_visible[int(field)] = visible;
    if (m_view)
        m_view->setVisible(field, visible);
    m_changed();
}

void ChannelScreen::setHeartbeat(bool lit) {
    m_lit = lit;
    if (m_view)
        m_view->setHeartbeat(lit);
}

void ChannelScreen::setFaultState(bool fault) {
    m_fault = fault;
    if (m_view)
        m_view->setFaultState(fault);
    m_changed();
}

void ChannelScreen::setEndValueLines(const QList<EndValueDisplayLine>& laden,
                                     const QList<EndValueDisplayLine>& entladen) {
    m_laden = laden;
    m_entladen = entladen;
    if (m_view)
        m_view->setEndValueLines(laden, entladen);
    m_changed();
}

void ChannelScreen::setValuesStale(bool stale) {
    m_stale = stale;
    if (m_view)
        m_view->setValuesStale(stale);
    m_changed();
}

void ChannelScreen::reportFault(qint16 faultCode, const Message& box) {
    if (m_view)
        m_view->reportFault(faultCode, box);
    m_changed();
}

void ChannelScreen::setStorageWarning(const QString& text) {
    m_storageWarning = text;
    if (m_view)
        m_view->setStorageWarning(text);
    m_changed();
}

void ChannelScreen::polled(const StatusRecord& status) {
    if (m_view)
        m_view->polled(status);
    m_polled(status);
}

} // namespace velmara
