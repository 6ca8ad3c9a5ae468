#pragma once

#include "reports/ListRequest.h"

#include <QDialog>

class Prompter;
class QPushButton;
class QTableView;
class Session;

// The selection list: the lines of a query, sortable by a click on a column
// title; a double click or Enter picks the line, Escape gives up.
class Liste : public QDialog
{
    Q_OBJECT
public:
    enum class Load { Ready, Failed, NoLine };
    Q_ENUM(Load)

    Liste(Session &session, Prompter &prompter, const ListRequest &request, QWidget *parent = nullptr);
    ~Liste() override;

    // Runs the query, lets the person pick a line and returns it. When the
    // query gives no line, says so and returns no answer without opening.
    static ListAnswer choose(Session &session, Prompter &prompter, const ListRequest &request,
                             QWidget *parent = nullptr);

    // Runs the query and shows its messages; the list stays empty unless Ready.
    Load load();
    // Chosen only after a line was picked.
    ListAnswer answer() const { return m_answer; }

    QTableView *view() const { return m_view; }
    ListModel *model() const { return m_model; }
    QPushButton *printButton() const { return m_printButton; }

public slots:
    // Picks the current line; without one the window closes with no answer.
    void accept() override;
    // The list, in its present order, in the table print preview.
    void print();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sortOn(int column);
    void fitToContents();

    Session &m_session;
    Prompter &m_prompter;
    ListModel *m_model;
    QTableView *m_view;
    QPushButton *m_printButton;
    ListAnswer m_answer;
};
