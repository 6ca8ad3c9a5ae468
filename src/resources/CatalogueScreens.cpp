#include "resources/CatalogueScreens.h"

#include "core/Prompter.h"
#include "core/Database.h"
#include "core/Session.h"
#include "core/widgets/ColourSwatch.h"
#include "core/widgets/ColumnLimit.h"
#include "resources/ReferenceLists.h"
#include "resources/SkillStore.h"
#include "resources/TimeOff.h"
#include "core/widgets/DateField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QTreeWidget>

using namespace ReferenceLists;

namespace {

QLineEdit *columnField(QWidget *parent, const QString &table, const QString &column)
{
    auto *field = new QLineEdit(parent);
    limitToColumn(field, table, column);
    return field;
}

// Deletion of a catalogue code still used elsewhere: a second question with the count.
bool confirmUsedCode(Prompter &prompter, int count)
{
    return count == 0
           || prompter.ask(QStringLiteral("Confirmation"),
                           QStringLiteral("Ce code est utilisé %1 fois.\nVoulez vous quand même le supprimer ?").arg(count),
                           false);
}

} // namespace

// --- SaisTables

SaisTables::SaisTables(Session &session, Prompter &prompter, const QString &table, QWidget *parent)
    : CatalogueScreen(session, prompter, ReferenceLists::caption(*session.database(), table),
                      {QStringLiteral("Code"), QStringLiteral("Libellé")}, parent),
      m_table(table), m_code(columnField(this, table, QStringLiteral("code"))),
      m_label(columnField(this, table, QStringLiteral("libelle")))
{
    form()->addRow(QStringLiteral("&Code :"), m_code);
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    deleteButton()->hide(); // codes of these tables are never deleted here
    connect(m_code, &QLineEdit::editingFinished, this, &SaisTables::codeTyped);
    finishSetup();
}

void SaisTables::fill()
{
    QList<CodeLabel> rows;
    const Outcome read = codes(*m_session.database(), m_table, &rows);
    if (!read)
        m_prompter.show(read);
    for (const CodeLabel &row : rows)
        addLine({row.code, row.label}, row.code);
}

void SaisTables::showLine(const QVariant &key)
{
    m_code->setText(key.toString());
    m_code->setReadOnly(true);
    QString label;
    labelOf(*m_session.database(), m_table, key.toString(), &label);
    m_label->setText(label);
}

void SaisTables::clearFields()
{
    m_code->clear();
    m_code->setReadOnly(false);
    m_label->clear();
    m_code->setFocus();
}

// A code that exists already is loaded and locked.
void SaisTables::codeTyped()
{
    if (m_code->isReadOnly() || m_code->text().trimmed().isEmpty())
        return;
    QString label;
    if (labelOf(*m_session.database(), m_table, m_code->text().trimmed(), &label) && !label.isEmpty())
        select(m_code->text().trimmed());
}

void SaisTables::save()
{
    const Outcome saved = saveCode(*m_session.database(), m_table, m_code->text().trimmed(), m_label->text());
    m_prompter.show(saved);
    if (saved)
        refill(m_code->text().trimmed());
}

// --- GesContrats

GesContrats::GesContrats(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Gestion des contrats "),
                      {QStringLiteral("Code"), QStringLiteral("Libellé"), QStringLiteral("Durée")}, parent),
      m_code(columnField(this, QStringLiteral("kp_contrats"), QStringLiteral("code"))),
      m_label(columnField(this, QStringLiteral("kp_contrats"), QStringLiteral("libelle"))), m_duration(new QComboBox(this))
{
    m_duration->addItems(contractDurations());
    form()->addRow(QStringLiteral("&Code :"), m_code);
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QStringLiteral("&Durée :"), m_duration);
    finishSetup();
}

void GesContrats::fill()
{
    QList<ContractType> types;
    const Outcome read = contractTypes(*m_session.database(), &types);
    if (!read)
        m_prompter.show(read);
    const QStringList durations = contractDurations();
    for (const ContractType &t : types)
        addLine({t.code, t.label, durations.value(t.duration)}, t.code);
}

void GesContrats::showLine(const QVariant &key)
{
    QList<ContractType> types;
    contractTypes(*m_session.database(), &types);
    for (const ContractType &t : types)
        if (t.code == key.toString()) {
            m_code->setText(t.code);
            m_code->setReadOnly(true);
            m_label->setText(t.label);
            m_duration->setCurrentIndex(qBound(0, t.duration, m_duration->count() - 1));
        }
}

void GesContrats::clearFields()
{
    m_code->clear();
    m_code->setReadOnly(false);
    m_label->clear();
    m_duration->setCurrentIndex(0);
    m_code->setFocus();
}

