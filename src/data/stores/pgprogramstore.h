#pragma once
// The program library on a PostgreSQL server (table Programme).
#include "data/stores/programstore.h"

namespace velmara {

class ServerLine;

class PgProgramStore final : public ProgramStore {
public:
    explicit PgProgramStore(ServerLine& line) : m_line(line) {}
    Result<QVector<StoredProgram>> all() override;
    Result<std::optional<StoredProgram>> byId(qint64 id) override;
    Result<qint64> insert(const QString& name, const QString& text) override;
    Result<void> overwrite(qint64 id, const QString& text) override;
    Result<bool> remove(qint64 id) override;

private:
    Result<QVector<StoredProgram>> read(const QString& where, const QList<QVariant>& params);
    ServerLine& m_line;
};

} // namespace velmara
