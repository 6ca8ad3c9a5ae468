#pragma once

#include "core/Outcome.h"

#include <QString>
#include <functional>
#include <optional>

class Session;
class Settings;

// What the opening procedure asks the person at the keyboard. A missing
// callback counts as "no" or "cancelled".
struct OpenCallbacks
{
    // A yes/no question.
    std::function<bool(const QString &title, const QString &text)> confirm;
    // The password of an existing protected file; nullopt when cancelled.
    std::function<std::optional<QString>()> askPassword;
    // The password of a file about to be created (empty: none); nullopt when cancelled.
    std::function<std::optional<QString>()> askNewPassword;
};

// Opens the database the workstation's settings describe (section "Base"),
// runs the schema check and reads the description row. The session holds the
// database only when everything passed; otherwise it stays without one.
class DatabaseOpener
{
public:
    explicit DatabaseOpener(Session &session) : m_session(session) {}

    Outcome open(bool allowCreate, const OpenCallbacks &callbacks = {});
    // Whether the file was created by the last open().
    bool created() const { return m_created; }
    // Statements the schema check ran during the last open().
    qint64 schemaStatements() const { return m_schemaStatements; }

    // "ODBC;DATABASE=…;UID=…;PWD=…;" then "DSN=…;" when a DSN is named.
    static QString connectStringFor(const QString &dsn, const QString &database, const QString &user,
                                    const QString &password);

    // Updates the description row, or inserts it with the session's flags.
    static Outcome writeDescription(Session &session, const QString &text);
    static Outcome readDescription(Session &session);
    // Reads the three civilities into the session; missing rows keep their defaults.
    static void readCivilities(Session &session);

    // Where the embedded default database lives: the user's data folder.
    static QString defaultDatabasePath();
    // Points Base/Chemin at the default database when no database is set up.
    // Returns true when it did so.
    static bool useDefaultDatabaseIfUnset(Settings &settings);

private:
    Outcome openFile(const QString &path, bool allowCreate, const OpenCallbacks &callbacks, bool &retry);
    Outcome openServer();
    Outcome finish();

    Session &m_session;
    bool m_created = false;
    qint64 m_schemaStatements = 0;
};
