#pragma once

#include "core/Outcome.h"
#include "planning/PlanningSettings.h"

#include <QDateTime>
#include <QStringList>

struct PlanningBlock;
class Session;

// A dated range a block is written to; the end may be midnight of the next day.
struct BlockSpan
{
    QDateTime start;
    QDateTime end;
    bool isValid() const { return start.isValid() && end.isValid() && start < end; }
};

// The writes the planning makes on the task tables when a block is moved,
// stretched, copied, locked or deleted. Each one records the task in the undo
// history first (a creation: after), runs in one transaction and leaves the
// database as it was on failure. Nothing here asks the person anything: the
// choices come in as arguments.
namespace PlanningEdits {

QDateTime startOf(const PlanningBlock &block);
QDateTime endOf(const PlanningBlock &block);

// The rights the planning checks; every flag is granted when logins are off
// or the user has no resource of their own.
struct PlanningRights
{
    bool leaveCreate = true, leaveModify = true, leaveRemove = true;
    bool othersCreate = true, othersModify = true, othersRemove = true;
};
PlanningRights rights(Session &session);

// "Disparition" when another workstation deleted the task; the "being
// consulted" refusal when another workstation has it open.
Outcome checkEditable(Session &session, qint64 task);

// An ordinary block to another place: its date line and, when the row
// changes, the link of the presentation's kind. A row that already holds the
// task refuses the whole move ("Redondance").
Outcome moveBlock(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow,
                  const BlockSpan &span);
// A whole periodic task to another row; its dates stay.
Outcome moveSeriesRow(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow);
// An occurrence taken out of its series as a task of its own, placed on the
// target row and span; *created is its number.
Outcome detachOccurrence(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow,
                         const BlockSpan &span, qint64 *created = nullptr);
// One end of a block's date line.
Outcome stretch(Session &session, const PlanningBlock &block, bool atStart, const QDateTime &value);
Outcome setLocked(Session &session, qint64 task, bool locked);
// Hides one occurrence of a series by an exception row.
Outcome cancelOccurrence(Session &session, const PlanningBlock &block, qint64 *created = nullptr);
// A new task like the block's (type, texts, links, costs) on the target row and span.
Outcome copyBlock(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow,
                  const BlockSpan &span, qint64 *created = nullptr);

// What a deletion may be narrowed to.
struct DeletionScope
{
    int links = 1; // links of the row kind
    int lines = 1; // date lines
};
Outcome deletionScope(Session &session, Presentation presentation, qint64 task, DeletionScope *scope);
// Removes the block's link and/or date line (or all of them when the task
// has only one); a task left with nothing is deleted whole.
Outcome removeBlock(Session &session, Presentation presentation, const PlanningBlock &block, bool onlyLink,
                    bool onlyLine);

// The task's resources that are busy elsewhere, on leave or unavailable
// during its ranges, one sentence each. Empty when there is nothing to say.
QStringList conflicts(Session &session, qint64 task);

} // namespace PlanningEdits
