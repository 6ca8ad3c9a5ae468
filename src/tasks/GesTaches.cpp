#include "tasks/GesTaches.h"

#include "clients/GesParticuliers.h"
#include "clients/GesSocietes.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/HourMinuteEdit.h"
#include "messaging/Frm_SendMail.h"
#include "reports/Liste.h"
#include "resources/Equipes.h"
#include "resources/ReferenceLists.h"
#include "tasks/CostItemStore.h"
#include "tasks/DefTaches.h"
#include "tasks/Frm_Periode.h"
#include "tasks/SaisCoutTache.h"
#include "tasks/TaskLinks.h"
#include "tasks/TaskTypeStore.h"
#include "tasks/RecipientItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Error = QStringLiteral("Erreur");


// A list with its buttons stacked on its right.
QWidget *listWithButtons(QWidget *parent, QWidget *list, const QList<QPushButton *> &buttons)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(list, 1);
    auto *side = new QVBoxLayout;
    for (QPushButton *b : buttons)
        side->addWidget(b);
    side->addStretch();
    row->addLayout(side);
    return box;
}

QString rangeText(const QDate &date, const QString &time)
{
    return date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') + time;
}

QList<qint64> numbersOf(const QList<LinkedItem> &items)
{
    QList<qint64> numbers;
    for (const LinkedItem &i : items)
        numbers.append(i.number);
    return numbers;
}

} // namespace

GesTaches::GesTaches(Session &session, Prompter &prompter, qint64 task, QWidget *parent)
    : RecordScreen(session, prompter, LockKind::Task, parent), m_numberLabel(new QLabel(this)),
      m_type(new QComboBox(this)), m_urgency(new QComboBox(this)), m_project(new QComboBox(this)),
      m_tabs(new QTabWidget(this)), m_split(new QCheckBox(QStringLiteral("&Fractionnement"), this)),
      m_range(new RangeEntry(session, prompter, this)), m_rangeBox(new QGroupBox(QStringLiteral("Tranches"), this)),
      m_ranges(new QTreeWidget(this)), m_resources(new QListWidget(this)), m_clients(new QListWidget(this)),
      m_noClient(new QLabel(this)), m_comment(new QPlainTextEdit(this)),
      m_done(new QCheckBox(QStringLiteral("Effectué"), this)), m_doneDate(new DateField(this)),
      m_doneComment(new QPlainTextEdit(this)), m_adminLock(new QCheckBox(QStringLiteral("Blocage administratif"), this)),
      m_periodic(new QCheckBox(this)), m_ruleText(new QLabel(this)),
      m_defineRule(new QPushButton(QStringLiteral("&Définir la périodicité..."), this)), m_alertOffset(new QComboBox(this)),
      m_alertComment(new QLineEdit(this)), m_recipients(new QListWidget(this)),
      m_save(new QPushButton(QStringLiteral("&Valider"), this)), m_delete(new QPushButton(QStringLiteral("&Supprimer"), this))
{
    const Terms &terms = session.terms();
    m_task.number = task;
    resize(760, 560);
    m_doneDate->setPrompter(&prompter);
    m_comment->setTabChangesFocus(true);
    m_doneComment->setTabChangesFocus(true);

    m_chooser = [this](const ListRequest &request) { return Liste::choose(m_session, m_prompter, request, this); };
    m_teamChooser = [this] {
        ListEquipes teams(m_session, m_prompter, true, this);
        teams.exec();
        return teams.chosenTeam();
    };
    m_ruleEditor = [this](const PeriodRule &current, bool isNew) -> std::optional<PeriodRule> {
        Frm_Periode editor(m_session, m_prompter, this);
        if (isNew) {
            // a new rule keeps the company's defaults, from the task's first day
            if (current.datedeb.isValid())
                editor.firstDay()->setDate(current.datedeb);
        } else {
            editor.setRule(current);
        }
        if (editor.exec() != QDialog::Accepted)
            return std::nullopt;
        return editor.acceptedRule();
    };
    m_lineEditor = [this](const TaskCostLine &line) -> std::optional<TaskCostLine> {
        SaisCoutTache editor(m_session, m_prompter, line.kind, this);
        editor.setLine(line);
        if (editor.exec() != QDialog::Accepted)
            return std::nullopt;
        return editor.line();
    };
    m_mailSender = [this](const QString &recipients, const QString &subject, const QString &body) {
        Frm_SendMail mail(m_session, m_prompter, recipients, this);
        mail.TxtSujet()->setText(subject);
        mail.txtMailBody()->setPlainText(body);
        mail.exec();
    };
    m_clientOpener = [this](qint64 number, int typesoc) {
        if (typesoc == 1)
            GesParticuliers::edit(m_session, m_prompter, number, this);
        else
            GesSocietes::edit(m_session, m_prompter, number, this);
    };
    m_typeEditor = [this] {
        DefTaches types(m_session, m_prompter, this);
        types.exec();
    };

    QPushButton *typeButton = plainButton(QStringLiteral("..."), this);
    typeButton->setToolTip(QStringLiteral("Définition des types ") + (terms.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de "))
                           + terms.singular(Entity::Tache));
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(m_type, 1);
    typeRow->addWidget(typeButton);
    typeButton->setFixedWidth(typeButton->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    auto *typeLabel = new QLabel(QStringLiteral("&Type :"), this);
    typeLabel->setBuddy(m_type);
    auto *head = new QFormLayout;
    head->addRow(QStringLiteral("N° :"), m_numberLabel);
    head->addRow(typeLabel, typeRow);
    auto *head2 = new QFormLayout;
    head2->addRow(QStringLiteral("&Urgence :"), m_urgency);
    head2->addRow(QStringLiteral("&Projet :"), m_project);
    auto *heads = new QHBoxLayout;
    heads->addLayout(head, 3);
    heads->addSpacing(12);
    heads->addLayout(head2, 2);

    m_tabs->addTab(datesTab(), QStringLiteral("Dates"));
    m_tabs->addTab(linksTab(), QStringLiteral("Affectation"));
    m_tabs->addTab(commentTab(), QStringLiteral("Commentaire"));
    m_tabs->addTab(periodicityTab(), QStringLiteral("Périodicité"));
    m_tabs->addTab(alertTab(), QStringLiteral("Alerte"));
    m_tabs->addTab(costsTab(), QStringLiteral("Recettes / Charges"));

    QPushButton *mail = plainButton(QStringLiteral("&Mail..."), this);
    auto *cancel = plainButton(QStringLiteral("Annuler"), this);
    m_delete->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mail);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heads);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(typeButton, &QPushButton::clicked, this, &GesTaches::editTypes);
    connect(m_save, &QPushButton::clicked, this, &GesTaches::save);
    connect(m_delete, &QPushButton::clicked, this, &GesTaches::remove);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(mail, &QPushButton::clicked, this, &GesTaches::sendMail);

    loadLists();
    if (task > 0) {
        if (!takeLock(task)) {
            m_open = false;
            return;
        }
        Task loaded;
        const Outcome read = TaskStore::load(session, task, &loaded);
        if (!read) {
            m_prompter.show(read);
            releaseLock();
            m_open = false;
            return;
        }
        m_readOnly = TaskStore::adminLockApplies(session, loaded);
        if (loaded.periodic) {
            PeriodRule rule;
            bool found = false;
            const Outcome ruleRead = Periodicity::readRule(*session.database(), task, &rule, &found);
            if (!ruleRead)
                m_prompter.show(ruleRead);
            else if (found)
                m_rule = rule;
        }
        fill(loaded);
        fillAlert();
    } else {
        loadTypes(session.settings().read(QStringLiteral("Planning"), QStringLiteral("TacheDef"), QStringLiteral("0")).toLongLong());
    }
    m_delete->setEnabled(task > 0 && !m_readOnly);
    for (QPushButton *b : m_tabs->widget(m_tabs->count() - 1)->findChildren<QPushButton *>())
        b->setEnabled(!m_readOnly);
    m_save->setEnabled(!m_readOnly);
    m_save->setDefault(!m_readOnly);
    setCaption();
    FieldNavigation::install(this);
}