void GesContrats::save()
{
    const ContractType type{m_code->text().trimmed(), m_label->text(), m_duration->currentIndex()};
    const Outcome saved = saveContractType(*m_session.database(), type);
    m_prompter.show(saved);
    if (saved)
        refill(type.code);
}

void GesContrats::remove()
{
    const QString code = currentKey().toString();
    if (code.isEmpty() || !m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Supprimer ce code contrat ?"), false))
        return;
    int used = 0;
    const Outcome counted = countContractsOfType(*m_session.database(), code, &used);
    if (!counted) {
        m_prompter.show(counted);
        return;
    }
    if (!confirmUsedCode(m_prompter, used))
        return;
    const Outcome removed = removeContractType(*m_session.database(), code);
    m_prompter.show(removed);
    refill();
}

// --- GesUrgences

GesUrgences::GesUrgences(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Gestion des urgences"),
                      {QStringLiteral("Code"), QStringLiteral("Libellé")}, parent),
      m_code(columnField(this, QStringLiteral("kp_urgences"), QStringLiteral("code"))),
      m_label(columnField(this, QStringLiteral("kp_urgences"), QStringLiteral("libelle"))),
      m_background(new ColourSwatch(this)), m_text(new ColourSwatch(this))
{
    form()->addRow(QStringLiteral("&Code :"), m_code);
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QStringLiteral("Couleur de &fond :"), m_background);
    form()->addRow(QStringLiteral("Couleur du &texte :"), m_text);
    // A code typed that exists switches to its modification.
    connect(m_code, &QLineEdit::editingFinished, this, [this] {
        if (!m_code->isReadOnly())
            select(m_code->text().trimmed());
    });
    finishSetup();
}

void GesUrgences::fill()
{
    QList<Urgency> list;
    const Outcome read = urgencies(*m_session.database(), &list);
    if (!read)
        m_prompter.show(read);
    for (const Urgency &u : list)
        addLine({u.code, u.label}, u.code, u.background, u.text);
}

void GesUrgences::showLine(const QVariant &key)
{
    QList<Urgency> list;
    urgencies(*m_session.database(), &list);
    for (const Urgency &u : list)
        if (u.code == key.toString()) {
            m_code->setText(u.code);
            m_code->setReadOnly(true);
            m_label->setText(u.label);
            m_background->setValue(u.background);
            m_text->setValue(u.text);
        }
}

void GesUrgences::clearFields()
{
    m_code->clear();
    m_code->setReadOnly(false);
    m_label->clear();
    m_background->setValue(0x0000FF);
    m_text->setValue(0xFFFFFF);
    m_code->setFocus();
}

void GesUrgences::save()
{
    const Urgency urgency{m_code->text().trimmed(), m_label->text(), m_background->value(), m_text->value()};
    const Outcome saved = saveUrgency(*m_session.database(), urgency);
    m_prompter.show(saved);
    if (saved)
        refill(urgency.code);
}

