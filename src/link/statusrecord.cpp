#include "link/statusrecord.h"

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

void StatusRecord::parse(QString& answer) {
    answer = trimSpaces(answer);
    if (answer.isEmpty()) {
        answerType = NoAnswer;
        return;
    }
    if (answer == QLatin1String("-1")) {
        answerType = BadAnswer;
        return;
    }
    const QStringList f = answer.split(QLatin1Char(','));
    const qsizetype u = f.size() - 1;

    if (isChannelCode(f.at(0)))
        channelCode = f.at(0);
    else
        answerType = BadAnswer; // a recognised kind below overwrites this

    if (u < 1) {
        answerType = BadAnswer;
        return;
    }
    const QString& kind = f.at(1);
    if (kind == QLatin1String("D")) {
        answerType = Endwert;
        auto list = std::make_shared<EndValueList>();
        if (!list->appendFields(f))
            list = std::make_shared<EndValueList>();
        Q_EMIT endValuesReceived(list);
        return;
    }
    if (kind == QLatin1String("P")) {
        auto prog = std::make_shared<ProgramRecord>();
        QString text = answer;
        prog->parse(text, true);
        Q_EMIT programReceived(prog);
        return;
    }
    if (kind != QLatin1String("M")) {
        answerType = BadAnswer;
        return;
    }
    answerType = Status;

    if (u < 2) {
        answerType = BadAnswer;
        return;
    }
    const QString& state = f.at(2);
    if (state == QLatin1String("SA") || state == QLatin1String("SF")) {
        stateCode = state == QLatin1String("SA") ? 1 : 5;
        faultCode = 0;
        if (u > 3) {
            if (f.at(3) == QLatin1String("X2"))
                faultCode = 11;
            else if (f.at(3) == QLatin1String("X3"))
                faultCode = 10;
        }
        return;
    }
    if (state == QLatin1String("SW")) {
        stateCode = 6;
        faultCode = 0;
        return;
    }
    for (const FaultState& fs : kFaults) {
        if (state == QLatin1String(fs.code)) {
            stateCode = 7;
            faultCode = fs.fehlerCode;
            return;
        }
    }
    if (state == QLatin1String("SL"))
        stateCode = 2;
    else if (state == QLatin1String("SE"))
        stateCode = 3;
    else if (state == QLatin1String("SM"))
        stateCode = 4;
    else {
        answerType = BadAnswer;
        return;
    }
    faultCode = 0;

    if (u <= 3) {
        answerType = StatusWithoutValues;
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
    const ValueField values[] = {{3, "LE", &currentMa}, {4, "V", &voltageMv}, {5, "K", &capacityMah}};
    for (const ValueField& v : values) {
        if (v.index > u) {
            answerType = BadAnswer;
            return;
        }
        const QString& field = f.at(v.index);
        const char16_t first = field.isEmpty() ? 0 : field.at(0).unicode();
        const bool letterOk =
            first > 0 && first < 0x80 && std::strchr(v.letters, static_cast<char>(first));
        if (!letterOk) {
            answerType = BadAnswer;
            continue;
        }
        const auto number = digitsToInt32(right(field, 5));
        if (!number) {
            answerType = BadAnswer;
            return;
        }
        *v.target = *number;
    }
}

} // namespace velmara
