#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

class Session;
class Terms;

// One condition of a stage on the tasks of a client.
struct StageCriterion
{
    enum Kind { NotTakenPlace = 0, TakenPlace = 1 };

    qint64 taskType = 0; // kp_taches.noidtache
    int kind = TakenPlace; // typecrit
    // For display, read with the criterion.
    QString taskLabel = {};
    int background = 0xFFFFFF;
    int text = 0;
};

// A stage of progress of a client (kp_etapes) and its criteria, all of which
// must hold for a client to be in it.
struct Stage
{
    qint64 number = 0; // 0: not saved yet
    QString label;
    QList<StageCriterion> criteria; // filled by load() only
};

class StageStore
{
public:
    explicit StageStore(Session &session) : m_session(session) {}

    // Every stage by label, without criteria.
    Outcome list(QList<Stage> *stages) const;
    // "Disparition" when another workstation deleted it.
    Outcome load(qint64 number, Stage *stage) const;
    // The stage and all its criteria in one transaction; a new stage gets its number.
    Outcome save(Stage *stage) const;
    Outcome remove(qint64 number) const;

    // Checks a criterion before it joins the stage's list; kind -1 is none chosen.
    static Outcome addCriterion(Stage *stage, const StageCriterion &criterion);

    // The clients (noidsoc, ascending) that the stage selects. A stage without
    // criteria selects every client.
    Outcome clients(qint64 number, QList<qint64> *clients) const;

    // "A eu lieu pour le Client" / "N'a pas eu lieu pour le Client".
    static QString criterionChoice(const Terms &terms, int kind);
    // "Client existant" / "Client inexistant".
    static QString criterionText(const Terms &terms, int kind);

private:
    Session &m_session;
};
