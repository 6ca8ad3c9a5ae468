#include "resources/ResourceStore.h"
#include "support/TestDatabase.h"

#include <QTest>

// Resources: save, reload and the deletion with its sweep of tasks.
class TestResourceStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }
    Session &session() { return m_ws->session(); }

    // A task with its satellites, live and in the history, assigned to these resources.
    void addTask(int noid, const QList<int> &resources)
    {
        QStringList sql = {
            QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,"
                           "commentaire,noidutil) values (%1,0,'/','/',0,0,0,'/','',0)"),
            QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin) values (%1,1,'2026-12-07','2026-12-07')"),
            QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (%1,5)"),
            QStringLiteral("insert into kp_taches_couts (noidtache,rgcout,noidcout,datecout,libelle,noidressource,nofact,"
                           "nbunitcout,mtunitcout,mttotcout) values (%1,1,1,'2026-12-07','c',1,'/',1,1,1)"),
            QStringLiteral("insert into kp_alertes (noid,ecart,typealerte,noidtype,noidsecond,commentaire,codeutil,"
                           "codeutilcreat,datecreat) values (%1,0,'/',0,0,'','u','u','2026-12-07')"),
            QStringLiteral("insert into histo_taches_desc (nomordi,nohisto,typehisto,noid,noidtache,urgence,codeprojet,blocage,"
                           "nbjours,nbheures,codeconge,commentaire,noidutil) values ('P',1,0,%1,0,'/','/',0,0,0,'/','',0)"),
        };
        for (int r : resources)
            sql.append(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (%1,") + QString::number(r)
                       + QLatin1Char(')'));
        for (const QString &s : sql)
            QVERIFY2(db().exec(s.arg(noid)), qPrintable(db().lastError()));
    }
    QStringList tasksLeft(const char *table = "kp_taches_desc", const char *column = "noid")
    {
        return column_(QStringLiteral("select distinct %1 from %2 order by %1").arg(QLatin1String(column), QLatin1String(table)));
    }
    QStringList column_(const QString &sql) { return column(db(), sql); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("resourcestore"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void saveAndReload()
    {
        Resource blank;
        blank.code = QStringLiteral("   ");
        const Outcome refused = ResourceStore::save(session(), &blank);
        QCOMPARE(refused.title(), QStringLiteral("Incomplet"));
        QCOMPARE(refused.text(), QStringLiteral("Vous devez renseigner le libellé de la Ressource"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("0"));

        Resource r;
        r.code = QString(80, QLatin1Char('X')).replace(0, 7, QStringLiteral("Atelier"));
        r.type = 1;
        r.surname = QStringLiteral("O'Neil");
        r.birthday = QDate(1980, 2, 29);
        r.background = 12632319;
        r.services = {QStringLiteral("COMPTA"), QStringLiteral("RH")};
        r.skills = {3, 4};
        QVERIFY(ResourceStore::save(session(), &r));
        QCOMPARE(r.number, 1); // the first resource
        r.services = {QStringLiteral("RH")};
        r.skills = {};
        QVERIFY(ResourceStore::save(session(), &r)); // an update, sets rewritten
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("1"));

        Resource loaded;
        QVERIFY(ResourceStore::load(session(), 1, &loaded));
        QCOMPARE(loaded.code, r.code); // 80 characters, whole
        QCOMPARE(loaded.surname, QStringLiteral("O'Neil"));
        QCOMPARE(loaded.firstName, QString()); // stored "/"
        QCOMPARE(loaded.birthday, QDate(1980, 2, 29));
        QCOMPARE(loaded.services, QStringList{"RH"});
        QVERIFY(loaded.skills.isEmpty());
        QCOMPARE(scalar(db(), QStringLiteral("select prenomressource from kp_ressources")), QStringLiteral("/"));

        const Outcome gone = ResourceStore::load(session(), 9, &loaded);
        QCOMPARE(gone.title(), QStringLiteral("Disparition"));
        QCOMPARE(gone.text(), QStringLiteral("Cette Ressource n'existe plus !"));
    }

    void numbersStopAt32767()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_ressources (noid,libelle,typeressource,civilite,nomressource,"
                                         "prenomressource,adrressource,compressource,cpressource,villeressource,paysressource,"
                                         "etatressource,telressource,mobressource,faxressource,mailressource,annivressource,"
                                         "coulfond,coultexte,icone,noidprofil,dtsaisie,ordisaisie,dtmodif,ordimodif) values "
                                         "(32767,'Dernier',0,0,'/','/','/','/','/','/','/','/','/','/','/','/','1900-01-01',"
                                         "0,0,'/',0,'1900-01-01','P','1900-01-01','P')")));
        Resource r;
        r.code = QStringLiteral("Un de trop");
        const Outcome refused = ResourceStore::save(session(), &r);
        QCOMPARE(refused.title(), QStringLiteral("Désolé"));
        QCOMPARE(r.number, 0);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("1"));
    }

    // Only the tasks this deletion leaves without any resource go.
    void deletionSweepsItsOwnOrphans()
    {
        Resource martin, bernard;
        martin.code = QStringLiteral("Martin");
        bernard.code = QStringLiteral("Bernard");
        QVERIFY(ResourceStore::save(session(), &martin));
        QVERIFY(ResourceStore::save(session(), &bernard));
        addTask(10, {int(martin.number)});                  // Martin's alone: goes
        addTask(11, {int(martin.number), int(bernard.number)}); // shared: stays, without Martin
        addTask(12, {});                                    // for a client only: stays
        const Outcome removed = ResourceStore::remove(session(), martin.number);
        QVERIFY(removed);
        QCOMPARE(removed.title(), QStringLiteral("Fini"));
        QCOMPARE(removed.text(), QStringLiteral("Ressource effacée"));
        QCOMPARE(tasksLeft(), QStringList({"11", "12"}));
        QCOMPARE(tasksLeft("kp_taches_dates"), QStringList({"11", "12"}));
        QCOMPARE(tasksLeft("kp_taches_clients"), QStringList({"11", "12"}));
        QCOMPARE(tasksLeft("kp_taches_couts", "noidtache"), QStringList({"11", "12"}));
        QCOMPARE(tasksLeft("kp_alertes"), QStringList({"11", "12"}));
        QCOMPARE(tasksLeft("histo_taches_desc"), QStringList({"11", "12"}));
        QCOMPARE(column_(QStringLiteral("select noidressource from kp_taches_ressources")), QStringList{QString::number(bernard.number)});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestResourceStore)
#include "tst_resourcestore.moc"
