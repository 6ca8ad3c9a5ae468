#include "access/GroupStore.h"
#include "core/PasswordCodec.h"
#include "access/UserStore.h"
#include "support/TestDatabase.h"

#include <QTest>

// Users, groups and their rights as the user and group screens save them.
class TestUserStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }

    static UserRecord user(const QString &code, QList<int> groups = {})
    {
        return {code, QStringLiteral("Libellé de ") + code, QStringLiteral("pw"), 0, groups};
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("userstore"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        QVERIFY(Access::ensureAdministrator(m_ws->session()));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("inGroup0");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("no label") << "jean" << " " << "pw" << false << "Erreur" << "Le libellé utilisateur est obligatoire";
        QTest::newRow("bad confirmation") << "jean" << "Jean" << "pW" << false << "Erreur" << "Le mot de passe est mal confirmé";
        QTest::newRow("admin leaves group 0") << "Admin" << "Admin" << "pw" << false << "Impossible"
                                              << "Vous ne pouvez pas supprimer ce groupe de l'administrateur";
        QTest::newRow("no code") << "" << "Jean" << "pw" << false << "Erreur" << "Le code utilisateur est obligatoire";
        // Kept scrambled in Windows-1252: anything else would come back as "?".
        QTest::newRow("emoji in the label") << "jean" << QStringLiteral("Jean 🚀") << "pw" << false << "Attention"
                                            << QStringLiteral("Le libellé utilisateur ne peut contenir que des lettres et signes de "
                                                              "l'alphabet latin : « 🚀 » n'en est pas un");
        QTest::newRow("hebrew code") << QStringLiteral("שלום") << "Jean" << "pw" << false << "Attention"
                                     << QStringLiteral("Le code utilisateur ne peut contenir que des lettres et signes de "
                                                       "l'alphabet latin : « ש » n'en est pas un");
        // Three digits a character: 60 of them fill libutil's 180.
        QTest::newRow("label too long") << "jean" << QString(61, QLatin1Char('x')) << "pw" << false << "Attention"
                                        << QStringLiteral("Le libellé utilisateur est trop long : 60 caractères au plus");
        QTest::newRow("code too long") << QString(21, QLatin1Char('j')) << "Jean" << "pw" << false << "Attention"
                                       << QStringLiteral("Le code utilisateur est trop long : 20 caractères au plus");
    }
    void refusals()
    {
        QFETCH(QString, code);
        QFETCH(QString, label);
        QFETCH(QString, confirmation);
        QFETCH(bool, inGroup0);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const UserRecord u{code, label, QStringLiteral("pw"), 0, inGroup0 ? QList<int>{0} : QList<int>{}};
        const Outcome refused = UserStore::save(m_ws->session(), u, confirmation);
        QVERIFY(!refused);
        QCOMPARE(refused.title(), title);
        QCOMPARE(refused.text(), text);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_utilisateurs")), QStringLiteral("1"));
    }

    void savedUserLogsInAndIsListedWithItsGroups()
    {
        GroupRecord planners{-1, QStringLiteral("Planificateurs"), {}};
        planners.rights.insert(QStringLiteral("CONGES"), {true, false, true});
        QVERIFY(GroupStore::save(db(), &planners, m_ws->session().terms()));
        QCOMPARE(planners.number, 1);
        QVERIFY(db().exec(QStringLiteral("insert into kp_ressources (noid,libelle,typeressource,civilite,nomressource,"
                                         "prenomressource,adrressource,compressource,cpressource,villeressource,"
                                         "paysressource,etatressource,telressource,mobressource,faxressource,"
                                         "mailressource,annivressource,coulfond,coultexte,icone,noidprofil,dtsaisie,"
                                         "ordisaisie,dtmodif,ordimodif) values (3,'Atelier Nord',0,0,'/','/','/','/',"
                                         "'/','/','/','/','/','/','/','/','1900-01-01',0,0,'/',0,'1900-01-01','P',"
                                         "'1900-01-01','P')")));

        UserRecord lea{QStringLiteral("léa"), QStringLiteral("Léa Martin"), QStringLiteral("s3cret"), 3, {1}};
        QVERIFY(UserStore::save(m_ws->session(), lea, QStringLiteral("s3cret")));
        lea.label = QStringLiteral("Léa Martin-Roy");
        lea.groups = {0, 1};
        QVERIFY(UserStore::save(m_ws->session(), lea, QStringLiteral("s3cret"))); // update, not a second row

        // Nothing is stored in clear.
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_utilisateurs where libutil = '%1'")
                                  .arg(PasswordCodec::encode(QStringLiteral("Léa Martin-Roy")))),
                 QStringLiteral("1"));

        QList<UserRow> users;
        QVERIFY(UserStore::list(db(), &users));
        QCOMPARE(users.size(), 2);
        QCOMPARE(users[0].code, QStringLiteral("Admin"));
        QCOMPARE(users[1].code, QStringLiteral("léa"));
        QCOMPARE(users[1].groups, QStringList({"Admin", "Planificateurs"}));
        QCOMPARE(users[1].resourceLabel, QStringLiteral("Atelier Nord"));

        UserRecord loaded;
        QVERIFY(UserStore::load(db(), QStringLiteral("léa"), &loaded));
        QCOMPARE(loaded.label, QStringLiteral("Léa Martin-Roy"));
        QCOMPARE(loaded.groups, QList<int>({0, 1}));
        QCOMPARE(loaded.resource, 3);
        QVERIFY(Access::logIn(m_ws->session(), QStringLiteral("léa"), QStringLiteral("s3cret")));
        QVERIFY(m_ws->session().isAdministrator());
    }

    void removalTakesMembershipsAndAlerts()
    {
        QVERIFY(UserStore::save(m_ws->session(), user(QStringLiteral("marc"), {0}), QStringLiteral("pw")));
        QVERIFY(UserStore::save(m_ws->session(), user(QStringLiteral("paul"), {0}), QStringLiteral("pw")));
        const QString marc = PasswordCodec::encode(QStringLiteral("marc"));
        const QString paul = PasswordCodec::encode(QStringLiteral("paul"));
        const QString alert = QStringLiteral("insert into %1 (%2noid,ecart,typealerte,noidtype,noidsecond,commentaire,"
                                             "codeutil,codeutilcreat,datecreat) values (%3%4,0,'/',0,0,'','%5','%6','2026-01-01')");
        QVERIFY(db().exec(alert.arg("kp_alertes", "", "", "1", marc, paul)));
        QVERIFY(db().exec(alert.arg("kp_alertes", "", "", "2", paul, marc)));
        QVERIFY(db().exec(alert.arg("kp_alertes", "", "", "3", paul, paul)));
        QVERIFY(db().exec(alert.arg("histo_alertes", "nomordi,nohisto,", "'P',1,", "4", marc, paul)));

        const Outcome removed = UserStore::remove(db(), QStringLiteral("marc"));
        QVERIFY(removed);
        QCOMPARE(removed.text(), QStringLiteral("Utilisateur supprimé"));
        QCOMPARE(removed.title(), QStringLiteral("Suppression réussie"));
        QCOMPARE(column(db(), QStringLiteral("select noid from kp_alertes")), QStringList{"3"});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from histo_alertes")), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_utilgroupe where codeutil = '%1'").arg(marc)),
                 QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_utilisateurs")), QStringLiteral("2"));
    }

    void groupRightsRoundTrip()
    {
        GroupRecord group{-1, QStringLiteral("Accueil"), {}};
        QCOMPARE(GroupStore::save(db(), &group, m_ws->session().terms()).text(), QString());
        group.name = QString();
        QCOMPARE(GroupStore::save(db(), &group, m_ws->session().terms()).text(),
                 QStringLiteral("Vous devez donner un nom à ce groupe !"));
        group.name = QStringLiteral("Accueil");
        group.rights.insert(QStringLiteral("SOCIETE"), {true, true, false});
        QVERIFY(GroupStore::save(db(), &group, m_ws->session().terms()));
        // One row per offered code, rewritten at each save.
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_autgroupe where nogroupe = %1").arg(group.number)),
                 QStringLiteral("10"));

        GroupRecord loaded;
        QVERIFY(GroupStore::load(db(), group.number, &loaded));
        QCOMPARE(loaded.name, QStringLiteral("Accueil"));
        QVERIFY(loaded.rights.value(QStringLiteral("SOCIETE")).modify);
        QVERIFY(!loaded.rights.value(QStringLiteral("SOCIETE")).remove);
        QVERIFY(!loaded.rights.value(QStringLiteral("JFER")).any());

        const Outcome gone = GroupStore::load(db(), 42, &loaded);
        QCOMPARE(gone.title(), QStringLiteral("Disparition"));
        QCOMPARE(gone.text(), QStringLiteral("Ce groupe a disparu !!!"));
    }

    void captionsFollowTheWords()
    {
        Terms terms;
        terms.setTerm(Entity::Tache, {QStringLiteral("Intervention"), QStringLiteral("Interventions"), QStringLiteral("1"),
                                      QStringLiteral("1")});
        const QList<RightsCode> codes = GroupStore::rightsCodes(terms);
        QCOMPARE(codes.size(), 10);
        QCOMPARE(codes[0].caption, QStringLiteral("Gestion des Ressources"));
        QCOMPARE(codes[4].caption, QStringLiteral("Définition des Interventions"));
        QCOMPARE(codes[8].caption, QStringLiteral("Interventions des autres"));
        for (const RightsCode &c : codes)
            QVERIFY(c.code != QLatin1String("DEFZONES"));
    }

    void managementSwitch()
    {
        QVERIFY(UserStore::setManagement(m_ws->session(), false));
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(!other.session().description().geslogin);
        QVERIFY(Access::lookup(other.session(), QStringLiteral("UTILGROUP")).remove);
        QVERIFY(UserStore::setManagement(m_ws->session(), true));
        QVERIFY(other.open());
        QVERIFY(other.session().description().geslogin);
    }
};

QTEST_GUILESS_MAIN(TestUserStore)
#include "tst_userstore.moc"