qint64 GesTaches::edit(Session &session, Prompter &prompter, qint64 task, QWidget *parent)
{
    GesTaches form(session, prompter, task, parent);
    return form.run();
}

void GesTaches::setCaption()
{
    QString mode = QStringLiteral(" - CREATION");
    if (m_task.number > 0)
        mode = m_readOnly ? QStringLiteral(" - MODIFICATION IMPOSSIBLE") : QStringLiteral(" - MODIFICATION");
    setWindowTitle(m_session.terms().singular(Entity::Tache) + mode);
    m_numberLabel->setText(m_task.number > 0 ? QString::number(m_task.number) : QString());
}

QWidget *GesTaches::datesTab()
{
    auto *tab = new QWidget(this);
    auto *form = new QFormLayout;
    form->addRow(QString(), m_split);
    m_range->addRows(form);

    m_ranges->setColumnCount(4);
    m_ranges->setHeaderLabels({QStringLiteral("Début"), QStringLiteral("Fin"), QStringLiteral("Jours"), QStringLiteral("Heures")});
    m_ranges->setRootIsDecorated(false);
    m_ranges->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QPushButton *add = plainButton(QStringLiteral("&Ajouter"), tab);
    QPushButton *modify = plainButton(QStringLiteral("&Modifier"), tab);
    QPushButton *removeOne = plainButton(QStringLiteral("&Retirer"), tab);
    auto *boxLayout = new QVBoxLayout(m_rangeBox);
    boxLayout->addWidget(listWithButtons(tab, m_ranges, {add, modify, removeOne}));

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(form);
    layout->addWidget(m_rangeBox, 1);
    layout->addStretch();

    connect(m_split, &QCheckBox::toggled, this, &GesTaches::showSplit);
    connect(add, &QPushButton::clicked, this, &GesTaches::addRange);
    connect(modify, &QPushButton::clicked, this, &GesTaches::modifyRange);
    connect(removeOne, &QPushButton::clicked, this, &GesTaches::removeRange);
    connect(m_ranges, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        const int row = item ? m_ranges->indexOfTopLevelItem(item) : -1;
        if (row >= 0 && row < m_task.ranges.size())
            setRangeFields(m_task.ranges[row]);
    });
    m_rangeBox->setVisible(false);
    return tab;
}

