#include "clients/ListClients.h"

#include "clients/ChoixEdit.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/DateField.h"
#include "reports/ReportTable.h"
#include "reports/apercu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QListWidgetItem *checkItem(QListWidget *list, const QString &text, const QString &code)
{
    auto *item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, code);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

QStringList checked(const QListWidget *list)
{
    QStringList codes;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            codes.append(list->item(i)->data(Qt::UserRole).toString());
    return codes;
}

void uncheckAll(QListWidget *list)
{
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Unchecked);
}

// Contract list entries before the contract types.
enum { AnyContract, WithoutContract, FirstContractType };

} // namespace

ListClients::ListClients(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_rights(Access::lookup(session, QStringLiteral("SOCIETE"))),
      m_search(session.dialect()), m_types(new QListWidget(this)), m_sectors(new QListWidget(this)),
      m_closure(new QComboBox(this)), m_contractOn(new QCheckBox(QStringLiteral("Type de Contrat :"), this)),
      m_contract(new QComboBox(this)), m_dateRule(new QComboBox(this)), m_from(new DateField(this)),
      m_andLabel(new QLabel(QStringLiteral("Et le :"), this)), m_to(new DateField(this)), m_names(new QCheckBox(this)),
      m_addCompany(new QPushButton(this)), m_addIndividual(new QPushButton(this)), m_view(new QTableView(this)),
      m_model(new ClientListModel(this))
{
    const Terms &terms = session.terms();
    const QString plural = terms.plural(Entity::Client);
    const bool feminine = terms.feminine(Entity::Client);
    const QString e = feminine ? QStringLiteral("e") : QString();
    setWindowTitle(QStringLiteral("Liste des ") + plural + QStringLiteral(" - Utilisateur : ") + session.userCode());
    resize(1120, 720);

    checkItem(m_types, (feminine ? QStringLiteral("Toutes") : QStringLiteral("Tous")) + QStringLiteral(" les ") + plural,
              QStringLiteral("/"));
    checkItem(m_types, terms.plural(Entity::Societe), QStringLiteral("0"));
    checkItem(m_types, terms.plural(Entity::Particulier), QStringLiteral("1"));
    ResultSet sectors;
    if (session.database()->query(QStringLiteral("select code,libelle from kp_secteurs order by libelle"), sectors))
        for (int r = 0; r < sectors.rowCount(); ++r)
            checkItem(m_sectors, sectors.value(r, 1), sectors.value(r, 0));
    const int listHeight = m_types->sizeHintForRow(0) * 4 + 2 * m_types->frameWidth() + 4;
    for (QListWidget *list : {m_types, m_sectors}) {
        list->setFixedHeight(listHeight);
        list->setMinimumWidth(150);
    }

    m_closure->addItem(QStringLiteral("Non clôturé") + e + QStringLiteral("s"));
    m_closure->addItem(QStringLiteral("Clôturé") + e + QStringLiteral("s"));
    m_closure->addItem(QStringLiteral("Tous"));

    const Outcome read = ClientSearch::fields(*session.database(), m_fields);
    if (!read) {
        m_prompter.show(read);
        m_fields = ClientSearch::standardFields();
    }
    auto *criteria = new QGridLayout;
    criteria->addWidget(new QLabel(QStringLiteral("Champs :"), this), 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i) {
        m_fieldLists[i] = new QComboBox(this);
        for (int f = 0; f < m_fields.size(); ++f)
            m_fieldLists[i]->addItem(m_fields[f].label, f);
        m_matchLists[i] = new QComboBox(this);
        m_matchLists[i]->addItems({QStringLiteral("Contient"), QStringLiteral("Commence par"), QStringLiteral("Finit par")});
        m_values[i] = new QLineEdit(this);
        m_values[i]->setMinimumWidth(90);
        criteria->addWidget(m_fieldLists[i], i + 1, 0);
        criteria->addWidget(m_matchLists[i], i + 1, 1);
        criteria->addWidget(m_values[i], i + 1, 2);
    }
    criteria->setColumnStretch(2, 1);

    m_contract->addItem(QStringLiteral("Quelque soit le contrat"));
    m_contract->addItem(QStringLiteral("Sans contrat"));
    ResultSet contracts;
    if (session.database()->query(QStringLiteral("select code,libelle from kp_contrats order by libelle"), contracts))
        for (int r = 0; r < contracts.rowCount(); ++r)
            m_contract->addItem(contracts.value(r, 1), contracts.value(r, 0));
    m_dateRule->addItems({QStringLiteral("Actif à la date du :"), QStringLiteral("Commencant entre le :"),
                          QStringLiteral("Finissant entre le :")});
    m_from->setPrompter(&prompter);
    m_to->setPrompter(&prompter);

    // Long contract or field labels must not widen the whole window.
    for (QComboBox *combo : {m_closure, m_contract, m_fieldLists[0], m_fieldLists[1], m_fieldLists[2]}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(combo == m_contract || combo == m_closure ? 12 : 10);
    }

    auto *others = new QGridLayout;
    others->addWidget(new QLabel(QStringLiteral("Clôture :"), this), 0, 0);
    others->addWidget(m_closure, 0, 1, 1, 3);
    others->addWidget(m_contractOn, 1, 0);
    others->addWidget(m_contract, 1, 1, 1, 3);
    others->addWidget(m_dateRule, 2, 0);
    others->addWidget(m_from, 2, 1);
    others->addWidget(m_andLabel, 2, 2);
    others->addWidget(m_to, 2, 3);
    others->setRowStretch(3, 1);

    auto *typeBox = new QVBoxLayout;
    typeBox->addWidget(new QLabel(QStringLiteral("Type de Client :"), this));
    typeBox->addWidget(m_types);
    typeBox->addStretch();
    auto *sectorBox = new QVBoxLayout;
    sectorBox->addWidget(new QLabel(QStringLiteral("Secteur :"), this));
    sectorBox->addWidget(m_sectors);
    sectorBox->addStretch();
    auto *run = new QPushButton(QStringLiteral("&Lancer"), this);
    run->setToolTip(QStringLiteral("Actualiser la liste avec les critères sélectionnés"));
    auto *clear = new QPushButton(QStringLiteral("Effacez les critères"), this);
    // Beside the names box, so that the filters keep the window narrow.
    auto *actions = new QHBoxLayout;
    actions->addWidget(m_names);
    actions->addStretch();
    actions->addWidget(run);
    actions->addWidget(clear);

    auto *filters = new QHBoxLayout;
    filters->addLayout(typeBox);
    filters->addLayout(sectorBox);
    filters->addSpacing(6);
    filters->addLayout(others);
    filters->addSpacing(6);
    filters->addLayout(criteria, 1);

    m_names->setText(QStringLiteral("Afficher nom prénom pour les ") + terms.plural(Entity::Particulier));

    m_model->setTypeNames(terms.singular(Entity::Societe), terms.singular(Entity::Particulier));
    m_model->setImagesFolder(session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images")));
    const QString hint = QStringLiteral("Double-Cliquez pour modifier les ") + plural;
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setAlternatingRowColors(true);
    m_view->setToolTip(hint);
    m_view->setColumnHidden(ClientListModel::Number, true);
    m_view->setColumnHidden(ClientListModel::Hierar, true);
    // Fixed widths: measuring 10,000 rows would make every search slow.
    const int digit = m_view->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const QList<std::pair<int, int>> widths = {{ClientListModel::Label, 30}, {ClientListModel::Phone, 15},
                                               {ClientListModel::Type, 12},  {ClientListModel::Mobile, 15},
                                               {ClientListModel::Address, 26}, {ClientListModel::Complement, 16}};
    for (const auto &[column, chars] : widths)
        m_view->setColumnWidth(column, digit * chars);

    const auto add = [&terms](Entity entity) {
        return QStringLiteral("Ajouter un") + (terms.feminine(entity) ? QStringLiteral("e ") : QStringLiteral(" "))
               + terms.singular(entity);
    };
    m_addCompany->setText(add(Entity::Societe));
    m_addIndividual->setText(add(Entity::Particulier));
    m_addCompany->setEnabled(m_rights.create);
    m_addIndividual->setEnabled(m_rights.create);
    auto *printButton = new QPushButton(QStringLiteral("&Imprimer"), this);
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {run, clear, m_addCompany, m_addIndividual, printButton, close})
        b->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(hint, this));
    buttons->addStretch();
    buttons->addWidget(m_addCompany);
    buttons->addWidget(m_addIndividual);
    buttons->addWidget(printButton);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(actions);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    connect(run, &QPushButton::clicked, this, &ListClients::refresh);
    connect(clear, &QPushButton::clicked, this, &ListClients::clearCriteria);
    connect(m_addCompany, &QPushButton::clicked, this, [this] { open(0, 0); });
    connect(m_addIndividual, &QPushButton::clicked, this, [this] { open(1, 0); });
    connect(printButton, &QPushButton::clicked, this, &ListClients::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_names, &QCheckBox::toggled, m_model, &ClientListModel::setNamesForIndividuals);
    connect(m_contractOn, &QCheckBox::toggled, this, &ListClients::contractChanged);
    connect(m_contract, &QComboBox::currentIndexChanged, this, &ListClients::contractChanged);
    connect(m_dateRule, &QComboBox::currentIndexChanged, this, &ListClients::contractChanged);
    connect(m_view, &QTableView::activated, this, [this](const QModelIndex &index) {
        open(m_model->typeAt(index.row()), m_model->clientAt(index.row()));
    });

    clearCriteria();
    refresh();
}

