#pragma once
// An updatable record set on one query (a DAO dynaset): rows in query order, a
// current row, add/edit/update/delete, move forward, find by field and value.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <utility>

namespace velmara {

class Database;

class Recordset {
public:
    // Open through Database::openRecordset.
    Recordset(Database* db, QString sql);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool isValid() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    // The failure of the last operation (update, remove, find, edit on a read-only set...).
    const QString& lastError() const { return m_lastError; }
    // True when the query reads one table, so rows can be added, changed and deleted.
    bool isUpdatable() const { return m_updatable && isValid(); }
    const QString& sql() const { return m_sql; }

    // Rows are read from the file when first needed (navigation, find, count,
    // field access), so opening a set on a large table costs nothing until used.
    bool isLoaded() const { return m_loaded; } // the query's rows have been read
    bool isEOF() const;                        // past the last row (or no rows)
    bool isBOF() const;                        // before the first row (or no rows)
    int recordCount() const;
    void moveFirst();
    void moveNext();

    // Moves to the first row whose field equals value (or whose fields equal all
    // the values). The values are taken as they are: quotes, wildcards and
    // brackets in them match only themselves. Texts compare without regard to
    // letter case; a text that reads as a number equals that number ("6" finds
    // ModusNr 6), two texts compare as texts ("0800" is not "800"); a null value
    // equals nothing. On no match the current row stays where it was and
    // noMatch() is true.
    bool noMatch() const { return m_noMatch; }
    bool findFirstEqual(const QString& field, const QVariant& value);
    bool findFirstEqual(const QVector<std::pair<QString, QVariant>>& fieldValues);

    // Field of the current row, by name (case-insensitive, aliases as the query names them).
    // Invalid QVariant when there is no current row or no such column.
    QVariant value(const QString& field) const;
    QString text(const QString& field) const { return value(field).toString(); }
    QStringList fieldNames() const;

    // Editing: addNew() or edit(), then setValue(), then update() writes the row at
    // once. cancelUpdate() drops the pending change. remove() deletes the current row.
    // Only sets on one table can be changed; others report an error.
    void addNew();
    void edit();
    void setValue(const QString& field, const QVariant& value);
    bool update();
    void cancelUpdate();
    bool remove();
    bool isEditing() const { return m_editMode != EditMode::None; }

    // The key of the row written last by update().
    QVariant lastModified() const { return m_lastModified; }

    // Reads the rows anew (rows added by others become visible).
    void requery();
    void close();

private:
    enum class EditMode { None, Add, Edit };
    struct Row {
        QVariantList values;
        qint64 key = 0; // rowid of the base table row; a running number for read-only sets
    };
    struct Pending {
        QString column; // column of the base table
        QVariant value;
    };

    bool alive() const;
    bool failOp(const QString& message) const;
    void analyse();
    void ensureLoaded() const;
    void load() const;
    bool hasCurrent() const;
    int columnIndex(const QString& field) const;
    int indexOfKey(qint64 key) const;
    bool readRow(qint64 key, Row* row) const;
    QString writableColumn(const QString& field);
    void detachDatabase();

    Database* m_db;
    QString m_sql;
    QString m_nativeSql;
    QString m_execSql;   // the query as run: with the base table's rowid first when updatable
    QString m_rereadSql; // one row of the query by rowid
    QString m_error;
    mutable QString m_lastError;
    QString m_table; // base table when updatable
    bool m_updatable = false;
    QStringList m_columns;
    QStringList m_origins; // base table column of each query column ("" when computed)
    QHash<QString, int> m_lookup;
    QStringList m_tableColumns;
    // Until loaded, m_rows holds only the rows added through this set (they stay at the end).
    mutable bool m_loaded = false;
    mutable QVector<Row> m_rows;
    mutable int m_pos = -1;           // -1 BOF, m_rows.size() EOF
    mutable bool m_onDeleted = false; // the current row was deleted; m_pos is the row after it
    bool m_noMatch = false;
    EditMode m_editMode = EditMode::None;
    QVector<Pending> m_pending;
    QVariant m_lastModified;
    friend class Database;
};

} // namespace velmara
