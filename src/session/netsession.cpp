#include "netsession.h"

#include "memberline.h"
#include "platform/services.h"
#include "retiredarchive.h"
#include "sessionreplay.h"
#include "stationdb/atomicfile.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"
#include "stationsearch.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString fileError(const QString &call, const Status &failure)
{
    return call + QStringLiteral(" NOT CHECKED IN - FILE ERROR: ") + failure.error();
}

SessionEvent checkinEvent(int entry, const StationRecord &station, const QString &path, int n,
    SessionEvent::How how, const QString &line)
{
    SessionEvent e;
    e.kind = SessionEvent::Kind::Checkin;
    e.entry = entry;
    e.call = station.Call.trimmed();
    e.file = QFileInfo(path).fileName();
    e.record = n;
    e.name = station.Name.trimmed();
    e.county = station.County.trimmed();
    e.city = station.City.trimmed();
    e.how = how;
    e.line = line;
    return e;
}

SessionEvent takeBackEvent(int entry, const QString &call, bool deleted)
{
    SessionEvent e;
    e.kind = SessionEvent::Kind::TakeBack;
    e.entry = entry;
    e.call = call;
    e.marked = deleted;
    return e;
}
} // namespace

QString WithNotice(const QString &status, const QString &notice)
{
    return notice.isEmpty() ? status : status + QStringLiteral(" - ") + notice;
}

NetSession::NetSession(const CountyTable &table)
    : m_table(table)
{
    m_members.resize(RecordsPerFile);
}

SessionOutcome NetSession::typedCheckin(const QString &typed, const QDate &today)
{
    SessionOutcome out;
    if (!memberAddedFlag)
        out.status = QString();
    const QString c = typed.toUpper().trimmed();
    if (!IsValidCall(c)) {
        out.status = c + QStringLiteral("  INVALID CALL");
        out.sound = SoundName::Notify();
        return out;
    }
    const StationSearch search = FindStation(m_table, c);
    const QString notice = takeUnreadableNotice(search.unreadable);
    const auto &found = search.found;
    if (!found) {
        out.notFound = c;
        if (!m_nonListed.contains(c)) {
            out.nonListed = c;
            m_nonListed << c;
        }
        SessionEvent e;
        e.kind = SessionEvent::Kind::NonListed;
        e.call = c;
        report(e);
        out.notice = notice;
        out.status = WithNotice(c + QStringLiteral(" NOT FOUND"), notice);
        out.sound = notice.isEmpty() ? SoundName::Tada() : SoundName::Notify();
        return out;
    }
    if (!m_earlyLateMode) {
        out.status = m_chosenEntry + QStringLiteral(" COUNTY");
        out.sound = SoundName::Notify();
        return out;
    }
    const CheckinTable::Walk slot = m_checkins.walk(c);
    switch (slot.kind) {
    case CheckinTable::Walk::Match:
        out.status = c + QStringLiteral(" Is Already Checked in");
        out.sound = SoundName::Notify();
        return out;
    case CheckinTable::Walk::Full:
        out.status = c + QStringLiteral(" NOT CHECKED IN - LIST FULL");
        out.sound = SoundName::Notify();
        return out;
    case CheckinTable::Walk::Free:
        break;
    }
    // The journal learns of the check-in before the file is dated, so a stop between the
    // two leaves a journal that says what to finish. A station whose record cannot be
    // written is not counted: the log never claims what the database does not hold.
    StationRecord record = found->record;
    record.LastDate = ShortDate(today);
    const SessionEvent intent = checkinEvent(slot.entry, record, found->path, found->recordNumber,
        SessionEvent::How::Typed, BuildCheckinLine(record));
    m_checkins.set(slot.entry, record.Call);
    report(intent);
    const Status written = ReplaceStationRecord(found->path, found->recordNumber, c, record);
    if (!written) {
        m_checkins.set(slot.entry, QString());
        reportUndone(intent);
        out.status = fileError(c, written);
        out.sound = SoundName::Notify();
        return out;
    }
    out.status = WithNotice(c + QStringLiteral(" CHECKED IN"), notice);
    out.checkinLine = intent.line;
    out.checkinCall = c;
    out.checkedIn = true;
    out.county = record.County.trimmed();
    return out;
}

