#pragma once

#include <QString>
#include <array>

// The three civilities (0, 1, 2) kept in memory for every civility choice list.
struct Civility
{
    QString shortName; // racc
    QString fullName;  // comp
};

using Civilities = std::array<Civility, 3>;

inline Civilities defaultCivilities()
{
    return {{{QStringLiteral("Mr"), QStringLiteral("Monsieur")},
             {QStringLiteral("Mme"), QStringLiteral("Madame")},
             {QStringLiteral("Mle"), QStringLiteral("Mademoiselle")}}};
}
