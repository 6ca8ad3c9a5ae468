#pragma once

#include "access/Access.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QTableView;
class Prompter;
class ResourceListModel;
class Session;

// The resource list, filtered by type and service; a double click opens the
// resource, the add button creates one.
class ListRessources : public QDialog
{
    Q_OBJECT
public:
    ListRessources(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    // Opens the resource screen (0: a new resource); returns the number it
    // ended on, 0 when nothing was saved. Set by whoever owns that screen.
    using Opener = std::function<qint64(qint64)>;
    void setOpener(const Opener &opener) { m_opener = opener; }

    QListWidget *typeFilter() const { return m_types; }
    QListWidget *serviceFilter() const { return m_services; }
    QTableView *view() const { return m_view; }
    ResourceListModel *model() const { return m_model; }

    void refresh();
    void open(qint64 number);

private:
    QStringList checked(QListWidget *list) const;

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    Opener m_opener;
    QListWidget *m_types;
    QListWidget *m_services;
    QTableView *m_view;
    ResourceListModel *m_model;
};
