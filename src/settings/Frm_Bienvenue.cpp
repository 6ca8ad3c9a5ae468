#include "settings/Frm_Bienvenue.h"

#include <QCommandLinkButton>
#include <QLabel>
#include <QVBoxLayout>

Frm_Bienvenue::Frm_Bienvenue(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_Bienvenue"));
    setWindowTitle(QStringLiteral("Bienvenue dans Quenzo"));
    resize(520, 340);
    auto *intro = new QLabel(QStringLiteral("C'est le premier lancement de Quenzo sur ce poste. Par quoi voulez-vous commencer ?"), this);
    intro->setWordWrap(true);
    auto *demo = new QCommandLinkButton(QStringLiteral("Découvrir Quenzo avec une base de démonstration"),
                                        QStringLiteral("Quelques ressources et clients, deux semaines de tâches, des séries, "
                                                       "des congés et un jour férié autour d'aujourd'hui."),
                                        this);
    auto *wizard = new QCommandLinkButton(QStringLiteral("Créer ma base avec l'assistant"),
                                          QStringLiteral("Horaires de l'entreprise, premières ressources et premiers clients, "
                                                         "types de tâches et urgences."),
                                          this);
    auto *empty = new QCommandLinkButton(QStringLiteral("Commencer avec une base vide"),
                                         QStringLiteral("La base vide déjà créée sur ce poste."), this);
    const QList<QPair<QCommandLinkButton *, Choice>> buttons = {{demo, Demo}, {wizard, Wizard}, {empty, EmptyDatabase}};
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    for (const auto &[button, choice] : buttons) {
        layout->addWidget(button);
        connect(button, &QCommandLinkButton::clicked, this, [this, choice = choice] {
            m_choice = choice;
            accept();
        });
    }
    layout->addStretch();
    demo->setDefault(true);
    demo->setFocus();
}
