#pragma once

#include "checkintable.h"
#include "sessionevent.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A check-in of the session that still stands.
struct SessionCheckin
{
    int entry = 0;
    QDateTime at;
    QString call;
    QString name;
    QString county;
    QString city;
    QString file; // the station file's name
    SessionEvent::How how = SessionEvent::How::Typed;
    QString line; // the check-in list's line; empty for a check-in by click, which makes none
};

// A session as its events leave it: what the main window shows and what the net report
// and the check-in log tell. The live journal keeps one up to date; a resume rebuilds one
// from the journal's file.
struct SessionState
{
    bool started = false;
    QDateTime start;
    QString netControlName;
    QString netControlCall;
    QString mode;
    std::optional<QDateTime> end;
    QDateTime last; // the time of the latest event

    CheckinTable table;
    QList<SessionCheckin> checkins; // in check-in order
    int traffic = 0;
    bool trafficCounted = false; // the counter shows " n" once it was clicked
    QStringList nonListed; // the list as it stands
    QStringList nonListedHeard; // every call not found this session, once, in order
    bool memberAdded = false;
    QStringList newMembers;
    int events = 0;

    void apply(const SessionEvent &event);

    int checkinCount() const { return table.stationCount(); }
    // The check-in list's lines of the stations still checked in, in check-in order.
    QStringList checkinLines() const;
};

SessionState ReplayEvents(const QList<SessionEvent> &events);

// The name under which a session is marked as counted in the monthly totals: the moment it
// started, which a resume keeps. Empty for no session.
QString CountedSessionId(const SessionState &state);