CountyChoice NetSession::chooseEntry(const QString &entry, const QDate &today, bool retainCheckmark)
{
    CountyChoice choice;
    choice.status = QString();
    m_chosenEntry = entry;
    m_clickCheckin.reset();
    // A resume comes back to the list the net was in.
    SessionEvent chosen;
    chosen.kind = SessionEvent::Kind::Mode;
    chosen.mode = entry;
    report(chosen);
    const QString kind = entry.left(5);
    if (kind == QLatin1String("EARLY") || kind == QLatin1String("LATE ")) {
        m_earlyLateKind = kind;
        m_earlyLateMode = true;
        choice.caption = kind == QLatin1String("EARLY") ? QStringLiteral("EARLY CHECKINS")
                                                        : QStringLiteral("LATE CHECKINS");
        return choice;
    }
    m_earlyLateKind.clear();
    m_earlyLateMode = false;
    choice.caption = entry
        + (m_table.isHomeCounty(entry) ? QStringLiteral(" COUNTY MEMBERS")
                                       : QStringLiteral(" MEMBERS"));
    m_currentCountyFile = m_table.CountyFilePath(entry);
    const CountyView view = ReadCountyView(
        m_currentCountyFile, today, m_members, [this, &today](int n, const StationRecord &station) {
            return keepRemoved(m_currentCountyFile, n, station, false, today);
        });
    if (!view.readError.isEmpty()) {
        // An empty list would say the county has no members; the operator is told why
        // there is none instead.
        choice.status = QStringLiteral("CANNOT READ ") + view.readError;
        choice.sound = SoundName::Notify();
        return choice;
    }
    choice.lines = view.memberLines;
    choice.records = view.records;
    choice.retired = view.retiredLines;
    for (qsizetype i = 0; i < view.retiredStations.size(); ++i) {
        choice.retiredIds << int(m_retired.size());
        m_retired.append({ m_currentCountyFile, view.retiredStations[i] });
        stationRemoved(m_currentCountyFile, view.retiredRecords[i], view.retiredStations[i], false);
    }
    if (!view.failedRetirements.isEmpty()) {
        choice.status
            = view.failedRetirements.join(u' ') + QStringLiteral(" NOT RETIRED - FILE ERROR");
        choice.sound = SoundName::Notify();
    }
    if (retainCheckmark) {
        for (int i = 0; i < choice.records.size(); ++i) {
            if (m_checkins.find(m_members[choice.records[i] - 1].Call, CheckinTable::Last) > 0)
                choice.marked << i;
        }
    }
    return choice;
}

std::optional<MemberRef> NetSession::member(int record) const
{
    if (m_earlyLateMode || record < 1 || record > m_members.size())
        return std::nullopt;
    const QString call = m_members[record - 1].Call;
    if (call.isEmpty() || call == StationRecord::VacantMarker()
        || call == StationRecord::EndMarker())
        return std::nullopt;
    return MemberRef { m_currentCountyFile, record, call };
}

