#pragma once

#include "clients/ClientScreen.h"

// A company client: its name, group and sector, main contact, address, its
// contacts and everything the client screens share. Opening an existing
// company locks it for this workstation until the screen closes.
class GesSocietes : public ClientScreen
{
    Q_OBJECT
public:
    // number 0: a new company.
    GesSocietes(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    // Opens the screen modally; the number it ended on, 0 when nothing was saved.
    static qint64 edit(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    // How the recipient list reaches the message window (tests replace it).
    using Mailer = std::function<void(const QString &recipients)>;
    void setMailer(const Mailer &mailer) { m_mailer = mailer; }

    QLineEdit *nameField() const { return m_name; }
    SubRecordPanel *contactPanel() const { return m_contacts; }
    QPushButton *mailButton() const { return m_mailButton; }

public slots:
    // The company's and its contacts' addresses, handed to the message window.
    void sendMail();

protected:
    void gatherOwn(Client &client) const override;
    void showOwn(const Client &client) override;
    QList<QWidget *> nameFields() const override;
    QString displayName() const override;
    void fillOwnLists() override;

private:
    QWidget *head();
    QWidget *identityTab();
    void buildContacts();

    Mailer m_mailer;
    QLineEdit *m_name;
    SubRecordPanel *m_contacts = nullptr;
    QPushButton *m_mailButton;
};
