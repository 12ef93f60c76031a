#pragma once
// The settings store: rows of the table Optionen (key, value), read and written
// at once through one record set; no copy is kept in memory.
#include <QString>

#include <memory>

namespace velmara {

class Recordset;

class SettingsStore {
public:
    // Hands the store its record set over "SELECT * FROM Optionen" (takes ownership).
    void setRecordset(std::unique_ptr<Recordset> rs);
    bool hasRecordset() const { return m_rs != nullptr; }
    void release(); // drops the record set (before its database closes)

    // The value of the row whose key matches (case-insensitive Like), or "" when absent.
    QString getSetting(const QString& key);
    // Writes the value into the matching row at once; nothing happens for an absent key.
    void setSetting(const QString& key, const QString& value);
    // Writes the value, adding the row when a master file of an older version lacks it.
    bool setOrAddSetting(const QString& key, const QString& value);

    // A boolean setting: true only for the exact text "YES".
    bool isYes(const QString& key) { return getSetting(key) == QLatin1String("YES"); }

private:
    bool find(const QString& key);
    std::unique_ptr<Recordset> m_rs;
};

// The end of charge a new program record starts with: the setting DefaultLadeende
// (tenths of a percent), 0 when it is no number.
qint16 defaultEndOfCharge(SettingsStore& settings);

} // namespace velmara