SessionOutcome NetSession::memberLineClick(
    int record, const QDate &today, bool dingEnabled, const QString &dingSound)
{
    SessionOutcome out;
    const std::optional<MemberRef> station = member(record);
    if (!station)
        return out; // check-in lines are not member lines
    out.status = QString();
    const QString c = station->call;
    m_clickCheckin.reset();

    int k = 0;
    const CheckinTable::Walk slot = m_checkins.walk(c);
    if (slot.kind == CheckinTable::Walk::Match) {
        out.status = c + QStringLiteral(" IS ALREADY CHECKED IN");
        out.sound = SoundName::Notify();
        out.standsCheckedIn = true;
        return out;
    }
    if (slot.kind == CheckinTable::Walk::Free) {
        k = slot.entry;
    } else if (m_checkins.entry(CheckinTable::Last).isEmpty()) {
        k = CheckinTable::Last;
    } else {
        out.status = c + QStringLiteral(" NOT CHECKED IN - LIST FULL");
        out.sound = SoundName::Notify();
        out.unmarkLine = true;
        return out;
    }

    // The date goes to the record the line stands for, and only while it still holds the
    // station the line shows; the journal learns of it first.
    StationFile file(station->path);
    Status written = file.open();
    StationRecord dated;
    if (written) {
        const Result<StationRecord> held = file.readHolding(record, c);
        written = held.status();
        if (held)
            dated = *held;
    }
    std::optional<SessionEvent> intent;
    if (written) {
        dated.LastDate = MmDdYyyy(today);
        intent
            = checkinEvent(k, dated, station->path, record, SessionEvent::How::Clicked, QString());
        m_checkins.set(k, c);
        report(*intent);
        written = file.write(record, dated);
    }
    if (!written) {
        if (intent) {
            m_checkins.set(k, QString());
            reportUndone(*intent);
        }
        out.status = fileError(c, written);
        out.sound = SoundName::Notify();
        out.unmarkLine = true;
        return out;
    }
    m_members[record - 1].LastDate = MmDdYyyy(today);
    m_clickCheckin = c;
    if (dingEnabled)
        out.sound = dingSound;
    out.status = c + QStringLiteral(" CHECKED IN");
    out.checkedIn = true;
    out.standsCheckedIn = true;
    out.county = dated.County.trimmed();
    return out;
}

SessionOutcome NetSession::deleteCheckin(const QString &line, int record)
{
    SessionOutcome out;
    if (line.isEmpty())
        return out;
    if (!m_earlyLateMode) {
        const std::optional<MemberRef> station = member(record);
        if (!station)
            return out;
        const QString c = station->call;
        const int k = m_checkins.find(c, CheckinTable::Last);
        if (k == 0)
            return out;
        m_checkins.set(k, QString());
        report(takeBackEvent(k, c, false));
        out.status = c + QStringLiteral(" is NOT checked in");
        out.unmarkLine = true;
        return out;
    }
    const qsizetype blank = line.indexOf(u' ');
    const QString c = blank < 0 ? line : line.left(blank);
    const int k = m_checkins.find(c, CheckinTable::Last);
    if (k == 0)
        return out;
    m_checkins.set(k, CheckinTable::Deleted());
    report(takeBackEvent(k, c, true));
    out.status = c + QStringLiteral(" REMOVED");
    out.removeLine = true;
    return out;
}

SessionOutcome NetSession::checkInAdded(const StationRecord &station, const QString &path, int n)
{
    SessionOutcome out;
    const QString call = station.Call;
    const CheckinTable::Walk slot = m_checkins.walk(call);
    if (slot.kind != CheckinTable::Walk::Free) {
        out.status = slot.kind == CheckinTable::Walk::Full
            ? call + QStringLiteral(" NOT CHECKED IN - LIST FULL")
            : call + QStringLiteral(" Is Already Checked in");
        return out;
    }
    m_checkins.set(slot.entry, call);
    out.status = call + QStringLiteral(" CHECKED IN");
    out.checkedIn = true;
    out.county = station.County.trimmed();
    // The line of a typed check-in: a member added tonight reads like every other.
    out.checkinLine = BuildCheckinLine(station);
    out.checkinCall = call;
    report(checkinEvent(slot.entry, station, path, n, SessionEvent::How::Added, out.checkinLine));
    return out;
}

SessionEvent NetSession::memberAdded(const QString &call, const QString &newMemberLine)
{
    memberAddedFlag = true;
    m_nonListed.removeAll(call); // known now
    SessionEvent e;
    e.kind = SessionEvent::Kind::NewMember;
    e.call = call;
    e.line = newMemberLine;
    report(e);
    return e;
}

std::optional<NetSession::Retired> NetSession::retired(int id) const
{
    if (id < 0 || id >= m_retired.size() || m_retired[id].restored)
        return std::nullopt;
    return m_retired[id];
}

