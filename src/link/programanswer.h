#pragma once
// A charge program and the parse of its program string (as the charger returns
// it to a program request, or as the program library stores it).
#include <QString>

namespace velmara {

class CommunicationProgram {
public:
    // Values of iAkkuTyp that are no battery type, and of the optional fields.
    static constexpr qint16 BadAnswer = -1;
    static constexpr qint16 NoAnswer = -2;
    static constexpr qint16 Absent = -3; // iProzentwert, lKapazitaet, iSelbstentladungsIntervall
    static constexpr qint16 ChannelFault = -4; // the channel answered "SK" instead of a program

    // iLadeende starts at endOfCharge (the setting DefaultLadeende, read by the caller).
    explicit CommunicationProgram(qint16 endOfCharge = 0) : iLadeende(endOfCharge) {}

    // Parses a program string into the record; recieveString is replaced by its
    // trimmed form. bWithGal: the text came from the charger (ends with G [and R]
    // and the closing ","); false for a text from the program library.
    // Malformed texts end with iAkkuTyp = -1; fields not reached keep their values.
    void splitRecievedString(QString& recieveString, bool bWithGal);

    QString strKanal;
    qint16 iAkkuTyp = 0;
    qint16 iMode = 0;
    qint16 iZellenzahl = 0;
    qint16 iProzentwert = 0;
    qint16 iFormierZyklen = 0;
    qint16 iWiederholtesLadenEntladen = 0;
    qint32 lKapazitaet = 0;
    qint32 lLadestrom = 0;
    qint32 lEntladeStrom = 0;
    qint32 lLadeschlussSpannung = 0;
    qint32 lEntladeschlussSpannung = 0;
    qint16 iSelbstentladungsIntervall = 0;
    qint16 iSelbstentladungsIntervalTyp = 0; // 2 hours ("H"), 1 days ("D")
    bool bExtendedRecieved = false;
    bool bProgrammierungGesperrt = false;
    bool bOhneLast = false;
    qint16 iBleiakkuMode = 0;
    qint16 iLiionMode = 0;
    qint16 iLadeende = 0;
    qint16 iLademode = 0;
    qint16 iQ = 0;
    qint16 iU = 0;
    qint16 iGalNummer = 0;
    qint16 iLadegeraet = 4;
};

} // namespace velmara
