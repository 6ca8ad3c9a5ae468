#include "core/OdbcDatabase.h"

#include "core/TextWidths.h"

#include <QCryptographicHash>
#include <QElapsedTimer>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use UTF-16 wide characters");

const SQLWCHAR *wide(const QString &s)
{
    return reinterpret_cast<const SQLWCHAR *>(s.utf16());
}

QString fromWide(const SQLWCHAR *s, qsizetype length = -1)
{
    if (length < 0) {
        length = 0;
        while (s[length])
            ++length;
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(s), length);
}

// connected: the failure of an open connection, which may have lost its server.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle, bool connected = true)
{
    QStringList lines;
    bool linkLost = false;
    bool busy = false;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {0};
        SQLWCHAR text[1024] = {0};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, text, 1024, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        const QString sqlState = fromWide(state);
        // 08xxx: the link to the server is gone (2006/2013: MySQL's own numbers for it).
        linkLost = linkLost || sqlState.startsWith(QLatin1String("08")) || native == 2006 || native == 2013;
        // A deadlock between two workstations' transactions, or a row lock
        // kept too long (1213/1205 on MySQL): the transaction is given up and
        // trying again clears it.
        busy = busy || sqlState == QLatin1String("40001") || native == 1213 || native == 1205;
        lines.append(QStringLiteral("%1 (%2) %3").arg(sqlState).arg(native).arg(fromWide(text)));
    }
    if (linkLost && connected)
        lines.prepend(OdbcDatabase::linkLostText());
    else if (busy)
        lines.prepend(Database::busyText());
    return lines.isEmpty() ? QStringLiteral("Erreur ODBC") : lines.join(QLatin1Char('\n'));
}

} // namespace

struct OdbcDatabase::Handles
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    ~Handles()
    {
        if (connected)
            SQLDisconnect(dbc);
        if (dbc != SQL_NULL_HDBC)
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

OdbcDatabase::OdbcDatabase(Backend backend, std::unique_ptr<Handles> handles)
    : m_backend(backend), m_h(std::move(handles))
{
}

OdbcDatabase::~OdbcDatabase()
{
    if (m_inTransaction)
        rollback();
}

std::unique_ptr<OdbcDatabase> OdbcDatabase::open(const QString &connectString, Backend backend, QString *error)
{
    auto h = std::make_unique<Handles>();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h->env))) {
        if (error)
            *error = QStringLiteral("Unable to allocate an ODBC Environment Handle");
        return nullptr;
    }
    SQLSetEnvAttr(h->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, h->env, &h->dbc))) {
        if (error)
            *error = diagnostics(SQL_HANDLE_ENV, h->env, false);
        return nullptr;
    }
    SQLSetConnectAttr(h->dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(10), 0);

    QString text = connectString;
    if (text.startsWith(QLatin1String("ODBC;"), Qt::CaseInsensitive))
        text = text.mid(5);
    // Every character must survive the trip, whatever the data source says.
    if (backend == Backend::MySql && !text.contains(QLatin1String("CHARSET="), Qt::CaseInsensitive))
        text += QStringLiteral("CHARSET=utf8mb4;");
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(h->dbc, nullptr, const_cast<SQLWCHAR *>(wide(text)), SQL_NTS, out, 1024,
                                           &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        if (error)
            *error = diagnostics(SQL_HANDLE_DBC, h->dbc, false);
        return nullptr;
    }
    h->connected = true;

    std::unique_ptr<OdbcDatabase> db(new OdbcDatabase(backend, std::move(h)));
    if (backend == Backend::MySql) {
        // Without NO_BACKSLASH_ESCAPES a text ending in "\" would break out of its quotes.
        const bool ready = db->exec(QStringLiteral("SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')"))
                           && db->exec(QStringLiteral("SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED"));
        if (!ready) {
            if (error)
                *error = db->lastError();
            return nullptr;
        }
    }
    return db;
}

bool OdbcDatabase::exec(const QString &sql)
{
    return run(sql, nullptr);
}

bool OdbcDatabase::query(const QString &sql, ResultSet &result)
{
    return run(sql, &result);
}

