#include "tasks/Frm_Periode.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/DateField.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/HourMinuteEdit.h"
#include "resources/WorkingTime.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

// The preview's rows: "No", "Date Deb", "Date Fin".
class OccurrenceModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setOccurrences(QList<Occurrence> occurrences)
    {
        beginResetModel();
        m_rows = std::move(occurrences);
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const Occurrence &o = m_rows.at(index.row());
        switch (index.column()) {
        case 0: return o.number;
        case 1: return o.startText();
        default: return o.endText();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        static const QStringList titles = {QStringLiteral("No"), QStringLiteral("Date Deb"), QStringLiteral("Date Fin")};
        return titles.value(section);
    }

private:
    QList<Occurrence> m_rows;
};

namespace {

QLineEdit *numberBox(int top, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setValidator(new QIntValidator(0, top, box));
    box->setMaxLength(QString::number(top).size());
    box->setMaximumWidth(48);
    return box;
}

// An empty or zero step means one.
int stepOf(const QLineEdit *box)
{
    return qMax(1, box->text().toInt());
}

QString checkedMask(QCheckBox *const *boxes, int count)
{
    QString m;
    for (int i = 0; i < count; ++i)
        m += boxes[i]->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    return m;
}

QHBoxLayout *row(QWidget *parent = nullptr)
{
    auto *r = parent ? new QHBoxLayout(parent) : new QHBoxLayout;
    r->setContentsMargins(0, 0, 0, 0);
    return r;
}

} // namespace

