#include "resources/WorkingTime.h"

#include "core/Database.h"

namespace {

// hh + mm/60 in single precision.
float hoursOf(const QString &time)
{
    const QString t = time.trimmed();
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    const float hours = float((colon < 0 ? t : t.left(colon)).toInt());
    const float minutes = colon < 0 ? 0.f : float(t.mid(colon + 1).toInt());
    return hours + minutes / 60.f;
}

bool incomplete(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime)
{
    return !startDate.isValid() || !endDate.isValid() || startTime.trimmed().isEmpty() || endTime.trimmed().isEmpty();
}

bool wholeCompanyDay(const QString &startTime, const QString &endTime, const CompanyHours &company)
{
    return startTime == company.hordeb && endTime == company.horfin;
}

} // namespace

bool CompanyHours::isWorkingDay(int weekday) const
{
    return jourstrav.mid(weekday - 1, 1) != QLatin1String("0");
}

Outcome CompanyHours::read(Database &db, CompanyHours *hours)
{
    *hours = CompanyHours();
    ResultSet rows;
    if (!db.query(QStringLiteral("select hordeb,horfin,durjour,hordmatmens,horfmatmens,hordapmens, horfapmens,hordmatann,"
                                 "horfapann,jourstrav from kp_paramplan"),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture de la base de données"),
                                db.lastError());
    if (rows.isEmpty())
        return Outcome::success();
    QString *times[] = {&hours->hordeb,    &hours->horfin,     &hours->durjour,  &hours->hordmatmens, &hours->horfmatmens,
                        &hours->hordapmens, &hours->horfapmens, &hours->hordmatann, &hours->horfapann};
    for (int i = 0; i < 9; ++i)
        *times[i] = WorkingTime::normaliseTime(rows.value(0, i));
    // An end of day at 00:00 is midnight, the end of the working day.
    if (hours->horfin == QLatin1String("00:00"))
        hours->horfin = QStringLiteral("24:00");
    const QString days = rows.value(0, 9).trimmed();
    if (days.size() == 7)
        hours->jourstrav = days;
    return Outcome::success();
}

QString WorkingTime::normaliseTime(const QString &time)
{
    const QString t = time.trimmed();
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    const int hours = qBound(0, (colon < 0 ? t : t.left(colon)).toInt(), 23);
    const int minutes = qBound(0, colon < 0 ? 0 : t.mid(colon + 1).toInt(), 59);
    return QStringLiteral("%1:%2").arg(hours, 2, 10, QLatin1Char('0')).arg(minutes, 2, 10, QLatin1Char('0'));
}

double HoursBetween(const QString &a, const QString &b)
{
    return double(hoursOf(b) - hoursOf(a));
}

double CalculNbJours(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime,
                     const CompanyHours &company)
{
    if (incomplete(startDate, startTime, endDate, endTime))
        return 0;
    double days = double(startDate.daysTo(endDate));
    if (days >= 0)
        for (QDate d = startDate; d <= endDate; d = d.addDays(1))
            if (!company.isWorkingDay(d.dayOfWeek()))
                days -= 1;
    if (wholeCompanyDay(startTime, endTime, company))
        return days + 1;
    const float companyDay = hoursOf(company.horfin) - hoursOf(company.hordeb);
    const float range = hoursOf(endTime) - hoursOf(startTime);
    if (range >= 0.9f * companyDay)
        return days + 1;
    if (range >= 0.4f * companyDay)
        return days + 0.5;
    return days;
}

double CalculNbHeures(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime,
                      const CompanyHours &company)
{
    if (incomplete(startDate, startTime, endDate, endTime) || wholeCompanyDay(startTime, endTime, company))
        return 0;
    const float companyDay = hoursOf(company.horfin) - hoursOf(company.hordeb);
    const float range = hoursOf(endTime) - hoursOf(startTime);
    if (range >= 0.4f * companyDay || range < 0)
        return 0;
    return double(range);
}

int WorkingTime::minutesOfDay(const QString &hhmm)
{
    const qsizetype colon = hhmm.indexOf(QLatin1Char(':'));
    return colon < 0 ? 0 : hhmm.left(colon).toInt() * 60 + hhmm.mid(colon + 1).toInt();
}

QString WorkingTime::timeOfDay(int minutes)
{
    const QChar text[5] = {QChar(u'0' + minutes / 600), QChar(u'0' + minutes / 60 % 10), u':', QChar(u'0' + minutes % 60 / 10),
                           QChar(u'0' + minutes % 10)};
    return QString(text, 5);
}
