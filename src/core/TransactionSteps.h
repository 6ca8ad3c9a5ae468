#pragma once

#include "core/Database.h"
#include "core/Outcome.h"

#include <functional>

// Runs `steps` in one transaction: the first failing step rolls them all back;
// a transaction that cannot begin or commit reports `failure` under "Erreur"
// with the engine's text.
inline Outcome runInTransaction(Database &db, TransactionMode mode, const QString &failure,
                                const std::function<Outcome()> &steps)
{
    Transaction transaction(db, mode);
    if (!transaction.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    const Outcome done = steps();
    if (!done)
        return done;
    if (!transaction.commit())
        return Outcome::failure(QStringLiteral("Erreur"), failure, db.lastError());
    return done;
}
