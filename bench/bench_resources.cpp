// Times the opening of the resource list on a file database holding 5,000
// resources (each in a service), the figure users feel when they open it.
//
//   bench_resources [--count N]

#include "BenchDatabase.h"
#include "core/MessageBoxPrompter.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "resources/ListRessources.h"
#include "resources/ResourceListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--count"));
    const int count = at > 0 ? args.value(at + 1).toInt() : 5000;

    BenchDatabase bench;
    if (!bench.open())
        return 1;
    Session &session = *bench.session;

    Database &db = *session.database();
    {
        Transaction fill(db);
        db.exec(QStringLiteral("insert into kp_services (code,libelle) values ('ATEL','Atelier')"));
        for (int i = 1; i <= count; ++i) {
            db.exec(QStringLiteral("insert into kp_ressources (noid,libelle,typeressource,civilite,nomressource,prenomressource,"
                                   "adrressource,compressource,cpressource,villeressource,paysressource,etatressource,"
                                   "telressource,mobressource,faxressource,mailressource,annivressource,coulfond,coultexte,"
                                   "icone,noidprofil,dtsaisie,ordisaisie,dtmodif,ordimodif,nomico) values (%1,'Ressource %1',%2,0,"
                                   "'Nom %1','Prénom','/','/','/','/','/','/','/','/','/','/','1900-01-01',0,0,'/',0,"
                                   "'2026-01-01','P','2026-01-01','P','/')")
                        .arg(i)
                        .arg(i % 3));
            db.exec(QStringLiteral("insert into kp_ressserv (noressource,codeserv) values (%1,'ATEL')").arg(i));
        }
        fill.commit();
    }

    MessageBoxPrompter prompter;
    QElapsedTimer timer;
    timer.start();
    ListRessources list(session, prompter);
    list.show();
    QApplication::processEvents();
    const double openMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    ResourceListModel model;
    model.load(db, {QStringLiteral("0"), QStringLiteral("1")}, {QStringLiteral("ATEL")}, QStringLiteral("Ressources"));
    const double filterMs = timer.nsecsElapsed() / 1e6;

    QTextStream(stdout) << count << " ressources : ouverture de la liste " << QString::number(openMs, 'f', 1)
                        << " ms, recherche filtrée (types et service) " << QString::number(filterMs, 'f', 1) << " ms ("
                        << model.rowCount() << " lignes)" << Qt::endl;
    return 0;
}
