#pragma once

#include "access/Access.h"
#include "core/Outcome.h"

#include <QList>
#include <QMap>
#include <QString>

class Database;
class Terms;

// A rights code as the group screen offers it.
struct RightsCode
{
    QString code;
    QString caption;
};

// A group and the rights it grants, by rights code.
struct GroupRecord
{
    int number = -1; // -1: not saved yet
    QString name;
    QMap<QString, Rights> rights;
};

namespace GroupStore {

// The rights codes offered in the group screen, in their order, with captions
// built from the current words. DEFZONES is not offered: only group 0 has it.
QList<RightsCode> rightsCodes(const Terms &terms);

Outcome load(Database &db, int number, GroupRecord *group);
// Checks the name, numbers a new group, writes it and all its rights in one transaction.
Outcome save(Database &db, GroupRecord *group, const Terms &terms);

} // namespace GroupStore
