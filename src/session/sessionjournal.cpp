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

// One field of an event's line: which member of the event it holds, in which text form.
struct Field
{
    enum Type { Text, Number, Flag, HowName, KindName } type;
    QString SessionEvent::*text = nullptr;
    int SessionEvent::*number = nullptr;
    const char *on = nullptr; // Flag: marked is set
    const char *off = nullptr; // Flag: marked is clear
};

constexpr Field TextOf(QString SessionEvent::*member)
{
    return { Field::Text, member };
}
constexpr Field NumberOf(int SessionEvent::*member)
{
    return { Field::Number, nullptr, member };
}
constexpr Field Marked(const char *on, const char *off)
{
    return { Field::Flag, nullptr, nullptr, on, off };
}
constexpr Field HowOf { Field::HowName };
constexpr Field UndoneKind { Field::KindName };

// Every kind's name and fields, in the order its lines hold them after the kind and the
// time: both writing and reading a line follow this table, so a field is added in one place.
struct KindLine
{
    Kind kind;
    const char *name;
    std::initializer_list<Field> fields;
    int optional = 0; // trailing fields a line may leave out (older lines did not have them)
};

using E = SessionEvent;
const KindLine kKinds[] = {
    { Kind::Start, "start",
        { TextOf(&E::netControlName), TextOf(&E::netControlCall), TextOf(&E::mode) } },
    { Kind::Checkin, "checkin",
        { NumberOf(&E::entry), TextOf(&E::call), TextOf(&E::file), NumberOf(&E::record),
            TextOf(&E::name), TextOf(&E::county), TextOf(&E::city), HowOf, TextOf(&E::line) } },
    { Kind::TakeBack, "takeback",
        { NumberOf(&E::entry), TextOf(&E::call), Marked("deleted", "freed") } },
    // Only a count against a station has the call, so other lines read as ever.
    { Kind::Traffic, "traffic", { Marked("up", "down"), NumberOf(&E::count), TextOf(&E::call) },
        1 },
    { Kind::NonListed, "nonlisted", { TextOf(&E::call) } },
    { Kind::Clear, "clear", {} },
    { Kind::NewMember, "newmember", { TextOf(&E::call), TextOf(&E::line) } },
    { Kind::CallChanged, "callchanged",
        { NumberOf(&E::entry), TextOf(&E::call), TextOf(&E::newCall) } },
    { Kind::Resume, "resume", {} },
    { Kind::End, "end", {} },
    { Kind::NetControl, "netcontrol",
        { TextOf(&E::netControlName), TextOf(&E::netControlCall),
            Marked("alternate", "regular") } },
    { Kind::MemberEdited, "memberedited",
        { TextOf(&E::file), NumberOf(&E::record), TextOf(&E::call), TextOf(&E::name),
            TextOf(&E::county), TextOf(&E::city) } },
    { Kind::Undone, "undone",
        { UndoneKind, NumberOf(&E::entry), TextOf(&E::call), TextOf(&E::newCall) } },
    { Kind::Retired, "retired",
        { TextOf(&E::file), NumberOf(&E::record), Marked("deleted", "retired"),
            TextOf(&E::line) } },
    { Kind::Restored, "restored", { TextOf(&E::file), TextOf(&E::call) } },
    { Kind::Withdrawn, "withdrawn", { TextOf(&E::call) } },
    { Kind::Mode, "mode", { TextOf(&E::mode) } },
};

const KindLine *LineOf(Kind kind)
{
    for (const KindLine &k : kKinds) {
        if (k.kind == kind)
            return &k;
    }
    return nullptr;
}

const KindLine *LineNamed(QByteArrayView name)
{
    for (const KindLine &k : kKinds) {
        if (name == k.name)
            return &k;
    }
    return nullptr;
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

namespace {

QString FieldText(const SessionEvent &e, const Field &field)
{
    switch (field.type) {
    case Field::Text:
        return e.*field.text;
    case Field::Number:
        return QString::number(e.*field.number);
    case Field::Flag:
        return QString::fromLatin1(e.marked ? field.on : field.off);
    case Field::HowName:
        return QString::fromLatin1(kHows[int(e.how)]);
    case Field::KindName: {
        const KindLine *undone = LineOf(e.undone);
        return undone ? QString::fromLatin1(undone->name) : QString();
    }
    }
    return QString();
}

// False when the text cannot be this field.
bool ReadField(SessionEvent &e, const Field &field, const QString &text)
{
    switch (field.type) {
    case Field::Text:
        e.*field.text = text;
        return true;
    case Field::Number: {
        const std::optional<int> value = Number(text);
        if (value)
            e.*field.number = *value;
        return value.has_value();
    }
    case Field::Flag:
        e.marked = text == QLatin1String(field.on);
        return e.marked || text == QLatin1String(field.off);
    case Field::HowName:
        for (int how = 0; how < int(std::size(kHows)); ++how) {
            if (text == QLatin1String(kHows[how])) {
                e.how = How(how);
                return true;
            }
        }
        return false;
    case Field::KindName: {
        // Only a write made before its station file was can be undone.
        const KindLine *undone = LineNamed(text.toLatin1());
        if (!undone
            || (undone->kind != Kind::Checkin && undone->kind != Kind::NewMember
                && undone->kind != Kind::CallChanged))
            return false;
        e.undone = undone->kind;
        return true;
    }
    }
    return false;
}

} // namespace

QByteArray EncodeEvent(const SessionEvent &e)
{
    const KindLine *kind = LineOf(e.kind);
    QByteArray line = kind ? kind->name : "";
    line += '\t' + e.at.toString(kTimeFormat).toLatin1();
    if (kind) {
        int n = 0;
        const int required = int(kind->fields.size()) - kind->optional;
        for (const Field &field : kind->fields) {
            const QString text = FieldText(e, field);
            // A trailing field left empty is left out, so the line reads as older ones do.
            if (n++ >= required && text.isEmpty())
                break;
            line += '\t' + Escape(text);
        }
    }
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
    const KindLine *kind = LineNamed(raw[0]);
    if (!kind)
        return std::nullopt;
    const qsizetype given = raw.size() - 2;
    const qsizetype all = qsizetype(kind->fields.size());
    if (given > all || given < all - kind->optional)
        return std::nullopt;
    SessionEvent e;
    e.kind = kind->kind;
    e.at = QDateTime::fromString(QString::fromLatin1(raw[1]), kTimeFormat);
    if (!e.at.isValid())
        return std::nullopt;
    qsizetype i = 2;
    for (const Field &field : kind->fields) {
        if (i == raw.size())
            break;
        const std::optional<QString> text = Unescape(raw[i++]);
        if (!text || !ReadField(e, field, *text))
            return std::nullopt;
    }
    if (e.kind == Kind::Retired) {
        // The whole record as it was: the call comes from it.
        if (e.line.size() != StationRecord::Size)
            return std::nullopt;
        e.call = StationRecord::fromBytes(e.line.toLatin1()).Call.trimmed();
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
        if (m_watcher)
            m_watcher->journalRecovered();
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
    if (m_watcher)
        m_watcher->journalFailed(error);
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
