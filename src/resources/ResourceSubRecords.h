#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>

class ReportTable;
class Session;

// The rows a resource carries besides its services and skills. Dates are
// invalid when unset; codes are empty when none was chosen.
struct ResourceContract
{
    qint64 number = 0; // nocontrat, 0: not saved yet
    QString type;      // kp_contrattravail code
    QString typeLabel;
    QDate start, end;
    QString comment;
};

struct ResourceMemo
{
    qint64 number = 0; // rgmemo
    QString type;      // kp_typememo code
    QString typeLabel;
    QDate date;
    QString title;
    QString text;
};

struct ResourceDependent
{
    qint64 number = 0; // rgayant
    QString surname, firstName;
    int civility = 0;
    QString kinship; // kp_parentes code
    QString kinshipLabel;
    QDate birth;
};

// Contracts, memos and dependents of a resource, over SubRecords.
namespace ResourceSubRecords {

// "Disparition" when another workstation deleted the resource.
Outcome checkExists(Session &session, qint64 resource);

Outcome contracts(Session &session, qint64 resource, QList<ResourceContract> *list); // newest start first
Outcome readContract(Session &session, qint64 resource, qint64 number, ResourceContract *contract);
Outcome saveContract(Session &session, qint64 resource, ResourceContract *contract);
Outcome removeContract(Session &session, qint64 resource, qint64 number);

Outcome memos(Session &session, qint64 resource, QList<ResourceMemo> *list); // display order
Outcome readMemo(Session &session, qint64 resource, qint64 number, ResourceMemo *memo);
Outcome saveMemo(Session &session, qint64 resource, ResourceMemo *memo);
Outcome removeMemo(Session &session, qint64 resource, qint64 number);
// direction -1 up, +1 down; nothing at either end.
Outcome moveMemo(Session &session, qint64 resource, qint64 number, int direction);

Outcome dependents(Session &session, qint64 resource, QList<ResourceDependent> *list); // display order
Outcome readDependent(Session &session, qint64 resource, qint64 number, ResourceDependent *dependent);
Outcome saveDependent(Session &session, qint64 resource, ResourceDependent *dependent);
Outcome removeDependent(Session &session, qint64 resource, qint64 number);

// The memo list for the print preview: a shaded bold heading per memo, its
// text below.
ReportTable memoReport(const QString &resourceCode, const QList<ResourceMemo> &memos);

} // namespace ResourceSubRecords
