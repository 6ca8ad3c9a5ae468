#include "resources/GesRessources.h"

#include "core/Prompter.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldNavigation.h"
#include "reports/Frm_Histo.h"
#include "reports/Liste.h"
#include "reports/ReportTable.h"
#include "reports/apercu.h"
#include "resources/CatalogueScreens.h"
#include "resources/IconField.h"
#include "resources/ReferenceLists.h"
#include "resources/ResourceSubRecords.h"
#include "resources/SkillStore.h"
#include "resources/profile/GesProfilHoraire.h"
#include "resources/profile/ProfileViews.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Resources = QStringLiteral("kp_ressources");
const QString Incomplete = QStringLiteral("Incomplet");
const QString Deletion = QStringLiteral("Suppression");

// The address and contact columns, in the order of the screen.
struct TextColumn
{
    const char *column;
    const char *label;
    QString Resource::*member;
};
const TextColumn TextColumns[] = {
    {"nomressource", "Nom :", &Resource::surname},
    {"prenomressource", "Prénom :", &Resource::firstName},
    {"adrressource", "Adresse :", &Resource::address},
    {"compressource", "Complément :", &Resource::complement},
    {"cpressource", "Code postal :", &Resource::postcode},
    {"villeressource", "Ville :", &Resource::town},
    {"paysressource", "Pays :", &Resource::country},
    {"etatressource", "Etat :", &Resource::state},
    {"telressource", "Téléphone :", &Resource::phone},
    {"mobressource", "Mobile :", &Resource::mobile},
    {"faxressource", "Fax :", &Resource::fax},
    {"mailressource", "E-mail :", &Resource::mail},
};

