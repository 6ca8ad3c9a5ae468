#pragma once

#include "core/Outcome.h"
#include "resources/WorkingTime.h"

#include <QStringList>

class Session;

// What the first-database wizard writes into a new database: the company
// hours, numbered resources and clients, task types and two urgencies.
struct StartingSet
{
    CompanyHours hours;
    int people = 3;
    int equipment = 2;
    int companies = 5;
    int individuals = 5;
    QStringList taskTypes = {QStringLiteral("Développement"), QStringLiteral("Livraison"), QStringLiteral("Dépannage"),
                             QStringLiteral("Formation"), QStringLiteral("Installation")};
    QStringList urgencies = {QStringLiteral("Pas urgent"), QStringLiteral("Urgent")};

    static constexpr int MaxCount = 500;

    // Writes everything in one transaction; rolled back whole on a failure.
    Outcome write(Session &session) const;
};
