#pragma once

#include <QLockFile>
#include <QString>

class Prompter;

// Tells whether another instance of the program runs for this user, and asks
// whether to go on anyway.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath = defaultLockPath());

    // True when this is the only instance, or the person chose to continue.
    bool allowStart(Prompter &prompter);

    static QString defaultLockPath();

private:
    QLockFile m_lock; // held while this instance runs, freed by the system if it dies
};
