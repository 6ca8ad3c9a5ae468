#include "clients/ChoixEdit.h"
#include "clients/ListClients.h"
#include "core/Schema.h"
#include "core/SqlText.h"
#include "core/widgets/DateField.h"
#include "reports/ReportTable.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace {

QString q(const QString &text)
{
    return QLatin1Char('\'') + sqlText(text, QStringLiteral("/")) + QLatin1Char('\'');
}

} // namespace

// The client list screen: wording, filters driven through its fields,
// opening, printing; on both back ends.
class TestListClients : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    void insert(const QString &table, const QHash<QString, QString> &values)
    {
        QVERIFY2(insertRow(m_ws->db(), m_ws->session().dialect(), table, values), qPrintable(m_ws->db().lastError()));
    }
    void client(int number, int type, const QString &label, const QString &surname, const QString &town)
    {
        insert(QStringLiteral("kp_societes"), {{"noidsoc", QString::number(number)}, {"typesoc", QString::number(type)},
                                               {"libsoc", q(label)}, {"nomcont", q(surname)}, {"prenomcont", q("Eve")},
                                               {"villesoc", q(town)}, {"cpsoc", q("75001")}, {"telsoc", q("01 02")}});
    }
    static QStringList labels(const ListClients &screen)
    {
        QStringList list;
        for (int r = 0; r < screen.model()->rowCount(); ++r)
            list.append(screen.model()->data(screen.model()->index(r, ClientListModel::Label)).toString());
        return list;
    }
    static void choose(QComboBox *combo, const QString &text)
    {
        const int at = combo->findText(text);
        QVERIFY2(at >= 0, qPrintable(text));
        combo->setCurrentIndex(at);
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("listclients"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_ws->session().description().geslogin = false;
        m_prompter.clear();
        client(1, 0, QStringLiteral("Alpha"), QStringLiteral("Durand"), QStringLiteral("Paris"));
        client(2, 0, QStringLiteral("Bravo"), QStringLiteral("Petit"), QStringLiteral("Parisot"));
        client(3, 1, QStringLiteral("Charlie"), QStringLiteral("Martin"), QStringLiteral("Lyon"));
        insert(QStringLiteral("kp_secteurs"), {{"code", q("IND")}, {"libelle", q("Industrie")}});
        insert(QStringLiteral("kp_contrats"), {{"code", q("MAINT")}, {"libelle", q("Maintenance")}, {"duree", "7"}});
        const Dialect &d = m_ws->session().dialect();
        insert(QStringLiteral("kp_contratsoc"), {{"noidsoc", "2"}, {"rgpcont", "1"}, {"codecontrat", q("MAINT")},
                                                 {"dtdeb", d.dateValue(QDate(2026, 1, 1))}, {"dtfin", d.dateValue(QDate(2026, 12, 31))}});
        insert(QStringLiteral("kp_chlibres"), {{"ch1", q("Couleur")}, {"visch1", "1"}});
        insert(QStringLiteral("kp_libresoc"), {{"noidsoc", "3"}, {"ch1", q("rouge")}});
    }

    void wording_data()
    {
        QTest::addColumn<bool>("feminine");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("masculine") << false
                                   << QStringList({"Liste des Clients - Utilisateur : ", "Tous les Clients", "Non clôturés",
                                                   "Clôturés", "Ajouter une Société", "Ajouter un Particulier",
                                                   "Afficher nom prénom pour les Particuliers",
                                                   "Double-Cliquez pour modifier les Clients"});
        QTest::newRow("feminine") << true
                                  << QStringList({"Liste des Clientes - Utilisateur : ", "Toutes les Clientes", "Non clôturées",
                                                  "Clôturées", "Ajouter une Société", "Ajouter un Particulier",
                                                  "Afficher nom prénom pour les Particuliers",
                                                  "Double-Cliquez pour modifier les Clientes"});
    }
    void wording()
    {
        QFETCH(bool, feminine);
        QFETCH(QStringList, expected);
        if (feminine)
            m_ws->session().terms().setTerm(Entity::Client, {"Cliente", "Clientes", "1", "0"});
        ListClients screen(m_ws->session(), m_prompter);
        QCOMPARE((QStringList{screen.windowTitle(), screen.typeFilter()->item(0)->text(), screen.closureFilter()->itemText(0),
                              screen.closureFilter()->itemText(1), screen.addCompanyButton()->text(),
                              screen.addIndividualButton()->text(), screen.namesOption()->text(), screen.view()->toolTip()}),
                 expected);
        QCOMPARE(screen.fieldList(0)->itemText(screen.fieldList(0)->count() - 1), QStringLiteral("Couleur"));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void filtersFromFields_data()
    {
        QTest::addColumn<int>("typeRow");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("match");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("contract");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("everything") << -1 << "Ville" << "Contient" << "" << "" << QStringList({"Alpha", "Bravo", "Charlie"});
        QTest::newRow("town ends with") << -1 << "Ville" << "Finit par" << "Paris" << "" << QStringList{"Alpha"};
        QTest::newRow("companies, begins with") << 1 << "Ville" << "Commence par" << "Paris" << ""
                                                << QStringList({"Alpha", "Bravo"});
        QTest::newRow("free field") << -1 << "Couleur" << "Contient" << "oug" << "" << QStringList{"Charlie"};
        QTest::newRow("without contract") << -1 << "Ville" << "Contient" << "" << "Sans contrat"
                                          << QStringList({"Alpha", "Charlie"});
        QTest::newRow("a contract type, active") << -1 << "Ville" << "Contient" << "" << "Maintenance"
                                                 << QStringList{"Bravo (MAINT)"};
    }
    void filtersFromFields()
    {
        QFETCH(int, typeRow);
        QFETCH(QString, field);
        QFETCH(QString, match);
        QFETCH(QString, value);
        QFETCH(QString, contract);
        QFETCH(QStringList, expected);
        ListClients screen(m_ws->session(), m_prompter);
        if (typeRow >= 0)
            screen.typeFilter()->item(typeRow)->setCheckState(Qt::Checked);
        choose(screen.fieldList(1), field);
        choose(screen.matchList(1), match);
        QTest::keyClicks(screen.valueField(1), value);
        if (!contract.isEmpty()) {
            screen.contractOption()->setChecked(true);
            choose(screen.contractList(), contract);
            screen.fromField()->setDate(QDate(2026, 6, 1));
        }
        screen.refresh();
        QCOMPARE(labels(screen), expected);
        QVERIFY(m_prompter.shown().isEmpty());

        screen.clearCriteria();
        const ClientSearch::Filters cleared = screen.filters();
        QVERIFY(cleared.types.isEmpty());
        QCOMPARE(cleared.contract, ClientSearch::ContractMode::Off);
        QCOMPARE(cleared.closure, ClientSearch::Closure::All);
        screen.refresh();
        QCOMPARE(screen.model()->rowCount(), 3);
    }

    void contractFieldsFollowTheMode()
    {
        ListClients screen(m_ws->session(), m_prompter);
        QVERIFY(!screen.contractList()->isEnabled());
        screen.contractOption()->setChecked(true);
        QVERIFY(screen.fromField()->isEnabled() && !screen.toField()->isEnabled());
        choose(screen.dateRuleList(), QStringLiteral("Finissant entre le :"));
        QVERIFY(screen.toField()->isEnabled());
        screen.fromField()->setDate(QDate(2026, 12, 1));
        screen.toField()->setDate(QDate(2026, 12, 31));
        screen.refresh();
        QCOMPARE(labels(screen), QStringList{"Bravo (MAINT)"});
        choose(screen.contractList(), QStringLiteral("Sans contrat"));
        QVERIFY(!screen.dateRuleList()->isEnabled() && !screen.fromField()->isEnabled());
    }

    void namesForIndividuals()
    {
        ListClients screen(m_ws->session(), m_prompter);
        QCOMPARE(labels(screen), QStringList({"Alpha", "Bravo", "Charlie"}));
        screen.namesOption()->setChecked(true);
        QCOMPARE(labels(screen), QStringList({"Alpha", "Bravo", "Martin Eve"}));
    }

    void openingReselects_data()
    {
        QTest::addColumn<int>("row");   // -1: the add button of the kind
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<qint64>("saved"); // what the record screen ends on
        QTest::newRow("double click, company") << 1 << 0 << qint64(2) << qint64(2);
        QTest::newRow("double click, individual, not saved") << 2 << 1 << qint64(3) << qint64(0);
        QTest::newRow("new company") << -1 << 0 << qint64(0) << qint64(9);
        QTest::newRow("new individual") << -1 << 1 << qint64(0) << qint64(9);
    }
    void openingReselects()
    {
        QFETCH(int, row);
        QFETCH(int, kind);
        QFETCH(qint64, number);
        QFETCH(qint64, saved);
        ListClients screen(m_ws->session(), m_prompter);
        QList<std::pair<int, qint64>> opened;
        screen.setOpener([&](int k, qint64 n) {
            opened.append({k, n});
            if (saved == 9)
                client(9, k, QStringLiteral("Aaron"), QStringLiteral("Neuf"), QStringLiteral("Nice"));
            return saved;
        });
        if (row >= 0)
            emit screen.view()->activated(screen.model()->index(row, 0));
        else
            QTest::mouseClick(kind == 0 ? screen.addCompanyButton() : screen.addIndividualButton(), Qt::LeftButton);
        QCOMPARE(opened, (QList<std::pair<int, qint64>>{{kind, number}}));
        const qint64 expected = saved ? saved : number;
        QCOMPARE(screen.model()->clientAt(screen.view()->currentIndex().row()), expected);
        QCOMPARE(screen.model()->rowCount(), saved == 9 ? 4 : 3);
    }

    void addNeedsTheCreateRight()
    {
        m_ws->session().description().geslogin = true;
        m_ws->session().setUser(QStringLiteral("NOBODY"), QString());
        ListClients screen(m_ws->session(), m_prompter);
        QVERIFY(!screen.addCompanyButton()->isEnabled());
        QVERIFY(!screen.addIndividualButton()->isEnabled());
        bool opened = false;
        screen.setOpener([&](int, qint64) { return opened = true, qint64(0); });
        screen.open(0, 0);
        QVERIFY(!opened);
    }

    void printing_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("rows"); // -1: nothing previewed
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("dialog closed") << "" << false << -1 << QStringList();
        QTest::newRow("simple") << "0" << false << 1 + 3 * 4 << QStringList();
        QTest::newRow("addresses") << "1" << false << 1 + 3 * 6 << QStringList();
        QTest::newRow("nothing listed") << "0" << true << -1 << QStringList({"Désolé", "Vous n'avez rien à imprimer"});
    }
    void printing()
    {
        QFETCH(QString, choice);
        QFETCH(bool, empty);
        QFETCH(int, rows);
        QFETCH(QStringList, messages);
        ListClients screen(m_ws->session(), m_prompter);
        if (empty) {
            QTest::keyClicks(screen.valueField(0), QStringLiteral("zzz"));
            screen.refresh();
        }
        QList<ReportTable> printed;
        screen.setEditChooser([&] { return choice; });
        screen.setPreviewer([&](const ReportTable &table) { printed.append(table); });
        screen.print();
        QStringList shown;
        for (const auto &s : m_prompter.shown())
            shown << s.title << s.text;
        QCOMPARE(shown, messages);
        QCOMPARE(printed.size(), rows < 0 ? 0 : 1);
        if (rows >= 0) {
            QCOMPARE(printed[0].rowCount(), rows);
            QCOMPARE(printed[0].title(), QStringLiteral("Liste des Clients"));
            QCOMPARE(printed[0].cell(1, 0), QStringLiteral("Alpha|BO"));
        }
    }

    void printChoice()
    {
        ChoixEdit dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choix de l'édition"));
        dialog.addressesOption()->setChecked(true);
        dialog.reject();
        QCOMPARE(dialog.choice(), QString());
        dialog.accept();
        QCOMPARE(dialog.choice(), QStringLiteral("1"));
    }

    void screenshot()
    {
        ListClients screen(m_ws->session(), m_prompter);
        screen.sectorFilter()->item(0)->setCheckState(Qt::Checked);
        screen.contractOption()->setChecked(true);
        choose(screen.dateRuleList(), QStringLiteral("Commencant entre le :"));
        QTest::keyClicks(screen.valueField(0), QStringLiteral("a"));
        saveScreenshot(screen, QStringLiteral("listclients"));
    }
};

QTEST_MAIN(TestListClients)
#include "tst_listclients.moc"
