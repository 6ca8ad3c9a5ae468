#include "resources/profile/ProfileStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Settings.h"
#include "core/SqlText.h"

#include <algorithm>
#include <cmath>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString Section = QStringLiteral("PrefPlan");

// A stored number when it is one and lies in [low, high]; otherwise the default.
int readNumber(const Settings &settings, const QString &name, int low, int high, int defaultValue)
{
    bool ok = false;
    const int value = settings.read(Section, name).trimmed().toInt(&ok);
    return ok && value >= low && value <= high ? value : defaultValue;
}

} // namespace

ProfilePreferences ProfilePreferences::read(const Settings &settings)
{
    const ProfilePreferences defaults;
    ProfilePreferences p;
    p.firstDay = readNumber(settings, QStringLiteral("PremJour"), 0, 6, defaults.firstDay);
    p.precision = readNumber(settings, QStringLiteral("Intervalle"), 0, int(ProfileStore::precisionLabels().size()) - 1,
                             defaults.precision);
    p.activeColour = readNumber(settings, QStringLiteral("CoulActiv"), 0, 0xFFFFFF, defaults.activeColour);
    p.background = readNumber(settings, QStringLiteral("ArrPlan"), 0, 0xFFFFFF, defaults.background);
    return p;
}

void ProfilePreferences::writeChanges(Settings &settings, const ProfilePreferences &before) const
{
    if (firstDay != before.firstDay)
        settings.writeNumber(Section, QStringLiteral("PremJour"), firstDay);
    if (precision != before.precision)
        settings.writeNumber(Section, QStringLiteral("Intervalle"), precision);
    if (activeColour != before.activeColour)
        settings.writeNumber(Section, QStringLiteral("CoulActiv"), activeColour);
    if (background != before.background)
        settings.writeNumber(Section, QStringLiteral("ArrPlan"), background);
}

QStringList ProfileStore::dayNames()
{
    return {QStringLiteral("Lundi"),    QStringLiteral("Mardi"),  QStringLiteral("Mercredi"), QStringLiteral("Jeudi"),
            QStringLiteral("Vendredi"), QStringLiteral("Samedi"), QStringLiteral("Dimanche")};
}

int ProfileStore::dayIndex(const QString &name)
{
    const QStringList names = dayNames();
    for (int d = 0; d < names.size(); ++d)
        if (names[d].compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return d;
    return -1;
}

QStringList ProfileStore::precisionLabels()
{
    return {QStringLiteral("5 minutes"), QStringLiteral("10 minutes"), QStringLiteral("15 minutes"),
            QStringLiteral("20 minutes"), QStringLiteral("30 minutes")};
}

int ProfileStore::precisionMinutes(int index)
{
    static const int steps[] = {5, 10, 15, 20, 30};
    return index >= 0 && index < 5 ? steps[index] : 15;
}

QString ProfileStore::timeText(int minutes)
{
    return durationText(minutes);
}

int ProfileStore::minutesOf(const QString &time)
{
    const QStringList parts = time.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2)
        return -1;
    bool okHours = false;
    bool okMinutes = false;
    const int hours = parts[0].toInt(&okHours);
    const int minutes = parts[1].toInt(&okMinutes);
    if (!okHours || !okMinutes || hours < 0 || minutes < 0 || minutes > 59)
        return -1;
    const int total = hours * 60 + minutes;
    return total <= DayMinutes ? total : -1;
}

int ProfileStore::snap(int minutes, int step)
{
    if (step <= 0)
        return minutes;
    return int(std::lround(double(minutes) / step)) * step;
}

int ProfileStore::length(const ProfileRange &range)
{
    return std::max(0, range.end - range.start);
}

int ProfileStore::totalMinutes(const QList<ProfileRange> &ranges)
{
    int total = 0;
    for (const ProfileRange &r : ranges)
        total += length(r);
    return total;
}

