#include "data/textstore.h"

#include "storage/recordset.h"

namespace velmara {

ProgramResources& ProgramResources::instance() {
    static ProgramResources resources;
    return resources;
}

void ProgramResources::setRsResources(std::unique_ptr<Recordset> rs) {
    m_rs = std::move(rs);
}
void ProgramResources::setLanguageKey(const QString& languageCode) {
    m_language = languageCode;
}
void ProgramResources::release() {
    m_rs.reset();
}

QString ProgramResources::getResource(const QString& key) {
    if (!m_rs || !m_rs->isValid())
        return key;
    QString k = key, lang = m_language;
    k.replace('\'', "''");
    lang.replace('\'', "''");
    m_rs->moveFirst();
    if (!m_rs->findFirst("ResourceID = '" + k + "' AND SprachCode = '" + lang + "'"))
        return key;
    return m_rs->text("ResourceText");
}

MsgAnswer showKeyed(const QString& textKey, const QString& titleKey, MsgIcon icon,
                    MsgButtons buttons) {
    ProgramResources& res = ProgramResources::instance();
    Message m;
    m.key = textKey;
    m.text = res.getResource(textKey);
    m.title = titleKey.isEmpty() ? QString() : res.getResource(titleKey);
    m.icon = icon;
    m.buttons = buttons;
    return showMessage(m);
}

} // namespace velmara
