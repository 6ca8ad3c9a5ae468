#pragma once

#include "core/Outcome.h"

class Session;

// Kinds of record a workstation can lock for editing (kp_verrou.typeverrou).
enum class LockKind { Task = 0, Client = 1, Reserved = 2, Resource = 3 };

// Advisory locks that keep a record from being edited on two workstations at
// once. Each lock row names the workstation holding it.
namespace RecordLocks {

// Granted when the record is free or already locked by this workstation
// (letter case aside); refused with a message when another one holds it.
// Checking and taking happen in one serialised transaction, so two
// workstations can never both be granted the same lock.
Outcome take(Session &session, LockKind kind, qint64 number);
// Refused, as take() is, when another workstation holds the lock; takes nothing.
Outcome check(Session &session, LockKind kind, qint64 number);
// Releases every lock of that kind held by this workstation.
Outcome release(Session &session, LockKind kind);
// Releases this workstation's locks of every kind (at log in).
Outcome releaseAll(Session &session);

} // namespace RecordLocks

// The lock a screen holds while its record is open: taken once granted,
// released when asked (and only then).
class HeldLock
{
public:
    HeldLock(Session &session, LockKind kind) : m_session(session), m_kind(kind) {}

    Outcome take(qint64 number);
    // Nothing to do when the lock is not held.
    Outcome release();
    bool isHeld() const { return m_held; }

private:
    Session &m_session;
    LockKind m_kind;
    bool m_held = false;
};
