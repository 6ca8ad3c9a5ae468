#include "app/Principal.h"

#include "access/GesGroupes.h"
#include "access/GesUtilisateurs.h"
#include "access/OpenPrompts.h"
#include "access/PanLogin.h"
#include "access/StartupLogin.h"
#include "core/ChoixBase.h"
#include "core/PanDemarrage.h"
#include "core/Prompter.h"
#include "core/Session.h"
#include "clients/GesParticuliers.h"
#include "clients/GesSocietes.h"
#include "clients/ListClients.h"
#include "resources/CatalogueScreens.h"
#include "resources/Equipes.h"
#include "reports/Frm_HistoClient.h"
#include "reports/Frm_Histo.h"
#include "resources/GesRessources.h"
#include "resources/ListRessources.h"
#include "resources/GesCivilites.h"
#include "planning/FrmPlanning.h"
#include "messaging/Frm_BoiteLettres.h"
#include "messaging/Frm_Message.h"
#include "messaging/NoteBoard.h"
#include "tasks/Frm_Periode.h"
#include "tasks/ListEtapes.h"
#include "core/Settings.h"
#include "settings/DemoDatabase.h"
#include "settings/FrmParam.h"
#include "settings/Frm_AidParam.h"
#include "settings/Frm_Bienvenue.h"
#include "settings/LanguageScreens.h"
#include "settings/NewFileDatabase.h"
#include "vocabulary/LanguageApplier.h"
#include "vocabulary/TestLang.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSessionManager>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int TrayTooltipLength = 63;
// Screens the hot keys 0 to 3 open.
constexpr MenuItem HotKeyScreens[] = {MenuItem::Clients, MenuItem::Ressources, MenuItem::Planning,
                                      MenuItem::EnvoyerMessage};

} // namespace

