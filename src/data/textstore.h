#pragma once
// The text store: every user-visible text by its four-digit key and the
// current language, from the table NLSResources.
#include "base/core/messages.h"

#include <QHash>
#include <QString>

#include <memory>

namespace velmara {

class Recordset;

class TextStore {
public:
    // Hands the store its record set over "SELECT * FROM NLSResources" (takes ownership).
    void setRecordset(std::unique_ptr<Recordset> rs);
    void setLanguageKey(const QString& languageCode);
    const QString& languageKey() const { return m_language; }
    bool hasRecordset() const { return m_rs != nullptr; }
    void release();

    // The text of the key in the current language, or the key itself when there is none.
    // The texts of a language are read once, at the first lookup in it.
    QString text(const QString& key);

private:
    void loadLanguage();

    std::unique_ptr<Recordset> m_rs;
    QString m_language;
    QHash<QString, QString> m_texts; // of m_language
    bool m_loaded = false;
};

} // namespace velmara
