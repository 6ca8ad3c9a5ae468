#pragma once

#include "access/Access.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class Prompter;
class Session;

// The user screen: the list of users, one user's code, label, password,
// linked resource and groups, and the switch for user management.
class GesUtilisateurs : public QDialog
{
    Q_OBJECT
public:
    GesUtilisateurs(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QTreeWidget *userList() const { return m_list; }
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *labelField() const { return m_label; }
    QLineEdit *passwordField() const { return m_password; }
    QLineEdit *confirmationField() const { return m_confirmation; }
    QComboBox *resourceList() const { return m_resource; }
    QListWidget *groupList() const { return m_groups; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *newButton() const { return m_new; }
    QPushButton *managementButton() const { return m_management; }

    void selectUser(const QString &code);
    void newUser();
    void save();
    void removeUser();
    void toggleManagement();

signals:
    // The group screen is asked for.
    void groupsRequested();

private:
    void refresh();
    void loadChoices();
    void showUser(const QString &code);
    void updateManagementCaption();
    bool allowed(bool right, const QString &action);

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    QString m_current; // code shown, empty for a new user
    QTreeWidget *m_list;
    QLineEdit *m_code;
    QLineEdit *m_label;
    QLineEdit *m_password;
    QLineEdit *m_confirmation;
    QComboBox *m_resource;
    QListWidget *m_groups;
    QPushButton *m_new;
    QPushButton *m_save;
    QPushButton *m_delete;
    QPushButton *m_management;
};
