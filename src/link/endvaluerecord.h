#pragma once
// End values: the summary the charger keeps after each charge and discharge
// phase, and the ordered list a channel keeps of them.
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

    QString channelCode;
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

// Positions count from 1; keys are compared without regard to case.
class EndValueList {
public:
    using ItemPtr = std::shared_ptr<EndValueRecord>;

    // Appends the item (under sKey when not empty) and returns it; null when the
    // key is taken already or the item is null.
    ItemPtr Add(ItemPtr record, const QString& sKey = QString());
    // The item at a position (1..Count) or under a key; null when there is none.
    ItemPtr Item(int position) const;
    ItemPtr Item(const QString& key) const;
    qint32 Count() const { return static_cast<qint32>(m_items.size()); }
    bool Remove(int position);
    bool Remove(const QString& key);
    void RemoveAll();

    // Enumeration in list order (NewEnum).
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
    QStringList m_keys; // parallel to m_items; "" for items without a key
};

} // namespace velmara
