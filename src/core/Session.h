#pragma once

#include "core/Civilities.h"
#include "core/Database.h"
#include "core/Dialect.h"
#include "core/Terms.h"

#include <QString>
#include <memory>

class Settings;

// The database's description row, as read after opening.
struct DatabaseDescription
{
    QString text = QStringLiteral("???"); // "/" means none
    bool geslogin = true;                  // user management active
    bool afflogin = true;                  // the login panel lists the users
    bool blocauto = false;                 // past tasks lock themselves
};

// The run-time state of one workstation: who it is, who is logged in, the
// open database and what was read from it. Passed explicitly to every piece
// of logic, so that one process can hold two sessions acting as two
// workstations on one database.
class Session
{
public:
    explicit Session(Settings &settings);
    ~Session();

    // The host name, or QUENZO_WORKSTATION when it is set.
    static QString defaultWorkstationName();

    Settings &settings() const { return m_settings; }

    QString workstation() const { return m_workstation; }
    void setWorkstation(const QString &name) { m_workstation = name; }

    QString userCode() const { return m_userCode; }
    QString userPassword() const { return m_userPassword; }
    void setUser(const QString &code, const QString &password) { m_userCode = code; m_userPassword = password; }
    bool isLoggedIn() const { return !m_userCode.isEmpty(); }
    // The logged-in user belongs to the administrator group 0.
    bool isAdministrator() const { return m_administrator; }
    void setAdministrator(bool administrator) { m_administrator = administrator; }
    qint64 currentResource() const { return m_currentResource; }
    void setCurrentResource(qint64 resource) { m_currentResource = resource; }

    QChar decimalSeparator() const { return m_decimalSeparator; }
    // The workstation's separator, or the system's when it has none.
    QChar shownDecimalSeparator() const;
    void setDecimalSeparator(QChar separator) { m_decimalSeparator = separator; }

    // The open database, null when none is open.
    Database *database() const { return m_db.get(); }
    bool isDatabaseOpen() const { return m_open; }
    const Dialect &dialect() const { return m_dialect; }
    // Hands over a connection whose schema check has passed.
    void attachDatabase(std::unique_ptr<Database> db);
    void closeDatabase();

    DatabaseDescription &description() { return m_description; }
    const DatabaseDescription &description() const { return m_description; }

    Terms &terms() { return m_terms; }
    const Terms &terms() const { return m_terms; }
    Civilities &civilities() { return m_civilities; }
    const Civilities &civilities() const { return m_civilities; }

    // The change stamp last read from the database (or our own name after a write).
    QString lastStamp() const { return m_lastStamp; }
    void setLastStamp(const QString &stamp) { m_lastStamp = stamp; }

private:
    Settings &m_settings;
    QString m_workstation;
    QString m_userCode;
    QString m_userPassword;
    qint64 m_currentResource = 0;
    bool m_administrator = false;
    QChar m_decimalSeparator;
    std::unique_ptr<Database> m_db;
    bool m_open = false;
    Dialect m_dialect;
    DatabaseDescription m_description;
    Terms m_terms;
    Civilities m_civilities = defaultCivilities();
    QString m_lastStamp;
};
