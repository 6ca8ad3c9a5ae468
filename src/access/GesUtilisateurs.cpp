#include "access/GesUtilisateurs.h"

#include "access/UserStore.h"
#include "core/Prompter.h"
#include "core/Schema.h"
#include "core/Session.h"

#include "core/widgets/FieldNavigation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Codes, labels and passwords are stored encoded, three digits a character.
int clearLength(const char *column)
{
    return schemaTable(QStringLiteral("kp_utilisateurs"))->column(QString::fromLatin1(column))->length / 3;
}

QLineEdit *field(QWidget *parent, const char *column, bool masked = false)
{
    auto *edit = new QLineEdit(parent);
    edit->setMaxLength(clearLength(column));
    if (masked)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

GesUtilisateurs::GesUtilisateurs(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter),
      m_rights(Access::lookup(session, QStringLiteral("UTILGROUP"))), m_list(new QTreeWidget(this)),
      m_code(field(this, "codeutil")), m_label(field(this, "libutil")), m_password(field(this, "motutil", true)),
      m_confirmation(field(this, "motutil", true)), m_resource(new QComboBox(this)), m_groups(new QListWidget(this)),
      m_new(new QPushButton(QStringLiteral("&Nouveau"), this)), m_save(new QPushButton(QStringLiteral("&Enregistrer"), this)),
      m_delete(new QPushButton(QStringLiteral("&Supprimer"), this)), m_management(new QPushButton(this))
{
    setWindowTitle(QStringLiteral("Utilisateurs"));
    resize(860, 480);

    m_list->setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Libellé"), QStringLiteral("Groupes"),
                             QStringLiteral("Ressource")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            showUser(item->data(0, Qt::UserRole).toString());
    });

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Code :"), m_code);
    form->addRow(QStringLiteral("&Libellé :"), m_label);
    form->addRow(QStringLiteral("&Mot de passe :"), m_password);
    form->addRow(QStringLiteral("Con&firmation :"), m_confirmation);
    form->addRow(QStringLiteral("&Ressource :"), m_resource);
    auto *groupsBox = new QGroupBox(QStringLiteral("Liste des Groupes"), this);
    auto *groupsLayout = new QVBoxLayout(groupsBox);
    groupsLayout->addWidget(m_groups);
    auto *groupsButton = new QPushButton(QStringLiteral("&Groupes..."), groupsBox);
    groupsLayout->addWidget(groupsButton, 0, Qt::AlignRight);
    connect(groupsButton, &QPushButton::clicked, this, &GesUtilisateurs::groupsRequested);

    auto *editor = new QVBoxLayout;
    editor->addLayout(form);
    editor->addWidget(groupsBox, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(m_list, 3);
    top->addLayout(editor, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_management);
    buttons->addStretch();
    buttons->addWidget(m_new);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    auto *close = new QPushButton(QStringLiteral("Fermer"), this);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(m_new, &QPushButton::clicked, this, &GesUtilisateurs::newUser);
    connect(m_save, &QPushButton::clicked, this, &GesUtilisateurs::save);
    connect(m_delete, &QPushButton::clicked, this, &GesUtilisateurs::removeUser);
    connect(m_management, &QPushButton::clicked, this, &GesUtilisateurs::toggleManagement);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_new->setEnabled(m_rights.create);
    m_delete->setEnabled(m_rights.remove);
    m_management->setEnabled(m_rights.modify);
    updateManagementCaption();
    loadChoices();
    refresh();
    FieldNavigation::install(this);
}

bool GesUtilisateurs::allowed(bool right, const QString &action)
{
    if (!right)
        m_prompter.show(QStringLiteral("Désolé"),
                        QStringLiteral("Vous n'avez pas le droit de ") + action + QStringLiteral(" utilisateurs"),
                        Prompter::Icon::Warning);
    return right;
}

