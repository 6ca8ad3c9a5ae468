#include "resources/ReferenceLists.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace ReferenceLists;

// The small catalogues: their saves and the deletions that reach other tables.
class TestReferenceLists : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }

    void addTask(int noid, const QString &urgency)
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,"
                                         "nbheures,codeconge,commentaire,noidutil) values (%1,0,'%2','/',0,0,0,'/','',0)")
                              .arg(noid)
                              .arg(urgency)));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("referencelists"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void codeTablesInsertThenUpdate()
    {
        QVERIFY(saveCode(db(), QStringLiteral("kp_projets"), QStringLiteral("P1"), QStringLiteral("Projet d'été")));
        QVERIFY(saveCode(db(), QStringLiteral("kp_projets"), QStringLiteral("P1"), QStringLiteral("Projet d'hiver")));
        QList<CodeLabel> rows;
        QVERIFY(codes(db(), QStringLiteral("kp_projets"), &rows));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].label, QStringLiteral("Projet d'hiver"));
        QString label;
        QVERIFY(labelOf(db(), QStringLiteral("kp_projets"), QStringLiteral("P2"), &label));
        QVERIFY(label.isEmpty());
        // Only the catalogue tables can be named.
        QVERIFY(!codes(db(), QStringLiteral("kp_utilisateurs; drop table kp_zones"), &rows));
        QCOMPARE(caption(db(), QStringLiteral("kp_domaines")), QStringLiteral("Domaines ou Niveaux"));
        QCOMPARE(caption(db(), QStringLiteral("kp_tabledonne1")), QStringLiteral("Table ???"));
    }

    void urgencyInUseIsClearedFromTasks()
    {
        QVERIFY(saveUrgency(db(), {QStringLiteral("URG"), QStringLiteral("Urgent"), 255, 0}));
        QVERIFY(saveUrgency(db(), {QStringLiteral("URG"), QStringLiteral("Très urgent"), 65280, 16777215}));
        for (int i = 1; i <= 3; ++i)
            addTask(i, QStringLiteral("URG"));
        addTask(4, QStringLiteral("AUTRE"));
        int used = 0;
        QVERIFY(countTasksWithUrgency(db(), QStringLiteral("URG"), &used));
        QCOMPARE(used, 3);
        QVERIFY(removeUrgency(db(), QStringLiteral("URG")));
        QCOMPARE(column(db(), QStringLiteral("select urgence from kp_taches_desc order by noid")),
                 QStringList({"/", "/", "/", "AUTRE"}));
        QList<Urgency> list;
        QVERIFY(urgencies(db(), &list));
        QVERIFY(list.isEmpty());
    }

    void contractTypeDeletionRemovesClientContracts()
    {
        QVERIFY(!saveContractType(db(), {QStringLiteral("MAINT"), QString(), 7}));
        QVERIFY(saveContractType(db(), {QStringLiteral("MAINT"), QStringLiteral("Maintenance"), 7}));
        const QString day = m_ws->session().dialect().unsetDateValue();
        for (const char *code : {"MAINT", "MAINT", "AUTRE"})
            QVERIFY(db().exec(QStringLiteral("insert into kp_contratsoc (noidsoc,rgpcont,codecontrat,dtdeb,dtfin,refinterne,"
                                             "refclient,hierar,commentaire,dtsaisie,ordisaisie,dtmodif,ordimodif) values "
                                             "(1,1,'%1',%2,%2,'/','/',1,'',%2,'P',%2,'P')")
                                  .arg(QLatin1String(code), day)));
        int used = 0;
        QVERIFY(countContractsOfType(db(), QStringLiteral("MAINT"), &used));
        QCOMPARE(used, 2);
        QVERIFY(removeContractType(db(), QStringLiteral("MAINT")));
        QCOMPARE(column(db(), QStringLiteral("select codecontrat from kp_contratsoc")), QStringList{"AUTRE"});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_contrats")), QStringLiteral("0"));
    }

    void zonesAndTeams()
    {
        Zone zone{0, QString(), 0, 0};
        QCOMPARE(saveZone(db(), &zone).text(), QStringLiteral("Vous devez entrer un libellé"));
        zone.label = QStringLiteral("Nord");
        QVERIFY(saveZone(db(), &zone));
        QCOMPARE(zone.number, 1);
        Zone gone{9, QStringLiteral("Sud"), 0, 0};
        QCOMPARE(saveZone(db(), &gone).text(), QStringLiteral("Cette zone n'existe plus !"));

        Team team{0, QStringLiteral("Équipe de nuit"), {}};
        QVERIFY(saveTeam(db(), &team)); // no members
        Team loaded;
        QVERIFY(loadTeam(db(), team.number, &loaded));
        QVERIFY(loaded.members.isEmpty());
        loaded.members = {4, 7};
        QVERIFY(saveTeam(db(), &loaded));
        QVERIFY(loadTeam(db(), team.number, &loaded));
        QCOMPARE(loaded.members.size(), 2);
        QVERIFY(removeTeam(db(), team.number));
        QCOMPARE(loadTeam(db(), team.number, &loaded).text(), QStringLiteral("Cette équipe n'existe plus"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_equipes_ress")), QStringLiteral("0"));
    }

    void civilitiesAreSavedAndKept()
    {
        Civilities c = defaultCivilities();
        c[2] = {QStringLiteral("Dr"), QStringLiteral("Docteur")};
        QVERIFY(saveCivilities(m_ws->session(), c));
        QCOMPARE(column(db(), QStringLiteral("select racc from kp_civilites order by numero")),
                 QStringList({"Mr", "Mme", "Dr"}));
        QCOMPARE(m_ws->session().civilities()[2].fullName, QStringLiteral("Docteur"));
    }
};

QTEST_GUILESS_MAIN(TestReferenceLists)
#include "tst_referencelists.moc"
