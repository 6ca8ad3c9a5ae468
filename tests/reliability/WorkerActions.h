#pragma once

#include "core/Outcome.h"

#include <QRandomGenerator>
#include <QTextStream>
#include <functional>

class Session;
struct Task;

// What one workstation of the reliability programs does, through the stores
// the screens use. Each action writes its facts to stdout, one per line.
class WorkerActions
{
public:
    WorkerActions(Session &session, int count);

    bool create();
    bool churn();
    bool race(const QString &holderFile);
    bool fair();
    bool hold();
    bool release();
    bool crash();

    // The comment that tells a workstation's tasks apart.
    static QString taskComment(const QString &workstation, int index);

private:
    // Runs a store action until it passes; a busy message is the one failure
    // tried again. Prints the time the action waited for the write lock.
    bool retrying(const std::function<Outcome()> &action);
    bool failed(const Outcome &outcome);
    Task newTask(int index, qint64 client);

    Session &m_session;
    int m_count;
    QRandomGenerator m_random;
    QList<qint64> m_resources;
    QTextStream m_out;
    QTextStream m_err;
};
