#pragma once

#include "access/Access.h"
#include "tasks/StageStore.h"
#include "tasks/TaskTypeStore.h"

#include <QDialog>

class Prompter;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class Session;

// One stage: its label and the task types that must or must not have taken
// place for a client to be in it.
class SaisEtape : public QDialog
{
    Q_OBJECT
public:
    SaisEtape(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    // Shows a stage (0: a new one). False, once the reason is shown, when no
    // task type exists or the stage cannot be read.
    bool open(qint64 number);
    // The stage's number once saved.
    qint64 number() const { return m_stage.number; }

    QLineEdit *labelField() const { return m_label; }
    QComboBox *taskTypeChoice() const { return m_taskType; }
    // "<Sélectionnez un critère>", then taken place (1), then not (0).
    QComboBox *criterionChoice() const { return m_criterion; }
    QTreeWidget *criteriaList() const { return m_criteria; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }

public slots:
    void addCriterion();
    void removeCriterion();
    // Saves; closes only when saved.
    void accept() override;

private:
    void showCriteria();

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    Stage m_stage;
    QList<TaskType> m_types;
    QLineEdit *m_label;
    QComboBox *m_taskType;
    QComboBox *m_criterion;
    QTreeWidget *m_criteria;
    QPushButton *m_add;
    QPushButton *m_remove;
};
