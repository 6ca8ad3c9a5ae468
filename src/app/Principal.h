#pragma once

#include "app/MainMenuRules.h"
#include "core/StartupSettings.h"

#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QShortcut;
class QSystemTrayIcon;
class QTimer;
class LanguageApplier;
class NoteBoard;
class Prompter;
class Session;

// The program's main window: the main menu from which every screen opens,
// the title that tells which database is open, the notification-area icon,
// the message poll and the hot keys.
class Principal : public QMainWindow
{
    Q_OBJECT
public:
    Principal(Session &session, Prompter &prompter, QWidget *parent = nullptr);
    ~Principal() override;

    // "Quenzo - description", "Quenzo" without one, "Quenzo - Non connecté" without a database.
    static QString titleFor(const Session &session);

    // Applies the settings read at start-up: window or icon mode, poll
    // interval, hot keys.
    void applySettings(const StartupSettings &settings);
    // Opens the database and logs in; enables the menus accordingly.
    void logInAtStartup();

    // Opens the screen of a menu item: a second request brings the open one forward.
    using ScreenFactory = std::function<QWidget *()>;
    void setScreen(MenuItem item, const ScreenFactory &factory);
    void openScreen(MenuItem item);
    QWidget *openedScreen(MenuItem item) const;

    // The login panel (replaceable by tests): true when a user logged in.
    void setLoginPanel(const std::function<bool()> &panel) { m_loginPanel = panel; }
    // Called by the message timer and after a log in (the note board by default).
    void setMessagePoll(const std::function<void(const QDateTime &)> &poll) { m_messagePoll = poll; }
    NoteBoard *noteBoard() const { return m_notes; }

    QAction *action(MenuItem item) const { return m_actions.value(item); }
    bool loginPassed() const { return m_loginPassed; }
    bool usesTrayIcon() const { return m_tray != nullptr; }

    // Puts the chosen interface language on every window as it shows.
    LanguageApplier *languageApplier() const { return m_language; }
    // Opens the database the settings now name (after the wizard made one) and logs in.
    void reopenDatabase();
    // The very first start: offers the demonstration database and the
    // wizard; the empty database stays open when neither is taken.
    void offerFirstStart();

    void updateTitle();
    void updateMenus();
    void changeUser();
    void chooseDatabase();

    // One tick of the message timer; returns whether the poll ran.
    bool messageTick(const QDateTime &now = QDateTime::currentDateTime());
    // A hot key was pressed.
    void hotKey(int index);
    // A double click on the notification-area icon.
    void trayDoubleClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildTray();
    bool busy() const;
    void about();
    void pollAfterLogIn();

    Session &m_session;
    Prompter &m_prompter;
    StartupSettings m_settings;
    QMenu *m_menu;
    QHash<MenuItem, QAction *> m_actions;
    QHash<MenuItem, ScreenFactory> m_factories;
    QHash<MenuItem, QPointer<QWidget>> m_screens;
    QList<QShortcut *> m_hotKeys;
    QSystemTrayIcon *m_tray = nullptr;
    QTimer *m_messageTimer;
    QLabel *m_status;
    NoteBoard *m_notes;
    LanguageApplier *m_language;
    QDateTime m_lastPoll;
    bool m_loginPassed = false;
    bool m_handlingIcon = false;
    std::function<bool()> m_loginPanel;
    std::function<void(const QDateTime &)> m_messagePoll;
};
