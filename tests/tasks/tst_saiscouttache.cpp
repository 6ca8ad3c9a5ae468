#include "core/widgets/DateField.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"
#include "tasks/SaisCoutTache.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The cost line dialog of a task: item choice, amounts, checks and keys.
class TestSaisCoutTache : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    Session &session() { return m_ws->session(); }
    Database &db() { return m_ws->db(); }

    void exec(const QString &sql) { QVERIFY2(db().exec(sql), qPrintable(db().lastError())); }

    static QStringList entries(QComboBox *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->itemText(i));
        return texts;
    }
    static void showActive(QWidget &dialog)
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    // Types into a field as a person would (the total follows typed text only).
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("saiscouttache"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().setDecimalSeparator(QLatin1Char(','));
        m_prompter.clear();
        exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values "
                            "(1,'Main d''oeuvre',0,45.5),(2,'Déplacement',0,30),(3,'Carburant',1,1.87),"
                            "(4,'Abonnement',1,12)"));
        QVERIFY(insertResource(db(), 5, QStringLiteral("Martin Paul")));
        QVERIFY(insertResource(db(), 6, QStringLiteral("Durand Anne")));
    }

    void itemFillsAmountAndLabel_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("amount");
        QTest::newRow("income") << int(TaskCostLine::Income) << QStringList{"", "Déplacement", "Main d'oeuvre"} << "45,50";
        QTest::newRow("expense") << int(TaskCostLine::Expense) << QStringList{"", "Abonnement", "Carburant"} << "1,87";
    }
    void itemFillsAmountAndLabel()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, items);
        QFETCH(QString, amount);
        SaisCoutTache dialog(session(), m_prompter, kind);
        QCOMPARE(entries(dialog.itemList()), items);
        QCOMPARE(dialog.quantityField()->text(), QStringLiteral("1"));

        type(dialog.quantityField(), QStringLiteral("2"));
        dialog.itemList()->setCurrentIndex(2);
        QCOMPARE(dialog.unitAmountField()->text(), amount);
        QCOMPARE(dialog.labelField()->text(), items.at(2));
        QCOMPARE(dialog.totalField()->text(), kind == TaskCostLine::Income ? QStringLiteral("91,00") : QStringLiteral("3,74"));

        // Another item changes the amount but keeps the label already there.
        dialog.itemList()->setCurrentIndex(1);
        QCOMPARE(dialog.labelField()->text(), items.at(2));
        QCOMPARE(dialog.line().item, kind == TaskCostLine::Income ? 2 : 4);
        QCOMPARE(dialog.line().unitAmount, kind == TaskCostLine::Income ? QStringLiteral("30.00") : QStringLiteral("12.00"));
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void totalFollowsUntilOverwritten()
    {
        SaisCoutTache dialog(session(), m_prompter, TaskCostLine::Expense);
        type(dialog.unitAmountField(), QStringLiteral("0,1"));
        type(dialog.quantityField(), QStringLiteral("3"));
        QCOMPARE(dialog.totalField()->text(), QStringLiteral("0,30"));
        // Large amounts stay exact to the cent.
        type(dialog.quantityField(), QStringLiteral("123456789"));
        type(dialog.unitAmountField(), QStringLiteral("9999999,99"));
        QCOMPARE(dialog.line().total, QStringLiteral("1234567888765432.11"));

        type(dialog.quantityField(), QStringLiteral("4"));
        type(dialog.unitAmountField(), QStringLiteral("2.5"));
        type(dialog.totalField(), QStringLiteral("9,9"));
        emit dialog.totalField()->editingFinished();
        emit dialog.unitAmountField()->editingFinished(); // reformatting is no change
        QCOMPARE(dialog.totalField()->text(), QStringLiteral("9,90"));
        QCOMPARE(dialog.unitAmountField()->text(), QStringLiteral("2,50"));
        QCOMPARE(dialog.line().total, QStringLiteral("9.90"));
        // A later change of the quantity computes it again.
        type(dialog.quantityField(), QStringLiteral("2"));
        QCOMPARE(dialog.line().total, QStringLiteral("5.00"));
    }

    void quantityBelowOneIsOne_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-3";
        QTest::newRow("empty") << "";
    }
    void quantityBelowOneIsOne()
    {
        QFETCH(QString, typed);
        SaisCoutTache dialog(session(), m_prompter, TaskCostLine::Income);
        showActive(dialog);
        dialog.itemList()->setCurrentIndex(1); // 30
        dialog.quantityField()->setFocus();
        type(dialog.quantityField(), typed);
        QCOMPARE(dialog.line().quantity, 1); // read before leaving
        QCOMPARE(dialog.totalField()->text(), QStringLiteral("30,00"));
        dialog.labelField()->setFocus();
        QCOMPARE(dialog.quantityField()->text(), QStringLiteral("1"));
        QCOMPARE(dialog.totalField()->text(), QStringLiteral("30,00"));
    }

    void resourceOnlyForExpenses()
    {
        TaskCostLine given;
        given.rank = 2;
        given.item = 1;
        given.resource = 5;
        SaisCoutTache income(session(), m_prompter, TaskCostLine::Income);
        income.setLine(given);
        QVERIFY(!income.resourceList()->isVisibleTo(&income));
        QVERIFY(!income.resourceList()->isEnabled());
        QCOMPARE(income.line().resource, 0);

        SaisCoutTache expense(session(), m_prompter, TaskCostLine::Expense);
        QCOMPARE(entries(expense.resourceList()), (QStringList{"Aucune", "Durand Anne", "Martin Paul"}));
        given.item = 3;
        expense.setLine(given);
        QCOMPARE(expense.line().resource, 5);
        QVERIFY(m_prompter.shown().isEmpty());
    }

    // What setLine shows comes back whole from line(), the total as given.
    void lineRoundTripAndCaption()
    {
        SaisCoutTache dialog(session(), m_prompter, TaskCostLine::Expense);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Charge - CREATION"));
        TaskCostLine given{3, TaskCostLine::Expense, 3, QDate(2026, 5, 12), QStringLiteral("Plein du camion"), 6,
                           QStringLiteral("F-2026-118"), 40, QStringLiteral("1.87"), QStringLiteral("70")};
        dialog.setLine(given);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Charge - MODIFICATION"));
        QCOMPARE(dialog.labelField()->text(), given.label); // not replaced by the item's
        QCOMPARE(dialog.totalField()->text(), QStringLiteral("70,00"));
        given.total = QStringLiteral("70.00");
        const TaskCostLine read = dialog.line();
        QCOMPARE(QVariantList({read.rank, read.kind, read.item, read.date, read.label, read.resource, read.invoice,
                               read.quantity, read.unitAmount, read.total}),
                 QVariantList({given.rank, given.kind, given.item, given.date, given.label, given.resource, given.invoice,
                               given.quantity, given.unitAmount, given.total}));
        QCOMPARE(dialog.labelField()->maxLength(), 60);
        saveScreenshot(dialog, QStringLiteral("saiscouttache-charge"));

        SaisCoutTache income(session(), m_prompter, TaskCostLine::Income);
        QCOMPARE(income.windowTitle(), QStringLiteral("Recette - CREATION"));
    }

    void refusals_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::newRow("no product") << int(TaskCostLine::Income) << 0 << "12/05/2026" << "Vous devez choisir un produit";
        QTest::newRow("no expense item") << int(TaskCostLine::Expense) << 0 << "12/05/2026" << "Vous devez choisir une charge";
        QTest::newRow("no date") << int(TaskCostLine::Expense) << 1 << "" << "Vous devez renseigner la date";
        QTest::newRow("not a date") << int(TaskCostLine::Income) << 2 << "45/13" << "Vous devez renseigner la date";
        QTest::newRow("complete") << int(TaskCostLine::Income) << 2 << "12/05/2026" << "";
    }
    // Enter in any field validates.
    void refusals()
    {
        QFETCH(int, kind);
        QFETCH(int, item);
        QFETCH(QString, date);
        QFETCH(QString, message);
        SaisCoutTache dialog(session(), m_prompter, kind);
        showActive(dialog);
        dialog.itemList()->setCurrentIndex(item);
        dialog.dateField()->setText(date);
        dialog.labelField()->setFocus();
        QTest::keyClick(dialog.labelField(), Qt::Key_Return);
        if (message.isEmpty()) {
            QVERIFY(m_prompter.shown().isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
            return;
        }
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Incomplet"));
        QCOMPARE(m_prompter.shown().first().text, message);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), item == 0 ? static_cast<QWidget *>(dialog.itemList()) : dialog.dateField());
    }

    // Tab follows the form; Escape cancels from a field.
    void keyboard()
    {
        SaisCoutTache dialog(session(), m_prompter, TaskCostLine::Income);
        showActive(dialog);
        const QList<QWidget *> order{dialog.itemList(),      dialog.dateField(),       dialog.labelField(), dialog.invoiceField(),
                                     dialog.quantityField(), dialog.unitAmountField(), dialog.totalField(), dialog.saveButton(),
                                     dialog.cancelButton()};
        dialog.itemList()->setFocus();
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order.at(i));
        }
        dialog.itemList()->setCurrentIndex(1);
        dialog.dateField()->setText(QStringLiteral("12/05/2026"));
        dialog.labelField()->setFocus();
        QTest::keyClick(dialog.labelField(), Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_prompter.shown().isEmpty());
    }

    // Kept last: it drops a table (the next run rebuilds the schema).
    void itemReadFailure()
    {
        exec(QStringLiteral("drop table kp_couts"));
        SaisCoutTache dialog(session(), m_prompter, TaskCostLine::Income);
        QVERIFY(!m_prompter.shown().isEmpty());
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Erreur"));
        QCOMPARE(m_prompter.shown().last().text, QStringLiteral("Erreur lors de la lecture des couts"));
        QCOMPARE(dialog.itemList()->count(), 1);
        QCOMPARE(dialog.itemList()->itemText(0), QString());
    }
};

QTEST_MAIN(TestSaisCoutTache)
#include "tst_saiscouttache.moc"
