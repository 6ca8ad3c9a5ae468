#include "tasks/SaisEtape.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/OkCancel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

SaisEtape::SaisEtape(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_rights(Access::lookup(session, QStringLiteral("ETAPES"))),
      m_label(new QLineEdit(this)), m_taskType(new QComboBox(this)), m_criterion(new QComboBox(this)),
      m_criteria(new QTreeWidget(this)), m_add(new QPushButton(QStringLiteral("&Ajouter"), this)),
      m_remove(new QPushButton(QStringLiteral("&Retirer"), this))
{
    const Terms &terms = session.terms();
    setWindowTitle(QStringLiteral("Définition d'une étape"));
    resize(620, 420);
    limitToColumn(m_label, QStringLiteral("kp_etapes"), QStringLiteral("libetape"));

    m_criterion->addItem(QStringLiteral("<Sélectionnez un critère>"), -1);
    for (int kind : {int(StageCriterion::TakenPlace), int(StageCriterion::NotTakenPlace)})
        m_criterion->addItem(StageStore::criterionChoice(terms, kind), kind);
    m_criterion->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_taskType->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_taskType->setMinimumContentsLength(20);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Libellé :"), m_label);
    auto *choice = new QHBoxLayout;
    choice->addWidget(m_taskType, 1);
    choice->addWidget(m_criterion, 1);
    choice->addWidget(m_add);
    form->addRow(terms.singular(Entity::Tache) + QStringLiteral(" :"), choice);

    m_criteria->setHeaderLabels({terms.singular(Entity::Tache), QStringLiteral("Critère")});
    m_criteria->setRootIsDecorated(false);
    m_criteria->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_criteria->header()->setStretchLastSection(false);
    m_criteria->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto *under = new QHBoxLayout;
    under->addWidget(m_remove);
    under->addStretch();
    under->addWidget(okCancelButtons(this));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_criteria, 1);
    layout->addLayout(under);

    for (QPushButton *b : {m_add, m_remove})
        b->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &SaisEtape::addCriterion);
    connect(m_remove, &QPushButton::clicked, this, &SaisEtape::removeCriterion);
    FieldNavigation::install(this);
}

bool SaisEtape::open(qint64 number)
{
    const Outcome read = TaskTypeStore(m_session).list(&m_types);
    if (!read) {
        m_prompter.show(read);
        return false;
    }
    if (m_types.isEmpty()) {
        m_prompter.show(QStringLiteral("Incomplet"),
                        QStringLiteral("Vous devez d'abord définir des ") + m_session.terms().plural(Entity::Tache),
                        Prompter::Icon::Warning);
        return false;
    }
    m_taskType->clear();
    for (const TaskType &t : std::as_const(m_types)) {
        m_taskType->addItem(t.label, t.number);
        m_taskType->setItemData(m_taskType->count() - 1, colourFromValue(t.background), Qt::BackgroundRole);
        m_taskType->setItemData(m_taskType->count() - 1, colourFromValue(t.text), Qt::ForegroundRole);
    }
    m_stage = {};
    if (number != 0) {
        const Outcome loaded = StageStore(m_session).load(number, &m_stage);
        if (!loaded) {
            m_prompter.show(loaded);
            return false;
        }
    }
    m_label->setText(m_stage.label);
    m_criterion->setCurrentIndex(0);
    showCriteria();
    m_label->setFocus();
    return true;
}

void SaisEtape::showCriteria()
{
    m_criteria->clear();
    for (const StageCriterion &c : std::as_const(m_stage.criteria)) {
        // A criterion on a type deleted since still shows, so that it can be removed.
        auto *item = new QTreeWidgetItem(m_criteria, {c.taskLabel.isEmpty() ? QStringLiteral("n° %1").arg(c.taskType) : c.taskLabel,
                                                      StageStore::criterionText(m_session.terms(), c.kind)});
        item->setBackground(0, colourFromValue(c.background));
        item->setForeground(0, colourFromValue(c.text));
    }
}

void SaisEtape::addCriterion()
{
    const int index = m_taskType->currentIndex();
    if (index < 0)
        return;
    const TaskType &type = m_types.at(index);
    const StageCriterion criterion{type.number, m_criterion->currentData().toInt(), type.label, type.background, type.text};
    const Outcome added = StageStore::addCriterion(&m_stage, criterion);
    m_prompter.show(added);
    if (added) {
        showCriteria();
        m_criterion->setCurrentIndex(0);
    }
}

void SaisEtape::removeCriterion()
{
    const int row = m_criteria->indexOfTopLevelItem(m_criteria->currentItem());
    if (row < 0)
        return;
    m_stage.criteria.removeAt(row);
    showCriteria();
}

void SaisEtape::accept()
{
    const bool creating = m_stage.number == 0;
    if (!(creating ? m_rights.create : m_rights.modify)) {
        m_prompter.show(QStringLiteral("Désolé"),
                        creating ? QStringLiteral("Vous n'avez pas le droit de créer des étapes")
                                 : QStringLiteral("Vous n'avez pas le droit de modifier des étapes"),
                        Prompter::Icon::Warning);
        return;
    }
    m_stage.label = m_label->text();
    const Outcome saved = StageStore(m_session).save(&m_stage);
    m_prompter.show(saved);
    if (saved)
        QDialog::accept();
}
