#include "link/programrecord.h"

#include "link/fieldtext.h"

#include <QStringList>

namespace velmara {

using namespace fieldtext;

namespace {

// Walks the fields of one program string; every step either reads its field
// and moves on, or marks the program bad and stops the parse.
class ProgramFields {
public:
    ProgramFields(const QStringList& fields, ProgramRecord& p) : f(fields), prog(p) {}

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
        prog.batteryType = ProgramRecord::BadAnswer;
        return false;
    }

    const QStringList& f;
    ProgramRecord& prog;
    qsizetype i = 1;
};

} // namespace

void ProgramRecord::parse(QString& answer, bool fromCharger) {
    answer = trimSpaces(answer);
    if (answer.isEmpty()) {
        batteryType = NoAnswer;
        return;
    }
    if (answer == QLatin1String("-1")) {
        batteryType = BadAnswer;
        return;
    }
    const QStringList fields = answer.split(QLatin1Char(','));
    ProgramFields p(fields, *this);
    if (const auto code = ChannelCode::fromText(fields.at(0)))
        channelCode = *code;
    else
        batteryType = BadAnswer;

    if (p.atEnd() || fields.at(1) != QLatin1String("P")) {
        const bool channelFault = fields.size() > 2 && fields.at(1) == QLatin1String("M") &&
                                  fields.at(2) == QLatin1String("SK");
        batteryType = channelFault ? ChannelFault : BadAnswer;
        return;
    }
    p.i = 2;
    if (!p.mandatory('A', 2, batteryType) || !p.mandatory('M', 2, deviceMode) ||
        !p.mandatory('Z', 2, cellCount))
        return;
    if (p.tag('P')) {
        if (!p.number(3, percentValue))
            return;
    } else {
        percentValue = Absent;
    }
    if (!p.mandatory('F', 1, formingCycles) || !p.mandatory('W', 2, repeatCount))
        return;
    if (p.tag('K')) {
        if (!p.number(5, capacityMah))
            return;
    } else {
        capacityMah = Absent;
    }
    if (!p.mandatory('L', 5, chargeCurrentMa) || !p.mandatory('E', 5, dischargeCurrentMa) ||
        !p.mandatory('V', 5, chargeEndVoltageMv) || !p.mandatory('D', 5, dischargeEndVoltageMv))
        return;

    // Self-discharge test: "YH" hours or "YD" days, then the period.
    if (p.tag('Y')) {
        const QString& y = fields.at(p.i);
        if (y.size() > 1 && y.at(1) == QLatin1Char('H'))
            selfDischargeIntervalUnit = 2;
        else if (y.size() > 1 && y.at(1) == QLatin1Char('D'))
            selfDischargeIntervalUnit = 1;
        if (!p.number(3, selfDischargeInterval))
            return;
    } else {
        selfDischargeInterval = Absent;
    }

    if (p.atEnd()) { // a stored standard program ends here
        galNumber = 0;
        return;
    }
    if (p.tag('G')) { // a standard program returned by the charger
        extendedReceived = false;
        p.number(1, galNumber);
        return;
    }
    if (!p.tag('S'))
        return void(p.bad());
    extendedReceived = true;
    programmingLocked = !p.lastIsOne();
    ++p.i;
    if (!p.tag('C'))
        return void(p.bad());
    withoutLoad = p.lastIsOne();
    ++p.i;
    if (!p.mandatory('B', 1, leadAcidMode) || !p.mandatory('H', 1, lithiumIonMode) ||
        !p.mandatory('N', 3, endOfCharge))
        return;

    // The switches O, Q, U of the second kind of extension, all three or none.
    if (!p.atEnd() && !p.tag('G')) {
        for (auto [letter, target] : {std::pair{'O', &chargeMode}, {'Q', &qMode}, {'U', &uMode}}) {
            if (!p.tag(letter))
                return void(p.bad());
            *target = p.lastIsOne() ? 1 : 0;
            ++p.i;
        }
    }
    if (fromCharger) {
        if (p.tag('G')) {
            if (!p.number(1, galNumber))
                return;
        } else if (!p.mandatory('R', 1, chargerType)) {
            return;
        }
    }
    if (p.atEnd())
        return;
    p.mandatory('R', 1, chargerType);
}

} // namespace velmara
