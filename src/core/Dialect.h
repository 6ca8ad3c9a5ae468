#pragma once

#include <QString>
#include <QStringList>

class QDate;
class QDateTime;

// The three kinds of database a workstation can open.
enum class Backend { File, MySql, OtherOdbc };

// Back-end-neutral column classes of the schema.
enum class ColumnType { ShortText, LongText, Amount, SmallInt, Int, DateTime };

// What differs in SQL text from one back end to another: type names, date
// literals, the LIKE wildcard and string concatenation. Every statement of the
// system puts its values in through these helpers and sqlText().
class Dialect
{
public:
    explicit Dialect(Backend backend = Backend::File) : m_backend(backend) {}

    // The back end named by the settings: a server one when odbc is set, MySQL
    // (MariaDB included) when the driver's name says so.
    static Backend backendFor(bool odbc, const QString &driver);

    Backend backend() const { return m_backend; }
    bool isFile() const { return m_backend == Backend::File; }
    bool isMySql() const { return m_backend == Backend::MySql; }

    QString typeName(ColumnType type, int length = 0) const;
    QString wildcard() const;
    QString dateValueFormat() const;  // stored values
    QString dateFilterFormat() const; // comparisons in WHERE clauses
    QString dateDelimiter() const;
    QString concat(const QStringList &parts) const;
    // A join operator that reads its left table first: " cross join " for the
    // embedded engine, " straight_join " for MySQL, a plain cross join elsewhere
    // (where the server chooses).
    QString orderedJoin() const;
    // Suffix of a column added NOT NULL to a table that may already have rows.
    QString addedNotNull() const;
    // Whether table creation can run inside a transaction.
    bool transactionalDdl() const { return isFile(); }

    // A stored date, from a "dd/mm/yyyy" text: "'" + date in the value format + "'".
    QString dateValue(const QString &ddmmyyyy) const;
    QString dateValue(const QDate &date) const;
    QString dateTimeValue(const QDateTime &dateTime) const;
    // The stored value of an unset date, 01/01/1900.
    QString unsetDateValue() const;
    // A date for a WHERE clause: delimiter + date in the filter format + delimiter.
    QString dateFilter(const QDate &date) const;
    QString dateTimeFilter(const QDateTime &dateTime) const;

private:
    Backend m_backend;
};
