#pragma once

#include <QList>
#include <QString>

class Session;

// The items of the main menu, in their order.
enum class MenuItem {
    Clients, Ressources, Planning, HistoRessources, HistoClients, EnvoyerMessage, BoiteAuxLettres,
    Etapes, Equipes, Civilites, Competences, Contrats,
    Parametrage, Utilisateurs, ChangerUtilisateur, Connexion,
    Periode, Assistant, Langue, APropos, Quitter
};

struct MenuEntry
{
    MenuItem item;
    QString text;
    bool separatorBefore;
};

// Captions of the main menu, with the separators.
const QList<MenuEntry> &mainMenuEntries();

// Whether an item is enabled: the data items need an open database and a
// log in that passed (with or without user management); users, teams and stages also need a right on their code.
bool isMenuItemEnabled(MenuItem item, Session &session, bool loginPassed);
