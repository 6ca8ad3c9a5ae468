#pragma once

#include "resources/HoursStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QTreeWidget;
class HourMinuteEdit;
class Prompter;
class Session;

// The company working hours (first tab) and the predefined time slots
// (second tab).
class GesHoraires : public QDialog
{
    Q_OBJECT
public:
    GesHoraires(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    HourMinuteEdit *dayStart() const { return m_start; }
    HourMinuteEdit *dayEnd() const { return m_end; }
    QCheckBox *weekday(int index) const { return m_days[index]; } // 0 Monday
    void saveCompanyHours();

    QTreeWidget *slotList() const { return m_slots; }
    QLineEdit *slotLabel() const { return m_slotLabel; }
    HourMinuteEdit *slotStart() const { return m_slotStart; }
    HourMinuteEdit *slotEnd() const { return m_slotEnd; }
    QComboBox *slotEndDay() const { return m_slotEndDay; }
    void newSlot();
    void saveSlot();
    void removeSlot();

private:
    QWidget *companyTab();
    QWidget *slotsTab();
    void loadCompanyHours();
    void fillSlots(qint64 select = 0);
    void showSlot(qint64 number);

    Session &m_session;
    Prompter &m_prompter;
    QTabWidget *m_tabs;
    HourMinuteEdit *m_start, *m_end, *m_length;
    HourMinuteEdit *m_firstHalfStart, *m_firstHalfEnd, *m_secondHalfStart, *m_secondHalfEnd;
    HourMinuteEdit *m_yearStart, *m_yearEnd;
    QCheckBox *m_days[7];
    QList<TimeSlot> m_slotRows;
    qint64 m_slotNumber = 0;
    QTreeWidget *m_slots;
    QLineEdit *m_slotLabel;
    HourMinuteEdit *m_slotStart;
    HourMinuteEdit *m_slotEnd;
    QComboBox *m_slotEndDay;
};
