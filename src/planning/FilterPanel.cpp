#include "planning/FilterPanel.h"

#include "core/Database.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColourValue.h"
#include "core/widgets/DateField.h"
#include "planning/MultiChoiceButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

namespace {

QString lowerFirst(const QString &text)
{
    return text.isEmpty() ? text : text.left(1).toLower() + text.mid(1);
}

} // namespace

FilterPanel::FilterPanel(Session &session, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_session(session), m_prompter(prompter), m_grid(new QGridLayout(this))
{
    m_grid->setContentsMargins(4, 2, 4, 2);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(3);
    const Terms &terms = session.terms();

    m_presentation = new QComboBox(this);
    m_presentation->setObjectName(QStringLiteral("ComboPres"));
    for (Entity e : {Entity::Ressource, Entity::Client, Entity::Tache})
        m_presentation->addItem(e == Entity::Tache ? QStringLiteral("Par type de ") + lowerFirst(terms.singular(e))
                                                   : QStringLiteral("Par ") + lowerFirst(terms.singular(e)));
    connect(m_presentation, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling)
            emit presentationChanged(Presentation(index));
    });

    m_date = new DateField(this);
    m_date->setObjectName(QStringLiteral("TextDate"));
    m_date->setPrompter(&prompter);
    connect(m_date, &DateField::dateChanged, this, [this](const QDate &date) {
        // A date typed wrong leaves the previous one; an emptied field means today.
        QDate chosen = date;
        if (!chosen.isValid())
            chosen = m_date->text().trimmed().isEmpty() && m_lastDate.isValid() ? m_lastDate : QDate::currentDate();
        if (!date.isValid()) {
            const QSignalBlocker quiet(m_date);
            m_date->setDate(chosen);
        }
        if (chosen != m_lastDate) {
            m_lastDate = chosen;
            if (!m_filling)
                emit startDateChanged(chosen);
        }
    });
    const char *names[] = {"GaucheToute", "DateMoins", "DatePlus", "DroiteToute"};
    const Qt::ArrowType arrows[] = {Qt::LeftArrow, Qt::LeftArrow, Qt::RightArrow, Qt::RightArrow};
    const char *tips[] = {"Période précédente", "Jour précédent", "Jour suivant", "Période suivante"};
    const int steps[] = {-2, -1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(names[i]));
        button->setToolTip(QString::fromUtf8(tips[i]));
        if (i == 0 || i == 3)
            button->setText(i == 0 ? QStringLiteral("«") : QStringLiteral("»"));
        else
            button->setArrowType(arrows[i]);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, step = steps[i]] { emit dateStep(step); });
        m_dateButtons[i] = button;
    }
    m_days = new QSpinBox(this);
    m_days->setObjectName(QStringLiteral("TxtNbJours"));
    m_days->setRange(1, 732);
    m_days->setSuffix(QStringLiteral(" j"));
    m_days->setToolTip(QStringLiteral("Nombre de jours affichés"));
    m_days->setKeyboardTracking(false);
    connect(m_days, &QSpinBox::valueChanged, this, [this](int days) {
        if (!m_filling)
            emit nbJoursChanged(days);
    });

    makeList(FilterId::Equipe, QStringLiteral("Toutes"));
    makeList(FilterId::Zone, QStringLiteral("Toutes"));
    makeList(FilterId::Client, QStringLiteral("Tous"));
    makeList(FilterId::Etat, QStringLiteral("Tous"));
    makeList(FilterId::Projet, QStringLiteral("Tous les projets"));
    makeList(FilterId::Secteur, QStringLiteral("Tous"));
    makeList(FilterId::Etape, QStringLiteral("Toutes"));
    makeList(FilterId::Cloture, QStringLiteral("Tous"));
    makeList(FilterId::Urgence, QStringLiteral("Toutes"));
    makeList(FilterId::Entreprise, QStringLiteral("Toutes"));
    m_kinds = new MultiChoiceButton(terms.singular(Entity::Ressource), this);
    m_kinds->setObjectName(QStringLiteral("Ressource"));
    m_kinds->setChoices({{QStringLiteral("Humain"), 0}, {QStringLiteral("Matériel"), 1}, {QStringLiteral("à définir"), 2}});
    m_types = new MultiChoiceButton(terms.singular(Entity::Tache), this);
    m_types->setObjectName(QStringLiteral("Tache"));
    for (MultiChoiceButton *b : {m_kinds, m_types})
        connect(b, &MultiChoiceButton::changed, this, [this] {
            if (!m_filling)
                emit filtersChanged();
        });

    // Every control lives in its cell from the start, so that a hidden filter leaves nothing behind.
    for (FilterId id : FilterLayout::allFilters())
        cell(id)->hide();
    m_lists.value(FilterId::Client)->addItems({terms.plural(Entity::Societe), terms.plural(Entity::Particulier)});
    m_lists.value(FilterId::Etat)->addItems({QStringLiteral("Effectué"), QStringLiteral("Non Effectué")});
    m_lists.value(FilterId::Cloture)->addItems({QStringLiteral("Non clôturé"), QStringLiteral("Clôturé")});
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QComboBox *FilterPanel::makeList(FilterId id, const QString &all)
{
    auto *list = new QComboBox(this);
    list->setObjectName(FilterLayout::key(id));
    list->addItem(all);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(14);
    connect(list, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            emit filtersChanged();
    });
    m_lists.insert(id, list);
    return list;
}

