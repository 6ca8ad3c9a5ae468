#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

class Database;
class Session;

// One entry of the send screen's client or contact list.
struct LinkChoice
{
    qint64 number = 0; // noidsoc or idcontact; 0: no client, or the client itself
    QString label;
    bool individual = false; // a client: a private individual ("P"), else a company ("S")
};

// The client a note is linked to, and one of its contacts.
namespace MessageLinks {

// "Sans lien avec un client" first, then companies and individuals by name.
Outcome clients(Session &session, QList<LinkChoice> *choices);
// The client itself (number 0), then its contacts, by name.
Outcome contacts(Session &session, qint64 client, QList<LinkChoice> *choices);

// How a note names its client and contact: a company's name, an
// individual's civility and names; "???" for one that no longer exists;
// empty without a link.
Outcome describe(Session &session, qint64 client, qint64 contact, QString *clientText, QString *contactText);

// Whether the client exists and is a private individual.
Outcome kind(Session &session, qint64 client, bool *found, bool *individual);

// Whether any user is defined (recipients can be chosen).
Outcome anyUser(Database &db, bool *any);

} // namespace MessageLinks