QWidget *GesTaches::linksTab()
{
    const Terms &terms = m_session.terms();
    auto *tab = new QWidget(this);
    QPushButton *addResource = plainButton(QStringLiteral("A&jouter..."), tab);
    QPushButton *team = plainButton(QStringLiteral("&Equipe..."), tab);
    QPushButton *removeResource = plainButton(QStringLiteral("Re&tirer"), tab);
    QPushButton *addClient = plainButton(QStringLiteral("Ajo&uter..."), tab);
    QPushButton *openClient = plainButton(QStringLiteral("&Fiche..."), tab);
    QPushButton *removeClient = plainButton(QStringLiteral("Reti&rer"), tab);
    team->setToolTip(QStringLiteral("Ajouter les ") + terms.plural(Entity::Ressource) + QStringLiteral(" d'une équipe"));
    m_noClient->setText(QStringLiteral("Sans lien avec un") + (terms.feminine(Entity::Client) ? QStringLiteral("e ") : QStringLiteral(" "))
                        + terms.singular(Entity::Client));
    m_noClient->setEnabled(false);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(new QLabel(terms.plural(Entity::Ressource) + QStringLiteral(" :"), tab));
    layout->addWidget(listWithButtons(tab, m_resources, {addResource, team, removeResource}), 1);
    auto *clientTitle = new QHBoxLayout;
    clientTitle->addWidget(new QLabel(terms.plural(Entity::Client) + QStringLiteral(" :"), tab));
    clientTitle->addStretch();
    clientTitle->addWidget(m_noClient);
    layout->addLayout(clientTitle);
    layout->addWidget(listWithButtons(tab, m_clients, {addClient, openClient, removeClient}), 1);
    connect(addResource, &QPushButton::clicked, this, &GesTaches::addResource);
    connect(team, &QPushButton::clicked, this, &GesTaches::addTeam);
    connect(removeResource, &QPushButton::clicked, this, &GesTaches::removeResource);
    connect(addClient, &QPushButton::clicked, this, &GesTaches::addClient);
    connect(openClient, &QPushButton::clicked, this, &GesTaches::openClient);
    connect(removeClient, &QPushButton::clicked, this, &GesTaches::removeClient);
    connect(m_clients, &QListWidget::itemDoubleClicked, this, &GesTaches::openClient);
    return tab;
}

QWidget *GesTaches::commentTab()
{
    auto *tab = new QWidget(this);
    auto *outcome = new QGroupBox(QStringLiteral("Réalisation"), tab);
    auto *doneRow = new QHBoxLayout;
    doneRow->addWidget(m_done);
    doneRow->addSpacing(16);
    doneRow->addWidget(new QLabel(QStringLiteral("Le :"), tab));
    doneRow->addWidget(m_doneDate);
    doneRow->addStretch();
    auto *outcomeLayout = new QVBoxLayout(outcome);
    outcomeLayout->addLayout(doneRow);
    outcomeLayout->addWidget(new QLabel(QStringLiteral("Commentaire sur la réalisation :"), tab));
    outcomeLayout->addWidget(m_doneComment);
    auto *layout = new QVBoxLayout(tab);
    auto *commentLabel = new QLabel(QStringLiteral("&Commentaire :"), tab);
    commentLabel->setBuddy(m_comment);
    layout->addWidget(commentLabel);
    layout->addWidget(m_comment, 1);
    layout->addWidget(outcome, 1);
    layout->addWidget(m_adminLock);
    return tab;
}

QWidget *GesTaches::periodicityTab()
{
    const Terms &terms = m_session.terms();
    auto *tab = new QWidget(this);
    m_periodic->setText(terms.singular(Entity::Tache) + QStringLiteral(" périodique"));
    m_ruleText->setWordWrap(true);
    m_ruleText->setFrameShape(QFrame::StyledPanel);
    m_ruleText->setMinimumHeight(60);
    m_ruleText->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_ruleText->setMargin(6);
    m_defineRule->setAutoDefault(false);
    QPushButton *cancelRule = plainButton(QStringLiteral("A&nnuler la périodicité"), tab);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_defineRule);
    buttons->addWidget(cancelRule);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(m_periodic);
    layout->addWidget(m_ruleText);
    layout->addLayout(buttons);
    layout->addStretch();
    connect(m_periodic, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            definePeriodicity();
        else
            cancelPeriodicity();
    });
    connect(m_defineRule, &QPushButton::clicked, this, &GesTaches::definePeriodicity);
    connect(cancelRule, &QPushButton::clicked, this, &GesTaches::cancelPeriodicity);
    return tab;
}

