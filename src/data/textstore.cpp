#include "data/textstore.h"

#include "storage/recordset.h"

namespace velmara {

void TextStore::setRecordset(std::unique_ptr<Recordset> rs) {
    m_rs = std::move(rs);
    m_loaded = false;
}
void TextStore::setLanguageKey(const QString& languageCode) {
    if (languageCode != m_language)
        m_loaded = false;
    m_language = languageCode;
}
void TextStore::release() {
    m_rs.reset();
    m_texts.clear();
    m_loaded = false;
}

// Every text of the language in one pass; the language code is compared without
// regard to case, and the first row of a key counts.
void TextStore::loadLanguage() {
    m_texts.clear();
    m_loaded = true;
    if (!m_rs || !m_rs->isValid())
        return;
    const QString id = QStringLiteral("ResourceID");
    const QString language = QStringLiteral("SprachCode");
    const QString text = QStringLiteral("ResourceText");
    for (m_rs->moveFirst(); !m_rs->isEOF(); m_rs->moveNext()) {
        if (m_rs->text(language).compare(m_language, Qt::CaseInsensitive) != 0)
            continue;
        const QString key = m_rs->text(id);
        if (!m_texts.contains(key))
            m_texts.insert(key, m_rs->text(text));
    }
}

QString TextStore::text(const QString& key) {
    if (!m_loaded)
        loadLanguage();
    const auto it = m_texts.constFind(key);
    return it == m_texts.constEnd() ? key : it.value();
}

} // namespace velmara
