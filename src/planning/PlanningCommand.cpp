#include "planning/PlanningCommand.h"

#include "core/Prompter.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "resources/GesIndispo.h"
#include "tasks/GesTaches.h"
#include "tasks/UndoHistory.h"

#include <QWidget>

namespace {

const QString Sorry = QStringLiteral("Désolé");

QString hhmm(const QDateTime &at)
{
    return at.time().toString(QStringLiteral("hh:mm"));
}

GesTaches::Row taskRow(Presentation p)
{
    switch (p) {
    case Presentation::ByResource: return GesTaches::Row::Resource;
    case Presentation::ByClient: return GesTaches::Row::Client;
    case Presentation::ByTaskType: break;
    }
    return GesTaches::Row::TaskType;
}

} // namespace

PlanningCommand::PlanningCommand(Session &session, Prompter &prompter, QWidget *parent)
    : QObject(parent), m_session(session), m_prompter(prompter), m_parent(parent)
{
}

bool PlanningCommand::isOwnRow(qint64 row) const
{
    const qint64 me = m_session.currentResource();
    return me <= 0 || (m_presentation == Presentation::ByResource && row == me);
}

Outcome PlanningCommand::modifyRefusal(const PlanningBlock &block) const
{
    const PlanningEdits::PlanningRights r = PlanningEdits::rights(m_session);
    const Terms &t = m_session.terms();
    if (block.isLeave() && !r.leaveModify)
        return Outcome::failure(Sorry, QStringLiteral("Vous n'avez pas le droit de modifier les congés"));
    if (block.isLeave() && !block.owner && !r.othersModify)
        return Outcome::failure(Sorry, QStringLiteral("Vous ne pouvez pas modifier les congés de quelqu'un d'autre"));
    if (!block.isLeave() && !block.owner && !r.othersModify)
        return Outcome::failure(Sorry, QStringLiteral("Vous ne pouvez pas modifier ") + t.article(Entity::Tache)
                                           + t.singular(Entity::Tache).toLower() + QStringLiteral(" de quelqu'un d'autre"));
    return Outcome::success();
}

