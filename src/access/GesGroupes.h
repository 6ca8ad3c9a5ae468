#pragma once

#include "access/GroupStore.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class Prompter;
class Session;

// The group screen: a group's name and, for every rights code, whether the
// group may create, modify and delete.
class GesGroupes : public QDialog
{
    Q_OBJECT
public:
    GesGroupes(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QComboBox *groupChoice() const { return m_choice; }
    QLineEdit *nameField() const { return m_name; }
    // 0: create, 1: modify, 2: delete.
    QListWidget *rightsList(int which) const { return m_lists[which]; }

    void showGroup(int number);
    void newGroup();
    void save();

private:
    void fillChoice(int select);

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    QList<RightsCode> m_codes;
    int m_current = -1;
    QComboBox *m_choice;
    QLineEdit *m_name;
    QListWidget *m_lists[3];
    QPushButton *m_save;
};