Principal::Principal(Session &session, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_prompter(prompter), m_menu(menuBar()->addMenu(QStringLiteral("&Menu"))),
      m_messageTimer(new QTimer(this)), m_status(new QLabel(this)), m_notes(new NoteBoard(session, prompter, this)),
      m_language(new LanguageApplier(session.settings(), LanguageFile::folder(QApplication::applicationDirPath()), this))
{
    setWindowIcon(QIcon::fromTheme(QStringLiteral("quenzo"), QIcon::fromTheme(QStringLiteral("x-office-calendar"))));
    m_status->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_status);
    resize(800, 500);
    buildMenu();

    m_loginPanel = [this] {
        PanLogin panel(m_session, m_prompter, this);
        return panel.exec() == QDialog::Accepted;
    };
    setScreen(MenuItem::Utilisateurs, [this]() -> QWidget * {
        auto *screen = new GesUtilisateurs(m_session, m_prompter, this);
        connect(screen, &GesUtilisateurs::groupsRequested, screen, [this, screen] {
            GesGroupes groups(m_session, m_prompter, screen);
            groups.exec();
        });
        return screen;
    });

    setScreen(MenuItem::Clients, [this]() -> QWidget * {
        auto *list = new ListClients(m_session, m_prompter, this);
        list->setOpener([this, list](int kind, qint64 number) {
            return kind == 0 ? GesSocietes::edit(m_session, m_prompter, number, list)
                             : GesParticuliers::edit(m_session, m_prompter, number, list);
        });
        return list;
    });
    setScreen(MenuItem::Ressources, [this]() -> QWidget * {
        auto *list = new ListRessources(m_session, m_prompter, this);
        list->setOpener([this, list](qint64 number) { return GesRessources::edit(m_session, m_prompter, number, list); });
        return list;
    });
    setScreen(MenuItem::HistoRessources, [this]() -> QWidget * { return new Frm_Histo(m_session, m_prompter, 0, this); });
    setScreen(MenuItem::HistoClients, [this]() -> QWidget * { return new Frm_HistoClient(m_session, m_prompter, 0, this); });
    setScreen(MenuItem::Equipes, [this]() -> QWidget * { return new ListEquipes(m_session, m_prompter, false, this); });
    setScreen(MenuItem::Civilites, [this]() -> QWidget * { return new GesCivilites(m_session, m_prompter, this); });
    // The rule dialog on its own tests a periodicity.
    setScreen(MenuItem::Periode, [this]() -> QWidget * { return new Frm_Periode(m_session, m_prompter, this); });
    setScreen(MenuItem::Etapes, [this]() -> QWidget * { return new ListEtapes(m_session, m_prompter, this); });
    setScreen(MenuItem::Competences, [this]() -> QWidget * { return new GesCompetences(m_session, m_prompter, this); });
    setScreen(MenuItem::Contrats, [this]() -> QWidget * { return new GesContrats(m_session, m_prompter, this); });
    setScreen(MenuItem::Planning, [this]() -> QWidget * {
        auto *planning = new FrmPlanning(m_session, m_prompter, this);
        planning->setWindowFlag(Qt::Window);
        planning->setAttribute(Qt::WA_DeleteOnClose);
        return planning;
    });

    // Messages belong to a user: without one (no user management) there are none.
    auto forUser = [this](auto screen) -> QWidget * {
        if (m_session.isLoggedIn())
            return screen();
        m_prompter.show(QStringLiteral("Désolé"), QStringLiteral("Les messages sont réservés aux utilisateurs connectés"),
                        Prompter::Icon::Warning);
        return nullptr;
    };
    setScreen(MenuItem::EnvoyerMessage, [this, forUser] {
        return forUser([this] { return new Frm_Message(m_session, m_prompter, {}, this); });
    });
    setScreen(MenuItem::BoiteAuxLettres, [this, forUser] {
        return forUser([this] { return new Frm_BoiteLettres(m_session, m_prompter, this); });
    });
    m_messagePoll = [this](const QDateTime &now) { m_notes->poll(now); };

    setScreen(MenuItem::Parametrage, [this]() -> QWidget * {
        auto *screen = new FrmParam(m_session, m_prompter, this);
        // Hot keys, message poll and double-click screen apply at once.
        connect(screen, &QDialog::accepted, this, [this] { applySettings(StartupSettings::read(m_session.settings())); });
        return screen;
    });
    setScreen(MenuItem::Assistant, [this]() -> QWidget * {
        auto *wizard = new Frm_AidParam(m_session, m_prompter, this);
        connect(wizard, &QDialog::accepted, this, [this] { QTimer::singleShot(0, this, &Principal::reopenDatabase); });
        return wizard;
    });
    setScreen(MenuItem::Langue, [this]() -> QWidget * {
        return new TestLang(*m_language, m_prompter, languageScreens(m_session, m_prompter), this);
    });

    m_messageTimer->setInterval(1000);
    connect(m_messageTimer, &QTimer::timeout, this, [this] { messageTick(); });
    m_lastPoll = QDateTime::currentDateTime();
    updateMenus();
    updateTitle();
}

Principal::~Principal()
{
    if (m_tray)
        m_tray->hide();
}

QString Principal::titleFor(const Session &session)
{
    const QString app = QStringLiteral("Quenzo");
    if (!session.isDatabaseOpen())
        return app + QStringLiteral(" - Non connecté");
    const QString description = session.description().text;
    if (description.isEmpty() || description == QLatin1String("/"))
        return app;
    return app + QStringLiteral(" - ") + description;
}

void Principal::buildMenu()
{
    for (const MenuEntry &entry : mainMenuEntries()) {
        if (entry.separatorBefore)
            m_menu->addSeparator();
        QAction *action = m_menu->addAction(entry.text);
        m_actions.insert(entry.item, action);
        const MenuItem item = entry.item;
        connect(action, &QAction::triggered, this, [this, item] { openScreen(item); });
    }
    setScreen(MenuItem::ChangerUtilisateur, nullptr);
}

