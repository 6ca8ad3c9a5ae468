#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class Prompter;
class Session;

// The login panel: a user code (picked from the list of users, or typed,
// depending on the database's afflogin flag) and a password. Accepted only
// once the log in has passed.
class PanLogin : public QDialog
{
    Q_OBJECT
public:
    PanLogin(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    void accept() override;

    QComboBox *userList() const { return m_users; }
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *passwordField() const { return m_password; }

private:
    void loadUsers();

    Session &m_session;
    Prompter &m_prompter;
    QComboBox *m_users = nullptr;
    QLineEdit *m_code = nullptr;
    QLineEdit *m_password;
};
