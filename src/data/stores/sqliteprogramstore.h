#pragma once
// The named programs in an SQLite user file.
#include "data/stores/programstore.h"
#include "data/stores/userfile.h"

namespace velmara {

class SqliteProgramStore final : public ProgramStore {
public:
    explicit SqliteProgramStore(UserFile file) : m_file(std::move(file)) {}

    Result<QVector<StoredProgram>> all() override;
    Result<std::optional<StoredProgram>> byId(qint64 id) override;
    Result<qint64> insert(const QString& name, const QString& text) override;
    Result<void> overwrite(qint64 id, const QString& text) override;
    Result<bool> remove(qint64 id) override;

private:
    Result<QVector<StoredProgram>> read(const QString& where, const QVariantList& params);

    UserFile m_file;
};

} // namespace velmara
