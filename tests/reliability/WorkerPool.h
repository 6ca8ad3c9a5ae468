#pragma once

#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <memory>

// What one worker process said.
struct WorkerRun
{
    QString workstation;
    QStringList lines;
    QString errors;
    int exitCode = -1;

    // The lines starting with `word `, without it.
    QStringList facts(const QString &word) const
    {
        QStringList found;
        for (const QString &line : lines)
            if (line == word || line.startsWith(word + QLatin1Char(' ')))
                found.append(line.mid(word.size() + 1));
        return found;
    }
};

// Runs the worker program as several workstations of one test database, all
// starting at the same moment.
class WorkerPool
{
public:
    WorkerPool(const TestDatabase &db, const QString &goFile) : m_db(db), m_go(goFile) {}
    ~WorkerPool() { killAll(); }

    static QString program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/reliability_worker"); }

    // Starts one worker that waits for go(); false when it could not start.
    bool start(const QString &workstation, const QString &mode, int count)
    {
        Workstation ws(m_db, workstation); // writes the worker's settings file
        auto process = std::make_unique<QProcess>();
        process->start(program(), {ws.settings().filePath(), workstation, m_go, mode, QString::number(count)});
        if (!process->waitForStarted())
            return false;
        m_names.append(workstation);
        m_processes.push_back(std::move(process));
        return true;
    }
    void go() { QFile(m_go).open(QIODevice::WriteOnly); }
    void stopGoing() { QFile::remove(m_go); }

    QProcess &process(int i) { return *m_processes.at(i); }

    // Waits for every worker and collects what each said.
    QList<WorkerRun> finish(int timeoutMs = 110000)
    {
        QList<WorkerRun> runs;
        for (std::size_t i = 0; i < m_processes.size(); ++i) {
            QProcess &p = *m_processes[i];
            WorkerRun run;
            run.workstation = m_names.at(int(i));
            if (!p.waitForFinished(timeoutMs))
                p.kill();
            p.waitForFinished();
            run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
            run.lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            run.errors = QString::fromUtf8(p.readAllStandardError());
            runs.append(run);
        }
        m_processes.clear();
        m_names.clear();
        return runs;
    }

    void killAll()
    {
        for (auto &p : m_processes) {
            p->kill();
            p->waitForFinished();
        }
        m_processes.clear();
        m_names.clear();
    }

    // Runs `count` of `mode` on `workstations` together and waits for them.
    QList<WorkerRun> runTogether(const QStringList &workstations, const QString &mode, int count)
    {
        stopGoing();
        for (const QString &name : workstations)
            if (!start(name, mode, count))
                return {};
        go();
        return finish();
    }

private:
    const TestDatabase &m_db;
    QString m_go;
    QStringList m_names;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// The counts of the reliability programs, cut down by QUENZO_RELIABILITY_SCALE
// (a divisor, 1 by default) on a slow machine.
inline int scaled(int count)
{
    const int divisor = qMax(1, qEnvironmentVariableIntValue("QUENZO_RELIABILITY_SCALE"));
    return qMax(1, count / divisor);
}

// The median and the highest of some values (0 when there are none).
inline std::pair<double, double> medianAndWorst(QList<double> values)
{
    if (values.isEmpty())
        return {0, 0};
    std::sort(values.begin(), values.end());
    return {values.at(values.size() / 2), values.last()};
}
