#pragma once

#include "reports/HistoryScreen.h"

class QListWidget;

// The history reports per client: the sector, the company name and the
// clients chosen narrow the list of tasks and costs.
class Frm_HistoClient : public HistoryScreen
{
    Q_OBJECT
public:
    // client: preselected in the list (0: none).
    Frm_HistoClient(Session &session, Prompter &prompter, qint64 client = 0, QWidget *parent = nullptr);

    QComboBox *sectorList() const { return m_sector; }
    QComboBox *companyList() const { return m_company; }
    QListWidget *clientList() const { return m_clients; }

protected:
    void addFilters(QFormLayout *filters) override;
    void fillParameters(HistoryParameters *p) const override;
    QList<QWidget *> ownControls() const override;

private:
    void fillClients(const QList<qint64> &selected);

    QComboBox *m_sector = nullptr;
    QComboBox *m_company = nullptr;
    QListWidget *m_clients = nullptr;
};
