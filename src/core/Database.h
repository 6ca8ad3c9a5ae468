#pragma once

#include "core/Dialect.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// The rows of a query, every value as text; a NULL reads as an empty text and
// is told apart by isNull(). The values are kept one after the other in one
// text, so that a big result costs no allocation per value.
class ResultSet
{
public:
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return int(m_columns.size()); }
    bool isEmpty() const { return m_rowCount == 0; }
    const QStringList &columns() const { return m_columns; }

    QString value(int row, int column) const { return view(row, column).toString(); }
    // The value without a copy; valid while the result set is unchanged.
    QStringView view(int row, int column) const
    {
        const std::size_t i = std::size_t(row) * std::size_t(m_columns.size()) + std::size_t(column);
        const qsizetype from = i == 0 ? 0 : m_ends[i - 1];
        return QStringView(m_text).sliced(from, m_ends[i] - from);
    }
    bool isNull(int row, int column) const { return m_nulls.at(std::size_t(row) * m_columns.size() + column); }
    int toInt(int row, int column) const;
    qint64 toLongLong(int row, int column) const;
    double toDouble(int row, int column) const;

    // Filled by the back ends.
    void setColumns(const QStringList &columns) { m_columns = columns; }
    // One value of the row being read; endRow() closes it.
    void appendValue(QStringView value, bool isNull)
    {
        m_text.append(value);
        endValue(isNull);
    }
    void appendUtf8(const char *data, qsizetype size);
    void appendInteger(qint64 value); // written in decimal, as "%lld" would
    // A real that is a whole number of quarters (days, hours), written as the
    // embedded engine writes reals ("3.0", "-0.25"); false, and nothing
    // written, for any other value.
    bool appendQuarter(double value);
    void appendNull() { endValue(true); }
    void endRow() { ++m_rowCount; }
    void clear();

private:
    void endValue(bool isNull)
    {
        m_ends.push_back(m_text.size());
        m_nulls.push_back(isNull);
    }

    QStringList m_columns;
    QString m_text;
    std::vector<qsizetype> m_ends; // where each value ends in m_text
    std::vector<bool> m_nulls;
    int m_rowCount = 0;
};

// How a transaction shares the database with other workstations' transactions.
enum class TransactionMode {
    // Waits until no other serialised transaction runs, so that what it reads
    // still holds when it writes (a record lock checked and taken, a name
    // found free and used).
    Serialized,
    // Writes only records it has just numbered or that this workstation holds
    // under a record lock: a server lets it run beside other workstations'
    // transactions. The file database still admits one writer at a time.
    Concurrent,
};

// One open connection to the shared database. Statements are literal SQL text.
//
// Every transaction writes. Numbers counted as "highest + 1" inside one are
// never handed out twice: see NumberAllocator, which relies on the numbering
// hooks below.
class Database
{
public:
    virtual ~Database() = default;

    virtual Backend backend() const = 0;
    // Runs a statement that returns no rows.
    virtual bool exec(const QString &sql) = 0;
    // Runs a select; on failure `result` is left empty.
    virtual bool query(const QString &sql, ResultSet &result) = 0;

    virtual bool begin(TransactionMode mode = TransactionMode::Serialized) = 0;
    virtual bool commit() = 0;
    virtual bool rollback() = 0;
    virtual bool inTransaction() const = 0;

    // The engine's text for the last failure.
    virtual QString lastError() const = 0;

    // Numbering hook. A back end whose transactions may run side by side
    // reserves each number counted until the transaction ends; the others
    // serialise every writer and need nothing.
    virtual bool reservesNumbers() const { return false; }
    // Reserves `key` until the transaction ends; `reserved` is false when
    // another workstation's transaction holds it.
    virtual bool reserveNumber(const QString &key, bool *reserved)
    {
        Q_UNUSED(key);
        *reserved = true;
        return true;
    }

    // Rows the last statement inserted, updated or deleted. A conditional
    // update that changed nothing tells a workstation that another one got
    // there first.
    qint64 changedRows() const { return m_changed; }

    // Statements run since the connection opened (for measurements).
    qint64 statementCount() const { return m_statements; }

    // How long begin() has waited for other workstations' transactions since
    // the connection opened, in microseconds (for measurements).
    qint64 beginWaitTotal() const { return m_beginWait; }

    // The text shown when another workstation kept the database busy for the
    // whole wait: the person may simply try again.
    static QString busyText() { return QStringLiteral("La base est occupée par un autre poste, réessayez plus tard"); }

protected:
    qint64 m_statements = 0;
    qint64 m_changed = 0;
    qint64 m_beginWait = 0;
};

// Begins a transaction and rolls it back unless commit() is called: a failing
// step simply returns and nothing half-written remains.
class Transaction
{
public:
    explicit Transaction(Database &db, TransactionMode mode = TransactionMode::Serialized)
        : m_db(db), m_active(db.begin(mode))
    {
    }
    ~Transaction()
    {
        if (m_active)
            m_db.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        return m_db.commit();
    }

private:
    Database &m_db;
    bool m_active;
};
