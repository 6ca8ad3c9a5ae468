#pragma once

#include "core/Outcome.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningSettings.h"
#include "resources/TimeOff.h"
#include "resources/WorkingTime.h"

#include <QDate>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class Session;

// One row of the planning: a resource, a client or a task type.
struct PlanningRow
{
    QString label;
    int kind = 0;        // resource kind, or 0 company / 1 individual
    QString second;      // resource name, contact or company
    QString third;       // first name
    qint64 key = 0;
    int background = 0xFFFFFF;
    int text = 0;
    int civility = 0;
    QString iconName;
    int icon = -1;       // index in PlanningModel::icons(), -1 none
};

// One occurrence of a task on one row.
struct PlanningBlock
{
    qint64 noid = 0;
    qint64 rowKey = 0;
    QString rowLabel;
    QDate startDate;
    int startMinutes = 0;  // from midnight
    QDate endDate;
    int endMinutes = 0;    // 1440 for an end at midnight, shown "24:00" on the day before
    qint64 taskType = 0;
    QString urgency = QStringLiteral("/");
    QString project = QStringLiteral("/");
    QString projectLabel = QStringLiteral("/");
    QString comment = QStringLiteral("/");
    QString leaveCode = QStringLiteral("/");
    int dateLine = 0;
    int blocage = 0;
    int blocadm = 0;
    bool adminLocked = false; // the administrative lock applies to this user
    qint64 noidper = 0;
    int origine = 0;
    qint64 prospect = 0;
    int alert = 0;
    int zone = 0;
    double nbjours = 0;
    double nbheures = 0;
    int occurrence = 0;       // generated from a series: its number from 1
    int background = 0xFFFFFF;
    int textColour = 0;
    QString typeLabel = QStringLiteral("/");
    QString urgencyLabel = QStringLiteral("/");
    QStringList linkNames;    // the linked rows of the other kinds
    QStringList addresses, postcodes, towns;
    QList<qint64> resources;  // by client and by task type
    QList<qint64> clients;    // by resource and by task type
    QString text;
    QString tooltip;           // composed when first asked for (PlanningModel::tooltip)
    bool commentRead = false;  // comment holds the task's comment
    bool linksRead = false;    // the lists of linked rows are filled
    bool owner = true;

    bool isLeave() const { return leaveCode != QLatin1String("/") && !leaveCode.isEmpty(); }
    bool isOccurrence() const { return occurrence > 0; }
    bool isDetached() const { return noidper > 0 && origine == 0; }
    // "hh:nn"; an end at midnight reads "24:00".
    QString startTime() const;
    QString endTime() const;
    // "dd/mm/yyyy hh:nn"
    QString startText() const;
    QString endText() const;
};

// What a load is asked for.
struct PlanningRequest
{
    Presentation presentation = Presentation::ByResource;
    QDate first;          // first day read
    int days = 1;         // days read from `first`
    FilterFragments fragments;
    ColourSource colours = ColourSource::TaskType;
    QString blockPhrase = QStringLiteral("E");
    QString tooltipPhrase = QStringLiteral("ACBCECF");
    QString imagesFolder; // resource and client icons
};

// The rows and blocks of a planning, read in a fixed number of statements
// whatever the number of rows or tasks. A failed load leaves the previous
// content in place.
class PlanningModel
{
public:
    // LoadPlanningRows: the row list of the request's presentation.
    Outcome loadRows(Session &session, const PlanningRequest &request);
    // LoadPlanningBlocks: the blocks of the window, periodic tasks expanded.
    Outcome loadBlocks(Session &session, const PlanningRequest &request);
    // The company hours and the public holidays, for the grid.
    Outcome loadCalendar(Session &session);

    const QList<PlanningRow> &rows() const { return m_rows; }
    const QList<PlanningBlock> &blocks() const { return m_blocks; }
    const QList<QImage> &icons() const { return m_icons; }
    const CompanyHours &hours() const { return m_hours; }
    const QList<Holiday> &holidays() const { return m_holidays; }
    const PlanningRequest &request() const { return m_request; }
    // Changes with every successful load, so that layouts know to recompute.
    quint64 generation() const { return m_generation; }
    // The tool-tip text of a block, composed on first use: the comment it may
    // show is read then, so that a load never reads every comment for nothing.
    QString tooltip(Session &session, int block);

    // The row showing a key, -1 when none.
    int rowOf(qint64 key) const { return m_rowIndex.value(key, -1); }

    // A model from rows and blocks already at hand (pictures built without a database).
    void setContent(const QList<PlanningRow> &rows, const QList<PlanningBlock> &blocks, const CompanyHours &hours,
                    const QList<Holiday> &holidays);

    // The window caption: user, the user's resource, last update.
    static QString caption(Session &session);
    // Locks, once the window opens, every task that began before today.
    static Outcome applyAdminLocks(Session &session, const QDate &today = QDate::currentDate());

private:
    quint64 m_generation = 1;
    PlanningRequest m_request;
    QList<PlanningRow> m_rows;
    QHash<qint64, int> m_rowIndex;
    QList<PlanningBlock> m_blocks;
    QList<QImage> m_icons;
    CompanyHours m_hours;
    QList<Holiday> m_holidays;
    QHash<qint64, QStringList> m_prospects; // the prospect items M to V of each request
};
