#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;
class Settings;

// One working range of an hour profile: a weekday and two times counted in
// minutes from 00:00. An end of 1440 is "24:00", midnight at the end of that day.
struct ProfileRange
{
    int day = 0; // 0 Monday … 6 Sunday
    int start = 0;
    int end = 0;
    bool operator==(const ProfileRange &other) const = default;
};

// A row of kp_profildet with its texts as stored.
struct ProfileDetail
{
    QString day;
    QString start;
    QString end;
};

struct HourProfile
{
    qint64 number = 0; // 0: not saved yet
    QString label;
    QList<ProfileRange> ranges;
};

struct ProfileEntry
{
    qint64 number = 0;
    QString label;
};

// How this workstation draws profiles (settings section "PrefPlan", shared
// with the planning's own presentation keys).
struct ProfilePreferences
{
    int firstDay = 0;                // 0 Monday
    int precision = 2;               // index in ProfileStore::precisionLabels()
    int activeColour = 0xE6A06E;     // 0x00BBGGRR, a mid blue
    int background = 0xFFFFFF;

    // Missing or unusable values fall back to the defaults above.
    static ProfilePreferences read(const Settings &settings);
    // Writes only the keys whose value differs from `before`, so that keys
    // changed meanwhile by another window are not overwritten.
    void writeChanges(Settings &settings, const ProfilePreferences &before) const;
    bool operator==(const ProfilePreferences &other) const = default;
};

// Hour profiles (kp_profil and its ranges in kp_profildet) and the rules of
// their week picture. Profiles are never deleted: resources keep their number.
namespace ProfileStore {

constexpr int DayMinutes = 24 * 60;

// "Lundi" … "Dimanche", as stored in kp_profildet.jour.
QStringList dayNames();
// Weekday of a stored name, without regard to case; -1 when unknown.
int dayIndex(const QString &name);

// "5 minutes" … "30 minutes", and the step of each in minutes.
QStringList precisionLabels();
int precisionMinutes(int index);

// "hh:mm"; 1440 gives "24:00".
QString timeText(int minutes);
// Minutes of an "hh:mm" time from "00:00" to "24:00"; -1 when unreadable.
int minutesOf(const QString &time);
// The nearest multiple of step.
int snap(int minutes, int step);

// Length in minutes (never negative).
int length(const ProfileRange &range);
int totalMinutes(const QList<ProfileRange> &ranges);
// Whole hours then minutes, each on at least two digits: "04:00", "142:30".
QString durationText(int minutes);

// Day by day in the picture's order (from firstDay), each day by start time.
QList<ProfileRange> sorted(QList<ProfileRange> ranges, int firstDay = 0);

// Whether ranges[index] may become `candidate` (index -1: a new range):
// inside the day, and over no other range of the same day.
Outcome checkPlacement(const QList<ProfileRange> &ranges, int index, const ProfileRange &candidate);

// The stored ranges; rows whose day or times cannot be read are left out.
QList<ProfileRange> rangesOf(const QList<ProfileDetail> &details);

// Every profile, by label.
Outcome list(Database &db, QList<ProfileEntry> *profiles);
// The rows of a profile in the order the resource screen lists them.
Outcome details(Database &db, qint64 number, QList<ProfileDetail> *rows);
// A missing profile fails with "Disparition".
Outcome read(Database &db, qint64 number, HourProfile *profile);
// Checks, then writes the profile and replaces its ranges in one transaction;
// a new profile gets its number.
Outcome save(Database &db, HourProfile *profile);

} // namespace ProfileStore
