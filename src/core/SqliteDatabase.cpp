#include "core/SqliteDatabase.h"

#include "core/TextWidths.h"

#include <QFile>
#include <QRandomGenerator>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>
#include <memory>
#include <thread>

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const QString &path, const QString &password, bool create,
                                                     QString *error)
{
    sqlite3 *handle = nullptr;
    // One connection per session, used by the thread that opened it only: no
    // lock around each call (a big read makes millions of them).
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(handle ? sqlite3_errmsg(handle)
                                                                          : sqlite3_errstr(rc)))
                         .arg(rc);
        sqlite3_close(handle);
        return nullptr;
    }
    std::unique_ptr<SqliteDatabase> db(new SqliteDatabase(handle));
    if (!password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        sqlite3_key(handle, key.constData(), int(key.size()));
    }
    sqlite3_busy_handler(handle, &SqliteDatabase::waitForWriter, db.get());

    // A wrong key (or a file that is no database) only shows on the first read.
    ResultSet probe;
    if (!db->query(QStringLiteral("select count(*) from sqlite_master"), probe)
        || !db->query(QStringLiteral("pragma journal_mode=wal"), probe)
        || !db->exec(QStringLiteral("pragma foreign_keys=off"))) {
        if (error)
            *error = db->lastError();
        return nullptr;
    }
    // The log is made durable after each commit by syncCommitted(), outside
    // the write lock, rather than by the engine inside it.
    if (!probe.isEmpty() && probe.value(0, 0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
        const char *file = sqlite3_db_filename(handle, "main");
        if (file && *file && db->exec(QStringLiteral("pragma synchronous=normal")))
            db->m_logPath = QFile::decodeName(file) + QStringLiteral("-wal");
    }
    return db;
}

bool SqliteDatabase::syncCommitted()
{
    if (m_logPath.isEmpty())
        return true;
    // The engine never locks the log file itself, so opening and closing it
    // here leaves its locks alone; syncing any descriptor of the file syncs
    // what every connection of this machine wrote to it.
    const int fd = ::open(QFile::encodeName(m_logPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT; // no log left: everything is in the database file
    const bool synced = ::fdatasync(fd) == 0;
    ::close(fd);
    if (!synced)
        m_error = QStringLiteral("Erreur d'écriture sur le disque : l'enregistrement n'est peut-être pas conservé");
    return synced;
}

SqliteDatabase::~SqliteDatabase()
{
    if (inTransaction())
        rollback();
    sqlite3_close(m_db);
}

int SqliteDatabase::waitForWriter(void *self, int attempt)
{
    auto *db = static_cast<SqliteDatabase *>(self);
    if (attempt == 0)
        db->m_waiting.start();
    if (db->m_waiting.elapsed() >= db->m_busyTimeoutMs)
        return 0;
    // The engine's own waiting sleeps longer and longer (up to 100 ms), so a
    // workstation that has just committed takes the lock again before any
    // sleeper wakes up and the others starve. Short pauses of random length
    // let every waiter try often, none in step with another.
    const int micros = QRandomGenerator::global()->bounded(50, 600);
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
    return 1;
}

bool SqliteDatabase::fail()
{
    const int code = sqlite3_extended_errcode(m_db);
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED) {
        m_error = busyText() + QStringLiteral(" (%1)").arg(code);
        return false;
    }
    m_error = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(sqlite3_errmsg(m_db))).arg(sqlite3_extended_errcode(m_db));
    return false;
}

bool SqliteDatabase::exec(const QString &sql)
{
    ResultSet ignored;
    return query(sql, ignored);
}

bool SqliteDatabase::query(const QString &sql, ResultSet &result)
{
    ++m_statements;
    result.clear();
    m_error.clear();
    m_changed = 0;
    if (const QString refused = TextWidths::refusal(sql); !refused.isEmpty()) {
        m_error = refused;
        return false;
    }
    const int changesBefore = sqlite3_total_changes(m_db);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return fail();
    }
    if (!stmt)
        return true; // blank statement
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(stmt, sqlite3_finalize);

    const int columns = sqlite3_column_count(stmt);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names.append(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    result.setColumns(names);

    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) {
            m_changed = sqlite3_total_changes(m_db) - changesBefore;
            return true;
        }
        if (rc != SQLITE_ROW) {
            result.clear();
            return fail();
        }
        for (int c = 0; c < columns; ++c) {
            const int type = sqlite3_column_type(stmt, c);
            if (type == SQLITE_NULL) {
                result.appendNull();
            } else if (type == SQLITE_INTEGER) {
                // The engine's own text of an integer costs a formatted print per value.
                result.appendInteger(sqlite3_column_int64(stmt, c));
            } else {
                const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                result.appendUtf8(data, sqlite3_column_bytes(stmt, c));
            }
        }
        result.endRow();
    }
}

bool SqliteDatabase::begin(TransactionMode)
{
    // IMMEDIATE takes the write lock now: two workstations never interleave writes.
    QElapsedTimer waited;
    waited.start();
    const bool begun = exec(QStringLiteral("begin immediate"));
    m_beginWait += waited.nsecsElapsed() / 1000;
    return begun;
}

bool SqliteDatabase::commit()
{
    // Committed, the write lock is free: the next workstation writes while
    // this one waits for the disk, and one sync may serve several commits.
    return exec(QStringLiteral("commit")) && syncCommitted();
}

bool SqliteDatabase::rollback()
{
    if (!inTransaction())
        return true;
    return exec(QStringLiteral("rollback"));
}

bool SqliteDatabase::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}