void GesUrgences::remove()
{
    const QString code = currentKey().toString();
    if (code.isEmpty() || !m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Supprimer ce code ?"), false))
        return;
    int used = 0;
    const Outcome counted = countTasksWithUrgency(*m_session.database(), code, &used);
    if (!counted) {
        m_prompter.show(counted);
        return;
    }
    if (!confirmUsedCode(m_prompter, used))
        return;
    m_prompter.show(removeUrgency(*m_session.database(), code));
    refill();
}

// --- DefZones

DefZones::DefZones(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Définition des zones"), {QStringLiteral("Zone")}, parent),
      m_rights(Access::lookup(session, QStringLiteral("DEFZONES"))),
      m_label(columnField(this, QStringLiteral("kp_zones"), QStringLiteral("libzone"))), m_background(new ColourSwatch(this)),
      m_text(new ColourSwatch(this))
{
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QStringLiteral("Couleur de &fond :"), m_background);
    form()->addRow(QStringLiteral("Couleur du &texte :"), m_text);
    deleteButton()->hide();
    newButton()->setEnabled(m_rights.create);
    finishSetup();
}

void DefZones::fill()
{
    QList<Zone> list;
    const Outcome read = zones(*m_session.database(), &list);
    if (!read)
        m_prompter.show(read);
    for (const Zone &z : list)
        addLine({z.label}, z.number, z.background, z.text);
}

void DefZones::showLine(const QVariant &key)
{
    QList<Zone> list;
    zones(*m_session.database(), &list);
    for (const Zone &z : list)
        if (z.number == key.toLongLong()) {
            m_number = z.number;
            m_label->setText(z.label);
            m_background->setValue(z.background);
            m_text->setValue(z.text);
        }
}

void DefZones::clearFields()
{
    m_number = 0;
    m_label->clear();
    m_background->setValue(0xFFFFFF);
    m_text->setValue(0);
    m_label->setFocus();
}

void DefZones::save()
{
    const bool allowed = m_number == 0 ? m_rights.create : m_rights.modify;
    if (!allowed) {
        m_prompter.show(QStringLiteral("Désolé"),
                        (m_number == 0 ? QStringLiteral("Vous n'avez pas le droit de créer les ")
                                       : QStringLiteral("Vous n'avez pas le droit de modifier les "))
                            + QStringLiteral("zones"),
                        Prompter::Icon::Warning);
        return;
    }
    Zone zone{m_number, m_label->text(), m_background->value(), m_text->value()};
    const Outcome saved = saveZone(*m_session.database(), &zone);
    m_prompter.show(saved);
    if (saved)
        refill(zone.number);
}

// --- GesCompetences

GesCompetences::GesCompetences(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Compétences"), {QStringLiteral("Domaine"), QStringLiteral("Libellé")},
                      parent),
      m_domain(new QComboBox(this)), m_label(columnField(this, QStringLiteral("kp_competences"), QStringLiteral("libelle")))
{
    ResultSet domains;
    if (session.database()->query(QStringLiteral("select code,libelle from kp_domaines order by libelle"), domains))
        for (int r = 0; r < domains.rowCount(); ++r)
            m_domain->addItem(domains.value(r, 1), domains.value(r, 0));
    m_domain->setCurrentIndex(-1);
    form()->addRow(QStringLiteral("&Domaine :"), m_domain);
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    deleteButton()->hide();
    finishSetup();
}

void GesCompetences::fill()
{
    QList<Skill> list;
    const Outcome read = SkillStore::skills(*m_session.database(), &list);
    if (!read)
        m_prompter.show(read);
    for (const Skill &s : list)
        addLine({s.domainLabel, s.label}, s.number);
}

void GesCompetences::showLine(const QVariant &key)
{
    QList<Skill> list;
    SkillStore::skills(*m_session.database(), &list);
    for (const Skill &s : list)
        if (s.number == key.toLongLong()) {
            m_number = s.number;
            m_domain->setCurrentIndex(m_domain->findData(s.domain));
            m_label->setText(s.label);
        }
}

void GesCompetences::clearFields()
{
    m_number = 0;
    m_domain->setCurrentIndex(-1);
    m_label->clear();
    m_domain->setFocus();
}

void GesCompetences::save()
{
    Skill skill{m_number, m_domain->currentData().toString(), QString(), m_label->text()};
    const Outcome saved = SkillStore::save(*m_session.database(), &skill);
    m_prompter.show(saved);
    if (saved)
        refill(skill.number);
}

// --- GesJoursFer

GesJoursFer::GesJoursFer(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Jours fériés"),
                      {QStringLiteral("Date"), QStringLiteral("Libellé"), QStringLiteral("Annuel")}, parent),
      m_rights(Access::lookup(session, QStringLiteral("JFER"))), m_date(new DateField(this)),
      m_label(columnField(this, QStringLiteral("kp_joursferies"), QStringLiteral("libelle"))),
      m_recurring(new QCheckBox(QStringLiteral("Annuel"), this))
{
    m_date->setPrompter(&prompter);
    form()->addRow(QStringLiteral("&Date :"), m_date);
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QString(), m_recurring);
    newButton()->setEnabled(m_rights.create);
    deleteButton()->setEnabled(m_rights.remove);
    finishSetup();
}

void GesJoursFer::fill()
{
    QList<Holiday> list;
    const Outcome read = TimeOff::holidays(*m_session.database(), &list);
    if (!read)
        m_prompter.show(read);
    for (const Holiday &h : list)
        addLine({h.recurring ? h.date.toString(QStringLiteral("dd/MM")) : h.date.toString(QStringLiteral("dd/MM/yyyy")), h.label,
                 h.recurring ? QStringLiteral("Oui") : QStringLiteral("Non")},
                h.number);
}

void GesJoursFer::showLine(const QVariant &key)
{
    QList<Holiday> list;
    TimeOff::holidays(*m_session.database(), &list);
    for (const Holiday &h : list)
        if (h.number == key.toLongLong()) {
            m_number = h.number;
            m_date->setDate(h.date);
            m_label->setText(h.label);
            m_recurring->setChecked(h.recurring);
        }
}

void GesJoursFer::clearFields()
{
    m_number = 0;
    m_date->clear();
    m_label->clear();
    m_recurring->setChecked(false);
    m_date->setFocus();
}

void GesJoursFer::save()
{
    if (!(m_number ? m_rights.modify : m_rights.create)) {
        m_prompter.show(QStringLiteral("Désolé"),
                        m_number ? QStringLiteral("Vous n'avez pas le droit de modifier les jours fériés")
                                 : QStringLiteral("Vous n'avez pas le droit de créer des jours fériés"),
                        Prompter::Icon::Warning);
        return;
    }
    Holiday holiday{m_number, m_date->date(), m_recurring->isChecked(), m_label->text()};
    const Outcome saved = TimeOff::saveHoliday(*m_session.database(), &holiday);
    if (!lineRead(saved))
        return;
    refill(holiday.number);
}

