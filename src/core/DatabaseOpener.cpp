#include "core/DatabaseOpener.h"

#include "core/PasswordCodec.h"
#include "core/OdbcDatabase.h"
#include "core/Schema.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "core/SqliteDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Base = QStringLiteral("Base");

// Finds the file in its folder whatever the letter case of its name; an empty
// text when there is no such file (or the folder cannot be read).
QString lookUpFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return info.absoluteFilePath();
    const QDir folder = info.absoluteDir();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries)
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.absoluteFilePath(entry);
    return {};
}

// A connect-string value that holds a separator must be braced.
QString connectValue(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) && !value.contains(QLatin1Char('}')))
        return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

} // namespace

QString DatabaseOpener::connectStringFor(const QString &dsn, const QString &database, const QString &user,
                                         const QString &password)
{
    QString text = QStringLiteral("ODBC;DATABASE=") + connectValue(database) + QStringLiteral(";UID=")
                   + connectValue(user) + QStringLiteral(";PWD=") + connectValue(password) + QLatin1Char(';');
    if (!dsn.isEmpty())
        text += QStringLiteral("DSN=") + connectValue(dsn) + QLatin1Char(';');
    return text;
}

Outcome DatabaseOpener::open(bool allowCreate, const OpenCallbacks &callbacks)
{
    m_created = false;
    m_schemaStatements = 0;
    // A new file is opened once more, like any existing file, right after its creation.
    for (int pass = 0; pass < 2; ++pass) {
        Settings &settings = m_session.settings();
        const bool odbc = settings.read(Base, QStringLiteral("ODBC"), QStringLiteral("0")) == QLatin1String("1");
        const QString path = settings.read(Base, QStringLiteral("Chemin"));
        if (!odbc && path.isEmpty())
            return Outcome::failure();

        m_session.closeDatabase();
        if (odbc)
            return openServer();

        bool retry = false;
        const Outcome outcome = openFile(path, allowCreate, callbacks, retry);
        if (!retry)
            return outcome;
    }
    return Outcome::failure(QStringLiteral("QUENZO"), QStringLiteral("La base de donnée est mal définie ou inaccessible"));
}

