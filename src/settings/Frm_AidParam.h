#pragma once

#include "settings/StartingSet.h"

#include <QWizard>

class QLineEdit;
class QSpinBox;
class QCheckBox;
class HourMinuteEdit;
class Prompter;
class Session;

// "Aide au paramétrage": makes a new database file with a usable starting
// set (company hours, numbered resources and clients, task types, two
// urgencies). The workstation opens it once it is complete; a wizard
// cancelled or failing leaves no file behind.
class Frm_AidParam : public QWizard
{
    Q_OBJECT
public:
    Frm_AidParam(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QString targetPath() const;
    StartingSet startingSet() const;
    // The path of the database made, empty until then.
    QString created() const { return m_created; }

    QLineEdit *nameField() const { return m_name; }
    QLineEdit *folderField() const { return m_folder; }
    QSpinBox *count(int i) const { return m_counts[i]; }
    QLineEdit *taskType(int i) const { return m_taskTypes[i]; }
    QLineEdit *urgency(int i) const { return m_urgencies[i]; }

    bool validateCurrentPage() override;

private:
    QWizardPage *namePage();
    QWizardPage *hoursPage();
    QWizardPage *countsPage();
    QWizardPage *taskTypesPage();
    QWizardPage *urgenciesPage();
    bool create();

    Session &m_session;
    Prompter &m_prompter;
    QLineEdit *m_name, *m_folder;
    HourMinuteEdit *m_start, *m_end, *m_length, *m_firstHalfStart, *m_firstHalfEnd, *m_secondHalfStart, *m_secondHalfEnd, *m_dayStart,
        *m_dayEnd;
    QList<QCheckBox *> m_weekdays;
    QList<QSpinBox *> m_counts;
    QList<QLineEdit *> m_taskTypes, m_urgencies;
    QString m_created;
};
