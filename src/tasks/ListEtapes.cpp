#include "tasks/ListEtapes.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "tasks/SaisEtape.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ListEtapes::ListEtapes(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_rights(Access::lookup(session, QStringLiteral("ETAPES"))),
      m_list(new QListWidget(this)), m_addButton(new QPushButton(QStringLiteral("&Ajouter"), this)),
      m_openButton(new QPushButton(QStringLiteral("&Ouvrir"), this)),
      m_deleteButton(new QPushButton(QStringLiteral("&Supprimer"), this))
{
    setWindowTitle(QStringLiteral("Gestion des étapes"));
    resize(420, 380);
    auto *buttons = new QVBoxLayout;
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {m_addButton, m_openButton, m_deleteButton, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_addButton, &QPushButton::clicked, this, &ListEtapes::addStage);
    connect(m_openButton, &QPushButton::clicked, this, &ListEtapes::openStage);
    connect(m_deleteButton, &QPushButton::clicked, this, &ListEtapes::removeStage);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &ListEtapes::openStage);
    reload();
}

void ListEtapes::reload(qint64 select)
{
    QList<Stage> stages;
    const Outcome read = StageStore(m_session).list(&stages);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_list->clear();
    for (const Stage &s : std::as_const(stages)) {
        auto *item = new QListWidgetItem(s.label, m_list);
        item->setData(Qt::UserRole, s.number);
        if (s.number == select)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

qint64 ListEtapes::currentStage() const
{
    return m_list->currentItem() ? m_list->currentItem()->data(Qt::UserRole).toLongLong() : 0;
}

void ListEtapes::addStage()
{
    if (!m_rights.create) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous n'avez pas le droit de créer des étapes"),
                        Prompter::Icon::Warning);
        return;
    }
    edit(0);
}

void ListEtapes::openStage()
{
    if (const qint64 stage = currentStage())
        edit(stage);
}

void ListEtapes::edit(qint64 number)
{
    SaisEtape editor(m_session, m_prompter, this);
    if (!editor.open(number)) {
        // The stage may have been deleted elsewhere.
        if (number != 0)
            reload();
        return;
    }
    if (editor.exec() == QDialog::Accepted)
        reload(editor.number());
}

void ListEtapes::removeStage()
{
    const qint64 stage = currentStage();
    if (stage == 0)
        return;
    if (!m_rights.remove) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous n'avez pas le droit de supprimer les étapes"),
                        Prompter::Icon::Warning);
        return;
    }
    if (!m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Supprimer l'étape sélectionnée ?"), false))
        return;
    m_prompter.show(StageStore(m_session).remove(stage));
    reload();
}
