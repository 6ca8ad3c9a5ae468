#pragma once

#include "core/Outcome.h"

#include <QCommandLineOption>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QCommandLineParser;
class QTextStream;
class Session;
class Settings;

// The options by which every quenzo-cli command names its database: a file
// (the argument after the command) or a server (--dsn, --database, --user,
// --password, --driver).
class DatabaseArguments
{
public:
    DatabaseArguments();

    void addTo(QCommandLineParser &parser) const;
    // False when the parsed arguments name no database or two.
    bool read(const QCommandLineParser &parser);

    bool isServer() const { return m_server; }
    QString password() const { return m_passwordValue; }
    // The file, or "dsn/database".
    QString target() const;
    QString usage(const QString &command) const;
    // Parses the command line with the help option: -1 when the command goes
    // on, else the exit status (0 after the help, 2 after a usage error).
    int parse(QCommandLineParser &parser, const QStringList &arguments, const QString &command, QTextStream &out,
              QTextStream &err);

    // Points the settings at the database.
    void configure(Settings &settings) const;
    // Opens it with its schema check, creating a missing one, and gives a
    // new database its description row.
    Outcome open(Session &session, bool *created) const;

    // What a command that reads an existing database works with: settings of
    // its own in a scratch folder, and the session on the database.
    struct Reader
    {
        QTemporaryDir scratch;
        std::unique_ptr<Settings> settings;
        std::unique_ptr<Session> session;
    };
    // Opens the database for reading, never making one; `userSettings` starts
    // from a copy of the user's settings (colours, fonts) rather than none.
    // 0 when open, else the exit status with the message said on `err`.
    int openExisting(Reader *reader, QTextStream &err, bool userSettings = false) const;

private:
    QCommandLineOption m_password;
    QCommandLineOption m_dsn;
    QCommandLineOption m_database;
    QCommandLineOption m_user;
    QCommandLineOption m_driver;
    bool m_server = false;
    QString m_file;
    QString m_passwordValue;
    QString m_dsnValue;
    QString m_databaseValue;
    QString m_userValue;
    QString m_driverValue;
};

// Each message of an outcome on its own line, "title : text".
void printMessages(const Outcome &outcome, QTextStream &stream);
