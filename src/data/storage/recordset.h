#pragma once
// An updatable record set on one query (a DAO dynaset): rows in query order, a
// current row, add/edit/update/delete, move, find by a criteria text, bookmarks.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace velmara {

class Database;

class Recordset {
public:
    // Open through Database::openRecordset.
    Recordset(Database* db, QString sql);
    ~Recordset();

    bool isValid() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    const QString& sql() const { return m_sql; }

    // Rows are read from the file when first needed (navigation, find, count,
    // field access), so opening a set on a large table costs nothing until used.
    bool isEOF() const;   // past the last row (or no rows)
    bool isBOF() const;   // before the first row (or no rows)
    int recordCount() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Criteria in the program's dialect: "[Nr]=5", "key Like 'X'",
    // "ResourceID = '0800' AND SprachCode = 'de'", "[ModusNr]='6'", "MessReiheID=12".
    // findFirst searches from the first row, findNext from the row after the current one.
    // On no match the current row stays where it was and noMatch() is true.
    bool findFirst(const QString& criteria);
    bool findNext(const QString& criteria);
    bool noMatch() const { return m_noMatch; }

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

    // Bookmark of the row written last by update() (its key); setBookmark moves there.
    QVariant lastModified() const { return m_lastModified; }
    QVariant bookmark() const;
    bool setBookmark(const QVariant& bookmark);

    // Reads the rows anew (rows added by others become visible).
    void requery();
    void close();

private:
    enum class EditMode { None, Add, Edit };
    struct Row {
        QVariantList values;
        qint64 key = 0; // key of the base table row (rowid), 0 for read-only sets
    };

    void ensureLoaded() const;
    void load() const;
    int columnIndex(const QString& field) const;
    bool matches(const QString& criteria, int from, int* found) const;

    Database* m_db;
    QString m_sql;
    QString m_nativeSql;
    QString m_error;
    QString m_table;   // base table when updatable
    QString m_keyColumn;
    mutable bool m_loaded = false;
    mutable QStringList m_columns;
    mutable QVector<Row> m_rows;
    mutable int m_pos = -1; // -1 BOF, m_rows.size() EOF
    bool m_noMatch = false;
    EditMode m_editMode = EditMode::None;
    QVariantMap m_pending;
    QVariant m_lastModified;
    friend class Database;
};

} // namespace velmara