Frm_Periode::Frm_Periode(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("Périodicité"));

    // Times of every occurrence.
    auto *times = new QGroupBox(QStringLiteral("Horaires"), this);
    m_start = new HourMinuteEdit(times);
    m_end = new HourMinuteEdit(times);
    m_decalJour = new QComboBox(times);
    m_decalJour->addItem(QStringLiteral("J"));
    for (int i = 1; i <= 7; ++i)
        m_decalJour->addItem(QStringLiteral("J+%1").arg(i));
    QHBoxLayout *timesRow = row(times);
    timesRow->setContentsMargins(9, 9, 9, 9);
    timesRow->addWidget(new QLabel(QStringLiteral("Début :"), times));
    timesRow->addWidget(m_start);
    timesRow->addSpacing(16);
    timesRow->addWidget(new QLabel(QStringLiteral("Fin :"), times));
    timesRow->addWidget(m_decalJour);
    timesRow->addWidget(m_end);
    timesRow->addStretch();

    // The kind of recurrence and its panel.
    auto *recurrence = new QGroupBox(QStringLiteral("Périodicité"), this);
    auto *kinds = new QVBoxLayout;
    auto *kindGroup = new QButtonGroup(this);
    const QStringList kindNames = {QStringLiteral("Quotidienne"), QStringLiteral("Hebdomadaire"),
                                   QStringLiteral("Mensuelle"), QStringLiteral("Annuelle")};
    for (int i = 0; i < 4; ++i) {
        m_kinds[i] = new QRadioButton(kindNames[i], recurrence);
        kindGroup->addButton(m_kinds[i], i);
        kinds->addWidget(m_kinds[i]);
    }
    kinds->addStretch();
    m_panels = new QStackedWidget(recurrence);
    m_panels->addWidget(dailyPanel());
    m_panels->addWidget(weeklyPanel());
    m_panels->addWidget(monthlyPanel());
    m_panels->addWidget(yearlyPanel());
    auto *recurrenceRow = new QHBoxLayout(recurrence);
    recurrenceRow->addLayout(kinds);
    auto *line = new QFrame(recurrence);
    line->setFrameShape(QFrame::VLine);
    recurrenceRow->addWidget(line);
    recurrenceRow->addWidget(m_panels, 1);
    connect(kindGroup, &QButtonGroup::idClicked, this, &Frm_Periode::showKind);
    for (int i = 0; i < 4; ++i)
        connect(m_kinds[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                showKind(i);
        });

    // The series' first and last day.
    auto *range = new QGroupBox(QStringLiteral("Plage de périodicité"), this);
    m_dateDeb = new DateField(range);
    m_noEnd = new QRadioButton(QStringLiteral("Pas de date de fin"), range);
    m_endsOn = new QRadioButton(QStringLiteral("Fin le :"), range);
    m_dateFin = new DateField(range);
    m_dateDeb->setPrompter(&m_prompter);
    m_dateFin->setPrompter(&m_prompter);
    QHBoxLayout *rangeRow = row(range);
    rangeRow->setContentsMargins(9, 9, 9, 9);
    rangeRow->addWidget(new QLabel(QStringLiteral("Début :"), range));
    rangeRow->addWidget(m_dateDeb);
    rangeRow->addSpacing(16);
    rangeRow->addWidget(m_noEnd);
    rangeRow->addWidget(m_endsOn);
    rangeRow->addWidget(m_dateFin);
    rangeRow->addStretch();
    connect(m_endsOn, &QRadioButton::toggled, m_dateFin, &QWidget::setEnabled);

    // The preview.
    auto *tester = new QGroupBox(QStringLiteral("Test de la périodicité"), this);
    m_dtDebTest = new DateField(tester);
    m_dtFinTest = new DateField(tester);
    m_dtDebTest->setPrompter(&m_prompter);
    m_dtFinTest->setPrompter(&m_prompter);
    m_tester = new QPushButton(QStringLiteral("Tester"), tester);
    m_tester->setAutoDefault(false);
    m_model = new OccurrenceModel(this);
    m_preview = new QTableView(tester);
    m_preview->setModel(m_model);
    m_preview->verticalHeader()->hide();
    m_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->setColumnWidth(0, 50);
    m_preview->setColumnWidth(1, 150);
    auto *testLayout = new QVBoxLayout(tester);
    QHBoxLayout *testRow = row();
    testRow->addWidget(new QLabel(QStringLiteral("Du"), tester));
    testRow->addWidget(m_dtDebTest);
    testRow->addWidget(new QLabel(QStringLiteral("au"), tester));
    testRow->addWidget(m_dtFinTest);
    testRow->addWidget(m_tester);
    testRow->addStretch();
    testLayout->addLayout(testRow);
    testLayout->addWidget(m_preview);
    connect(m_tester, &QPushButton::clicked, this, &Frm_Periode::test);

    auto *valider = new QPushButton(QStringLiteral("&Valider"), this);
    auto *annuler = new QPushButton(QStringLiteral("&Annuler"), this);
    valider->setAutoDefault(false);
    annuler->setAutoDefault(false);
    connect(valider, &QPushButton::clicked, this, &Frm_Periode::validate);
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);
    QHBoxLayout *buttons = row();
    buttons->addStretch();
    buttons->addWidget(valider);
    buttons->addWidget(annuler);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(times);
    layout->addWidget(recurrence);
    layout->addWidget(range);
    layout->addWidget(tester, 1);
    layout->addLayout(buttons);
    resize(640, 640);
    FieldNavigation::install(this);

    // The company's working weekdays start checked and drive the working-day kind.
    CompanyHours company;
    if (session.database()) {
        const Outcome read = CompanyHours::read(*session.database(), &company);
        if (!read)
            m_prompter.show(read);
    }
    m_workingDayMask = company.jourstrav;
    PeriodRule fresh;
    fresh.jour = m_workingDayMask;
    fresh.datedeb = QDate::currentDate();
    setRule(fresh);
    m_dtDebTest->setDate(fresh.datedeb);
    m_dtFinTest->setDate(fresh.datedeb.addMonths(3));
}

QWidget *Frm_Periode::dailyPanel()
{
    auto *panel = new QWidget(this);
    m_everyNDays = new QRadioButton(QStringLiteral("Tous les"), panel);
    m_tousLesJours = numberBox(32767, panel);
    m_workingDays = new QRadioButton(QStringLiteral("Tous les jours ouvrables"), panel);
    auto *layout = new QVBoxLayout(panel);
    QHBoxLayout *every = row();
    every->addWidget(m_everyNDays);
    every->addWidget(m_tousLesJours);
    every->addWidget(new QLabel(QStringLiteral("jour(s)"), panel));
    every->addStretch();
    layout->addLayout(every);
    layout->addWidget(m_workingDays);
    layout->addStretch();
    connect(m_everyNDays, &QRadioButton::toggled, m_tousLesJours, &QWidget::setEnabled);
    return panel;
}

