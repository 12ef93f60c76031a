#pragma once
// A prepared statement that runs again and again with new values: the busy
// reads and writes (a diagram's values a chunk at a time, an import's rows).
// Written in the engine's plain dialect with ? marks, bound by position from 1.
// A query outlives a new connection of its database (it is prepared again on
// its next use); once the database is closed, every use fails.
#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <memory>

namespace velmara {

class Database;
namespace storage {
class Statement;
}

class Query {
public:
    enum class Step { Row, Done, Failed };

    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // False (with error()) when the statement could not be prepared.
    bool isValid() const;
    const QString& error() const { return m_error; }

    // Ends a read still open and binds new values (false with error() on a failure).
    bool bind(int position, qint64 value);
    bool bindText(int position, QByteArrayView utf8);
    bool bindAll(const QVariantList& values);

    Step next();
    // The current row's columns (from 0).
    bool isNull(int column) const;
    qint64 integer(int column) const;
    // The text as UTF-8, valid until the next call of next() or reset().
    QByteArrayView text(int column) const;
    QVariant value(int column) const;
    // Ends the read at once; the bound values stay.
    void reset();

private:
    friend class Database;
    Query(Database* db, QString sql);
    bool ensurePrepared();
    void dropStatement(); // the connection goes
    void databaseClosed();

    Database* m_db;
    QString m_sql;
    std::unique_ptr<storage::Statement> m_stmt;
    QString m_error;
};

} // namespace velmara
