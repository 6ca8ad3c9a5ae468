#include "clients/ClientFreeZones.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");

// The one definition row (kind 0) of a table: updated when present, else inserted.
Outcome saveRow(Database &db, const QString &table, const QString &kindColumn, const QStringList &names, const QStringList &values)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select titre from ") + table + QStringLiteral(" where ") + kindColumn + QStringLiteral(" = 0"), rows))
        return Outcome::failure(Error, QString(), db.lastError());
    QString sql;
    if (rows.isEmpty()) {
        sql = QStringLiteral("insert into ") + table + QStringLiteral(" (") + kindColumn + QLatin1Char(',') + names.join(QLatin1Char(','))
              + QStringLiteral(") values (0,") + values.join(QLatin1Char(',')) + QLatin1Char(')');
    } else {
        QStringList assignments;
        for (int i = 0; i < names.size(); ++i)
            assignments.append(names[i] + QStringLiteral(" = ") + values[i]);
        sql = QStringLiteral("update ") + table + QStringLiteral(" set ") + assignments.join(QLatin1Char(',')) + QStringLiteral(" where ")
              + kindColumn + QStringLiteral(" = 0");
    }
    if (!db.exec(sql))
        return Outcome::failure(Error, QString(), db.lastError());
    return Outcome::success();
}

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

Outcome ClientFreeZones::save(Session &session) const
{
    Database &db = *session.database();
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };

    QStringList names = {QStringLiteral("titre")}, values = {slashLiteral(fieldsTitle)};
    for (int i = 0; i < 7; ++i) {
        names << QStringLiteral("ch%1").arg(i + 1) << QStringLiteral("visch%1").arg(i + 1);
        values << slashLiteral(textLabels.value(i)) << flag(textVisible.value(i));
    }
    for (int i = 0; i < 4; ++i) {
        names << QStringLiteral("tb%1").arg(i + 1) << QStringLiteral("vistb%1").arg(i + 1);
        values << slashLiteral(codeLabels.value(i)) << flag(codeVisible.value(i));
    }
    Outcome fields = saveRow(db, QStringLiteral("kp_chlibres"), QStringLiteral("typechlibre"), names, values);
    if (!fields)
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des champs libres"), fields.dbError());

    names = {QStringLiteral("titre")};
    values = {slashLiteral(dataTitle)};
    for (int i = 0; i < 9; ++i) {
        names << QStringLiteral("ch%1").arg(i + 1);
        values << slashLiteral(dataLabels.value(i));
    }
    Outcome data = saveRow(db, QStringLiteral("kp_donneeslibres"), QStringLiteral("typedonnee"), names, values);
    if (!data)
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des données libres"), data.dbError());
    return Outcome::success();
}