void Principal::setScreen(MenuItem item, const ScreenFactory &factory)
{
    if (factory)
        m_factories.insert(item, factory);
    else
        m_factories.remove(item);
}

QWidget *Principal::openedScreen(MenuItem item) const
{
    return m_screens.value(item);
}

void Principal::openScreen(MenuItem item)
{
    switch (item) {
    case MenuItem::ChangerUtilisateur:
        changeUser();
        return;
    case MenuItem::Connexion:
        chooseDatabase();
        return;
    case MenuItem::APropos:
        about();
        return;
    case MenuItem::Quitter:
        close();
        return;
    default:
        break;
    }
    if (QWidget *open = m_screens.value(item)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    const ScreenFactory factory = m_factories.value(item);
    if (!factory)
        return; // a screen still to come
    QWidget *screen = factory();
    if (!screen)
        return;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    m_screens.insert(item, screen);
    if (auto *dialog = qobject_cast<QDialog *>(screen)) {
        dialog->exec();
        updateMenus(); // rights may have changed
    } else {
        screen->show();
    }
}

void Principal::applySettings(const StartupSettings &settings)
{
    m_settings = settings;
    if (!settings.ordinaryWindow && QSystemTrayIcon::isSystemTrayAvailable())
        buildTray();
    qDeleteAll(m_hotKeys);
    m_hotKeys.clear();
    for (int i = 0; i < 4; ++i) {
        const int key = hotKeyToQtKey(settings.hotKeys.value(i, -1));
        if (settings.hotKeys.value(i, -1) < 0 || key == 0)
            continue;
        auto *shortcut = new QShortcut(QKeySequence(int(Qt::CTRL) | int(Qt::SHIFT) | key), this);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, i] { hotKey(i); });
        m_hotKeys.append(shortcut);
    }
    updateTitle();
}

void Principal::buildTray()
{
    if (m_tray)
        return;
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    auto *trayMenu = new QMenu(this);
    connect(trayMenu, &QMenu::aboutToShow, this, [this, trayMenu] {
        trayMenu->clear();
        trayMenu->addActions(m_menu->actions());
        const bool user = m_session.isLoggedIn();
        m_actions.value(MenuItem::EnvoyerMessage)->setEnabled(user && m_actions.value(MenuItem::EnvoyerMessage)->isEnabled());
        m_actions.value(MenuItem::BoiteAuxLettres)->setEnabled(user && m_actions.value(MenuItem::BoiteAuxLettres)->isEnabled());
        activateWindow();
    });
    connect(trayMenu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, &Principal::updateMenus); });
    m_tray->setContextMenu(trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            trayDoubleClick();
    });
    m_tray->show();
}

bool Principal::busy() const
{
    // A modal dialog is open: icon actions and hot keys must not re-enter a screen.
    return QApplication::activeModalWidget() != nullptr;
}

void Principal::trayDoubleClick()
{
    if (busy() || m_handlingIcon)
        return;
    m_handlingIcon = true;
    const int choice = m_settings.trayDoubleClick;
    if (choice < 0 || choice > 2) {
        close();
    } else {
        const MenuItem item = HotKeyScreens[choice];
        if (m_actions.value(item)->isEnabled() && m_actions.value(item)->isVisible())
            openScreen(item);
    }
    m_handlingIcon = false;
}

void Principal::hotKey(int index)
{
    if (busy() || !m_session.isDatabaseOpen() || index < 0 || index > 3)
        return;
    const MenuItem item = HotKeyScreens[index];
    if (m_actions.value(item)->isEnabled())
        openScreen(item);
}

void Principal::updateTitle()
{
    const QString title = titleFor(m_session);
    setWindowTitle(title);
    if (m_tray)
        m_tray->setToolTip(title.left(TrayTooltipLength));
    QString status;
    if (!m_session.isDatabaseOpen())
        status = QStringLiteral("Aucune base de données ouverte.\nChoisissez-en une par Menu > Connexion.");
    else if (m_session.isLoggedIn())
        status = QStringLiteral("Utilisateur : ") + m_session.userCode();
    m_status->setText(status);
}

