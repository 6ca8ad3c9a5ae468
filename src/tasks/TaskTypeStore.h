#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

class ListRequest;
class Session;

// A skill a resource needs for tasks of a type.
struct RequiredSkill
{
    qint64 number = 0; // kp_competences.noid
    QString domain;
    QString label;
};

// A task type (kp_taches) with its required skills.
struct TaskType
{
    enum Timing { NoDuration = 0, FixedDuration = 1, FixedHours = 2 };

    qint64 number = 0; // 0: not saved yet
    QString label;
    int background = 0xFFFFFF;
    int text = 0;
    int timing = NoDuration;        // typehor
    QString duration = QStringLiteral("00:00"); // duree, for FixedDuration
    QString from = QStringLiteral("00:00");     // durde, for FixedHours
    QString to = QStringLiteral("00:00");       // dura, for FixedHours
    QList<RequiredSkill> skills;    // filled by load() only

    // "Durée : 01:30", "De : 08:00 A : 10:00", or nothing.
    QString timingText() const;
};

// Task types and their required skills. Messages name the task with the
// session's words.
class TaskTypeStore
{
public:
    explicit TaskTypeStore(Session &session) : m_session(session) {}

    // Every type by label, without skills.
    Outcome list(QList<TaskType> *types) const;
    // One type with its skills; "Disparition" when another workstation deleted it.
    Outcome load(qint64 number, TaskType *type) const;
    // Writes the type and replaces its skills, in one transaction; a new
    // type gets its number.
    Outcome save(TaskType *type) const;
    // Refused while skills, tasks or undo history rows still name the type.
    Outcome remove(qint64 number) const;

    // The skills that can still be added, those listed left out.
    static ListRequest skillRequest(const QList<qint64> &listed);

private:
    Session &m_session;
};
