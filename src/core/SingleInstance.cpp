#include "core/SingleInstance.h"

#include "core/Prompter.h"

#include <QDir>

SingleInstance::SingleInstance(const QString &lockPath) : m_lock(lockPath)
{
}

QString SingleInstance::defaultLockPath()
{
    return QDir::temp().filePath(QStringLiteral("quenzo-%1.lock").arg(qEnvironmentVariable("USER", QStringLiteral("user"))));
}

bool SingleInstance::allowStart(Prompter &prompter)
{
    if (m_lock.tryLock(0))
        return true;
    return prompter.ask(QStringLiteral("Confirmation"),
                        QStringLiteral("L'application est déjà lancée !\nVoulez-vous continuer ?"), false);
}
