#include "data/textstore.h"

#include "storage/recordset.h"

namespace velmara {

TextStore& TextStore::instance() {
    static TextStore resources;
    return resources;
}

void TextStore::setRecordset(std::unique_ptr<Recordset> rs) {
    m_rs = std::move(rs);
}
void TextStore::setLanguageKey(const QString& languageCode) {
    m_language = languageCode;
}
void TextStore::release() {
    m_rs.reset();
}

QString TextStore::text(const QString& key) {
    if (!m_rs || !m_rs->isValid())
        return key;
    m_rs->moveFirst();
    if (!m_rs->findFirstEqual(
            {{QStringLiteral("ResourceID"), key}, {QStringLiteral("SprachCode"), m_language}}))
        return key;
    return m_rs->text("ResourceText");
}

MsgAnswer showKeyed(const QString& textKey, const QString& titleKey, MsgIcon icon,
                    MsgButtons buttons) {
    TextStore& res = TextStore::instance();
    Message m;
    m.key = textKey;
    m.text = res.text(textKey);
    m.title = titleKey.isEmpty() ? QString() : res.text(titleKey);
    m.icon = icon;
    m.buttons = buttons;
    return showMessage(m);
}

} // namespace velmara