void Principal::updateMenus()
{
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
        it.value()->setEnabled(isMenuItemEnabled(it.key(), m_session, m_loginPassed));
    if (m_session.isLoggedIn() && m_loginPassed) {
        m_lastPoll = QDateTime::currentDateTime();
        m_messageTimer->start();
    } else {
        m_messageTimer->stop();
    }
}

void Principal::logInAtStartup()
{
    m_messageTimer->stop();
    m_status->setText(QStringLiteral("Connexion à la base de données..."));
    const Outcome outcome = StartupLogin::run(m_session, openPrompts(m_prompter, this), m_loginPanel);
    m_prompter.show(outcome);
    m_loginPassed = outcome.ok();
    updateMenus();
    updateTitle();
    pollAfterLogIn();
}

void Principal::reopenDatabase()
{
    m_session.closeDatabase();
    logInAtStartup();
}

void Principal::offerFirstStart()
{
    Frm_Bienvenue welcome(this);
    if (welcome.exec() != QDialog::Accepted || welcome.choice() == Frm_Bienvenue::EmptyDatabase)
        return;
    if (welcome.choice() == Frm_Bienvenue::Wizard) {
        Frm_AidParam wizard(m_session, m_prompter, this);
        wizard.exec();
        return;
    }
    m_status->setText(QStringLiteral("Création de la base de démonstration..."));
    const QString demo = DemoDatabase::defaultPath();
    if (QFileInfo::exists(demo)) { // made on an earlier first start
        NewFileDatabase::useFile(m_session.settings(), demo);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Outcome made = DemoDatabase::create(m_session.settings(), demo);
    QApplication::restoreOverrideCursor();
    m_prompter.show(made);
}

void Principal::changeUser()
{
    if (!m_session.isDatabaseOpen()) {
        logInAtStartup();
        return;
    }
    m_messageTimer->stop();
    const Outcome outcome = StartupLogin::logIn(m_session, m_loginPanel);
    m_prompter.show(outcome);
    m_loginPassed = outcome.ok();
    updateMenus();
    updateTitle();
    pollAfterLogIn();
}

void Principal::pollAfterLogIn()
{
    if (m_loginPassed && m_session.isLoggedIn() && m_messagePoll)
        m_messagePoll(QDateTime::currentDateTime());
}

void Principal::chooseDatabase()
{
    ChoixBase dialog(m_session, m_prompter, openPrompts(m_prompter, this), this);
    if (dialog.exec() == QDialog::Accepted)
        changeUser();
    else
        updateMenus();
    updateTitle();
}

void Principal::about()
{
    PanDemarrage panel(0, QApplication::applicationDirPath(), this);
    panel.exec();
}

bool Principal::messageTick(const QDateTime &now)
{
    if (!m_session.isLoggedIn()) {
        m_messageTimer->stop();
        return false;
    }
    if (m_lastPoll.secsTo(now) <= m_settings.pollSeconds)
        return false;
    if (m_messagePoll)
        m_messagePoll(now);
    m_lastPoll = now;
    return true;
}

void Principal::closeEvent(QCloseEvent *event)
{
    // The desktop ending the session closes without asking.
    const bool sessionEnding = qApp->isSavingSession();
    if (!sessionEnding
        && !m_prompter.ask(QStringLiteral("Confirmation"),
                           QStringLiteral("Etes vous sûr(e) de vouloir quitter l'application ?"))) {
        event->ignore();
        return;
    }
    m_messageTimer->stop();
    m_hotKeys.clear();
    for (const QPointer<QWidget> &screen : std::as_const(m_screens))
        if (screen)
            screen->close();
    m_session.closeDatabase();
    if (m_tray)
        m_tray->hide();
    event->accept();
    qApp->quit();
}