void ListClients::contractChanged()
{
    const bool on = m_contractOn->isChecked();
    const bool dated = on && m_contract->currentIndex() != WithoutContract;
    const bool two = dated && m_dateRule->currentIndex() != int(ClientSearch::DateRule::ActiveOn);
    m_contract->setEnabled(on);
    m_dateRule->setEnabled(dated);
    m_from->setEnabled(dated);
    m_andLabel->setEnabled(two);
    m_to->setEnabled(two);
}

ClientSearch::Filters ListClients::filters() const
{
    ClientSearch::Filters f;
    f.types = checked(m_types);
    f.sectors = checked(m_sectors);
    f.closure = ClientSearch::Closure(m_closure->currentIndex());
    for (int i = 0; i < 3; ++i) {
        const int field = m_fieldLists[i]->currentData().toInt();
        if (field >= 0 && field < m_fields.size())
            f.criteria.append({m_fields[field], ClientSearch::Match(m_matchLists[i]->currentIndex()), m_values[i]->text()});
    }
    if (m_contractOn->isChecked()) {
        const int chosen = m_contract->currentIndex();
        f.contract = chosen == AnyContract       ? ClientSearch::ContractMode::Any
                     : chosen == WithoutContract ? ClientSearch::ContractMode::Without
                                                 : ClientSearch::ContractMode::OfType;
        f.contractCode = m_contract->currentData().toString();
        f.dateRule = ClientSearch::DateRule(m_dateRule->currentIndex());
        f.from = m_from->date();
        if (f.dateRule != ClientSearch::DateRule::ActiveOn)
            f.to = m_to->date();
    }
    return f;
}