bool OdbcDatabase::run(const QString &sql, ResultSet *result)
{
    ++m_statements;
    m_error.clear();
    m_changed = 0;
    if (result)
        result->clear();
    if (const QString refused = TextWidths::refusal(sql); !refused.isEmpty()) {
        m_error = refused;
        return false;
    }

    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_h->dbc, &stmt))) {
        m_error = diagnostics(SQL_HANDLE_DBC, m_h->dbc);
        return false;
    }
    std::unique_ptr<void, void (*)(void *)> guard(stmt, [](void *s) { SQLFreeHandle(SQL_HANDLE_STMT, s); });

    const SQLRETURN rc = SQLExecDirectW(stmt, const_cast<SQLWCHAR *>(wide(sql)), SQL_NTS);
    if (rc == SQL_NO_DATA)
        return true; // an update or delete that touched no row
    if (!SQL_SUCCEEDED(rc)) {
        m_error = diagnostics(SQL_HANDLE_STMT, stmt);
        return false;
    }
    if (!result) {
        SQLLEN changed = 0;
        if (SQL_SUCCEEDED(SQLRowCount(stmt, &changed)) && changed > 0)
            m_changed = changed;
        return true;
    }

    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    QStringList names;
    std::vector<SQLULEN> sizes;
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
        SQLWCHAR name[256] = {0};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeColW(stmt, c, name, 256, &nameLength, &type, &size, &digits, &nullable);
        names.append(fromWide(name));
        sizes.push_back(size);
    }
    result->setColumns(names);

    // Columns of known, modest width come a few hundred rows at a time; long
    // texts, or a driver that cuts a value short, are read value by value.
    switch (fetchInBlocks(stmt, sizes, result)) {
    case BlockFetch::Done: return true;
    case BlockFetch::Failed: return false;
    case BlockFetch::NotUsed: break;
    case BlockFetch::Truncated:
        result->clear();
        result->setColumns(names);
        SQLFreeStmt(stmt, SQL_CLOSE);
        SQLFreeStmt(stmt, SQL_UNBIND);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
        if (!SQL_SUCCEEDED(SQLExecDirectW(stmt, const_cast<SQLWCHAR *>(wide(sql)), SQL_NTS))) {
            m_error = diagnostics(SQL_HANDLE_STMT, stmt);
            result->clear();
            return false;
        }
        break;
    }

    std::vector<SQLWCHAR> buffer(4096);
    for (;;) {
        const SQLRETURN f = SQLFetch(stmt);
        if (f == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(f)) {
            m_error = diagnostics(SQL_HANDLE_STMT, stmt);
            result->clear();
            return false;
        }
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            QString value;
            bool isNull = false;
            // Long texts come in pieces: read until the driver says the column is done.
            for (;;) {
                SQLLEN indicator = 0;
                const SQLRETURN g = SQLGetData(stmt, c, SQL_C_WCHAR, buffer.data(),
                                               SQLLEN(buffer.size() * sizeof(SQLWCHAR)), &indicator);
                if (g == SQL_NO_DATA)
                    break;
                if (!SQL_SUCCEEDED(g)) {
                    m_error = diagnostics(SQL_HANDLE_STMT, stmt);
                    result->clear();
                    return false;
                }
                if (indicator == SQL_NULL_DATA) {
                    isNull = true;
                    break;
                }
                // The buffer is zero-terminated; the MariaDB driver's length
                // indicator undercounts texts with multi-byte characters.
                const qsizetype capacity = qsizetype(buffer.size()) - 1;
                qsizetype chars = 0;
                while (chars < capacity && buffer[chars] != 0)
                    ++chars;
                value += fromWide(buffer.data(), chars);
                if (g == SQL_SUCCESS)
                    break;
            }
            result->appendValue(value, isNull);
        }
        result->endRow();
    }
}

