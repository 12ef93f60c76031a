#include "link/statusrecord.h"

#include "link/fieldtext.h"

#include <QStringList>

#include <cstring>

namespace velmara {

using namespace fieldtext;

namespace {

bool is(const QString& field, std::string_view letters) {
    return field == QLatin1String(letters.data(), qsizetype(letters.size()));
}

ChargerFault batteryFlag(const QStringList& f, qsizetype u) {
    if (u > 3) {
        if (is(f.at(3), stateletters::BatteryWeak))
            return ChargerFault::BatteryWeak;
        if (is(f.at(3), stateletters::BatteryGood))
            return ChargerFault::BatteryGood;
    }
    return ChargerFault::None;
}

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

    if (const auto code = ChannelCode::fromText(f.at(0)))
        channelCode = *code;
    else
        answerType = BadAnswer; // a recognised kind below overwrites this

    if (u < 1) {
        answerType = BadAnswer;
        return;
    }
    const QString& kind = f.at(1);
    if (kind == QLatin1String("D")) {
        answerType = EndValues;
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
    if (is(state, stateletters::Idle) || is(state, stateletters::Finished)) {
        setState(is(state, stateletters::Idle) ? ChargerState::Idle : ChargerState::Finished);
        setFault(batteryFlag(f, u));
        return;
    }
    if (is(state, stateletters::Waiting)) {
        setState(ChargerState::Waiting);
        setFault(ChargerFault::None);
        return;
    }
    if (const auto fault = faultOfLetters(state.toStdString())) {
        setState(ChargerState::Fault);
        setFault(*fault);
        return;
    }
    if (is(state, stateletters::Charging))
        setState(ChargerState::Charging);
    else if (is(state, stateletters::Discharging))
        setState(ChargerState::Discharging);
    else if (is(state, stateletters::Trickle))
        setState(ChargerState::Trickle);
    else {
        answerType = BadAnswer;
        return;
    }
    setFault(ChargerFault::None);

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
    const ValueField values[] = {
        {3, "LE", &currentMa}, {4, "V", &voltageMv}, {5, "K", &capacityMah}};
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
