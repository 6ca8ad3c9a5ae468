#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class Database;
class Session;
class Terms;

// A resource as its screen edits it. Empty texts are stored "/" and "/"
// reads back as empty.
struct Resource
{
    qint64 number = 0; // 0: not saved yet
    QString code;      // libelle
    int type = 0;      // 0 human, 1 material, 2 to be defined
    int civility = 0;
    QString surname, firstName, address, complement, postcode, town, country, state;
    QString phone, mobile, fax, mail;
    QDate birthday; // invalid: none
    int background = 0xFFFFFF;
    int text = 0;
    qint64 profile = 0;
    QString icon; // nomico, empty: none
    QStringList services; // service codes
    QList<qint64> skills; // skill numbers
};

// Saving, loading and deleting resources with their services and skills.
namespace ResourceStore {

Outcome load(Session &session, qint64 number, Resource *resource);
// Numbers a new resource (refused past 32767), writes it and its services
// in one transaction, then its skills.
Outcome save(Session &session, Resource *resource);
// Deletes the resource and its links in one transaction, then the tasks
// that this deletion left without any resource, with everything hung on them.
Outcome remove(Session &session, qint64 number);

} // namespace ResourceStore
