#include "programs/core/programlibrary.h"

#include <QCollator>

#include <algorithm>

namespace velmara {

namespace {
const QString kNoFile = QStringLiteral("no user database");
} // namespace

ProgramLibrary::ProgramLibrary(ProgramStore* store, const QLocale& language)
    : m_store(store), m_language(language) {}

ProgramLibrary::~ProgramLibrary() = default;

bool ProgramLibrary::isValid() const {
    return m_store && m_store->all().ok();
}

QVector<StoredProgram> ProgramLibrary::programs() const {
    if (!m_store)
        return {};
    auto all = m_store->all();
    if (!all) {
        m_error = all.error();
        return {};
    }
    QVector<StoredProgram> out = std::move(*all);
    QCollator collator(m_language);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true); // "Pack 2" before "Pack 10"
    std::stable_sort(out.begin(), out.end(), [&](const StoredProgram& a, const StoredProgram& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return out;
}

StoredProgram ProgramLibrary::byId(qint64 id) const {
    if (!m_store)
        return {};
    const auto found = m_store->byId(id);
    return found && *found ? **found : StoredProgram();
}

ProgramLibrary::NameLookup ProgramLibrary::lookUpName(const QString& name, qint64* id) const {
    m_error.clear();
    if (!m_store) {
        m_error = kNoFile;
        return NameLookup::Failed;
    }
    const auto all = m_store->all();
    if (!all) {
        m_error = all.error();
        return NameLookup::Failed;
    }
    for (const StoredProgram& program : *all) {
        if (program.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (id)
                *id = program.id;
            return NameLookup::Exists;
        }
    }
    return NameLookup::Free;
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
    case NameLookup::Exists: {
        if (!confirmOverwrite || !confirmOverwrite())
            return {SaveOutcome::Kept, id};
        const Result<void> written = m_store->overwrite(id, text);
        m_error = written.error();
        return {written ? SaveOutcome::Overwritten : SaveOutcome::Failed, id};
    }
    case NameLookup::Free:
        break;
    }
    const Result<qint64> inserted = m_store->insert(trimmed, text);
    m_error = inserted.error();
    return inserted ? SaveResult{SaveOutcome::Inserted, *inserted}
                    : SaveResult{SaveOutcome::Failed, -1};
}

bool ProgramLibrary::remove(qint64 id) {
    m_error.clear();
    if (!m_store) {
        m_error = kNoFile;
        return false;
    }
    const Result<bool> removed = m_store->remove(id);
    m_error = removed.error();
    return removed && *removed;
}

} // namespace velmara