bool FilterPanel::fill(QComboBox *list, const QString &sql, const QString &error, bool coloured, bool numeric)
{
    const QVariant current = list->currentData();
    while (list->count() > 1 + (list == m_lists.value(FilterId::Zone) ? 1 : 0))
        list->removeItem(list->count() - 1);
    ResultSet rows;
    if (!m_session.database()->query(sql, rows)) {
        m_prompter.show(Outcome::failure(QStringLiteral("Erreur"), error, m_session.database()->lastError()));
        return false;
    }
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString key = rows.value(r, 0).trimmed();
        const QString label = rows.columnCount() > 1 ? rows.value(r, 1).trimmed() : key;
        list->addItem(label.isEmpty() ? key : label, numeric ? QVariant(key.toLongLong()) : QVariant(key));
        if (coloured) {
            list->setItemData(list->count() - 1, colourFromValue(rows.toInt(r, 2)), Qt::BackgroundRole);
            list->setItemData(list->count() - 1, colourFromValue(rows.toInt(r, 3)), Qt::ForegroundRole);
        }
    }
    const int again = current.isValid() ? list->findData(current) : -1;
    list->setCurrentIndex(again >= 0 ? again : 0);
    return true;
}

void FilterPanel::rebuild()
{
    m_filling = true;
    QComboBox *zones = m_lists.value(FilterId::Zone);
    if (zones->count() == 1)
        zones->addItem(QStringLiteral("Défaut"), 0);
    fill(m_lists.value(FilterId::Equipe), QStringLiteral("select e.noequipe,e.libequipe from kp_equipes e order by e.libequipe"),
         QStringLiteral("Erreur lors de la lecture des équipes"), false, true);
    fill(zones, QStringLiteral("select noidzone,libzone,coulfond,coultexte  from kp_zones order by libzone"),
         QStringLiteral("Erreur lors de la lecture des zones"), true, true);
    fill(m_lists.value(FilterId::Urgence), QStringLiteral("select code,libelle,coulfond,coultexte from kp_urgences order by libelle"),
         QStringLiteral("Erreur lors de la lecture des urgences"), true, false);
    fill(m_lists.value(FilterId::Projet), QStringLiteral("select code,libelle from kp_projets order by libelle"),
         QStringLiteral("Erreur lors de la lecture des projets"), false, false);
    fill(m_lists.value(FilterId::Secteur), QStringLiteral("select code,libelle from kp_secteurs order by libelle"),
         QStringLiteral("Erreur lors de la lecture des secteurs"), false, false);
    fill(m_lists.value(FilterId::Entreprise), QStringLiteral("select distinct libsoc from kp_societes order by libsoc"),
         QStringLiteral("Erreur lors de la lecture des entreprises"), false, false);
    fill(m_lists.value(FilterId::Etape), QStringLiteral("select e.noetape,e.libetape from kp_etapes e order by e.libetape"),
         QStringLiteral("Erreur lors de la lecture des étapes"), false, true);
    ResultSet types;
    QList<QPair<QString, qint64>> choices;
    if (m_session.database()->query(QStringLiteral("select noidtache,libtache from kp_taches order by libtache"), types))
        for (int r = 0; r < types.rowCount(); ++r)
            choices.append({types.value(r, 1).trimmed(), types.toLongLong(r, 0)});
    else
        m_prompter.show(Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des types de tâches"),
                                         m_session.database()->lastError()));
    m_types->setChoices(choices);
    m_filling = false;
    layOut();
}

