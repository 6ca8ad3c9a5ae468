#pragma once

#include "access/Access.h"
#include "tasks/StageStore.h"

#include <QDialog>

class Prompter;
class QListWidget;
class QPushButton;
class Session;

// The stages of client progress, each opened in its own editor.
class ListEtapes : public QDialog
{
    Q_OBJECT
public:
    ListEtapes(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *openButton() const { return m_openButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }

public slots:
    void addStage();
    void openStage();
    void removeStage();
    // Reads the stages again and selects this one; on failure the list stays as it was.
    void reload(qint64 select = 0);

private:
    void edit(qint64 number);
    qint64 currentStage() const;

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    QListWidget *m_list;
    QPushButton *m_addButton;
    QPushButton *m_openButton;
    QPushButton *m_deleteButton;
};
