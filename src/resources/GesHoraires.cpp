#include "resources/GesHoraires.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/Buttons.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/FieldNavigation.h"
#include "core/widgets/HourMinuteEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QStringList Weekdays = {QStringLiteral("Lundi"),    QStringLiteral("Mardi"),  QStringLiteral("Mercredi"),
                              QStringLiteral("Jeudi"),    QStringLiteral("Vendredi"), QStringLiteral("Samedi"),
                              QStringLiteral("Dimanche")};

// Two times side by side: "de" … "à" ….
QWidget *timePair(HourMinuteEdit *start, HourMinuteEdit *end, QWidget *parent)
{
    auto *pair = new QWidget(parent);
    auto *row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(start);
    row->addWidget(new QLabel(QStringLiteral("à"), pair));
    row->addWidget(end);
    row->addStretch();
    return pair;
}

} // namespace

GesHoraires::GesHoraires(Session &session, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_tabs(new QTabWidget(this))
{
    setWindowTitle(QStringLiteral("Paramétrages des Horaires de l'Entreprise"));
    resize(720, 460);
    m_tabs->addTab(companyTab(), QStringLiteral("Horaires de l'entreprise"));
    m_tabs->addTab(slotsTab(), QStringLiteral("Horaires prédéfinis"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton *close = plainButton(QStringLiteral("&Fermer"), this);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    FieldNavigation::install(this);
    loadCompanyHours();
    fillSlots();
}

QWidget *GesHoraires::companyTab()
{
    auto *tab = new QWidget(this);
    m_start = new HourMinuteEdit(tab);
    m_end = new HourMinuteEdit(tab);
    m_length = new HourMinuteEdit(tab);
    m_firstHalfStart = new HourMinuteEdit(tab);
    m_firstHalfEnd = new HourMinuteEdit(tab);
    m_secondHalfStart = new HourMinuteEdit(tab);
    m_secondHalfEnd = new HourMinuteEdit(tab);
    m_yearStart = new HourMinuteEdit(tab);
    m_yearEnd = new HourMinuteEdit(tab);

    auto *day = new QFormLayout;
    day->addRow(QStringLiteral("Heure de début de travail dans l'entreprise :"), m_start);
    day->addRow(QStringLiteral("Heure de fin de travail dans l'entreprise :"), m_end);
    day->addRow(QStringLiteral("Durée d'une journée de travail :"), m_length);

    auto *month = new QGroupBox(QStringLiteral("Planning Mensuel/BiMensuel"), tab);
    auto *monthForm = new QFormLayout(month);
    monthForm->addRow(QStringLiteral("Horaires première moitié :"), timePair(m_firstHalfStart, m_firstHalfEnd, month));
    monthForm->addRow(QStringLiteral("Horaires deuxième moitié :"), timePair(m_secondHalfStart, m_secondHalfEnd, month));

    auto *year = new QGroupBox(QStringLiteral("Planning Tri/Se-Mestriel et Annuel"), tab);
    auto *yearForm = new QFormLayout(year);
    yearForm->addRow(QStringLiteral("Horaires journée :"), timePair(m_yearStart, m_yearEnd, year));

    auto *days = new QGroupBox(QStringLiteral("Journées Travaillées"), tab);
    auto *daysRow = new QHBoxLayout(days);
    for (int i = 0; i < 7; ++i) {
        m_days[i] = new QCheckBox(Weekdays[i], days);
        daysRow->addWidget(m_days[i]);
    }

    auto *save = plainButton(QStringLiteral("&Valider"), tab);
    connect(save, &QPushButton::clicked, this, &GesHoraires::saveCompanyHours);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(day);
    layout->addWidget(month);
    layout->addWidget(year);
    layout->addWidget(days);
    layout->addStretch();
    layout->addWidget(save, 0, Qt::AlignRight);
    return tab;
}

QWidget *GesHoraires::slotsTab()
{
    auto *tab = new QWidget(this);
    m_slots = new QTreeWidget(tab);
    m_slots->setHeaderLabels({QStringLiteral("Libellé"), QStringLiteral("Début"), QStringLiteral("Fin"), QStringLiteral("Jour")});
    m_slots->setRootIsDecorated(false);
    m_slots->header()->setStretchLastSection(false);
    m_slots->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_slots->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(m_slots, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            showSlot(item->data(0, Qt::UserRole).toLongLong());
    });
    m_slotLabel = new QLineEdit(tab);
    limitToColumn(m_slotLabel, QStringLiteral("kp_horpredef"), QStringLiteral("libpredef"));
    m_slotStart = new HourMinuteEdit(tab);
    m_slotEnd = new HourMinuteEdit(tab);
    m_slotEndDay = new QComboBox(tab);
    m_slotEndDay->addItems({QStringLiteral("J"), QStringLiteral("J+1")});

    auto *startRow = new QHBoxLayout;
    startRow->addWidget(m_slotStart);
    startRow->addWidget(new QLabel(QStringLiteral("J"), tab));
    startRow->addStretch();
    auto *endRow = new QHBoxLayout;
    endRow->addWidget(m_slotEnd);
    endRow->addWidget(m_slotEndDay);
    endRow->addStretch();
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Libellé :"), m_slotLabel);
    form->addRow(QStringLiteral("Début :"), startRow);
    form->addRow(QStringLiteral("Fin :"), endRow);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton *add = plainButton(QStringLiteral("&Nouveau"), tab);
    QPushButton *save = plainButton(QStringLiteral("&Enregistrer"), tab);
    QPushButton *remove = plainButton(QStringLiteral("&Supprimer"), tab);
    for (QPushButton *b : {add, save, remove})
        buttons->addWidget(b);
    connect(add, &QPushButton::clicked, this, &GesHoraires::newSlot);
    connect(save, &QPushButton::clicked, this, &GesHoraires::saveSlot);
    connect(remove, &QPushButton::clicked, this, &GesHoraires::removeSlot);

    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(tab);
    layout->addWidget(m_slots, 3);
    layout->addLayout(right, 2);
    return tab;
}

void GesHoraires::loadCompanyHours()
{
    CompanyHours hours;
    const Outcome read = CompanyHours::read(*m_session.database(), &hours);
    if (!read)
        m_prompter.show(read);
    m_start->setTime(hours.hordeb);
    m_end->setTime(hours.horfin == QLatin1String("24:00") ? QStringLiteral("00:00") : hours.horfin);
    m_length->setTime(hours.durjour);
    m_firstHalfStart->setTime(hours.hordmatmens);
    m_firstHalfEnd->setTime(hours.horfmatmens);
    m_secondHalfStart->setTime(hours.hordapmens);
    m_secondHalfEnd->setTime(hours.horfapmens);
    m_yearStart->setTime(hours.hordmatann);
    m_yearEnd->setTime(hours.horfapann);
    for (int i = 0; i < 7; ++i)
        m_days[i]->setChecked(hours.jourstrav.mid(i, 1) == QLatin1String("1"));
}

void GesHoraires::saveCompanyHours()
{
    CompanyHours hours;
    hours.hordeb = m_start->time();
    hours.horfin = m_end->time();
    hours.durjour = m_length->time();
    hours.hordmatmens = m_firstHalfStart->time();
    hours.horfmatmens = m_firstHalfEnd->time();
    hours.hordapmens = m_secondHalfStart->time();
    hours.horfapmens = m_secondHalfEnd->time();
    hours.hordmatann = m_yearStart->time();
    hours.horfapann = m_yearEnd->time();
    hours.jourstrav.clear();
    for (QCheckBox *day : m_days)
        hours.jourstrav += day->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    m_prompter.show(HoursStore::saveCompanyHours(*m_session.database(), hours));
}

void GesHoraires::fillSlots(qint64 select)
{
    const Outcome read = HoursStore::timeSlots(*m_session.database(), &m_slotRows);
    if (!read)
        m_prompter.show(read);
    m_slots->clear();
    QTreeWidgetItem *selected = nullptr;
    for (const TimeSlot &slot : std::as_const(m_slotRows)) {
        auto *item = new QTreeWidgetItem(m_slots, {slot.label, slot.start, slot.end, QStringLiteral("J+%1").arg(slot.endDay)});
        item->setData(0, Qt::UserRole, slot.number);
        if (slot.number == select)
            selected = item;
    }
    if (selected)
        m_slots->setCurrentItem(selected);
    else
        newSlot();
}

void GesHoraires::showSlot(qint64 number)
{
    for (const TimeSlot &slot : std::as_const(m_slotRows))
        if (slot.number == number) {
            m_slotNumber = number;
            m_slotLabel->setText(slot.label);
            m_slotStart->setTime(slot.start);
            m_slotEnd->setTime(slot.end);
            m_slotEndDay->setCurrentIndex(slot.endDay ? 1 : 0);
        }
}

void GesHoraires::newSlot()
{
    m_slotNumber = 0;
    m_slots->setCurrentItem(nullptr);
    m_slotLabel->clear();
    m_slotStart->setTime(QStringLiteral("09:00"));
    m_slotEnd->setTime(QStringLiteral("18:00"));
    m_slotEndDay->setCurrentIndex(0);
}

void GesHoraires::saveSlot()
{
    TimeSlot slot{m_slotNumber, m_slotLabel->text(), m_slotStart->time(), m_slotEnd->time(), m_slotEndDay->currentIndex()};
    const Outcome saved = HoursStore::saveSlot(*m_session.database(), &slot);
    m_prompter.show(saved);
    if (saved || saved.title() == QLatin1String("Disparition"))
        fillSlots(slot.number);
}

void GesHoraires::removeSlot()
{
    if (m_slotNumber == 0 || !m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Voulez-vous supprimer cet horaire ?"), false))
        return;
    m_prompter.show(HoursStore::removeSlot(*m_session.database(), m_slotNumber));
    fillSlots();
}
