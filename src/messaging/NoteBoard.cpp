#include "messaging/NoteBoard.h"

#include "core/Prompter.h"
#include "messaging/Frm_Note.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>

#include <utility>

namespace {

constexpr int Gap = 8;

} // namespace

NoteBoard::NoteBoard(Session &session, Prompter &prompter, QObject *parent)
    : QObject(parent), m_session(session), m_prompter(prompter)
{
}

NoteBoard::~NoteBoard()
{
    // The notes are windows of their own: they go with the board.
    const QList<Placed> notes = std::exchange(m_notes, {});
    for (const Placed &p : notes)
        delete p.note.data();
}

void NoteBoard::poll(const QDateTime &now)
{
    // A message box shown by a poll runs the event loop: no poll inside a poll.
    if (m_polling)
        return;
    m_polling = true;
    QList<Note> shown;
    const Outcome outcome = MessageStore::poll(m_session, now, &shown);
    for (const Note &note : std::as_const(shown))
        show(note);
    if (outcome.ok()) {
        m_failing = false;
    } else if (!m_failing) {
        m_failing = true;
        m_prompter.show(outcome);
    }
    m_polling = false;
}

QRect NoteBoard::place(int index, const QRect &available, const QSize &size)
{
    const int rows = qMax(1, (available.height() + Gap) / (size.height() + Gap));
    const int columns = qMax(1, (available.width() + Gap) / (size.width() + Gap));
    const int perScreen = rows * columns;
    const int round = index / perScreen;
    const int slot = index % perScreen;
    const int column = slot / rows;
    const int row = slot % rows;
    const int shift = (round * 24) % qMax(24, size.height());
    const QPoint topLeft(available.right() + 1 - (column + 1) * (size.width() + Gap) + Gap - shift,
                         available.top() + row * (size.height() + Gap) + shift);
    return QRect(topLeft, size);
}

Frm_Note *NoteBoard::show(const Note &note, bool received)
{
    int free = 0;
    while (std::any_of(m_notes.cbegin(), m_notes.cend(), [&](const Placed &p) { return p.note && p.place == free; }))
        ++free;
    auto *window = new Frm_Note(m_session, m_prompter, note, received);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    // Places hold the whole window, title bar and borders included, as the
    // windows already on screen have them.
    for (const QWidget *shown : QApplication::topLevelWidgets())
        if (shown->isVisible() && shown->isWindow() && !(shown->windowFlags() & Qt::FramelessWindowHint)) {
            m_frame = shown->frameGeometry().size() - shown->geometry().size();
            break;
        }
    window->resize(Frm_Note::noteSize());
    window->move(place(free, available, Frm_Note::noteSize() + m_frame).topLeft());
    m_notes.append({window, free});
    connect(window, &QObject::destroyed, this, &NoteBoard::forget);
    window->show();
    updateTray();
    if (m_tray && m_tray->isVisible() && QSystemTrayIcon::supportsMessages())
        m_tray->showMessage(window->windowTitle(), note.title, QSystemTrayIcon::Information, 5000);
    return window;
}

QList<Frm_Note *> NoteBoard::notes() const
{
    QList<Frm_Note *> open;
    for (const Placed &p : m_notes)
        if (p.note)
            open.append(p.note);
    return open;
}

int NoteBoard::placeOf(const Frm_Note *note) const
{
    for (const Placed &p : m_notes)
        if (p.note == note)
            return p.place;
    return -1;
}

void NoteBoard::forget(QObject *note)
{
    m_notes.removeIf([note](const Placed &p) { return !p.note || p.note == note; });
    updateTray();
}

QString NoteBoard::waitingText() const
{
    const qsizetype waiting = notes().size();
    if (waiting == 0)
        return {};
    return waiting == 1 ? QStringLiteral("Quenzo - 1 message en attente")
                        : QStringLiteral("Quenzo - %1 messages en attente").arg(waiting);
}

void NoteBoard::updateTray()
{
    const QString text = waitingText();
    emit notesChanged(int(notes().size()));
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!m_tray) {
        QIcon icon = QIcon::fromTheme(QStringLiteral("mail-unread"));
        if (icon.isNull())
            icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
        m_tray = new QSystemTrayIcon(icon, this);
        connect(m_tray, &QSystemTrayIcon::activated, this, &NoteBoard::bringNotesForward);
    }
    m_tray->setToolTip(text);
    m_tray->setVisible(!text.isEmpty());
}

void NoteBoard::bringNotesForward()
{
    for (Frm_Note *note : notes()) {
        note->showNormal();
        note->raise();
    }
}
