#pragma once

#include "core/DatabaseOpener.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class Prompter;
class Session;
struct DataSource;

// The database choice dialog: a database file, or a server reached through an
// ODBC data source, and the database's description. Accepted once the chosen
// database is open and its schema checked.
class ChoixBase : public QDialog
{
    Q_OBJECT
public:
    ChoixBase(Session &session, Prompter &prompter, const OpenCallbacks &callbacks, QWidget *parent = nullptr);

    // The file filter of the browse dialog; any existing file is accepted too.
    static QString fileFilter();

    QRadioButton *fileOption() const { return m_fileOption; }
    QRadioButton *odbcOption() const { return m_odbcOption; }
    QLineEdit *pathField() const { return m_path; }
    QLineEdit *dsnField() const { return m_dsn; }
    QLineEdit *databaseField() const { return m_database; }
    QLineEdit *userField() const { return m_user; }
    QLineEdit *passwordField() const { return m_password; }
    QLineEdit *descriptionField() const { return m_description; }

    // Picks a data source as the list would.
    void useDataSource(const DataSource &source);
    // Connects to the data source with the typed name, user and password.
    bool testConnection();
    void accept() override;

private:
    void browse();
    void chooseDataSource();
    void updateEnabled();

    Session &m_session;
    Prompter &m_prompter;
    OpenCallbacks m_callbacks;
    QString m_driver;
    QRadioButton *m_fileOption;
    QRadioButton *m_odbcOption;
    QLineEdit *m_path;
    QPushButton *m_browse;
    QLineEdit *m_dsn;
    QPushButton *m_dsnList;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QPushButton *m_test;
    QLineEdit *m_description;
};
