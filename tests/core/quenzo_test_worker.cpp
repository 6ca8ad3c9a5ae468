// A second workstation in its own process, for the tests that make two
// workstations race on one database.
//
//   quenzo_test_worker SETTINGS WORKSTATION GOFILE alloc N   allocates N zone numbers
//   quenzo_test_worker SETTINGS WORKSTATION GOFILE lock N    tries to lock clients 0..N-1
//
// Each line of output is "number granted" (lock) or a number (alloc).

#include "core/DatabaseOpener.h"
#include "core/NumberAllocator.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QThread>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    Settings settings(args[1]);
    Session session(settings);
    session.setWorkstation(args[2]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Outcome opened = DatabaseOpener(session).open(false);
    if (!opened) {
        err << opened.text() << Qt::endl;
        return 1;
    }
    // Both workstations start together.
    while (!QFile::exists(args[3]))
        QThread::msleep(1);

    const int count = args[5].toInt();
    Database &db = *session.database();
    for (int i = 0; i < count; ++i) {
        if (args[4] == QLatin1String("lock")) {
            out << i << ' ' << int(RecordLocks::take(session, LockKind::Client, i).ok()) << '\n';
            continue;
        }
        // Both kinds of transaction count numbers of the same table.
        Transaction transaction(db, i % 2 ? TransactionMode::Concurrent : TransactionMode::Serialized);
        qint64 number = 0;
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_zones"), QStringLiteral("noidzone"), {}}},
                                                        NumberAllocator::IntMax, &number);
        if (!transaction.isActive() || !allocated
            || !db.exec(QStringLiteral("insert into kp_zones (noidzone,libzone,coulfond,coultexte) values (%1,'%2',0,0)")
                            .arg(number)
                            .arg(args[2]))
            || !transaction.commit()) {
            err << "échec : " << allocated.text() << ' ' << db.lastError() << Qt::endl;
            return 1;
        }
        out << number << '\n';
    }
    out.flush();
    return 0;
}
