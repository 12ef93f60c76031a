#pragma once
// What the poll cycle has written for a channel's window, kept whether or not
// a window shows it: each call is remembered and passed on to the window that
// is attached, and a window attached later is shown all of it at once.
#include "channel/core/channeldisplay.h"

#include <QHash>

#include <functional>

namespace velmara {

class ChannelScreen : public ChannelDisplay {
public:
    // changed runs after every call; polled after every reading.
    ChannelScreen(std::function<void()> changed, std::function<void(const StatusRecord&)> polled);

    // One window at a time; null: none. The window is shown what is kept.
    void attach(ChannelDisplay* view);
    ChannelDisplay* view() const { return m_view; }
    bool valuesStale() const { return m_stale; }
    bool isVisible(ChannelField field) const { return m_visible.value(int(field), true); }
    // The lines of the end-value lists as the window shows them.
    const QList<EndValueDisplayLine>& chargeLines() const { return m_laden; }
    const QList<EndValueDisplayLine>& dischargeLines() const { return m_entladen; }

    void setText(ChannelField field, const QString& text) override;
    QString text(ChannelField field) const override;
    void setVisible(ChannelField field, bool visible) override;
    void setHeartbeat(bool lit) override;
    void setFaultState(bool fault) override;
    void setEndValueLines(const QList<EndValueDisplayLine>& laden,
                          const QList<EndValueDisplayLine>& entladen) override;
    void setValuesStale(bool stale) override;
    // A fault's box is the window's to show; it is not kept for a later window.
    void reportFault(qint16 faultCode, const Message& box) override;
    void setStorageWarning(const QString& text) override;
    void polled(const StatusRecord& status) override;

private:
    std::function<void()> m_changed;
    std::function<void(const StatusRecord&)> m_polled;
    ChannelDisplay* m_view = nullptr;
    QHash<int, QString> m_texts;
    QHash<int, bool> m_visible;
    bool m_lit = false;
    bool m_fault = false;
    bool m_stale = false;
    QList<EndValueDisplayLine> m_laden, m_entladen;
    QString m_storageWarning;
};

} // namespace velmara
