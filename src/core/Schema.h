#pragma once

#include "core/Civilities.h"
#include "core/Dialect.h"
#include "core/Outcome.h"

#include <vector>

class Database;
class Terms;

struct ColumnSpec
{
    // LiteralInteger: written "integer" whatever the back end.
    enum Flag { Nullable = 1, AddedByUpgrade = 2, LiteralInteger = 4 };
    const char *name;
    ColumnType type;
    int length = 0; // ShortText only
    int flags = 0;

    bool nullable() const { return flags & Nullable; }
    bool addedByUpgrade() const { return flags & AddedByUpgrade; }
};

struct TableSpec
{
    const char *name;
    std::vector<ColumnSpec> columns;

    const ColumnSpec *column(const QString &name) const;
};

// Every table of the database, and one of them by name (null when unknown).
const std::vector<TableSpec> &schemaTables();
const TableSpec *schemaTable(const QString &name);

// One step of the upgrade: a probe that fails when the table or column is
// missing, and what to do then.
struct SchemaStep
{
    enum Kind { Create, AddColumn, Recreate };
    int number;
    Kind kind;
    const char *table;
    const char *column; // AddColumn only
    const char *probe;
    const char *followUp; // run after the action, may be empty
    const char *error;    // "{Ressources}", "{Clients}" and "{Tâches}" stand for the plural words
};

const std::vector<SchemaStep> &schemaSteps();

// DDL text for one back end.
QString createTableSql(const TableSpec &table, const Dialect &dialect);
QString addColumnSql(const TableSpec &table, const ColumnSpec &column, const Dialect &dialect);

// The check every opening runs: reads the schema state from kp_versions and,
// while it is 1 (to be verified), creates missing tables and adds missing
// columns, then sets it to 2. A failed step stops the check with its message
// and leaves the state at 1, so the next opening resumes where it stopped.
class SchemaUpgrade
{
public:
    SchemaUpgrade(Database &db, const Dialect &dialect, const Terms &terms);

    Outcome run();

    // The civilities read or seeded during a state-1 pass.
    const Civilities &civilities() const { return m_civilities; }
    // The state found at the start of the pass.
    int initialState() const { return m_initialState; }
    // Step numbers whose action ran in the last pass.
    const QList<int> &stepsApplied() const { return m_applied; }

private:
    Outcome readState(int &state);
    Outcome runSteps();
    Outcome applyStep(const SchemaStep &step);
    Outcome seedCivilities();
    void addIndexes();
    QString errorText(const char *pattern) const;

    Database &m_db;
    Dialect m_dialect;
    const Terms &m_terms;
    Civilities m_civilities = defaultCivilities();
    int m_initialState = 0;
    QList<int> m_applied;
};
