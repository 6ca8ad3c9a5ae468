#pragma once

#include "core/Outcome.h"
#include "reports/HistoryPeriod.h"
#include "reports/ReportTable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Session;
class Terms;

// Who a history report is about: resources or clients.
enum class HistoryKind { Resource, Client };

// What a report is asked for. Texts are as the lists show them: the labels
// only serve the title.
struct HistoryParameters
{
    enum State { AllStates, Done, NotDone };

    HistoryKind kind = HistoryKind::Resource;
    int type = 0; // per resource 0..8, per client 0..5
    QDate start, end;
    int state = AllStates;
    QString project; // code, empty: every project
    QString projectLabel;
    QString comment; // searched inside the task comments, empty: no filter

    // Per resource: the resources chosen; none chosen means every resource
    // the team and service allow (every resource when neither is set).
    QList<qint64> resources;
    qint64 team = -1;
    QString teamLabel;
    QString service; // code
    QString serviceLabel;

    // Per client, the same way with the sector and the company name.
    QList<qint64> clients;
    QString sector; // code
    QString sectorLabel;
    QString company; // libsoc
};

// A finished (or stopped) report: the table as the print preview takes it,
// row 0 holding the column titles.
struct HistoryOutput
{
    ReportTable table;
    int lines = 0;        // rows of data, totals left out
    bool stopped = false; // the person stopped it: the table holds what was read
};

// Reads, counts and totals what was scheduled over a period, per resource or
// per client. Runs a fixed number of statements whatever the number of lines:
// the links of the tasks are read in batches of task numbers. Never writes.
class HistoryReport
{
public:
    // Called with the status text at each stage and every few lines; false stops the report.
    using Progress = std::function<bool(const QString &status)>;

    HistoryReport(Session &session, const HistoryParameters &parameters);

    void setProgress(const Progress &progress, int everyLines = 500)
    {
        m_progress = progress;
        m_step = qMax(1, everyLines);
    }

    // A failed read keeps what was read before it in *output.
    Outcome run(HistoryOutput *output);

    static int typeCount(HistoryKind kind) { return kind == HistoryKind::Resource ? 9 : 6; }
    static QString typeName(HistoryKind kind, int type, const Terms &terms);
    static QStringList typeNames(HistoryKind kind, const Terms &terms);
    static QStringList stateNames(const Terms &terms);
    // The title: report name, active filters, then the period on a second line.
    static QString title(const HistoryParameters &parameters, const Terms &terms);

    // The resources offered for a choice by a team (-1 any) and a service
    // (empty any): noid, libelle, typeressource, civilite, nomressource, prenomressource.
    static QString resourceChoiceQuery(qint64 team, const QString &service);
    // The clients offered by a sector and a company name (empty: any):
    // noidsoc, typesoc, libsoc, nomcont, prenomcont.
    static QString clientChoiceQuery(const QString &sector, const QString &company);
    // A client as lists name it: the company, or the person's name and first name; "?" without one.
    static QString clientName(int typesoc, const QString &libsoc, const QString &nom, const QString &prenom);

private:
    class Builder;

    Session &m_session;
    HistoryParameters m_p;
    Progress m_progress;
    int m_step = 500;
};
