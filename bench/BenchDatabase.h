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
inline bool openBenchSession(Session &session, QTextStream &out)
{
    OpenCallbacks create;
    create.confirm = [](const QString &, const QString &) { return true; };
    create.askNewPassword = [] { return std::optional<QString>(QString()); };
    if (!DatabaseOpener(session).open(true, create)) {
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
        OpenCallbacks create;
        create.confirm = [](const QString &, const QString &) { return true; };
        create.askNewPassword = [] { return std::optional<QString>(QString()); };
        if (!DatabaseOpener(*session).open(true, create))
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
