#include "clients/ClientFreeZones.h"
#include "clients/ClientStore.h"
#include "clients/ClientSubRecords.h"
#include "support/TestDatabase.h"

#include <QTest>

// Client records, their free zones and the rows hung on them, on both back ends.
class TestClientStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;

    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("clientstore"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void textsRoundTrip_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << int(Client::Company) << QStringLiteral("L'Atelier d''Anne \"Le Vieux\"");
        QTest::newRow("backslashes") << int(Client::Individual) << QStringLiteral("C:\\Clients\\ fin\\");
        QTest::newRow("non-Latin") << int(Client::Company) << QStringLiteral("Ζήτα Москва 東京 ﷺ");
        QTest::newRow("a lone slash reads back as it is stored") << int(Client::Individual) << QStringLiteral("a/b");
    }
    void textsRoundTrip()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        Client c;
        c.type = type;
        c.name = text;
        c.surname = text;
        c.town = text;
        c.comment = text + QStringLiteral("\nligne 2");
        c.birth = QDate(1980, 2, 29);
        c.freeTexts[6] = text.left(60);
        c.freeCodes[0] = QStringLiteral("X'1");
        c.zone = 3;
        c.closed = true;
        c.background = 0x123456;
        QVERIFY(ClientStore::save(session(), &c));
        QCOMPARE(c.number, qint64(1));

        Client read;
        QVERIFY(ClientStore::load(session(), 1, type, &read));
        QCOMPARE(read.name, text);
        QCOMPARE(read.surname, text);
        QCOMPARE(read.town, text);
        QCOMPARE(read.comment, c.comment);
        QCOMPARE(read.freeTexts, c.freeTexts);
        QCOMPARE(read.freeCodes, c.freeCodes);
        QCOMPARE(read.type, type);
        QCOMPARE(read.zone, qint64(3));
        QVERIFY(read.closed);
        QCOMPARE(read.background, 0x123456);
        // A company enters no birth date.
        QCOMPARE(read.birth, type == Client::Individual ? QDate(1980, 2, 29) : QDate());

        ClientSubRow memo{0, {QStringLiteral("T"), QDate(2026, 5, 4), text, text}};
        QVERIFY(ClientSubRecords::save(session(), ClientSubKinds::memos(), 1, &memo));
        ClientSubRow back;
        QVERIFY(ClientSubRecords::read(session(), ClientSubKinds::memos(), 1, memo.number, &back));
        QCOMPARE(back.values, memo.values);
        QCOMPARE(scalar(db(), QStringLiteral("select noressource from kp_memosoc")), QStringLiteral("0"));

        // An update rewrites the row and the free fields, nothing is added.
        read.town.clear();
        read.freeTexts[6].clear();
        QVERIFY(ClientStore::save(session(), &read));
        QCOMPARE(scalar(db(), QStringLiteral("select villesoc from kp_societes")), QStringLiteral("/"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_libresoc")), QStringLiteral("1"));
        QCOMPARE(scalar(db(), QStringLiteral("select ch7 from kp_libresoc")), QStringLiteral("/"));
    }

    void mandatoryNamesAndNumbers()
    {
        Client company;
        Outcome saved = ClientStore::save(session(), &company);
        QCOMPARE(saved.text(), QStringLiteral("Vous devez renseigner un libellé pour votre Société"));
        Client person;
        person.type = Client::Individual;
        person.name = QStringLiteral("Employeur");
        saved = ClientStore::save(session(), &person);
        QCOMPARE(saved.text(), QStringLiteral("Vous devez d'abord saisir un nom et/ou un prénom"));
        person.firstName = QStringLiteral("Léa");
        QVERIFY(ClientStore::save(session(), &person));
        QCOMPARE(person.number, qint64(1));

        Client last;
        last.number = 32767; // a number given is written as it is
        last.name = QStringLiteral("Dernier");
        QVERIFY(ClientStore::save(session(), &last));
        company.name = QStringLiteral("Trop");
        saved = ClientStore::save(session(), &company);
        QVERIFY(!saved);
        QCOMPARE(company.number, qint64(0));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_societes")), QStringLiteral("2"));
    }

    void vanishedTexts_data()
    {
        QTest::addColumn<QStringList>("words"); // singular, feminine, elided
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("built-in company") << QStringList{"Société", "1", "0"} << 0 << "Cette Société n'existe plus ! ";
        QTest::newRow("company with a vowel") << QStringList{"Établissement", "0", "1"} << 0 << "Cet Établissement n'existe plus ! ";
        QTest::newRow("built-in individual") << QStringList{"Particulier", "0", "0"} << 1 << "Ce Particulier n'existe plus !!";
    }
    void vanishedTexts()
    {
        QFETCH(QStringList, words);
        QFETCH(int, type);
        QFETCH(QString, expected);
        session().terms().setTerm(ClientStore::entityOf(type), {words[0], words[0] + 's', words[1], words[2]});
        Client c;
        const Outcome gone = ClientStore::load(session(), 9, type, &c);
        QCOMPARE(gone.title(), QStringLiteral("Disparition"));
        QCOMPARE(gone.text(), expected);
    }

    void freeZonesCreatedWhenMissing()
    {
        ClientFreeZones zones;
        QVERIFY(ClientFreeZones::load(session(), &zones));
        QCOMPARE(zones.fieldsTitle, QStringLiteral("Champs &Libres"));
        QCOMPARE(column(db(), QStringLiteral("select titre from kp_chlibres where typechlibre = 0")), QStringList{"Champs &Libre"});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_donneeslibres where typedonnee = 0")), QStringLiteral("1"));
        QVERIFY(ClientFreeZones::load(session(), &zones));
        QCOMPARE(zones.fieldsTitle, QStringLiteral("Champs &Libre"));
        QCOMPARE(zones.dataLabels, ClientFreeZones::defaults().dataLabels);

        QVERIFY(db().exec(QStringLiteral("update kp_chlibres set ch2 = 'Origine', visch3 = 0, tb4 = 'Réseau', vistb1 = 0")));
        QVERIFY(db().exec(QStringLiteral("update kp_donneeslibres set titre = 'Parc', ch7 = 'Marque'")));
        QVERIFY(ClientFreeZones::load(session(), &zones));
        QCOMPARE(zones.textLabels[1], QStringLiteral("Origine"));
        QCOMPARE(zones.textVisible, QList<bool>({true, true, false, true, true, true, true}));
        QCOMPARE(zones.codeLabels[3], QStringLiteral("Réseau"));
        QCOMPARE(zones.codeVisible, QList<bool>({false, true, true, true}));
        QCOMPARE(zones.dataTitle, QStringLiteral("Parc"));
        QCOMPARE(zones.dataLabels[6], QStringLiteral("Marque"));
    }

    void mailRecipients()
    {
        Client c;
        c.name = QStringLiteral("Atelier");
        c.surname = QStringLiteral("Durand");
        c.firstName = QStringLiteral("Paul");
        c.mail = QStringLiteral("accueil@atelier.fr");
        QVERIFY(ClientStore::save(session(), &c));
        const ClientSubKind contacts = ClientSubKinds::contacts();
        for (const auto &[surname, mail] : {std::pair{"Martin", "m@atelier.fr"}, std::pair{"Sans", "/"}, std::pair{"Petit, J", "p@x.fr"}}) {
            ClientSubRow row{0, {0, QString::fromUtf8(surname), QStringLiteral("A"), QString(), QString(), QString(), QString(),
                                 QString(), QString::fromUtf8(mail), QDate(), QString()}};
            QVERIFY(ClientSubRecords::save(session(), contacts, c.number, &row));
        }
        QStringList recipients;
        QVERIFY(ClientStore::mailRecipients(session(), c, &recipients));
        QCOMPARE(recipients, QStringList({"Durand Paul <accueil@atelier.fr>", "Martin A <m@atelier.fr>", "Petit  J A <p@x.fr>"}));
        c.mail = QStringLiteral("pas d'adresse");
        QVERIFY(ClientStore::mailRecipients(session(), c, &recipients));
        QCOMPARE(recipients.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestClientStore)
#include "tst_clientstore.moc"
