#include "sessionreplay.h"

#include <algorithm>

void SessionState::apply(const SessionEvent &event)
{
    using Kind = SessionEvent::Kind;
    ++events;
    last = event.at;
    switch (event.kind) {
    case Kind::Start:
        if (started)
            break; // one session per journal: a second start is no start
        started = true;
        start = event.at;
        netControlName = event.netControlName;
        netControlCall = event.netControlCall;
        startNetControl = netControl();
        mode = event.mode;
        break;
    case Kind::NetControl:
        netControlName = event.netControlName;
        netControlCall = event.netControlCall;
        alternateNetControl = event.marked;
        netControlChanged = event.at;
        break;
    case Kind::Checkin:
    case Kind::TakeBack:
    case Kind::CallChanged:
        applyToCheckins(event);
        break;
    case Kind::MemberEdited:
        // The report tells the station as it stands; the list's line stays as it was shown.
        for (SessionCheckin &c : checkins) {
            if (c.file == event.file && c.record == event.record && c.call == event.call) {
                c.name = event.name;
                c.county = event.county;
                c.city = event.city;
            }
        }
        break;
    case Kind::Traffic:
        applyTraffic(event);
        break;
    case Kind::NonListed:
        if (!nonListed.contains(event.call)) // a call typed twice is listed once
            nonListed << event.call;
        if (!nonListedStanding.contains(event.call))
            nonListedStanding << event.call;
        break;
    case Kind::Clear:
        nonListed.clear();
        nonListedStanding.clear();
        break;
    case Kind::NewMember:
        memberAdded = true;
        newMembers << event.line;
        nonListed.removeAll(event.call);
        nonListedStanding.removeAll(event.call);
        break;
    case Kind::Retired:
        retirements.append({ event.file, event.record,
            StationRecord::fromBytes(event.line.toLatin1()).trimmed(), event.marked, false });
        break;
    case Kind::Restored:
        for (auto it = retirements.rbegin(); it != retirements.rend(); ++it) {
            if (!it->restored && it->file == event.file && it->station.Call == event.call) {
                it->restored = true;
                break;
            }
        }
        break;
    case Kind::Withdrawn:
        nonListed.removeAll(event.call);
        nonListedStanding.removeAll(event.call);
        break;
    case Kind::Mode:
        mode = event.mode;
        modeChosen = events;
        break;
    case Kind::Resume:
        break;
    case Kind::End:
        end = event.at;
        break;
    case Kind::Undone:
        undo(event);
        break;
    }
}

void SessionState::applyToCheckins(const SessionEvent &event)
{
    using Kind = SessionEvent::Kind;
    if (event.entry < 1 || event.entry > CheckinTable::Last)
        return;
    const auto standing = std::find_if(checkins.begin(), checkins.end(),
        [&event](const SessionCheckin &c) { return c.entry == event.entry; });
    switch (event.kind) {
    case Kind::Checkin:
        if (standing != checkins.end())
            checkins.erase(standing);
        table.set(event.entry, event.call);
        checkins.append({ event.entry, event.at, event.call, event.name, event.county, event.city,
            event.file, event.how, event.line, event.record, netControl(), events });
        nonListedStanding.removeAll(event.call);
        break;
    case Kind::TakeBack:
        table.set(event.entry, event.marked ? CheckinTable::Deleted() : QString());
        if (standing != checkins.end())
            checkins.erase(standing);
        // The station's traffic stays counted, as unassigned.
        trafficByStation.removeIf(
            [&event](const std::pair<QString, int> &s) { return s.first == event.call; });
        break;
    case Kind::CallChanged:
        table.set(event.entry, event.newCall);
        if (standing != checkins.end()) {
            standing->call = event.newCall;
            if (standing->line.startsWith(event.call + u' ') || standing->line == event.call)
                standing->line = event.newCall + standing->line.mid(event.call.size());
        }
        nonListedStanding.removeAll(event.newCall);
        break;
    default:
        break;
    }
}

void SessionState::applyTraffic(const SessionEvent &event)
{
    traffic = std::max(0, event.count);
    trafficCounted = true;
    auto station = std::find_if(trafficByStation.begin(), trafficByStation.end(),
        [&event](const std::pair<QString, int> &s) { return s.first == event.call; });
    if (event.call.isEmpty())
        ; // counted unassigned
    else if (event.marked && station == trafficByStation.end())
        trafficByStation.append({ event.call, 1 });
    else if (event.marked)
        ++station->second;
    else if (station != trafficByStation.end() && --station->second <= 0)
        trafficByStation.erase(station);
    // What is told against stations never passes the count: a count taken down with no line
    // selected comes off the unassigned first, then off the station counted last.
    int told = 0;
    for (const auto &s : std::as_const(trafficByStation))
        told += s.second;
    while (told > traffic && !trafficByStation.isEmpty()) {
        --told;
        if (--trafficByStation.last().second <= 0)
            trafficByStation.removeLast();
    }
}

void SessionState::undo(const SessionEvent &event)
{
    using Kind = SessionEvent::Kind;
    const bool inTable = event.entry >= 1 && event.entry <= CheckinTable::Last;
    switch (event.undone) {
    case Kind::Checkin:
        if (!inTable || table.entry(event.entry) != event.call)
            break;
        table.set(event.entry, QString());
        checkins.erase(std::remove_if(checkins.begin(), checkins.end(),
                           [&event](const SessionCheckin &c) { return c.entry == event.entry; }),
            checkins.end());
        break;
    case Kind::NewMember:
        for (qsizetype i = newMembers.size() - 1; i >= 0; --i) {
            if (newMembers[i].startsWith(event.call + u' ') || newMembers[i] == event.call) {
                newMembers.removeAt(i);
                break;
            }
        }
        memberAdded = !newMembers.isEmpty();
        break;
    case Kind::CallChanged: {
        if (!inTable || table.entry(event.entry) != event.newCall)
            break;
        SessionEvent back = event;
        back.kind = Kind::CallChanged;
        back.call = event.newCall;
        back.newCall = event.call;
        apply(back);
        --events;
        break;
    }
    default:
        break;
    }
}

QString SessionState::netControl() const
{
    return (netControlName + u' ' + netControlCall).trimmed();
}

QList<SessionCheckin> SessionState::checkinsSinceMode() const
{
    QList<SessionCheckin> since;
    for (const SessionCheckin &c : checkins) {
        if (!c.line.isEmpty() && c.event > modeChosen)
            since << c;
    }
    return since;
}

QStringList SessionState::linesSinceMode() const
{
    QStringList lines;
    for (const SessionCheckin &c : checkinsSinceMode())
        lines << c.line;
    return lines;
}

QList<std::pair<QString, int>> SessionState::trafficOfCheckins() const
{
    QList<std::pair<QString, int>> standing;
    for (const auto &station : trafficByStation) {
        const bool checkedIn = std::any_of(checkins.begin(), checkins.end(),
            [&station](const SessionCheckin &c) { return c.call == station.first; });
        if (checkedIn)
            standing.append(station);
    }
    return standing;
}

int SessionState::unassignedTraffic() const
{
    int told = 0;
    for (const auto &station : trafficOfCheckins())
        told += station.second;
    return std::max(0, traffic - told);
}

int SessionState::trafficOf(const QString &call) const
{
    for (const auto &station : trafficOfCheckins()) {
        if (station.first == call)
            return station.second;
    }
    return 0;
}

SessionState ReplayEvents(const QList<SessionEvent> &events)
{
    SessionState state;
    for (const SessionEvent &event : events)
        state.apply(event);
    return state;
}

QString CountedSessionId(const SessionState &state)
{
    return state.started ? state.start.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}
