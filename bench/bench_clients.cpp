// Times the client search with the contract filter on a file database holding
// 10,000 clients and their contracts: the wait after "Lancer".
//
//   bench_clients [--count N]

#include "clients/ClientSearch.h"
#include "clients/ListClients.h"
#include "BenchDatabase.h"
#include "core/MessageBoxPrompter.h"
#include "core/Schema.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// An insert of every column: the given values, "/" or 0 elsewhere.
QString insertSql(const Dialect &dialect, const char *table, const QHash<QString, QString> &given)
{
    QStringList names, values;
    for (const ColumnSpec &c : schemaTable(QString::fromLatin1(table))->columns) {
        const QString name = QString::fromLatin1(c.name);
        names.append(name);
        if (given.contains(name))
            values.append(given.value(name));
        else if (c.type == ColumnType::ShortText || c.type == ColumnType::LongText)
            values.append(QStringLiteral("'/'"));
        else
            values.append(c.type == ColumnType::DateTime ? dialect.unsetDateValue() : QStringLiteral("0"));
    }
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(QString::fromLatin1(table), names.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--count"));
    const int count = at > 0 ? args.value(at + 1).toInt() : 10000;

    BenchDatabase bench;
    if (!bench.open())
        return 1;
    Session &session = *bench.session;

    Database &db = *session.database();
    const Dialect &dialect = session.dialect();
    const QStringList codes = {QStringLiteral("MAINT"), QStringLiteral("GAR"), QStringLiteral("LOC")};
    {
        Transaction fill(db);
        for (const QString &code : codes)
            db.exec(QStringLiteral("insert into kp_contrats (code,libelle,duree) values ('%1','%1',7)").arg(code));
        const QDate first(2024, 1, 1);
        for (int i = 1; i <= count; ++i) {
            db.exec(insertSql(dialect, "kp_societes",
                              {{"noidsoc", QString::number(i)}, {"typesoc", QString::number(i % 2)},
                               {"libsoc", QStringLiteral("'Client %1'").arg(i)}, {"nomcont", QStringLiteral("'Nom %1'").arg(i)},
                               {"villesoc", QStringLiteral("'Ville %1'").arg(i % 50)}, {"cloture", QString::number(i % 10 == 0)}}));
            // A quarter of the clients without contract, the others with one to three.
            for (int c = 0; c < i % 4; ++c) {
                const QDate start = first.addDays((i * 7 + c * 120) % 900);
                db.exec(insertSql(dialect, "kp_contratsoc",
                                  {{"noidsoc", QString::number(i)}, {"rgpcont", QString::number(c + 1)},
                                   {"codecontrat", QLatin1Char('\'') + codes[(i + c) % 3] + QLatin1Char('\'')},
                                   {"dtdeb", dialect.dateValue(start)}, {"dtfin", dialect.dateValue(start.addDays(364))},
                                   {"hierar", QString::number(c + 1)}}));
            }
        }
        fill.commit();
    }

    ClientSearch search(dialect);
    ClientSearch::Filters filters;
    filters.contract = ClientSearch::ContractMode::Any;
    filters.dateRule = ClientSearch::DateRule::ActiveOn;
    filters.from = QDate(2025, 6, 1);
    ClientListModel model;
    QElapsedTimer timer;
    timer.start();
    model.load(db, search, filters, QStringLiteral("Clients"));
    const double anyMs = timer.nsecsElapsed() / 1e6;
    const int anyRows = model.rowCount();

    filters.contract = ClientSearch::ContractMode::Without;
    timer.restart();
    model.load(db, search, filters, QStringLiteral("Clients"));
    const double withoutMs = timer.nsecsElapsed() / 1e6;
    const int withoutRows = model.rowCount();

    MessageBoxPrompter prompter;
    timer.restart();
    ListClients list(session, prompter);
    list.show();
    QApplication::processEvents();
    const double openMs = timer.nsecsElapsed() / 1e6;

    QTextStream(stdout) << count << " clients : recherche avec filtre de contrat (actif à une date) "
                        << QString::number(anyMs, 'f', 1) << " ms (" << anyRows << " lignes), sans contrat "
                        << QString::number(withoutMs, 'f', 1) << " ms (" << withoutRows << " lignes), ouverture de la liste "
                        << QString::number(openMs, 'f', 1) << " ms (" << list.model()->rowCount() << " lignes)" << Qt::endl;
    return anyMs < 500 ? 0 : 2;
}
