#pragma once

#include "tasks/Periodicity.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableView;
class DateField;
class HourMinuteEdit;
class OccurrenceModel;
class Prompter;
class Session;

// The recurrence rule of a periodic task, with a preview of its occurrences.
// Opened from the task form with its rule, or on its own as a rule tester.
class Frm_Periode : public QDialog
{
    Q_OBJECT
public:
    Frm_Periode(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    // Shows a rule in the controls (a new rule keeps the defaults).
    void setRule(const PeriodRule &rule);
    // The rule as the controls hold it now.
    PeriodRule rule() const;
    // The 16 ordered values exchanged with the task form.
    void setValues(const QStringList &values) { setRule(PeriodRule::fromValues(values)); }
    QStringList values() const { return m_accepted.toValues(); }
    // The rule as validated, once "Valider" has succeeded.
    PeriodRule acceptedRule() const { return m_accepted; }

    // "Valider": checks the rule and closes with Accepted when it holds.
    bool validate();
    // "Tester": fills the preview with the occurrences of the preview period.
    void test();

    HourMinuteEdit *startTime() const { return m_start; }
    HourMinuteEdit *endTime() const { return m_end; }
    QComboBox *endDay() const { return m_decalJour; }
    QRadioButton *kind(int index) const { return m_kinds[index]; } // PeriodRule::Kind
    QLineEdit *dailyStep() const { return m_tousLesJours; }
    QRadioButton *everyNDays() const { return m_everyNDays; }
    QRadioButton *workingDays() const { return m_workingDays; }
    QLineEdit *weeklyStep() const { return m_toutesLesSem; }
    QCheckBox *weekday(int index) const { return m_weekdays[index]; } // 0 Monday
    QRadioButton *dayOfMonth() const { return m_dayOfMonth; }
    QLineEdit *monthDay() const { return m_tousLesMois; }
    QRadioButton *monthEnd() const { return m_monthEnd; }
    QComboBox *monthEndList() const { return m_jourMois; }
    QCheckBox *month(int index) const { return m_months[index]; } // 0 January
    QLineEdit *yearDay() const { return m_tousLesAns; }
    QComboBox *yearMonth() const { return m_moisAn; }
    DateField *firstDay() const { return m_dateDeb; }
    QRadioButton *noEnd() const { return m_noEnd; }
    QRadioButton *endsOn() const { return m_endsOn; }
    DateField *lastDay() const { return m_dateFin; }
    DateField *testFrom() const { return m_dtDebTest; }
    DateField *testTo() const { return m_dtFinTest; }
    QTableView *preview() const { return m_preview; }
    QPushButton *testButton() const { return m_tester; }

private:
    QWidget *dailyPanel();
    QWidget *weeklyPanel();
    QWidget *monthlyPanel();
    QWidget *yearlyPanel();
    void showKind(int kind);
    void error(const QString &text);

    Session &m_session;
    Prompter &m_prompter;
    QString m_workingDayMask = QStringLiteral("1111100");
    PeriodRule m_accepted;

    HourMinuteEdit *m_start, *m_end;
    QComboBox *m_decalJour;
    QRadioButton *m_kinds[4];
    QStackedWidget *m_panels;
    QRadioButton *m_everyNDays, *m_workingDays;
    QLineEdit *m_tousLesJours;
    QLineEdit *m_toutesLesSem;
    QCheckBox *m_weekdays[7];
    QRadioButton *m_dayOfMonth, *m_monthEnd;
    QLineEdit *m_tousLesMois;
    QComboBox *m_jourMois;
    QCheckBox *m_months[12];
    QLineEdit *m_tousLesAns;
    QComboBox *m_moisAn;
    DateField *m_dateDeb;
    QRadioButton *m_noEnd, *m_endsOn;
    DateField *m_dateFin;
    DateField *m_dtDebTest, *m_dtFinTest;
    QPushButton *m_tester;
    QTableView *m_preview;
    OccurrenceModel *m_model;
};
