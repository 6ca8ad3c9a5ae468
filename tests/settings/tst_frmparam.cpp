#include "clients/ClientFreeZones.h"
#include "core/PasswordCodec.h"
#include "settings/FrmParam.h"
#include "settings/LanguageScreens.h"
#include "vocabulary/LanguageApplier.h"
#include "vocabulary/ScreenTexts.h"
#include "settings/ProgramSettings.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"
#include "vocabulary/Vocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// The parameters screen: workstation settings through the settings store,
// the shared free zones and words through the database.
class TestFrmParam : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    QTemporaryDir m_home;
    ScriptedPrompter m_prompter;

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        // The autostart entry goes to a scratch folder, never the user's own.
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        m_db = std::make_unique<TestDatabase>(QStringLiteral("frmparam"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        for (const char *section : {"UTIL", "Mail", "Connect"})
            m_ws->settings().remove(QString::fromLatin1(section));
        m_prompter.clear();
    }

    // A new workstation reads the defaults, and opening the screen writes nothing.
    void defaultsOfANewWorkstation()
    {
        Settings &s = m_ws->settings();
        const ProgramSettings p = ProgramSettings::read(s);
        QCOMPARE(p.splashSeconds, QStringLiteral("1"));
        QVERIFY(!p.ordinaryWindow);
        QCOMPARE(p.trayDoubleClick, 0);
        QCOMPARE(p.pollSeconds, 30);
        QCOMPARE(p.hotKeyCode, (QList<int>{0, 1, 2, 3}));
        QCOMPARE(p.hotKeyOn, QList<bool>(4, false));
        QCOMPARE(p.htmlDays, QStringLiteral("4"));
        QCOMPARE(p.htmlWidth, QStringLiteral("1024"));
        QCOMPARE(p.htmlPresentations, QList<bool>(9, false));
        QVERIFY(p.imagesFolder.isEmpty() && p.mail.server.isEmpty() && p.mail.port.isEmpty());
        QVERIFY(!p.mail.directSmtp && !p.autoConnect);

        FrmParam screen(m_ws->session(), m_prompter);
        QCOMPARE(screen.tabs()->count(), 8);
        QVERIFY(!s.contains(QStringLiteral("UTIL"), QStringLiteral("pan")));
        QVERIFY(!s.contains(QStringLiteral("Mail"), QStringLiteral("TypeMess")));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    // Every key written by validation reads back, as the other screens read it.
    void everySettingRoundTrips()
    {
        QTemporaryDir images, html;
        ProgramSettings p;
        p.splashSeconds = QStringLiteral("3");
        p.ordinaryWindow = true;
        p.trayDoubleClick = 2;
        p.pollSeconds = 120;
        p.hotKeyOn = {true, false, true, false};
        p.hotKeyCode = {int('K'), 1, 113, 200}; // 200: no key of the list, kept as it is
        p.imagesFolder = images.path();
        p.documentsFolder = images.path();
        p.htmlFolder = html.path();
        p.htmlPresentations[1] = p.htmlPresentations[8] = true;
        p.htmlPlannings[2] = true;
        p.htmlDays = QStringLiteral("7");
        p.htmlWidth = QStringLiteral("1600");
        p.autoConnect = true;
        p.login = QStringLiteral("ADMIN");
        p.password = QStringLiteral("Ombre");
        p.mail.directSmtp = true;
        p.mail.server = QStringLiteral("smtp.example.org");
        p.mail.port = QStringLiteral("587");
        p.mail.authenticate = true;
        p.mail.user = QStringLiteral("planif");
        p.mail.password = QStringLiteral("s3cret;é");
        p.mail.proxy = QStringLiteral("proxy:3128");
        p.mail.sender = QStringLiteral("planning@example.org");
        p.mail.readReceipt = p.mail.withClients = true;
        QVERIFY(checkProgramSettings(p).isEmpty());
        p.write(m_ws->settings());

        Settings &s = m_ws->settings();
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("Messages")), QStringLiteral("120"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("0Touche")), QStringLiteral("75"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("8HTML")), QStringLiteral("1"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("0HTML")), QStringLiteral("0"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("2HTMLPLAN")), QStringLiteral("1"));
        QCOMPARE(s.read(QStringLiteral("UTIL"), QStringLiteral("presentation")), QStringLiteral("1"));
        QCOMPARE(s.read(QStringLiteral("Mail"), QStringLiteral("TypeMess")), QStringLiteral("1"));
        // Secrets are stored scrambled, never as typed.
        QCOMPARE(s.read(QStringLiteral("Mail"), QStringLiteral("PasseSMTP")), PasswordCodec::encode(QStringLiteral("s3cret;é")));
        QCOMPARE(s.read(QStringLiteral("Connect"), QStringLiteral("Login")), PasswordCodec::encode(QStringLiteral("ADMIN")));

        const ProgramSettings back = ProgramSettings::read(s);
        QCOMPARE(back.splashSeconds, p.splashSeconds);
        QCOMPARE(back.ordinaryWindow, true);
        QCOMPARE(back.trayDoubleClick, 2);
        QCOMPARE(back.pollSeconds, 120);
        QCOMPARE(back.hotKeyOn, p.hotKeyOn);
        QCOMPARE(back.hotKeyCode, p.hotKeyCode);
        QCOMPARE(back.imagesFolder, p.imagesFolder);
        QCOMPARE(back.htmlFolder, p.htmlFolder);
        QCOMPARE(back.htmlPresentations, p.htmlPresentations);
        QCOMPARE(back.htmlPlannings, p.htmlPlannings);
        QCOMPARE(back.htmlDays, p.htmlDays);
        QCOMPARE(back.htmlWidth, p.htmlWidth);
        QCOMPARE(back.login, p.login);
        QCOMPARE(back.password, p.password);
        QCOMPARE(back.mail.server, p.mail.server);
        QCOMPARE(back.mail.port, p.mail.port);
        QCOMPARE(back.mail.password, p.mail.password);
        QCOMPARE(back.mail.proxy, p.mail.proxy);
        QCOMPARE(back.mail.sender, p.mail.sender);
        QVERIFY(back.mail.directSmtp && back.mail.authenticate && back.mail.readReceipt && back.mail.withClients);
        QVERIFY(!back.mail.html && !back.mail.withDates);

        // The screen shows what is stored and validating it unchanged keeps it.
        FrmParam screen(m_ws->session(), m_prompter);
        QCOMPARE(screen.smtpPort()->text(), QStringLiteral("587"));
        QVERIFY(screen.validate());
        const ProgramSettings again = ProgramSettings::read(s);
        QCOMPARE(again.hotKeyCode, p.hotKeyCode);
        QCOMPARE(again.mail.password, p.mail.password);
        QCOMPARE(again.login, p.login);
    }

    // Without auto-connection the stored user and password stay as they were.
    void loginKeptWhenAutoConnectionIsOff()
    {
        m_ws->settings().write(QStringLiteral("Connect"), QStringLiteral("Login"), QStringLiteral("123"));
        ProgramSettings p;
        p.write(m_ws->settings());
        QCOMPARE(m_ws->settings().read(QStringLiteral("Connect"), QStringLiteral("Auto")), QStringLiteral("0"));
        QCOMPARE(m_ws->settings().read(QStringLiteral("Connect"), QStringLiteral("Login")), QStringLiteral("123"));
    }

    void badInputIsRefused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing images folder") << 0 << "/nonexistent/quenzo/images" << "n'existe pas";
        QTest::newRow("missing HTML folder") << 2 << "/nonexistent/html" << "n'existe pas";
        QTest::newRow("port not a number") << 10 << "vingt-cinq" << "port du serveur SMTP";
        QTest::newRow("port out of range") << 10 << "70000" << "port du serveur SMTP";
    }
    // Nothing is written while one field is wrong; the message says which.
    void badInputIsRefused()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        FrmParam screen(m_ws->session(), m_prompter);
        (field == 10 ? screen.smtpPort() : screen.folderField(field))->setText(value);
        QVERIFY(!screen.validate());
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Attention"));
        QVERIFY2(m_prompter.shown().first().text.contains(message), qPrintable(m_prompter.shown().first().text));
        QVERIFY(!m_ws->settings().contains(QStringLiteral("UTIL"), QStringLiteral("pan")));
        QVERIFY(!m_ws->settings().contains(QStringLiteral("Mail"), QStringLiteral("PortSMTP")));
    }

    // What one workstation calls its free zones, the next client screen of
    // another workstation shows.
    void freeZonesAreShared()
    {
        FrmParam screen(m_ws->session(), m_prompter);
        screen.freeFieldLabel(0)->setText(QStringLiteral("N° d'agrément"));
        QVERIFY(screen.validate());
        QVERIFY(m_prompter.shown().isEmpty());
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_chlibres")), QStringLiteral("1"));

        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        ClientFreeZones zones;
        QVERIFY(ClientFreeZones::load(other.session(), &zones));
        QCOMPARE(zones.textLabels[0], QStringLiteral("N° d'agrément"));
        QCOMPARE(zones.textLabels[1], QStringLiteral("Champs libre 2"));
        QCOMPARE(zones.dataLabels[8], QStringLiteral("Commentaire"));

        // Saving again updates the one row rather than adding another.
        zones.textVisible[2] = false;
        zones.dataTitle = QStringLiteral("Suivi");
        QVERIFY(zones.save(other.session()));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_chlibres")), QStringLiteral("1"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_donneeslibres")), QStringLiteral("1"));
        ClientFreeZones mine;
        QVERIFY(ClientFreeZones::load(m_ws->session(), &mine));
        QVERIFY(!mine.textVisible[2]);
        QCOMPARE(mine.dataTitle, QStringLiteral("Suivi"));
    }

    // The example follows the boxes as they are ticked; validation shares the word.
    void vocabularyTabBuildsMessages()
    {
        FrmParam screen(m_ws->session(), m_prompter);
        QVERIFY(screen.exampleSentence().startsWith(QStringLiteral("Déplacer toute la Tâche ?")));
        screen.termSingular(4)->setText(QStringLiteral("Intervention"));
        screen.termFeminine(4)->setChecked(false);
        screen.termVowel(4)->setChecked(true);
        QVERIFY(screen.exampleSentence().startsWith(QStringLiteral("Déplacer tout l'Intervention ?")));
        screen.termSingular(0)->setText(QStringLiteral("Technicien"));
        screen.termFeminine(0)->setChecked(false);
        QVERIFY(screen.exampleSentence().contains(QStringLiteral("Erreur lors de la lecture du Technicien")));
        saveScreenshot(screen, QStringLiteral("frmparam-vocabulaire"));
        QVERIFY(screen.validate());

        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(Vocabulary::load(other.session()));
        const Terms &t = other.session().terms();
        QCOMPARE(QStringLiteral("Déplacer ") + t.quantifier(Entity::Tache) + t.article(Entity::Tache) + t.singular(Entity::Tache),
                 QStringLiteral("Déplacer tout l'Intervention"));
        QCOMPARE(t.partitive(Entity::Ressource) + t.singular(Entity::Ressource), QStringLiteral("du Technicien"));
    }

    // The test message goes through a real SMTP server to the sender.
    void testMessageReachesTheServer()
    {
        SmtpSink sink;
        QVERIFY(sink.start());
        FrmParam screen(m_ws->session(), m_prompter);
        screen.sendingMode()->setCurrentIndex(1);
        screen.smtpServer()->setText(QStringLiteral("127.0.0.1"));
        screen.smtpPort()->setText(QString::number(sink.port));
        screen.mailSender()->setText(QStringLiteral("planning@example.org"));
        screen.sendTestMessage();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Le message a été envoyé.")});
        QTRY_VERIFY(sink.message().contains("Message d'essai de Quenzo"));
        // Trying the settings does not save them.
        QVERIFY(!m_ws->settings().contains(QStringLiteral("Mail"), QStringLiteral("ServSMTP")));
    }

    // Every screen of the language tool's list builds on a real database and
    // exports its texts; read back, the file changes nothing on the screens.
    void exportOfEveryScreen()
    {
        QTemporaryDir lang;
        LanguageApplier applier(m_ws->settings(), lang.path());
        const QList<TestLang::ScreenFactory> screens = languageScreens(m_ws->session(), m_prompter);
        QCOMPARE(screens.size(), 22);
        TestLang tool(applier, m_prompter, screens);
        tool.exportScreens();
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("FINI"));
        LanguageFile file;
        QVERIFY(file.load(lang.filePath(QStringLiteral("default.ini"))));
        QCOMPARE(file.sections().size(), 22);
        QCOMPARE(file.value(QStringLiteral("FrmParam"), QStringLiteral("Caption")), QStringLiteral("Paramétrages de l'application"));
        QCOMPARE(file.value(QStringLiteral("Frm_AidParam"), QStringLiteral("Caption")), QStringLiteral("Aide au paramétrage"));
        FrmParam screen(m_ws->session(), m_prompter);
        QCOMPARE(ScreenTexts::apply(&screen, file), 0);
        QVERIFY(ScreenTexts::unknownKeys(&screen, file).isEmpty());
    }

    void screenshots()
    {
        FrmParam screen(m_ws->session(), m_prompter);
        const QStringList names = {QStringLiteral("general"), QStringLiteral("repertoires"), QStringLiteral("html"),
                                   QStringLiteral("messagerie"), QStringLiteral("champslibres"), QStringLiteral("donneeslibres"),
                                   QStringLiteral("vocabulaire"), QStringLiteral("planning")};
        for (int i = 0; i < screen.tabs()->count(); ++i) {
            screen.tabs()->setCurrentIndex(i);
            saveScreenshot(screen, QStringLiteral("frmparam-%1-%2").arg(i).arg(names.value(i)));
        }
    }
};

QTEST_MAIN(TestFrmParam)
#include "tst_frmparam.moc"
