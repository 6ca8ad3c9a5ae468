#include "app/MainMenuRules.h"

#include "access/Access.h"
#include "core/Session.h"

const QList<MenuEntry> &mainMenuEntries()
{
    static const QList<MenuEntry> entries = {
        {MenuItem::Clients, QStringLiteral("&Clients"), false},
        {MenuItem::Ressources, QStringLiteral("&Ressources"), false},
        {MenuItem::Planning, QStringLiteral("&Planning"), false},
        {MenuItem::HistoRessources, QStringLiteral("&Historique des ressources"), false},
        {MenuItem::HistoClients, QStringLiteral("Historique des c&lients"), false},
        {MenuItem::EnvoyerMessage, QStringLiteral("&Envoyer Message"), false},
        {MenuItem::BoiteAuxLettres, QStringLiteral("&Boite aux Lettres"), false},
        {MenuItem::Etapes, QStringLiteral("E&tapes"), true},
        {MenuItem::Equipes, QStringLiteral("&Equipes"), false},
        {MenuItem::Civilites, QStringLiteral("&Civilités"), false},
        {MenuItem::Competences, QStringLiteral("&Compétences"), false},
        {MenuItem::Contrats, QStringLiteral("Con&trats"), false},
        {MenuItem::Parametrage, QStringLiteral("&Paramétrage"), true},
        {MenuItem::Utilisateurs, QStringLiteral("&Utilisateurs"), false},
        {MenuItem::ChangerUtilisateur, QStringLiteral("&Changer d'utilisateur"), false},
        {MenuItem::Connexion, QStringLiteral("&Connexion"), false},
        {MenuItem::Periode, QStringLiteral("&Periode"), true},
        {MenuItem::Assistant, QStringLiteral("&Assistant Base de données"), false},
        {MenuItem::Langue, QStringLiteral("&Langue"), false},
        {MenuItem::APropos, QStringLiteral("&A Propos"), false},
        {MenuItem::Quitter, QStringLiteral("&Quitter"), false},
    };
    return entries;
}

bool isMenuItemEnabled(MenuItem item, Session &session, bool loginPassed)
{
    const bool ready = session.isDatabaseOpen() && loginPassed;
    switch (item) {
    case MenuItem::Utilisateurs:
        return ready && Access::lookup(session, QStringLiteral("UTILGROUP")).any();
    case MenuItem::Equipes:
        return ready && Access::lookup(session, QStringLiteral("EQUIPE")).any();
    case MenuItem::Etapes:
        return ready && Access::lookup(session, QStringLiteral("ETAPES")).any();
    case MenuItem::Clients:
    case MenuItem::Ressources:
    case MenuItem::Planning:
    case MenuItem::HistoRessources:
    case MenuItem::HistoClients:
    case MenuItem::EnvoyerMessage:
    case MenuItem::BoiteAuxLettres:
    case MenuItem::Civilites:
    case MenuItem::Competences:
    case MenuItem::Contrats:
    case MenuItem::Parametrage:
    case MenuItem::Langue:
        return ready;
    case MenuItem::ChangerUtilisateur:
    case MenuItem::Connexion:
    case MenuItem::Periode:
    case MenuItem::Assistant:
    case MenuItem::APropos:
    case MenuItem::Quitter:
        return true;
    }
    return false;
}
