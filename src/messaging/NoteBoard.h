#pragma once

#include "messaging/MessageStore.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

class QSystemTrayIcon;
class Frm_Note;
class Prompter;
class Session;

// The notes on this workstation's screen: each poll opens every new note in
// its own window, placed where it covers no other note, and an icon in the
// notification area says that notes are waiting. A poll that fails says so
// once; the next polls retry quietly until one succeeds.
class NoteBoard : public QObject
{
    Q_OBJECT
public:
    NoteBoard(Session &session, Prompter &prompter, QObject *parent = nullptr);
    ~NoteBoard() override;

    void poll(const QDateTime &now = QDateTime::currentDateTime());

    // Opens a note window in the first free place.
    Frm_Note *show(const Note &note, bool received = true);
    QList<Frm_Note *> notes() const;
    // The place a note was given, -1 for one not on the board.
    int placeOf(const Frm_Note *note) const;

    // Where the note of place `index` stands: columns from the right edge of
    // the screen's free area, top to bottom, then leftwards; past a full
    // screen, the places start again slightly shifted.
    static QRect place(int index, const QRect &available, const QSize &size);

    // What the notification-area icon says; empty when no note waits.
    QString waitingText() const;
    QSystemTrayIcon *trayIcon() const { return m_tray; }

signals:
    void notesChanged(int waiting);

private:
    void forget(QObject *note);
    void updateTray();
    void bringNotesForward();

    Session &m_session;
    Prompter &m_prompter;
    struct Placed
    {
        QPointer<Frm_Note> note;
        int place = 0;
    };
    QList<Placed> m_notes;
    QSize m_frame{8, 32}; // title bar and borders, until a window on screen tells
    QSystemTrayIcon *m_tray = nullptr;
    bool m_polling = false;
    bool m_failing = false;
};
