#pragma once
// End values: the summary the charger keeps after each charge and discharge
// phase, and the ordered list a channel keeps of them.
#include "link/chargermodel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace velmara {

class EndValueRecord {
public:
    static constexpr qint16 AfterCharge = 2;    // "SL"
    static constexpr qint16 AfterDischarge = 3; // "SE"
    static constexpr qint16 OtherPhase = 0;
    static constexpr qint16 BadField = -1; // a mandatory field had the wrong letter

    ChannelCode channelCode; // none when the answer named no channel
    qint16 endValueType = 0;
    qint32 capacityMah = 0;
    qint32 cycleSeconds = 0;
    qint32 voltageMv = 0;
    qint32 selfDischarge = 0; // -1: none
    bool hasBatteryCondition = false;
    bool batteryCondition = false;
    qint16 percent = 0;
    qint32 tempId = 0;
    qint32 valueId = 0;
};

// Indexes count from 0, as in QList.
class EndValueList {
public:
    using ItemPtr = std::shared_ptr<EndValueRecord>;

    // Appends the record; a null record is left out.
    void append(ItemPtr record);
    // The record at an index (0 .. size() - 1); null outside.
    ItemPtr at(qsizetype index) const;
    // The first and the last record; null when the list is empty.
    ItemPtr first() const { return at(0); }
    ItemPtr last() const { return at(size() - 1); }
    qsizetype size() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    void clear() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    // Fills the list from the answer to an end-value request; answer is
    // replaced by its trimmed form. False ("no list") for "", "-1", an answer
    // that is not "D", one with fewer than five fields, or one that cannot be read.
    bool parse(QString& answer);
    // Appends the end values of an answer's fields. False ("no list") when a
    // group is cut short or a number cannot be read; values appended before
    // that stay in the list.
    bool appendFields(const QStringList& fields);

private:
    QList<ItemPtr> m_items;
};

} // namespace velmara
