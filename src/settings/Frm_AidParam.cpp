#include "settings/Frm_AidParam.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/HourMinuteEdit.h"
#include "resources/HoursStore.h"
#include "settings/NewFileDatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QWizardPage *titledPage(const QString &title)
{
    auto *p = new QWizardPage;
    p->setTitle(title);
    return p;
}

HourMinuteEdit *hourBox(const QString &time, QWidget *parent)
{
    auto *box = new HourMinuteEdit(parent);
    box->setTime(time);
    return box;
}

QWidget *pair(HourMinuteEdit *a, HourMinuteEdit *b, QWidget *parent)
{
    auto *w = new QWidget(parent);
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(a);
    row->addWidget(new QLabel(QStringLiteral("à"), w));
    row->addWidget(b);
    row->addStretch();
    return w;
}

} // namespace

Frm_AidParam::Frm_AidParam(Session &session, Prompter &prompter, QWidget *parent)
    : QWizard(parent), m_session(session), m_prompter(prompter)
{
    setObjectName(QStringLiteral("Frm_AidParam"));
    setWindowTitle(QStringLiteral("Aide au paramétrage"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setButtonText(QWizard::NextButton, QStringLiteral("&Suivant >"));
    setButtonText(QWizard::BackButton, QStringLiteral("< &Précédent"));
    setButtonText(QWizard::FinishButton, QStringLiteral("&Créer la base"));
    setButtonText(QWizard::CancelButton, QStringLiteral("&Annuler"));
    resize(640, 480);
    addPage(namePage());
    addPage(hoursPage());
    addPage(countsPage());
    addPage(taskTypesPage());
    addPage(urgenciesPage());
    FieldNavigation::install(this);
}

QWizardPage *Frm_AidParam::namePage()
{
    QWizardPage *p = titledPage(QStringLiteral("Votre base de données"));
    auto *intro = new QLabel(QStringLiteral("Cet assistant crée une nouvelle base de données sur ce poste et la remplit d'un premier jeu "
                                            "de données que vous compléterez ensuite.\n\nPour une base sur un serveur (SQL Server, MySQL), "
                                            "demandez les paramètres de connexion à la personne qui administre ce serveur, puis utilisez "
                                            "le menu Connexion."),
                             p);
    intro->setWordWrap(true);
    m_name = new QLineEdit(p);
    m_folder = new QLineEdit(QFileInfo(QDir::homePath()).absoluteFilePath(), p);
    auto *browse = new QToolButton(p);
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Répertoire d'installation"), m_folder->text());
        if (!folder.isEmpty())
            m_folder->setText(folder);
    });
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    auto *layout = new QVBoxLayout(p);
    layout->addWidget(intro);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("Nom de la base de données :"), p));
    layout->addWidget(m_name);
    layout->addWidget(new QLabel(QStringLiteral("Sélectionnez le répertoire d'installation :"), p));
    layout->addLayout(folderRow);
    layout->addStretch();
    return p;
}

QWizardPage *Frm_AidParam::hoursPage()
{
    QWizardPage *p = titledPage(QStringLiteral("Horaires de l'entreprise"));
    const CompanyHours d;
    m_start = hourBox(d.hordeb, p);
    m_end = hourBox(d.horfin, p);
    m_length = hourBox(d.durjour, p);
    m_firstHalfStart = hourBox(d.hordmatmens, p);
    m_firstHalfEnd = hourBox(d.horfmatmens, p);
    m_secondHalfStart = hourBox(d.hordapmens, p);
    m_secondHalfEnd = hourBox(d.horfapmens, p);
    m_dayStart = hourBox(d.hordmatann, p);
    m_dayEnd = hourBox(d.horfapann, p);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Heure de début de travail dans l'entreprise :"), m_start);
    form->addRow(QStringLiteral("Heure de fin de travail dans l'entreprise :"), m_end);
    form->addRow(QStringLiteral("Durée d'une journée de travail :"), m_length);
    form->addRow(QStringLiteral("Horaires première moitié :"), pair(m_firstHalfStart, m_firstHalfEnd, p));
    form->addRow(QStringLiteral("Horaires deuxième moitié :"), pair(m_secondHalfStart, m_secondHalfEnd, p));
    form->addRow(QStringLiteral("Horaires journée :"), pair(m_dayStart, m_dayEnd, p));
    auto *days = new QHBoxLayout;
    const QStringList names = {QStringLiteral("Lun"), QStringLiteral("Mar"), QStringLiteral("Mer"), QStringLiteral("Jeu"),
                               QStringLiteral("Ven"), QStringLiteral("Sam"), QStringLiteral("Dim")};
    for (int i = 0; i < 7; ++i) {
        m_weekdays.append(new QCheckBox(names[i], p));
        m_weekdays.last()->setChecked(d.jourstrav.at(i) == QLatin1Char('1'));
        days->addWidget(m_weekdays.last());
    }
    days->addStretch();
    auto *layout = new QVBoxLayout(p);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Quels sont les jours travaillés de votre entreprise ?"), p));
    layout->addLayout(days);
    layout->addStretch();
    return p;
}

