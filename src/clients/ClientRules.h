#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QString>
#include <optional>

class Database;

namespace ClientRules {

// The end proposed for a client contract from its type's duration
// (1 one day, 2 one week, 3–6 one, two, three, six months, 7–11 one to five
// years): the day before the anniversary. Invalid for no duration (0) or an
// unlimited one (12).
QDate proposedContractEnd(const QDate &start, int duration);

// The path stored for a document chosen in the documents folder: the part
// after the folder (sub-folders kept). nullopt when the file lies outside it
// (letter case aside).
std::optional<QString> documentPath(const QString &folder, const QString &chosen);

// Deletes the client and everything hung on it, in one transaction. Its
// tasks stay: they only lose the link to the client. Document references
// are left in place.
Outcome remove(Database &db, qint64 client);

} // namespace ClientRules
