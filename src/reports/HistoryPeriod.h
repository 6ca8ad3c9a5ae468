#pragma once

#include <QDate>
#include <QStringList>

class Settings;

// The quick periods of a report, computed from today.
namespace HistoryPeriod {

enum Preset { Today, Week, TwoWeeks, Month, TwoMonths, Year };

QStringList presetNames();
// The first weekday of the hour-profile preferences (PrefPlan/PremJour, 0 Monday).
int firstWeekday(const Settings &settings);
// first and last day of a preset; firstWeekday 0 is Monday.
void range(int preset, const QDate &today, int firstWeekday, QDate *first, QDate *last);

} // namespace HistoryPeriod
