#include "planning/PlanningPeriod.h"

#include <cmath>

QList<Period> PlanningPeriod::all()
{
    return {Period::Day,   Period::NbDays,    Period::Week,    Period::TwoWeeks, Period::Month,
            Period::TwoMonths, Period::Quarter, Period::HalfYear, Period::Year};
}

QString PlanningPeriod::caption(Period period)
{
    switch (period) {
    case Period::Day: return QStringLiteral("Journalier");
    case Period::NbDays: return QStringLiteral("Nombre de jours");
    case Period::Week: return QStringLiteral("Hebdomadaire");
    case Period::TwoWeeks: return QStringLiteral("BiHebdomaire");
    case Period::Month: return QStringLiteral("Mensuel");
    case Period::TwoMonths: return QStringLiteral("Bimestriel");
    case Period::Quarter: return QStringLiteral("Trimestriel");
    case Period::HalfYear: return QStringLiteral("Semestriel");
    case Period::Year: return QStringLiteral("Annuel");
    }
    return {};
}

Period PlanningPeriod::fromCaption(const QString &text, Period fallback)
{
    for (Period p : all())
        if (caption(p).compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return p;
    return fallback;
}

QDate PlanningPeriod::periodEnd(Period period, const QDate &start, int nbJours)
{
    switch (period) {
    case Period::Day: return start;
    case Period::NbDays: return start.addDays(qMax(1, nbJours) - 1);
    case Period::Week: return start.addDays(6);
    case Period::TwoWeeks: return start.addDays(13);
    case Period::Month: return start.addMonths(1).addDays(-1);
    case Period::TwoMonths: return start.addMonths(2).addDays(-1);
    case Period::Quarter: return start.addMonths(3).addDays(-1);
    case Period::HalfYear: return start.addMonths(6).addDays(-1);
    case Period::Year: return start.addYears(1).addDays(-1);
    }
    return start;
}

int PlanningPeriod::dayCount(Period period, const QDate &start, int nbJours)
{
    return int(qMax<qint64>(1, start.daysTo(periodEnd(period, start, nbJours)) + 1));
}

int PlanningPeriod::cellsPerDay(Period period, int days, double span)
{
    double cells = 1;
    switch (period) {
    case Period::Day: cells = span * 12; break;
    case Period::Week: cells = span * 2; break;
    case Period::TwoWeeks: cells = span; break;
    case Period::Month:
    case Period::TwoMonths: cells = 2; break;
    case Period::Quarter:
    case Period::HalfYear:
    case Period::Year: cells = 1; break;
    case Period::NbDays:
        if (days <= 2)
            cells = span * 12;
        else if (days <= 4)
            cells = span * 6;
        else if (days <= 6)
            cells = span * 2;
        else if (days <= 20)
            cells = span;
        else if (days <= 61)
            cells = 2;
        else
            cells = 1;
        break;
    }
    const int whole = int(std::floor(cells + 1e-9));
    return whole <= 0 ? 24 : whole;
}

int PlanningPeriod::stepMinutes(Period period, int days)
{
    if (period == Period::Day)
        return 5;
    if (period == Period::NbDays) {
        if (days <= 2)
            return 5;
        if (days <= 4)
            return 10;
    }
    return 30;
}

QDate PlanningPeriod::shifted(Period period, const QDate &start, int nbJours, int days, int periods)
{
    QDate d = start.addDays(days);
    for (int i = 0; i < qAbs(periods); ++i) {
        if (periods > 0)
            d = periodEnd(period, d, nbJours).addDays(1);
        else
            switch (period) {
            case Period::Month: d = d.addMonths(-1); break;
            case Period::TwoMonths: d = d.addMonths(-2); break;
            case Period::Quarter: d = d.addMonths(-3); break;
            case Period::HalfYear: d = d.addMonths(-6); break;
            case Period::Year: d = d.addYears(-1); break;
            default: d = d.addDays(-dayCount(period, d, nbJours)); break;
            }
    }
    return d;
}
