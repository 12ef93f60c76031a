#include "link/programanswer.h"

#include "link/fieldtext.h"

#include <QStringList>

namespace velmara {

using namespace fieldtext;

namespace {

// Walks the fields of one program string; every step either reads its field
// and moves on, or marks the program bad and stops the parse.
class ProgramFields {
public:
    ProgramFields(const QStringList& fields, CommunicationProgram& p) : f(fields), prog(p) {}

    bool atEnd() const { return i >= f.size(); }
    bool tag(char letter) const { return !atEnd() && f.at(i).startsWith(QLatin1Char(letter)); }

    // A mandatory field: tag, then the last `width` characters as a number.
    template <typename T> bool mandatory(char letter, qsizetype width, T& target) {
        if (!tag(letter))
            return bad();
        return number(width, target);
    }
    // The current field's last `width` characters as a number; advances.
    template <typename T> bool number(qsizetype width, T& target) {
        const auto v = digitsToInt32(right(f.at(i), width));
        if (!v)
            return bad();
        target = static_cast<T>(*v); // at most 5 digits: fits
        ++i;
        return true;
    }
    // A switch: true when the last character is "1".
    bool lastIsOne() const { return f.at(i).endsWith(QLatin1Char('1')); }

    bool bad() {
        prog.iAkkuTyp = CommunicationProgram::BadAnswer;
        return false;
    }

    const QStringList& f;
    CommunicationProgram& prog;
    qsizetype i = 1;
};

} // namespace

void CommunicationProgram::splitRecievedString(QString& recieveString, bool bWithGal) {
    recieveString = trimSpaces(recieveString);
    if (recieveString.isEmpty()) {
        iAkkuTyp = NoAnswer;
        return;
    }
    if (recieveString == QLatin1String("-1")) {
        iAkkuTyp = BadAnswer;
        return;
    }
    const QStringList fields = recieveString.split(QLatin1Char(','));
    ProgramFields p(fields, *this);
    if (isChannelCode(fields.at(0)))
        strKanal = fields.at(0);
    else
        iAkkuTyp = BadAnswer;

    if (p.atEnd() || fields.at(1) != QLatin1String("P")) {
        const bool channelFault = fields.size() > 2 && fields.at(1) == QLatin1String("M") &&
                                  fields.at(2) == QLatin1String("SK");
        iAkkuTyp = channelFault ? ChannelFault : BadAnswer;
        return;
    }
    p.i = 2;
    if (!p.mandatory('A', 2, iAkkuTyp) || !p.mandatory('M', 2, iMode) ||
        !p.mandatory('Z', 2, iZellenzahl))
        return;
    if (p.tag('P')) {
        if (!p.number(3, iProzentwert))
            return;
    } else {
        iProzentwert = Absent;
    }
    if (!p.mandatory('F', 1, iFormierZyklen) || !p.mandatory('W', 2, iWiederholtesLadenEntladen))
        return;
    if (p.tag('K')) {
        if (!p.number(5, lKapazitaet))
            return;
    } else {
        lKapazitaet = Absent;
    }
    if (!p.mandatory('L', 5, lLadestrom) || !p.mandatory('E', 5, lEntladeStrom) ||
        !p.mandatory('V', 5, lLadeschlussSpannung) || !p.mandatory('D', 5, lEntladeschlussSpannung))
        return;

    // Self-discharge test: "YH" hours or "YD" days, then the period.
    if (p.tag('Y')) {
        const QString& y = fields.at(p.i);
        if (y.size() > 1 && y.at(1) == QLatin1Char('H'))
            iSelbstentladungsIntervalTyp = 2;
        else if (y.size() > 1 && y.at(1) == QLatin1Char('D'))
            iSelbstentladungsIntervalTyp = 1;
        if (!p.number(3, iSelbstentladungsIntervall))
            return;
    } else {
        iSelbstentladungsIntervall = Absent;
    }

    if (p.atEnd()) { // a stored standard program ends here
        iGalNummer = 0;
        return;
    }
    if (p.tag('G')) { // a standard program returned by the charger
        bExtendedRecieved = false;
        p.number(1, iGalNummer);
        return;
    }
    if (!p.tag('S'))
        return void(p.bad());
    bExtendedRecieved = true;
    bProgrammierungGesperrt = !p.lastIsOne();
    ++p.i;
    if (!p.tag('C'))
        return void(p.bad());
    bOhneLast = p.lastIsOne();
    ++p.i;
    if (!p.mandatory('B', 1, iBleiakkuMode) || !p.mandatory('H', 1, iLiionMode) ||
        !p.mandatory('N', 3, iLadeende))
        return;

    // The switches O, Q, U of the second kind of extension, all three or none.
    if (!p.atEnd() && !p.tag('G')) {
        for (auto [letter, target] : {std::pair{'O', &iLademode}, {'Q', &iQ}, {'U', &iU}}) {
            if (!p.tag(letter))
                return void(p.bad());
            *target = p.lastIsOne() ? 1 : 0;
            ++p.i;
        }
    }
    if (bWithGal) {
        if (p.tag('G')) {
            if (!p.number(1, iGalNummer))
                return;
        } else if (!p.mandatory('R', 1, iLadegeraet)) {
            return;
        }
    }
    if (p.atEnd())
        return;
    p.mandatory('R', 1, iLadegeraet);
}

} // namespace velmara
