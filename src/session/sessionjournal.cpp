#include "sessionjournal.h"

#include "netreport.h"
#include "platform/clock.h"
#include "stationdb/atomicfile.h"
#include "stationdb/countytable.h"
#include "stationdb/crc32.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>

#include <utility>

Q_LOGGING_CATEGORY(lcJournal, "vorq.session.journal")

namespace {

using Kind = SessionEvent::Kind;
using How = SessionEvent::How;

struct KindName
{
    Kind kind;
    const char *name;
    int fields; // after the kind and the time
};

constexpr KindName kKinds[] = {
    { Kind::Start, "start", 3 },
    { Kind::Checkin, "checkin", 9 },
    { Kind::TakeBack, "takeback", 3 },
    { Kind::Traffic, "traffic", 2 },
    { Kind::NonListed, "nonlisted", 1 },
    { Kind::Clear, "clear", 0 },
    { Kind::NewMember, "newmember", 2 },
    { Kind::CallChanged, "callchanged", 3 },
    { Kind::Resume, "resume", 0 },
    { Kind::End, "end", 0 },
    { Kind::NetControl, "netcontrol", 3 },
    { Kind::MemberEdited, "memberedited", 6 },
    { Kind::Undone, "undone", 4 },
    { Kind::Retired, "retired", 4 },
    { Kind::Restored, "restored", 2 },
    { Kind::Withdrawn, "withdrawn", 1 },
    { Kind::Mode, "mode", 1 },
};

const char *KindText(Kind kind)
{
    for (const KindName &k : kKinds) {
        if (k.kind == kind)
            return k.name;
    }
    return "";
}

const char *const kHows[] = { "typed", "clicked", "added" };

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QByteArray Escape(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<QString> Unescape(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

constexpr int MaxSkippedNamed = 5;

// Why an event's station file and record cannot be one of ours; empty when they can.
QString RefusedStation(const SessionEvent &e)
{
    if (e.kind != Kind::Checkin && e.kind != Kind::MemberEdited && e.kind != Kind::Retired
        && e.kind != Kind::Restored)
        return QString();
    if (!CountyTable::isDataFileName(e.file))
        return QStringLiteral("NO STATION FILE ") + PrintableText(e.file, 40);
    if (e.kind != Kind::Restored && (e.record < 1 || e.record > RecordsPerFile))
        return QStringLiteral("NO RECORD %1 IN %2").arg(e.record).arg(e.file);
    return QString();
}

std::optional<int> Number(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QByteArray EncodeEvent(const SessionEvent &e)
{
    QStringList fields;
    switch (e.kind) {
    case Kind::Start:
        fields = { e.netControlName, e.netControlCall, e.mode };
        break;
    case Kind::Checkin:
        fields = { QString::number(e.entry), e.call, e.file, QString::number(e.record), e.name,
            e.county, e.city, QString::fromLatin1(kHows[int(e.how)]), e.line };
        break;
    case Kind::TakeBack:
        fields = { QString::number(e.entry), e.call,
            e.marked ? QStringLiteral("deleted") : QStringLiteral("freed") };
        break;
    case Kind::Traffic:
        fields = { e.marked ? QStringLiteral("up") : QStringLiteral("down"),
            QString::number(e.count) };
        // Only a count against a station has the third field, so other lines read as ever.
        if (!e.call.isEmpty())
            fields << e.call;
        break;
    case Kind::NonListed:
    case Kind::Withdrawn:
        fields = { e.call };
        break;
    case Kind::NewMember:
        fields = { e.call, e.line };
        break;
    case Kind::CallChanged:
        fields = { QString::number(e.entry), e.call, e.newCall };
        break;
    case Kind::NetControl:
        fields = { e.netControlName, e.netControlCall,
            e.marked ? QStringLiteral("alternate") : QStringLiteral("regular") };
        break;
    case Kind::MemberEdited:
        fields = { e.file, QString::number(e.record), e.call, e.name, e.county, e.city };
        break;
    case Kind::Retired:
        fields = { e.file, QString::number(e.record),
            e.marked ? QStringLiteral("deleted") : QStringLiteral("retired"), e.line };
        break;
    case Kind::Restored:
        fields = { e.file, e.call };
        break;
    case Kind::Mode:
        fields = { e.mode };
        break;
    case Kind::Undone:
        fields = { QString::fromLatin1(KindText(e.undone)), QString::number(e.entry), e.call,
            e.newCall };
        break;
    case Kind::Clear:
    case Kind::Resume:
    case Kind::End:
        break;
    }
    QByteArray line;
    for (const KindName &k : kKinds) {
        if (k.kind == e.kind)
            line = k.name;
    }
    line += '\t' + e.at.toString(kTimeFormat).toLatin1();
    for (const QString &field : std::as_const(fields))
        line += '\t' + Escape(field);
    line += '\t' + QByteArray::number(Crc32(line), 16).rightJustified(8, '0') + '\n';
    return line;
}

std::optional<SessionEvent> DecodeEvent(const QByteArray &givenLine)
{
    QByteArray line = givenLine;
    if (line.endsWith('\n'))
        line.chop(1);
    const qsizetype lastTab = line.lastIndexOf('\t');
    if (lastTab < 0)
        return std::nullopt;
    const QByteArray body = line.left(lastTab);
    if (line.mid(lastTab + 1) != QByteArray::number(Crc32(body), 16).rightJustified(8, '0'))
        return std::nullopt;
    const QList<QByteArray> raw = body.split('\t');
    const KindName *kind = nullptr;
    for (const KindName &k : kKinds) {
        if (raw[0] == k.name)
            kind = &k;
    }
    const bool stationTraffic = kind && kind->kind == Kind::Traffic && raw.size() == 2 + 3;
    if (!kind || (raw.size() != 2 + kind->fields && !stationTraffic))
        return std::nullopt;
    SessionEvent e;
    e.kind = kind->kind;
    e.at = QDateTime::fromString(QString::fromLatin1(raw[1]), kTimeFormat);
    if (!e.at.isValid())
        return std::nullopt;
    QStringList f;
    for (qsizetype i = 2; i < raw.size(); ++i) {
        const std::optional<QString> field = Unescape(raw[i]);
        if (!field)
            return std::nullopt;
        f << *field;
    }
    switch (e.kind) {
    case Kind::Start:
        e.netControlName = f[0];
        e.netControlCall = f[1];
        e.mode = f[2];
        break;
    case Kind::Checkin: {
        const auto entry = Number(f[0]), record = Number(f[3]);
        const qsizetype how = QList<QString> { QStringLiteral("typed"), QStringLiteral("clicked"),
            QStringLiteral("added") }
                                  .indexOf(f[7]);
        if (!entry || !record || how < 0)
            return std::nullopt;
        e.entry = *entry;
        e.call = f[1];
        e.file = f[2];
        e.record = *record;
        e.name = f[4];
        e.county = f[5];
        e.city = f[6];
        e.how = How(how);
        e.line = f[8];
        break;
    }
    case Kind::TakeBack: {
        const auto entry = Number(f[0]);
        if (!entry || (f[2] != QLatin1String("deleted") && f[2] != QLatin1String("freed")))
            return std::nullopt;
        e.entry = *entry;
        e.call = f[1];
        e.marked = f[2] == QLatin1String("deleted");
        break;
    }
    case Kind::Traffic: {
        const auto count = Number(f[1]);
        if (!count || (f[0] != QLatin1String("up") && f[0] != QLatin1String("down")))
            return std::nullopt;
        e.marked = f[0] == QLatin1String("up");
        e.count = *count;
        if (f.size() > 2)
            e.call = f[2];
        break;
    }
    case Kind::NonListed:
    case Kind::Withdrawn:
        e.call = f[0];
        break;
    case Kind::NewMember:
        e.call = f[0];
        e.line = f[1];
        break;
    case Kind::CallChanged: {
        const auto entry = Number(f[0]);
        if (!entry)
            return std::nullopt;
        e.entry = *entry;
        e.call = f[1];
        e.newCall = f[2];
        break;
    }
    case Kind::NetControl:
        if (f[2] != QLatin1String("alternate") && f[2] != QLatin1String("regular"))
            return std::nullopt;
        e.netControlName = f[0];
        e.netControlCall = f[1];
        e.marked = f[2] == QLatin1String("alternate");
        break;
    case Kind::MemberEdited: {
        const auto record = Number(f[1]);
        if (!record)
            return std::nullopt;
        e.file = f[0];
        e.record = *record;
        e.call = f[2];
        e.name = f[3];
        e.county = f[4];
        e.city = f[5];
        break;
    }
    case Kind::Undone: {
        const auto entry = Number(f[1]);
        const KindName *undone = nullptr;
        for (const KindName &k : kKinds) {
            if (f[0] == QLatin1String(k.name))
                undone = &k;
        }
        if (!entry || !undone
            || (undone->kind != Kind::Checkin && undone->kind != Kind::NewMember
                && undone->kind != Kind::CallChanged))
            return std::nullopt;
        e.undone = undone->kind;
        e.entry = *entry;
        e.call = f[2];
        e.newCall = f[3];
        break;
    }
    case Kind::Retired: {
        const auto record = Number(f[1]);
        if (!record || (f[2] != QLatin1String("deleted") && f[2] != QLatin1String("retired"))
            || f[3].size() != StationRecord::Size)
            return std::nullopt;
        e.file = f[0];
        e.record = *record;
        e.marked = f[2] == QLatin1String("deleted");
        e.line = f[3];
        e.call = StationRecord::fromBytes(f[3].toLatin1()).Call.trimmed();
        break;
    }
    case Kind::Restored:
        e.file = f[0];
        e.call = f[1];
        break;
    case Kind::Mode:
        e.mode = f[0];
        break;
    case Kind::Clear:
    case Kind::Resume:
    case Kind::End:
        break;
    }
    return e;
}

Result<JournalContents> ReadJournal(const QString &path)
{
    const Result<QByteArray> bytes = ReadFileHead(path, MaxJournalBytes + 1);
    if (!bytes)
        return bytes.status();
    if (bytes->size() > MaxJournalBytes)
        return Status::Error(FileError(
            path, QStringLiteral("over %1 MB: no session's journal").arg(MaxJournalBytes >> 20)));
    JournalContents contents;
    const QByteArray &all = bytes.value();
    qsizetype from = 0;
    for (int number = 1; from < all.size(); ++number) {
        const qsizetype end = all.indexOf('\n', from);
        // A last line without its line break was cut short: it is no event.
        const QByteArray line = all.mid(from, end < 0 ? -1 : end - from);
        std::optional<SessionEvent> event = end < 0 ? std::nullopt : DecodeEvent(line);
        QString refused = event ? RefusedStation(*event)
                                : QStringLiteral("DAMAGED (%1 BYTES)").arg(line.size());
        if (!refused.isEmpty() && !line.isEmpty()) {
            ++contents.skippedLines;
            if (end >= 0 && contents.skipped.size() < MaxSkippedNamed)
                contents.skipped << QStringLiteral("LINE %1: %2").arg(number).arg(refused);
        } else if (event) {
            contents.events << *event;
        }
        if (end < 0)
            break;
        from = end + 1;
    }
    return contents;
}

Status AppendJournalLine(const QString &path, const QByteArray &line)
{
    return AppendLineDurably(path, line);
}

PendingSession ReadPendingSession(const Paths &paths)
{
    PendingSession pending;
    const QString path = paths.sessionJournal();
    if (!QFileInfo::exists(path))
        return pending;
    const Result<JournalContents> contents = ReadJournal(path);
    if (!contents) {
        pending.kind = PendingSession::Unreadable;
        pending.unreadable = contents.status();
        return pending;
    }
    pending.state = ReplayEvents(contents->events);
    pending.skippedLines = contents->skippedLines;
    pending.skipped = contents->skipped;
    for (const SessionEvent &e : contents->events) {
        // Looking at the lists is no net worth resuming.
        if (e.kind != Kind::Start && e.kind != Kind::Resume && e.kind != Kind::End
            && e.kind != Kind::Mode)
            pending.hasNetEvents = true;
    }
    for (auto it = contents->events.crbegin(); it != contents->events.crend(); ++it) {
        if (it->kind == Kind::Resume)
            continue;
        if (it->kind == Kind::Checkin || it->kind == Kind::NewMember
            || it->kind == Kind::CallChanged)
            pending.unconfirmed = *it;
        break;
    }
    if (!pending.state.started && !contents->events.isEmpty()) {
        // The start line was lost (a full disk at that moment): the events that followed
        // are still the session's.
        pending.state.started = true;
        pending.state.start = contents->events.first().at;
    }
    if (!pending.state.started)
        pending.kind = PendingSession::None;
    else
        pending.kind = pending.state.end ? PendingSession::Ended : PendingSession::Unfinished;
    return pending;
}

SessionJournal::SessionJournal(const Paths &paths, const Clock &clock)
    : m_paths(paths)
    , m_clock(clock)
{
}

void SessionJournal::begin(
    const QString &netControlName, const QString &netControlCall, const QString &mode)
{
    m_state = SessionState();
    m_open = true;
    m_writable = true;
    m_unwritten.clear();
    const QString path = m_paths.sessionJournal();
    QDir().mkpath(m_paths.sessionsFolder());
    if (QFileInfo::exists(path)) {
        // Whatever an earlier run left is kept as a log before the new session starts.
        const PendingSession old = ReadPendingSession(m_paths);
        Status cleared;
        if (old.kind == PendingSession::Ended || old.kind == PendingSession::Unfinished)
            cleared = ArchiveJournal(m_paths, old.state).status();
        else if (old.kind == PendingSession::None && old.skippedLines == 0)
            cleared = QFile::remove(path)
                ? Status::Ok()
                : Status::Error(FileError(path, QStringLiteral("cannot remove")));
        else
            cleared = SetJournalAside(m_paths, m_clock.now()).status();
        // A journal that holds another session is never written into or over.
        if (!cleared && QFileInfo::exists(path)) {
            m_writable = false;
            tellFailure(cleared.error());
        } else if (!cleared) {
            tellFailure(cleared.error());
        }
    }
    SessionEvent start;
    start.kind = Kind::Start;
    start.netControlName = netControlName;
    start.netControlCall = netControlCall;
    start.mode = mode;
    append(start);
}

void SessionJournal::resume(const SessionState &state)
{
    m_state = state;
    m_open = true;
    m_writable = true;
    m_unwritten.clear();
    SessionEvent resumed;
    resumed.kind = Kind::Resume;
    append(resumed);
}

void SessionJournal::record(const SessionEvent &event)
{
    if (m_open)
        append(event);
}

void SessionJournal::append(SessionEvent event)
{
    // Whole seconds: the state in memory is the one a replay of the file would give.
    const QDateTime now = m_clock.now();
    event.at
        = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    m_state.apply(event);
    if (!m_writable)
        return;
    // Lines that could not be written wait for the next event and go first: once the disk
    // has room again, the journal holds the whole session.
    m_unwritten += EncodeEvent(event);
    const Status written = AppendJournalLine(m_paths.sessionJournal(), m_unwritten);
    if (!written) {
        tellFailure(written.error());
        return;
    }
    m_unwritten.clear();
    if (m_failing) {
        m_failing = false;
        m_failureTold = false;
        if (writeRecovered)
            writeRecovered();
    }
}

void SessionJournal::tellFailure(const QString &error)
{
    m_failing = true;
    if (m_failureTold) {
        qCDebug(lcJournal) << error;
        return;
    }
    qCWarning(lcJournal) << error;
    m_failureTold = true;
    if (writeFailed)
        writeFailed(error);
}

Result<QString> SessionJournal::finish()
{
    if (!m_open)
        return Status::Error(QStringLiteral("no session"));
    SessionEvent end;
    end.kind = Kind::End;
    append(end);
    m_open = false;
    if (!m_writable) {
        // The journal's file is not this session's: the net report is written all the same.
        const QString name = FreeLogName(m_paths, m_state.start);
        const Status report
            = WriteFileAtomically(m_paths.netReport(name), NetReportText(m_state).toUtf8());
        return report ? Result<QString>(name) : Result<QString>(report);
    }
    return ArchiveJournal(m_paths, m_state);
}
