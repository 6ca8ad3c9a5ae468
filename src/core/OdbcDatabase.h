#pragma once

#include "core/Database.h"

#include <memory>
#include <vector>

// A server back end reached through an ODBC data source. Values are fetched as
// text. A MySQL/MariaDB connection is set up so that doubling quotes is the
// whole of text quoting (NO_BACKSLASH_ESCAPES) and each statement sees what
// other workstations committed (READ COMMITTED).
class OdbcDatabase : public Database
{
public:
    ~OdbcDatabase() override;

    // connectString is given to the driver manager as it is (without the
    // leading "ODBC;" that connectStringFor() puts in front).
    static std::unique_ptr<OdbcDatabase> open(const QString &connectString, Backend backend, QString *error);

    Backend backend() const override { return m_backend; }
    bool exec(const QString &sql) override;
    bool query(const QString &sql, ResultSet &result) override;
    bool begin(TransactionMode mode = TransactionMode::Serialized) override;
    bool commit() override;
    bool rollback() override;
    bool inTransaction() const override { return m_inTransaction; }
    QString lastError() const override { return m_error; }
    bool reservesNumbers() const override { return m_backend == Backend::MySql; }
    bool reserveNumber(const QString &key, bool *reserved) override;

    // The first line of any error that lost the link to the server: what the
    // connection was doing is rolled back by the server.
    static QString linkLostText()
    {
        return QStringLiteral("La connexion au serveur de base de données est perdue : "
                              "reconnectez-vous par Menu > Connexion");
    }

    // Seconds a transaction waits for another workstation's transaction.
    static constexpr int WriteLockTimeoutSeconds = 60;

private:
    struct Handles;
    OdbcDatabase(Backend backend, std::unique_ptr<Handles> handles);
    bool run(const QString &sql, ResultSet *result);
    enum class BlockFetch { Done, Failed, NotUsed, Truncated };
    // Reads the rows of an executed statement through bound columns, many at a time.
    BlockFetch fetchInBlocks(void *statement, const std::vector<unsigned long> &sizes, ResultSet *result);
    bool endTransaction(bool commit);
    // Takes a MySQL named lock, waiting at most `seconds`; false with the busy
    // text when another connection kept it.
    bool takeNamedLock(const QString &name, int seconds, bool *taken = nullptr);

    Backend m_backend;
    std::unique_ptr<Handles> m_h;
    bool m_inTransaction = false;
    // MySQL named locks this connection holds until its transaction ends.
    QStringList m_heldLocks;
    QString m_error;
};

// A data source of the machine, as the driver manager lists it.
struct DataSource
{
    QString name;
    QString driver;
};

// The data sources whose driver is one Quenzo can use (SQL Server class,
// FreeTDS, MySQL, MariaDB). On failure `error` gets the message to show.
QList<DataSource> listDataSources(QString *error);
