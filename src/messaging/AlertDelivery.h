#pragma once

#include "core/Outcome.h"

#include <QDateTime>

class Session;

// Gives the current user the task alerts that have fallen due.
//
// An alert addressed to a user falls due `ecart` minutes before its task's
// start, and is given while the task has not ended; the alert of a periodic
// task falls due before each of its occurrences. It is given as a note
// (a kp_messages row) addressed to that user, so it pops up like any other
// note and stays in the mailbox. The row is also the record that it was
// given: sender alertSender(), noidmessageori minus the task number,
// dtdest/hdest the moment it fell due. A task moved to another time falls
// due again. Workstations write that row inside a serialised transaction
// after looking for it, so two workstations of one user never both write it,
// and a restart finds it. Older workstations see a plain note.
//
// The sender side of that row is kept (suppemett 0) so that the purge leaves
// the record alone while the alert could still be given; once the task has
// ended or lost the alert and the recipient has deleted the note, the sender
// side is let go and the purge removes it.
namespace AlertDelivery {

// Writes the notes of the alerts due at `now`; *delivered counts them.
Outcome deliverDue(Session &session, const QDateTime &now, int *delivered = nullptr);

// The title of the note of a task's alert.
QString titleFor(const QString &taskLabel);

} // namespace AlertDelivery