void ListClients::refresh()
{
    const Outcome loaded = m_model->load(*m_session.database(), m_search, filters(), m_session.terms().plural(Entity::Client));
    if (!loaded)
        m_prompter.show(loaded);
}

void ListClients::clearCriteria()
{
    uncheckAll(m_types);
    uncheckAll(m_sectors);
    m_closure->setCurrentIndex(int(ClientSearch::Closure::All));
    for (int i = 0; i < 3; ++i) {
        m_fieldLists[i]->setCurrentIndex(0);
        m_matchLists[i]->setCurrentIndex(0);
        m_values[i]->clear();
    }
    m_contractOn->setChecked(false);
    m_contract->setCurrentIndex(AnyContract);
    m_dateRule->setCurrentIndex(0);
    m_from->setDate(QDate::currentDate());
    m_to->setDate(QDate::currentDate());
    contractChanged();
}

void ListClients::open(int kind, qint64 number)
{
    if ((number == 0 && !m_rights.create) || !m_opener)
        return;
    const qint64 shown = m_opener(kind, number);
    refresh();
    const int row = m_model->rowOf(shown ? shown : number);
    if (row >= 0) {
        m_view->selectRow(row);
        m_view->scrollTo(m_model->index(row, 0));
    }
}

void ListClients::print()
{
    const QString choice = m_editChooser ? m_editChooser() : ChoixEdit::choose(this);
    if (choice.isEmpty())
        return;
    if (m_model->rowCount() == 0) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous n'avez rien à imprimer"), Prompter::Icon::Warning);
        return;
    }
    const ReportTable table =
        ClientSearch::printTable(m_model->rows(), choice == QLatin1String("1"),
                                 QStringLiteral("Liste des ") + m_session.terms().plural(Entity::Client),
                                 m_session.civilities(), m_model->namesForIndividuals());
    if (m_previewer)
        m_previewer(table);
    else
        apercu::preview(m_session, m_prompter, table, this);
}
