#include "link/endvaluerecord.h"

#include "link/fieldtext.h"

namespace velmara {

using namespace fieldtext;

void EndValueList::append(ItemPtr record) {
    if (record)
        m_items.append(std::move(record));
}

EndValueList::ItemPtr EndValueList::at(qsizetype index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

bool EndValueList::parse(QString& answer) {
    answer = trimSpaces(answer);
    if (answer.isEmpty() || answer == QLatin1String("-1"))
        return false;
    const QStringList fields = answer.split(QLatin1Char(','));
    if (fields.size() < 2 || fields.at(1) != QLatin1String("D"))
        return false;
    if (fields.size() - 1 < 4)
        return false;
    return appendFields(fields);
}

bool EndValueList::appendFields(const QStringList& s) {
    const qsizetype u = s.size() - 1;
    const ChannelCode channel =
        u >= 0 ? ChannelCode::fromText(s.at(0)).value_or(ChannelCode()) : ChannelCode();
    auto starts = [&](qsizetype at, char letter) {
        return s.at(at).startsWith(QLatin1Char(letter));
    };
    qsizetype j = 1;
    for (;;) {
        auto ew = std::make_shared<EndValueRecord>();
        ew->channelCode = channel;
        if (j + 4 > u) // the group is cut short
            return false;

        const QString& phase = s.at(j + 1);
        ew->endValueType = phase == QLatin1String("SL")   ? EndValueRecord::AfterCharge
                           : phase == QLatin1String("SE") ? EndValueRecord::AfterDischarge
                                                          : EndValueRecord::OtherPhase;
        if (starts(j + 2, 'K')) {
            const auto v = digitsToInt32(right(s.at(j + 2), 5));
            if (!v)
                return false;
            ew->capacityMah = *v;
        } else {
            ew->endValueType = EndValueRecord::BadField;
        }
        if (starts(j + 3, 'T')) {
            const auto v = digitsToInt32(QStringView(s.at(j + 3)).mid(1));
            if (!v)
                return false;
            ew->cycleSeconds = *v;
        } else {
            ew->endValueType = EndValueRecord::BadField;
        }
        if (starts(j + 4, 'V')) {
            const auto v = digitsToInt32(right(s.at(j + 4), 5));
            if (!v)
                return false;
            ew->voltageMv = *v;
        } else {
            ew->endValueType = EndValueRecord::BadField;
        }

        // Optional Y, X, P in this order; the empty last field is never one of them.
        qsizetype m = j + 5;
        if (m < u && starts(m, 'Y')) {
            const auto v = digitsToInt32(right(s.at(m), 5));
            if (!v)
                return false;
            ew->selfDischarge = *v;
        } else {
            ew->selfDischarge = -1;
            --m;
        }
        ew->hasBatteryCondition = false;
        ++m;
        if (m < u && starts(m, 'X')) {
            // The verdict is one digit: 1 good, 0 bad. Anything else is no verdict
            // the charger gives and must not be stored as one.
            const QString& x = s.at(m);
            if (x.size() != 2 || (x.at(1) != QLatin1Char('0') && x.at(1) != QLatin1Char('1')))
                return false;
            ew->hasBatteryCondition = true;
            ew->batteryCondition = x.at(1) == QLatin1Char('1');
        } else {
            --m;
        }
        ++m;
        if (m < u && starts(m, 'P')) {
            // Three digits, 000 to 999 (the charger caps the measured share of
            // the target capacity there).
            const auto v =
                s.at(m).size() == 4 ? digitsToInt16(QStringView(s.at(m)).mid(1)) : std::nullopt;
            if (!v)
                return false;
            ew->percent = *v;
        } else {
            --m;
        }
        append(ew);
        j = m;
        if (j + 1 >= u)
            return true;
    }
}

} // namespace velmara
