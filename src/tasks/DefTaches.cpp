#include "tasks/DefTaches.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/HourMinuteEdit.h"
#include "reports/Liste.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

DefTaches::DefTaches(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Définition des ") + session.terms().plural(Entity::Tache),
                      {QStringLiteral("Libellé"), QStringLiteral("Horaire")}, parent),
      m_rights(Access::lookup(session, QStringLiteral("DEFTACHES"))), m_store(session), m_hint(new QLabel(this)),
      m_label(new QLineEdit(this)), m_background(new ColourSwatch(this)), m_text(new ColourSwatch(this)),
      m_timingGroup(new QButtonGroup(this)), m_skills(new QTreeWidget(this)),
      m_addSkill(new QPushButton(QStringLiteral("A&jouter..."), this)),
      m_removeSkill(new QPushButton(QStringLiteral("&Retirer"), this))
{
    const Terms &terms = session.terms();
    const QString term = terms.singular(Entity::Tache);
    resize(900, 540);

    // The hint sits above the list.
    m_hint->setText(QStringLiteral("Double-cliquez ici pour modifier un") + (terms.feminine(Entity::Tache) ? QStringLiteral("e") : QString())
                    + QLatin1Char(' ') + term);
    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    delete layout()->replaceWidget(list(), left);
    leftLayout->addWidget(m_hint);
    leftLayout->addWidget(list());
    connect(list(), &QTreeWidget::itemDoubleClicked, this, [this] {
        m_label->setFocus();
        m_label->selectAll();
    });

    limitToColumn(m_label, QStringLiteral("kp_taches"), QStringLiteral("libtache"));
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QStringLiteral("Couleur de &fond :"), m_background);
    form()->addRow(QStringLiteral("Couleur du &texte :"), m_text);

    auto *timing = new QGroupBox(QStringLiteral("Horaire"), this);
    auto *grid = new QGridLayout(timing);
    const QStringList options = {QStringLiteral("Sans durée prédéterminée"), QStringLiteral("Durée déterminée"),
                                 QStringLiteral("Heures fixes")};
    const QStringList tips = {QStringLiteral(" sans durée prédéterminée"), QStringLiteral(" dont la durée est déterminée"),
                              QStringLiteral(" qui se déroule à heures fixes")};
    const QStringList pairLabels = {QStringLiteral("Durée :"), QStringLiteral("De :"), QStringLiteral("A :")};
    for (int i = 0; i < 3; ++i) {
        m_timing[i] = new QRadioButton(options[i], timing);
        m_timing[i]->setToolTip(term + tips[i]);
        m_timingGroup->addButton(m_timing[i], i);
        grid->addWidget(m_timing[i], i, 0);
        m_hours[i] = new HourMinuteEdit(timing);
        m_hourLabels[i] = new QLabel(pairLabels[i], timing);
        m_hourLabels[i]->setBuddy(m_hours[i]);
    }
    grid->addWidget(m_hourLabels[0], 1, 1, Qt::AlignRight);
    grid->addWidget(m_hours[0], 1, 2);
    grid->addWidget(m_hourLabels[1], 2, 1, Qt::AlignRight);
    grid->addWidget(m_hours[1], 2, 2);
    grid->addWidget(m_hourLabels[2], 2, 3, Qt::AlignRight);
    grid->addWidget(m_hours[2], 2, 4);
    grid->setColumnStretch(5, 1);
    connect(m_timingGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            setTiming(id);
    });
    form()->addRow(timing);

    auto *skills = new QGroupBox(QStringLiteral("Compétences requises"), this);
    m_skills->setHeaderLabels({QStringLiteral("Domaine"), QStringLiteral("Libellé")});
    m_skills->setRootIsDecorated(false);
    m_skills->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *skillButtons = new QHBoxLayout;
    skillButtons->addStretch();
    for (QPushButton *b : {m_addSkill, m_removeSkill}) {
        b->setAutoDefault(false);
        skillButtons->addWidget(b);
    }
    auto *skillLayout = new QVBoxLayout(skills);
    skillLayout->addWidget(m_skills);
    skillLayout->addLayout(skillButtons);
    form()->addRow(skills);
    connect(m_addSkill, &QPushButton::clicked, this, &DefTaches::addSkill);
    connect(m_removeSkill, &QPushButton::clicked, this, &DefTaches::removeSkill);

    const Outcome read = m_store.list(&m_types);
    if (!read)
        m_prompter.show(read);
    finishSetup();
}

void DefTaches::reload(const QVariant &key)
{
    QList<TaskType> types;
    const Outcome read = m_store.list(&types);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_types = types;
    refill(key);
}

