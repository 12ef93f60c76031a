#pragma once
// What the poll cycle and the recording need from the screen and from what the
// channels share. The board's ChannelScreen implements ChannelDisplay (and
// passes it on to the channel window), the board implements ChannelHost. Tests
// use in-memory versions of both.
#include "base/core/messages.h"
#include <QList>

#include <QString>

#include <memory>

namespace velmara {

class TurnQueue;
class StatusRecord;

// The boxes of a channel window that the poll cycle writes.
enum class ChannelField {
    AkkuTyp,         // txtAkkuTyp
    Mode,            // txtMode
    NennKapazitaet,  // txtNennKapazitaet
    Strom,           // txtStrom
    Spannung,        // txtSpannung
    Kapazitaet,      // txtKapazitaet
    Status,          // txtStatus
    Bemerkung,       // txtBemerkung
    Akkuzustand,     // txtAkkuzustand (setVisible: with lblAkkuzustand)
    Selbstentladung, // txtSelbstentladung (setVisible: with lblSelbstentladung)
    MesswerteHeading // caption of frameAkkumesswerte
};

// One line of the end-value lists; tempId is the item data (tempId, 0 for "---").
struct EndValueDisplayLine {
    QString text;
    qint32 tempId = 0;
    bool operator==(const EndValueDisplayLine&) const = default;
};

class ChannelDisplay {
public:
    virtual ~ChannelDisplay() = default;
    virtual void setText(ChannelField field, const QString& text) = 0;
    virtual QString text(ChannelField field) const = 0;
    virtual void setVisible(ChannelField field, bool visible) = 0;
    // The heartbeat of the status frame while the charger answers: its caption
    // lit in turn with every flash (never in the fault colour), or steady.
    virtual void setHeartbeat(bool lit) = 0;
    // The state just shown is a fault of the channel (drawn as a fault), or not.
    virtual void setFaultState(bool fault) = 0;
    // Refills lstEndwertLaden and lstEndwertEntladen.
    virtual void setEndValueLines(const QList<EndValueDisplayLine>& laden,
                                  const QList<EndValueDisplayLine>& entladen) = 0;
    // The live values are no longer live (the channel stopped with a fault):
    // they stay, marked as stale, until the next state is shown.
    virtual void setValuesStale(bool stale) = 0;
    // Every answer whose state is known: the fault that has a box (its code and
    // the box), or code 0 when the answer is no such fault. The box is shown
    // once per fault episode (the same code on answer after answer is one).
    virtual void reportFault(qint16 faultCode, const Message& box) = 0;
    // A lasting mark while values of the channel wait to be written (empty: none).
    virtual void setStorageWarning(const QString& text) = 0;
    // Every poll that read an answer ends here, after the state was shown and the
    // value went to the temporary series (the board's snapshots and events).
    virtual void polled(const StatusRecord& status) { Q_UNUSED(status); }
};

// What the channels share, and what the main window shows of each.
class ChannelHost {
public:
    virtual ~ChannelHost() = default;
    // Channel 1 found no charger: the other channels stay silent.
    virtual bool chargerMissing() const = 0;
    virtual void setChargerMissing(bool value) = 0;
    // 1, 2, 3, ... per run, shared by all channels.
    virtual qint32 newTempSeriesId() = 0;
    // The channel's panel in the status bar; fault: the text is a fault state.
    virtual void setStatusbarText(const QString& channelCode, const QString& text, bool fault) = 0;
    // How many of the channel's values wait in memory because the file does not
    // take them (0: all are on disk again), and why the last write failed.
    virtual void setValuesWaiting(const QString& channelCode, int waiting,
                                  const QString& reason) = 0;
    // The turn the channels share: one channel's tick (or start, or recording
    // start) at a time, the others wait for it in order. Null: each channel
    // takes turns only with itself.
    virtual std::shared_ptr<TurnQueue> channelTurn() { return nullptr; }
};

} // namespace velmara
