#include "reports/Frm_Histo.h"

#include "core/Database.h"
#include "core/Prompter.h"
#include "core/Session.h"

#include <QComboBox>
#include <QFormLayout>
#include <QListWidget>

Frm_Histo::Frm_Histo(Session &session, Prompter &prompter, qint64 resource, QWidget *parent)
    : HistoryScreen(session, prompter, HistoryKind::Resource, parent)
{
    build(QStringLiteral("Historique par ") + session.terms().singular(Entity::Ressource));
    fillResources(resource > 0 ? QList<qint64>{resource} : QList<qint64>{});
}

void Frm_Histo::addFilters(QFormLayout *filters)
{
    m_team = new QComboBox(this);
    m_service = new QComboBox(this);
    m_resources = new QListWidget(this);
    m_resources->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_resources->setMaximumHeight(110);
    fillChoice(m_team, QStringLiteral("select noequipe,libequipe from kp_equipes order by libequipe"),
               QStringLiteral("Toutes les équipes"), QStringLiteral("Erreur lors de la lecture des équipes"));
    fillChoice(m_service, QStringLiteral("select code,libelle from kp_services order by libelle"),
               QStringLiteral("Tous les services"), QStringLiteral("Erreur lors de la lecture des services"));
    filters->addRow(QStringLiteral("Equipe"), m_team);
    filters->addRow(QStringLiteral("Service"), m_service);
    filters->addRow(m_session.terms().plural(Entity::Ressource), m_resources);
    const auto refill = [this] { fillResources(selectedNumbers(m_resources)); };
    connect(m_team, &QComboBox::activated, this, refill);
    connect(m_service, &QComboBox::activated, this, refill);
}

void Frm_Histo::fillResources(const QList<qint64> &selected)
{
    const QVariant team = m_team->currentData();
    ResultSet rs;
    Database *db = m_session.database();
    if (!db || !db->query(HistoryReport::resourceChoiceQuery(team.isValid() ? team.toLongLong() : -1,
                                                            m_service->currentData().toString()),
                          rs)) {
        if (db)
            m_prompter.show(QStringLiteral("Erreur"), db->lastError(), Prompter::Icon::Critical);
        m_prompter.show(QStringLiteral("Erreur"),
                        QStringLiteral("Erreur lors de la lecture des ") + m_session.terms().plural(Entity::Ressource),
                        Prompter::Icon::Critical);
        return;
    }
    QList<QPair<QString, qint64>> choices;
    for (int r = 0; r < rs.rowCount(); ++r)
        choices.append({rs.value(r, 1).trimmed(), rs.toLongLong(r, 0)});
    fillChoiceList(m_resources, choices, selected);
}

void Frm_Histo::fillParameters(HistoryParameters *p) const
{
    p->resources = selectedNumbers(m_resources);
    const QVariant team = m_team->currentData();
    p->team = team.isValid() ? team.toLongLong() : -1;
    p->teamLabel = team.isValid() ? m_team->currentText() : QString();
    p->service = m_service->currentData().toString();
    p->serviceLabel = p->service.isEmpty() ? QString() : m_service->currentText();
}

QList<QWidget *> Frm_Histo::ownControls() const
{
    return {m_team, m_service, m_resources};
}
