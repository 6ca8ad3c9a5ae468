#include "access/GesGroupes.h"
#include "access/GesUtilisateurs.h"
#include "access/PanLogin.h"
#include "core/PasswordCodec.h"
#include "access/SaisMotDePasse.h"
#include "access/StartupLogin.h"
#include "access/UserStore.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// The login panel, the password dialogs and the user and group screens, driven as a person would.
class TestAccessScreens : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    Session &session() { return m_ws->session(); }
    static QListWidgetItem *itemNamed(QListWidget *list, const QString &text)
    {
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("accessscreens"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(StartupLogin::run(session(), {}, [this] { return Access::logIn(session(), "Admin", "Ombre").ok(); }));
        m_prompter.clear();
    }

    void loginPanelWithTheListOfUsers()
    {
        QVERIFY(UserStore::save(session(), {QStringLiteral("zoé"), QStringLiteral("Zoé"), QStringLiteral("z"), 0, {}},
                                QStringLiteral("z")));
        PanLogin panel(session(), m_prompter);
        QVERIFY(panel.userList());
        QCOMPARE(panel.userList()->count(), 2);
        QCOMPARE(panel.userList()->currentText(), QStringLiteral("Admin")); // the current user
        QTest::keyClicks(panel.passwordField(), QStringLiteral("mauvais"));
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Rejected)); // stays open
        QCOMPARE(m_prompter.texts(), QStringList{"Mot de passe incorrect"});
        QVERIFY(panel.passwordField()->text().isEmpty());
        QVERIFY(!session().isLoggedIn());

        panel.userList()->setCurrentText(QStringLiteral("zoé"));
        QTest::keyClicks(panel.passwordField(), QStringLiteral("z"));
        panel.show();
        QTest::keyClick(panel.passwordField(), Qt::Key_Return); // Enter in the password logs in
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(session().userCode(), QStringLiteral("zoé"));
        saveScreenshot(panel, QStringLiteral("login"));
    }

    void loginPanelWithATypedCode()
    {
        session().description().afflogin = false;
        PanLogin panel(session(), m_prompter);
        QVERIFY(!panel.userList());
        QCOMPARE(panel.codeField()->text(), QStringLiteral("Admin"));
        panel.codeField()->setText(QStringLiteral("inconnu"));
        QTest::keyClicks(panel.passwordField(), QStringLiteral("Ombre"));
        panel.accept();
        QCOMPARE(m_prompter.texts(), QStringList{"Ce code utilisateur n'existe pas !"});
    }

    void newPasswordMustBeConfirmed()
    {
        SaisMotDePasse dialog(SaisMotDePasse::Mode::NewPassword, m_prompter);
        const QList<QLineEdit *> fields = dialog.findChildren<QLineEdit *>();
        QCOMPARE(fields.size(), 2);
        QTest::keyClicks(fields[0], QStringLiteral("abc"));
        QTest::keyClicks(fields[1], QStringLiteral("abd"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Mauvaise confirmation"));
        QCOMPARE(m_prompter.texts(), QStringList{"Les mots de passe ne correspondent pas"});
        QTest::keyClicks(fields[1], QStringLiteral("abc"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.password(), QStringLiteral("abc"));
        saveScreenshot(dialog, QStringLiteral("nouveau_mot_de_passe"));
    }

    void userScreenCreatesEditsAndDeletes()
    {
        GesUtilisateurs screen(session(), m_prompter);
        QCOMPARE(screen.userList()->topLevelItemCount(), 1);
        screen.newUser();
        QTest::keyClicks(screen.codeField(), QStringLiteral("paul"));
        QTest::keyClicks(screen.labelField(), QStringLiteral("Paul Durand"));
        QTest::keyClicks(screen.passwordField(), QStringLiteral("secret"));
        QTest::keyClicks(screen.confirmationField(), QStringLiteral("secret"));
        itemNamed(screen.groupList(), QStringLiteral("Admin"))->setCheckState(Qt::Checked);
        QTest::mouseClick(screen.saveButton(), Qt::LeftButton);
        QVERIFY2(m_prompter.texts().isEmpty(), qPrintable(m_prompter.texts().join(QLatin1Char('|'))));
        QCOMPARE(screen.userList()->topLevelItemCount(), 2);
        QCOMPARE(screen.userList()->currentItem()->text(2), QStringLiteral("Admin"));
        // Codes are limited so that their encoded form fits the column.
        QCOMPARE(screen.codeField()->maxLength(), 20);
        saveScreenshot(screen, QStringLiteral("utilisateurs"));

        m_prompter.answer({false, true});
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(screen.userList()->topLevelItemCount(), 2);
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.shown().at(0).text, QStringLiteral("Supprimer l'utilisateur paul ?"));
        QCOMPARE(m_prompter.defaults().first(), false);
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Utilisateur supprimé"));
        QCOMPARE(screen.userList()->topLevelItemCount(), 1);
    }

    void adminKeepsGroupZero()
    {
        GesUtilisateurs screen(session(), m_prompter);
        screen.selectUser(QStringLiteral("Admin"));
        itemNamed(screen.groupList(), QStringLiteral("Admin"))->setCheckState(Qt::Unchecked);
        screen.save();
        QCOMPARE(m_prompter.texts(), QStringList{"Vous ne pouvez pas supprimer ce groupe de l'administrateur"});
    }

    void managementSwitchAsksFirst()
    {
        GesUtilisateurs screen(session(), m_prompter);
        QCOMPARE(screen.managementButton()->text(),
                 QStringLiteral("Gestion des utilisateurs activée. Cliquez ici pour la désactiver"));
        m_prompter.answer({false});
        screen.toggleManagement();
        QVERIFY(session().description().geslogin);
        QCOMPARE(m_prompter.texts().first(),
                 QStringLiteral("Attention, en cliquant ici vous allez désactiver la gestion des uilisateurs\n"
                                "Continuer quand même ?"));
        m_prompter.answer({true});
        screen.toggleManagement();
        QVERIFY(!session().description().geslogin);
        QCOMPARE(screen.managementButton()->text(),
                 QStringLiteral("Gestion des utilisateurs désactivée. Cliquez ici pour la ré-activer"));
    }

    void userWithoutRightsIsRefused()
    {
        QVERIFY(UserStore::save(session(), {QStringLiteral("lucie"), QStringLiteral("Lucie"), QStringLiteral("l"), 0, {}},
                                QStringLiteral("l")));
        QVERIFY(Access::logIn(session(), QStringLiteral("lucie"), QStringLiteral("l")));
        GesUtilisateurs screen(session(), m_prompter);
        QVERIFY(!screen.newButton()->isEnabled());
        QVERIFY(!screen.deleteButton()->isEnabled());
        screen.newUser();
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Désolé"));
        QCOMPARE(m_prompter.texts(), QStringList{"Vous n'avez pas le droit de créer des utilisateurs"});
    }

    void groupScreenSavesTheThreeLists()
    {
        GesGroupes screen(session(), m_prompter);
        QCOMPARE(screen.nameField()->text(), QStringLiteral("Admin"));
        QCOMPARE(screen.rightsList(0)->count(), 10);
        screen.newGroup();
        screen.save();
        QCOMPARE(m_prompter.texts(), QStringList{"Vous devez donner un nom à ce groupe !"});
        QTest::keyClicks(screen.nameField(), QStringLiteral("Accueil"));
        itemNamed(screen.rightsList(0), QStringLiteral("Gestion des Congés"))->setCheckState(Qt::Checked);
        itemNamed(screen.rightsList(2), QStringLiteral("Gestion des Clients"))->setCheckState(Qt::Checked);
        screen.save();
        QCOMPARE(screen.groupChoice()->currentText(), QStringLiteral("Accueil"));
        GroupRecord saved;
        QVERIFY(GroupStore::load(m_ws->db(), 1, &saved));
        QCOMPARE(saved.name, QStringLiteral("Accueil"));
        QVERIFY(saved.rights.value(QStringLiteral("CONGES")).create);
        QVERIFY(!saved.rights.value(QStringLiteral("CONGES")).modify);
        QVERIFY(saved.rights.value(QStringLiteral("SOCIETE")).remove);
        saveScreenshot(screen, QStringLiteral("groupes"));
    }
};

QTEST_MAIN(TestAccessScreens)
#include "tst_accessscreens.moc"
