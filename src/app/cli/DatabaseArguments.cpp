#include "DatabaseArguments.h"

#include "core/Database.h"
#include "core/DatabaseOpener.h"
#include "core/OdbcDatabase.h"
#include "core/PasswordCodec.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

QString driverOf(const QString &dsn)
{
    QString ignored;
    for (const DataSource &source : listDataSources(&ignored))
        if (source.name.compare(dsn, Qt::CaseInsensitive) == 0)
            return source.driver;
    return {};
}

} // namespace

DatabaseArguments::DatabaseArguments()
    : m_password(QStringLiteral("password"), QStringLiteral("mot de passe"), QStringLiteral("mot de passe")),
      m_dsn(QStringLiteral("dsn"), QStringLiteral("source de données ODBC"), QStringLiteral("nom")),
      m_database(QStringLiteral("database"), QStringLiteral("base sur le serveur"), QStringLiteral("base")),
      m_user(QStringLiteral("user"), QStringLiteral("utilisateur du serveur"), QStringLiteral("utilisateur")),
      m_driver(QStringLiteral("driver"), QStringLiteral("pilote ODBC (lu dans la liste des sources sinon)"),
               QStringLiteral("pilote"))
{
}

void DatabaseArguments::addTo(QCommandLineParser &parser) const
{
    parser.addPositionalArgument(QStringLiteral("fichier"), QStringLiteral("fichier de base de données"),
                                 QStringLiteral("[fichier]"));
    parser.addOptions({m_password, m_dsn, m_database, m_user, m_driver});
}

bool DatabaseArguments::read(const QCommandLineParser &parser)
{
    const QStringList positional = parser.positionalArguments();
    m_server = parser.isSet(m_dsn);
    if (m_server == (positional.size() >= 2))
        return false;
    m_file = m_server ? QString() : positional.at(1);
    m_passwordValue = parser.value(m_password);
    m_dsnValue = parser.value(m_dsn);
    m_databaseValue = parser.value(m_database);
    m_userValue = parser.value(m_user);
    m_driverValue = parser.isSet(m_driver) ? parser.value(m_driver) : QString();
    return true;
}

QString DatabaseArguments::target() const
{
    return m_server ? m_dsnValue + QLatin1Char('/') + m_databaseValue : m_file;
}

QString DatabaseArguments::usage(const QString &command) const
{
    return QStringLiteral("Usage : quenzo-cli %1 FICHIER [--password MOT_DE_PASSE]\n"
                          "        quenzo-cli %1 --dsn NOM --database BASE --user UTILISATEUR --password MOT_DE_PASSE")
        .arg(command);
}

void DatabaseArguments::configure(Settings &settings) const
{
    const QString base = QStringLiteral("Base");
    if (m_server) {
        settings.write(base, QStringLiteral("ODBC"), QStringLiteral("1"));
        settings.write(base, QStringLiteral("Driver"), m_driverValue.isEmpty() ? driverOf(m_dsnValue) : m_driverValue);
        settings.write(base, QStringLiteral("DSN Name"), m_dsnValue);
        settings.write(base, QStringLiteral("NomBase"), m_databaseValue);
        settings.write(base, QStringLiteral("Utilisateur"), m_userValue);
        settings.write(base, QStringLiteral("Pass"), m_passwordValue);
    } else {
        settings.write(base, QStringLiteral("ODBC"), QStringLiteral("0"));
        settings.write(base, QStringLiteral("Chemin"), QFileInfo(m_file).absoluteFilePath());
        settings.write(QStringLiteral("protect"), QStringLiteral("MDP"), PasswordCodec::encode(m_passwordValue));
    }
}

Outcome DatabaseArguments::open(Session &session, bool *created) const
{
    OpenCallbacks callbacks;
    callbacks.confirm = [](const QString &, const QString &) { return true; };
    const QString newPassword = m_passwordValue;
    callbacks.askNewPassword = [newPassword]() -> std::optional<QString> { return newPassword; };
    DatabaseOpener opener(session);
    Outcome outcome = opener.open(true, callbacks);
    *created = opener.created();
    if (!outcome)
        return outcome;
    ResultSet rows;
    if (!session.database()->query(QStringLiteral("select description from kp_description"), rows) || rows.isEmpty())
        outcome.merge(DatabaseOpener::writeDescription(session, QString()));
    return outcome;
}

void printMessages(const Outcome &outcome, QTextStream &stream)
{
    for (const Message &m : outcome.messages())
        if (!m.text.isEmpty())
            stream << (m.title.isEmpty() ? QString() : m.title + QStringLiteral(" : ")) << m.text << Qt::endl;
}

int DatabaseArguments::parse(QCommandLineParser &parser, const QStringList &arguments, const QString &command,
                             QTextStream &out, QTextStream &err)
{
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (!read(parser)) {
        err << usage(command) << Qt::endl;
        return 2;
    }
    return -1;
}

int DatabaseArguments::openExisting(Reader *reader, QTextStream &err, bool userSettings) const
{
    // Opening would create a missing file: reading never makes a database.
    if (!m_server && !QFileInfo::exists(target())) {
        err << "La base " << target() << " n'existe pas." << Qt::endl;
        return 1;
    }
    const QString copy = reader->scratch.filePath(QStringLiteral("Quenzo.ini"));
    if (userSettings && QFileInfo::exists(Settings::defaultFilePath()))
        QFile::copy(Settings::defaultFilePath(), copy);
    reader->settings = std::make_unique<Settings>(copy);
    configure(*reader->settings);
    reader->session = std::make_unique<Session>(*reader->settings);
    bool created = false;
    const Outcome opened = open(*reader->session, &created);
    printMessages(opened, err);
    if (!opened)
        return 1;
    reader->session->description().geslogin = false;
    return 0;
}
