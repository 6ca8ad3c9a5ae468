#pragma once

#include "core/Outcome.h"
#include "resources/profile/WeekPicture.h"

#include <QTreeWidget>

class Session;

// The hour profile of a resource, read only, in the workstation's
// preferences (first day, colours). Number 0 or a profile without ranges
// shows an empty week.
class ProfileWeekView : public WeekPicture
{
    Q_OBJECT
public:
    explicit ProfileWeekView(Session &session, QWidget *parent = nullptr);
    Outcome showProfile(qint64 number);

private:
    Session &m_session;
};

// The same ranges as a list: "Jour", "H.Début", "H.Fin", as stored.
class ProfileTable : public QTreeWidget
{
    Q_OBJECT
public:
    explicit ProfileTable(Session &session, QWidget *parent = nullptr);
    Outcome showProfile(qint64 number);

private:
    Session &m_session;
};
