#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

class Session;

// What the customer calls the free zones of every client: the free-fields
// tab (seven texts, four coded fields, each shown or not) and the data tab
// (nine column labels). One row each, shared by all clients.
struct ClientFreeZones
{
    QString fieldsTitle;
    QStringList textLabels = QStringList(7); // ch1..ch7
    QList<bool> textVisible = QList<bool>(7, true);
    QStringList codeLabels = QStringList(4); // tb1..tb4, codes of kp_libre1..4
    QList<bool> codeVisible = QList<bool>(4, true);

    QString dataTitle;
    QStringList dataLabels = QStringList(9); // ch1..ch9 of the data rows

    // The labels a database starts with.
    static ClientFreeZones defaults();

    // Reads both definitions, writing the defaults of a missing one.
    static Outcome load(Session &session, ClientFreeZones *zones);
    // Writes both definitions for every workstation (update, or insert when
    // the row is missing).
    Outcome save(Session &session) const;
};