QWidget *Frm_Periode::weeklyPanel()
{
    auto *panel = new QWidget(this);
    m_toutesLesSem = numberBox(999, panel);
    auto *layout = new QVBoxLayout(panel);
    QHBoxLayout *every = row();
    every->addWidget(new QLabel(QStringLiteral("Toutes les"), panel));
    every->addWidget(m_toutesLesSem);
    every->addWidget(new QLabel(QStringLiteral("semaine(s), le :"), panel));
    every->addStretch();
    layout->addLayout(every);
    auto *days = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        m_weekdays[i] = new QCheckBox(Periodicity::weekdayName(i), panel);
        days->addWidget(m_weekdays[i], i / 4, i % 4);
    }
    layout->addLayout(days);
    layout->addStretch();
    return panel;
}

QWidget *Frm_Periode::monthlyPanel()
{
    auto *panel = new QWidget(this);
    m_dayOfMonth = new QRadioButton(QStringLiteral("Le"), panel);
    m_tousLesMois = numberBox(31, panel);
    m_monthEnd = new QRadioButton(QStringLiteral("Le"), panel);
    m_jourMois = new QComboBox(panel);
    m_jourMois->addItem(QStringLiteral("Dernier jour du mois"));
    for (int i = 1; i <= 5; ++i)
        m_jourMois->addItem(QStringLiteral("Dernier jour du mois-%1").arg(i));
    auto *layout = new QVBoxLayout(panel);
    QHBoxLayout *day = row();
    day->addWidget(m_dayOfMonth);
    day->addWidget(m_tousLesMois);
    day->addWidget(new QLabel(QStringLiteral("du mois"), panel));
    day->addSpacing(16);
    day->addWidget(m_monthEnd);
    day->addWidget(m_jourMois);
    day->addStretch();
    layout->addLayout(day);
    auto *months = new QGridLayout;
    for (int i = 0; i < 12; ++i) {
        m_months[i] = new QCheckBox(Periodicity::monthName(i), panel);
        months->addWidget(m_months[i], i / 4, i % 4);
    }
    layout->addLayout(months);
    layout->addStretch();
    connect(m_dayOfMonth, &QRadioButton::toggled, m_tousLesMois, &QWidget::setEnabled);
    connect(m_monthEnd, &QRadioButton::toggled, m_jourMois, &QWidget::setEnabled);
    return panel;
}

QWidget *Frm_Periode::yearlyPanel()
{
    auto *panel = new QWidget(this);
    m_tousLesAns = numberBox(31, panel);
    m_moisAn = new QComboBox(panel);
    for (int i = 0; i < 12; ++i)
        m_moisAn->addItem(Periodicity::monthName(i));
    auto *layout = new QVBoxLayout(panel);
    QHBoxLayout *day = row();
    day->addWidget(new QLabel(QStringLiteral("Chaque année, le"), panel));
    day->addWidget(m_tousLesAns);
    day->addWidget(m_moisAn);
    day->addStretch();
    layout->addLayout(day);
    layout->addStretch();
    return panel;
}

void Frm_Periode::showKind(int kind)
{
    m_panels->setCurrentIndex(kind);
}

void Frm_Periode::setRule(const PeriodRule &r)
{
    m_start->setTime(r.hordeb);
    m_end->setTime(r.horfin);
    m_decalJour->setCurrentIndex(qBound(0, r.jourfin, 7));
    const int kind = qBound(0, r.periodicite, 3);
    m_kinds[kind]->setChecked(true);
    showKind(kind);
    m_tousLesJours->setText(QString::number(r.jourquot));
    (r.typequot == 1 ? m_workingDays : m_everyNDays)->setChecked(true);
    m_tousLesJours->setEnabled(r.typequot != 1);
    m_toutesLesSem->setText(QString::number(r.jourhebdo));
    for (int i = 0; i < 7; ++i)
        m_weekdays[i]->setChecked(r.jour.mid(i, 1) == QLatin1String("1"));
    (r.typemois == 1 ? m_monthEnd : m_dayOfMonth)->setChecked(true);
    m_tousLesMois->setText(QString::number(r.jourmois));
    m_tousLesMois->setEnabled(r.typemois != 1);
    m_jourMois->setCurrentIndex(qBound(0, r.jourfinmois, 5));
    m_jourMois->setEnabled(r.typemois == 1);
    for (int i = 0; i < 12; ++i)
        m_months[i]->setChecked(r.mois.mid(i, 1) == QLatin1String("1"));
    m_tousLesAns->setText(QString::number(r.jourmoisan));
    m_moisAn->setCurrentIndex(qBound(0, r.moisan, 11));
    m_dateDeb->setDate(r.datedeb);
    // The end option follows whether the rule has a last day.
    (r.hasEnd() ? m_endsOn : m_noEnd)->setChecked(true);
    m_dateFin->setDate(r.datefin);
    m_dateFin->setEnabled(r.hasEnd());
    m_accepted = r;
}

