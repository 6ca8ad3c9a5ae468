#pragma once

#include "core/Outcome.h"
#include "planning/FilterLayout.h"

#include <QList>
#include <QMap>
#include <QString>

class Database;

// The choices made in the filter panel; each "none" value means no restriction.
struct FilterChoice
{
    qint64 team = 0;
    int clientType = 0;      // 0 both, 1 companies, 2 individuals
    QString sector;          // code
    QString project;         // code
    int doneState = 0;       // 0 any, 1 done, 2 not done
    int zone = -1;           // -1 any, 0 "Défaut"
    QString urgency;         // code
    QString company;         // libsoc
    QList<int> resourceKinds;
    QList<qint64> taskTypes;
    int closure = -1;        // -1 any, 0 open, 1 closed
    qint64 stage = 0;

    // The text shown by each active filter, for the filter caption.
    QMap<FilterId, QString> shown;
};

// The SQL fragments the filters turn into (empty: filter off), and the
// caption that lists the active filters.
struct FilterFragments
{
    QString team, clientType, sector, project, done, zone, urgency, company, resourceKinds, taskTypes, closure;
    QString stageClients; // client numbers, "-1" when the stage keeps none
    int clientTypeIndex = 0;
    QString caption;

    // Any filter that needs the client tables in a task query.
    bool needsClients() const
    {
        return !clientType.isEmpty() || !sector.isEmpty() || !stageClients.isEmpty() || !zone.isEmpty()
               || !company.isEmpty();
    }
    bool needsResources() const { return !resourceKinds.isEmpty() || !team.isEmpty(); }
};

namespace PlanningFilters {

// Builds the fragments; reads the team members and the stage's clients.
Outcome build(Database &db, const FilterChoice &choice, FilterFragments *fragments);

// The clients a stage keeps, comma-separated; "-1" when none.
Outcome stageClients(Database &db, qint64 stage, QString *list);

} // namespace PlanningFilters
