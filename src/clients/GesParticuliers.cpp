#include "clients/GesParticuliers.h"

#include "clients/SubRecordPanel.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "core/widgets/ColumnLimit.h"
#include "core/widgets/DateField.h"
#include "reports/Frm_HistoClient.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

GesParticuliers::GesParticuliers(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
    : ClientScreen(session, prompter, Client::Individual, parent), m_employer(new QComboBox(this)), m_birth(new DateField(this))
{
    m_employer->setObjectName(QStringLiteral("libsoc"));
    m_employer->setEditable(true);
    m_employer->setInsertPolicy(QComboBox::NoInsert);
    m_employer->setMinimumContentsLength(20);
    m_employer->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    limitToColumn(m_employer->lineEdit(), QStringLiteral("kp_societes"), QStringLiteral("libsoc"));
    m_employer->lineEdit()->setPlaceholderText(QStringLiteral("Saisissez l'entreprise de travail"));
    m_employer->setToolTip(QStringLiteral("Saisissez l'entreprise de travail"));
    m_fields.insert(m_employer->objectName(), m_employer);
    m_birth->setObjectName(QStringLiteral("dtnaisscont"));
    m_birth->setPrompter(&prompter);
    m_fields.insert(m_birth->objectName(), m_birth);
    buildDependents();
    finish(identityTab(), head(), m_dependents, QStringLiteral("&Ayants droit"), number);
}

qint64 GesParticuliers::edit(Session &session, Prompter &prompter, qint64 number, QWidget *parent)
{
    GesParticuliers screen(session, prompter, number, parent);
    QObject::connect(&screen, &GesParticuliers::historyRequested, &screen, [&](qint64 record) {
        Frm_HistoClient history(session, prompter, record, &screen);
        history.exec();
    });
    return screen.run();
}

QWidget *GesParticuliers::head()
{
    auto *w = new QWidget(this);
    auto *layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto labelled = [w, layout](const QString &text, QWidget *field, int stretch) {
        auto *label = new QLabel(text, w);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field, stretch);
    };
    labelled(QStringLiteral("Civilité :"), m_civility, 0);
    layout->addSpacing(12);
    labelled(QStringLiteral("&Nom :"), field(QStringLiteral("nomcont")), 1);
    layout->addSpacing(12);
    labelled(QStringLiteral("&Prénom :"), field(QStringLiteral("prenomcont")), 1);
    return w;
}

QWidget *GesParticuliers::identityTab()
{
    auto *tab = new QWidget(this);
    auto *person = new QGroupBox(m_session.terms().singular(Entity::Particulier), tab);
    auto *personForm = new QFormLayout(person);
    personForm->addRow(QStringLiteral("Date de naissance :"), m_birth);
    personForm->addRow(QStringLiteral("Entreprise :"), m_employer);
    personForm->addRow(QStringLiteral("Groupe :"), field(QStringLiteral("groupesoc")));
    personForm->addRow(QStringLiteral("Secteur :"), m_sector);
    arrangeIdentityTab(tab, {person});
    return tab;
}

void GesParticuliers::buildDependents()
{
    m_dependents = makePanel(ClientSubKinds::dependents(),
                             {QStringLiteral("Nom"), QStringLiteral("Prénom"), QStringLiteral("Parenté"), QStringLiteral("Naissance")});
    const QString table = QStringLiteral("kp_ayants");
    const auto line = [&table](const char *column) { return columnLineEdit(table, QString::fromLatin1(column)); };
    QComboBox *civility = newCivilityList();
    auto *kinship = new QComboBox;
    kinship->setMinimumContentsLength(16);
    kinship->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_dependents->addField(QStringLiteral("Civilité :"), civility, QStringLiteral("sexeayant"));
    m_dependents->addField(QStringLiteral("Nom :"), line("nomayant"), QStringLiteral("nomayant"));
    m_dependents->addField(QStringLiteral("Prénom :"), line("prenomayant"), QStringLiteral("prenomayant"));
    m_dependents->addField(QStringLiteral("Parenté :"), kinship, QStringLiteral("codeparente"));
    m_dependents->addField(QStringLiteral("Date de naissance :"), new DateField, QStringLiteral("dtnaiss"));
    m_dependents->setRowTexts([this](const ClientSubRow &row) {
        const ClientSubKind &k = m_dependents->kind();
        const QDate birth = row.value(k, QStringLiteral("dtnaiss")).toDate();
        return QStringList{row.value(k, QStringLiteral("nomayant")).toString(), row.value(k, QStringLiteral("prenomayant")).toString(),
                           codeLabel(QStringLiteral("kp_parentes"), row.value(k, QStringLiteral("codeparente")).toString()),
                           birth.isValid() ? birth.toString(QStringLiteral("dd/MM/yyyy")) : QString()};
    });
    m_dependents->setCheck([this] {
        const ClientSubRow row = m_dependents->entry();
        const ClientSubKind &k = m_dependents->kind();
        if (row.value(k, QStringLiteral("nomayant")).toString().trimmed().isEmpty()
            && row.value(k, QStringLiteral("prenomayant")).toString().trimmed().isEmpty()) {
            m_prompter.show(QStringLiteral("Incomplet"), QStringLiteral("Vous devez saisir au moins le nom ou le prénom"),
                            Prompter::Icon::Warning);
            return false;
        }
        return true;
    });
}

void GesParticuliers::fillOwnLists()
{
    fillCodes(qobject_cast<QComboBox *>(m_dependents->field(QStringLiteral("codeparente"))), QStringLiteral("kp_parentes"),
              QStringLiteral("parentés"));
    QStringList names;
    const Outcome read = ClientStore::employers(*m_session.database(), &names);
    if (!read)
        m_prompter.show(read);
    const QString typed = m_employer->currentText();
    const QSignalBlocker blocker(m_employer);
    m_employer->clear();
    m_employer->addItems(names);
    m_employer->setCurrentIndex(-1);
    m_employer->setEditText(typed);
}

void GesParticuliers::gatherOwn(Client &client) const
{
    client.name = m_employer->currentText();
    client.birth = m_birth->date();
}

void GesParticuliers::showOwn(const Client &client)
{
    m_employer->setEditText(client.name);
    m_birth->setDate(client.birth);
}

QList<QWidget *> GesParticuliers::nameFields() const
{
    return {field(QStringLiteral("nomcont")), field(QStringLiteral("prenomcont"))};
}

QString GesParticuliers::displayName() const
{
    return (lineField(QStringLiteral("nomcont"))->text() + QLatin1Char(' ') + lineField(QStringLiteral("prenomcont"))->text()).trimmed();
}
