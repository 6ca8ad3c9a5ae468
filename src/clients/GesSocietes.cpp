#include "clients/GesSocietes.h"

#include "clients/SubRecordPanel.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "messaging/Frm_SendMail.h"
#include "reports/Frm_HistoClient.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

GesSocietes::GesSocietes(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
    : ClientScreen(session, prompter, Client::Company, parent)
{
    m_mailer = [this](const QString &recipients) {
        Frm_SendMail mail(m_session, m_prompter, recipients, this);
        mail.exec();
    };
    m_name = makeLine(QStringLiteral("libsoc"));
    m_mailButton = new QPushButton(QStringLiteral("&Mail..."), this);
    m_mailButton->setAutoDefault(false);
    m_mailButton->setToolTip(QStringLiteral("Envoyer un message"));
    connect(m_mailButton, &QPushButton::clicked, this, &GesSocietes::sendMail);
    buildContacts();
    finish(identityTab(), head(), m_contacts, QStringLiteral("&Contacts"), number, m_mailButton);
}

qint64 GesSocietes::edit(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
{
    GesSocietes screen(session, prompter, number, parent);
    QObject::connect(&screen, &GesSocietes::historyRequested, &screen, [&](qint64 record) {
        Frm_HistoClient history(session, prompter, record, &screen);
        history.exec();
    });
    return screen.run();
}

QWidget *GesSocietes::head()
{
    auto *w = new QWidget(this);
    auto *layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Libell&é :"), w);
    label->setBuddy(m_name);
    layout->addWidget(label);
    layout->addWidget(m_name, 1);
    return w;
}

QWidget *GesSocietes::identityTab()
{
    auto *tab = new QWidget(this);
    auto *company = new QGroupBox(m_session.terms().singular(Entity::Societe), tab);
    QFormLayout *companyForm = form({QStringLiteral("groupesoc")});
    companyForm->addRow(QStringLiteral("Secteur :"), m_sector);
    company->setLayout(companyForm);
    auto *contact = new QGroupBox(QStringLiteral("Contact principal"), tab);
    auto *contactForm = new QFormLayout(contact);
    contactForm->addRow(QStringLiteral("Civilité :"), m_civility);
    contactForm->addRow(QStringLiteral("Nom :"), field(QStringLiteral("nomcont")));
    contactForm->addRow(QStringLiteral("Prénom :"), field(QStringLiteral("prenomcont")));
    arrangeIdentityTab(tab, {company, contact});
    return tab;
}

void GesSocietes::buildContacts()
{
    m_contacts = makePanel(ClientSubKinds::contacts(),
                           {QStringLiteral("Nom"), QStringLiteral("Prénom"), QStringLiteral("Fonction"), QStringLiteral("Téléphone")});
    const QString table = QStringLiteral("kp_contactsoc");
    const auto line = [&table](const char *column) { return columnLineEdit(table, QString::fromLatin1(column)); };
    QComboBox *civility = newCivilityList();
    auto *function = new QComboBox;
    auto *service = new QComboBox;
    for (QComboBox *combo : {function, service}) {
        combo->setMinimumContentsLength(16);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    m_contacts->addField(QStringLiteral("Civilité :"), civility, QStringLiteral("civilitecont"));
    m_contacts->addField(QStringLiteral("Nom :"), line("nomcont"), QStringLiteral("nomcont"));
    m_contacts->addField(QStringLiteral("Prénom :"), line("prenomcont"), QStringLiteral("prenomcont"));
    m_contacts->addField(QStringLiteral("Fonction :"), function, QStringLiteral("fonctioncont"));
    m_contacts->addField(QStringLiteral("Service :"), service, QStringLiteral("servicecont"));
    m_contacts->addField(QStringLiteral("Téléphone :"), line("telcont"), QStringLiteral("telcont"));
    m_contacts->addField(QStringLiteral("Fax :"), line("faxcont"), QStringLiteral("faxcont"));
    m_contacts->addField(QStringLiteral("Mobile :"), line("mobcont"), QStringLiteral("mobcont"));
    m_contacts->addField(QStringLiteral("E-mail :"), line("mailcont"), QStringLiteral("mailcont"));
    m_contacts->addField(QStringLiteral("Date de naissance :"), new DateField, QStringLiteral("dtnaisscont"));
    m_contacts->addField(QStringLiteral("Commentaire :"), new QPlainTextEdit, QStringLiteral("commentcont"));
    m_contacts->setRowTexts([this](const ClientSubRow &row) {
        const ClientSubKind &k = m_contacts->kind();
        return QStringList{row.value(k, QStringLiteral("nomcont")).toString(), row.value(k, QStringLiteral("prenomcont")).toString(),
                           codeLabel(QStringLiteral("kp_fonctions"), row.value(k, QStringLiteral("fonctioncont")).toString()),
                           row.value(k, QStringLiteral("telcont")).toString()};
    });
    m_contacts->setCheck([this] {
        const ClientSubRow row = m_contacts->entry();
        const ClientSubKind &k = m_contacts->kind();
        if (row.value(k, QStringLiteral("nomcont")).toString().trimmed().isEmpty()
            && row.value(k, QStringLiteral("prenomcont")).toString().trimmed().isEmpty()) {
            m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner au moins le nom ou le prénom !"),
                            Prompter::Icon::Warning);
            return false;
        }
        return true;
    });
}

void GesSocietes::fillOwnLists()
{
    fillCodes(qobject_cast<QComboBox *>(m_contacts->field(QStringLiteral("fonctioncont"))), QStringLiteral("kp_fonctions"),
              QStringLiteral("fonctions"));
    fillCodes(qobject_cast<QComboBox *>(m_contacts->field(QStringLiteral("servicecont"))), QStringLiteral("kp_services"),
              QStringLiteral("services"));
}

void GesSocietes::gatherOwn(Client &client) const
{
    client.name = m_name->text();
    client.birth = QDate();
}

void GesSocietes::showOwn(const Client &client)
{
    m_name->setText(client.name);
}

QList<QWidget *> GesSocietes::nameFields() const
{
    return {m_name};
}

QString GesSocietes::displayName() const
{
    return m_name->text().trimmed();
}

void GesSocietes::sendMail()
{
    QStringList recipients;
    const Outcome read = ClientStore::mailRecipients(m_session, gather(), &recipients);
    if (!read) {
        m_prompter.show(read);
        return;
    }
    m_mailer(recipients.join(QStringLiteral(" ;")));
}
