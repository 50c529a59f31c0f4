#include "sessionreplay.h"

#include <algorithm>

void SessionState::apply(const SessionEvent &event)
{
    using Kind = SessionEvent::Kind;
    ++events;
    last = event.at;
    auto standing = [this](int entry) {
        return std::find_if(checkins.begin(), checkins.end(),
            [entry](const SessionCheckin &c) { return c.entry == entry; });
    };
    switch (event.kind) {
    case Kind::Start:
        if (started)
            break; // one session per journal: a second start is no start
        started = true;
        start = event.at;
        netControlName = event.netControlName;
        netControlCall = event.netControlCall;
        mode = event.mode;
        break;
    case Kind::Checkin: {
        if (event.entry < 1 || event.entry > CheckinTable::Last)
            break;
        if (const auto old = standing(event.entry); old != checkins.end())
            checkins.erase(old);
        table.set(event.entry, event.call);
        checkins.append({ event.entry, event.at, event.call, event.name, event.county, event.city,
            event.file, event.how, event.line });
        break;
    }
    case Kind::TakeBack:
        if (event.entry < 1 || event.entry > CheckinTable::Last)
            break;
        table.set(event.entry, event.marked ? CheckinTable::Deleted() : QString());
        if (const auto old = standing(event.entry); old != checkins.end())
            checkins.erase(old);
        break;
    case Kind::CallChanged:
        if (event.entry < 1 || event.entry > CheckinTable::Last)
            break;
        table.set(event.entry, event.newCall);
        if (const auto c = standing(event.entry); c != checkins.end()) {
            c->call = event.newCall;
            if (c->line.startsWith(event.call + u' ') || c->line == event.call)
                c->line = event.newCall + c->line.mid(event.call.size());
        }
        break;
    case Kind::Traffic:
        traffic = std::max(0, event.count);
        trafficCounted = true;
        break;
    case Kind::NonListed:
        nonListed << event.call;
        if (!nonListedHeard.contains(event.call))
            nonListedHeard << event.call;
        break;
    case Kind::Clear:
        nonListed.clear();
        break;
    case Kind::NewMember:
        memberAdded = true;
        newMembers << event.line;
        break;
    case Kind::Resume:
        break;
    case Kind::End:
        end = event.at;
        break;
    }
}

QStringList SessionState::checkinLines() const
{
    QStringList lines;
    for (const SessionCheckin &c : checkins) {
        if (!c.line.isEmpty())
            lines << c.line;
    }
    return lines;
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
