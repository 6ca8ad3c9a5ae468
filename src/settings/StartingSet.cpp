#include "settings/StartingSet.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "resources/HoursStore.h"

#include <QHash>

namespace {

// Pale red, pale green, pale blue, pale yellow and pale violet (red in the low byte).
constexpr int PeopleColour = 12632319;
constexpr int EquipmentColour = 12648384;
constexpr int CompanyColour = 16761024;
constexpr int IndividualColour = 12648447;
constexpr int TaskTypeColour = 16761087;

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + sqlText(text) + QLatin1Char('\'');
}

// A row whose columns not given hold the neutral values: "/" for texts, 0
// for numbers, the unset date for dates.
bool insertNeutral(Session &session, const QString &table, const QHash<QString, QString> &given)
{
    QStringList names, values;
    for (const ColumnSpec &c : schemaTable(table)->columns) {
        const QString name = QString::fromLatin1(c.name);
        names.append(name);
        if (given.contains(name))
            values.append(given.value(name));
        else if (c.type == ColumnType::ShortText || c.type == ColumnType::LongText)
            values.append(QStringLiteral("'/'"));
        else
            values.append(c.type == ColumnType::DateTime ? session.dialect().unsetDateValue() : QStringLiteral("0"));
    }
    return session.database()->exec(QStringLiteral("insert into ") + table + QStringLiteral(" (") + names.join(QLatin1Char(','))
                                     + QStringLiteral(") values (") + values.join(QLatin1Char(',')) + QLatin1Char(')'));
}

} // namespace

Outcome StartingSet::write(Session &session) const
{
    Database &db = *session.database();
    auto fail = [&db] {
        const QString error = db.lastError();
        db.rollback();
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour de la base"), error);
    };
    if (!db.begin())
        return fail();

    qint64 number = 0;
    const auto resource = [&](const QString &label, int kind, int colour) {
        ++number;
        const QString name = quoted(label + QLatin1Char(' ') + QString::number(number - (kind == 0 ? 0 : people)));
        return insertNeutral(session, QStringLiteral("kp_ressources"),
                             {{QStringLiteral("noid"), QString::number(number)},
                              {QStringLiteral("libelle"), name},
                              {QStringLiteral("nomressource"), name},
                              {QStringLiteral("typeressource"), QString::number(kind)},
                              {QStringLiteral("coulfond"), QString::number(colour)}});
    };
    for (int i = 0; i < people; ++i)
        if (!resource(QStringLiteral("Ressource"), 0, PeopleColour))
            return fail();
    for (int i = 0; i < equipment; ++i)
        if (!resource(QStringLiteral("Matériel"), 1, EquipmentColour))
            return fail();

    for (int i = 1; i <= companies + individuals; ++i) {
        const bool company = i <= companies;
        const QString number = QString::number(company ? i : i - companies);
        if (!insertNeutral(session, QStringLiteral("kp_societes"),
                           {{QStringLiteral("noidsoc"), QString::number(i)},
                            {QStringLiteral("typesoc"), company ? QStringLiteral("0") : QStringLiteral("1")},
                            {QStringLiteral("libsoc"), company ? quoted(QStringLiteral("Société ") + number) : QStringLiteral("'/'")},
                            {QStringLiteral("nomcont"), company ? quoted(QStringLiteral("Contact")) : quoted(QStringLiteral("Contact ") + number)},
                            {QStringLiteral("coulfond"), QString::number(company ? CompanyColour : IndividualColour)}}))
            return fail();
    }

    int taskType = 0;
    for (const QString &label : taskTypes) {
        if (label.trimmed().isEmpty())
            continue;
        if (!insertNeutral(session, QStringLiteral("kp_taches"),
                           {{QStringLiteral("noidtache"), QString::number(++taskType)},
                            {QStringLiteral("libtache"), quoted(label)},
                            {QStringLiteral("coulfond"), QString::number(TaskTypeColour)},
                            {QStringLiteral("duree"), QStringLiteral("'00:00'")},
                            {QStringLiteral("durde"), QStringLiteral("'00:00'")},
                            {QStringLiteral("dura"), QStringLiteral("'00:00'")}}))
            return fail();
    }

    // Green for the first level, red for the second.
    const int urgencyColours[] = {65280, 255};
    for (int i = 0; i < 2 && i < urgencies.size(); ++i) {
        if (urgencies[i].trimmed().isEmpty())
            continue;
        if (!insertNeutral(session, QStringLiteral("kp_urgences"),
                           {{QStringLiteral("code"), quoted(QStringLiteral("D%1").arg(i + 1))},
                            {QStringLiteral("libelle"), quoted(urgencies[i])},
                            {QStringLiteral("coulfond"), QString::number(urgencyColours[i])}}))
            return fail();
    }

    Outcome hoursSaved = HoursStore::saveCompanyHours(db, hours);
    if (!hoursSaved) {
        db.rollback();
        return hoursSaved;
    }
    if (!db.commit())
        return fail();
    return Outcome::success();
}
