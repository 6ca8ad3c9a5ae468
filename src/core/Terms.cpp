#include "core/Terms.h"

void Terms::loadBuiltIn()
{
    m_terms = {{
        {QStringLiteral("Ressource"), QStringLiteral("Ressources"), QStringLiteral("1"), QStringLiteral("0")},
        {QStringLiteral("Client"), QStringLiteral("Clients"), QStringLiteral("0"), QStringLiteral("0")},
        {QStringLiteral("Société"), QStringLiteral("Sociétés"), QStringLiteral("1"), QStringLiteral("0")},
        {QStringLiteral("Particulier"), QStringLiteral("Particuliers"), QStringLiteral("0"), QStringLiteral("0")},
        {QStringLiteral("Tâche"), QStringLiteral("Tâches"), QStringLiteral("1"), QStringLiteral("0")},
    }};
}

QString Terms::code(Entity entity)
{
    switch (entity) {
    case Entity::Ressource: return QStringLiteral("Ressource");
    case Entity::Client: return QStringLiteral("Client");
    case Entity::Societe: return QStringLiteral("Societe");
    case Entity::Particulier: return QStringLiteral("Particulier");
    case Entity::Tache: return QStringLiteral("Tache");
    }
    return {};
}

QString Terms::article(Entity e) const
{
    if (elided(e))
        return QStringLiteral("l'");
    return feminine(e) ? QStringLiteral("la ") : QStringLiteral("le ");
}

QString Terms::partitive(Entity e) const
{
    if (elided(e))
        return QStringLiteral("de l'");
    return feminine(e) ? QStringLiteral("de la ") : QStringLiteral("du ");
}

QString Terms::quantifier(Entity e) const
{
    return feminine(e) ? QStringLiteral("toute ") : QStringLiteral("tout ");
}

QString Terms::demonstrativeEnding(Entity e) const
{
    if (feminine(e))
        return QStringLiteral("tte ");
    return elided(e) ? QStringLiteral("t ") : QStringLiteral(" ");
}

QString Terms::articleEnding(Entity e) const
{
    if (elided(e))
        return QStringLiteral("'");
    return feminine(e) ? QStringLiteral("a ") : QStringLiteral("e ");
}
