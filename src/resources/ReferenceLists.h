#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

#include "core/Civilities.h"

class Database;
class Session;

// A row of a code/label table.
struct CodeLabel
{
    QString code;
    QString label;
};

// The small catalogues records point to: code/label tables, civilities,
// client contract types, urgency levels, zones and teams.
namespace ReferenceLists {

// The caption of the generic code/label screen for a table; the free-field
// tables take the label of their coded field.
QString caption(Database &db, const QString &table);

Outcome codes(Database &db, const QString &table, QList<CodeLabel> *rows);
// The label of a code, empty when the code does not exist.
Outcome labelOf(Database &db, const QString &table, const QString &code, QString *label);
Outcome saveCode(Database &db, const QString &table, const QString &code, const QString &label);

Outcome saveCivilities(Session &session, const Civilities &civilities);

// Client contract types: duree is the position in the duration list (0 none … 12 unlimited).
struct ContractType
{
    QString code;
    QString label;
    int duration = 0;
};
QStringList contractDurations();
Outcome contractTypes(Database &db, QList<ContractType> *types);
Outcome saveContractType(Database &db, const ContractType &type);
// Client contracts of the type, counted before the deletion is confirmed.
Outcome countContractsOfType(Database &db, const QString &code, int *count);
Outcome removeContractType(Database &db, const QString &code);

struct Urgency
{
    QString code;
    QString label;
    int background = 0xFFFFFF;
    int text = 0;
};
Outcome urgencies(Database &db, QList<Urgency> *urgencies);
Outcome saveUrgency(Database &db, const Urgency &urgency);
Outcome countTasksWithUrgency(Database &db, const QString &code, int *count);
// Deletes the urgency and clears it from the tasks that used it.
Outcome removeUrgency(Database &db, const QString &code);

struct Zone
{
    qint64 number = 0; // 0: not saved yet
    QString label;
    int background = 0xFFFFFF;
    int text = 0;
};
Outcome zones(Database &db, QList<Zone> *zones);
Outcome saveZone(Database &db, Zone *zone);

struct Team
{
    qint64 number = 0; // 0: not saved yet
    QString label;
    QList<qint64> members; // resource numbers
};
Outcome teams(Database &db, QList<Team> *teams); // without members
Outcome loadTeam(Database &db, qint64 number, Team *team);
Outcome saveTeam(Database &db, Team *team);
Outcome removeTeam(Database &db, qint64 number);

} // namespace ReferenceLists
