#include "planning/PlanningSettings.h"

#include "core/Settings.h"

#include <algorithm>

namespace {

// A whole number, or nothing for a missing or nonsense value.
std::optional<int> readInt(const Settings &s, const QString &key)
{
    bool ok = false;
    const int v = s.read(planningSection(), key).trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

int readRanged(const Settings &s, const QString &key, int fallback, int (*clamp)(int))
{
    const std::optional<int> v = readInt(s, key);
    return v ? clamp(*v) : fallback;
}

// A value among fixed choices; anything else is the default.
int readChoice(const Settings &s, const QString &key, int fallback, int lowest, int highest)
{
    const std::optional<int> v = readInt(s, key);
    return v && *v >= lowest && *v <= highest ? *v : fallback;
}

int readColour(const Settings &s, const QString &key, int fallback)
{
    bool ok = false;
    const qlonglong v = s.read(planningSection(), key).trimmed().toLongLong(&ok);
    return ok && v >= 0 ? int(v & 0xFFFFFF) : fallback;
}

bool readFlag(const Settings &s, const QString &key)
{
    return s.read(planningSection(), key).trimmed() == QLatin1String("1");
}

} // namespace

const PlanningSettings::ColourKey PlanningSettings::ColourKeys[14] = {
    {"MoisPair", &PlanningSettings::evenMonth},         {"MoisImPair", &PlanningSettings::oddMonth},
    {"SemPair", &PlanningSettings::evenWeek},           {"SemImPair", &PlanningSettings::oddWeek},
    {"Jour", &PlanningSettings::dayBand},               {"TxtMoisPair", &PlanningSettings::evenMonthText},
    {"TxtMoisImPair", &PlanningSettings::oddMonthText}, {"TxtSemPair", &PlanningSettings::evenWeekText},
    {"TxtSemImPair", &PlanningSettings::oddWeekText},   {"TxtJour", &PlanningSettings::dayText},
    {"JoursPairs", &PlanningSettings::evenDay},         {"JoursImpairs", &PlanningSettings::oddDay},
    {"JoursFeries", &PlanningSettings::holiday},        {"JoursWeek", &PlanningSettings::dayOff},
};

const char *const PlanningSettings::LabelWidthKeys[3] = {"LargMaxRessR", "LargMaxRessC", "LargMaxRessT"};

PlanningSettings PlanningSettings::read(const Settings &s)
{
    PlanningSettings p;
    const QString section = planningSection();
    p.nbJours = readRanged(s, QStringLiteral("NbJours"), p.nbJours, [](int v) { return qBound(1, v, 732); });
    p.periode = s.read(section, QStringLiteral("Periode")).trimmed();
    p.presentation = Presentation(readChoice(s, QStringLiteral("Presentation"), 0, 0, 2));
    const std::optional<int> refresh = readInt(s, QStringLiteral("Raffraichissement"));
    if (refresh && std::find(std::begin(RefreshChoices), std::end(RefreshChoices), *refresh) != std::end(RefreshChoices))
        p.refreshSeconds = *refresh;
    p.refreshInBackground = readFlag(s, QStringLiteral("RaffAuto"));
    p.colourSource = ColourSource(readChoice(s, QStringLiteral("CoulAffTache"), 0, 0, 3));
    const QString block = cleanPhrase(s.read(section, QStringLiteral("PhrAffTache")));
    if (!block.isEmpty())
        p.blockPhrase = block;
    const QString tip = cleanPhrase(s.read(section, QStringLiteral("PhrAffBulle")));
    if (!tip.isEmpty())
        p.tooltipPhrase = tip;
    for (const ColourKey &c : ColourKeys)
        p.*c.field = readColour(s, QLatin1String(c.key), p.*c.field);
    p.headerFont = s.read(section, QStringLiteral("DateFont")).trimmed();
    p.rowFont = s.read(section, QStringLiteral("DateRess")).trimmed();
    p.blockFont = s.read(section, QStringLiteral("DateDet")).trimmed();
    p.rowsPerScreen = readRanged(s, QStringLiteral("NbRessMax"), p.rowsPerScreen, clampRows);
    p.maxRowHeightTwips = readRanged(s, QStringLiteral("HautMaxRess"), p.maxRowHeightTwips, clampRowHeight);
    for (int i = 0; i < 3; ++i)
        p.labelWidthPercent[i] = readRanged(s, QLatin1String(LabelWidthKeys[i]), p.labelWidthPercent[i], clampLabelWidth);
    p.wheelAction = readChoice(s, QStringLiteral("WheelAction"), 0, 0, 1);
    p.fastScrolling = readFlag(s, QStringLiteral("DefilRapide"));
    p.lockNewTasks = readFlag(s, QStringLiteral("BlocAuto"));
    p.defaultTaskType = s.read(section, QStringLiteral("TacheDef")).trimmed();
    p.historyLength = readRanged(s, QStringLiteral("NbHisto"), p.historyLength, clampHistory);
    return p;
}

void PlanningSettings::write(Settings &s) const
{
    const QString section = planningSection();
    const auto number = [&](const char *key, int v) { s.write(section, QLatin1String(key), QString::number(v)); };
    const auto flag = [&](const char *key, bool v) { s.write(section, QLatin1String(key), v ? QStringLiteral("1") : QStringLiteral("0")); };
    number("NbJours", nbJours);
    if (!periode.isEmpty())
        s.write(section, QStringLiteral("Periode"), periode);
    number("Presentation", int(presentation));
    number("Raffraichissement", refreshSeconds);
    flag("RaffAuto", refreshInBackground);
    number("CoulAffTache", int(colourSource));
    s.write(section, QStringLiteral("PhrAffTache"), savedBlockPhrase(blockPhrase));
    s.write(section, QStringLiteral("PhrAffBulle"), savedTooltipPhrase(tooltipPhrase));
    for (const ColourKey &c : ColourKeys)
        number(c.key, this->*c.field);
    s.write(section, QStringLiteral("DateFont"), headerFont);
    s.write(section, QStringLiteral("DateRess"), rowFont);
    s.write(section, QStringLiteral("DateDet"), blockFont);
    number("NbRessMax", clampRows(rowsPerScreen));
    number("HautMaxRess", clampRowHeight(maxRowHeightTwips));
    for (int i = 0; i < 3; ++i)
        number(LabelWidthKeys[i], clampLabelWidth(labelWidthPercent[i]));
    number("WheelAction", wheelAction);
    flag("DefilRapide", fastScrolling);
    flag("BlocAuto", lockNewTasks);
    s.write(section, QStringLiteral("TacheDef"), defaultTaskType);
    number("NbHisto", clampHistory(historyLength));
}

QString PlanningSettings::cleanPhrase(const QString &code)
{
    QString clean;
    for (const QChar c : code)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('W'))
            clean.append(c);
    return clean;
}

QString PlanningSettings::savedBlockPhrase(const QString &code)
{
    const QString clean = cleanPhrase(code);
    return clean.isEmpty() ? QStringLiteral("E") : clean;
}

QString PlanningSettings::savedTooltipPhrase(const QString &code)
{
    const QString clean = cleanPhrase(code);
    return clean.isEmpty() ? QStringLiteral("ACBCE") : clean;
}
