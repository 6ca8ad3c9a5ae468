#pragma once

#include "messaging/MessageStore.h"

#include <QWidget>
#include <functional>

class QFrame;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class Prompter;
class Session;

// One note on screen, in its own window and in the sender's colours and
// style, kept above the other windows until closed. A blinking note swaps
// its colours on a timer.
class Frm_Note : public QWidget
{
    Q_OBJECT
public:
    // received: the note was addressed to the current user, who may answer
    // and delete it; otherwise it is shown again for reading only.
    Frm_Note(Session &session, Prompter &prompter, const Note &note, bool received = true, QWidget *parent = nullptr);
    ~Frm_Note() override;

    const Note &note() const { return m_note; }
    static QSize noteSize() { return {360, 260}; }

    // How an answer is written and a client record opened (tests replace them).
    using Composer = std::function<void(const OutgoingNote &)>;
    using ClientOpener = std::function<void(qint64 client, bool individual)>;
    void setComposer(const Composer &composer) { m_composer = composer; }
    void setClientOpener(const ClientOpener &opener) { m_openClient = opener; }

    QPushButton *replyButton() const { return m_reply; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *clientButton() const { return m_client; }
    QPushButton *closeButton() const { return m_close; }
    QPlainTextEdit *textView() const { return m_text; }
    QLabel *titleLabel() const { return m_title; }

    // One beat of the blinking: the colours change places.
    void blink();
    bool swapped() const { return m_swapped; }
    bool isBlinking() const;
    // The colours shown at the moment (swapped on every other beat).
    QColor shownBackground() const;

    void reply();
    void remove();
    void openClient();

protected:
    // Escape closes the window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void paintColours();

    Session &m_session;
    Prompter &m_prompter;
    Note m_note;
    bool m_swapped = false;
    QFrame *m_paper;
    QLabel *m_title;
    QPlainTextEdit *m_text;
    QPushButton *m_reply;
    QPushButton *m_delete;
    QPushButton *m_client;
    QPushButton *m_close;
    QTimer *m_blinkTimer;
    Composer m_composer;
    ClientOpener m_openClient;
};