QString ProfileStore::durationText(int minutes)
{
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QList<ProfileRange> ProfileStore::sorted(QList<ProfileRange> ranges, int firstDay)
{
    const auto position = [firstDay](int day) { return (day - firstDay + 7) % 7; };
    std::stable_sort(ranges.begin(), ranges.end(), [&](const ProfileRange &a, const ProfileRange &b) {
        if (a.day != b.day)
            return position(a.day) < position(b.day);
        return a.start < b.start;
    });
    return ranges;
}

Outcome ProfileStore::checkPlacement(const QList<ProfileRange> &ranges, int index, const ProfileRange &candidate)
{
    if (candidate.start < 0 || candidate.end > DayMinutes)
        return Outcome::failure(Error, QStringLiteral("Vous ne pouvez pas déplacer en dehors des horaires permises"));
    for (int i = 0; i < ranges.size(); ++i) {
        const ProfileRange &other = ranges[i];
        // Ranges that only touch (one ends when the other starts) are allowed.
        if (i != index && other.day == candidate.day && candidate.start < other.end && other.start < candidate.end)
            return Outcome::failure(QStringLiteral("Désolé"), QStringLiteral("Vous ne pouvez pas déplacer la tranche horaire ici"));
    }
    return Outcome::success();
}

QList<ProfileRange> ProfileStore::rangesOf(const QList<ProfileDetail> &details)
{
    QList<ProfileRange> ranges;
    for (const ProfileDetail &d : details) {
        const ProfileRange r{dayIndex(d.day), minutesOf(d.start), minutesOf(d.end)};
        if (r.day >= 0 && r.start >= 0 && r.end >= 0)
            ranges.append(r);
    }
    return ranges;
}

Outcome ProfileStore::list(Database &db, QList<ProfileEntry> *profiles)
{
    profiles->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidprofil,libprofil from kp_profil order by libprofil"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de la base de données"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        profiles->append({rows.toLongLong(r, 0), rows.value(r, 1)});
    return Outcome::success();
}

Outcome ProfileStore::details(Database &db, qint64 number, QList<ProfileDetail> *details)
{
    details->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidprofil,jour,hdeb,hfin from kp_profildet ") + QStringLiteral(" where noidprofil = ")
                      + QString::number(number) + QStringLiteral(" order by jour,hdeb"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de la base de données"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        details->append({rows.value(r, 1), rows.value(r, 2), rows.value(r, 3)});
    return Outcome::success();
}

Outcome ProfileStore::read(Database &db, qint64 number, HourProfile *profile)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidprofil,libprofil from kp_profil where noidprofil = ") + QString::number(number), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de la base de données"), db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce profil a été supprimé !"));
    QList<ProfileDetail> stored;
    const Outcome read = details(db, number, &stored);
    if (!read)
        return read;
    profile->number = number;
    profile->label = rows.value(0, 1);
    profile->ranges = sorted(rangesOf(stored));
    return Outcome::success();
}

Outcome ProfileStore::save(Database &db, HourProfile *profile)
{
    if (profile->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner un libellé !"));
    if (profile->ranges.isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"),
                                QStringLiteral("Vous ne pouvez pas valider un profil horaire sans tranches !"));

    const QString error = QStringLiteral("Erreur lors de la mise à jour du profil");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, error, db.lastError());
    qint64 number = profile->number;
    if (number <= 0) {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_profil"), QStringLiteral("noidprofil"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated.dbError().isEmpty()
                       ? allocated
                       : Outcome::failure(Error, QStringLiteral("ERreur lors de la lecture des profils"), allocated.dbError());
    }
    const QString key = QString::number(number);
    ResultSet rows;
    if (!db.query(QStringLiteral("select libprofil from kp_profil where noidprofil = ") + key, rows))
        return Outcome::failure(Error, error, db.lastError());
    const QString label = sqlText(profile->label);
    QStringList statements;
    statements.append(rows.isEmpty()
                          ? QStringLiteral("insert into kp_profil (noidprofil,libprofil) values (%1,'%2')").arg(key, label)
                          : QStringLiteral("update kp_profil set libprofil = '%2' where noidprofil = %1").arg(key, label));
    statements.append(QStringLiteral("delete from kp_profildet where noidprofil = ") + key);
    const QStringList days = dayNames();
    for (const ProfileRange &r : sorted(profile->ranges))
        statements.append(QStringLiteral("insert into kp_profildet (noidprofil,jour,hdeb,hfin) values (%1,'%2','%3','%4')")
                              .arg(key, sqlText(days.value(r.day)), sqlText(timeText(r.start)), sqlText(timeText(r.end))));
    for (const QString &sql : statements)
        if (!db.exec(sql))
            return Outcome::failure(Error, error, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    profile->number = number;
    return Outcome::success();
}
