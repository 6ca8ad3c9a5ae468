#include "app/Principal.h"
#include "core/DatabaseOpener.h"
#include "settings/Frm_Bienvenue.h"
#include "planning/FrmPlanning.h"
#include "settings/DemoDatabase.h"
#include "settings/Frm_AidParam.h"
#include "settings/NewFileDatabase.h"
#include "settings/StartingSet.h"
#include "core/widgets/HourMinuteEdit.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QCommandLinkButton>
#include <QFile>
#include <QTimer>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

// The first-database wizard: the starting set it writes (both back ends),
// and the new file it makes in one piece (file back end).
class TestAidParam : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    static QStringList rows(Database &db, const QString &sql)
    {
        ResultSet r;
        if (!db.query(sql, r))
            return {QStringLiteral("unreadable: ") + db.lastError()};
        QStringList out;
        for (int i = 0; i < r.rowCount(); ++i) {
            QStringList values;
            for (int c = 0; c < r.columnCount(); ++c)
                values.append(r.value(i, c));
            out.append(values.join(QLatin1Char('|')));
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("aidparam"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_prompter.clear();
    }

    // Numbers run on across the two resource kinds and the two client kinds;
    // emptied labels create nothing.
    void startingSetIsComplete()
    {
        StartingSet set;
        set.people = 3;
        set.equipment = 2;
        set.companies = 2;
        set.individuals = 1;
        set.taskTypes[1].clear();
        set.urgencies[0].clear();
        set.hours.hordeb = QStringLiteral("08:00");
        set.hours.jourstrav = QStringLiteral("1111110");
        QVERIFY(set.write(m_ws->session()));
        Database &db = m_ws->db();
        QCOMPARE(rows(db, QStringLiteral("select noid,libelle,nomressource,typeressource,coulfond,prenomressource,icone from kp_ressources order by noid")),
                 (QStringList{"1|Ressource 1|Ressource 1|0|12632319|/|/", "2|Ressource 2|Ressource 2|0|12632319|/|/",
                              "3|Ressource 3|Ressource 3|0|12632319|/|/", "4|Matériel 1|Matériel 1|1|12648384|/|/",
                              "5|Matériel 2|Matériel 2|1|12648384|/|/"}));
        QCOMPARE(rows(db, QStringLiteral("select noidsoc,typesoc,libsoc,nomcont,coulfond,cloture from kp_societes order by noidsoc")),
                 (QStringList{"1|0|Société 1|Contact|16761024|0", "2|0|Société 2|Contact|16761024|0", "3|1|/|Contact 1|12648447|0"}));
        QCOMPARE(rows(db, QStringLiteral("select noidtache,libtache,coulfond,duree from kp_taches order by noidtache")),
                 (QStringList{"1|Développement|16761087|00:00", "2|Dépannage|16761087|00:00", "3|Formation|16761087|00:00",
                              "4|Installation|16761087|00:00"}));
        QCOMPARE(rows(db, QStringLiteral("select code,libelle,coulfond from kp_urgences")), QStringList{"D2|Urgent|255"});
        QCOMPARE(rows(db, QStringLiteral("select hordeb,horfin,jourstrav from kp_paramplan")), QStringList{"08:00|18:00|1111110"});
    }

    // A failure midway leaves none of the rows.
    void failureWritesNothing()
    {
        StartingSet set;
        set.hours.horfin = QStringLiteral("07:00"); // before the start: refused after the rows
        QVERIFY(!set.write(m_ws->session()));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("0"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_taches")), QStringLiteral("0"));
    }

    // The wizard, page by page, on a new file; the workstation then opens it.
    void wizardMakesTheDatabase()
    {
        if (m_db->isServer())
            QSKIP("The wizard makes embedded database files only");
        QTemporaryDir folder;
        Frm_AidParam wizard(m_ws->session(), m_prompter);
        wizard.show();
        saveScreenshot(wizard, QStringLiteral("aidparam-1-nom"));
        wizard.next();
        QCOMPARE(wizard.currentId(), 0);
        QCOMPARE(m_prompter.shown().last().text, QStringLiteral("Vous devez entrer un nom pour votre base de données"));
        wizard.nameField()->setText(QStringLiteral("Atelier"));
        wizard.folderField()->setText(folder.path());
        wizard.next();
        // An end before the start is refused on its page.
        auto *end = wizard.currentPage()->findChildren<HourMinuteEdit *>().at(1);
        end->setTime(QStringLiteral("07:00"));
        m_prompter.clear();
        wizard.next();
        QCOMPARE(wizard.currentId(), 1);
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Impossible"));
        end->setTime(QStringLiteral("18:00"));
        wizard.back();
        const QStringList pages = {QStringLiteral("aidparam-2-horaires"), QStringLiteral("aidparam-3-nombres"),
                                   QStringLiteral("aidparam-4-taches"), QStringLiteral("aidparam-5-urgences")};
        for (const QString &page : pages) {
            wizard.next();
            saveScreenshot(wizard, page);
        }
        QCOMPARE(wizard.currentId(), 4);
        wizard.count(0)->setValue(2);
        wizard.count(1)->setValue(1);
        QVERIFY(wizard.validateCurrentPage());
        const QString path = folder.filePath(QStringLiteral("Atelier.qdb"));
        QCOMPARE(wizard.created(), path);
        QVERIFY(QFile::exists(path));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Atelier.qdb")});
        QCOMPARE(m_ws->settings().read(QStringLiteral("Base"), QStringLiteral("Chemin")), path);

        Session session(m_ws->settings());
        QVERIFY(DatabaseOpener(session).open(false));
        QCOMPARE(rows(*session.database(), QStringLiteral("select noid,libelle from kp_ressources order by noid")),
                 (QStringList{"1|Ressource 1", "2|Ressource 2", "3|Matériel 1"}));
        QCOMPARE(scalar(*session.database(), QStringLiteral("select count(*) from kp_societes")), QStringLiteral("10"));
        QCOMPARE(scalar(*session.database(), QStringLiteral("select count(*) from kp_paramplan")), QStringLiteral("1"));
    }

    void refusedTargets_data()
    {
        QTest::addColumn<QString>("file"); // in the temporary folder; "-" makes the folder read-only
        QTest::addColumn<QString>("message");
        QTest::newRow("existing file") << "Base.qdb" << "Ce fichier existe déjà !";
        QTest::newRow("missing folder") << "absent/Base.qdb" << "n'existe pas";
        QTest::newRow("read-only folder") << "-" << "droit d'écrire";
    }
    // Nothing is made and the workstation keeps its database.
    void refusedTargets()
    {
        if (m_db->isServer())
            QSKIP("Embedded database files only");
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QString target = folder.filePath(file);
        if (file == QLatin1String("-")) {
            if (geteuid() == 0)
                QSKIP("root writes into any folder");
            target = folder.filePath(QStringLiteral("Base.qdb"));
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        } else if (!file.contains(QLatin1Char('/'))) {
            QFile existing(target);
            QVERIFY(existing.open(QIODevice::WriteOnly));
        }
        const QString before = m_ws->settings().read(QStringLiteral("Base"), QStringLiteral("Chemin"));
        bool filled = false;
        const Outcome made = NewFileDatabase::create(target, [&filled](Session &) {
            filled = true;
            return Outcome::success();
        });
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!made);
        QVERIFY(!filled);
        QCOMPARE(made.title(), QStringLiteral("Impossible"));
        QVERIFY2(made.text().contains(message), qPrintable(made.text()));
        QCOMPARE(m_ws->settings().read(QStringLiteral("Base"), QStringLiteral("Chemin")), before);
    }

    // A fill that fails (or a run stopped midway) leaves no file a later start would open.
    void failedFillLeavesNoFile()
    {
        if (m_db->isServer())
            QSKIP("Embedded database files only");
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("Base.qdb"));
        const Outcome made = NewFileDatabase::create(target, [](Session &session) {
            session.database()->exec(QStringLiteral("insert into kp_urgences (code,libelle,coulfond,coultexte) values ('X','x',0,0)"));
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour de la base"));
        });
        QVERIFY(!made);
        QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // The demonstration database: a living planning around today.
    void demoDatabase()
    {
        if (m_db->isServer())
            QSKIP("Embedded database files only");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("demo.qdb"));
        const QDate today(2026, 12, 9); // a Wednesday
        QVERIFY(DemoDatabase::create(m_ws->settings(), path, today));
        QCOMPARE(m_ws->settings().read(QStringLiteral("Base"), QStringLiteral("Chemin")), path);
        Session session(m_ws->settings());
        QVERIFY(DatabaseOpener(session).open(false));
        Database &db = *session.database();
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("6"));
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_societes")), QStringLiteral("12"));
        QVERIFY(scalar(db, QStringLiteral("select count(*) from kp_taches_dates where datedeb >= '2026-12-07' and datedeb < '2026-12-14'")).toInt() > 5);
        QVERIFY(scalar(db, QStringLiteral("select count(*) from kp_periode")).toInt() >= 1);
        QVERIFY(scalar(db, QStringLiteral("select count(*) from kp_taches_desc where codeconge <> '/'")).toInt() >= 1);
        QCOMPARE(scalar(db, QStringLiteral("select libelle from kp_joursferies where dateferie like '2026-12-10%'")),
                 QStringLiteral("Férié de démonstration"));
        if (!qEnvironmentVariable("QUENZO_SCREENSHOT_DIR").isEmpty()) {
            session.setUser(QStringLiteral("ADMIN"), QString());
            FrmPlanning planning(session, m_prompter);
            planning.resize(1200, 700);
            planning.reload();
            saveScreenshot(planning, QStringLiteral("demonstration-planning"));
        }
        // Asked again, it refuses to overwrite the file.
        QVERIFY(!DemoDatabase::create(m_ws->settings(), path, today));
    }

    // The very first start offers the demonstration database first; taking
    // it points the workstation at a new file in the user's data folder.
    void firstStartOffersTheDemo()
    {
        if (m_db->isServer())
            QSKIP("Embedded database files only");
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Principal window(m_ws->session(), m_prompter);
        QTimer::singleShot(0, this, [] {
            auto *welcome = qobject_cast<Frm_Bienvenue *>(QApplication::activeModalWidget());
            QVERIFY(welcome);
            saveScreenshot(*welcome, QStringLiteral("premier-lancement-offre"));
            const QList<QCommandLinkButton *> choices = welcome->findChildren<QCommandLinkButton *>();
            QCOMPARE(choices.size(), 3);
            QVERIFY(choices.first()->isDefault());
            choices.first()->click();
        });
        window.offerFirstStart();
        qunsetenv("XDG_DATA_HOME");
        const QString demo = data.filePath(QStringLiteral("Quenzo/demonstration.qdb"));
        QVERIFY(QFile::exists(demo));
        QCOMPARE(m_ws->settings().read(QStringLiteral("Base"), QStringLiteral("Chemin")), demo);
        QVERIFY(m_prompter.shown().isEmpty());
    }
};

QTEST_MAIN(TestAidParam)
#include "tst_aidparam.moc"