Outcome PlanningCommand::createRefusal(qint64 row, bool leave) const
{
    const PlanningEdits::PlanningRights r = PlanningEdits::rights(m_session);
    const Terms &t = m_session.terms();
    const QString task = t.singular(Entity::Tache).toLower();
    const bool own = isOwnRow(row);
    if (leave && m_presentation != Presentation::ByResource)
        return Outcome::failure(QStringLiteral("Impossible"), QStringLiteral("Vous ne pouvez pas saisir les congés depuis cet écran"));
    if (leave && !r.leaveCreate)
        return Outcome::failure(Sorry, QStringLiteral("Vous n'avez pas le droit de créer les congés"));
    if (leave && !own && !r.othersCreate)
        return Outcome::failure(Sorry, QStringLiteral("Vous ne pouvez pas créer un congé pour quelqu'un d'autre"));
    if (!leave && !own && !r.othersCreate) {
        if (m_presentation == Presentation::ByResource)
            return Outcome::failure(Sorry, QStringLiteral("Vous ne pouvez pas créer un")
                                               + (t.feminine(Entity::Tache) ? QStringLiteral("e ") : QStringLiteral(" ")) + task
                                               + QStringLiteral(" pour quelqu'un d'autre"));
        return Outcome::failure(Sorry, QStringLiteral("Vous ne pouvez pas créer ")
                                           + (t.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de ")) + task
                                           + QStringLiteral("\nEtant donné vos droits, depuis cet écran"));
    }
    return Outcome::success();
}

bool PlanningCommand::finish(const Outcome &outcome, qint64 task, int dateLine, qint64 row)
{
    m_prompter.show(outcome);
    // After a failure too: the picture must show what is stored.
    emit changed(task, dateLine, row);
    if (outcome)
        tellConflicts(task);
    return outcome.ok();
}

void PlanningCommand::tellConflicts(qint64 task)
{
    const QStringList notes = PlanningEdits::conflicts(m_session, task);
    m_notice = notes.join(QLatin1Char('\n'));
    if (!m_notice.isEmpty())
        emit conflict(m_notice);
}

bool PlanningCommand::mayEdit(const PlanningBlock &block, bool redraw)
{
    Outcome check = modifyRefusal(block);
    if (check)
        check = PlanningEdits::checkEditable(m_session, block.noid);
    if (check)
        return true;
    m_prompter.show(check);
    if (redraw) // the dragged block goes back to its place
        emit changed(block.noid, block.dateLine, block.rowKey);
    return false;
}

bool PlanningCommand::open(const PlanningBlock &block)
{
    const Outcome refused = modifyRefusal(block);
    if (!refused) {
        m_prompter.show(refused);
        return false;
    }
    if (m_opener) {
        m_opener(block);
    } else if (block.isLeave()) {
        const Outcome lock = RecordLocks::take(m_session, LockKind::Task, block.noid);
        if (!lock) {
            m_prompter.show(lock);
            return false;
        }
        GesIndispo screen(m_session, m_prompter, block.noid, m_parent);
        screen.exec();
    } else {
        GesTaches::edit(m_session, m_prompter, block.noid, m_parent);
    }
    emit changed(block.noid, block.dateLine, block.rowKey);
    return true;
}

bool PlanningCommand::drop(const PlanningBlock &block, qint64 targetRow, const BlockSpan &span, bool copy)
{
    const Terms &t = m_session.terms();
    if (copy) {
        const Outcome refused = createRefusal(targetRow, block.isLeave());
        if (!refused) {
            m_prompter.show(refused);
            return false;
        }
        qint64 created = 0;
        const Outcome copied = PlanningEdits::copyBlock(m_session, m_presentation, block, targetRow, span, &created);
        return finish(copied, created, 1, targetRow);
    }
    if (!mayEdit(block, true))
        return false;
    if (!block.isOccurrence())
        return finish(PlanningEdits::moveBlock(m_session, m_presentation, block, targetRow, span), block.noid, block.dateLine,
                      targetRow);
    if (m_prompter.ask(QStringLiteral("Déplacement"), QStringLiteral("Sortir la date de la périodicité ?"), false)) {
        qint64 created = 0;
        const Outcome detached = PlanningEdits::detachOccurrence(m_session, m_presentation, block, targetRow, span, &created);
        return finish(detached, created, 1, targetRow);
    }
    if (targetRow == block.rowKey)
        return false;
    if (!m_prompter.ask(QStringLiteral("déplacement"), QStringLiteral("Déplacer ") + t.quantifier(Entity::Tache)
                                                          + t.article(Entity::Tache) + t.singular(Entity::Tache).toLower()
                                                          + QStringLiteral(" ?"),
                        false))
        return false;
    return finish(PlanningEdits::moveSeriesRow(m_session, m_presentation, block, targetRow), block.noid, block.dateLine,
                  targetRow);
}

bool PlanningCommand::stretch(const PlanningBlock &block, bool atStart, const QDateTime &value)
{
    if (!mayEdit(block, true))
        return false;
    const BlockSpan span{atStart ? value : PlanningEdits::startOf(block), atStart ? PlanningEdits::endOf(block) : value};
    if (block.isOccurrence()) {
        // The series' own line is shared by every occurrence: only a detached one can change.
        if (!m_prompter.ask(QStringLiteral("Déplacement"), QStringLiteral("Sortir la date de la périodicité ?"), false))
            return false;
        qint64 created = 0;
        const Outcome detached =
            PlanningEdits::detachOccurrence(m_session, m_presentation, block, block.rowKey, span, &created);
        return finish(detached, created, 1, block.rowKey);
    }
    return finish(PlanningEdits::stretch(m_session, block, atStart, value), block.noid, block.dateLine, block.rowKey);
}

qint64 PlanningCommand::openCreation(const Creation &c)
{
    if (m_creator)
        return m_creator(c);
    if (c.leave) {
        GesIndispo screen(m_session, m_prompter, 0, m_parent);
        screen.setPresets(c.row, c.startDate, c.startTime, c.endDate, c.endTime);
        screen.exec();
        return 0;
    }
    GesTaches screen(m_session, m_prompter, 0, m_parent);
    screen.setPresets(taskRow(m_presentation), c.row, c.startDate, c.startTime, c.endDate, c.endTime);
    return screen.run();
}

bool PlanningCommand::create(qint64 row, const BlockSpan &span, bool leave)
{
    const Outcome refused = createRefusal(row, leave);
    if (!refused) {
        m_prompter.show(refused);
        return false;
    }
    Creation c;
    c.leave = leave;
    c.row = row;
    c.startDate = span.start.date();
    c.startTime = hhmm(span.start);
    c.endDate = span.end.date();
    c.endTime = hhmm(span.end);
    const qint64 saved = openCreation(c);
    emit changed(saved, 1, row);
    if (saved > 0)
        tellConflicts(saved);
    return saved > 0;
}

bool PlanningCommand::setLocked(const PlanningBlock &block, bool locked)
{
    const Outcome check = PlanningEdits::checkEditable(m_session, block.noid);
    if (!check) {
        m_prompter.show(check);
        emit changed(block.noid, block.dateLine, block.rowKey);
        return false;
    }
    const Outcome written = PlanningEdits::setLocked(m_session, block.noid, locked);
    m_prompter.show(written);
    emit changed(block.noid, block.dateLine, block.rowKey);
    return written.ok();
}

bool PlanningCommand::detach(const PlanningBlock &block)
{
    if (!block.isOccurrence())
        return false;
    if (!mayEdit(block, false))
        return false;
    qint64 created = 0;
    const BlockSpan span{PlanningEdits::startOf(block), PlanningEdits::endOf(block)};
    return finish(PlanningEdits::detachOccurrence(m_session, m_presentation, block, block.rowKey, span, &created), created, 1,
                  block.rowKey);
}

bool PlanningCommand::remove(const PlanningBlock &block)
{
    const PlanningEdits::PlanningRights r = PlanningEdits::rights(m_session);
    const Terms &t = m_session.terms();
    if (block.isLeave() && !r.leaveRemove) {
        m_prompter.show(Sorry, QStringLiteral("Vous n'avez pas le droit de supprimer des congés"), Prompter::Icon::Warning);
        return false;
    }
    if (!block.owner && !r.othersRemove) {
        m_prompter.show(Sorry, QStringLiteral("Vous ne pouvez pas supprimer ") + t.article(Entity::Tache)
                                   + t.singular(Entity::Tache).toLower() + QStringLiteral(" de quelqu'un d'autre"),
                        Prompter::Icon::Warning);
        return false;
    }
    const Outcome check = PlanningEdits::checkEditable(m_session, block.noid);
    if (!check) {
        m_prompter.show(check);
        emit changed(block.noid, block.dateLine, block.rowKey);
        return false;
    }
    if (block.isOccurrence()
        && m_prompter.ask(QStringLiteral("COnfirmation"), QStringLiteral("Supprimer uniquement l'occurence en cours ?"))) {
        return finish(PlanningEdits::cancelOccurrence(m_session, block), 0, 0, block.rowKey);
    }
    PlanningEdits::DeletionScope scope;
    const Outcome counted = PlanningEdits::deletionScope(m_session, m_presentation, block.noid, &scope);
    if (!counted) {
        m_prompter.show(counted);
        return false;
    }
    const Entity row = rowEntity(m_presentation);
    const QString linkQuestion = (m_presentation == Presentation::ByClient ? QStringLiteral("Supprimer uniquement pour l")
                                                                           : QStringLiteral("Supprimer uniquement l"))
                                 + t.articleEnding(row) + t.singular(row).toLower() + QStringLiteral(" en cours ?");
    const QString lineQuestion = QStringLiteral("Supprimer uniquement pour la période en cours ?");
    const QString title = QStringLiteral("Suppression");
    bool onlyLink = false;
    bool onlyLine = false;
    if (scope.links > 1)
        onlyLink = m_prompter.ask(title, linkQuestion);
    if (scope.lines > 1 && !onlyLink)
        onlyLine = m_prompter.ask(title, lineQuestion);
    if (!m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Confirmez vous la suppression ?"), false))
        return false;
    const Outcome removed = PlanningEdits::removeBlock(m_session, m_presentation, block, onlyLink, onlyLine);
    m_prompter.show(removed);
    emit changed(0, 0, block.rowKey);
    return removed.ok();
}

bool PlanningCommand::undo()
{
    const Outcome undone = UndoHistory::UndoLast(m_session);
    m_prompter.show(undone);
    emit changed(0, 0, 0);
    return undone.ok();
}

bool PlanningCommand::run(const QString &code, const PlanningBlock *block, qint64 row, const BlockSpan &span)
{
    if (code == QLatin1String("NOUVTACHE") || code == QLatin1String("NOUVCONG"))
        return create(row, span, code == QLatin1String("NOUVCONG"));
    if (!block)
        return false;
    if (code == QLatin1String("MODIF"))
        return open(*block);
    if (code == QLatin1String("VERROU") || code == QLatin1String("DEVERROU"))
        return setLocked(*block, code == QLatin1String("VERROU"));
    if (code == QLatin1String("SUPP"))
        return remove(*block);
    if (code == QLatin1String("DETACHE"))
        return detach(*block);
    return false;
}
