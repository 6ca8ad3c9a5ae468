#pragma once

#include "core/RecordLocks.h"

#include <QDialog>

class Outcome;
class Prompter;
class Session;

// A screen editing one record, which it locks for this workstation while it
// is open. The lock goes when the screen closes, however it closes.
class RecordScreen : public QDialog
{
    Q_OBJECT
public:
    // False when the record is locked elsewhere or gone (the message has
    // been shown): the caller must not show the screen.
    bool isOpen() const { return m_open; }
    // The record saved last, 0 when nothing was saved or it was deleted.
    qint64 savedNumber() const { return m_saved; }
    // Shows the screen modally when it opened; the record saved last.
    qint64 run();

    void done(int result) override;

protected:
    RecordScreen(Session &session, Prompter &prompter, LockKind kind, QWidget *parent);
    ~RecordScreen() override;

    // Shows the refusal when another workstation holds the record.
    bool takeLock(qint64 number);
    void releaseLock();
    // The record disappeared: says so and closes.
    void vanished(const Outcome &outcome);
    // A read that failed: a record gone ("Disparition") closes the screen,
    // any other failure is only shown.
    void readFailed(const Outcome &outcome);

    Session &m_session;
    Prompter &m_prompter;
    bool m_open = true;
    qint64 m_saved = 0;

private:
    HeldLock m_lock;
};
