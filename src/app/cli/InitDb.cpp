#include "InitDb.h"

#include "core/PasswordCodec.h"
#include "core/Database.h"
#include "core/DatabaseOpener.h"
#include "core/OdbcDatabase.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

void printMessages(const Outcome &outcome, QTextStream &stream)
{
    for (const Message &m : outcome.messages())
        if (!m.text.isEmpty())
            stream << (m.title.isEmpty() ? QString() : m.title + QStringLiteral(" : ")) << m.text << Qt::endl;
}

QString driverOf(const QString &dsn)
{
    QString ignored;
    for (const DataSource &source : listDataSources(&ignored))
        if (source.name.compare(dsn, Qt::CaseInsensitive) == 0)
            return source.driver;
    return {};
}

} // namespace

int runInitDb(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Crée ou ouvre une base Quenzo et vérifie son schéma."));
    parser.addPositionalArgument(QStringLiteral("init-db"), QStringLiteral("commande"));
    parser.addPositionalArgument(QStringLiteral("fichier"), QStringLiteral("fichier de base de données"), QStringLiteral("[fichier]"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("mot de passe"), QStringLiteral("mot de passe"));
    const QCommandLineOption dsn(QStringLiteral("dsn"), QStringLiteral("source de données ODBC"), QStringLiteral("nom"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("base sur le serveur"), QStringLiteral("base"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("utilisateur du serveur"), QStringLiteral("utilisateur"));
    const QCommandLineOption driver(QStringLiteral("driver"), QStringLiteral("pilote ODBC (lu dans la liste des sources sinon)"),
                                    QStringLiteral("pilote"));
    const QCommandLineOption description(QStringLiteral("description"), QStringLiteral("description de la base"),
                                         QStringLiteral("texte"));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("enregistre la base dans les paramètres de l'utilisateur"));
    parser.addOptions({password, dsn, database, user, driver, description, save});
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    const bool server = parser.isSet(dsn);
    if (server == (positional.size() >= 2)) {
        err << "Usage : quenzo-cli init-db FICHIER [--password MOT_DE_PASSE]" << Qt::endl
            << "        quenzo-cli init-db --dsn NOM --database BASE --user UTILISATEUR --password MOT_DE_PASSE" << Qt::endl;
        return 2;
    }

    // The user's own settings are touched only when asked.
    QTemporaryDir scratch;
    const QString settingsPath = parser.isSet(save) ? Settings::defaultFilePath()
                                                    : scratch.filePath(QStringLiteral("Quenzo.ini"));
    Settings settings(settingsPath);
    const QString base = QStringLiteral("Base");
    if (server) {
        const QString driverName = parser.isSet(driver) ? parser.value(driver) : driverOf(parser.value(dsn));
        settings.write(base, QStringLiteral("ODBC"), QStringLiteral("1"));
        settings.write(base, QStringLiteral("Driver"), driverName);
        settings.write(base, QStringLiteral("DSN Name"), parser.value(dsn));
        settings.write(base, QStringLiteral("NomBase"), parser.value(database));
        settings.write(base, QStringLiteral("Utilisateur"), parser.value(user));
        settings.write(base, QStringLiteral("Pass"), parser.value(password));
    } else {
        settings.write(base, QStringLiteral("ODBC"), QStringLiteral("0"));
        settings.write(base, QStringLiteral("Chemin"), QFileInfo(positional.at(1)).absoluteFilePath());
        settings.write(QStringLiteral("protect"), QStringLiteral("MDP"), PasswordCodec::encode(parser.value(password)));
    }

    Session session(settings);
    OpenCallbacks callbacks;
    callbacks.confirm = [](const QString &, const QString &) { return true; };
    const QString newPassword = parser.value(password);
    callbacks.askNewPassword = [newPassword]() -> std::optional<QString> { return newPassword; };

    QElapsedTimer timer;
    timer.start();
    DatabaseOpener opener(session);
    const Outcome outcome = opener.open(true, callbacks);
    if (!outcome) {
        printMessages(outcome, err);
        return 1;
    }
    printMessages(outcome, err);

    ResultSet rows;
    const bool hasRow = session.database()->query(QStringLiteral("select description from kp_description"), rows)
                        && !rows.isEmpty();
    if (parser.isSet(description) || !hasRow) {
        const Outcome written = DatabaseOpener::writeDescription(session, parser.value(description));
        if (!written) {
            printMessages(written, err);
            return 1;
        }
    }
    out << "Base prête" << (opener.created() ? " (créée)" : "") << " : "
        << (server ? parser.value(dsn) + QLatin1Char('/') + parser.value(database) : positional.at(1)) << " en "
        << timer.elapsed() << " ms" << Qt::endl;
    return 0;
}
