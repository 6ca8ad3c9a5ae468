#include "resources/GesIndispo.h"

#include "core/Prompter.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/widgets/DateField.h"
#include "core/widgets/HourMinuteEdit.h"
#include "resources/TimeOff.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

GesIndispo::GesIndispo(Session &session, Prompter &prompter, qint64 task, QWidget *parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_task(task),
      m_rights(Access::lookup(session, QStringLiteral("CONGES"))), m_resource(new QComboBox(this)), m_type(new QComboBox(this)),
      m_range(new RangeEntry(session, prompter, this)), m_comment(new QPlainTextEdit(this)), m_locked(new QCheckBox(QStringLiteral("Bloqué"), this)),
      m_save(new QPushButton(QStringLiteral("Valider"), this)), m_delete(new QPushButton(QStringLiteral("Supprimer"), this))
{
    setWindowTitle(QStringLiteral("Congés et indisponibilités") +
                   (task > 0 ? QStringLiteral(" - MODIFICATION") : QStringLiteral(" - CREATION")));
    m_comment->setTabChangesFocus(true);

    const Terms &terms = session.terms();
    const bool feminine = terms.feminine(Entity::Ressource);
    m_resource->setToolTip(QStringLiteral("Sélectionnez un") + (feminine ? QStringLiteral("e") : QString()) + QLatin1Char(' ') +
                           terms.singular(Entity::Ressource) + QStringLiteral(" pour ") + terms.article(Entity::Tache) +
                           terms.singular(Entity::Tache));

    auto *form = new QFormLayout;
    form->addRow(terms.singular(Entity::Ressource) + QStringLiteral(" :"), m_resource);
    form->addRow(QStringLiteral("Type de congé :"), m_type);
    m_range->addRows(form);
    form->addRow(QStringLiteral("Commentaire :"), m_comment);
    form->addRow(QString(), m_locked);
    m_comment->setMaximumHeight(80);

    auto *cancel = new QPushButton(QStringLiteral("Annuler"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    m_save->setDefault(true);
    m_delete->setEnabled(task > 0 && m_rights.remove);
    connect(m_save, &QPushButton::clicked, this, &GesIndispo::save);
    connect(m_delete, &QPushButton::clicked, this, &GesIndispo::remove);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    loadLists();
    if (task > 0) {
        LeaveEntry entry;
        const Outcome loaded = LeaveStore::load(*session.database(), task, &entry);
        if (loaded)
            fill(entry);
        else {
            prompter.show(loaded);
            m_save->setEnabled(false);
            m_delete->setEnabled(false);
        }
    }
}

void GesIndispo::loadLists()
{
    Database &db = *m_session.database();
    QList<LeaveResource> resources;
    const Outcome listed = LeaveStore::resources(db, m_session.terms(), &resources);
    if (!listed) {
        m_prompter.show(listed);
        m_save->setEnabled(false);
    }
    for (const LeaveResource &r : resources)
        m_resource->addItem(r.label, r.number);

    QList<LeaveType> types;
    const Outcome typesRead = TimeOff::leaveTypes(db, &types);
    if (!typesRead)
        m_prompter.show(typesRead);
    std::sort(types.begin(), types.end(), [](const LeaveType &a, const LeaveType &b) { return a.label < b.label; });
    m_type->addItem(QString(), QString());
    for (const LeaveType &t : types)
        m_type->addItem(t.label, t.code);
}

void GesIndispo::setPresets(qint64 resource, const QDate &startDate, const QString &startTime, const QDate &endDate,
                            const QString &endTime)
{
    LeaveEntry entry;
    entry.resource = resource;
    entry.startDate = startDate;
    entry.startTime = startTime;
    entry.endDate = endDate;
    entry.endTime = endTime;
    fill(entry);
    m_range->recompute();
}

void GesIndispo::fill(const LeaveEntry &entry)
{
    m_resource->setCurrentIndex(m_resource->findData(entry.resource));
    m_type->setCurrentIndex(std::max(0, m_type->findData(entry.leaveType)));
    m_range->setRange(entry.startDate, entry.startTime, entry.endDate, entry.endTime);
    m_range->setDurations(QString::number(entry.days), QString::number(entry.hours));
    m_comment->setPlainText(entry.comment);
    m_locked->setChecked(entry.locked);
}

LeaveEntry GesIndispo::gather() const
{
    LeaveEntry e;
    e.number = m_task;
    e.resource = m_resource->currentData().toLongLong();
    e.leaveType = m_type->currentData().toString();
    e.startDate = m_range->startDate()->date();
    e.startTime = m_range->startTime()->time();
    e.endDate = m_range->endDate()->date();
    e.endTime = m_range->endTime()->time();
    e.days = m_range->days().toDouble();
    e.hours = m_range->hours().toDouble();
    e.comment = m_comment->toPlainText();
    e.locked = m_locked->isChecked();
    return e;
}

void GesIndispo::save()
{
    LeaveEntry entry = gather();
    const Outcome saved = LeaveStore::save(m_session, &entry);
    m_prompter.show(saved);
    if (saved)
        accept();
}

void GesIndispo::remove()
{
    if (m_task <= 0 || !m_rights.remove)
        return;
    if (!m_prompter.ask(QStringLiteral("Suppression"), QStringLiteral("Supprimer le congé ?"), false))
        return;
    const Outcome removed = LeaveStore::remove(m_session, m_task);
    m_prompter.show(removed);
    if (removed)
        accept();
}

void GesIndispo::done(int result)
{
    if (m_task > 0) {
        const Outcome released = RecordLocks::release(m_session, LockKind::Task);
        if (!released)
            m_prompter.show(released);
    }
    QDialog::done(result);
}
