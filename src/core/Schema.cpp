#include "core/Schema.h"

#include "core/Database.h"
#include "core/Terms.h"

namespace {

const QString VersionProbe = QStringLiteral("select numver from kp_versions where nomtable ='kp'");
const QString VersionInsert = QStringLiteral("insert into kp_versions(nomtable,numver) values ('kp',1)");
const QString VersionError = QStringLiteral("Impossible de mettre à jour la table version");
const QString CivilityError = QStringLiteral("Erreur lors de la mise à jour de la table civilite");
constexpr int CivilityStep = 8;

QString columnType(const ColumnSpec &column, const Dialect &dialect)
{
    if (column.flags & ColumnSpec::LiteralInteger)
        return QStringLiteral("integer");
    return dialect.typeName(column.type, column.length);
}

} // namespace

const ColumnSpec *TableSpec::column(const QString &name) const
{
    for (const ColumnSpec &c : columns)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

const TableSpec *schemaTable(const QString &name)
{
    for (const TableSpec &t : schemaTables())
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

QString createTableSql(const TableSpec &table, const Dialect &dialect)
{
    QStringList columns;
    for (const ColumnSpec &c : table.columns) {
        if (c.addedByUpgrade())
            continue;
        columns.append(QLatin1String(c.name) + QLatin1Char(' ') + columnType(c, dialect)
                       + (c.nullable() ? QStringLiteral(" null") : QStringLiteral(" not null")));
    }
    return QStringLiteral("create table ") + QLatin1String(table.name) + QStringLiteral(" (")
           + columns.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString addColumnSql(const TableSpec &table, const ColumnSpec &column, const Dialect &dialect)
{
    return QStringLiteral("alter table ") + QLatin1String(table.name) + QStringLiteral(" add ")
           + QLatin1String(column.name) + QLatin1Char(' ') + columnType(column, dialect)
           + (column.nullable() ? QStringLiteral(" null") : dialect.addedNotNull());
}

SchemaUpgrade::SchemaUpgrade(Database &db, const Dialect &dialect, const Terms &terms)
    : m_db(db), m_dialect(dialect), m_terms(terms)
{
}

QString SchemaUpgrade::errorText(const char *pattern) const
{
    QString text = QString::fromUtf8(pattern);
    text.replace(QStringLiteral("{Ressources}"), m_terms.plural(Entity::Ressource));
    text.replace(QStringLiteral("{Clients}"), m_terms.plural(Entity::Client));
    text.replace(QStringLiteral("{Tâches}"), m_terms.plural(Entity::Tache));
    return text;
}

Outcome SchemaUpgrade::readState(int &state)
{
    ResultSet rows;
    if (!m_db.query(VersionProbe, rows)) {
        const TableSpec *versions = schemaTable(QStringLiteral("kp_versions"));
        if (!m_db.exec(createTableSql(*versions, m_dialect)))
            return Outcome::failure(QStringLiteral("Erreur SQL"), QStringLiteral("Impossible de créer la table versions"),
                                    m_db.lastError());
        if (!m_db.exec(VersionInsert))
            return Outcome::failure(QStringLiteral("Erreur"), VersionError, m_db.lastError());
        state = 1;
        return Outcome::success();
    }
    if (rows.isEmpty()) {
        if (!m_db.exec(VersionInsert))
            return Outcome::failure(QStringLiteral("Erreur"), VersionError, m_db.lastError());
        state = 1;
        return Outcome::success();
    }
    state = rows.toInt(0, 0);
    return Outcome::success();
}

Outcome SchemaUpgrade::run()
{
    m_applied.clear();
    int state = 0;
    Outcome outcome = readState(state);
    m_initialState = state;
    if (!outcome)
        return outcome;

    // On the file back end the checks run as one write transaction: quick,
    // and a second workstation opening the same new file waits for the first
    // and then finds the state already verified.
    const bool transactional = state == 1 && m_dialect.transactionalDdl();
    if (transactional) {
        if (!m_db.begin())
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture de la base"),
                                    m_db.lastError());
        outcome = readState(state);
    }
    if (outcome && state == 1)
        outcome = runSteps();
    if (outcome && !m_db.exec(QStringLiteral("update kp_versions set numver = 2 where nomtable = 'kp'")))
        outcome.notice(QStringLiteral("Erreur"), VersionError);

    // Steps already carried out stay done even when a later one failed.
    if (transactional && !m_db.commit() && outcome)
        return Outcome::failure(QStringLiteral("Erreur"), VersionError, m_db.lastError());
    return outcome;
}

namespace {

// Indexes on the columns the planning and the task screens join on, without
// which a server reads a big planning far too slowly. The embedded back end
// builds its own indexes for each statement and, given more, can choose worse
// plans: it keeps only those that were measured to help it. No index leads
// from a resource or a client to its tasks: with one, a server starts a
// planning read from the rows and walks every task they ever had.
struct IndexSpec
{
    const char *table;
    const char *column;
    bool file;
};

constexpr IndexSpec Indexes[] = {
    {"kp_taches_desc", "noid", true},          {"kp_taches_ressources", "noid", true},
    {"kp_taches_clients", "noid", true},       {"kp_taches_desc", "noidper", true},
    {"kp_taches_dates", "noid", false},        {"kp_ressources", "noid", false},
    {"kp_societes", "noidsoc", false},
    {"kp_taches_couts", "noidtache", false},   {"kp_equipes_ress", "noequipe", false},
    // Each workstation trims and renumbers its own undo entries: with these a
    // server locks only that workstation's rows, never another's.
    {"histo_taches_desc", "nomordi,nohisto", false},       {"histo_taches_dates", "nomordi,nohisto", false},
    {"histo_taches_ressources", "nomordi,nohisto", false}, {"histo_taches_clients", "nomordi,nohisto", false},
    {"histo_taches_couts", "nomordi,nohisto", false},      {"histo_alertes", "nomordi,nohisto", false},
    {"histo_periode", "nomordi,nohisto", false},
};

} // namespace

void SchemaUpgrade::addIndexes()
{
    for (const IndexSpec &index : Indexes) {
        if (m_dialect.isFile() && !index.file)
            continue;
        QString table = QLatin1String(index.table);
        if (table.startsWith(QLatin1String("kp_")))
            table = table.mid(3);
        const QString name = QStringLiteral("ix_%1_%2").arg(table, QString::fromLatin1(index.column).replace(QLatin1Char(','), QLatin1Char('_')));
        // Only a speed-up: an index that exists already or cannot be made is no reason to refuse the database.
        const bool guarded = m_dialect.isFile() || m_dialect.isMySql();
        m_db.exec(QStringLiteral("create index ") + (guarded ? QStringLiteral("if not exists ") : QString()) + name
                  + QStringLiteral(" on ") + QLatin1String(index.table) + QStringLiteral(" (") + QLatin1String(index.column)
                  + QLatin1Char(')'));
    }
}

Outcome SchemaUpgrade::runSteps()
{
    for (const SchemaStep &step : schemaSteps()) {
        ResultSet ignored;
        if (!m_db.query(QString::fromUtf8(step.probe), ignored)) {
            const Outcome applied = applyStep(step);
            if (!applied)
                return applied;
            m_applied.append(step.number);
        }
        if (step.number == CivilityStep) {
            const Outcome seeded = seedCivilities();
            if (!seeded)
                return seeded;
        }
    }
    addIndexes();
    return Outcome::success();
}

Outcome SchemaUpgrade::applyStep(const SchemaStep &step)
{
    const TableSpec *table = schemaTable(QString::fromLatin1(step.table));
    const QString error = errorText(step.error);
    if (!table)
        return Outcome::failure(QStringLiteral("Erreur SQL"), error);

    if (step.kind == SchemaStep::Recreate
        && !m_db.exec(QStringLiteral("drop table ") + QLatin1String(step.table)))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour de la table alertes"),
                                m_db.lastError());

    QString ddl;
    if (step.kind == SchemaStep::AddColumn) {
        const ColumnSpec *column = table->column(QString::fromLatin1(step.column));
        if (!column)
            return Outcome::failure(QStringLiteral("Erreur SQL"), error);
        ddl = addColumnSql(*table, *column, m_dialect);
    } else {
        ddl = createTableSql(*table, m_dialect);
    }
    if (!m_db.exec(ddl))
        return Outcome::failure(QStringLiteral("Erreur SQL"), error, m_db.lastError());
    if (*step.followUp && !m_db.exec(QString::fromUtf8(step.followUp)))
        return Outcome::failure(QStringLiteral("Erreur"), error, m_db.lastError());
    return Outcome::success();
}

Outcome SchemaUpgrade::seedCivilities()
{
    const Civilities defaults = defaultCivilities();
    for (int n = 0; n < 3; ++n) {
        ResultSet rows;
        if (!m_db.query(QStringLiteral("select racc,comp from kp_civilites where numero = %1").arg(n), rows))
            return Outcome::failure(QStringLiteral("Erreur"), CivilityError, m_db.lastError());
        if (!rows.isEmpty()) {
            m_civilities[n] = {rows.value(0, 0), rows.value(0, 1)};
            continue;
        }
        const QString insert = QStringLiteral("insert into kp_civilites (numero,racc,comp) values (%1,'%2','%3')")
                                   .arg(n)
                                   .arg(defaults[n].shortName, defaults[n].fullName);
        if (!m_db.exec(insert))
            return Outcome::failure(QStringLiteral("Erreur"), CivilityError + QStringLiteral(" (%1)").arg(n),
                                    m_db.lastError());
        m_civilities[n] = defaults[n];
    }
    return Outcome::success();
}
