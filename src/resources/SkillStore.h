#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

class Database;

// A skill of the catalogue; each belongs to a domain (kp_domaines).
struct Skill
{
    qint64 number = 0; // 0: not saved yet
    QString domain;     // domain code
    QString domainLabel;
    QString label;
};

// The skill catalogue. Skills are never deleted.
namespace SkillStore {

Outcome skills(Database &db, QList<Skill> *skills); // by domain code, then label
Outcome save(Database &db, Skill *skill);

} // namespace SkillStore
