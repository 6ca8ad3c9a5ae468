#include "reports/Frm_HistoClient.h"

#include "core/Database.h"
#include "core/Prompter.h"
#include "core/Session.h"

#include <QComboBox>
#include <QFormLayout>
#include <QListWidget>

Frm_HistoClient::Frm_HistoClient(Session &session, Prompter &prompter, qint64 client, QWidget *parent)
    : HistoryScreen(session, prompter, HistoryKind::Client, parent)
{
    build(QStringLiteral("Historique par ") + session.terms().singular(Entity::Client));
    fillClients(client > 0 ? QList<qint64>{client} : QList<qint64>{});
}

void Frm_HistoClient::addFilters(QFormLayout *filters)
{
    m_sector = new QComboBox(this);
    m_company = new QComboBox(this);
    m_clients = new QListWidget(this);
    m_clients->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_clients->setMaximumHeight(110);
    fillChoice(m_sector, QStringLiteral("select code,libelle from kp_secteurs order by libelle"),
               QStringLiteral("Tous les secteurs"), QStringLiteral("Erreur lors de la lecture des secteurs"));
    fillChoice(m_company, QStringLiteral("select distinct libsoc from kp_societes where libsoc <> '/' order by libsoc"),
               QStringLiteral("Toutes les ") + m_session.terms().plural(Entity::Societe).toLower(),
               QStringLiteral("Erreur lors de la lecture des clients"));
    filters->addRow(QStringLiteral("Secteur"), m_sector);
    filters->addRow(m_session.terms().singular(Entity::Societe), m_company);
    filters->addRow(m_session.terms().plural(Entity::Client), m_clients);
    const auto refill = [this] { fillClients(selectedNumbers(m_clients)); };
    connect(m_sector, &QComboBox::activated, this, refill);
    connect(m_company, &QComboBox::activated, this, refill);
}

void Frm_HistoClient::fillClients(const QList<qint64> &selected)
{
    ResultSet rs;
    Database *db = m_session.database();
    if (!db || !db->query(HistoryReport::clientChoiceQuery(m_sector->currentData().toString(), m_company->currentData().toString()),
                          rs)) {
        if (db)
            m_prompter.show(QStringLiteral("Erreur"), db->lastError(), Prompter::Icon::Critical);
        m_prompter.show(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des clients"), Prompter::Icon::Critical);
        return;
    }
    QList<QPair<QString, qint64>> choices;
    for (int r = 0; r < rs.rowCount(); ++r)
        choices.append({HistoryReport::clientName(rs.toInt(r, 1), rs.value(r, 2), rs.value(r, 3), rs.value(r, 4)),
                        rs.toLongLong(r, 0)});
    fillChoiceList(m_clients, choices, selected);
}

void Frm_HistoClient::fillParameters(HistoryParameters *p) const
{
    p->clients = selectedNumbers(m_clients);
    p->sector = m_sector->currentData().toString();
    p->sectorLabel = p->sector.isEmpty() ? QString() : m_sector->currentText();
    p->company = m_company->currentData().toString();
}

QList<QWidget *> Frm_HistoClient::ownControls() const
{
    return {m_sector, m_company, m_clients};
}
