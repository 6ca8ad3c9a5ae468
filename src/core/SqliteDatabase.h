#pragma once

#include "core/Database.h"

#include <QElapsedTimer>

struct sqlite3;

// The embedded file back end: an SQLCipher file, encrypted when it has a
// password, a plain SQLite file otherwise. Several workstations may share one
// file: the journal is WAL and a busy connection waits instead of failing.
class SqliteDatabase : public Database
{
public:
    ~SqliteDatabase() override;

    // Opens an existing file (create = false) or creates it. A wrong password
    // or a file that is no database is detected here, not at the first read.
    // Returns null on failure with the engine's text in `error`.
    static std::unique_ptr<SqliteDatabase> open(const QString &path, const QString &password, bool create,
                                                QString *error);

    Backend backend() const override { return Backend::File; }
    bool exec(const QString &sql) override;
    bool query(const QString &sql, ResultSet &result) override;
    bool begin(TransactionMode mode = TransactionMode::Serialized) override;
    bool commit() override;
    bool rollback() override;
    bool inTransaction() const override;
    QString lastError() const override { return m_error; }

    // How long a statement waits for another workstation's write, in ms.
    static constexpr int BusyTimeoutMs = 30000;
    void setBusyTimeout(int ms) { m_busyTimeoutMs = ms; }

private:
    explicit SqliteDatabase(sqlite3 *handle) : m_db(handle) {}
    bool fail();
    static int waitForWriter(void *self, int attempt);
    // Makes the log durable once the commit is done; false when the disk
    // refused.
    bool syncCommitted();

    sqlite3 *m_db;
    QString m_error;
    QElapsedTimer m_waiting; // since the current wait began
    int m_busyTimeoutMs = BusyTimeoutMs;
    QString m_logPath; // the write-ahead log, when the file has one
};
