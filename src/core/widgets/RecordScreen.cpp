#include "core/widgets/RecordScreen.h"

#include "core/Prompter.h"

RecordScreen::RecordScreen(Session &session, Prompter &prompter, LockKind kind, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_lock(session, kind)
{
}

RecordScreen::~RecordScreen()
{
    // closed without done(): the lock must not outlive the screen
    releaseLock();
}

qint64 RecordScreen::run()
{
    if (!m_open)
        return 0;
    exec();
    return m_saved;
}

bool RecordScreen::takeLock(qint64 number)
{
    const Outcome taken = m_lock.take(number);
    if (!taken)
        m_prompter.show(taken);
    return taken.ok();
}

void RecordScreen::releaseLock()
{
    const Outcome released = m_lock.release();
    if (!released)
        m_prompter.show(released);
}

void RecordScreen::vanished(const Outcome &outcome)
{
    m_prompter.show(outcome);
    m_saved = 0;
    m_open = false;
    reject();
}

void RecordScreen::readFailed(const Outcome &outcome)
{
    if (outcome.title() == QLatin1String("Disparition"))
        vanished(outcome);
    else
        m_prompter.show(outcome);
}

void RecordScreen::done(int result)
{
    releaseLock();
    m_open = false;
    QDialog::done(result);
}
