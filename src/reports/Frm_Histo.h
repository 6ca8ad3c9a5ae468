#pragma once

#include "reports/HistoryScreen.h"

class QListWidget;

// The history reports per resource: the team, the service and the
// resources chosen narrow the list of tasks, leave and costs.
class Frm_Histo : public HistoryScreen
{
    Q_OBJECT
public:
    // resource: preselected in the list (0: none).
    Frm_Histo(Session &session, Prompter &prompter, qint64 resource = 0, QWidget *parent = nullptr);

    QComboBox *teamList() const { return m_team; }
    QComboBox *serviceList() const { return m_service; }
    QListWidget *resourceList() const { return m_resources; }

protected:
    void addFilters(QFormLayout *filters) override;
    void fillParameters(HistoryParameters *p) const override;
    QList<QWidget *> ownControls() const override;

private:
    // The resources of the team and service chosen, keeping the selection.
    void fillResources(const QList<qint64> &selected);

    QComboBox *m_team = nullptr;
    QComboBox *m_service = nullptr;
    QListWidget *m_resources = nullptr;
};
