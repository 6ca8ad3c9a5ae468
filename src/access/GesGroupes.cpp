#include "access/GesGroupes.h"

#include "access/UserStore.h"
#include "core/Prompter.h"
#include "core/Schema.h"
#include "core/Session.h"

#include "core/widgets/FieldNavigation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

GesGroupes::GesGroupes(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter),
      m_rights(Access::lookup(session, QStringLiteral("UTILGROUP"))), m_codes(GroupStore::rightsCodes(session.terms())),
      m_choice(new QComboBox(this)), m_name(new QLineEdit(this)), m_save(new QPushButton(QStringLiteral("&Enregistrer"), this))
{
    setWindowTitle(QStringLiteral("Groupes"));
    resize(900, 420);
    // Group names are stored encoded, three digits a character.
    m_name->setMaxLength(schemaTable(QStringLiteral("kp_groupes"))->column(QStringLiteral("codegroupe"))->length / 3);

    auto *form = new QFormLayout;
    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(m_choice, 1);
    auto *add = new QPushButton(QStringLiteral("&Nouveau groupe"), this);
    choiceRow->addWidget(add);
    auto *choiceLabel = new QLabel(QStringLiteral("&Groupe :"), this);
    choiceLabel->setBuddy(m_choice);
    form->addRow(choiceLabel, choiceRow);
    form->addRow(QStringLiteral("N&om :"), m_name);

    auto *lists = new QHBoxLayout;
    const QStringList titles = {QStringLiteral("Création"), QStringLiteral("Modification"), QStringLiteral("Suppression")};
    for (int i = 0; i < 3; ++i) {
        auto *box = new QGroupBox(titles[i], this);
        auto *boxLayout = new QVBoxLayout(box);
        m_lists[i] = new QListWidget(box);
        for (const RightsCode &code : m_codes) {
            auto *item = new QListWidgetItem(code.caption, m_lists[i]);
            item->setData(Qt::UserRole, code.code);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        boxLayout->addWidget(m_lists[i]);
        lists->addWidget(box);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    auto *close = new QPushButton(QStringLiteral("Fermer"), this);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    connect(m_choice, &QComboBox::activated, this, [this](int index) { showGroup(m_choice->itemData(index).toInt()); });
    connect(add, &QPushButton::clicked, this, &GesGroupes::newGroup);
    connect(m_save, &QPushButton::clicked, this, &GesGroupes::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    add->setEnabled(m_rights.create);
    m_save->setEnabled(m_rights.modify || m_rights.create);
    fillChoice(0);
    FieldNavigation::install(this);
}

void GesGroupes::fillChoice(int select)
{
    QList<GroupRow> groups;
    const Outcome read = UserStore::groups(*m_session.database(), &groups);
    if (!read)
        m_prompter.show(read);
    m_choice->clear();
    for (const GroupRow &g : groups)
        m_choice->addItem(g.name, g.number);
    const int index = m_choice->findData(select);
    if (index >= 0) {
        m_choice->setCurrentIndex(index);
        showGroup(select);
    } else if (!groups.isEmpty()) {
        showGroup(groups.first().number);
    }
}

void GesGroupes::showGroup(int number)
{
    GroupRecord group;
    const Outcome read = GroupStore::load(*m_session.database(), number, &group);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_current = number;
    m_name->setText(group.name);
    for (int i = 0; i < 3; ++i)
        for (int row = 0; row < m_lists[i]->count(); ++row) {
            QListWidgetItem *item = m_lists[i]->item(row);
            const Rights r = group.rights.value(item->data(Qt::UserRole).toString());
            const bool on = i == 0 ? r.create : i == 1 ? r.modify : r.remove;
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
}

void GesGroupes::newGroup()
{
    m_current = -1;
    m_choice->setCurrentIndex(-1);
    m_name->clear();
    for (QListWidget *list : m_lists)
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setCheckState(Qt::Unchecked);
    m_name->setFocus();
}

void GesGroupes::save()
{
    const bool allowed = m_current < 0 ? m_rights.create : m_rights.modify;
    if (!allowed) {
        m_prompter.show(QStringLiteral("Désolé"),
                        m_current < 0 ? QStringLiteral("Vous n'avez pas le droit de créer des groupes")
                                      : QStringLiteral("Vous n'avez pas le droit de modifier les groupes"),
                        Prompter::Icon::Warning);
        return;
    }
    GroupRecord group{m_current, m_name->text(), {}};
    for (int row = 0; row < m_codes.size(); ++row)
        group.rights.insert(m_codes[row].code, {m_lists[0]->item(row)->checkState() == Qt::Checked,
                                                m_lists[1]->item(row)->checkState() == Qt::Checked,
                                                m_lists[2]->item(row)->checkState() == Qt::Checked});
    const Outcome saved = GroupStore::save(*m_session.database(), &group, m_session.terms());
    m_prompter.show(saved);
    if (saved)
        fillChoice(group.number);
}