void NetSession::retiredRestored(int id)
{
    if (id < 0 || id >= m_retired.size())
        return;
    m_retired[id].restored = true;
    archivedRestored(m_retired[id].path, m_retired[id].station.Call);
}

std::optional<int> NetSession::standingRetiredId(const QString &path, const QString &call) const
{
    for (qsizetype id = 0; id < m_retired.size(); ++id) {
        if (!m_retired[id].restored && m_retired[id].path == path
            && m_retired[id].station.Call == call)
            return int(id);
    }
    return std::nullopt;
}

void NetSession::archivedRestored(const QString &path, const QString &call)
{
    SessionEvent e;
    e.kind = SessionEvent::Kind::Restored;
    e.file = QFileInfo(path).fileName();
    e.call = call;
    report(e);
}

std::pair<QStringList, QList<int>> NetSession::standingRetired() const
{
    std::pair<QStringList, QList<int>> standing;
    for (qsizetype id = 0; id < m_retired.size(); ++id) {
        const StationRecord &s = m_retired[id].station;
        if (!m_retired[id].restored) {
            standing.first << s.Call + u' ' + s.Name + u' ' + s.County;
            standing.second << int(id);
        }
    }
    return standing;
}

Status NetSession::keepRemoved(const QString &path, int n, const StationRecord &station,
    bool deleted, const QDate &today) const
{
    if (m_retiredArchive.isEmpty())
        return Status::Ok();
    QDir().mkpath(QFileInfo(m_retiredArchive).absolutePath());
    // Readable and never rewritten: the record stays findable whatever becomes of the
    // session, the journal or the station file.
    return AppendLineDurably(m_retiredArchive,
        RetiredArchiveLine(today, deleted, QFileInfo(path).fileName(), n, station));
}

void NetSession::stationRemoved(
    const QString &path, int n, const StationRecord &station, bool deleted)
{
    SessionEvent e;
    e.kind = SessionEvent::Kind::Retired;
    e.file = QFileInfo(path).fileName();
    e.record = n;
    e.marked = deleted;
    e.line = QString::fromLatin1(station.toBytes());
    e.call = station.Call.trimmed();
    report(e);
}

void NetSession::memberEdited(const QString &path, int n, const StationRecord &station)
{
    SessionEvent e = checkinEvent(0, station, path, n, SessionEvent::How::Typed, QString());
    e.kind = SessionEvent::Kind::MemberEdited;
    report(e);
}

void NetSession::netControlChosen(const QString &name, const QString &call, bool alternate)
{
    SessionEvent e;
    e.kind = SessionEvent::Kind::NetControl;
    e.netControlName = name;
    e.netControlCall = call;
    e.marked = alternate;
    report(e);
}

void NetSession::reportUndone(const SessionEvent &intent)
{
    SessionEvent e;
    e.kind = SessionEvent::Kind::Undone;
    e.undone = intent.kind;
    e.entry = intent.entry;
    e.call = intent.call;
    e.newCall = intent.newCall;
    report(e);
}

SessionEvent NetSession::callChangeIntent(const QString &call, const QString &newCall)
{
    // The entry memberLeft will rename: a check-in of the station, unless the click that
    // selected its line made it (that one is taken back instead).
    const int k = m_checkins.find(call, CheckinTable::Last);
    SessionEvent e;
    e.kind = SessionEvent::Kind::CallChanged;
    e.entry = k > 0 && m_clickCheckin != call ? k : 0;
    e.call = call;
    e.newCall = newCall;
    if (e.entry > 0)
        m_checkins.set(e.entry, newCall);
    report(e);
    return e;
}

void NetSession::callChangeFailed(const SessionEvent &intent)
{
    if (intent.entry > 0 && m_checkins.entry(intent.entry) == intent.newCall)
        m_checkins.set(intent.entry, intent.call);
    reportUndone(intent);
}