QWidget *GesTaches::alertTab()
{
    auto *tab = new QWidget(this);
    for (const TaskAlerts::Offset &o : TaskAlerts::offsets())
        m_alertOffset->addItem(o.label);
    QPushButton *add = plainButton(QStringLiteral("Ajou&ter..."), tab);
    QPushButton *removeOne = plainButton(QStringLiteral("Ret&irer"), tab);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Prévenir :"), m_alertOffset);
    form->addRow(QStringLiteral("Co&mmentaire :"), m_alertComment);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Destinataires :"), tab));
    layout->addWidget(listWithButtons(tab, m_recipients, {add, removeOne}), 1);
    connect(add, &QPushButton::clicked, this, &GesTaches::addRecipient);
    connect(removeOne, &QPushButton::clicked, this, &GesTaches::removeRecipient);
    return tab;
}

QWidget *GesTaches::costPanel(int kind)
{
    auto *box = new QGroupBox(kind == TaskCostLine::Expense ? QStringLiteral("Charges") : QStringLiteral("Recettes"), this);
    QTreeWidget *list = m_costs[kind] = new QTreeWidget(box);
    QStringList headers{QStringLiteral("Date"), kind == TaskCostLine::Expense ? QStringLiteral("Charge") : QStringLiteral("Produit"),
                        QStringLiteral("Libellé")};
    if (kind == TaskCostLine::Expense)
        headers.append(m_session.terms().singular(Entity::Ressource));
    headers += {QStringLiteral("Qté"), QStringLiteral("P.U."), QStringLiteral("Total")};
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(2, QHeaderView::Stretch); // the free label
    m_costTotals[kind] = new QLabel(box);
    m_costTotals[kind]->setAlignment(Qt::AlignRight);
    QPushButton *add = plainButton(QStringLiteral("Ajouter"), box);
    QPushButton *modify = plainButton(QStringLiteral("Modifier"), box);
    QPushButton *removeOne = plainButton(QStringLiteral("Supprimer"), box);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(listWithButtons(box, list, {add, modify, removeOne}), 1);
    layout->addWidget(m_costTotals[kind]);
    connect(add, &QPushButton::clicked, this, [this, kind] { addCostLine(kind); });
    connect(modify, &QPushButton::clicked, this, [this, kind] { modifyCostLine(kind); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this, kind] { modifyCostLine(kind); });
    connect(removeOne, &QPushButton::clicked, this, [this, kind] { removeCostLine(kind); });
    return box;
}

QWidget *GesTaches::costsTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(costPanel(TaskCostLine::Income), 1);
    layout->addWidget(costPanel(TaskCostLine::Expense), 1);
    return tab;
}

void GesTaches::loadLists()
{
    Database &db = *m_session.database();
    QList<ReferenceLists::Urgency> urgencies;
    const Outcome urgent = ReferenceLists::urgencies(db, &urgencies);
    if (!urgent)
        m_prompter.show(Error, QStringLiteral("Erreur lors de la lecture des urgences"), Prompter::Icon::Critical);
    m_urgency->addItem(QStringLiteral("<Defaut>"), QString());
    for (const auto &u : urgencies)
        m_urgency->addItem(u.label, u.code);

    ResultSet projects;
    m_project->addItem(QString(), QString());
    if (!db.query(QStringLiteral("select code,libelle from kp_projets order by libelle"), projects))
        m_prompter.show(Error, QStringLiteral("Erreur lors de la lecture des projets"), Prompter::Icon::Critical);
    for (int r = 0; r < projects.rowCount(); ++r)
        m_project->addItem(projects.value(r, 1), projects.value(r, 0));

    const Outcome choices = TaskAlerts::readChoices(db, &m_choices);
    if (!choices)
        m_prompter.show(choices);

    CostItemStore items(db);
    for (int kind : {CostItem::Income, CostItem::Expense}) {
        QList<CostItem> list;
        const Outcome read = items.list(kind, &list);
        if (!read) {
            m_prompter.show(Error, QStringLiteral("Erreur lors de la lecture des couts"), Prompter::Icon::Critical);
            break;
        }
        for (const CostItem &i : std::as_const(list))
            m_costItems.insert(i.number, i.label);
    }
    ResultSet resources;
    if (db.query(QStringLiteral("select noid,libelle from kp_ressources"), resources))
        for (int r = 0; r < resources.rowCount(); ++r)
            m_resourceNames.insert(resources.toLongLong(r, 0), resources.value(r, 1));
}

