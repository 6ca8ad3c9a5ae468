#include "resources/RangeEntry.h"

#include "core/Prompter.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/widgets/DateField.h"
#include "core/widgets/HourMinuteEdit.h"
#include "resources/HoursStore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

RangeEntry::RangeEntry(Session &session, Prompter &prompter, QWidget *parent)
    : QObject(parent), m_session(session), m_prompter(prompter), m_slot(new QComboBox(parent)),
      m_startDate(new DateField(parent)), m_startTime(new HourMinuteEdit(parent)), m_endDate(new DateField(parent)),
      m_endTime(new HourMinuteEdit(parent)), m_days(new QLineEdit(parent)), m_hours(new QLineEdit(parent))
{
    m_startDate->setPrompter(&prompter);
    m_endDate->setPrompter(&prompter);
    m_days->setMaximumWidth(80);
    m_hours->setMaximumWidth(80);

    Database &db = *session.database();
    const Outcome company = CompanyHours::read(db, &m_company);
    if (!company)
        prompter.show(company);
    QList<TimeSlot> slotList;
    const Outcome slotsRead = HoursStore::timeSlots(db, &slotList);
    if (!slotsRead)
        prompter.show(slotsRead);
    m_slot->addItem(QString(), 0);
    for (const TimeSlot &s : std::as_const(slotList))
        m_slot->addItem(s.text(), s.number);
    m_startTime->setTime(m_company.hordeb);
    m_endTime->setTime(m_company.horfin);

    connect(m_slot, &QComboBox::activated, this, &RangeEntry::applySlot);
    connect(m_startDate, &DateField::dateChanged, this, &RangeEntry::recompute);
    connect(m_endDate, &DateField::dateChanged, this, &RangeEntry::recompute);
    connect(m_startTime, &HourMinuteEdit::timeChanged, this, &RangeEntry::recompute);
    connect(m_endTime, &HourMinuteEdit::timeChanged, this, &RangeEntry::recompute);
}

void RangeEntry::addRows(QFormLayout *form)
{
    auto *parent = qobject_cast<QWidget *>(this->parent());
    auto *durations = new QHBoxLayout;
    durations->addWidget(m_days);
    durations->addSpacing(12);
    durations->addWidget(new QLabel(QStringLiteral("Nombre d'heures :"), parent));
    durations->addWidget(m_hours);
    durations->addStretch();
    form->addRow(QStringLiteral("Horaire pré&défini :"), m_slot);
    form->addRow(QStringLiteral("Dé&but :"), dateTimeRow(m_startDate, m_startTime));
    form->addRow(QStringLiteral("F&in :"), dateTimeRow(m_endDate, m_endTime));
    form->addRow(QStringLiteral("Nombre de jours :"), durations);
}

void RangeEntry::setRange(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime)
{
    m_filling = true;
    m_startDate->setDate(startDate);
    m_startTime->setTime(startTime);
    m_endDate->setDate(endDate);
    m_endTime->setTime(endTime);
    m_filling = false;
}

void RangeEntry::setDurations(const QString &days, const QString &hours)
{
    auto text = [this](const QString &value) {
        return value.trimmed().isEmpty() ? QString() : shown(sqlNumber(value, 2).toDouble());
    };
    m_days->setText(text(days));
    m_hours->setText(text(hours));
}

QString RangeEntry::days() const
{
    return m_days->text().trimmed().isEmpty() ? QString() : sqlNumber(m_days->text(), 2);
}

QString RangeEntry::hours() const
{
    return m_hours->text().trimmed().isEmpty() ? QString() : sqlNumber(m_hours->text(), 2);
}

void RangeEntry::setEditable(bool editable)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_slot, m_startDate, m_startTime, m_endDate, m_endTime})
        w->setEnabled(editable);
}

QString RangeEntry::shown(double value) const
{
    return displayNumber(QString::number(value, 'f', 4), 2, m_session.shownDecimalSeparator());
}

void RangeEntry::recompute()
{
    if (m_filling)
        return;
    const QDate start = m_startDate->date(), end = m_endDate->date();
    const QString from = m_startTime->time(), to = m_endTime->time();
    m_days->setText(shown(CalculNbJours(start, from, end, to, m_company)));
    m_hours->setText(shown(CalculNbHeures(start, from, end, to, m_company)));
}

void RangeEntry::applySlot(int index)
{
    const qint64 chosen = m_slot->itemData(index).toLongLong();
    if (chosen <= 0)
        return;
    TimeSlot slot;
    const Outcome found = HoursStore::findSlot(*m_session.database(), chosen, &slot);
    if (!found) {
        m_prompter.show(found);
        return;
    }
    const QDate start = m_startDate->date();
    setRange(start, slot.start, start.isValid() ? start.addDays(slot.endDay == 1 ? 1 : 0) : m_endDate->date(), slot.end);
    recompute();
}