PeriodRule Frm_Periode::rule() const
{
    PeriodRule r;
    r.noid = m_accepted.noid;
    r.hordeb = m_start->time();
    r.horfin = m_end->time();
    r.jourfin = m_decalJour->currentIndex();
    for (int i = 0; i < 4; ++i)
        if (m_kinds[i]->isChecked())
            r.periodicite = i;
    r.typequot = m_workingDays->isChecked() ? 1 : 0;
    r.jourquot = stepOf(m_tousLesJours);
    r.jourhebdo = stepOf(m_toutesLesSem);
    r.jour = checkedMask(m_weekdays, 7);
    r.typemois = m_monthEnd->isChecked() ? 1 : 0;
    r.jourmois = m_tousLesMois->text().toInt();
    r.jourfinmois = m_jourMois->currentIndex();
    r.mois = checkedMask(m_months, 12);
    r.jourmoisan = m_tousLesAns->text().toInt();
    r.moisan = m_moisAn->currentIndex();
    r.datedeb = m_dateDeb->date();
    r.datefin = m_endsOn->isChecked() ? m_dateFin->date() : QDate();
    return r;
}

void Frm_Periode::error(const QString &text)
{
    m_prompter.show(QStringLiteral("Erreur"), text, Prompter::Icon::Critical);
}

bool Frm_Periode::validate()
{
    const PeriodRule r = rule();
    if (r.jourfin == 0 && r.horfin <= r.hordeb) {
        error(QStringLiteral("Incohérence sur les horaires"));
        return false;
    }
    if (r.periodicite == PeriodRule::Weekly && !r.jour.contains(QLatin1Char('1'))) {
        error(QStringLiteral("Vous devez au moins définir un jour !"));
        return false;
    }
    if (r.periodicite == PeriodRule::Monthly && !r.mois.contains(QLatin1Char('1'))) {
        error(QStringLiteral("Vous devez au moins définir un mois !"));
        return false;
    }
    if (r.periodicite == PeriodRule::Yearly && !QDate(2000, r.moisan + 1, r.jourmoisan).isValid()) {
        error(QStringLiteral("Incohérence sur la périodicité"));
        return false;
    }
    // A series needs a first day, and a last day not before it when it ends.
    if (!r.datedeb.isValid() || (m_endsOn->isChecked() && (!r.datefin.isValid() || r.datefin < r.datedeb))) {
        error(QStringLiteral("Incohérence sur la périodicité"));
        return false;
    }
    m_accepted = r;
    accept();
    return true;
}

void Frm_Periode::test()
{
    const PeriodRule r = rule();
    const QDate from = m_dtDebTest->date();
    const QDate to = m_dtFinTest->date();
    if (!r.datedeb.isValid() || !from.isValid() || !to.isValid()) {
        m_model->setOccurrences({});
        return;
    }
    if (to < r.datedeb) {
        m_model->setOccurrences({});
        const Terms &terms = m_session.terms();
        m_prompter.show(QStringLiteral("Période en dehors"),
                        QStringLiteral("Pas ") + (terms.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de "))
                            + terms.singular(Entity::Tache) + QStringLiteral(" à cette période"));
        return;
    }
    m_model->setOccurrences(Periodicity::ExpandRule(r, from, to, m_workingDayMask));
}