QWidget *FilterPanel::cell(FilterId id)
{
    if (QWidget *existing = m_cells.value(id))
        return existing;
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto *label = new QLabel(FilterLayout::label(id, m_session.terms()) + QStringLiteral(" :"), box);
    row->addWidget(label);
    QWidget *control = nullptr;
    switch (id) {
    case FilterId::Presentation: control = m_presentation; break;
    case FilterId::Date: {
        row->addWidget(m_dateButtons[0]);
        row->addWidget(m_dateButtons[1]);
        row->addWidget(m_date);
        row->addWidget(m_dateButtons[2]);
        row->addWidget(m_dateButtons[3]);
        control = m_days;
        break;
    }
    case FilterId::Ressource: control = m_kinds; break;
    case FilterId::Tache: control = m_types; break;
    default: control = m_lists.value(id); break;
    }
    label->setBuddy(control);
    row->addWidget(control, 1);
    m_cells.insert(id, box);
    return box;
}

void FilterPanel::layOut()
{
    const FilterLayout layout = FilterLayout::read(m_session.settings());
    for (QWidget *c : std::as_const(m_cells)) {
        m_grid->removeWidget(c);
        c->hide();
    }
    for (const FilterLayout::Cell &c : layout.cells()) {
        QWidget *w = cell(c.id);
        m_grid->addWidget(w, c.row, c.column);
        w->show();
    }
    for (int column = 0; column < 4; ++column)
        m_grid->setColumnStretch(column, column < layout.columns ? 1 : 0);
}

FilterChoice FilterPanel::choice() const
{
    FilterChoice c;
    const auto index = [this](FilterId id) { return m_lists.value(id)->currentIndex(); };
    const auto data = [this](FilterId id) { return m_lists.value(id)->currentData(); };
    const auto show = [&](FilterId id, const QString &text) { c.shown.insert(id, text); };
    const auto shownList = [&](FilterId id) {
        if (index(id) > 0)
            show(id, m_lists.value(id)->currentText());
    };
    if (index(FilterId::Equipe) > 0)
        c.team = data(FilterId::Equipe).toLongLong();
    c.clientType = index(FilterId::Client);
    if (index(FilterId::Secteur) > 0)
        c.sector = data(FilterId::Secteur).toString();
    if (index(FilterId::Projet) > 0)
        c.project = data(FilterId::Projet).toString();
    c.doneState = index(FilterId::Etat);
    if (index(FilterId::Zone) > 0)
        c.zone = data(FilterId::Zone).toInt();
    if (index(FilterId::Urgence) > 0)
        c.urgency = data(FilterId::Urgence).toString();
    if (index(FilterId::Entreprise) > 0)
        c.company = data(FilterId::Entreprise).toString();
    for (qint64 k : m_kinds->checked())
        c.resourceKinds.append(int(k));
    c.taskTypes = m_types->checked();
    c.closure = index(FilterId::Cloture) - 1;
    if (index(FilterId::Etape) > 0)
        c.stage = data(FilterId::Etape).toLongLong();
    for (FilterId id : {FilterId::Equipe, FilterId::Zone, FilterId::Client, FilterId::Etat, FilterId::Projet,
                        FilterId::Secteur, FilterId::Etape, FilterId::Cloture, FilterId::Urgence, FilterId::Entreprise})
        shownList(id);
    if (!m_kinds->checkedText().isEmpty())
        show(FilterId::Ressource, m_kinds->checkedText());
    if (!m_types->checkedText().isEmpty())
        show(FilterId::Tache, m_types->checkedText());
    return c;
}

Presentation FilterPanel::presentation() const
{
    return Presentation(qMax(0, m_presentation->currentIndex()));
}

void FilterPanel::setPresentation(Presentation presentation)
{
    const QSignalBlocker quiet(m_presentation);
    m_presentation->setCurrentIndex(int(presentation));
}

QDate FilterPanel::startDate() const
{
    return m_lastDate;
}

void FilterPanel::setStartDate(const QDate &date)
{
    m_lastDate = date;
    const QSignalBlocker quiet(m_date);
    m_date->setDate(date);
}

int FilterPanel::nbJours() const
{
    return m_days->value();
}

void FilterPanel::setNbJours(int days)
{
    const QSignalBlocker quiet(m_days);
    m_days->setValue(days);
}
