#pragma once

#include "access/Access.h"
#include "reports/ListRequest.h"
#include "resources/ReferenceLists.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;
class Prompter;
class Session;

// One team: its label and its member resources.
class GesEquipes : public QDialog
{
    Q_OBJECT
public:
    // number 0: a new team.
    GesEquipes(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    QLineEdit *labelField() const { return m_label; }
    QListWidget *memberList() const { return m_members; }
    qint64 number() const { return m_team.number; }

    // How members are picked (the selection list; tests replace it).
    using Chooser = std::function<ListAnswer(const ListRequest &)>;
    void setChooser(const Chooser &chooser) { m_chooser = chooser; }

    void addMember();
    void removeMember();
    void accept() override;

private:
    void showMembers();

    Session &m_session;
    Prompter &m_prompter;
    ReferenceLists::Team m_team;
    QHash<qint64, QString> m_labels;
    QLineEdit *m_label;
    QListWidget *m_members;
    Chooser m_chooser;
};

// The list of teams. In hand-back mode (from the task screen) a double click
// hands the team back instead of opening it.
class ListEquipes : public QDialog
{
    Q_OBJECT
public:
    ListEquipes(Session &session, Prompter &prompter, bool handBack = false, QWidget *parent = nullptr);

    QListWidget *teamList() const { return m_list; }
    // The team handed back (hand-back mode), 0 when none.
    qint64 chosenTeam() const { return m_chosen; }
    // The resources of a team, for the screen that asked for it.
    static QList<qint64> membersOf(Session &session, qint64 team);

    void openTeam(qint64 number);
    void removeTeam();

private:
    void fill(qint64 select = 0);
    bool allowed(bool right, const QString &action);

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    bool m_handBack;
    qint64 m_chosen = 0;
    QListWidget *m_list;
};
