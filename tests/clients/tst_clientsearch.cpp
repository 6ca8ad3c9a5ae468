#include "clients/ClientSearch.h"
#include "core/Schema.h"
#include "core/SqlText.h"
#include "reports/ReportTable.h"
#include "support/TestDatabase.h"

#include <QTest>

using Filters = ClientSearch::Filters;
using Field = ClientSearch::Field;
using Match = ClientSearch::Match;
using Mode = ClientSearch::ContractMode;
using Rule = ClientSearch::DateRule;

Q_DECLARE_METATYPE(ClientSearch::Filters)

namespace {

Field standard(const QString &column)
{
    for (const Field &f : ClientSearch::standardFields())
        if (f.column == column)
            return f;
    return {};
}

Filters criterion(const Field &field, Match match, const QString &value)
{
    Filters f;
    f.criteria.append({field, match, value});
    return f;
}

Filters contracts(Mode mode, Rule rule, QDate from, QDate to = {}, const QString &code = {})
{
    Filters f;
    f.contract = mode;
    f.dateRule = rule;
    f.from = from;
    f.to = to;
    f.contractCode = code;
    return f;
}

// Fails every statement after the first `good` ones.
class FailingDatabase : public Database
{
public:
    FailingDatabase(Database &real, int good) : m_real(real), m_good(good) {}
    Backend backend() const override { return m_real.backend(); }
    bool exec(const QString &sql) override { return m_good-- > 0 && m_real.exec(sql); }
    bool query(const QString &sql, ResultSet &result) override { return m_good-- > 0 && m_real.query(sql, result); }
    bool begin(TransactionMode mode) override { return m_real.begin(mode); }
    bool reservesNumbers() const override { return m_real.reservesNumbers(); }
    bool reserveNumber(const QString &key, bool *reserved) override { return m_real.reserveNumber(key, reserved); }
    bool commit() override { return m_real.commit(); }
    bool rollback() override { return m_real.rollback(); }
    bool inTransaction() const override { return m_real.inTransaction(); }
    QString lastError() const override { return QStringLiteral("panne"); }

private:
    Database &m_real;
    int m_good;
};

} // namespace