void GesTaches::loadTypes(qint64 select)
{
    const Terms &terms = m_session.terms();
    QList<TaskType> types;
    const Outcome read = TaskTypeStore(m_session).list(&types);
    if (!read)
        m_prompter.show(Error, QStringLiteral("Erreur lors de la lecture des taches"), Prompter::Icon::Critical);
    QString none = QStringLiteral("Pas ") + (terms.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de "))
                   + terms.singular(Entity::Tache) + QStringLiteral(" défini");
    if (terms.feminine(Entity::Tache))
        none += QLatin1Char('e');
    m_type->clear();
    m_type->addItem(none, 0);
    for (const TaskType &t : std::as_const(types)) {
        m_type->addItem(t.label, t.number);
        const int row = m_type->count() - 1;
        m_type->setItemData(row, colourFromValue(t.background), Qt::BackgroundRole);
        m_type->setItemData(row, colourFromValue(t.text), Qt::ForegroundRole);
    }
    m_type->setCurrentIndex(std::max(0, m_type->findData(select)));
}

void GesTaches::editTypes()
{
    const qint64 current = m_type->currentData().toLongLong();
    m_typeEditor();
    loadTypes(current);
}

void GesTaches::fill(const Task &task)
{
    m_task = task;
    loadTypes(task.type);
    m_urgency->setCurrentIndex(std::max(0, m_urgency->findData(task.urgency)));
    m_project->setCurrentIndex(std::max(0, m_project->findData(task.project)));
    m_comment->setPlainText(task.comment);
    m_done->setChecked(task.done);
    m_doneDate->setDate(task.doneDate);
    m_doneComment->setPlainText(task.doneComment);
    m_adminLock->setChecked(task.adminLock);
    // written on creation only: a modification leaves the lock as it is
    m_adminLock->setEnabled(task.number == 0);
    m_split->setChecked(task.split);
    if (!task.ranges.isEmpty())
        setRangeFields(task.ranges.first());
    showSplit();
    showRanges();
    showRule();
    showLinks();
    showCosts();
}

void GesTaches::fillAlert()
{
    TaskAlerts::Alert alert;
    if (m_task.alert == 0)
        return;
    const Outcome read = TaskAlerts::load(*m_session.database(), m_task.number, &alert);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_alertOffset->setCurrentIndex(TaskAlerts::offsetIndex(alert.minutes));
    m_alertComment->setText(alert.comment);
    m_listedRecipients.clear();
    for (const TaskAlerts::Row &row : std::as_const(alert.rows)) {
        const auto known = std::find_if(m_choices.cbegin(), m_choices.cend(),
                                        [&](const TaskAlerts::Choice &c) { return !c.group && c.key == row.recipient; });
        m_listedRecipients.append({false, row.recipient, known == m_choices.cend() ? row.recipient : known->label});
    }
    showRecipients();
}

void GesTaches::setPresets(Row row, qint64 number, const QDate &startDate, const QString &startTime, const QDate &endDate,
                           const QString &endTime)
{
    Task t = gathered();
    TaskRange range{startDate, startTime, endDate, endTime, {}, {}};
    t.ranges = {range};
    t.split = false;
    if (row == Row::Resource && number > 0)
        t.resources = {number};
    else if (row == Row::Client && number > 0)
        t.clients = {number};
    else if (row == Row::TaskType)
        t.type = number;
    fill(t);
}

QString GesTaches::number(double value) const
{
    const QChar separator = m_session.shownDecimalSeparator();
    return displayNumber(QString::number(value, 'f', 4), 2, separator);
}

QString GesTaches::shownNumber(const QString &stored) const
{
    return number(sqlNumber(stored.isEmpty() ? QStringLiteral("0") : stored, 2).toDouble());
}

void GesTaches::setRangeFields(const TaskRange &range)
{
    m_range->setRange(range.startDate, range.startTime, range.endDate, range.endTime);
    if (range.days.isEmpty() && range.hours.isEmpty())
        m_range->recompute();
    else
        m_range->setDurations(range.days, range.hours);
}

TaskRange GesTaches::rangeFields() const
{
    TaskRange r;
    r.startDate = m_range->startDate()->date();
    r.startTime = m_range->startTime()->time();
    r.endDate = m_range->endDate()->date();
    r.endTime = m_range->endTime()->time();
    r.days = m_range->days();
    r.hours = m_range->hours();
    return r;
}

void GesTaches::showSplit()
{
    const bool split = m_split->isChecked();
    m_rangeBox->setVisible(split);
    if (split && m_task.ranges.size() == 1 && !m_task.split) {
        // the single range becomes the first of the list
        m_task.ranges = {rangeFields()};
    }
    m_task.split = split;
    showRanges();
}

void GesTaches::showRanges()
{
    m_ranges->clear();
    if (!m_task.split)
        return;
    for (const TaskRange &r : std::as_const(m_task.ranges))
        new QTreeWidgetItem(m_ranges, {rangeText(r.startDate, r.startTime), rangeText(r.endDate, r.endTime),
                                       shownNumber(r.days), shownNumber(r.hours)});
}

bool GesTaches::checkRange(const TaskRange &r, int ignoredRow)
{
    if (!r.startDate.isValid() || !r.endDate.isValid() || r.startTime.isEmpty() || r.endTime.isEmpty()) {
        m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Vous n'avez pas renseigné toutes les dates"),
                        Prompter::Icon::Warning);
        return false;
    }
    if (r.startDate > r.endDate) {
        m_prompter.show(QStringLiteral("Incohérence"), QStringLiteral("La date de début est supérieure à la date de fin !"),
                        Prompter::Icon::Warning);
        return false;
    }
    if (r.startDate == r.endDate && r.startTime > r.endTime) {
        m_prompter.show(QStringLiteral("Incohérence"), QStringLiteral("L'heure de départ est supérieure à l'heure de fin !"),
                        Prompter::Icon::Warning);
        return false;
    }
    for (int i = 0; i < m_task.ranges.size(); ++i) {
        const TaskRange &o = m_task.ranges[i];
        if (i != ignoredRow && o.startDate == r.startDate && o.startTime == r.startTime && o.endDate == r.endDate
            && o.endTime == r.endTime) {
            m_prompter.show(QStringLiteral("Doublon"), QStringLiteral("La tranche que vous tentez de créer existe déjà !"),
                            Prompter::Icon::Warning);
            return false;
        }
    }
    return true;
}

