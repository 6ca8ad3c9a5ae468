#pragma once

#include "planning/PlanningEdits.h"
#include "planning/PlanningModel.h"

#include <QObject>
#include <functional>

class Prompter;
class QWidget;
class Session;

// The planning's editing commands as the person gives them, with the mouse,
// the keyboard or the context menu: the rights and the questions here, the
// writes in PlanningEdits. Every command that wrote something (or failed
// to) asks for a reload.
class PlanningCommand : public QObject
{
    Q_OBJECT
public:
    PlanningCommand(Session &session, Prompter &prompter, QWidget *parent);

    void setPresentation(Presentation presentation) { m_presentation = presentation; }

    // A new task or leave to enter, as drawn on the planning.
    struct Creation
    {
        bool leave = false;
        qint64 row = 0;
        QDate startDate;
        QString startTime;
        QDate endDate;
        QString endTime;
    };
    // Replaceable windows (tests open no modal window). The creator returns
    // the task number saved, 0 when nothing was.
    using Creator = std::function<qint64(const Creation &)>;
    using Opener = std::function<void(const PlanningBlock &)>;
    void setCreator(const Creator &f) { m_creator = f; }
    void setOpener(const Opener &f) { m_opener = f; }

    // The context-menu commands: "SUPP", "MODIF", "VERROU", "DEVERROU",
    // "NOUVTACHE", "NOUVCONG", and "DETACHE" (an occurrence out of its series).
    // `span` is the clicked place for the two creations.
    bool run(const QString &code, const PlanningBlock *block, qint64 row, const BlockSpan &span);

    // Each returns true when the database changed.
    bool open(const PlanningBlock &block);
    bool drop(const PlanningBlock &block, qint64 targetRow, const BlockSpan &span, bool copy);
    bool stretch(const PlanningBlock &block, bool atStart, const QDateTime &value);
    bool create(qint64 row, const BlockSpan &span, bool leave);
    bool remove(const PlanningBlock &block);
    bool setLocked(const PlanningBlock &block, bool locked);
    bool detach(const PlanningBlock &block);
    // "Annuler": the newest change of this workstation undone.
    bool undo();

    // The last conflict notice (empty when none).
    QString lastNotice() const { return m_notice; }

signals:
    // Something was written, or a write failed: the planning reads again.
    void changed(qint64 task, int dateLine, qint64 row);
    // A resource of a task just placed is busy, on leave or unavailable.
    void conflict(const QString &text);

private:
    Outcome modifyRefusal(const PlanningBlock &block) const;
    // The block may be changed here and is not open elsewhere; otherwise says why (and, after a drag, redraws).
    bool mayEdit(const PlanningBlock &block, bool redraw);
    Outcome createRefusal(qint64 row, bool leave) const;
    bool isOwnRow(qint64 row) const;
    // Shows a failure and reloads; true on success.
    bool finish(const Outcome &outcome, qint64 task, int dateLine, qint64 row);
    void tellConflicts(qint64 task);
    qint64 openCreation(const Creation &creation);

    Session &m_session;
    Prompter &m_prompter;
    QWidget *m_parent;
    Presentation m_presentation = Presentation::ByResource;
    Creator m_creator;
    Opener m_opener;
    QString m_notice;
};
