#pragma once
// The text store: every user-visible text by its four-digit key and the
// current language, from the table NLSResources.
#include "base/core/messages.h"

#include <QString>

#include <memory>

namespace velmara {

class Recordset;

class TextStore {
public:
    static TextStore& instance();

    // Hands the store its record set over "SELECT * FROM NLSResources" (takes ownership).
    void setRecordset(std::unique_ptr<Recordset> rs);
    void setLanguageKey(const QString& languageCode);
    const QString& languageKey() const { return m_language; }
    bool hasRecordset() const { return m_rs != nullptr; }
    void release();

    // The text of the key in the current language, or the key itself when there is none.
    QString text(const QString& key);

private:
    std::unique_ptr<Recordset> m_rs;
    QString m_language;
};

// Shorthand for the program-wide store.
inline QString res(const QString& key) {
    return TextStore::instance().text(key);
}

// A box whose text and title are text keys, looked up in the current language.
MsgAnswer showKeyed(const QString& textKey, const QString& titleKey, MsgIcon icon = MsgIcon::None,
                    MsgButtons buttons = MsgButtons::Ok);

} // namespace velmara