void GesJoursFer::remove()
{
    if (m_number == 0 || !m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Supprimer ce jour férié ?"), false))
        return;
    m_prompter.show(TimeOff::removeHoliday(*m_session.database(), m_number));
    refill();
}

// --- GesConges

GesConges::GesConges(Session &session, Prompter &prompter, QWidget *parent)
    : CatalogueScreen(session, prompter, QStringLiteral("Gestion des congés"),
                      {QStringLiteral("Code"), QStringLiteral("Libellé"), QStringLiteral("Début"), QStringLiteral("Nombre")}, parent),
      m_rights(Access::lookup(session, QStringLiteral("DEFCONG"))),
      m_code(columnField(this, QStringLiteral("kp_conges"), QStringLiteral("code"))),
      m_label(columnField(this, QStringLiteral("kp_conges"), QStringLiteral("libelle"))), m_from(new DateField(this)),
      m_to(new DateField(this)), m_days(new QSpinBox(this)), m_background(new ColourSwatch(this)), m_text(new ColourSwatch(this))
{
    list()->setToolTip(QStringLiteral("Liste des congés - Double-Cliquez pour modifier"));
    for (DateField *field : {m_from, m_to}) {
        field->setDayMonthOnly(true);
        field->setPrompter(&prompter);
    }
    m_days->setRange(0, 366);
    form()->addRow(QStringLiteral("&Code :"), m_code);
    form()->addRow(QStringLiteral("&Libellé :"), m_label);
    form()->addRow(QStringLiteral("D&u :"), m_from);
    form()->addRow(QStringLiteral("&Au :"), m_to);
    form()->addRow(QStringLiteral("&Nombre par défaut :"), m_days);
    form()->addRow(QStringLiteral("Couleur de &fond :"), m_background);
    form()->addRow(QStringLiteral("Couleur de &texte :"), m_text);
    connect(m_code, &QLineEdit::editingFinished, this, [this] {
        if (!m_code->isReadOnly())
            select(m_code->text().trimmed());
    });
    deleteButton()->setEnabled(m_rights.remove);
    finishSetup();
}

void GesConges::fill()
{
    QList<LeaveType> types;
    const Outcome read = TimeOff::leaveTypes(*m_session.database(), &types);
    if (!read)
        m_prompter.show(read);
    for (const LeaveType &t : types)
        addLine({t.code, t.label, t.periodStart.toString(QStringLiteral("dd/MM")), QString::number(t.defaultDays)}, t.code,
                t.background, t.text);
}

void GesConges::showLine(const QVariant &key)
{
    QList<LeaveType> types;
    TimeOff::leaveTypes(*m_session.database(), &types);
    for (const LeaveType &t : types)
        if (t.code == key.toString()) {
            m_code->setText(t.code);
            m_code->setReadOnly(true);
            m_label->setText(t.label);
            m_from->setDate(t.periodStart);
            m_to->setDate(t.periodEnd);
            m_days->setValue(t.defaultDays);
            m_background->setValue(t.background);
            m_text->setValue(t.text);
        }
}

void GesConges::clearFields()
{
    m_code->clear();
    m_code->setReadOnly(false);
    m_label->clear();
    m_from->setDate(QDate(2000, 1, 1));
    m_to->setDate(QDate(2000, 12, 31));
    m_days->setValue(0);
    m_background->setValue(0xFFFFFF);
    m_text->setValue(0);
    m_code->setFocus();
}

void GesConges::save()
{
    const bool existing = m_code->isReadOnly();
    if (existing && !m_rights.modify) {
        m_prompter.show(QStringLiteral("Désolée"), QStringLiteral("Vous n'avez pas le droit de modifier les congés"), Prompter::Icon::Warning);
        return;
    }
    if (!existing && !m_rights.create) {
        m_prompter.show(QStringLiteral("Désolée"), QStringLiteral("Vous n'avez pas le droit de créer des congés"), Prompter::Icon::Warning);
        return;
    }
    const LeaveType type{m_code->text().trimmed(), m_label->text(), m_from->date(), m_to->date(),
                         m_days->value(),          m_background->value(), m_text->value()};
    const Outcome saved = TimeOff::saveLeaveType(*m_session.database(), type);
    m_prompter.show(saved);
    if (saved)
        refill(type.code);
}

void GesConges::remove()
{
    const QString code = currentKey().toString();
    if (code.isEmpty()
        || !m_prompter.ask(QStringLiteral("Confirmation"), QStringLiteral("Etes vous sûr(e) de vouloir supprimer ce code congé ?"), false))
        return;
    m_prompter.show(TimeOff::removeLeaveType(*m_session.database(), code));
    refill();
}
