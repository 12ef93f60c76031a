#include "link/statusanswer.h"

#include "link/fieldtext.h"

#include <QStringList>

#include <cstring>

namespace velmara {

using namespace fieldtext;

namespace {

struct FaultState {
    const char* code;
    qint16 fehlerCode;
};
constexpr FaultState kFaults[] = {{"SP", 1},  {"SK", 2},  {"SG", 3},  {"SQT", 4}, {"SQV", 5},
                                  {"SQR", 6}, {"SQU", 7}, {"SQP", 8}, {"SQS", 9}};

} // namespace

void CommunicationResults::splitRecievedString(QString& recieveString) {
    recieveString = trimSpaces(recieveString);
    if (recieveString.isEmpty()) {
        iAntwortTyp = NoAnswer;
        return;
    }
    if (recieveString == QLatin1String("-1")) {
        iAntwortTyp = BadAnswer;
        return;
    }
    const QStringList f = recieveString.split(QLatin1Char(','));
    const qsizetype u = f.size() - 1;

    if (isChannelCode(f.at(0)))
        strKanal = f.at(0);
    else
        iAntwortTyp = BadAnswer; // a recognised kind below overwrites this

    if (u < 1) {
        iAntwortTyp = BadAnswer;
        return;
    }
    const QString& kind = f.at(1);
    if (kind == QLatin1String("D")) {
        iAntwortTyp = Endwert;
        auto list = std::make_shared<EntwertList>();
        if (!list->evaluateSplitedMembers(f))
            list = std::make_shared<EntwertList>();
        Q_EMIT EndwertRecieved(list);
        return;
    }
    if (kind == QLatin1String("P")) {
        auto prog = std::make_shared<CommunicationProgram>();
        QString text = recieveString;
        prog->splitRecievedString(text, true);
        Q_EMIT ProgramChanged(prog);
        return;
    }
    if (kind != QLatin1String("M")) {
        iAntwortTyp = BadAnswer;
        return;
    }
    iAntwortTyp = Status;

    if (u < 2) {
        iAntwortTyp = BadAnswer;
        return;
    }
    const QString& state = f.at(2);
    if (state == QLatin1String("SA") || state == QLatin1String("SF")) {
        iStatusTyp = state == QLatin1String("SA") ? 1 : 5;
        iFehlerCode = 0;
        if (u > 3) {
            if (f.at(3) == QLatin1String("X2"))
                iFehlerCode = 11;
            else if (f.at(3) == QLatin1String("X3"))
                iFehlerCode = 10;
        }
        return;
    }
    if (state == QLatin1String("SW")) {
        iStatusTyp = 6;
        iFehlerCode = 0;
        return;
    }
    for (const FaultState& fs : kFaults) {
        if (state == QLatin1String(fs.code)) {
            iStatusTyp = 7;
            iFehlerCode = fs.fehlerCode;
            return;
        }
    }
    if (state == QLatin1String("SL"))
        iStatusTyp = 2;
    else if (state == QLatin1String("SE"))
        iStatusTyp = 3;
    else if (state == QLatin1String("SM"))
        iStatusTyp = 4;
    else {
        iAntwortTyp = BadAnswer;
        return;
    }
    iFehlerCode = 0;

    if (u <= 3) {
        iAntwortTyp = StatusWithoutValues;
        return;
    }
    if (f.at(3).isEmpty())
        return; // live values keep their previous contents

    // Current, voltage, capacity: each checked on its own; a wrong letter marks
    // the answer bad and goes on, a field that is missing or no number ends it.
    struct ValueField {
        qsizetype index;
        const char* letters;
        qint32* target;
    };
    const ValueField values[] = {{3, "LE", &lStrom}, {4, "V", &lSpannung}, {5, "K", &lKapazitaet}};
    for (const ValueField& v : values) {
        if (v.index > u) {
            iAntwortTyp = BadAnswer;
            return;
        }
        const QString& field = f.at(v.index);
        const char16_t first = field.isEmpty() ? 0 : field.at(0).unicode();
        const bool letterOk =
            first > 0 && first < 0x80 && std::strchr(v.letters, static_cast<char>(first));
        if (!letterOk) {
            iAntwortTyp = BadAnswer;
            continue;
        }
        const auto number = digitsToInt32(right(field, 5));
        if (!number) {
            iAntwortTyp = BadAnswer;
            return;
        }
        *v.target = *number;
    }
}

} // namespace velmara
