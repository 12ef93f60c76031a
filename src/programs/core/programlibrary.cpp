#include "programs/core/programlibrary.h"

#include "storage/database.h"
#include "storage/recordset.h"

#include <QCollator>

#include <algorithm>

namespace velmara {

ProgramLibrary::ProgramLibrary(Database* user, const QLocale& language) : m_language(language) {
    if (user)
        m_rs = user->openRecordset(QStringLiteral("SELECT * FROM Programme ORDER BY Bez"));
}

ProgramLibrary::~ProgramLibrary() = default;

bool ProgramLibrary::isValid() const {
    return m_rs && m_rs->isValid();
}

QVector<StoredProgram> ProgramLibrary::programs() const {
    QVector<StoredProgram> out;
    if (!isValid())
        return out;
    m_rs->requery();
    for (m_rs->moveFirst(); !m_rs->isEOF(); m_rs->moveNext())
        out.append(
            {m_rs->value("ProgrammID").toLongLong(), m_rs->text("Bez"), m_rs->text("Daten")});
    QCollator collator(m_language);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true); // "Pack 2" before "Pack 10"
    std::stable_sort(out.begin(), out.end(), [&](const StoredProgram& a, const StoredProgram& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return out;
}

StoredProgram ProgramLibrary::byId(qint64 id) const {
    if (!isValid() || !m_rs->findFirstEqual(QStringLiteral("ProgrammID"), id))
        return {};
    return {id, m_rs->text("Bez"), m_rs->text("Daten")};
}

bool ProgramLibrary::findName(const QString& name) const {
    m_error.clear();
    m_rs->requery();
    const bool found = m_rs->findFirstEqual(QStringLiteral("Bez"), name);
    if (!found && !m_rs->noMatch())
        m_error = m_rs->lastError();
    return found;
}

ProgramLibrary::NameLookup ProgramLibrary::lookUpName(const QString& name, qint64* id) const {
    if (!isValid()) {
        m_error = m_rs ? m_rs->error() : QStringLiteral("no user database");
        return NameLookup::Failed;
    }
    if (findName(name)) {
        if (id)
            *id = m_rs->value("ProgrammID").toLongLong();
        return NameLookup::Exists;
    }
    return m_error.isEmpty() ? NameLookup::Free : NameLookup::Failed;
}

ProgramLibrary::SaveResult ProgramLibrary::save(const QString& name, const QString& text,
                                                const std::function<bool()>& confirmOverwrite) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return {SaveOutcome::NoName, -1};
    qint64 id = -1;
    switch (lookUpName(trimmed, &id)) {
    case NameLookup::Failed:
        // An unreadable library must not end in a second program of the same name.
        return {SaveOutcome::Failed, -1};
    case NameLookup::Exists:
        if (!confirmOverwrite || !confirmOverwrite())
            return {SaveOutcome::Kept, id};
        m_rs->edit();
        m_rs->setValue(QStringLiteral("Daten"), text);
        if (!m_rs->update()) {
            m_error = m_rs->lastError();
            return {SaveOutcome::Failed, id};
        }
        return {SaveOutcome::Overwritten, id};
    case NameLookup::Free:
        break;
    }
    m_rs->addNew();
    m_rs->setValue(QStringLiteral("Bez"), trimmed);
    m_rs->setValue(QStringLiteral("Daten"), text);
    if (!m_rs->update()) {
        m_error = m_rs->lastError();
        return {SaveOutcome::Failed, -1};
    }
    return {SaveOutcome::Inserted, m_rs->lastModified().toLongLong()};
}

bool ProgramLibrary::remove(qint64 id) {
    m_error.clear();
    if (!isValid()) {
        m_error = m_rs ? m_rs->error() : QStringLiteral("no user database");
        return false;
    }
    m_rs->requery();
    if (!m_rs->findFirstEqual(QStringLiteral("ProgrammID"), id))
        return false;
    if (!m_rs->remove()) {
        m_error = m_rs->lastError();
        return false;
    }
    return true;
}

} // namespace velmara