OdbcDatabase::BlockFetch OdbcDatabase::fetchInBlocks(void *statement, const std::vector<SQLULEN> &sizes, ResultSet *result)
{
    constexpr SQLULEN Rows = 256;
    constexpr SQLULEN WidestColumn = 2000;
    SQLHSTMT stmt = statement;
    const std::size_t columns = sizes.size();
    if (columns == 0)
        return BlockFetch::NotUsed;
    std::vector<SQLULEN> widths(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        if (sizes[c] == 0 || sizes[c] > WidestColumn)
            return BlockFetch::NotUsed;
        // Room to spare: drivers describe some columns (numbers, dates) narrower than their text.
        widths[c] = qMax<SQLULEN>(sizes[c] * 2, 64) + 1;
    }
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> status(Rows);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQLULEN(SQL_BIND_BY_COLUMN)), 0))
        || !SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(Rows), 0))
        || !SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0))
        || !SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0))) {
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        return BlockFetch::NotUsed;
    }
    std::vector<std::vector<SQLWCHAR>> buffers(columns);
    std::vector<std::vector<SQLLEN>> indicators(columns, std::vector<SQLLEN>(Rows));
    for (std::size_t c = 0; c < columns; ++c) {
        buffers[c].assign(widths[c] * Rows, 0);
        if (!SQL_SUCCEEDED(SQLBindCol(stmt, SQLUSMALLINT(c + 1), SQL_C_WCHAR, buffers[c].data(),
                                      SQLLEN(widths[c] * sizeof(SQLWCHAR)), indicators[c].data())))
            return BlockFetch::Truncated; // start again value by value
    }
    for (;;) {
        const SQLRETURN f = SQLFetch(stmt);
        if (f == SQL_NO_DATA)
            return BlockFetch::Done;
        if (!SQL_SUCCEEDED(f)) {
            m_error = diagnostics(SQL_HANDLE_STMT, stmt);
            result->clear();
            return BlockFetch::Failed;
        }
        for (SQLULEN r = 0; r < fetched; ++r) {
            if (status[r] == SQL_ROW_NOROW || status[r] == SQL_ROW_ERROR)
                continue;
            for (std::size_t c = 0; c < columns; ++c) {
                const SQLLEN indicator = indicators[c][r];
                if (indicator == SQL_NULL_DATA) {
                    result->appendNull();
                    continue;
                }
                const SQLWCHAR *cell = buffers[c].data() + r * widths[c];
                qsizetype chars = 0;
                while (chars < qsizetype(widths[c]) && cell[chars] != 0)
                    ++chars;
                // A value that filled its whole cell may have been cut.
                if (chars >= qsizetype(widths[c]) - 1
                    || (indicator != SQL_NO_TOTAL && indicator >= SQLLEN((widths[c] - 1) * sizeof(SQLWCHAR))))
                    return BlockFetch::Truncated;
                result->appendValue(QStringView(reinterpret_cast<const char16_t *>(cell), chars), false);
            }
            result->endRow();
        }
    }
}

bool OdbcDatabase::takeNamedLock(const QString &name, int seconds, bool *taken)
{
    ResultSet lock;
    if (!query(QStringLiteral("SELECT GET_LOCK('%1', %2)").arg(name).arg(seconds), lock))
        return false;
    const bool got = !lock.isEmpty() && lock.value(0, 0) == QLatin1String("1");
    if (taken) {
        *taken = got;
        return true;
    }
    if (!got)
        m_error = busyText();
    return got;
}

bool OdbcDatabase::begin(TransactionMode mode)
{
    if (m_inTransaction) {
        m_error = QStringLiteral("Une transaction est déjà en cours");
        return false;
    }
    // Serialised transactions wait for one another: MySQL through a named
    // lock held until commit, SQL Server through an application lock owned by
    // the transaction. On MySQL a concurrent transaction takes no such lock:
    // the rows it writes are its own, the server's row locks do the rest.
    QElapsedTimer waited;
    waited.start();
    if (m_backend == Backend::MySql && mode == TransactionMode::Serialized) {
        const bool taken = takeNamedLock(QStringLiteral("quenzo_write"), WriteLockTimeoutSeconds);
        m_beginWait += waited.nsecsElapsed() / 1000;
        if (!taken)
            return false;
        m_heldLocks.append(QStringLiteral("quenzo_write"));
    }
    if (m_backend == Backend::MySql) {
        // A statement rather than the autocommit switch, which the driver
        // sends to the server both ways: one exchange less per transaction.
        if (!exec(QStringLiteral("START TRANSACTION"))) {
            const QString error = m_error;
            m_inTransaction = true;
            endTransaction(false);
            m_error = error;
            return false;
        }
        m_inTransaction = true;
        return true;
    }
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(m_h->dbc, SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER))) {
        const QString error = diagnostics(SQL_HANDLE_DBC, m_h->dbc);
        m_inTransaction = true;
        endTransaction(false);
        m_error = error;
        return false;
    }
    m_inTransaction = true;
    if (m_backend == Backend::OtherOdbc) {
        const QString applock = QStringLiteral("EXEC sp_getapplock @Resource = 'quenzo_write', @LockMode = 'Exclusive', "
                                               "@LockOwner = 'Transaction', @LockTimeout = %1")
                                    .arg(WriteLockTimeoutSeconds * 1000);
        if (!exec(applock)) {
            const QString error = m_error;
            rollback();
            m_error = error;
            return false;
        }
    }
    return true;
}