void GesTaches::addRange()
{
    const TaskRange r = rangeFields();
    if (!checkRange(r, -1))
        return;
    m_task.ranges.append(r);
    showRanges();
    m_ranges->setCurrentItem(m_ranges->topLevelItem(m_ranges->topLevelItemCount() - 1));
}

void GesTaches::modifyRange()
{
    const int row = m_ranges->indexOfTopLevelItem(m_ranges->currentItem());
    if (row < 0)
        return;
    const TaskRange r = rangeFields();
    if (!checkRange(r, row))
        return;
    m_task.ranges[row] = r;
    showRanges();
    m_ranges->setCurrentItem(m_ranges->topLevelItem(row));
}

void GesTaches::removeRange()
{
    const int row = m_ranges->indexOfTopLevelItem(m_ranges->currentItem());
    if (row < 0)
        return;
    if (!m_prompter.ask(QStringLiteral("Suppression"), QStringLiteral("Etes vous sûr de vouloir supprimer cette tranche ?"), false))
        return;
    m_task.ranges.removeAt(row);
    showRanges();
}

void GesTaches::showLinks()
{
    const Outcome resources = TaskLinks::resources(m_session, m_task.resources, &m_resourceItems);
    if (!resources)
        m_prompter.show(resources);
    const Outcome clients = TaskLinks::clients(m_session, m_task.clients, &m_clientItems);
    if (!clients)
        m_prompter.show(clients);
    auto show = [](QListWidget *list, const QList<LinkedItem> &items) {
        const int current = list->currentRow();
        list->clear();
        for (const LinkedItem &i : items)
            list->addItem(i.label);
        list->setCurrentRow(std::min(current, int(items.size()) - 1));
    };
    show(m_resources, m_resourceItems);
    show(m_clients, m_clientItems);
    m_noClient->setVisible(m_clientItems.isEmpty());
}

void GesTaches::addResource()
{
    const ListAnswer answer = m_chooser(TaskLinks::resourceRequest(m_session.terms(), numbersOf(m_resourceItems)));
    const qint64 chosen = answer.text(1).toLongLong();
    m_task.resources = numbersOf(m_resourceItems);
    if (!answer.chosen || chosen <= 0 || m_task.resources.contains(chosen))
        return;
    m_task.resources.append(chosen);
    showLinks();
}

void GesTaches::addTeam()
{
    const qint64 team = m_teamChooser();
    if (team <= 0)
        return;
    QList<LinkedItem> members;
    const Outcome read = TaskLinks::teamMembers(m_session, team, &members);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_task.resources = numbersOf(m_resourceItems);
    for (const LinkedItem &m : std::as_const(members))
        if (!m_task.resources.contains(m.number))
            m_task.resources.append(m.number);
    showLinks();
}

void GesTaches::removeResource()
{
    const int row = m_resources->currentRow();
    if (row < 0 || row >= m_resourceItems.size())
        return;
    m_resourceItems.removeAt(row);
    m_task.resources = numbersOf(m_resourceItems);
    showLinks();
}

void GesTaches::addClient()
{
    const ListAnswer answer = m_chooser(TaskLinks::clientRequest(m_session.terms(), numbersOf(m_clientItems)));
    const qint64 chosen = answer.text(1).toLongLong();
    m_task.clients = numbersOf(m_clientItems);
    if (!answer.chosen || chosen <= 0 || m_task.clients.contains(chosen))
        return;
    m_task.clients.append(chosen);
    showLinks();
}

