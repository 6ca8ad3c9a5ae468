#pragma once

#include "core/Terms.h"

#include <QString>

class Settings;

// What a planning shows its rows by.
enum class Presentation { ByResource = 0, ByClient = 1, ByTaskType = 2 };

// The entity a presentation's rows are.
inline Entity rowEntity(Presentation p)
{
    return p == Presentation::ByResource ? Entity::Ressource : p == Presentation::ByClient ? Entity::Client : Entity::Tache;
}

// Where a block takes its colours from.
enum class ColourSource { TaskType = 0, Client = 1, Urgency = 2, Zone = 3 };

// The workstation's planning parameters (section "Planning"). Reading never
// fails: a missing, empty or nonsense value gives its default, a number out
// of its range is brought back into it.
struct PlanningSettings
{
    int nbJours = 30;
    QString periode;             // caption of the chosen period, empty: none chosen yet
    Presentation presentation = Presentation::ByResource;
    int refreshSeconds = 30;     // 0: never
    bool refreshInBackground = false;
    ColourSource colourSource = ColourSource::TaskType;
    QString blockPhrase = QStringLiteral("E");
    QString tooltipPhrase = QStringLiteral("ACBCECF");

    // 0x00BBGGRR colours.
    int evenMonth = 12648447, oddMonth = 12648384;
    int evenWeek = 12632319, oddWeek = 16777152;
    int dayBand = 8421631;
    int evenMonthText = 0, oddMonthText = 0, evenWeekText = 0, oddWeekText = 0, dayText = 0;
    int evenDay = 16777152, oddDay = 16777152;
    int holiday = 255;
    int dayOff = 255;

    QString headerFont; // empty: the application's font
    QString rowFont;
    QString blockFont;

    int rowsPerScreen = 20;     // NbRessMax
    int maxRowHeightTwips = 900;
    int labelWidthPercent[3] = {20, 20, 20}; // by resource, client, task type
    int wheelAction = 0;        // 0 rows, 1 days
    bool fastScrolling = false;
    bool lockNewTasks = false;
    QString defaultTaskType;
    int historyLength = 10;

    static constexpr int RefreshChoices[] = {0, 5, 10, 15, 30, 60, 120, 180, 300};

    // The colour keys and the fields they fill: header bands, their texts, then the day columns.
    struct ColourKey
    {
        const char *key;
        int PlanningSettings::*field;
    };
    static const ColourKey ColourKeys[14];
    static const char *const LabelWidthKeys[3];

    static PlanningSettings read(const Settings &settings);
    void write(Settings &settings) const;

    int labelWidth(Presentation p) const { return labelWidthPercent[int(p)]; }

    // Only the letters A to W count; an empty block phrase is "E", an empty
    // tool-tip phrase "ACBCE".
    static QString cleanPhrase(const QString &code);
    static QString savedBlockPhrase(const QString &code);
    static QString savedTooltipPhrase(const QString &code);

    // The ranges of the numeric parameters, as the dialog enforces them.
    static int clampRows(int v) { return qBound(5, v, 50); }
    static int clampRowHeight(int v) { return qBound(200, v, 5000); }
    static int clampLabelWidth(int v) { return qBound(5, v, 95); }
    static int clampHistory(int v) { return qBound(5, v, 50); }
};

// The settings section of the planning parameters.
inline QString planningSection() { return QStringLiteral("Planning"); }
