#include "support/TestDatabase.h"
#include "vocabulary/Vocabulary.h"

#include <QTest>

// The replaceable words and the French agreement built from them.
class TestVocabulary : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Terms &terms() { return m_ws->session().terms(); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("vocabulary"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void builtInWords_data()
    {
        QTest::addColumn<int>("entity");
        QTest::addColumn<QString>("singular");
        QTest::addColumn<QString>("plural");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QString>("partitive");
        QTest::addColumn<QString>("quantifier");
        QTest::newRow("Ressource") << int(Entity::Ressource) << "Ressource" << "Ressources" << "la " << "de la " << "toute ";
        QTest::newRow("Client") << int(Entity::Client) << "Client" << "Clients" << "le " << "du " << "tout ";
        QTest::newRow("Societe") << int(Entity::Societe) << "Société" << "Sociétés" << "la " << "de la " << "toute ";
        QTest::newRow("Particulier") << int(Entity::Particulier) << "Particulier" << "Particuliers" << "le " << "du " << "tout ";
        QTest::newRow("Tache") << int(Entity::Tache) << "Tâche" << "Tâches" << "la " << "de la " << "toute ";
    }
    // An empty kp_remplacement keeps every built-in word.
    void builtInWords()
    {
        QFETCH(int, entity);
        QFETCH(QString, singular);
        QFETCH(QString, plural);
        QFETCH(QString, article);
        QFETCH(QString, partitive);
        QFETCH(QString, quantifier);
        QVERIFY(Vocabulary::load(m_ws->session()));
        const Entity e = Entity(entity);
        QCOMPARE(terms().singular(e), singular);
        QCOMPARE(terms().plural(e), plural);
        QCOMPARE(terms().article(e), article);
        QCOMPARE(terms().partitive(e), partitive);
        QCOMPARE(terms().quantifier(e), quantifier);
    }

    void customerWordsReplaceThem()
    {
        Database &db = m_ws->db();
        QVERIFY(db.exec(QStringLiteral("insert into kp_remplacement (code,genre,voyelle,libsing,libplur) "
                                       "values ('Tache',0,1,'Intervention','Interventions')")));
        QVERIFY(db.exec(QStringLiteral("insert into kp_remplacement (code,genre,voyelle,libsing,libplur) "
                                       "values ('Inconnu',1,1,'Truc','Trucs')")));
        QVERIFY(Vocabulary::load(m_ws->session()));
        QCOMPARE(terms().article(Entity::Tache), QStringLiteral("l'"));
        QCOMPARE(terms().partitive(Entity::Tache), QStringLiteral("de l'"));
        QCOMPARE(terms().quantifier(Entity::Tache), QStringLiteral("tout "));
        QCOMPARE(terms().demonstrativeEnding(Entity::Tache), QStringLiteral("t "));
        QCOMPARE(terms().articleEnding(Entity::Tache), QStringLiteral("'"));
        QCOMPARE(terms().demonstrativeEnding(Entity::Client), QStringLiteral(" "));
        QCOMPARE(terms().articleEnding(Entity::Client), QStringLiteral("e "));
        QCOMPARE(terms().articleEnding(Entity::Ressource), QStringLiteral("a "));
        QCOMPARE(QStringLiteral("Déplacer ") + terms().quantifier(Entity::Tache) + terms().article(Entity::Tache)
                     + terms().singular(Entity::Tache) + QStringLiteral(" ?"),
                 QStringLiteral("Déplacer tout l'Intervention ?"));
        // The row with an unknown code changes nothing.
        QCOMPARE(terms().singular(Entity::Ressource), QStringLiteral("Ressource"));
        QCOMPARE(terms().singular(Entity::Client), QStringLiteral("Client"));
    }

    void savingTwiceUpdatesTheRows()
    {
        terms().setTerm(Entity::Ressource, {QStringLiteral("Technicien d'atelier"), QStringLiteral("Techniciens"),
                                            QStringLiteral("0"), QStringLiteral("0")});
        QVERIFY(Vocabulary::save(m_ws->session()));
        terms().setTerm(Entity::Ressource, {QStringLiteral("Intervenant"), QStringLiteral("Intervenants"),
                                            QStringLiteral("0"), QStringLiteral("1")});
        QVERIFY(Vocabulary::save(m_ws->session()));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_remplacement")), QStringLiteral("5"));

        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(Vocabulary::load(other.session()));
        QCOMPARE(other.session().terms().singular(Entity::Ressource), QStringLiteral("Intervenant"));
        QCOMPARE(other.session().terms().article(Entity::Ressource), QStringLiteral("l'"));
        QCOMPARE(other.session().terms().singular(Entity::Tache), QStringLiteral("Tâche"));
    }

    void unreadableTableKeepsBuiltInWords()
    {
        terms().setTerm(Entity::Client, {QStringLiteral("Patient"), QStringLiteral("Patients"), QStringLiteral("0"),
                                         QStringLiteral("0")});
        QVERIFY(m_ws->db().exec(QStringLiteral("drop table kp_remplacement")));
        const Outcome outcome = Vocabulary::load(m_ws->session());
        QVERIFY(!outcome);
        QCOMPARE(outcome.text(), QStringLiteral("Erreur lors de la lecture des champs de remplacement"));
        QCOMPARE(terms().singular(Entity::Client), QStringLiteral("Client"));
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
