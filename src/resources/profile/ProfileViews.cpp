#include "resources/profile/ProfileViews.h"

#include "core/Session.h"

#include <QHeaderView>

ProfileWeekView::ProfileWeekView(Session &session, QWidget *parent)
    : WeekPicture(parent), m_session(session)
{
    setReadOnly(true);
    setPreferences(ProfilePreferences::read(session.settings()));
}

Outcome ProfileWeekView::showProfile(qint64 number)
{
    QList<ProfileDetail> rows;
    const Outcome read = ProfileStore::details(*m_session.database(), number, &rows);
    setRanges(ProfileStore::rangesOf(rows));
    return read;
}

ProfileTable::ProfileTable(Session &session, QWidget *parent)
    : QTreeWidget(parent), m_session(session)
{
    setHeaderLabels({QStringLiteral("Jour"), QStringLiteral("H.Début"), QStringLiteral("H.Fin")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

Outcome ProfileTable::showProfile(qint64 number)
{
    clear();
    QList<ProfileDetail> rows;
    const Outcome read = ProfileStore::details(*m_session.database(), number, &rows);
    for (const ProfileDetail &r : rows)
        new QTreeWidgetItem(this, {r.day, r.start, r.end});
    return read;
}