QWizardPage *Frm_AidParam::countsPage()
{
    QWizardPage *p = titledPage(QStringLiteral("Premières fiches"));
    const Terms &t = m_session.terms();
    const StartingSet d;
    const QList<QPair<QString, int>> rows = {{QStringLiteral("Nombre de ") + t.plural(Entity::Ressource) + QStringLiteral(" humaines :"), d.people},
                                             {QStringLiteral("Nombre de ") + t.plural(Entity::Ressource) + QStringLiteral(" matérielles :"), d.equipment},
                                             {QStringLiteral("Nombre de ") + t.plural(Entity::Societe) + QStringLiteral(" :"), d.companies},
                                             {QStringLiteral("Nombre de ") + t.plural(Entity::Particulier) + QStringLiteral(" :"), d.individuals}};
    auto *form = new QFormLayout(p);
    for (const auto &[label, value] : rows) {
        auto *box = new QSpinBox(p);
        box->setRange(0, StartingSet::MaxCount);
        box->setValue(value);
        m_counts.append(box);
        form->addRow(label, box);
    }
    return p;
}

QWizardPage *Frm_AidParam::taskTypesPage()
{
    QWizardPage *p = titledPage(QStringLiteral("Types de ") + m_session.terms().plural(Entity::Tache).toLower());
    auto *layout = new QVBoxLayout(p);
    layout->addWidget(new QLabel(QStringLiteral("Définissez quelques tâches courantes :"), p));
    for (const QString &label : StartingSet().taskTypes) {
        m_taskTypes.append(new QLineEdit(label, p));
        layout->addWidget(m_taskTypes.last());
    }
    layout->addStretch();
    return p;
}

QWizardPage *Frm_AidParam::urgenciesPage()
{
    QWizardPage *p = titledPage(QStringLiteral("Urgences"));
    auto *layout = new QVBoxLayout(p);
    layout->addWidget(new QLabel(QStringLiteral("Définissez quelques caractéristiques courantes :"), p));
    for (const QString &label : StartingSet().urgencies) {
        m_urgencies.append(new QLineEdit(label, p));
        layout->addWidget(m_urgencies.last());
    }
    layout->addStretch();
    return p;
}

QString Frm_AidParam::targetPath() const
{
    return QDir(m_folder->text().trimmed()).filePath(m_name->text().trimmed() + QStringLiteral(".qdb"));
}

StartingSet Frm_AidParam::startingSet() const
{
    StartingSet s;
    s.hours.hordeb = m_start->time();
    s.hours.horfin = m_end->time();
    s.hours.durjour = m_length->time();
    s.hours.hordmatmens = m_firstHalfStart->time();
    s.hours.horfmatmens = m_firstHalfEnd->time();
    s.hours.hordapmens = m_secondHalfStart->time();
    s.hours.horfapmens = m_secondHalfEnd->time();
    s.hours.hordmatann = m_dayStart->time();
    s.hours.horfapann = m_dayEnd->time();
    s.hours.jourstrav.clear();
    for (QCheckBox *day : m_weekdays)
        s.hours.jourstrav += day->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    s.people = m_counts[0]->value();
    s.equipment = m_counts[1]->value();
    s.companies = m_counts[2]->value();
    s.individuals = m_counts[3]->value();
    for (int i = 0; i < m_taskTypes.size(); ++i)
        s.taskTypes[i] = m_taskTypes[i]->text().trimmed();
    for (int i = 0; i < m_urgencies.size(); ++i)
        s.urgencies[i] = m_urgencies[i]->text().trimmed();
    return s;
}

bool Frm_AidParam::validateCurrentPage()
{
    if (currentId() == 0) {
        if (m_name->text().trimmed().isEmpty()) {
            m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Vous devez entrer un nom pour votre base de données"),
                            Prompter::Icon::Warning);
            return false;
        }
        if (m_name->text().contains(QLatin1Char('/'))) {
            m_prompter.show(QStringLiteral("Incorrect"), QStringLiteral("Le nom de la base ne peut pas contenir de « / »"), Prompter::Icon::Warning);
            return false;
        }
        const Outcome target = NewFileDatabase::checkTarget(targetPath());
        if (!target) {
            m_prompter.show(target);
            return false;
        }
    }
    if (currentId() == 1) {
        // The company-hours rules, on their own page rather than at the end.
        const Outcome hours = HoursStore::checkCompanyHours(startingSet().hours);
        if (!hours) {
            m_prompter.show(hours);
            return false;
        }
    }
    if (currentId() == pageIds().last())
        return create();
    return QWizard::validateCurrentPage();
}

bool Frm_AidParam::create()
{
    const StartingSet set = startingSet();
    const QString path = targetPath();
    const Outcome made = NewFileDatabase::create(path, [&set](Session &session) { return set.write(session); });
    if (!made) {
        m_prompter.show(made);
        return false;
    }
    NewFileDatabase::useFile(m_session.settings(), path);
    m_created = path;
    return true;
}
