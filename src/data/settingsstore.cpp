#include "data/settingsstore.h"

#include "link/fieldtext.h"

#include "storage/recordset.h"

namespace velmara {

void SettingsStore::setRecordset(std::unique_ptr<Recordset> rs) {
    m_rs = std::move(rs);
}

void SettingsStore::release() {
    m_rs.reset();
}

bool SettingsStore::setOrAddSetting(const QString& key, const QString& value) {
    if (!m_rs || !m_rs->isValid())
        return false;
    if (find(key)) {
        setSetting(key, value);
        return true;
    }
    m_rs->addNew();
    m_rs->setValue(QStringLiteral("key"), key);
    m_rs->setValue(QStringLiteral("value"), value);
    return m_rs->update();
}

bool SettingsStore::find(const QString& key) {
    if (!m_rs || !m_rs->isValid())
        return false;
    m_rs->moveFirst();
    return m_rs->findFirstEqual(QStringLiteral("key"), key);
}

QString SettingsStore::getSetting(const QString& key) {
    if (!find(key))
        return QString();
    return m_rs->text("value");
}

void SettingsStore::setSetting(const QString& key, const QString& value) {
    if (!find(key))
        return;
    m_rs->edit();
    m_rs->setValue("value", value);
    m_rs->update();
}

qint16 defaultEndOfCharge(SettingsStore& settings) {
    return fieldtext::digitsToInt16(
               settings.getSetting(QStringLiteral("DefaultLadeende")).trimmed())
        .value_or(0);
}

} // namespace velmara
