#pragma once

#include "messaging/Mailbox.h"
#include "messaging/MessageStore.h"

#include <QWidget>
#include <functional>

class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTreeWidget;
class Frm_Note;
class MailboxModel;
class Prompter;
class ReportTable;
class Session;

// The mailbox: the messages the user sent and keeps, and those received and
// read, newest first. Selecting one shows who read it and when, and its
// text; it can be read again as a note, answered, forwarded, deleted (the
// purge follows) and the list printed through the table preview.
class Frm_BoiteLettres : public QWidget
{
    Q_OBJECT
public:
    Frm_BoiteLettres(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    ~Frm_BoiteLettres() override;

    // Tests replace the send screen and the print preview.
    using Composer = std::function<void(const OutgoingNote &)>;
    using Previewer = std::function<void(const ReportTable &)>;
    void setComposer(const Composer &composer) { m_composer = composer; }
    void setPreviewer(const Previewer &previewer) { m_previewer = previewer; }

    void refresh();
    int count() const;
    // The line shown at this row of the view, in its present order.
    const MailboxEntry *entryAt(int row) const;
    const MailboxEntry *current() const;
    void select(int row);

    // The selected message in a note window of its own.
    Frm_Note *readAgain();
    void reply();
    void forward();
    void removeCurrent();
    void print();

    QTableView *view() const { return m_view; }
    QTreeWidget *detailList() const { return m_detail; }
    QPlainTextEdit *textView() const { return m_text; }
    QPushButton *replyButton() const { return m_reply; }

protected:
    // Escape closes the window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showDetail();
    // The selected message read whole, or nothing after saying why.
    bool readCurrent(Note *note);

    Session &m_session;
    Prompter &m_prompter;
    MailboxModel *m_model;
    QTableView *m_view;
    QTreeWidget *m_detail;
    QPlainTextEdit *m_text;
    QPushButton *m_reply;
    QList<QPushButton *> m_needSelection;
    Composer m_composer;
    Previewer m_previewer;
};