void NetSession::memberLeft(const QString &call, const QString &newCall, bool journaled)
{
    const int k = m_checkins.find(call, CheckinTable::Last);
    int renamed = 0;
    if (k > 0 && m_clickCheckin == call) {
        // Selecting the line by a click checked the station in; that check-in is taken back.
        m_checkins.set(k, QString());
        m_clickCheckin.reset();
        report(takeBackEvent(k, call, false));
    } else if (k > 0 && !newCall.isEmpty()) {
        m_checkins.set(k, newCall);
        renamed = k;
    }
    if (!newCall.isEmpty() && !journaled) {
        SessionEvent e;
        e.kind = SessionEvent::Kind::CallChanged;
        e.entry = renamed;
        e.call = call;
        e.newCall = newCall;
        report(e);
    }
}

Status NetSession::finishInterrupted(const SessionEvent &last)
{
    using Kind = SessionEvent::Kind;
    if (last.kind == Kind::Checkin) {
        // Journaled, then stopped before or after the date reached the file: dated now,
        // unless the record holds another station by now.
        const QString path = m_table.dataFolder() + last.file;
        StationFile file(path);
        // Opening a missing station file makes it; a stop cannot have removed one.
        Status done = QFileInfo(path).isFile()
            ? file.open()
            : Status::Error(FileError(path, QStringLiteral("no such station file")));
        Result<StationRecord> held = done ? file.readHolding(last.record, last.call) : done;
        done = held.status();
        if (held && ParseDateText(held->LastDate.trimmed()) != last.at.date()) {
            StationRecord record = *held;
            record.LastDate = last.how == SessionEvent::How::Clicked ? MmDdYyyy(last.at.date())
                                                                     : ShortDate(last.at.date());
            done = file.replaceHolding(last.record, last.call, record);
        }
        if (!done && m_checkins.entry(last.entry) == last.call) {
            m_checkins.set(last.entry, QString());
            reportUndone(last);
        }
        return done;
    }
    if (last.kind == Kind::CallChanged) {
        const StationSearch search = FindStation(m_table, last.newCall);
        if (!search.found) {
            callChangeFailed(last); // the file still has the old call
            return Status::Ok();
        }
        // The check-in the selecting click made is taken back once the file has the new
        // call; the stop came before that.
        if (const int k = m_checkins.find(last.call, CheckinTable::Last); k > 0) {
            m_checkins.set(k, QString());
            report(takeBackEvent(k, last.call, false));
        }
    }
    return Status::Ok();
}

void NetSession::withdrawNonListed(const QString &call)
{
    if (!m_nonListed.contains(call))
        return;
    m_nonListed.removeAll(call);
    SessionEvent e;
    e.kind = SessionEvent::Kind::Withdrawn;
    e.call = call;
    report(e);
}

void NetSession::clearNonListed()
{
    m_nonListed.clear();
    SessionEvent e;
    e.kind = SessionEvent::Kind::Clear;
    report(e);
}

void NetSession::restore(const SessionState &state)
{
    m_checkins = state.table;
    m_traffic = state.traffic;
    m_nonListed = state.nonListed;
    memberAddedFlag = state.memberAdded;
    m_clickCheckin.reset();
    m_retired.clear();
    for (const SessionRetirement &r : state.retirements) {
        if (!r.deleted)
            m_retired.append({ m_table.dataFolder() + r.file, r.station, r.restored });
    }
}

QString NetSession::takeUnreadableNotice(const QStringList &errors)
{
    QStringList fresh;
    for (const QString &error : errors) {
        if (!m_reportedUnreadable.contains(error)) {
            m_reportedUnreadable.insert(error);
            fresh << error;
        }
    }
    return fresh.isEmpty() ? QString()
                           : QStringLiteral("CANNOT READ ") + fresh.join(QStringLiteral("; "));
}

void NetSession::countTraffic(bool add, const QString &call)
{
    m_traffic = add ? m_traffic + 1 : std::max(0, m_traffic - 1);
    SessionEvent e;
    e.call = call;
    e.kind = SessionEvent::Kind::Traffic;
    e.marked = add;
    e.count = m_traffic;
    report(e);
}

QString TrafficCaption(int traffic)
{
    return u' ' + QString::number(traffic);
}
