#pragma once
// The status record of a channel: the parse of the charger's status answer,
// and of a program or end-value answer arriving in its place (passed on as
// signals, raised synchronously from within the parse).
#include "link/endvalueanswer.h"
#include "link/programanswer.h"

#include <QObject>
#include <QString>

#include <memory>

namespace velmara {

class CommunicationResults : public QObject {
    Q_OBJECT
public:
    // Kinds of answer (iAntwortTyp).
    static constexpr qint16 NoAnswer = -2;
    static constexpr qint16 BadAnswer = -1;
    static constexpr qint16 Status = 2;
    static constexpr qint16 Endwert = 3;
    static constexpr qint16 StatusWithoutValues = 11;

    explicit CommunicationResults(QObject* parent = nullptr) : QObject(parent) {}

    // Parses one answer text; recieveString is replaced by its trimmed form.
    // Only what the answer carries is overwritten.
    void splitRecievedString(QString& recieveString);

    QString strKanal;
    qint16 iAntwortTyp = 0;
    qint16 iStatusTyp = 0;  // 1 SA, 2 SL, 3 SE, 4 SM, 5 SF, 6 SW, 7 fault
    qint16 iFehlerCode = 0; // 1..9 with state 7; 10 (X3) / 11 (X2) with states 1 and 5
    qint32 lStrom = 0;      // mA, a magnitude
    qint32 lSpannung = 0;   // mV
    qint32 lKapazitaet = 0; // mAh

Q_SIGNALS:
    // A program answer arrived in place of the status answer.
    void ProgramChanged(std::shared_ptr<velmara::CommunicationProgram> commProg);
    // An end-value answer arrived in place of the status answer; the list is
    // empty when the answer could not be read.
    void EndwertRecieved(std::shared_ptr<velmara::EntwertList> commEndwertList);
};

} // namespace velmara
