#pragma once

#include "core/Outcome.h"

#include <QString>
#include <QStringList>

// Sends one e-mail straight to an SMTP server: sender, recipients (separated
// by ";" or ","), subject, HTML or text body, an optional read-receipt
// header, authentication only when asked, an optional proxy, attachments.
class KpMailer
{
public:
    QString SMTPServer;
    int SMTPServerPort = 25;
    QString MailFROM;
    QString MailTo;
    QString MailSubject;
    QString MailBody;
    bool UseHTMLFormat = true;
    bool AccuseRecep = false;
    int SMTPAuthMode = 0; // 1: authenticate with the user name and password
    QString SMTPSendUsername;
    QString SMTPSendPassword;
    QString ProxyServerName;

    void AddAttachment(const QString &path) { m_attachments.append(path); }
    const QStringList &attachments() const { return m_attachments; }

    // Fails with the service's error text under "Erreur".
    Outcome Send() const;

    // The recipients as addresses, empty parts left out.
    static QStringList recipients(const QString &list);

private:
    QStringList m_attachments;
};

// The "MAILTO:" address handed to the desktop's mail program: address lists
// split on ";" (empty parts left out), subject and body encoded byte by byte
// (every byte but ASCII digits and letters as "%" and two hex digits).
QString mailtoAddress(const QString &to, const QString &cc, const QString &bcc, const QString &subject, const QString &body);
QString mailtoEncode(const QString &text);
