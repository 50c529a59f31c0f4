#pragma once

#include "checkintable.h"
#include "sessionevent.h"
#include "stationdb/stationrecord.h"

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
    int record = 0;
    QString netControl; // name and call of the net control in charge when it checked in
    int event = 0; // the session's event count with its check-in
};

// A member taken out of a station file during the session.
struct SessionRetirement
{
    QString file; // the station file's name
    int record = 0;
    StationRecord station; // as it was, trimmed
    bool deleted = false; // by the operator; else retired for a year unheard
    bool restored = false;
};

// A session as its events leave it: what the main window shows and what the net report
// and the check-in log tell. The live journal keeps one up to date; a resume rebuilds one
// from the journal's file.
struct SessionState
{
    bool started = false;
    QDateTime start;
    // The net control in charge: the roster's at the start, or whoever the operator chose
    // since (an alternate, or the regular one again), from netControlChanged on.
    QString netControlName;
    QString netControlCall;
    QString startNetControl; // name and call the session started with
    bool alternateNetControl = false;
    std::optional<QDateTime> netControlChanged;
    // The COUNTIES entry chosen last ("EARLY" from the start), at the event count given.
    QString mode;
    int modeChosen = 0;
    std::optional<QDateTime> end;
    QDateTime last; // the time of the latest event

    CheckinTable table;
    QList<SessionCheckin> checkins; // in check-in order
    int traffic = 0;
    bool trafficCounted = false; // the counter shows " n" once it was clicked
    // The stations traffic was counted against (a check-in line selected), in the order of
    // their first count, with their counts; a count taken back to 0 leaves the list.
    QList<std::pair<QString, int>> trafficByStation;
    QStringList nonListed; // the list as it stands
    // The calls not found that still stand at the end, once each, in order: a call later
    // added as a member, given to a member, or cleared with CLEAR is no longer unknown.
    QStringList nonListedStanding;
    bool memberAdded = false;
    QStringList newMembers;
    QList<SessionRetirement> retirements; // in the order they happened
    int events = 0;

    void apply(const SessionEvent &event);
    // The event an Undone names, taken back.
    void undo(const SessionEvent &event);

private:
    // The check-in table's events: an entry taken, freed or given a new call.
    void applyToCheckins(const SessionEvent &event);
    void applyTraffic(const SessionEvent &event);

public:
    // "NAME CALL" of the net control in charge.
    QString netControl() const;
    int checkinCount() const { return table.stationCount(); }
    // The check-in list's lines of the stations still checked in, in check-in order, made
    // since the early or late list was chosen last: what that list showed.
    QStringList linesSinceMode() const;
    QList<SessionCheckin> checkinsSinceMode() const;
    // The traffic of each station still checked in, in the order of its first count; what
    // was counted with no line selected, or against a station since taken back, is
    // unassigned. The counts and the unassigned always add up to the traffic count.
    QList<std::pair<QString, int>> trafficOfCheckins() const;
    int unassignedTraffic() const;
    int trafficOf(const QString &call) const;
};

SessionState ReplayEvents(const QList<SessionEvent> &events);

// The name under which a session is marked as counted in the monthly totals: the moment it
// started, which a resume keeps. Empty for no session.
QString CountedSessionId(const SessionState &state);
