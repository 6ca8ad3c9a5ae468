#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;
class Session;

// One line of the user list.
struct UserRow
{
    QString code;
    QString label;
    QStringList groups; // group names, in number order
    qint64 resource = 0;
    QString resourceLabel;
};

// A user as the user screen edits it (everything in clear).
struct UserRecord
{
    QString code;
    QString label;
    QString password;
    qint64 resource = 0;
    QList<int> groups;
};

struct GroupRow
{
    int number = 0;
    QString name;
};

struct ResourceChoice
{
    qint64 number = 0;
    QString label;
};

// Users and their group memberships. Codes, labels and passwords are encoded
// before they reach the database and decoded when read.
namespace UserStore {

// Every user with its groups and linked resource, ordered by code.
Outcome list(Database &db, QList<UserRow> *users);
Outcome load(Database &db, const QString &code, UserRecord *user);
// Checks then writes the user and replaces its memberships, in one transaction.
Outcome save(Session &session, const UserRecord &user, const QString &confirmation);
// Deletes the memberships, the alerts addressed to or created by the user
// (live and in the undo history), then the user, in one transaction.
Outcome remove(Database &db, const QString &code);

Outcome groups(Database &db, QList<GroupRow> *groups);
// The resources a user can be linked to, by label.
Outcome resources(Database &db, QList<ResourceChoice> *resources);

// Switches user management on or off for the whole database.
Outcome setManagement(Session &session, bool enabled);

} // namespace UserStore
