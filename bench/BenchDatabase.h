#pragma once

// A new file database in a temporary folder for a benchmark, opened by a
// session with user management off.

#include "core/DatabaseOpener.h"
#include "core/OdbcDatabase.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "seed/SeedGenerator.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

// Opens the database the settings point at, making it when missing, with
// user management off; false, said on `out`, when it cannot be opened.
// Answers yes to making the database, with no password.
inline OpenCallbacks benchCreation()
{
    OpenCallbacks create;
    create.confirm = [](const QString &, const QString &) { return true; };
    create.askNewPassword = [] { return std::optional<QString>(QString()); };
    return create;
}

inline bool openBenchSession(Session &session, QTextStream &out)
{
    if (!DatabaseOpener(session).open(true, benchCreation())) {
        out << "échec de l'ouverture de la base" << Qt::endl;
        return false;
    }
    session.description().geslogin = false;
    return true;
}

// Fills the database with the seed generator; false, said on `out`, on failure.
inline bool seedBenchBase(Session &session, const SeedOptions &options, SeedReport *report, QTextStream &out)
{
    if (const Outcome seeded = SeedGenerator(session, options).run(report); !seeded) {
        out << "échec de la génération : " << seeded.text() << ' ' << seeded.dbError() << Qt::endl;
        return false;
    }
    return true;
}

struct BenchDatabase
{
    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quenzo.ini"))};
    std::unique_ptr<Session> session;

    bool open()
    {
        settings.write(QStringLiteral("Base"), QStringLiteral("Chemin"), dir.filePath(QStringLiteral("bench.qdb")));
        session = std::make_unique<Session>(settings);
        if (!DatabaseOpener(*session).open(true, benchCreation()))
            return false;
        session->description().geslogin = false;
        return true;
    }
};

// Points the settings at a file database, or at a database of the MariaDB
// test server named by QUENZO_TEST_DSN and its companions.
inline void configureBenchBase(Settings &settings, bool server, const QString &file, const QString &database)
{
    const QString base = QStringLiteral("Base");
    settings.write(base, QStringLiteral("ODBC"), server ? QStringLiteral("1") : QStringLiteral("0"));
    settings.write(base, QStringLiteral("Chemin"), file);
    settings.write(base, QStringLiteral("Driver"), qEnvironmentVariable("QUENZO_TEST_DRIVER"));
    settings.write(base, QStringLiteral("DSN Name"), qEnvironmentVariable("QUENZO_TEST_DSN"));
    settings.write(base, QStringLiteral("NomBase"), database);
    settings.write(base, QStringLiteral("Utilisateur"), qEnvironmentVariable("QUENZO_TEST_DB_USER"));
    settings.write(base, QStringLiteral("Pass"), qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD"));
}

// The seeded base of the planning-sized benchmarks: 500 resources, 100,000
// date lines, 200 series.
inline SeedOptions planningBenchSeed(int clients)
{
    SeedOptions options;
    options.resources = 500;
    options.clients = clients;
    options.dateLines = 100000;
    options.series = 200;
    return options;
}

// Drops and creates a database on the MariaDB test server.
inline bool resetServerDatabase(const QString &name)
{
    auto admin = OdbcDatabase::open(DatabaseOpener::connectStringFor(qEnvironmentVariable("QUENZO_TEST_DSN"),
                                                                     QStringLiteral("quenzo_test"),
                                                                     qEnvironmentVariable("QUENZO_TEST_DB_USER"),
                                                                     qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD")),
                                    Backend::MySql, nullptr);
    return admin && admin->exec(QStringLiteral("drop database if exists ") + name)
           && admin->exec(QStringLiteral("create database ") + name + QStringLiteral(" character set utf8mb4"));
}

// Points the settings at the benchmark's base and, on the server, makes its
// database anew unless it is reused; false, said on `out`, when the server
// cannot be reached.
inline bool prepareBenchBase(Settings &settings, bool server, const QString &file, const QString &database, bool reuse,
                             QTextStream &out)
{
    configureBenchBase(settings, server, file, database);
    if (server && !reuse && !resetServerDatabase(database)) {
        out << "serveur MariaDB injoignable (QUENZO_TEST_DSN)" << Qt::endl;
        return false;
    }
    return true;
}