void DefTaches::fill()
{
    for (const TaskType &t : std::as_const(m_types))
        addLine({t.label, t.timingText()}, t.number, t.background, t.text);
}

void DefTaches::showLine(const QVariant &key)
{
    TaskType type;
    const Outcome loaded = m_store.load(key.toLongLong(), &type);
    if (!lineRead(loaded))
        return;
    m_number = type.number;
    m_label->setText(type.label);
    m_background->setValue(type.background);
    m_text->setValue(type.text);
    m_hours[0]->setTime(type.duration);
    m_hours[1]->setTime(type.from);
    m_hours[2]->setTime(type.to);
    setTiming(qBound(0, type.timing, 2));
    m_skills->clear();
    for (const RequiredSkill &skill : std::as_const(type.skills))
        addSkillLine(skill);
}

void DefTaches::clearFields()
{
    m_number = 0;
    m_label->clear();
    m_background->setValue(0xFFFFFF);
    m_text->setValue(0);
    for (HourMinuteEdit *pair : m_hours)
        pair->setTime(QStringLiteral("00:00"));
    setTiming(TaskType::NoDuration);
    m_skills->clear();
    m_label->setFocus();
}

void DefTaches::setTiming(int timing)
{
    m_timing[timing]->setChecked(true);
    const std::array<bool, 3> used = {timing == TaskType::FixedDuration, timing == TaskType::FixedHours,
                                      timing == TaskType::FixedHours};
    for (int i = 0; i < 3; ++i) {
        m_hours[i]->setEnabled(used[i]);
        m_hourLabels[i]->setEnabled(used[i]);
    }
}

void DefTaches::addSkillLine(const RequiredSkill &skill)
{
    // A skill deleted since still shows, so that it can be removed.
    auto *item = new QTreeWidgetItem(m_skills, {skill.domain, skill.label.isEmpty() ? QStringLiteral("n° %1").arg(skill.number)
                                                                                     : skill.label});
    item->setData(0, Qt::UserRole, skill.number);
}

void DefTaches::addSkill()
{
    QList<qint64> listed;
    for (int i = 0; i < m_skills->topLevelItemCount(); ++i)
        listed.append(m_skills->topLevelItem(i)->data(0, Qt::UserRole).toLongLong());
    const ListAnswer answer = Liste::choose(m_session, m_prompter, TaskTypeStore::skillRequest(listed), this);
    if (answer.chosen)
        addSkillLine({answer.text(2).toLongLong(), answer.text(0), answer.text(1)});
}

void DefTaches::removeSkill()
{
    QTreeWidgetItem *item = m_skills->currentItem();
    if (item
        && m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Confirmez vous la suppression de cette compétence ?"),
                          false))
        delete item;
}

void DefTaches::refuse(const QString &action)
{
    m_prompter.show(QStringLiteral("Désolé"),
                    QStringLiteral("Vous n'avez pas le droit de ") + action + m_session.terms().plural(Entity::Tache),
                    Prompter::Icon::Warning);
}

void DefTaches::save()
{
    const bool creating = m_number == 0;
    if (!(creating ? m_rights.create : m_rights.modify)) {
        refuse(creating ? QStringLiteral("créer des ") : QStringLiteral("modifier des "));
        return;
    }
    TaskType type;
    type.number = m_number;
    type.label = m_label->text();
    type.background = m_background->value();
    type.text = m_text->value();
    type.timing = qMax(0, m_timingGroup->checkedId());
    type.duration = m_hours[0]->time();
    type.from = m_hours[1]->time();
    type.to = m_hours[2]->time();
    for (int i = 0; i < m_skills->topLevelItemCount(); ++i)
        type.skills.append({m_skills->topLevelItem(i)->data(0, Qt::UserRole).toLongLong(), {}, {}});
    const Outcome saved = m_store.save(&type);
    m_prompter.show(saved);
    if (saved)
        reload(type.number);
}

void DefTaches::remove()
{
    if (m_number == 0)
        return;
    if (!m_rights.remove) {
        refuse(QStringLiteral("supprimer les "));
        return;
    }
    const Terms &terms = m_session.terms();
    if (!m_prompter.ask(QStringLiteral("Confirmation"),
                        QStringLiteral("Supprimer ce") + terms.demonstrativeEnding(Entity::Tache) + terms.singular(Entity::Tache)
                            + QStringLiteral(" ?"),
                        false))
        return;
    const Outcome removed = m_store.remove(m_number);
    m_prompter.show(removed);
    if (removed)
        reload();
}