void GesTaches::openClient()
{
    const int row = m_clients->currentRow();
    if (row < 0 || row >= m_clientItems.size())
        return;
    const qint64 client = m_clientItems[row].number;
    ResultSet rows;
    Database &db = *m_session.database();
    if (!db.query(QStringLiteral("select typesoc from kp_societes where noidsoc = ") + QString::number(client), rows)) {
        m_prompter.show(Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des clients"), db.lastError()));
        return;
    }
    if (rows.isEmpty()) {
        const Terms &terms = m_session.terms();
        m_prompter.show(QStringLiteral("Disparition"), QStringLiteral("Ce") + terms.demonstrativeEnding(Entity::Client)
                                                           + terms.singular(Entity::Client) + QStringLiteral(" n'existe plus !!"),
                        Prompter::Icon::Warning);
        return;
    }
    m_clientOpener(client, rows.toInt(0, 0));
    m_task.clients = numbersOf(m_clientItems);
    showLinks(); // the record may have been renamed
}

void GesTaches::removeClient()
{
    const int row = m_clients->currentRow();
    if (row < 0 || row >= m_clientItems.size())
        return;
    m_clientItems.removeAt(row);
    m_task.clients = numbersOf(m_clientItems);
    showLinks();
}

void GesTaches::showRule()
{
    const bool derived = m_task.series != 0 && m_task.series != m_task.number;
    m_periodic->setChecked(m_task.periodic);
    // a row taken out of a series belongs to its model's rule
    m_periodic->setEnabled(!derived && !m_readOnly);
    m_defineRule->setEnabled(!derived && !m_readOnly);
    m_ruleText->setText(m_task.periodic && m_rule ? Periodicity::DescribeRule(*m_rule) : QString());
    // the rule gives a periodic task its dates
    const bool periodic = m_task.periodic && m_rule;
    m_range->setEditable(!periodic);
    m_split->setEnabled(!periodic);
    if (periodic) {
        Task t;
        t.rule = m_rule;
        TaskStore::applyRuleDates(&t);
        if (m_split->isChecked())
            m_split->setChecked(false);
        setRangeFields(t.ranges.first());
    }
}

void GesTaches::definePeriodicity()
{
    PeriodRule current;
    const bool isNew = !m_rule.has_value();
    if (m_rule)
        current = *m_rule;
    else
        current.datedeb = m_range->startDate()->date();
    const std::optional<PeriodRule> edited = m_ruleEditor(current, isNew);
    if (edited) {
        m_rule = edited;
        m_task.periodic = true;
    }
    showRule();
}

void GesTaches::cancelPeriodicity()
{
    if (!m_task.periodic) {
        showRule();
        return;
    }
    const Terms &terms = m_session.terms();
    const bool yes = m_prompter.ask(QStringLiteral("Abandon"), QStringLiteral("Annuler la périodicité ") + terms.partitive(Entity::Tache)
                                                                   + terms.singular(Entity::Tache) + QStringLiteral(" ?"),
                                    false);
    if (yes) {
        m_task.periodic = false;
        m_rule.reset();
    }
    showRule();
}

void GesTaches::showRecipients()
{
    showRecipientItems(m_recipients, m_listedRecipients);
}

void GesTaches::addRecipient()
{
    const ListAnswer answer = m_chooser(TaskAlerts::recipientRequest(m_listedRecipients));
    if (!answer.chosen)
        return;
    m_listedRecipients.append(TaskAlerts::choiceFrom(answer));
    showRecipients();
}

void GesTaches::removeRecipient()
{
    const int row = m_recipients->currentRow();
    if (row < 0 || row >= m_listedRecipients.size())
        return;
    m_listedRecipients.removeAt(row);
    showRecipients();
}

QString GesTaches::costItemLabel(qint64 item) const
{
    return m_costItems.value(item, QString());
}

void GesTaches::showCosts()
{
    for (int kind : {TaskCostLine::Income, TaskCostLine::Expense}) {
        QTreeWidget *list = m_costs[kind];
        list->clear();
        double sum = 0;
        for (int i = 0; i < m_task.costs.size(); ++i) {
            const TaskCostLine &c = m_task.costs[i];
            if (c.kind != kind)
                continue;
            QStringList texts{c.date.toString(QStringLiteral("dd/MM/yyyy")), costItemLabel(c.item), c.label};
            if (kind == TaskCostLine::Expense)
                texts.append(c.resource ? m_resourceNames.value(c.resource) : QString());
            texts += {QString::number(c.quantity), shownNumber(c.unitAmount), shownNumber(c.total)};
            auto *item = new QTreeWidgetItem(list, texts);
            item->setData(0, Qt::UserRole, i);
            for (int col = texts.size() - 3; col < texts.size(); ++col)
                item->setTextAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
            sum += sqlNumber(c.total.isEmpty() ? QStringLiteral("0") : c.total, 2).toDouble();
        }
        m_costTotals[kind]->setText(QStringLiteral("Total : ") + number(sum));
    }
}

void GesTaches::addCostLine(int kind)
{
    TaskCostLine line;
    line.kind = kind;
    line.date = m_range->startDate()->date().isValid() ? m_range->startDate()->date() : QDate::currentDate();
    std::optional<TaskCostLine> edited = m_lineEditor(line);
    if (!edited)
        return;
    edited->kind = kind;
    edited->rank = 0;
    if (m_task.number > 0) {
        const Outcome saved = TaskStore::saveCostLine(m_session, m_task.number, &*edited);
        m_prompter.show(saved);
        if (!saved)
            return;
    }
    m_task.costs.append(*edited);
    showCosts();
}

void GesTaches::modifyCostLine(int kind)
{
    QTreeWidgetItem *item = m_costs[kind]->currentItem();
    if (!item || m_readOnly)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    TaskCostLine line = m_task.costs.value(index);
    if (m_task.number > 0 && line.rank > 0) {
        // read again: another workstation may have changed or removed it
        const Outcome read = TaskStore::loadCostLine(m_session, m_task.number, line.rank, kind, &line);
        if (!read) {
            m_prompter.show(read);
            m_task.costs.removeAt(index);
            showCosts();
            return;
        }
    }
    std::optional<TaskCostLine> edited = m_lineEditor(line);
    if (!edited)
        return;
    edited->kind = kind;
    edited->rank = line.rank;
    if (m_task.number > 0) {
        const Outcome saved = TaskStore::saveCostLine(m_session, m_task.number, &*edited);
        m_prompter.show(saved);
        if (!saved)
            return;
    }
    m_task.costs[index] = *edited;
    showCosts();
}

void GesTaches::removeCostLine(int kind)
{
    QTreeWidgetItem *item = m_costs[kind]->currentItem();
    if (!item || m_readOnly)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    const QString question = kind == TaskCostLine::Expense ? QStringLiteral("Supprimer la charge sélectionnée ?")
                                                           : QStringLiteral("Supprimer la recette sélectionnée ?");
    if (!m_prompter.ask(QStringLiteral("Suppression"), question, false))
        return;
    if (m_task.number > 0 && m_task.costs[index].rank > 0) {
        const Outcome removed = TaskStore::removeCostLine(m_session, m_task.number, m_task.costs[index].rank);
        m_prompter.show(removed);
        if (!removed)
            return;
    }
    m_task.costs.removeAt(index);
    showCosts();
}

Task GesTaches::gathered() const
{
    Task t = m_task;
    t.type = m_type->currentData().toLongLong();
    t.urgency = m_urgency->currentData().toString();
    t.project = m_project->currentData().toString();
    t.comment = m_comment->toPlainText();
    t.done = m_done->isChecked();
    t.doneDate = m_doneDate->date();
    t.doneComment = m_doneComment->toPlainText();
    t.adminLock = m_adminLock->isChecked();
    t.split = m_split->isChecked();
    if (!t.split)
        t.ranges = {rangeFields()};
    t.resources = numbersOf(m_resourceItems);
    t.clients = numbersOf(m_clientItems);
    t.rule = t.periodic ? m_rule : std::nullopt;
    AlertRequest alert;
    alert.minutes = TaskAlerts::offsets().value(m_alertOffset->currentIndex()).minutes;
    alert.comment = m_alertComment->text();
    for (const TaskAlerts::Choice &c : m_listedRecipients) {
        if (c.group)
            alert.groups.append(c.key.toInt());
        else
            alert.users.append(c.key);
    }
    // an alert never set stays untouched; otherwise it is written as shown
    if (alert.minutes || t.alert != 0)
        t.alertRequest = alert;
    return t;
}

void GesTaches::save()
{
    if (m_readOnly)
        return;
    Task t = gathered();
    if (t.periodic && !t.rule) {
        m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Vous devez définir la périodicité"), Prompter::Icon::Warning);
        return;
    }
    const bool creation = t.number == 0;
    const Outcome saved = TaskStore::save(m_session, &t);
    m_prompter.show(saved);
    if (t.number > 0 && creation) {
        // the task exists from now on, whatever happened after its commit
        m_task.number = t.number;
        setCaption();
    }
    if (!saved)
        return;
    m_saved = t.number;
    m_task = t;
    setCaption();
    accept();
}

void GesTaches::remove()
{
    if (m_task.number <= 0 || m_readOnly)
        return;
    const Terms &terms = m_session.terms();
    if (!m_prompter.ask(QStringLiteral("Suppression"), QStringLiteral("Supprimer ") + terms.article(Entity::Tache)
                                                           + terms.singular(Entity::Tache) + QStringLiteral(" ?"),
                        false))
        return;
    const Outcome removed = TaskStore::remove(m_session, m_task.number);
    m_prompter.show(removed);
    if (!removed)
        return;
    m_saved = 0;
    accept();
}

void GesTaches::sendMail()
{
    const Task t = gathered();
    QStringList addresses;
    const Outcome read = TaskLinks::mailRecipients(*m_session.database(), t.resources, &addresses);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    QStringList clients;
    for (const LinkedItem &c : std::as_const(m_clientItems))
        clients.append(c.label);
    QString subject = m_session.terms().singular(Entity::Tache);
    if (t.type != 0)
        subject += QStringLiteral(" : ") + m_type->currentText();
    m_mailSender(addresses.join(QLatin1Char(';')), subject, TaskLinks::mailBody(m_session, t, clients));
}

