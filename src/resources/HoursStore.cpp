#include "resources/HoursStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");

// hh.mm as a number, the way slot times are compared.
double clockValue(const QString &time)
{
    return time.section(QLatin1Char(':'), 0, 0).toInt() + time.section(QLatin1Char(':'), 1, 1).toInt() / 100.0;
}

} // namespace

Outcome HoursStore::checkCompanyHours(const CompanyHours &hours)
{
    if (!hours.jourstrav.contains(QLatin1Char('1')))
        return Outcome::failure(QStringLiteral("Attention"), QStringLiteral("Vous devez au moins définir une journée de travail !!!"));
    const QString end = hours.horfin == QLatin1String("24:00") ? QStringLiteral("00:00") : hours.horfin;
    if (end != QLatin1String("00:00") && end < hours.hordeb)
        return Outcome::failure(QStringLiteral("Impossible"),
                                QStringLiteral("Vous ne pouvez pas définir un horaire de fin\ninférieur à l'horaire de début"));
    return Outcome::success();
}

Outcome HoursStore::saveCompanyHours(Database &db, const CompanyHours &hours)
{
    if (Outcome checked = checkCompanyHours(hours); !checked)
        return checked;
    // The readers see an end at midnight as "24:00"; it is stored "00:00".
    const QString end = hours.horfin == QLatin1String("24:00") ? QStringLiteral("00:00") : hours.horfin;
    ResultSet rows;
    if (!db.query(QStringLiteral("select hordeb,horfin,durjour,jourstrav from kp_paramplan"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de la base de données"), db.lastError());
    const QStringList values = {hours.hordeb,      end,               hours.durjour,    hours.hordmatmens, hours.horfmatmens,
                                hours.hordapmens,  hours.horfapmens,  hours.hordmatann, hours.horfapann,   hours.jourstrav};
    static const QStringList columns = {QStringLiteral("hordeb"),     QStringLiteral("horfin"),     QStringLiteral("durjour"),
                                        QStringLiteral("hordmatmens"), QStringLiteral("horfmatmens"), QStringLiteral("hordapmens"),
                                        QStringLiteral("horfapmens"),  QStringLiteral("hordmatann"),  QStringLiteral("horfapann"),
                                        QStringLiteral("jourstrav")};
    QStringList quoted, assignments;
    for (int i = 0; i < columns.size(); ++i) {
        quoted.append(QLatin1Char('\'') + sqlText(values[i]) + QLatin1Char('\''));
        assignments.append(columns[i] + QStringLiteral(" = ") + quoted.last());
    }
    const QString sql = rows.isEmpty() ? QStringLiteral("insert into kp_paramplan (") + columns.join(QLatin1Char(','))
                                             + QStringLiteral(") values (") + quoted.join(QLatin1Char(',')) + QLatin1Char(')')
                                       : QStringLiteral("update kp_paramplan set ") + assignments.join(QStringLiteral(", "));
    if (!db.exec(sql))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour"), db.lastError());
    return Outcome::success();
}

Outcome HoursStore::timeSlots(Database &db, QList<TimeSlot> *list)
{
    list->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidpredef,libpredef,hordeb,horfin,jourfin from kp_horpredef  order by hordeb"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des horaires prédéfinis"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        list->append({rows.toLongLong(r, 0), rows.value(r, 1), rows.value(r, 2), rows.value(r, 3), rows.toInt(r, 4)});
    return Outcome::success();
}

QString TimeSlot::text() const
{
    return label + QStringLiteral(" (") + start + QStringLiteral(" - ") + end + (endDay == 1 ? QStringLiteral(" J+1") : QString())
           + QLatin1Char(')');
}

Outcome HoursStore::findSlot(Database &db, qint64 number, TimeSlot *slot)
{
    QList<TimeSlot> current;
    const Outcome read = timeSlots(db, &current);
    if (!read)
        return read;
    for (const TimeSlot &s : std::as_const(current)) {
        if (s.number == number) {
            *slot = s;
            return Outcome::success();
        }
    }
    return Outcome::failure(QStringLiteral("Attention"), QStringLiteral("Cet horaire n'est plus défini"));
}

Outcome HoursStore::saveSlot(Database &db, TimeSlot *slot)
{
    if (slot->endDay == 0 && clockValue(slot->end) < clockValue(slot->start))
        return Outcome::failure(QStringLiteral("Incorrect"), QStringLiteral("L'heure de fin est antérieur à l'heure de début"));
    const QString error = QStringLiteral("Erreur lors de la mise à jour");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, error, db.lastError());
    qint64 number = slot->number;
    if (number > 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select noidpredef from kp_horpredef where noidpredef = %1").arg(number), rows))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des horaires prédéfinis"), db.lastError());
        if (rows.isEmpty())
            return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Cette tranche horaire n'existe plus !!"));
    } else {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_horpredef"), QStringLiteral("noidpredef"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    }
    const QString values = QStringLiteral("'%1','%2','%3',%4")
                               .arg(sqlText(slot->label, QStringLiteral("/")), sqlText(slot->start), sqlText(slot->end))
                               .arg(slot->endDay ? 1 : 0);
    const QString sql = slot->number > 0
                            ? QStringLiteral("update kp_horpredef set libpredef = '%2', hordeb = '%3', horfin = '%4', jourfin = %5 "
                                             "where noidpredef = %1")
                                  .arg(number)
                                  .arg(sqlText(slot->label, QStringLiteral("/")), sqlText(slot->start), sqlText(slot->end))
                                  .arg(slot->endDay ? 1 : 0)
                            : QStringLiteral("insert into kp_horpredef (noidpredef,libpredef,hordeb,horfin,jourfin) values (%1,")
                                      .arg(number)
                                  + values + QLatin1Char(')');
    if (!db.exec(sql) || !transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    slot->number = number;
    return Outcome::success();
}

Outcome HoursStore::removeSlot(Database &db, qint64 number)
{
    if (!db.exec(QStringLiteral("delete from kp_horpredef where noidpredef = %1").arg(number)))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression"), db.lastError());
    return Outcome::success();
}
