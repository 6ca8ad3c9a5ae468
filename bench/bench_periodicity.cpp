// Times the expansion of a daily rule over a 10-year window (goal: under 5 ms).
//
//   bench_periodicity [--years N]

#include "tasks/Periodicity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--years"));
    const int years = at > 0 ? args.value(at + 1).toInt() : 10;

    PeriodRule rule;
    rule.datedeb = QDate(2020, 1, 1);
    const QDate from = rule.datedeb;
    const QDate to = from.addYears(years).addDays(-1);

    // The best of several runs, so that a cold start does not count.
    double best = 1e9;
    qsizetype count = 0;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QList<Occurrence> occurrences = Periodicity::ExpandRule(rule, from, to);
        best = qMin(best, timer.nsecsElapsed() / 1e6);
        count = occurrences.size();
    }
    QTextStream(stdout) << "Quotidienne sur " << years << " ans : " << count << " occurrences en "
                        << QString::number(best, 'f', 3) << " ms" << Qt::endl;
    return best < 5.0 ? 0 : 1;
}
