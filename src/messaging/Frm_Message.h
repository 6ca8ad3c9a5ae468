#pragma once

#include "messaging/MessageLinks.h"
#include "messaging/MessageStore.h"
#include "reports/ListRequest.h"
#include "tasks/TaskAlerts.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class ColourSwatch;
class DateField;
class HourMinuteEdit;
class Prompter;
class Session;

// The screen that sends an internal message: recipients (users and whole
// groups), an optional client and contact, subject and text, the note's
// colours and style, a delivery held back until a given moment, a read
// receipt. The last choices of look and options preset the next message.
class Frm_Message : public QWidget
{
    Q_OBJECT
public:
    Frm_Message(Session &session, Prompter &prompter, const OutgoingNote &preset = {}, QWidget *parent = nullptr);
    ~Frm_Message() override;

    // A new window, for an answer or a forward; it deletes itself when closed.
    static Frm_Message *open(Session &session, Prompter &prompter, const OutgoingNote &preset = {});

    // How a recipient is chosen (tests replace the selection list).
    using Chooser = std::function<ListAnswer(const ListRequest &)>;
    void setChooser(const Chooser &chooser) { m_chooser = chooser; }

    // The message as filled in.
    OutgoingNote outgoing() const;
    // Checks, asks what must be asked, sends, and closes the window.
    bool send(const QDateTime &now = QDateTime::currentDateTime());
    void addRecipient();
    void removeRecipient();

    QListWidget *recipientList() const { return m_recipients; }
    QComboBox *clientList() const { return m_clients; }
    QComboBox *contactList() const { return m_contacts; }
    QLineEdit *titleEdit() const { return m_title; }
    QPlainTextEdit *textEdit() const { return m_text; }
    ColourSwatch *backgroundSwatch() const { return m_background; }
    ColourSwatch *textSwatch() const { return m_foreground; }
    QCheckBox *boldBox() const { return m_bold; }
    QCheckBox *italicBox() const { return m_italic; }
    QCheckBox *blinkBox() const { return m_blink; }
    QCheckBox *receiptBox() const { return m_receipt; }
    QCheckBox *keepBox() const { return m_keep; }
    QCheckBox *deferBox() const { return m_defer; }
    DateField *deferDate() const { return m_deferDate; }
    HourMinuteEdit *deferTime() const { return m_deferTime; }
    QPushButton *sendButton() const { return m_send; }

private:
    QWidget *buildLook();
    QWidget *buildOptions();
    void loadClients(qint64 selected);
    void loadContacts(qint64 selected);
    void showRecipients();
    void showSample();
    void readPreferences();
    void writePreferences();

    Session &m_session;
    Prompter &m_prompter;
    qint64 m_original = 0;
    QList<TaskAlerts::Choice> m_listed;
    QList<LinkChoice> m_clientChoices;
    QList<LinkChoice> m_contactChoices;
    Chooser m_chooser;

    QListWidget *m_recipients;
    QComboBox *m_clients;
    QComboBox *m_contacts;
    QLineEdit *m_title;
    QPlainTextEdit *m_text;
    ColourSwatch *m_background;
    ColourSwatch *m_foreground;
    QCheckBox *m_bold;
    QCheckBox *m_italic;
    QCheckBox *m_blink;
    QLabel *m_sample;
    QCheckBox *m_receipt;
    QCheckBox *m_keep;
    QCheckBox *m_defer;
    DateField *m_deferDate;
    HourMinuteEdit *m_deferTime;
    QPushButton *m_send;
};
