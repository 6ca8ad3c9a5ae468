#include "reports/HistoryPeriod.h"

#include "core/Settings.h"

namespace HistoryPeriod {

QStringList presetNames()
{
    return {QStringLiteral("Aujourd'hui"),   QStringLiteral("Semaine en cours"), QStringLiteral("2 Semaines en cours"),
            QStringLiteral("Mois en cours"), QStringLiteral("2 Mois en cours"),  QStringLiteral("Année en cours")};
}

int firstWeekday(const Settings &settings)
{
    bool ok = false;
    const int day = settings.read(QStringLiteral("PrefPlan"), QStringLiteral("PremJour"), QStringLiteral("0")).toInt(&ok);
    return ok && day >= 0 && day <= 6 ? day : 0;
}

void range(int preset, const QDate &today, int firstWeekday, QDate *first, QDate *last)
{
    const QDate month(today.year(), today.month(), 1);
    // Back to the last day that is the week's first (dayOfWeek 1 Monday = index 0).
    const QDate weekStart = today.addDays(-((today.dayOfWeek() - 1 - firstWeekday + 7) % 7));
    switch (preset) {
    case Week: *first = weekStart; *last = weekStart.addDays(6); break;
    case TwoWeeks: *first = weekStart; *last = weekStart.addDays(13); break;
    case Month: *first = month; *last = month.addMonths(1).addDays(-1); break;
    case TwoMonths: *first = month; *last = month.addMonths(2).addDays(-1); break;
    case Year: *first = QDate(today.year(), 1, 1); *last = QDate(today.year(), 12, 31); break;
    default: *first = today; *last = today; break;
    }
}

} // namespace HistoryPeriod
