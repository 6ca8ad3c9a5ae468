#pragma once

#include <QString>
#include <array>

// The five entities whose words a customer may replace.
enum class Entity { Ressource, Client, Societe, Particulier, Tache };

// The words naming the main entities, with the French agreement words built
// from their gender and elision flags. Built-in words apply until the
// customer's words are loaded from the database.
class Terms
{
public:
    struct Term
    {
        QString singular;
        QString plural;
        QString gender;  // "1" feminine
        QString elision; // "1" when the article elides
    };

    Terms() { loadBuiltIn(); }
    void loadBuiltIn();

    static QString code(Entity entity);
    static constexpr std::array<Entity, 5> all() {
        return {Entity::Ressource, Entity::Client, Entity::Societe, Entity::Particulier, Entity::Tache};
    }

    const Term &term(Entity entity) const { return m_terms[std::size_t(entity)]; }
    void setTerm(Entity entity, const Term &term) { m_terms[std::size_t(entity)] = term; }

    QString singular(Entity e) const { return term(e).singular; }
    QString plural(Entity e) const { return term(e).plural; }
    bool feminine(Entity e) const { return term(e).gender == QLatin1String("1"); }
    bool elided(Entity e) const { return term(e).elision == QLatin1String("1"); }

    // "l'", "la " or "le ".
    QString article(Entity e) const;
    // "de l'", "de la " or "du ".
    QString partitive(Entity e) const;
    // "toute " or "tout " (gender only).
    QString quantifier(Entity e) const;
    // What follows "ce": "tte " (feminine), "t " (elided) or " ".
    QString demonstrativeEnding(Entity e) const;
    // What follows "l": "'" (elided), "a " (feminine) or "e ".
    QString articleEnding(Entity e) const;

private:
    std::array<Term, 5> m_terms;
};