Outcome DatabaseOpener::openFile(const QString &path, bool allowCreate, const OpenCallbacks &callbacks, bool &retry)
{
    Settings &settings = m_session.settings();
    const QString file = lookUpFile(path);
    if (file.isEmpty()) {
        if (!allowCreate)
            return Outcome::failure(QStringLiteral("QUENZO"),
                                    QStringLiteral("La base de donnée est mal définie ou inaccessible"));
        if (!callbacks.confirm
            || !callbacks.confirm(QStringLiteral("Création"), QStringLiteral("\nVoulez vous créer cette base de donnée ?")))
            return Outcome::failure(); // declined: nothing to show
        const std::optional<QString> password = callbacks.askNewPassword ? callbacks.askNewPassword() : std::nullopt;
        if (!password)
            return Outcome::failure(QStringLiteral("Annulation"), QStringLiteral("Création de la base de données annulée"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QString error;
        if (!SqliteDatabase::open(path, *password, true, &error))
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Impossible de créer la base de données"),
                                    error);
        settings.write(QStringLiteral("protect"), QStringLiteral("MDP"), PasswordCodec::encode(*password));
        m_created = true;
        retry = true;
        return Outcome::success();
    }

    const QString stored = PasswordCodec::decode(settings.read(QStringLiteral("protect"), QStringLiteral("MDP")));
    QString error;
    std::unique_ptr<Database> db = SqliteDatabase::open(file, stored, false, &error);
    if (!db) {
        const std::optional<QString> typed = callbacks.askPassword ? callbacks.askPassword() : std::nullopt;
        if (typed)
            db = SqliteDatabase::open(file, *typed, false, &error);
        if (!db)
            return Outcome::failure(QStringLiteral("Incorrect"), QStringLiteral("Mot de passe non valide"), error);
        settings.write(QStringLiteral("protect"), QStringLiteral("MDP"), PasswordCodec::encode(*typed));
    }
    m_session.attachDatabase(std::move(db));
    return finish();
}

Outcome DatabaseOpener::openServer()
{
    Settings &settings = m_session.settings();
    const QString driver = settings.read(Base, QStringLiteral("Driver"));
    const QString connect = connectStringFor(settings.read(Base, QStringLiteral("DSN Name")),
                                             settings.read(Base, QStringLiteral("NomBase")),
                                             settings.read(Base, QStringLiteral("Utilisateur")),
                                             settings.read(Base, QStringLiteral("Pass")));
    QString error;
    std::unique_ptr<Database> db = OdbcDatabase::open(connect, Dialect::backendFor(true, driver), &error);
    if (!db)
        return Outcome::failure(QStringLiteral("Erreur"), error);
    m_session.attachDatabase(std::move(db));
    return finish();
}

// Schema check, then the description row.
Outcome DatabaseOpener::finish()
{
    Database &db = *m_session.database();
    const qint64 before = db.statementCount();
    SchemaUpgrade upgrade(db, m_session.dialect(), m_session.terms());
    Outcome outcome = upgrade.run();
    m_schemaStatements = db.statementCount() - before;
    if (!outcome) {
        m_session.closeDatabase();
        return outcome;
    }
    if (upgrade.initialState() == 1)
        m_session.civilities() = upgrade.civilities();
    else
        readCivilities(m_session);

    // A description that cannot be read is reported, but the database stays open.
    const Outcome description = m_created ? writeDescription(m_session, QString()) : readDescription(m_session);
    for (const Message &m : description.messages())
        outcome.notice(m.title, m.text);
    return outcome;
}

Outcome DatabaseOpener::writeDescription(Session &session, const QString &text)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Aucune base de données ouverte"));
    DatabaseDescription &d = session.description();
    const QString value = sqlText(text, QStringLiteral("/"));
    ResultSet rows;
    if (!db->query(QStringLiteral("select description from kp_description"), rows))
        return Outcome::failure(QStringLiteral("Erreur"),
                                QStringLiteral("Erreur lors de la mise à jour de la description de la base"),
                                db->lastError());
    const QString sql = rows.isEmpty()
                            ? QStringLiteral("insert into kp_description (description,geslogin,afflogin,blocauto) "
                                             "values ('%1',%2,%3,%4)")
                                  .arg(value)
                                  .arg(int(d.geslogin))
                                  .arg(int(d.afflogin))
                                  .arg(int(d.blocauto))
                            : QStringLiteral("update kp_description set description = '%1'").arg(value);
    if (!db->exec(sql))
        return Outcome::failure(QStringLiteral("Erreur"),
                                QStringLiteral("Erreur lors de la mise à jour de la description de la base"),
                                db->lastError());
    d.text = text.trimmed().isEmpty() ? QStringLiteral("/") : text.trimmed();
    return Outcome::success();
}

Outcome DatabaseOpener::readDescription(Session &session)
{
    Database *db = session.database();
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select description,geslogin,afflogin,blocauto from kp_description"), rows))
        return Outcome::failure(QStringLiteral("Erreur"),
                                QStringLiteral("Erreur lors de la lecture de la description de la base"),
                                db ? db->lastError() : QString());
    if (!rows.isEmpty()) {
        DatabaseDescription &d = session.description();
        d.text = rows.value(0, 0);
        d.geslogin = rows.toInt(0, 1) != 0;
        d.afflogin = rows.toInt(0, 2) != 0;
        d.blocauto = !rows.isNull(0, 3) && rows.toInt(0, 3) != 0;
    }
    return Outcome::success();
}

void DatabaseOpener::readCivilities(Session &session)
{
    ResultSet rows;
    if (!session.database()->query(QStringLiteral("select numero,racc,comp from kp_civilites"), rows))
        return;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const int n = rows.toInt(r, 0);
        if (n >= 0 && n < 3)
            session.civilities()[n] = {rows.value(r, 1), rows.value(r, 2)};
    }
}

QString DatabaseOpener::defaultDatabasePath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Quenzo/quenzo.qdb");
}

bool DatabaseOpener::useDefaultDatabaseIfUnset(Settings &settings)
{
    if (settings.read(Base, QStringLiteral("ODBC"), QStringLiteral("0")) == QLatin1String("1")
        || !settings.read(Base, QStringLiteral("Chemin")).isEmpty())
        return false;
    settings.write(Base, QStringLiteral("ODBC"), QStringLiteral("0"));
    settings.write(Base, QStringLiteral("Chemin"), defaultDatabasePath());
    return true;
}
