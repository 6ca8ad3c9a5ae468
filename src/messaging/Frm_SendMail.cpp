#include "messaging/Frm_SendMail.h"

#include "core/PasswordCodec.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "messaging/KpMailer.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString Section = QStringLiteral("Mail");

QString setting(Session &session, const char *key, const QString &fallback = {})
{
    return session.settings().read(Section, QString::fromLatin1(key), fallback);
}

bool directSmtp(Session &session)
{
    return setting(session, "TypeMess", QStringLiteral("0")) == QLatin1String("1");
}

} // namespace

Frm_SendMail::Frm_SendMail(Session &session, Prompter &prompter, const QString &recipients, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_from(new QLineEdit(this)), m_to(new QLineEdit(recipients, this)),
      m_subject(new QLineEdit(this)), m_body(new QPlainTextEdit(this)),
      m_html(new QCheckBox(QStringLiteral("Format &HTML"), this)), m_receipt(new QCheckBox(QStringLiteral("Accusé de &réception"), this)),
      m_attachments(new QListWidget(this)), m_server(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Envoi d'un e-mail"));
    resize(620, 520);
    m_openUrl = [](const QString &url) { return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode)); };

    m_from->setText(setting(session, "MailFROM"));
    m_html->setChecked(setting(session, "HTML", QStringLiteral("0")) == QLatin1String("1"));
    m_receipt->setChecked(setting(session, "Recep", QStringLiteral("0")) == QLatin1String("1"));
    if (directSmtp(session)) {
        const QString port = setting(session, "PortSMTP", QStringLiteral("25"));
        m_server->setText(QStringLiteral("Envoi direct par le serveur SMTP %1 (port %2)").arg(setting(session, "ServSMTP"), port));
    } else {
        m_server->setText(QStringLiteral("Envoi par le logiciel de messagerie du poste"));
    }

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&De :"), m_from);
    form->addRow(QStringLiteral("&A :"), m_to);
    form->addRow(QStringLiteral("&Sujet :"), m_subject);
    auto *options = new QHBoxLayout;
    options->addWidget(m_html);
    options->addWidget(m_receipt);
    options->addStretch();
    auto *attachmentRow = new QHBoxLayout;
    m_attachments->setMaximumHeight(80);
    attachmentRow->addWidget(m_attachments, 1);
    auto *add = new QPushButton(QStringLiteral("&Joindre..."), this);
    attachmentRow->addWidget(add, 0, Qt::AlignTop);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_server, 1);
    auto *sendButton = new QPushButton(QStringLiteral("&Envoyer"), this);
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    for (QPushButton *b : {add, sendButton, close})
        b->setAutoDefault(false);
    buttons->addWidget(sendButton);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_body, 1);
    layout->addLayout(options);
    layout->addWidget(new QLabel(QStringLiteral("Pièces jointes :"), this));
    layout->addLayout(attachmentRow);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, [this] {
        for (const QString &path : QFileDialog::getOpenFileNames(this, QStringLiteral("Pièces jointes")))
            addAttachment(path);
    });
    connect(sendButton, &QPushButton::clicked, this, &Frm_SendMail::send);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

Frm_SendMail::~Frm_SendMail()
{
    // The two boxes are remembered for the next message.
    m_session.settings().write(Section, QStringLiteral("Recep"), m_receipt->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m_session.settings().write(Section, QStringLiteral("HTML"), m_html->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Frm_SendMail::addAttachment(const QString &path)
{
    m_attachments->addItem(path);
}

bool Frm_SendMail::send()
{
    const QString to = m_to->text().trimmed();
    if (to.isEmpty() || to == QLatin1String("/") || KpMailer::recipients(to).isEmpty()) {
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Vous devez entrer l'adresse d'un destinataire !"), Prompter::Icon::Critical);
        return false;
    }
    if (!directSmtp(m_session)) {
        // The mail program takes over; the window stays open with its texts.
        const QString address = mailtoAddress(to, QString(), QString(), m_subject->text(), m_body->toPlainText());
        if (!m_openUrl(address)) {
            m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Aucun logiciel de messagerie n'a pu être ouvert"), Prompter::Icon::Critical);
            return false;
        }
        return true;
    }
    KpMailer mailer;
    mailer.SMTPServer = setting(m_session, "ServSMTP");
    mailer.SMTPServerPort = setting(m_session, "PortSMTP", QStringLiteral("25")).toInt();
    mailer.ProxyServerName = setting(m_session, "ProxySMTP");
    mailer.MailFROM = m_from->text().trimmed();
    mailer.MailTo = to;
    mailer.MailSubject = m_subject->text();
    mailer.UseHTMLFormat = m_html->isChecked();
    mailer.MailBody = m_body->toPlainText();
    mailer.AccuseRecep = m_receipt->isChecked();
    mailer.SMTPAuthMode = setting(m_session, "AuthSMTP") == QLatin1String("1") ? 1 : 0;
    mailer.SMTPSendUsername = setting(m_session, "UtilSMTP");
    mailer.SMTPSendPassword = PasswordCodec::decode(setting(m_session, "PasseSMTP"));
    for (int i = 0; i < m_attachments->count(); ++i)
        mailer.AddAttachment(m_attachments->item(i)->text());
    const Outcome sent = mailer.Send();
    if (!sent) {
        m_prompter.show(sent); // the window stays open, nothing typed is lost
        return false;
    }
    m_prompter.show(QStringLiteral("Envoi"), QStringLiteral("Le message a été envoyé."));
    accept();
    return true;
}
