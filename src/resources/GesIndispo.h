#pragma once

#include "access/Access.h"
#include "resources/LeaveStore.h"
#include "resources/HoursStore.h"

#include <QDialog>

class DateField;
class HourMinuteEdit;
class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Session;

// One resource's leave: its type, its range and its working days and hours.
// Opened on an existing leave (the caller holds the task lock, released when
// the screen closes) or for a new one.
class GesIndispo : public QDialog
{
    Q_OBJECT
public:
    GesIndispo(Session &session, Prompter &prompter, qint64 task /*0 = new*/, QWidget *parent = nullptr);

    // A new leave's resource and range, as drawn on the planning.
    void setPresets(qint64 resource, const QDate &startDate, const QString &startTime, const QDate &endDate,
                    const QString &endTime);

    QComboBox *resourceList() const { return m_resource; }
    QComboBox *typeList() const { return m_type; }
    QComboBox *slotList() const { return m_slot; }
    DateField *startDate() const { return m_startDate; }
    HourMinuteEdit *startTime() const { return m_startTime; }
    DateField *endDate() const { return m_endDate; }
    HourMinuteEdit *endTime() const { return m_endTime; }
    QLineEdit *daysField() const { return m_days; }
    QLineEdit *hoursField() const { return m_hours; }
    QPlainTextEdit *commentField() const { return m_comment; }
    QCheckBox *lockBox() const { return m_locked; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *deleteButton() const { return m_delete; }

public slots:
    void save();
    void remove();
    // Fills both times (and the next day's end for a "J+1" slot) from the chosen slot.
    void applySlot(int index);
    void recompute();

protected:
    void done(int result) override;

private:
    void loadLists();
    void fill(const LeaveEntry &entry);
    LeaveEntry gather() const;
    QString number(double value) const;

    Session &m_session;
    Prompter &m_prompter;
    qint64 m_task;
    Rights m_rights;
    CompanyHours m_company;
    bool m_filling = false;

    QComboBox *m_resource;
    QComboBox *m_type;
    QComboBox *m_slot;
    DateField *m_startDate;
    HourMinuteEdit *m_startTime;
    DateField *m_endDate;
    HourMinuteEdit *m_endTime;
    QLineEdit *m_days;
    QLineEdit *m_hours;
    QPlainTextEdit *m_comment;
    QCheckBox *m_locked;
    QPushButton *m_save;
    QPushButton *m_delete;
};