QTreeWidget *list(const QStringList &columns, QWidget *parent)
{
    auto *tree = new QTreeWidget(parent);
    tree->setHeaderLabels(columns);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->header()->setStretchLastSection(true);
    return tree;
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString quotedList(const QStringList &codes)
{
    QStringList quoted;
    for (const QString &code : codes)
        quoted.append(QLatin1Char('\'') + sqlText(code, QStringLiteral("/")) + QLatin1Char('\''));
    return quoted.join(QLatin1Char(','));
}

// A code list led by an empty entry (no code chosen), ordered by label.
void fillCodes(QComboBox *combo, Database &db, const QString &table)
{
    const QString current = combo->currentData().toString();
    QList<CodeLabel> rows;
    ReferenceLists::codes(db, table, &rows);
    std::sort(rows.begin(), rows.end(), [](const CodeLabel &a, const CodeLabel &b) {
        return QString::localeAwareCompare(a.label, b.label) < 0;
    });
    combo->clear();
    combo->addItem(QString(), QString());
    for (const CodeLabel &row : rows)
        combo->addItem(row.label, row.code);
    const int index = combo->findData(current);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}

// A code no longer in its table is kept as it is rather than lost at the next save.
void selectCode(QComboBox *combo, const QString &code)
{
    int index = combo->findData(code);
    if (index < 0) {
        combo->addItem(code, code);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

void fillCivilities(QComboBox *combo, const Civilities &civilities)
{
    for (const Civility &c : civilities)
        combo->addItem(c.fullName);
}

} // namespace

GesRessources::GesRessources(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
    : RecordScreen(session, prompter, LockKind::Resource, parent), m_rights(Access::lookup(session, QStringLiteral("RESSOURCES"))),
      m_imagesFolder(session.settings().read(QStringLiteral("UTIL"), QStringLiteral("Images"))), m_tabs(new QTabWidget(this))
{
    m_chooser = [this](const ListRequest &request) { return Liste::choose(m_session, m_prompter, request, this); };
    m_previewer = [this](const ReportTable &table) { apercu::preview(m_session, m_prompter, table, this); };
    m_profileEditor = [this](qint64 profile) -> qint64 {
        GesProfilHoraire screen(m_session, m_prompter, int(profile), this);
        if (!screen.isLoaded() || screen.exec() != QDialog::Accepted)
            return 0;
        return screen.profileNumber();
    };

    const Terms &terms = session.terms();
    const QString term = terms.singular(Entity::Ressource);
    const bool feminine = terms.feminine(Entity::Ressource);

    // What every tab belongs to: code, type, colours and icon.
    m_code = lineField(QStringLiteral("libelle"));
    m_types[0] = new QRadioButton(term + QStringLiteral(" humain") + (feminine ? QStringLiteral("e") : QString()), this);
    m_types[1] = new QRadioButton(term + QStringLiteral(" matériel") + (feminine ? QStringLiteral("le") : QString()), this);
    m_types[2] = new QRadioButton(term + QStringLiteral(" à définir"), this);
    auto *typeGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i)
        typeGroup->addButton(m_types[i], i);
    m_background = new ColourSwatch(this);
    m_text = new ColourSwatch(this);
    const QString articleEnding = terms.articleEnding(Entity::Ressource);
    m_icon = new IconField(prompter, m_imagesFolder, QStringLiteral("Sélectionnez une autre icône pour l") + articleEnding + term,
                           QStringLiteral("Supprimez l'icône pour l") + articleEnding + term, this);

    auto *head = new QGridLayout;
    auto *codeLabel = new QLabel(QStringLiteral("&Libellé :"), this);
    codeLabel->setBuddy(m_code);
    head->addWidget(codeLabel, 0, 0);
    head->addWidget(m_code, 0, 1, 1, 3);
    auto *typeRow = new QHBoxLayout;
    for (QRadioButton *option : m_types)
        typeRow->addWidget(option);
    typeRow->addStretch();
    head->addWidget(new QLabel(QStringLiteral("Type :"), this), 1, 0);
    head->addLayout(typeRow, 1, 1, 1, 3);
    auto *colours = new QHBoxLayout;
    colours->addWidget(new QLabel(QStringLiteral("Couleur de fond :"), this));
    colours->addWidget(m_background);
    colours->addSpacing(16);
    colours->addWidget(new QLabel(QStringLiteral("Couleur du texte :"), this));
    colours->addWidget(m_text);
    colours->addSpacing(24);
    colours->addWidget(new QLabel(QStringLiteral("Icône :"), this));
    colours->addWidget(m_icon);
    colours->addStretch();
    head->addWidget(new QLabel(QStringLiteral("Planning :"), this), 2, 0);
    head->addLayout(colours, 2, 1, 1, 3);
    head->setColumnStretch(1, 1);

    m_tabs->addTab(identityTab(), QStringLiteral("&Identité"));
    m_tabs->addTab(profileTab(), QStringLiteral("&Profil horaire"));
    m_tabs->addTab(servicesTab(), QStringLiteral("Services et &compétences"));
    m_tabs->addTab(contractsTab(), QStringLiteral("Con&trats"));
    m_tabs->addTab(memosTab(), QStringLiteral("&Mémos"));
    m_tabs->addTab(dependentsTab(), QStringLiteral("&Ayants droit"));

    m_historyButton = plainButton(QStringLiteral("&Historique..."), this, QStringLiteral("Accès aux listes statistiques"));
    QPushButton *save = plainButton(QStringLiteral("&Valider"), this);
    m_deleteButton = plainButton(QStringLiteral("&Supprimer"), this);
    QPushButton *close = plainButton(QStringLiteral("&Fermer"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_historyButton);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(m_deleteButton);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    resize(860, 600);

    connect(m_icon, &IconField::iconChanged, this, [this](const QString &icon) { m_resource.icon = icon; });
    connect(m_historyButton, &QPushButton::clicked, this, [this] {
        if (m_resource.number)
            emit historyRequested(m_resource.number);
    });
    connect(save, &QPushButton::clicked, this, &GesRessources::validate);
    connect(m_deleteButton, &QPushButton::clicked, this, &GesRessources::removeResource);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    fillCodeLists();
    fillProfiles(0);
    if (number) {
        m_resource.number = number;
        if (!takeLock(number) || !reload()) {
            m_open = false;
            releaseLock();
            return;
        }
    } else {
        m_types[0]->setChecked(true);
        showResource();
        updateState();
    }
    FieldNavigation::install(this);
}

qint64 GesRessources::edit(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
{
    GesRessources screen(session, prompter, number, parent);
    QObject::connect(&screen, &GesRessources::historyRequested, &screen, [&](qint64 record) {
        Frm_Histo history(session, prompter, record, &screen);
        history.exec();
    });
    return screen.run();
}

QLineEdit *GesRessources::lineField(const QString &column, const QString &table)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(column);
    limitToColumn(edit, table, column);
    if (table == Resources)
        m_fields.insert(column, edit);
    return edit;
}

// --- building the tabs

QWidget *GesRessources::identityTab()
{
    auto *tab = new QWidget(this);
    m_civility = new QComboBox(tab);
    m_civility->setObjectName(QStringLiteral("civilite"));
    fillCivilities(m_civility, m_session.civilities());
    m_birthday = new DateField(tab);
    m_birthday->setObjectName(QStringLiteral("annivressource"));
    m_birthday->setPrompter(&m_prompter);

    auto *person = new QFormLayout;
    person->addRow(QStringLiteral("Civilité :"), m_civility);
    auto *address = new QFormLayout;
    auto *contact = new QFormLayout;
    for (const TextColumn &c : TextColumns) {
        QLineEdit *edit = lineField(QString::fromLatin1(c.column));
        const QString label = QString::fromUtf8(c.label);
        const QString column = QString::fromLatin1(c.column);
        if (column.startsWith(QLatin1String("nom")) || column.startsWith(QLatin1String("prenom")))
            person->addRow(label, edit);
        else if (column.startsWith(QLatin1String("tel")) || column.startsWith(QLatin1String("mob"))
                 || column.startsWith(QLatin1String("fax")) || column.startsWith(QLatin1String("mail")))
            contact->addRow(label, edit);
        else
            address->addRow(label, edit);
    }
    contact->addRow(QStringLiteral("Date d'anniversaire :"), m_birthday);

    auto *personBox = new QGroupBox(QStringLiteral("Personne"), tab);
    personBox->setLayout(person);
    auto *addressBox = new QGroupBox(QStringLiteral("Adresse"), tab);
    addressBox->setLayout(address);
    auto *contactBox = new QGroupBox(QStringLiteral("Contact"), tab);
    contactBox->setLayout(contact);
    auto *left = new QVBoxLayout;
    left->addWidget(personBox);
    left->addWidget(contactBox);
    left->addStretch();
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(left, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(addressBox);
    right->addStretch();
    layout->addLayout(right, 1);
    return tab;
}

QWidget *GesRessources::profileTab()
{
    auto *tab = new QWidget(this);
    m_profiles = new QComboBox(tab);
    m_profiles->setObjectName(QStringLiteral("noidprofil"));
    m_profiles->setMinimumContentsLength(30);
    m_weekOption = new QRadioButton(QStringLiteral("Semaine"), tab);
    auto *tableOption = new QRadioButton(QStringLiteral("Tableau"), tab);
    m_weekOption->setChecked(true);
    m_profileViews = new QStackedWidget(tab);
    m_profileWeek = new ProfileWeekView(m_session, m_profileViews);
    m_profileTable = new ProfileTable(m_session, m_profileViews);
    m_profileViews->addWidget(m_profileWeek);
    m_profileViews->addWidget(m_profileTable);
    QPushButton *create = plainButton(QStringLiteral("Nouveau profil..."), tab);
    m_editProfileButton = plainButton(QStringLiteral("Modifier le profil..."), tab);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Profil horaire :"), tab));
    top->addWidget(m_profiles);
    top->addWidget(create);
    top->addWidget(m_editProfileButton);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Affichage :"), tab));
    top->addWidget(m_weekOption);
    top->addWidget(tableOption);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(m_profileViews, 1);

    connect(m_profiles, &QComboBox::currentIndexChanged, this, &GesRessources::showProfile);
    connect(m_weekOption, &QRadioButton::toggled, this, [this](bool week) { m_profileViews->setCurrentIndex(week ? 0 : 1); });
    connect(create, &QPushButton::clicked, this, &GesRessources::newProfile);
    connect(m_editProfileButton, &QPushButton::clicked, this, &GesRessources::editProfile);
    return tab;
}

QWidget *GesRessources::servicesTab()
{
    auto *tab = new QWidget(this);
    m_services = list({QStringLiteral("Code"), QStringLiteral("Libellé")}, tab);
    m_skills = list({QStringLiteral("Domaine"), QStringLiteral("Libellé")}, tab);

    const auto side = [this, tab](QTreeWidget *tree, const QString &title, void (GesRessources::*add)(),
                                  void (GesRessources::*remove)(), const QString &tableButton, const QString &table) {
        auto *box = new QGroupBox(title, tab);
        auto *buttons = new QVBoxLayout;
        QPushButton *addButton = plainButton(QStringLiteral("Ajouter..."), box);
        QPushButton *removeButton = plainButton(QStringLiteral("Retirer"), box);
        QPushButton *tableOpener = plainButton(tableButton, box);
        buttons->addWidget(addButton);
        buttons->addWidget(removeButton);
        buttons->addStretch();
        buttons->addWidget(tableOpener);
        auto *row = new QHBoxLayout(box);
        row->addWidget(tree, 1);
        row->addLayout(buttons);
        connect(addButton, &QPushButton::clicked, this, add);
        connect(removeButton, &QPushButton::clicked, this, remove);
        connect(tableOpener, &QPushButton::clicked, this, [this, table] { openCodeTable(table); });
        return box;
    };
    auto *layout = new QHBoxLayout(tab);
    layout->addWidget(side(m_services, QStringLiteral("Services"), &GesRessources::addService, &GesRessources::removeService,
                           QStringLiteral("Services..."), QStringLiteral("kp_services")));
    layout->addWidget(side(m_skills, QStringLiteral("Compétences"), &GesRessources::addSkill, &GesRessources::removeSkill,
                           QStringLiteral("Catalogue..."), QStringLiteral("kp_competences")));
    return tab;
}

// A sub-list tab: the list on the left, the entry zone of its selected row
// on the right, its buttons below the entry.
static QWidget *subListTab(QWidget *parent, QTreeWidget *tree, QFormLayout *form, const QList<QWidget *> &buttons,
                           QWidget *beside = nullptr)
{
    auto *tab = new QWidget(parent);
    tree->setParent(tab);
    auto *entry = new QGroupBox(QStringLiteral("Saisie"), tab);
    auto *entryLayout = new QVBoxLayout(entry);
    entryLayout->addLayout(form);
    auto *row = new QHBoxLayout;
    for (QWidget *b : buttons) {
        if (!b) {
            row->addStretch();
            continue;
        }
        b->setParent(entry);
        row->addWidget(b);
    }
    entryLayout->addLayout(row);
    auto *listSide = new QHBoxLayout;
    listSide->addWidget(tree, 1);
    if (beside) {
        beside->setParent(tab);
        listSide->addWidget(beside);
    }
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(listSide, 5);
    layout->addWidget(entry, 4);
    return tab;
}

QWidget *GesRessources::contractsTab()
{
    m_contracts = list({QStringLiteral("Type de contrat"), QStringLiteral("Début"), QStringLiteral("Fin")}, this);
    m_contractType = new QComboBox(this);
    m_contractType->setObjectName(QStringLiteral("codecontrat"));
    m_contractStart = new DateField(this);
    m_contractStart->setObjectName(QStringLiteral("datedeb"));
    m_contractEnd = new DateField(this);
    m_contractEnd->setObjectName(QStringLiteral("datefin"));
    m_contractComment = new QPlainTextEdit(this);
    m_contractComment->setObjectName(QStringLiteral("commentaire"));
    for (DateField *date : {m_contractStart, m_contractEnd})
        date->setPrompter(&m_prompter);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Type de contrat :"), m_contractType);
    form->addRow(QStringLiteral("Début :"), m_contractStart);
    form->addRow(QStringLiteral("Fin :"), m_contractEnd);
    form->addRow(QStringLiteral("Commentaire :"), m_contractComment);
    QPushButton *fresh = plainButton(QStringLiteral("Nouveau"), this);
    QPushButton *save = plainButton(QStringLiteral("Enregistrer"), this);
    QPushButton *remove = plainButton(QStringLiteral("Supprimer"), this);
    QPushButton *types = plainButton(QStringLiteral("Types..."), this, QStringLiteral("Contrats de travail"));
    connect(fresh, &QPushButton::clicked, this, &GesRessources::newContract);
    connect(save, &QPushButton::clicked, this, &GesRessources::saveContract);
    connect(remove, &QPushButton::clicked, this, &GesRessources::removeContract);
    connect(types, &QPushButton::clicked, this, [this] { openCodeTable(QStringLiteral("kp_contrattravail")); });
    connect(m_contracts, &QTreeWidget::currentItemChanged, this, &GesRessources::contractChosen);
    return subListTab(this, m_contracts, form, {fresh, save, remove, nullptr, types});
}

QWidget *GesRessources::memosTab()
{
    m_memos = list({QStringLiteral("Date"), QStringLiteral("Type"), QStringLiteral("Titre")}, this);
    m_memoType = new QComboBox(this);
    m_memoType->setObjectName(QStringLiteral("codememo"));
    m_memoDate = new DateField(this);
    m_memoDate->setObjectName(QStringLiteral("datememo"));
    m_memoDate->setPrompter(&m_prompter);
    m_memoTitle = lineField(QStringLiteral("titrememo"), QStringLiteral("kp_memosoc"));
    m_memoText = new QPlainTextEdit(this);
    m_memoText->setObjectName(QStringLiteral("commentaire"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Type de mémo :"), m_memoType);
    form->addRow(QStringLiteral("Date :"), m_memoDate);
    form->addRow(QStringLiteral("Titre :"), m_memoTitle);
    form->addRow(QStringLiteral("Texte :"), m_memoText);

    auto *order = new QWidget(this);
    auto *orderLayout = new QVBoxLayout(order);
    orderLayout->setContentsMargins(0, 0, 0, 0);
    QToolButton *up = arrowButton(Qt::UpArrow, QStringLiteral("Monter le mémo"), order);
    QToolButton *down = arrowButton(Qt::DownArrow, QStringLiteral("Descendre le mémo"), order);
    orderLayout->addWidget(up);
    orderLayout->addWidget(down);
    orderLayout->addStretch();

    QPushButton *fresh = plainButton(QStringLiteral("Nouveau"), this);
    QPushButton *save = plainButton(QStringLiteral("Enregistrer"), this);
    QPushButton *remove = plainButton(QStringLiteral("Supprimer"), this);
    QPushButton *print = plainButton(QStringLiteral("Imprimer..."), this);
    QPushButton *types = plainButton(QStringLiteral("Types..."), this, QStringLiteral("Types de mémos"));
    connect(fresh, &QPushButton::clicked, this, &GesRessources::newMemo);
    connect(save, &QPushButton::clicked, this, &GesRessources::saveMemo);
    connect(remove, &QPushButton::clicked, this, &GesRessources::removeMemo);
    connect(print, &QPushButton::clicked, this, &GesRessources::printMemos);
    connect(types, &QPushButton::clicked, this, [this] { openCodeTable(QStringLiteral("kp_typememo")); });
    connect(up, &QToolButton::clicked, this, [this] { moveMemo(-1); });
    connect(down, &QToolButton::clicked, this, [this] { moveMemo(1); });
    connect(m_memos, &QTreeWidget::currentItemChanged, this, &GesRessources::memoChosen);
    return subListTab(this, m_memos, form, {fresh, save, remove, print, nullptr, types}, order);
}

QWidget *GesRessources::dependentsTab()
{
    m_dependents = list({QStringLiteral("Nom"), QStringLiteral("Prénom"), QStringLiteral("Parenté"), QStringLiteral("Naissance")},
                        this);
    m_dependentCivility = new QComboBox(this);
    m_dependentCivility->setObjectName(QStringLiteral("sexeayant"));
    fillCivilities(m_dependentCivility, m_session.civilities());
    m_dependentSurname = lineField(QStringLiteral("nomayant"), QStringLiteral("kp_ayants"));
    m_dependentFirstName = lineField(QStringLiteral("prenomayant"), QStringLiteral("kp_ayants"));
    m_kinship = new QComboBox(this);
    m_kinship->setObjectName(QStringLiteral("codeparente"));
    m_dependentBirth = new DateField(this);
    m_dependentBirth->setObjectName(QStringLiteral("dtnaiss"));
    m_dependentBirth->setPrompter(&m_prompter);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Civilité :"), m_dependentCivility);
    form->addRow(QStringLiteral("Nom :"), m_dependentSurname);
    form->addRow(QStringLiteral("Prénom :"), m_dependentFirstName);
    form->addRow(QStringLiteral("Parenté :"), m_kinship);
    form->addRow(QStringLiteral("Date de naissance :"), m_dependentBirth);
    QPushButton *fresh = plainButton(QStringLiteral("Nouveau"), this);
    QPushButton *save = plainButton(QStringLiteral("Enregistrer"), this);
    QPushButton *remove = plainButton(QStringLiteral("Supprimer"), this);
    QPushButton *kinships = plainButton(QStringLiteral("Parentés..."), this);
    connect(fresh, &QPushButton::clicked, this, &GesRessources::newDependent);
    connect(save, &QPushButton::clicked, this, &GesRessources::saveDependent);
    connect(remove, &QPushButton::clicked, this, &GesRessources::removeDependent);
    connect(kinships, &QPushButton::clicked, this, [this] { openCodeTable(QStringLiteral("kp_parentes")); });
    connect(m_dependents, &QTreeWidget::currentItemChanged, this, &GesRessources::dependentChosen);
    return subListTab(this, m_dependents, form, {fresh, save, remove, nullptr, kinships});
}

void GesRessources::openCodeTable(const QString &table)
{
    if (table == QLatin1String("kp_competences")) {
        GesCompetences screen(m_session, m_prompter, this);
        screen.exec();
    } else {
        SaisTables screen(m_session, m_prompter, table, this);
        screen.exec();
    }
    fillCodeLists();
    showServices();
    showSkills();
}

void GesRessources::fillCodeLists()
{
    Database &db = *m_session.database();
    fillCodes(m_contractType, db, QStringLiteral("kp_contrattravail"));
    fillCodes(m_memoType, db, QStringLiteral("kp_typememo"));
    fillCodes(m_kinship, db, QStringLiteral("kp_parentes"));
    QList<CodeLabel> services;
    ReferenceLists::codes(db, QStringLiteral("kp_services"), &services);
    m_serviceLabels.clear();
    for (const CodeLabel &s : services)
        m_serviceLabels.insert(s.code, s.label);
    QList<Skill> skills;
    SkillStore::skills(db, &skills);
    m_skillLabels.clear();
    for (const Skill &s : skills)
        m_skillLabels.insert(s.number, {s.domainLabel, s.label});
}

void GesRessources::fillProfiles(qint64 select)
{
    QList<ProfileEntry> profiles;
    const Outcome read = ProfileStore::list(*m_session.database(), &profiles);
    if (!read)
        m_prompter.show(read);
    const QSignalBlocker blocker(m_profiles);
    m_profiles->clear();
    m_profiles->addItem(QStringLiteral("/"), qint64(0));
    for (const ProfileEntry &p : profiles)
        m_profiles->addItem(p.label, p.number);
    const int index = m_profiles->findData(select);
    m_profiles->setCurrentIndex(index < 0 ? 0 : index);
}

// --- the resource

Resource GesRessources::gather() const
{
    Resource r = m_resource;
    r.code = m_code->text();
    r.type = 0;
    for (int i = 0; i < 3; ++i)
        if (m_types[i]->isChecked())
            r.type = i;
    r.civility = std::max(0, m_civility->currentIndex());
    for (const TextColumn &c : TextColumns)
        r.*(c.member) = m_fields.value(QString::fromLatin1(c.column))->text();
    r.birthday = m_birthday->date();
    r.background = m_background->value();
    r.text = m_text->value();
    r.profile = m_profiles->currentData().toLongLong();
    return r;
}

void GesRessources::showResource()
{
    m_code->setText(m_resource.code);
    m_types[std::clamp(m_resource.type, 0, 2)]->setChecked(true);
    m_civility->setCurrentIndex(std::clamp(m_resource.civility, 0, 2));
    for (const TextColumn &c : TextColumns)
        m_fields.value(QString::fromLatin1(c.column))->setText(m_resource.*(c.member));
    m_birthday->setDate(m_resource.birthday);
    m_background->setValue(m_resource.background);
    m_text->setValue(m_resource.text);
    fillProfiles(m_resource.profile);
    showProfile();
    showServices();
    showSkills();
    m_icon->setIcon(m_resource.icon);
}

bool GesRessources::reload()
{
    if (!m_resource.number)
        return true;
    Resource loaded;
    const Outcome read = ResourceStore::load(m_session, m_resource.number, &loaded);
    if (!read) {
        readFailed(read);
        return false;
    }
    m_resource = loaded;
    fillCodeLists();
    showResource();
    showContracts();
    showMemos();
    showDependents();
    updateState();
    return true;
}

void GesRessources::updateState()
{
    const Terms &terms = m_session.terms();
    const bool exists = m_resource.number != 0;
    setWindowTitle(terms.singular(Entity::Ressource) + (exists ? QStringLiteral(" - MODIFICATION") : QStringLiteral(" - CREATION")));
    m_historyButton->setEnabled(exists);
    const bool locked = exists && !m_rights.modify;
    m_code->setReadOnly(locked);
    m_background->setEnabled(!locked);
    m_text->setEnabled(!locked);
}

QString GesRessources::resourceCodeMissing() const
{
    const Terms &terms = m_session.terms();
    return QStringLiteral("Vous devez d'abord saisir un libellé pour l") + terms.articleEnding(Entity::Ressource)
           + terms.singular(Entity::Ressource);
}

void GesRessources::validate()
{
    if (m_code->text().trimmed().isEmpty()) {
        const Terms &terms = m_session.terms();
        m_prompter.show(Incomplete,
                        QStringLiteral("Vous devez renseigner le libellé ") + terms.partitive(Entity::Ressource)
                            + terms.singular(Entity::Ressource),
                        Prompter::Icon::Warning);
        return;
    }
    if (!saveResource())
        return;
    // The screen stays on the saved resource, reloaded, instead of emptying
    // its fields: the user sees what was stored, and a further validation
    // updates that same resource.
    reload();
}

bool GesRessources::saveResource()
{
    if (m_resource.number) {
        // The store would insert the row again under its old number.
        const Outcome alive = ResourceSubRecords::checkExists(m_session, m_resource.number);
        if (!alive) {
            readFailed(alive);
            return false;
        }
    }
    Resource r = gather();
    const bool created = r.number == 0;
    const Outcome saved = ResourceStore::save(m_session, &r);
    m_prompter.show(saved);
    if (r.number) {
        // Saved, even if the skills failed afterwards.
        m_resource = r;
        m_saved = r.number;
        if (created)
            takeLock(r.number);
        updateState();
    }
    return saved.ok();
}

bool GesRessources::ownerReady()
{
    if (m_code->text().trimmed().isEmpty()) {
        m_prompter.show(Incomplete, resourceCodeMissing(), Prompter::Icon::Warning);
        return false;
    }
    return saveResource();
}

void GesRessources::removeResource()
{
    const Terms &terms = m_session.terms();
    const QString term = terms.singular(Entity::Ressource);
    const bool feminine = terms.feminine(Entity::Ressource);
    if (!m_resource.number) {
        m_prompter.show(QStringLiteral("Attention"),
                        QStringLiteral("Aucun") + (feminine ? QStringLiteral("e") : QString()) + QLatin1Char(' ') + term
                            + QStringLiteral(" à supprimer"),
                        Prompter::Icon::Warning);
        return;
    }
    if (!m_rights.remove) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Vous n'avez pas le droit de supprimer les ") + terms.plural(Entity::Ressource),
                        Prompter::Icon::Warning);
        return;
    }
    const QString demonstrative = QStringLiteral("ce") + terms.demonstrativeEnding(Entity::Ressource) + term;
    if (!m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Etes vous sûr de vouloir supprimer ") + demonstrative + QStringLiteral(" ?"),
                        false))
        return;
    const bool taskFeminine = terms.feminine(Entity::Tache);
    if (!m_prompter.ask(QStringLiteral("Deuxième confirmation"),
                        QStringLiteral("La suppression de ") + demonstrative + QStringLiteral(" supprimera ")
                            + (taskFeminine ? QStringLiteral("toutes") : QStringLiteral("tous")) + QStringLiteral(" les ")
                            + terms.plural(Entity::Tache) + QStringLiteral(" associé") + (taskFeminine ? QStringLiteral("e") : QString())
                            + QStringLiteral("s\nContinuer quand même ?"),
                        false))
        return;
    const Outcome removed = ResourceStore::remove(m_session, m_resource.number);
    m_prompter.show(removed);
    // When only the sweep of its tasks failed, the resource is gone all the same.
    if (removed || ResourceSubRecords::checkExists(m_session, m_resource.number).title() == QLatin1String("Disparition")) {
        m_saved = 0;
        accept();
    }
}

// --- services and skills

void GesRessources::showServices()
{
    m_services->clear();
    for (const QString &code : std::as_const(m_resource.services))
        new QTreeWidgetItem(m_services, {code, m_serviceLabels.value(code)});
    m_services->sortItems(1, Qt::AscendingOrder);
}

void GesRessources::showSkills()
{
    QList<qint64> skills = m_resource.skills;
    std::sort(skills.begin(), skills.end(), [this](qint64 a, qint64 b) {
        const auto la = m_skillLabels.value(a);
        const auto lb = m_skillLabels.value(b);
        const int domain = QString::localeAwareCompare(la.first, lb.first);
        return domain != 0 ? domain < 0 : QString::localeAwareCompare(la.second, lb.second) < 0;
    });
    m_skills->clear();
    for (qint64 skill : skills) {
        const auto labels = m_skillLabels.value(skill);
        auto *item = new QTreeWidgetItem(m_skills, {labels.first, labels.second});
        item->setData(0, Qt::UserRole, skill);
    }
}

void GesRessources::addService()
{
    ListRequest request(QStringLiteral("Liste des Services"),
                        QStringLiteral("select code,libelle from kp_services")
                            + (m_resource.services.isEmpty() ? QString()
                                                             : QStringLiteral(" where code not in (") + quotedList(m_resource.services)
                                                                   + QLatin1Char(')'))
                            + QStringLiteral(" order by libelle"));
    request.addColumn(QStringLiteral("Code"), 1200, QStringLiteral("L"));
    request.addColumn(QStringLiteral("Libellé"), 3600, QStringLiteral("L"));
    const ListAnswer answer = m_chooser(request);
    const QString code = answer.text(0);
    if (!answer.chosen || code.isEmpty() || m_resource.services.contains(code))
        return;
    m_resource.services.append(code);
    m_serviceLabels.insert(code, answer.text(1));
    showServices();
}

void GesRessources::removeService()
{
    QTreeWidgetItem *item = m_services->currentItem();
    if (!item)
        return;
    const Terms &terms = m_session.terms();
    if (!m_prompter.ask(QStringLiteral("Confirmation"),
                        QStringLiteral("Supprimer ce service ") + terms.partitive(Entity::Ressource) + terms.singular(Entity::Ressource)
                            + QStringLiteral(" ?"),
                        false))
        return;
    m_resource.services.removeAll(item->text(0));
    showServices();
}

void GesRessources::addSkill()
{
    ListRequest request(QStringLiteral("Liste des Compétences"),
                        QStringLiteral("select d.libelle,c.libelle,c.noid from kp_competences c left join kp_domaines d on "
                                       "d.code = c.codedomaine")
                            + (m_resource.skills.isEmpty() ? QString()
                                                           : QStringLiteral(" where c.noid not in (") + numberList(m_resource.skills)
                                                                 + QLatin1Char(')'))
                            + QStringLiteral(" order by d.libelle,c.libelle"));
    request.addColumn(QStringLiteral("Domaine"), 2400, QStringLiteral("L"));
    request.addColumn(QStringLiteral("Libellé"), 3600, QStringLiteral("L"));
    request.addColumn(QStringLiteral("Noid"), 700, QStringLiteral("I"));
    const ListAnswer answer = m_chooser(request);
    bool ok = false;
    const qint64 skill = answer.text(2).toLongLong(&ok);
    if (!answer.chosen || !ok || m_resource.skills.contains(skill))
        return;
    m_resource.skills.append(skill);
    m_skillLabels.insert(skill, {answer.text(0), answer.text(1)});
    showSkills();
}

void GesRessources::removeSkill()
{
    QTreeWidgetItem *item = m_skills->currentItem();
    if (!item
        || !m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Confirmez vous la suppression de cette compétence ?"),
                           false))
        return;
    m_resource.skills.removeAll(item->data(0, Qt::UserRole).toLongLong());
    showSkills();
}

// --- icon and profile

void GesRessources::showProfile()
{
    const qint64 profile = m_profiles->currentData().toLongLong();
    m_editProfileButton->setEnabled(profile != 0);
    Outcome shown = m_profileWeek->showProfile(profile);
    shown.merge(m_profileTable->showProfile(profile));
    if (!shown)
        m_prompter.show(shown);
}

void GesRessources::newProfile()
{
    const qint64 created = m_profileEditor(0);
    if (!created)
        return;
    fillProfiles(created);
    showProfile();
}

void GesRessources::editProfile()
{
    const qint64 profile = m_profiles->currentData().toLongLong();
    if (!profile)
        return;
    const qint64 shown = m_profileEditor(profile);
    fillProfiles(shown ? shown : profile);
    showProfile();
}

// --- contracts

void GesRessources::showContracts(qint64 select)
{
    QList<ResourceContract> contracts;
    if (m_resource.number) {
        const Outcome read = ResourceSubRecords::contracts(m_session, m_resource.number, &contracts);
        if (!read)
            m_prompter.show(read);
    }
    {
        const QSignalBlocker blocker(m_contracts);
        m_contracts->clear();
        for (const ResourceContract &c : contracts) {
            auto *item = new QTreeWidgetItem(m_contracts, {c.typeLabel.isEmpty() ? c.type : c.typeLabel, dateText(c.start), dateText(c.end)});
            item->setData(0, Qt::UserRole, c.number);
            if (c.number == select)
                m_contracts->setCurrentItem(item);
        }
    }
    if (m_contracts->currentItem())
        contractChosen(); // the entry shows the row as stored
    else
        newContract();
}

void GesRessources::newContract()
{
    m_contract = 0;
    {
        const QSignalBlocker blocker(m_contracts);
        m_contracts->setCurrentItem(nullptr);
        m_contracts->clearSelection();
    }
    m_contractType->setCurrentIndex(0);
    m_contractStart->setDate({});
    m_contractEnd->setDate({});
    m_contractComment->clear();
}

void GesRessources::contractChosen()
{
    QTreeWidgetItem *item = m_contracts->currentItem();
    if (!item)
        return;
    ResourceContract c;
    const Outcome read = ResourceSubRecords::readContract(m_session, m_resource.number, item->data(0, Qt::UserRole).toLongLong(), &c);
    if (!read) {
        m_prompter.show(read);
        showContracts();
        return;
    }
    m_contract = c.number;
    selectCode(m_contractType, c.type);
    m_contractStart->setDate(c.start);
    m_contractEnd->setDate(c.end);
    m_contractComment->setPlainText(c.comment);
}

void GesRessources::saveContract()
{
    if (m_contractType->currentData().toString().isEmpty()) {
        m_prompter.show(Incomplete, QStringLiteral("Vous devez saisir un type de contrat"), Prompter::Icon::Warning);
        return;
    }
    if (!ownerReady())
        return;
    ResourceContract c;
    c.number = m_contract;
    c.type = m_contractType->currentData().toString();
    c.start = m_contractStart->date();
    c.end = m_contractEnd->date();
    c.comment = m_contractComment->toPlainText();
    const Outcome saved = ResourceSubRecords::saveContract(m_session, m_resource.number, &c);
    m_prompter.show(saved);
    showContracts(saved ? c.number : 0);
}

void GesRessources::removeContract()
{
    if (!m_contract || !m_prompter.ask(Deletion, QStringLiteral("Voulez-vous supprimer ce contrat ?"), false))
        return;
    m_prompter.show(ResourceSubRecords::removeContract(m_session, m_resource.number, m_contract));
    showContracts();
}

// --- memos

void GesRessources::showMemos(qint64 select)
{
    QList<ResourceMemo> memos;
    if (m_resource.number) {
        const Outcome read = ResourceSubRecords::memos(m_session, m_resource.number, &memos);
        if (!read)
            m_prompter.show(read);
    }
    {
        const QSignalBlocker blocker(m_memos);
        m_memos->clear();
        for (const ResourceMemo &m : memos) {
            auto *item = new QTreeWidgetItem(m_memos, {dateText(m.date), m.typeLabel.isEmpty() ? m.type : m.typeLabel, m.title});
            item->setData(0, Qt::UserRole, m.number);
            if (m.number == select)
                m_memos->setCurrentItem(item);
        }
    }
    if (m_memos->currentItem())
        memoChosen(); // the entry shows the row as stored
    else
        newMemo();
}

void GesRessources::newMemo()
{
    m_memo = 0;
    {
        const QSignalBlocker blocker(m_memos);
        m_memos->setCurrentItem(nullptr);
        m_memos->clearSelection();
    }
    m_memoType->setCurrentIndex(0);
    m_memoDate->setDate({});
    m_memoTitle->clear();
    m_memoText->clear();
}

void GesRessources::memoChosen()
{
    QTreeWidgetItem *item = m_memos->currentItem();
    if (!item)
        return;
    ResourceMemo m;
    const Outcome read = ResourceSubRecords::readMemo(m_session, m_resource.number, item->data(0, Qt::UserRole).toLongLong(), &m);
    if (!read) {
        m_prompter.show(read);
        showMemos();
        return;
    }
    m_memo = m.number;
    selectCode(m_memoType, m.type);
    m_memoDate->setDate(m.date);
    m_memoTitle->setText(m.title);
    m_memoText->setPlainText(m.text);
}

void GesRessources::saveMemo()
{
    if (m_memoType->currentData().toString().isEmpty()) {
        m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner au moins le type de mémo !"), Prompter::Icon::Warning);
        return;
    }
    if (!m_memoDate->date().isValid()) {
        m_prompter.show(Incomplete, QStringLiteral("Vous devez renseigner la date !"), Prompter::Icon::Warning);
        return;
    }
    if (!ownerReady())
        return;
    ResourceMemo m;
    m.number = m_memo;
    m.type = m_memoType->currentData().toString();
    m.date = m_memoDate->date();
    m.title = m_memoTitle->text();
    m.text = m_memoText->toPlainText();
    const Outcome saved = ResourceSubRecords::saveMemo(m_session, m_resource.number, &m);
    m_prompter.show(saved);
    showMemos(saved ? m.number : 0);
}

void GesRessources::removeMemo()
{
    if (!m_memo || !m_prompter.ask(Deletion, QStringLiteral("Voulez-vous supprimer ce Mémo ?"), false))
        return;
    m_prompter.show(ResourceSubRecords::removeMemo(m_session, m_resource.number, m_memo));
    showMemos();
}

void GesRessources::moveMemo(int direction)
{
    if (!m_memo)
        return;
    ResourceMemo m;
    Outcome moved = ResourceSubRecords::readMemo(m_session, m_resource.number, m_memo, &m);
    if (moved)
        moved = ResourceSubRecords::moveMemo(m_session, m_resource.number, m_memo, direction);
    m_prompter.show(moved);
    showMemos(moved ? m_memo : 0);
}

void GesRessources::printMemos()
{
    QList<ResourceMemo> memos;
    if (m_resource.number) {
        const Outcome read = ResourceSubRecords::memos(m_session, m_resource.number, &memos);
        if (!read) {
            m_prompter.show(read);
            return;
        }
    }
    if (memos.isEmpty()) {
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Rien à imprimer"), Prompter::Icon::Warning);
        return;
    }
    m_previewer(ResourceSubRecords::memoReport(m_resource.code, memos));
}

// --- dependents

void GesRessources::showDependents(qint64 select)
{
    QList<ResourceDependent> dependents;
    if (m_resource.number) {
        const Outcome read = ResourceSubRecords::dependents(m_session, m_resource.number, &dependents);
        if (!read)
            m_prompter.show(read);
    }
    {
        const QSignalBlocker blocker(m_dependents);
        m_dependents->clear();
        for (const ResourceDependent &d : dependents) {
            auto *item = new QTreeWidgetItem(m_dependents, {d.surname, d.firstName, d.kinshipLabel.isEmpty() ? d.kinship : d.kinshipLabel,
                                                            dateText(d.birth)});
            item->setData(0, Qt::UserRole, d.number);
            if (d.number == select)
                m_dependents->setCurrentItem(item);
        }
    }
    if (m_dependents->currentItem())
        dependentChosen(); // the entry shows the row as stored
    else
        newDependent();
}

void GesRessources::newDependent()
{
    m_dependent = 0;
    {
        const QSignalBlocker blocker(m_dependents);
        m_dependents->setCurrentItem(nullptr);
        m_dependents->clearSelection();
    }
    m_dependentCivility->setCurrentIndex(0);
    m_dependentSurname->clear();
    m_dependentFirstName->clear();
    m_kinship->setCurrentIndex(0);
    m_dependentBirth->setDate({});
}

void GesRessources::dependentChosen()
{
    QTreeWidgetItem *item = m_dependents->currentItem();
    if (!item)
        return;
    ResourceDependent d;
    const Outcome read =
        ResourceSubRecords::readDependent(m_session, m_resource.number, item->data(0, Qt::UserRole).toLongLong(), &d);
    if (!read) {
        m_prompter.show(read);
        showDependents();
        return;
    }
    m_dependent = d.number;
    m_dependentCivility->setCurrentIndex(std::clamp(d.civility, 0, 2));
    m_dependentSurname->setText(d.surname);
    m_dependentFirstName->setText(d.firstName);
    selectCode(m_kinship, d.kinship);
    m_dependentBirth->setDate(d.birth);
}

void GesRessources::saveDependent()
{
    if (!ownerReady())
        return;
    ResourceDependent d;
    d.number = m_dependent;
    d.civility = std::max(0, m_dependentCivility->currentIndex());
    d.surname = m_dependentSurname->text();
    d.firstName = m_dependentFirstName->text();
    d.kinship = m_kinship->currentData().toString();
    d.birth = m_dependentBirth->date();
    const Outcome saved = ResourceSubRecords::saveDependent(m_session, m_resource.number, &d);
    m_prompter.show(saved);
    showDependents(saved ? d.number : 0);
}

void GesRessources::removeDependent()
{
    if (!m_dependent || !m_prompter.ask(Deletion, QStringLiteral("Voulez-vous supprimer cet ayant ?"), false))
        return;
    m_prompter.show(ResourceSubRecords::removeDependent(m_session, m_resource.number, m_dependent));
    showDependents();
}
