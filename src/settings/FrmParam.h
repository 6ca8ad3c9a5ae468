#pragma once

#include "settings/ProgramSettings.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class Prompter;
class Session;

// "Paramétrages de l'application": the workstation's settings, the shared
// client free zones and the shared words of the main entities. "Valider"
// writes everything, "Quitter" writes nothing.
class FrmParam : public QDialog
{
    Q_OBJECT
public:
    FrmParam(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    // The settings as entered on the screen.
    ProgramSettings entered() const;
    // Validates; false (and a message) when something is wrong, nothing written then.
    bool validate();
    // Sends a message with the mail tab's settings to its sender address.
    void sendTestMessage();
    // "la Tâche" style example of the vocabulary tab's first row.
    QString exampleSentence() const;

    QLineEdit *termSingular(int row) const { return m_singular[row]; }
    QCheckBox *termFeminine(int row) const { return m_feminine[row]; }
    QCheckBox *termVowel(int row) const { return m_vowel[row]; }
    QLineEdit *freeFieldLabel(int i) const { return m_textLabels[i]; }
    QLineEdit *folderField(int i) const { return m_folders[i]; }
    QLineEdit *smtpPort() const { return m_port; }
    QLineEdit *smtpServer() const { return m_server; }
    QLineEdit *mailSender() const { return m_sender; }
    QComboBox *sendingMode() const { return m_mode; }

signals:
    // The words of the main entities changed: captions built from them may be rebuilt.
    void termsChanged();

private:
    QWidget *generalTab();
    QWidget *foldersTab();
    QWidget *htmlTab();
    QWidget *mailTab();
    QWidget *freeFieldsTab();
    QWidget *freeDataTab();
    QWidget *vocabularyTab();
    QWidget *planningTab();
    QLineEdit *folderRow(class QGridLayout *grid, int row, const QString &label, const QString &dialogTitle);
    void load();
    void fillUsers();
    void updateExample();

    Session &m_session;
    Prompter &m_prompter;
    QTabWidget *m_tabs;

    QLineEdit *m_splash;
    QComboBox *m_presentation, *m_trayOpen, *m_poll;
    QList<QCheckBox *> m_hotKeyOn;
    QList<QComboBox *> m_hotKeyCode;
    QCheckBox *m_autostart, *m_autoConnect;
    QComboBox *m_user;
    QLineEdit *m_userPassword;

    QList<QLineEdit *> m_folders; // images, documents, HTML
    QList<QCheckBox *> m_htmlPresentations, m_htmlPlannings;
    QLineEdit *m_htmlDays, *m_htmlWidth;

    QComboBox *m_mode;
    QLineEdit *m_server, *m_port, *m_user2, *m_password, *m_proxy, *m_sender;
    QCheckBox *m_auth, *m_receipt, *m_html, *m_withDates, *m_withClients, *m_withComment;

    QLineEdit *m_fieldsTitle, *m_dataTitle;
    QList<QLineEdit *> m_textLabels, m_codeLabels, m_dataLabels;
    QList<QCheckBox *> m_textVisible, m_codeVisible;

    QList<QLineEdit *> m_singular, m_plural;
    QList<QCheckBox *> m_feminine, m_vowel;
    QLabel *m_example;
};
