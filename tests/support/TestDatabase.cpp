#include "support/TestDatabase.h"

#include "core/OdbcDatabase.h"
#include "core/Schema.h"
#include "core/SqliteDatabase.h"

#include <QFile>

namespace {

QString serverConnectString(const QString &database)
{
    return DatabaseOpener::connectStringFor(qEnvironmentVariable("QUENZO_TEST_DSN"), database,
                                            qEnvironmentVariable("QUENZO_TEST_DB_USER"),
                                            qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD"));
}

bool execAll(Database &db, const QStringList &statements, bool quiet = false)
{
    for (const QString &sql : statements)
        if (!db.exec(sql)) {
            if (!quiet)
                qWarning("%s: %s", qPrintable(sql), qPrintable(db.lastError()));
            return false;
        }
    return true;
}

} // namespace

bool TestBackend::isMariaDb()
{
    return qEnvironmentVariable("QUENZO_TEST_BACKEND") == QLatin1String("mariadb");
}

QString TestBackend::unavailableReason()
{
    if (isMariaDb() && qEnvironmentVariable("QUENZO_TEST_DSN").isEmpty())
        return QStringLiteral("aucun serveur MariaDB de test (QUENZO_TEST_DSN) n'est configuré");
    return {};
}

TestDatabase::TestDatabase(const QString &name) : m_name(QStringLiteral("qz_") + name.toLower())
{
}

TestDatabase::~TestDatabase()
{
    if (isServer()) {
        if (auto db = OdbcDatabase::open(serverConnectString(QStringLiteral("quenzo_test")), Backend::MySql, nullptr))
            db->exec(QStringLiteral("drop database if exists ") + m_name);
    }
}

void TestDatabase::configure(Settings &settings) const
{
    const QString base = QStringLiteral("Base");
    if (isServer()) {
        settings.write(base, QStringLiteral("ODBC"), QStringLiteral("1"));
        settings.write(base, QStringLiteral("Driver"), qEnvironmentVariable("QUENZO_TEST_DRIVER"));
        settings.write(base, QStringLiteral("DSN Name"), qEnvironmentVariable("QUENZO_TEST_DSN"));
        settings.write(base, QStringLiteral("NomBase"), m_name);
        settings.write(base, QStringLiteral("Utilisateur"), qEnvironmentVariable("QUENZO_TEST_DB_USER"));
        settings.write(base, QStringLiteral("Pass"), qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD"));
    } else {
        settings.write(base, QStringLiteral("ODBC"), QStringLiteral("0"));
        settings.write(base, QStringLiteral("Chemin"), filePath());
    }
}

std::unique_ptr<Database> TestDatabase::connect() const
{
    QString error;
    std::unique_ptr<Database> db;
    if (isServer())
        db = OdbcDatabase::open(serverConnectString(m_name), Backend::MySql, &error);
    else
        db = SqliteDatabase::open(filePath(), QString(), true, &error);
    if (!db)
        qWarning("connexion impossible : %s", qPrintable(error));
    return db;
}

bool TestDatabase::makeBlank()
{
    if (!isServer()) {
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(filePath() + suffix);
        return true;
    }
    auto admin = OdbcDatabase::open(serverConnectString(QStringLiteral("quenzo_test")), Backend::MySql, nullptr);
    return admin
           && execAll(*admin, {QStringLiteral("drop database if exists ") + m_name,
                               QStringLiteral("create database ") + m_name + QStringLiteral(" character set utf8mb4")});
}

bool TestDatabase::makeReady()
{
    if (!isServer()) {
        if (m_template.isEmpty()) {
            m_template = m_dir.filePath(QStringLiteral("template.qdb"));
            auto db = SqliteDatabase::open(m_template, QString(), true, nullptr);
            Terms terms;
            if (!db || !SchemaUpgrade(*db, Dialect(Backend::File), terms).run())
                return false;
        }
        makeBlank();
        return QFile::copy(m_template, filePath());
    }
    auto db = m_template.isEmpty() ? nullptr : connect();
    if (db) {
        QStringList statements;
        for (const TableSpec &table : schemaTables())
            if (QLatin1String(table.name) != QLatin1String("kp_versions")
                && QLatin1String(table.name) != QLatin1String("kp_civilites"))
                statements.append(QStringLiteral("delete from ") + QLatin1String(table.name));
        if (execAll(*db, statements, true))
            return true;
    }
    // First use, or a test changed the tables: build the schema anew.
    db.reset();
    m_template = m_name;
    Terms terms;
    db = makeBlank() ? connect() : nullptr;
    return db && SchemaUpgrade(*db, Dialect(Backend::MySql), terms).run();
}

Workstation::Workstation(const TestDatabase &db, const QString &name)
{
    m_settings = std::make_unique<Settings>(db.folder() + QLatin1Char('/') + name + QStringLiteral(".ini"));
    db.configure(*m_settings);
    m_session = std::make_unique<Session>(*m_settings);
    m_session->setWorkstation(name);
}

Outcome Workstation::open(bool allowCreate, const OpenCallbacks &callbacks)
{
    return DatabaseOpener(*m_session).open(allowCreate, callbacks);
}

QStringList column(Database &db, const QString &sql)
{
    ResultSet rows;
    if (!db.query(sql, rows))
        qWarning("%s: %s", qPrintable(sql), qPrintable(db.lastError()));
    QStringList values;
    for (int r = 0; r < rows.rowCount(); ++r)
        values.append(rows.value(r, 0));
    return values;
}

QString scalar(Database &db, const QString &sql)
{
    return column(db, sql).value(0);
}

bool insertResource(Database &db, qint64 noid, const QString &label, const QString &mail)
{
    return db.exec(QStringLiteral("insert into kp_ressources (noid,libelle,typeressource,civilite,nomressource,"
                                  "prenomressource,adrressource,compressource,cpressource,villeressource,"
                                  "paysressource,etatressource,telressource,mobressource,faxressource,"
                                  "mailressource,annivressource,coulfond,coultexte,icone,noidprofil,dtsaisie,"
                                  "ordisaisie,dtmodif,ordimodif) values (%1,'%2',0,0,'/','/','/','/','/','/',"
                                  "'/','/','/','/','/','%3','1900-01-01',0,0,'/',0,'1900-01-01','P','1900-01-01','P')")
                       .arg(noid)
                       .arg(QString(label).replace(QLatin1Char('\''), QStringLiteral("''")), mail));
}

QStringList dumpRecord(Database &db, const QList<QPair<const char *, const char *>> &tables, qint64 key)
{
    QStringList lines;
    for (const auto &[table, column] : tables) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select * from %1 where %2 = %3").arg(QLatin1String(table), QLatin1String(column)).arg(key),
                      rows)) {
            lines.append(QLatin1String(table) + QStringLiteral(": unreadable"));
            continue;
        }
        QStringList tableLines;
        for (int r = 0; r < rows.rowCount(); ++r) {
            QStringList values;
            for (int c = 0; c < rows.columnCount(); ++c)
                values.append(rows.isNull(r, c) ? QStringLiteral("<null>") : rows.value(r, c));
            tableLines.append(QLatin1String(table) + QLatin1Char(':') + values.join(QLatin1Char('|')));
        }
        tableLines.sort();
        lines += tableLines;
    }
    return lines;
}

bool insertRow(Database &db, const Dialect &dialect, const QString &table, const QHash<QString, QString> &given)
{
    QStringList names, values;
    for (const ColumnSpec &c : schemaTable(table)->columns) {
        const QString name = QString::fromLatin1(c.name);
        names.append(name);
        if (given.contains(name))
            values.append(given.value(name));
        else if (c.type == ColumnType::ShortText || c.type == ColumnType::LongText)
            values.append(QStringLiteral("'/'"));
        else
            values.append(c.type == ColumnType::DateTime ? dialect.unsetDateValue() : QStringLiteral("0"));
    }
    return db.exec(QStringLiteral("insert into ") + table + QStringLiteral(" (") + names.join(QLatin1Char(','))
                   + QStringLiteral(") values (") + values.join(QLatin1Char(',')) + QLatin1Char(')'));
}