void GesUtilisateurs::loadChoices()
{
    Database &db = *m_session.database();
    QList<ResourceChoice> resources;
    m_resource->clear();
    m_resource->addItem(QStringLiteral("A Définir"), 0);
    const Outcome read = UserStore::resources(db, &resources);
    if (!read)
        m_prompter.show(read);
    for (const ResourceChoice &r : resources)
        m_resource->addItem(r.label, r.number);

    QList<GroupRow> groups;
    const Outcome groupsRead = UserStore::groups(db, &groups);
    if (!groupsRead)
        m_prompter.show(groupsRead);
    m_groups->clear();
    for (const GroupRow &g : groups) {
        auto *item = new QListWidgetItem(g.name, m_groups);
        item->setData(Qt::UserRole, g.number);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void GesUtilisateurs::refresh()
{
    QList<UserRow> users;
    const Outcome read = UserStore::list(*m_session.database(), &users);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    if (users.isEmpty())
        m_prompter.show(QStringLiteral("Utilisateurs"), QStringLiteral("Aucun utilisateur !!!"));
    const QString keep = m_current;
    m_list->clear();
    for (const UserRow &u : users) {
        auto *item = new QTreeWidgetItem(m_list, {u.code, u.label, u.groups.join(QStringLiteral(", ")), u.resourceLabel});
        item->setData(0, Qt::UserRole, u.code);
    }
    selectUser(keep.isEmpty() && !users.isEmpty() ? users.first().code : keep);
}

void GesUtilisateurs::selectUser(const QString &code)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toString() == code) {
            m_list->setCurrentItem(item);
            showUser(code);
            return;
        }
    }
}

void GesUtilisateurs::showUser(const QString &code)
{
    UserRecord user;
    const Outcome read = UserStore::load(*m_session.database(), code, &user);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_current = user.code;
    m_code->setText(user.code);
    m_code->setReadOnly(true);
    m_label->setText(user.label);
    m_password->setText(user.password);
    m_confirmation->setText(user.password);
    const int resource = m_resource->findData(user.resource);
    m_resource->setCurrentIndex(resource < 0 ? 0 : resource);
    for (int i = 0; i < m_groups->count(); ++i) {
        QListWidgetItem *item = m_groups->item(i);
        item->setCheckState(user.groups.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
    }
    m_save->setEnabled(m_rights.modify);
}

void GesUtilisateurs::newUser()
{
    if (!allowed(m_rights.create, QStringLiteral("créer des")))
        return;
    m_current.clear();
    m_list->setCurrentItem(nullptr);
    for (QLineEdit *edit : {m_code, m_label, m_password, m_confirmation})
        edit->clear();
    m_code->setReadOnly(false);
    m_resource->setCurrentIndex(0);
    for (int i = 0; i < m_groups->count(); ++i)
        m_groups->item(i)->setCheckState(Qt::Unchecked);
    m_save->setEnabled(true);
    m_code->setFocus();
}

void GesUtilisateurs::save()
{
    if (m_current.isEmpty() ? !allowed(m_rights.create, QStringLiteral("créer des"))
                            : !allowed(m_rights.modify, QStringLiteral("modifier les")))
        return;
    UserRecord user{m_code->text().trimmed(), m_label->text(), m_password->text(),
                    m_resource->currentData().toLongLong(), {}};
    for (int i = 0; i < m_groups->count(); ++i)
        if (m_groups->item(i)->checkState() == Qt::Checked)
            user.groups.append(m_groups->item(i)->data(Qt::UserRole).toInt());
    const Outcome saved = UserStore::save(m_session, user, m_confirmation->text());
    m_prompter.show(saved);
    if (!saved)
        return;
    m_current = user.code;
    refresh();
}

void GesUtilisateurs::removeUser()
{
    if (!allowed(m_rights.remove, QStringLiteral("supprimer les")) || m_current.isEmpty())
        return;
    if (!m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Supprimer l'utilisateur ") + m_current + QStringLiteral(" ?"),
                        false))
        return;
    const Outcome removed = UserStore::remove(*m_session.database(), m_current);
    m_prompter.show(removed);
    if (removed) {
        m_current.clear();
        refresh();
    }
}

void GesUtilisateurs::updateManagementCaption()
{
    m_management->setText(m_session.description().geslogin
                              ? QStringLiteral("Gestion des utilisateurs activée. Cliquez ici pour la désactiver")
                              : QStringLiteral("Gestion des utilisateurs désactivée. Cliquez ici pour la ré-activer"));
}

void GesUtilisateurs::toggleManagement()
{
    const bool enable = !m_session.description().geslogin;
    const QString warning = enable ? QStringLiteral("Attention, en cliquant ici vous allez activer la gestion des uilisateurs")
                                   : QStringLiteral("Attention, en cliquant ici vous allez désactiver la gestion des uilisateurs");
    if (!m_prompter.ask(QStringLiteral("Gestion des utilisateurs"), warning + QStringLiteral("\nContinuer quand même ?"), false))
        return;
    m_prompter.show(UserStore::setManagement(m_session, enable));
    updateManagementCaption();
}
