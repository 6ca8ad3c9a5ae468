#include "clients/ClientFreeZones.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");

} // namespace

ClientFreeZones ClientFreeZones::defaults()
{
    ClientFreeZones z;
    z.fieldsTitle = QStringLiteral("Champs &Libre");
    for (int i = 0; i < 7; ++i)
        z.textLabels[i] = QStringLiteral("Champs libre %1").arg(i + 1);
    for (int i = 0; i < 4; ++i)
        z.codeLabels[i] = QStringLiteral("Table libre %1").arg(i + 1);
    z.dataTitle = QStringLiteral("D&onnées libres");
    for (int i = 0; i < 6; ++i)
        z.dataLabels[i] = QStringLiteral("Donnée %1").arg(i + 1);
    z.dataLabels[6] = QStringLiteral("Table 1");
    z.dataLabels[7] = QStringLiteral("Table 2");
    z.dataLabels[8] = QStringLiteral("Commentaire");
    return z;
}

Outcome ClientFreeZones::load(Session &session, ClientFreeZones *z)
{
    Database &db = *session.database();
    const QString readError = QStringLiteral("Erreur lors de la lecture des paramètres");
    const ClientFreeZones initial = defaults();
    *z = initial;

    ResultSet fields;
    if (!db.query(QStringLiteral("select titre,ch1,visch1,ch2,visch2,ch3,visch3,ch4,visch4,ch5,visch5,ch6,visch6,ch7,visch7,"
                                 "tb1,vistb1,tb2,vistb2,tb3,vistb3,tb4,vistb4 from kp_chlibres where typechlibre = 0"),
                  fields))
        return Outcome::failure(Error, readError, db.lastError());
    if (fields.isEmpty()) {
        QStringList values = {QStringLiteral("0"), slashLiteral(initial.fieldsTitle)};
        for (int i = 0; i < 7; ++i)
            values << slashLiteral(initial.textLabels[i]) << QStringLiteral("1");
        for (int i = 0; i < 4; ++i)
            values << slashLiteral(initial.codeLabels[i]) << QStringLiteral("1");
        if (!db.exec(QStringLiteral("insert into kp_chlibres (typechlibre,titre,ch1,visch1,ch2,visch2,ch3,visch3,ch4,visch4,ch5,visch5,"
                                    "ch6,visch6,ch7,visch7,tb1,vistb1,tb2,vistb2,tb3,vistb3,tb4,vistb4) values (")
                     + values.join(QLatin1Char(',')) + QLatin1Char(')')))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des champs libres"), db.lastError());
        // A freshly made row names its tab in the plural.
        z->fieldsTitle = QStringLiteral("Champs &Libres");
    } else {
        z->fieldsTitle = slashToEmpty(fields.value(0, 0));
        for (int i = 0; i < 7; ++i) {
            z->textLabels[i] = slashToEmpty(fields.value(0, 1 + 2 * i));
            z->textVisible[i] = fields.toInt(0, 2 + 2 * i) == 1;
        }
        for (int i = 0; i < 4; ++i) {
            z->codeLabels[i] = slashToEmpty(fields.value(0, 15 + 2 * i));
            z->codeVisible[i] = fields.toInt(0, 16 + 2 * i) == 1;
        }
    }

    ResultSet data;
    if (!db.query(QStringLiteral("select titre,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8,ch9 from kp_donneeslibres where typedonnee = 0"), data))
        return Outcome::failure(Error, readError, db.lastError());
    if (data.isEmpty()) {
        QStringList values = {QStringLiteral("0"), slashLiteral(initial.dataTitle)};
        for (const QString &label : initial.dataLabels)
            values.append(slashLiteral(label));
        if (!db.exec(QStringLiteral("insert into kp_donneeslibres (typedonnee,titre,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8,ch9) values (")
                     + values.join(QLatin1Char(',')) + QLatin1Char(')')))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des données libres"), db.lastError());
    } else {
        z->dataTitle = slashToEmpty(data.value(0, 0));
        for (int i = 0; i < 9; ++i)
            z->dataLabels[i] = slashToEmpty(data.value(0, 1 + i));
    }
    return Outcome::success();
}
