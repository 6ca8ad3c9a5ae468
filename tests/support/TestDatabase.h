#pragma once

#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Which back end this run of a test program works on (QUENZO_TEST_BACKEND).
namespace TestBackend {
bool isMariaDb();
// Empty when the back end can be used; otherwise why not.
QString unavailableReason();
} // namespace TestBackend

// In initTestCase(): skips a MariaDB run when no server is configured, except
// under CI, where a missing server is a failure.
#define QUENZO_REQUIRE_BACKEND()                                                                                      \
    do {                                                                                                              \
        const QString why = TestBackend::unavailableReason();                                                         \
        if (!why.isEmpty()) {                                                                                         \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                QFAIL(qPrintable(why));                                                                               \
            QSKIP(qPrintable(why));                                                                                   \
        }                                                                                                             \
    } while (0)

// One database for a test program: a file in a temporary folder, or a
// database of its own on the test MariaDB server.
class TestDatabase
{
public:
    // name: unique per test program (the server database is named after it).
    explicit TestDatabase(const QString &name);
    ~TestDatabase();

    bool isServer() const { return TestBackend::isMariaDb(); }
    QString folder() const { return m_dir.path(); }
    QString filePath() const { return m_dir.filePath(QStringLiteral("quenzo.qdb")); }
    QString serverDatabase() const { return m_name; }

    // Points a workstation's settings at this database.
    void configure(Settings &settings) const;

    // Removes the database: the file, or every table of the server database.
    bool makeBlank();
    // A database with the whole schema and no rows (the schema is built once
    // per program, then only emptied).
    bool makeReady();

    // A plain connection, no schema check.
    std::unique_ptr<Database> connect() const;

private:
    QTemporaryDir m_dir;
    QString m_name;
    QString m_template; // file back end: a ready copy with the schema
};

// A workstation on the test database: its own settings file and session.
class Workstation
{
public:
    Workstation(const TestDatabase &db, const QString &name);

    Settings &settings() { return *m_settings; }
    Session &session() { return *m_session; }
    Database &db() { return *m_session->database(); }
    Outcome open(bool allowCreate = false, const OpenCallbacks &callbacks = {});

private:
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Session> m_session;
};

// Runs a select and returns its first column, one text per row.
QStringList column(Database &db, const QString &sql);
// Runs a select and returns its single value.
QString scalar(Database &db, const QString &sql);
// Writes a bare resource row (every mandatory column filled); false on failure.
bool insertResource(Database &db, qint64 noid, const QString &label, const QString &mail = QStringLiteral("/"));

// Every row of one record across its tables (table, key column), as
// "table:v1|v2|…" lines sorted within each table, NULL shown "<null>"; a table
// that cannot be read gives "table: unreadable".
QStringList dumpRecord(Database &db, const QList<QPair<const char *, const char *>> &tables, qint64 key);

// Inserts a row, every column not given getting a neutral value ("/", 0 or
// the unset date); given values are SQL literals.
bool insertRow(Database &db, const Dialect &dialect, const QString &table, const QHash<QString, QString> &given);
