#pragma once

#include "resources/WorkingTime.h"

#include <QObject>

class DateField;
class HourMinuteEdit;
class Prompter;
class QComboBox;
class QDate;
class QFormLayout;
class QLineEdit;
class QWidget;
class Session;

// The entry of one dated range in the task and leave forms: a predefined
// slot, the start and end dates and times, and the working days and hours,
// recomputed on every change of the range and editable afterwards.
class RangeEntry : public QObject
{
    Q_OBJECT
public:
    // The fields are children of parent; the company day and the slots are read now.
    RangeEntry(Session &session, Prompter &prompter, QWidget *parent);

    // Slot, start, end, then days and hours on one row.
    void addRows(QFormLayout *form);

    // Shows a range without recomputing its durations.
    void setRange(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime);
    // Durations as number texts ("." or ","); empty shows nothing.
    void setDurations(const QString &days, const QString &hours);
    // The durations shown, as number texts with "."; empty when the field is.
    QString days() const;
    QString hours() const;
    // A range given by the program (a rule, a slot) rather than typed.
    void setEditable(bool editable);

    const CompanyHours &company() const { return m_company; }

    QComboBox *slotList() const { return m_slot; }
    DateField *startDate() const { return m_startDate; }
    HourMinuteEdit *startTime() const { return m_startTime; }
    DateField *endDate() const { return m_endDate; }
    HourMinuteEdit *endTime() const { return m_endTime; }
    QLineEdit *daysField() const { return m_days; }
    QLineEdit *hoursField() const { return m_hours; }

public slots:
    void recompute();
    // Both times from the chosen slot, and the end date: the start date, or
    // the next day for a slot ending then ("J+1").
    void applySlot(int index);

private:
    QString shown(double value) const;

    Session &m_session;
    Prompter &m_prompter;
    CompanyHours m_company;
    bool m_filling = false;
    QComboBox *m_slot;
    DateField *m_startDate;
    HourMinuteEdit *m_startTime;
    DateField *m_endDate;
    HourMinuteEdit *m_endTime;
    QLineEdit *m_days;
    QLineEdit *m_hours;
};