// The client search: every filter of the list, on both back ends.
class TestClientSearch : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;

    QStringList labels(const Filters &filters)
    {
        QList<ClientRow> rows;
        const Outcome outcome = ClientSearch(m_ws->session().dialect()).run(m_ws->db(), filters, QStringLiteral("Clients"), rows);
        if (!outcome)
            qWarning() << outcome.messages().value(0).text;
        QStringList list;
        for (const ClientRow &row : rows)
            list.append(ClientListModel::label(row, false));
        return list;
    }

    void insert(const QString &table, const QHash<QString, QString> &values)
    {
        QVERIFY2(insertRow(m_ws->db(), m_ws->session().dialect(), table, values), qPrintable(m_ws->db().lastError()));
    }
    void client(int number, int type, const QString &label, const QString &surname, const QString &sector,
                const QString &postcode, const QString &town, int closed)
    {
        const auto q = [](const QString &v) { return QLatin1Char('\'') + sqlText(v, QStringLiteral("/")) + QLatin1Char('\''); };
        insert(QStringLiteral("kp_societes"),
               {{"noidsoc", QString::number(number)}, {"typesoc", QString::number(type)}, {"libsoc", q(label)},
                {"secteursoc", q(sector)}, {"nomcont", q(surname)}, {"prenomcont", q("Jean")}, {"adrsoc", q("1 rue Haute")},
                {"cpsoc", q(postcode)}, {"villesoc", q(town)}, {"telsoc", q("0102")}, {"mobsoc", q("0607")},
                {"cloture", QString::number(closed)}});
    }
    void contract(int client, int rank, const QString &code, const QString &start, const QString &end)
    {
        insert(QStringLiteral("kp_contratsoc"), {{"noidsoc", QString::number(client)}, {"rgpcont", QString::number(rank)},
                                                 {"codecontrat", QLatin1Char('\'') + code + QLatin1Char('\'')},
                                                 {"dtdeb", start}, {"dtfin", end}, {"hierar", QString::number(rank)}});
    }
    QString day(int y, int m, int d) { return m_ws->session().dialect().dateValue(QDate(y, m, d)); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("clientsearch"));
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        client(1, 0, QStringLiteral("Alpha"), QStringLiteral("Durand"), QStringLiteral("IND"), QStringLiteral("75001"),
               QStringLiteral("Paris"), 0);
        client(2, 0, QStringLiteral("Bravo"), QStringLiteral("Petit"), QStringLiteral("COM"), QStringLiteral("82160"),
               QStringLiteral("Parisot"), 1);
        client(3, 1, QStringLiteral("Charlie"), QStringLiteral("Martin"), QStringLiteral("IND"), QStringLiteral("95420"),
               QStringLiteral("Cormeilles-en-Paris"), 0);
        client(4, 1, QString(), QStringLiteral("Zola"), QStringLiteral("/"), QStringLiteral("69001"), QStringLiteral("Lyon"), 0);
        client(5, 0, QStringLiteral("Delta d'Or"), QStringLiteral("/"), QStringLiteral("/"), QStringLiteral("69002"),
               QStringLiteral("Lyon"), 0);
        insert(QStringLiteral("kp_libresoc"), {{"noidsoc", "1"}, {"ch2", "'vert'"}, {"tb1", "'GOLD'"}});
        insert(QStringLiteral("kp_libresoc"), {{"noidsoc", "2"}});
        insert(QStringLiteral("kp_donneesoc"), {{"noidsoc", "3"}, {"rgdonnee", "1"}, {"ch9", "'note importante'"}});
        insert(QStringLiteral("kp_chlibres"), {{"ch1", "'Un'"}, {"ch2", "'Couleur'"}, {"visch2", "1"}, {"ch3", "'Trois'"},
                                               {"tb1", "'Catégorie'"}, {"vistb1", "1"}, {"tb2", "'Deux'"}, {"vistb3", "1"}});
        insert(QStringLiteral("kp_donneeslibres"), {{"ch9", "'Notes'"}});
        contract(1, 1, QStringLiteral("MAINT"), day(2026, 1, 1), day(2026, 12, 31));
        contract(1, 2, QStringLiteral("GAR"), day(2025, 1, 1), day(2025, 6, 30));
        // Stored with a time part, as a date-time column may hold it.
        contract(2, 1, QStringLiteral("GAR"), m_ws->session().dialect().dateTimeValue(QDateTime(QDate(2026, 3, 1), QTime(9, 30))),
                 m_ws->session().dialect().dateTimeValue(QDateTime(QDate(2026, 3, 31), QTime(18, 0))));
        contract(4, 1, QStringLiteral("MAINT"), day(2024, 1, 1), day(2024, 12, 31));
    }

    void queryText()
    {
        Filters f;
        f.types = QStringList{"0"};
        f.sectors = QStringList{"IND", "CO'M"};
        f.closure = ClientSearch::Closure::Open;
        f.criteria = {{standard("villesoc"), Match::EndsWith, QStringLiteral(" Paris ")},
                      {standard("libsoc"), Match::Contains, QStringLiteral("   ")}};
        QCOMPARE(ClientSearch(m_ws->session().dialect()).query(f),
                 QStringLiteral("select typesoc,libsoc,nomcont,prenomcont,telsoc,noidsoc,sexecont,nomico,faxsoc,mobsoc,adrsoc,"
                                "adrcompsoc,cpsoc,villesoc from kp_societes where typesoc = 0 and secteursoc in ('IND','CO''M') "
                                "and cloture = 0 and villesoc like '%Paris' escape '!' order by libsoc,nomcont"));
    }

    void search_data()
    {
        QTest::addColumn<Filters>("filters");
        QTest::addColumn<QStringList>("expected");
        // An individual without an employer is stored "/", which sorts first.
        const QStringList all = {"Zola Jean", "Alpha", "Bravo", "Charlie", "Delta d'Or"};
        Filters f;
        QTest::newRow("nothing chosen") << f << all;
        f.types = QStringList{"0", "1"};
        QTest::newRow("both kinds equal all") << f << all;
        f = {};
        f.sectors = QStringList{"IND"};
        QTest::newRow("sector") << f << QStringList({"Alpha", "Charlie"});
        f.sectors = QStringList{"I'ND"};
        QTest::newRow("quoted sector") << f << QStringList();
        f = {};
        f.closure = ClientSearch::Closure::Closed;
        QTest::newRow("closed") << f << QStringList{"Bravo"};
        f.closure = ClientSearch::Closure::Open;
        QTest::newRow("not closed") << f << QStringList({"Zola Jean", "Alpha", "Charlie", "Delta d'Or"});

        const Field town = standard("villesoc");
        QTest::newRow("town ends with") << criterion(town, Match::EndsWith, "Paris") << QStringList({"Alpha", "Charlie"});
        QTest::newRow("town begins with") << criterion(town, Match::StartsWith, "Paris") << QStringList({"Alpha", "Bravo"});
        QTest::newRow("blank value ignored") << criterion(town, Match::EndsWith, "  ") << all;
        QTest::newRow("quote in value") << criterion(standard("libsoc"), Match::Contains, "d'O") << QStringList{"Delta d'Or"};
        f = criterion(town, Match::StartsWith, "Paris");
        f.criteria.append({standard("cpsoc"), Match::StartsWith, QStringLiteral("75")});
        QTest::newRow("rows combine") << f << QStringList{"Alpha"};

        const Field colour{QStringLiteral("Couleur"), ClientSearch::FieldKind::FreeField, QStringLiteral("ch2")};
        QTest::newRow("free field") << criterion(colour, Match::StartsWith, "ver") << QStringList{"Alpha"};
        // Client 2's row holds the empty "/"; clients without a row never match.
        QTest::newRow("free field needs a row") << criterion(colour, Match::Contains, "/") << QStringList{"Bravo"};
        // "%" and "_" typed in a field are looked for as they are, not as wildcards.
        QTest::newRow("percent is literal") << criterion(standard("libsoc"), Match::Contains, "%") << QStringList();
        QTest::newRow("underscore is literal") << criterion(standard("libsoc"), Match::StartsWith, "_") << QStringList();
        QTest::newRow("escape character is literal") << criterion(standard("libsoc"), Match::Contains, "!") << QStringList();
        const Field notes{QStringLiteral("Notes"), ClientSearch::FieldKind::DataColumn, QStringLiteral("ch9")};
        QTest::newRow("data column") << criterion(notes, Match::EndsWith, "importante") << QStringList{"Charlie"};

        QTest::newRow("without contract") << contracts(Mode::Without, Rule::ActiveOn, QDate(2026, 3, 15))
                                          << QStringList({"Charlie", "Delta d'Or"});
        QTest::newRow("any, active") << contracts(Mode::Any, Rule::ActiveOn, QDate(2026, 3, 15))
                                     << QStringList({"Alpha (MAINT)", "Bravo (GAR)"});
        QTest::newRow("active on the first day") << contracts(Mode::Any, Rule::ActiveOn, QDate(2026, 3, 1))
                                                 << QStringList({"Alpha (MAINT)", "Bravo (GAR)"});
        QTest::newRow("active the day after") << contracts(Mode::Any, Rule::ActiveOn, QDate(2026, 4, 1))
                                              << QStringList{"Alpha (MAINT)"};
        QTest::newRow("a type, not the first contract")
            << contracts(Mode::OfType, Rule::ActiveOn, QDate(2025, 3, 1), {}, "GAR") << QStringList{"Alpha (GAR)"};
        QTest::newRow("a type nobody has") << contracts(Mode::OfType, Rule::ActiveOn, QDate(2026, 3, 15), {}, "X'Y")
                                           << QStringList();
        QTest::newRow("starting between") << contracts(Mode::Any, Rule::StartingBetween, QDate(2026, 1, 1), QDate(2026, 3, 1))
                                          << QStringList({"Alpha (MAINT)", "Bravo (GAR)"});
        QTest::newRow("ending between") << contracts(Mode::Any, Rule::EndingBetween, QDate(2024, 12, 31), QDate(2025, 6, 30))
                                        << QStringList({"Zola Jean (MAINT)", "Alpha (GAR)"});
        f = contracts(Mode::Without, Rule::ActiveOn, {});
        f.types = QStringList{"0"};
        QTest::newRow("without contract, companies") << f << QStringList{"Delta d'Or"};
    }
    void search()
    {
        QFETCH(Filters, filters);
        QFETCH(QStringList, expected);
        QCOMPARE(labels(filters), expected);
    }

    void contractsInOneStatement()
    {
        const qint64 before = m_ws->db().statementCount();
        QCOMPARE(labels(contracts(Mode::Any, Rule::ActiveOn, QDate(2026, 3, 15))).size(), 2);
        QCOMPARE(m_ws->db().statementCount() - before, 2);
    }

    void readFailures_data()
    {
        QTest::addColumn<int>("good");
        QTest::addColumn<QString>("text");
        QTest::newRow("clients") << 0 << QStringLiteral("Erreur lors de la lecture des Clients");
        QTest::newRow("contracts") << 1 << QStringLiteral("Erreur de lecture des contrats");
    }
    void readFailures()
    {
        QFETCH(int, good);
        QFETCH(QString, text);
        FailingDatabase db(m_ws->db(), good);
        QList<ClientRow> rows;
        const Outcome outcome = ClientSearch(m_ws->session().dialect())
                                    .run(db, contracts(Mode::Without, Rule::ActiveOn, {}), QStringLiteral("Clients"), rows);
        QVERIFY(!outcome);
        QCOMPARE(outcome.text(), text);
        QCOMPARE(outcome.title(), QStringLiteral("Erreur"));
        QVERIFY(rows.isEmpty());
    }

    void fieldsOffered()
    {
        QList<Field> fields;
        QVERIFY(ClientSearch::fields(m_ws->db(), fields));
        const QList<Field> extra = fields.mid(ClientSearch::standardFields().size());
        QCOMPARE(extra, (QList<Field>{{QStringLiteral("Couleur"), ClientSearch::FieldKind::FreeField, QStringLiteral("ch2")},
                                      {QStringLiteral("Catégorie"), ClientSearch::FieldKind::FreeField, QStringLiteral("tb1")},
                                      {QStringLiteral("Notes"), ClientSearch::FieldKind::DataColumn, QStringLiteral("ch9")}}));
    }

    void printedList_data()
    {
        QTest::addColumn<bool>("addresses");
        QTest::addColumn<QStringList>("first");
        QTest::newRow("simple") << false
                                << QStringList({"Alpha|BO", "Mr Durand Jean|BO", "Tel : |BR", "0102", "Fax : |BR", "",
                                                "Mob : |BR", "0607"});
        QTest::newRow("with addresses") << true
                                        << QStringList({"Alpha|BO", "Mr Durand Jean|BO", "Adresse : |BR", "1 rue Haute", "|BR",
                                                        "75001 Paris", "Tel : |BR", "0102"});
    }
    void printedList()
    {
        QFETCH(bool, addresses);
        QFETCH(QStringList, first);
        QList<ClientRow> rows;
        QVERIFY(ClientSearch(m_ws->session().dialect()).run(m_ws->db(), criterion(standard("libsoc"), Match::StartsWith, "Al"),
                                                            QStringLiteral("Clients"), rows));
        const ReportTable table = ClientSearch::printTable(rows, addresses, QStringLiteral("Liste des Clients"),
                                                           defaultCivilities(), false);
        QCOMPARE(table.title(), QStringLiteral("Liste des Clients"));
        QStringList cells;
        for (int r = 1; r <= first.size() / 2; ++r)
            cells << table.cell(r, 0) << table.cell(r, 1);
        QCOMPARE(cells, first);
        QCOMPARE(table.rowCount(), 1 + rows.size() * (addresses ? 6 : 4));
    }
};

QTEST_GUILESS_MAIN(TestClientSearch)
#include "tst_clientsearch.moc"
