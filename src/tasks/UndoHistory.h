#pragma once

#include "core/NumberAllocator.h"
#include "core/Outcome.h"

#include <QList>

#include <functional>
#include <QString>

class Session;

// The undo stack of task changes: one stack per workstation (nomordi) in the
// shared database, entry 1 the oldest, at most NbHisto entries deep. An entry
// is a snapshot of one task across the seven histo_ tables.
namespace UndoHistory {

// What undoing the entry does; the values are the stored typehisto.
enum class Kind {
    Created = 1,   // recorded after the creation: undo deletes the task
    Modified = 0,  // recorded before the change: undo puts the snapshot back
    Deleted = -1,  // recorded before the deletion: undo re-creates the task
};

// Entries kept for this workstation (Planning/NbHisto, default 10, 0 = off).
int depth(const Session &session);

// Writes the change stamp and pushes a snapshot of the task, dropping the
// oldest entries beyond the depth, in a transaction of its own.
Outcome SaveHistory(Session &session, qint64 task, Kind kind);

// Runs `change` in one concurrent transaction with its undo entry: the
// snapshot is taken before the change (after it for a creation) and the change
// stamp written last. Nothing is kept when any step fails; `failure` is the
// text when the transaction cannot begin or commit.
Outcome RecordedChange(Session &session, qint64 task, Kind kind, const QString &failure,
                       const std::function<Outcome()> &change);

// Pushes a snapshot of the task inside the caller's transaction, dropping
// the oldest entries beyond the depth; no stamp.
Outcome snapshot(Session &session, qint64 task, Kind kind);

// Removes entry n of this workstation and renumbers the entries above it.
Outcome DropHistoryEntry(Session &session, int n);

// Restores the newest entry of this workstation and removes it.
Outcome UndoLast(Session &session);

// Where task numbers are counted, so that a number still held by a snapshot
// of any workstation is never handed to a new task.
QList<NumberSource> taskNumberSources();

} // namespace UndoHistory
