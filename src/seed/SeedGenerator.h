#pragma once

#include "core/Outcome.h"

#include <QDate>

class Session;

// How big a demonstration database to build, and from which random seed.
struct SeedOptions
{
    int resources = 50;
    int clients = 500;
    int dateLines = 2000; // kp_taches_dates rows in all, series and leave included
    int series = 20;
    QDate firstDay = QDate(2027, 1, 4);
    int days = 365;
    quint32 seed = 1;
};

// What a run wrote.
struct SeedReport
{
    int taskTypes = 0;
    int leaveTypes = 0;
    int urgencies = 0;
    int zones = 0;
    int sectors = 0;
    int projects = 0;
    int teams = 0;
    int teamMembers = 0;
    int stages = 0;
    int stageCriteria = 0;
    int holidays = 0;
    bool companyHours = false; // kp_paramplan was empty and got its row
    int resources = 0;
    int clients = 0;
    int tasks = 0; // kp_taches_desc rows of every kind
    int dateLines = 0;
    int taskResources = 0;
    int taskClients = 0;
    int leaveEntries = 0;
    int series = 0;
    int detached = 0;
    int cancelled = 0;
};

// Fills an empty database with a realistic, reproducible data set: reference
// lists, resources, clients, tasks, leave and periodic series. The same seed
// and options always give the same rows, so benchmarks and reviews can share
// a database by its command line alone.
class SeedGenerator
{
public:
    SeedGenerator(Session &session, const SeedOptions &options) : m_session(session), m_options(options) {}

    // Refused when the database already holds resources, clients, tasks or
    // the reference lists it writes. Rows are committed every few thousand, so
    // a run that fails midway can leave some behind: start from a new database.
    Outcome run(SeedReport *report);

private:
    Session &m_session;
    SeedOptions m_options;
};
