#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class Prompter;
class Session;

// The message window: sender, recipients, subject, body, HTML and
// read-receipt boxes, attachments; sends straight to the SMTP server or hands
// a "MAILTO:" address to the desktop's mail program, as the workstation says.
class Frm_SendMail : public QDialog
{
    Q_OBJECT
public:
    Frm_SendMail(Session &session, Prompter &prompter, const QString &recipients = {}, QWidget *parent = nullptr);
    ~Frm_SendMail() override;

    QLineEdit *TxtEmett() const { return m_from; }
    QLineEdit *TxtDest() const { return m_to; }
    QLineEdit *TxtSujet() const { return m_subject; }
    QPlainTextEdit *txtMailBody() const { return m_body; }
    QCheckBox *chkHTMLFormat() const { return m_html; }
    QCheckBox *ChkRecep() const { return m_receipt; }
    QListWidget *lstAttachment() const { return m_attachments; }

    void addAttachment(const QString &path);
    // True when the message left (or went to the mail program).
    bool send();

    // How a "MAILTO:" address reaches the desktop (tests replace it).
    void setUrlOpener(const std::function<bool(const QString &)> &opener) { m_openUrl = opener; }

private:
    Session &m_session;
    Prompter &m_prompter;
    QLineEdit *m_from;
    QLineEdit *m_to;
    QLineEdit *m_subject;
    QPlainTextEdit *m_body;
    QCheckBox *m_html;
    QCheckBox *m_receipt;
    QListWidget *m_attachments;
    QLabel *m_server;
    std::function<bool(const QString &)> m_openUrl;
};
