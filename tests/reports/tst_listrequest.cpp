#include "core/PasswordCodec.h"
#include "core/Outcome.h"
#include "reports/ListRequest.h"
#include "support/TestDatabase.h"

#include <QTest>

// The selection list's lines as each back end returns them: formats, the
// returned texts, the printed table and sorting 10,000 lines.
class TestListRequest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Database> m_conn;
    Dialect m_dialect;

    // One line per value, stored in the column of the kind the format reads.
    std::unique_ptr<ListModel> listOf(const QString &format, const QStringList &literals, QChar separator = ',')
    {
        const QString column = format == "D" ? "dt" : format == "M" ? "mt" : "txt";
        bool ok = m_conn->exec(QStringLiteral("delete from essai"));
        for (int i = 0; i < literals.size(); ++i)
            ok = ok && m_conn->exec(QStringLiteral("insert into essai (no,%1) values (%2,%3)").arg(column).arg(i).arg(literals[i]));
        ListRequest request(QStringLiteral("Essai"), QStringLiteral("select %1,no from essai order by no").arg(column));
        request.addColumn(QStringLiteral("Valeur"), 1500, format);
        auto model = std::make_unique<ListModel>(request);
        return ok && model->load(*m_conn, separator).ok() ? std::move(model) : nullptr;
    }
    static QStringList shown(const ListModel &model, int column = 0)
    {
        QStringList texts;
        for (int r = 0; r < model.rowCount(); ++r)
            texts.append(model.text(r, column));
        return texts;
    }
    static QString scrambled(const char *text) { return "'" + PasswordCodec::encode(QString::fromUtf8(text)) + "'"; }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("listrequest"));
        QVERIFY(m_db->makeBlank());
        m_conn = m_db->connect();
        QVERIFY(m_conn);
        m_dialect = Dialect(m_db->isServer() ? Backend::MySql : Backend::File);
        QVERIFY(m_conn->exec(QStringLiteral("create table essai (no %1, txt %2, dt %3, mt %4)")
                                 .arg(m_dialect.typeName(ColumnType::Int), m_dialect.typeName(ColumnType::ShortText, 60),
                                      m_dialect.typeName(ColumnType::DateTime), m_dialect.typeName(ColumnType::Amount))));
    }

    void formatCodes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("returned");
        const QChar comma(',');
        QTest::newRow("L slash: empty cell, returned as is") << "L" << "'/'" << comma << "" << "/";
        QTest::newRow("C null") << "C" << "null" << comma << "" << "";
        QTest::newRow("D date-time") << "D" << "'2024-03-05 10:30:00'" << comma << "05/03/2024" << "05/03/2024";
        QTest::newRow("D 1850 rejected") << "D" << "'1850-01-01'" << comma << "" << "";
        QTest::newRow("D after 2100 rejected") << "D" << "'2100-01-02'" << comma << "" << "";
        QTest::newRow("M amount") << "M" << "12.5" << comma << "12,50" << "12,50";
        QTest::newRow("M point separator") << "M" << "-1234" << QChar('.') << "-1234.00" << "-1234.00";
        QTest::newRow("M null") << "M" << "null" << comma << "" << "";
        QTest::newRow("I letters dropped") << "I" << "'n° 12-B4'" << comma << "124" << "124";
        QTest::newRow("* scrambled") << "*" << scrambled("Zoé Œuvray") << comma << "Zoé Œuvray" << "Zoé Œuvray";
        QTest::newRow("unknown code: scrambled") << "X" << scrambled("Admin") << comma << "Admin" << "Admin";
        QTest::newRow("* slash") << "*" << "'/'" << comma << "" << "/";
        QTest::newRow("SPERESS text") << "SPERESS" << "'Salle 1'" << comma << "Salle 1" << "Salle 1";
    }
    void formatCodes()
    {
        QFETCH(QString, format);
        QFETCH(QString, literal);
        QFETCH(QChar, separator);
        const auto model = listOf(format, {literal}, separator);
        QVERIFY(model);
        QTEST(model->index(0, 0).data().toString(), "shown");
        QVERIFY(model->answer(0).chosen);
        QTEST(model->answer(0).text(0), "returned");
    }

    void fieldsAndPrintedTable()
    {
        QVERIFY(m_conn->exec(QStringLiteral("delete from essai")));
        QVERIFY(m_conn->exec(QStringLiteral("insert into essai (no,txt,mt,dt) values (1,'Petit',5,null)")));
        QVERIFY(m_conn->exec(QStringLiteral("insert into essai (no,txt,mt,dt) values (2,'A|B',30,null)")));
        ListRequest request(QStringLiteral("Liste des Essais"), QStringLiteral("select txt,dt,mt,no from essai order by no"));
        request.addColumn(QStringLiteral("Libellé"), 2000);
        request.skipField();
        request.addColumn(QStringLiteral("Montant"), 1200, QStringLiteral("M"));
        request.addColumn(QStringLiteral("No"), 0, QStringLiteral("R"));
        ListModel model(request);
        QVERIFY(model.load(*m_conn, QLatin1Char(',')).ok());
        QCOMPARE(model.answer(0).texts, (QStringList{"Petit", "", "5,00", "1"}));
        model.sortNext(1);
        model.sortNext(1);

        // The present order, largest amount first; a "|" of the data is no formatting letter.
        const ReportTable table = model.reportTable();
        QStringList cells;
        for (int r = 0; r < table.rowCount(); ++r)
            for (int c = 0; c < table.columnCount(); ++c)
                cells.append(table.cell(r, c));
        QCOMPARE(cells, (QStringList{"Libellé|B", "Montant|B", "No|B", "A¦B", "30,00|R", "2|R", "Petit", "5,00|R", "1|R"}));
        QCOMPARE(table.title(), QStringLiteral("Liste des Essais"));
        QCOMPARE((QList<int>{table.columnWidth(0), table.columnWidth(1), table.columnWidth(2)}), (QList<int>{2000, 1200, 0}));
    }

    void tenThousandLinesLoadAndSort()
    {
        // 1 to 10000 from four tables of digits (MariaDB stops recursive queries at 1000 turns).
        QString digits = QStringLiteral("(select 0 as d");
        for (int d = 1; d < 10; ++d)
            digits += QStringLiteral(" union all select %1").arg(d);
        digits += QLatin1Char(')');
        ListRequest request(QStringLiteral("Essai"), QStringLiteral("select ")
                                                         + m_dialect.concat({"'Ligne '", "((i * 7919) % 10007)"})
                                                         + QStringLiteral(", (i * 37 % 1000) / 4.0, i from (select a.d + "
                                                                          "10 * b.d + 100 * c.d + 1000 * e.d + 1 as i from "
                                                                          "%1 a, %1 b, %1 c, %1 e) n").arg(digits));
        request.addColumn(QStringLiteral("Libellé"), 2000);
        request.addColumn(QStringLiteral("Montant"), 1200, QStringLiteral("M"));
        request.addColumn(QStringLiteral("No"), 800, QStringLiteral("I"));
        ListModel model(request);
        const Outcome loaded = model.load(*m_conn, QLatin1Char(','));
        QVERIFY2(loaded.ok(), qPrintable(loaded.text()));
        QCOMPARE(model.rowCount(), 10000);
        for (int column = 0; column < 3; ++column) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                QCOMPARE(model.sortNext(column), order);
                QList<double> values;
                for (const QString &text : shown(model, column))
                    values.append(QString(text).remove(QStringLiteral("Ligne ")).replace(',', '.').toDouble());
                QVERIFY(order == Qt::AscendingOrder ? std::is_sorted(values.begin(), values.end())
                                                    : std::is_sorted(values.rbegin(), values.rend()));
            }
        }
    }
};

QTEST_MAIN(TestListRequest)
#include "tst_listrequest.moc"
