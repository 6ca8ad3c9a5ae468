#pragma once

#include <QDialog>

class QTreeWidget;
class Prompter;
class Session;

// Picks several clients and gathers their e-mail addresses into one
// recipient text, in list order, " ;" between two addresses.
class Frm_EnvoiMailClient : public QDialog
{
    Q_OBJECT
public:
    Frm_EnvoiMailClient(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QTreeWidget *clientList() const { return m_list; }
    // The addresses of the selected clients.
    QString recipients() const;

private:
    QTreeWidget *m_list;
};
