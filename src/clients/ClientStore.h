#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class Database;
class Session;
enum class Entity;

// A client as its screens edit it: a company (type 0) or a private
// individual (type 1), with its free fields. Empty texts are stored "/" and
// "/" reads back as empty.
struct Client
{
    static constexpr int Company = 0;
    static constexpr int Individual = 1;

    qint64 number = 0; // noidsoc, 0: not saved yet
    int type = Company;
    QString name;  // libsoc: the company, or an individual's employer
    QString group; // groupesoc
    QString sector; // secteursoc code
    int civility = 0;
    QString surname, firstName; // the main contact, or the individual
    QDate birth;                // individuals only; invalid: none
    QString address, complement, postcode, town, country, state;
    QString phone, mobile, fax, mail, web;
    QString comment;
    int background = 0xFFFFFF;
    int text = 0;
    QString icon; // nomico, empty: none
    bool closed = false;
    qint64 zone = 0; // 0: the default zone
    QStringList freeTexts = QStringList(7); // kp_libresoc ch1..ch7
    QStringList freeCodes = QStringList(4); // kp_libresoc tb1..tb4
};

// A row of a code/label table.
struct ClientCode
{
    QString code;
    QString label;
};

namespace ClientStore {

// The term naming a client of that type on its own screen.
Entity entityOf(int type);

// "Disparition" when the client is gone; the text differs by screen.
Outcome vanished(Session &session, int type);
Outcome checkExists(Session &session, qint64 number, int type);

// Reads the client and its free fields; "Disparition" when it is gone.
Outcome load(Session &session, qint64 number, int type, Client *client);

// Writes the client and its free fields in one transaction. A new client is
// numbered highest + 1 (refused past 32767). The mandatory name of its type
// is checked first.
Outcome save(Session &session, Client *client);

// Why the client cannot be saved yet, empty when it can.
QString incompleteText(Session &session, const Client &client);

// "select code,libelle from <table> order by libelle"; `what` names the
// table in the read error ("secteurs" ...).
Outcome codes(Database &db, const QString &table, const QString &what, QList<ClientCode> *rows);

// The employer names already entered, for individuals.
Outcome employers(Database &db, QStringList *names);

// The company's own address (labelled with its main contact) and every
// contact's address holding an "@", as "surname first <address>".
Outcome mailRecipients(Session &session, const Client &client, QStringList *recipients);

} // namespace ClientStore
