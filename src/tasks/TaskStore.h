#pragma once

#include "core/Outcome.h"
#include "tasks/Periodicity.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Database;
class Session;

// One dated range of a task (kp_taches_dates).
struct TaskRange
{
    QDate startDate;
    QString startTime; // "hh:mm"
    QDate endDate;
    QString endTime;
    // Working days and hours as number texts; empty: computed from the
    // company day when the task is saved.
    QString days;
    QString hours;
    bool operator==(const TaskRange &other) const = default;
};

// One income or expense line charged on a task (kp_taches_couts).
struct TaskCostLine
{
    enum Kind { Income = 0, Expense = 1 };
    int rank = 0;      // rgcout; 0: numbered after the highest when saved
    int kind = Income; // of the cost item, only to name a failure
    qint64 item = 0;   // kp_couts.noid
    QDate date;
    QString label;
    qint64 resource = 0;
    QString invoice;
    int quantity = 1;
    QString unitAmount; // number texts, "," or "." as separator
    QString total;
};

// The alert the task form asks for: an offset (none: no alert), a comment
// and the recipients as listed, groups not yet expanded.
struct AlertRequest
{
    std::optional<int> minutes;
    QString comment;
    QStringList users;
    QList<int> groups;
};

// A task as the task form edits it: the header, its ranges and its links.
struct Task
{
    qint64 number = 0; // 0: not saved yet
    qint64 type = 0;   // 0: no task type
    QString urgency;   // empty: default urgency
    QString project;   // empty: none
    QString comment;
    bool done = false;
    QDate doneDate; // invalid: none given
    QString doneComment;
    bool adminLock = false; // written on creation only
    // The series: a model task is periodic; a row derived from an occurrence
    // carries its model's number and the occurrence's initial dates, which
    // the planning matches it by, and keeps them on every save.
    bool periodic = false;
    qint64 series = 0; // noidper as read
    QDateTime occurrenceStart;
    QDateTime occurrenceEnd;
    int origin = 1;
    // Read only: changed by the planning and the alert, never by a save.
    bool userLock = false;
    qint64 alert = 0;
    // Several ranges: the task is split. Otherwise only the first one counts.
    bool split = false;
    QList<TaskRange> ranges;
    QList<qint64> resources;
    QList<qint64> clients;
    QList<TaskCostLine> costs;
    // Written after the task itself, each in its own transaction, when set:
    // the rule of a periodic task (its dates then give the task's range), and
    // the alert. Unset, they are left as they are.
    std::optional<PeriodRule> rule;
    std::optional<AlertRequest> alertRequest;

    bool isSeriesModel() const { return number != 0 && series == number; }
};

// Reading, saving and deleting one task with everything hanging from it.
namespace TaskStore {

// "Disparition" when another workstation deleted the task.
Outcome load(Session &session, qint64 noid, Task *task);

// A periodic task's range is its rule's first occurrence.
void applyRuleDates(Task *task);

// The checks made before any write, in the order the form makes them.
Outcome validate(Session &session, const Task &task);

// Validates, then writes the task in one transaction; a new task gets its
// number, and its cost lines are written with it. A modification leaves the
// cost lines alone: they are saved one at a time. Recorded in the undo
// history before a modification and after a creation. Turning a series model
// into an ordinary task drops its rule.
Outcome save(Session &session, Task *task);

// Records the task in the undo history, then deletes it with its ranges,
// links, costs, alert and rule; a series model takes every row derived from
// the series with it.
Outcome remove(Session &session, qint64 noid);
// The deletion itself, inside the caller's transaction, with no undo entry.
Outcome eraseRows(Database &db, qint64 noid);

// True when the task's administrative lock keeps this user from changing it:
// the database locks past tasks, users log in and this one is no administrator.
bool adminLockApplies(const Session &session, const Task &task);

// One cost line of a saved task, in its own transaction; a new line (rank 0)
// is numbered after the task's highest.
Outcome saveCostLine(Session &session, qint64 task, TaskCostLine *line);
// "Cette recette n'est plus définie !" when another workstation removed it.
Outcome loadCostLine(Session &session, qint64 task, int rank, int kind, TaskCostLine *line);
Outcome removeCostLine(Session &session, qint64 task, int rank);

} // namespace TaskStore