bool OdbcDatabase::reserveNumber(const QString &key, bool *reserved)
{
    if (m_backend != Backend::MySql) {
        *reserved = true;
        return true;
    }
    if (!m_inTransaction) {
        m_error = QStringLiteral("Attribution d'un numéro hors transaction : opération refusée");
        return false;
    }
    // A lock name is at most 64 characters: the key is hashed.
    const QString name = QStringLiteral("quenzo_n_")
                         + QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Md5).toHex());
    // Named locks count: one taken twice would outlive the transaction.
    if (m_heldLocks.contains(name)) {
        *reserved = true;
        return true;
    }
    if (!takeNamedLock(name, 0, reserved))
        return false;
    if (*reserved)
        m_heldLocks.append(name);
    return true;
}

bool OdbcDatabase::endTransaction(bool commit)
{
    if (!m_inTransaction)
        return true;
    bool ok;
    QString error;
    if (m_backend == Backend::MySql) {
        ok = exec(commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        error = ok ? QString() : m_error;
    } else {
        ok = SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_h->dbc, commit ? SQL_COMMIT : SQL_ROLLBACK));
        error = ok ? QString() : diagnostics(SQL_HANDLE_DBC, m_h->dbc);
        SQLSetConnectAttr(m_h->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                          SQL_IS_UINTEGER);
    }
    m_inTransaction = false;
    // Released only now that the rows are committed: a workstation counting
    // "highest + 1" after this sees them.
    if (!m_heldLocks.isEmpty()) {
        QStringList releases;
        for (const QString &name : std::as_const(m_heldLocks))
            releases.append(QStringLiteral("RELEASE_LOCK('%1')").arg(name));
        m_heldLocks.clear();
        exec(QStringLiteral("SELECT ") + releases.join(QLatin1Char(',')));
    }
    m_error = error;
    return ok;
}

bool OdbcDatabase::commit()
{
    return endTransaction(true);
}

bool OdbcDatabase::rollback()
{
    return endTransaction(false);
}

QList<DataSource> listDataSources(QString *error)
{
    QList<DataSource> sources;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
        if (error)
            *error = QStringLiteral("Unable to allocate an ODBC Environment Handle");
        return sources;
    }
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        if (error)
            *error = QStringLiteral("Unable to set ODBC2 conformance");
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        return sources;
    }
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLWCHAR name[SQL_MAX_DSN_LENGTH + 1] = {0};
        SQLWCHAR driver[512] = {0};
        SQLSMALLINT nameLength = 0, driverLength = 0;
        const SQLRETURN rc = SQLDataSourcesW(env, direction, name, SQL_MAX_DSN_LENGTH + 1, &nameLength, driver, 512,
                                             &driverLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        direction = SQL_FETCH_NEXT;
        const DataSource source{fromWide(name), fromWide(driver)};
        const QString upper = source.driver.toUpper();
        if (upper.contains(QLatin1String("SQL SERVER")) || upper.contains(QLatin1String("FREETDS"))
            || upper.contains(QLatin1String("MYSQL")) || upper.contains(QLatin1String("MARIADB")))
            sources.append(source);
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    if (sources.isEmpty() && error)
        *error = QStringLiteral("Aucun ODBC de défini");
    return sources;
}
