// One workstation in its own process, for the reliability programs that make
// several workstations work on one database at the same moment.
//
//   reliability_worker SETTINGS WORKSTATION GOFILE MODE COUNT
//
// Modes (every line of output is one fact the driver checks):
//   create N   creates N clients and N tasks: "client NUMBER NAME", "task NUMBER CLIENT",
//              "wait MICROSECONDS" per save, "busy" per busy message retried, "elapsed MS"
//   churn N    modifies or deletes its own tasks (listed on stdin) N times, then
//              undoes its last changes: "undo KIND NUMBER ok|bad"
//   lock N     races N times for client lock 1: "grant", "refused", "double" (two holders)
//   fair MS    takes and releases client lock 1 for MS milliseconds: "grants N"
//   hold       takes client lock 7, says "held", then waits to be killed
//   release    logs in as this workstation would (releases its locks): "released"
//   crash      saves tasks until killed: "saved NUMBER" after each commit
//
// Failures are written to stderr and end the process with status 1.

#include "WorkerActions.h"

#include "core/DatabaseOpener.h"
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
    QTextStream err(stderr);
    const Outcome opened = DatabaseOpener(session).open(false);
    if (!opened) {
        err << opened.text() << ' ' << opened.dbError() << Qt::endl;
        return 1;
    }
    // Every workstation starts at the same moment.
    while (!QFile::exists(args[3]))
        QThread::msleep(1);

    WorkerActions actions(session, args[5].toInt());
    const QString mode = args[4];
    bool ok = false;
    if (mode == QLatin1String("create"))
        ok = actions.create();
    else if (mode == QLatin1String("churn"))
        ok = actions.churn();
    else if (mode == QLatin1String("lock"))
        ok = actions.race(args[3] + QStringLiteral(".holder"));
    else if (mode == QLatin1String("fair"))
        ok = actions.fair();
    else if (mode == QLatin1String("hold"))
        ok = actions.hold();
    else if (mode == QLatin1String("release"))
        ok = actions.release();
    else if (mode == QLatin1String("crash"))
        ok = actions.crash();
    return ok ? 0 : 1;
}
