#pragma once
// The status record of a channel: the parse of the charger's status answer,
// and of a program or end-value answer arriving in its place (passed on as
// signals, raised synchronously from within the parse).
#include "link/chargerstate.h"
#include "link/endvaluerecord.h"
#include "link/programrecord.h"

#include <QObject>
#include <QString>

#include <memory>

namespace velmara {

class StatusRecord : public QObject {
    Q_OBJECT
public:
    // Kinds of answer (answerType).
    static constexpr qint16 NoAnswer = -2;
    static constexpr qint16 BadAnswer = -1;
    static constexpr qint16 Status = 2;
    static constexpr qint16 EndValues = 3;
    static constexpr qint16 StatusWithoutValues = 11;

    explicit StatusRecord(QObject* parent = nullptr) : QObject(parent) {}

    // Parses one answer text; answer is replaced by its trimmed form.
    // Only what the answer carries is overwritten.
    void parse(QString& answer);

    ChannelCode channelCode; // none when the answer named no channel
    qint16 answerType = 0;
    qint16 stateCode = 0;   // a ChargerState
    qint16 faultCode = 0;   // a ChargerFault: 1..9 with state 7; 10 / 11 with states 1 and 5
    qint32 currentMa = 0;   // mA, a magnitude
    qint32 voltageMv = 0;   // mV
    qint32 capacityMah = 0; // mAh

    ChargerState state() const { return static_cast<ChargerState>(stateCode); }
    ChargerFault fault() const { return static_cast<ChargerFault>(faultCode); }
    void setState(ChargerState s) { stateCode = static_cast<qint16>(s); }
    void setFault(ChargerFault f) { faultCode = static_cast<qint16>(f); }

Q_SIGNALS:
    // A program answer arrived in place of the status answer.
    void programReceived(std::shared_ptr<velmara::ProgramRecord> program);
    // An end-value answer arrived in place of the status answer; the list is
    // empty when the answer could not be read.
    void endValuesReceived(std::shared_ptr<velmara::EndValueList> endValues);
};

} // namespace velmara
