#include "netshare.h"

#include "netmonth.h"

#include "platform/clock.h"
#include "session/retiredarchive.h"
#include "session/sessionjournal.h"
#include "stationdb/atomicfile.h"
#include "stationdb/countytable.h"
#include "stationdb/settingsstore.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <algorithm>
#include <functional>
#include <map>

namespace {

// No net has more PCs than this; a folder with more holds something else.
constexpr int MaxStations = 64;
// Conflict copies the sync engine made of one log, read beside it.
constexpr int MaxLogCopies = 16;
// Sessions shared in one pass; the rest follow in the next.
constexpr int SessionsPerPass = 20;
// The most an outbox of unwritten changes is read: a month of a busy net.
constexpr qsizetype MaxOutbox = 4 * 1024 * 1024;
// Conflicts kept for a look at most.
constexpr int MaxConflicts = 500;
// How much of the logs a conflict's check reads at most, all together (in MaxChangeRead
// pieces).
constexpr int MaxWholeLogChunks = 16;
// Changes applied in one pass: each is a synced write of a station file, and a PC catching
// up on a year must not hold the window for long. The rest follow half a second later.
constexpr int ChangesPerPass = 100;

QString ChangesLog(const QString &stationFolder)
{
    return stationFolder + QStringLiteral("changes.log");
}

QByteArray RecordAt(const StationFile &file, int n)
{
    return file.read(n).toBytes();
}

bool IsStation(const QByteArray &bytes)
{
    const StationRecord r = StationRecord::fromBytes(bytes);
    return !r.isFree() && !r.isEndMarker();
}

// The record holding a call, 0 when none: the whole file, past an end marker too, so a
// station is never stored twice.
int RecordHolding(const StationFile &file, const QString &call)
{
    for (int n = 1; n <= RecordsPerFile; ++n) {
        if (file.read(n).Call.trimmed() == call)
            return n;
    }
    return 0;
}

// Whether an end marker stands before record n: a scan stops there, so nothing behind it
// is seen.
bool MarkerBefore(const StationFile &file, int n)
{
    for (int m = 1; m < n; ++m) {
        if (file.read(m).isEndMarker())
            return true;
    }
    return false;
}

// Whether any station stands behind record n.
bool StationAfter(const StationFile &file, int n)
{
    for (int m = n + 1; m <= RecordsPerFile; ++m) {
        const StationRecord r = file.read(m);
        if (!r.isFree() && !r.isEndMarker())
            return true;
    }
    return false;
}

// A free record for a station: the one asked for (unless this file ends before it), else the
// first free one before the end marker, else the marker's own (the marker moves on when
// there is room).
QList<std::pair<int, StationRecord>> PlaceStation(
    const StationFile &file, int wanted, const StationRecord &station)
{
    if (file.read(wanted).isFree() && !MarkerBefore(file, wanted))
        return { { wanted, station } };
    for (int n = 1; n <= RecordsPerFile; ++n) {
        const StationRecord r = file.read(n);
        if (r.isEndMarker()) {
            QList<std::pair<int, StationRecord>> writes { { n, station } };
            if (n < RecordsPerFile && file.read(n + 1).isFree())
                writes.append({ n + 1, r });
            return writes;
        }
        if (r.isFree())
            return { { n, station } };
    }
    return {};
}

// The record that was `before` here, as the change found it: where it stood on that PC, or
// wherever its call stands here (the two PCs may have put one member into different records).
int Locate(const StationFile &file, const ChangeEvent &e)
{
    const QString call = StationRecord::fromBytes(e.before).Call.trimmed();
    if (file.read(e.record).Call.trimmed() == call)
        return e.record;
    return RecordHolding(file, call);
}

StationRecord WithLaterDate(const QByteArray &bytes, const StationRecord &other)
{
    StationRecord r = StationRecord::fromBytes(bytes);
    r.LastDate = LaterDate(r, other);
    return r;
}

// Why this PC's own folder in the net folder cannot be written, or nothing. Anything in the
// net folder may have come from another PC, a link among them: a link in the place of this
// PC's folder, its sessions folder or its log would carry the writes elsewhere.
std::optional<QString> OwnFolderProblem(const QString &netFolder, const QString &own)
{
    const QString net = QFileInfo(netFolder).canonicalFilePath();
    for (const QString &path : { own, own + QStringLiteral("sessions") }) {
        const QFileInfo info(path);
        if (info.isSymLink() || !info.isDir() || !info.canonicalFilePath().startsWith(net + u'/'))
            return FileError(path, QStringLiteral("not a folder of the net folder"));
    }
    for (const QString &name : { QStringLiteral("changes.log"), QStringLiteral("station.txt") }) {
        const QFileInfo info(own + name);
        if (info.isSymLink() || (info.exists() && !info.isFile()))
            return FileError(own + name, QStringLiteral("not a file of this PC's"));
    }
    return std::nullopt;
}

QString ReadState(const SettingsStore &settings, const QString &id)
{
    return settings.get(NetShare::ReadSection(), id);
}

} // namespace

QString NetOutboxFile(const Paths &paths)
{
    return paths.programFolder() + QStringLiteral("net-unwritten.log");
}

QString NetConflictsFile(const Paths &paths)
{
    return paths.programFolder() + QStringLiteral("net-conflicts.log");
}

NetShare::NetShare(const Paths &paths, SettingsStore &settings, const Clock &clock)
    : m_paths(paths)
    , m_settings(settings)
    , m_clock(clock)
{
    m_minute.setInterval(60 * 1000);
    m_settle.setSingleShot(true);
    m_settle.setInterval(500);
    connect(&m_minute, &QTimer::timeout, this, [this] { pass(); });
    connect(&m_settle, &QTimer::timeout, this, [this] { pass(); });
}

NetShare::~NetShare()
{
    stop();
}

QString NetShare::stationFolder(const QString &id) const
{
    return m_folder + id + u'/';
}

QString NetShare::writerMark() const
{
    return QSysInfo::machineHostName() + u' ' + QDir::cleanPath(m_paths.root());
}

Status NetShare::start()
{
    stop();
    QString folder = m_settings.get(Section(), QStringLiteral("Folder")).trimmed();
    if (folder.isEmpty())
        return Status::Ok();
    folder = QDir::cleanPath(QDir(m_paths.root()).absoluteFilePath(folder)) + u'/';
    QString id = m_settings.get(Section(), QStringLiteral("Station")).trimmed();
    if (id.isEmpty()) {
        id = NewStationId(m_settings.get(Section(), QStringLiteral("Name")).section(u' ', 0, 0));
        if (const Status saved = m_settings.save(Section(), QStringLiteral("Station"), id); !saved)
            return saved;
    }
    if (!IsStationId(id))
        return Status::Error(QStringLiteral("NET STATION ID ") + PrintableText(id, 40)
            + QStringLiteral(" IS NOT ONE: LETTERS, DIGITS AND - ONLY"));
    // A link in this PC's place is refused before anything is made through it.
    for (const QString &made : { folder + id, folder + id + QStringLiteral("/sessions") }) {
        if (QFileInfo(made).isSymLink())
            return Status::Error(FileError(made, QStringLiteral("not a folder of the net folder")));
    }
    if (!QDir().mkpath(folder + id + QStringLiteral("/sessions")))
        return Status::Error(FileError(folder + id, QStringLiteral("cannot be made")));
    if (const std::optional<QString> problem = OwnFolderProblem(folder, folder + id + u'/'))
        return Status::Error(*problem);
    m_folder = folder;
    m_id = id;
    const std::optional<ChangeEvent> last = LastChange(ChangesLog(stationFolder(id)));
    m_sequence = std::max<qint64>(last ? last->sequence : 0,
        WholeNumber(m_settings.get(Section(), QStringLiteral("Sequence"))).value_or(0));
    m_savedSequence = m_sequence;
    // station.txt says who writes here; a PC that finds another's mark there shares the id.
    const QString stationText = stationFolder(id) + QStringLiteral("station.txt");
    const Result<QByteArray> existing = ReadFileHead(stationText, 1024);
    const QStringList lines = existing ? QString::fromUtf8(*existing).split(u'\n') : QStringList();
    const QString name = m_settings.get(Section(), QStringLiteral("Name")).trimmed();
    m_idElsewhere = lines.size() > 1 && lines[1] != writerMark();
    if (!m_idElsewhere && (lines.size() < 2 || lines[0] != name)) {
        const Status written
            = WriteFileAtomically(stationText, (name + u'\n' + writerMark() + u'\n').toUtf8());
        if (!written)
            return written;
    }
    m_on = true;
    WatchStationFiles(m_paths.dataFolder(), this);
    // Lines an earlier run could not write to the net folder wait in the program folder.
    if (const Result<QByteArray> waiting = ReadFileHead(NetOutboxFile(m_paths), MaxOutbox)) {
        for (const QByteArray &line : waiting->split('\n')) {
            const Result<ChangeEvent> e = DecodeChange(line);
            if (e && e->station == m_id) {
                m_unwritten += line + '\n';
                m_sequence = std::max(m_sequence, e->sequence);
            }
        }
        flushOwn();
        if (!logFailing())
            (void)QFile::remove(NetOutboxFile(m_paths));
    }
    return Status::Ok();
}

void NetShare::publishNow()
{
    if (!m_on)
        return;
    flushOwn();
    publishSessions();
}

void NetShare::stop()
{
    if (m_on) {
        WatchStationFiles(m_paths.dataFolder(), nullptr);
        (void)m_settings.save(Section(), QStringLiteral("Sequence"), QString::number(m_sequence));
        // Changes the net folder would not take are kept on this PC's own disk, whole, for
        // the next run to write: the others must learn of every change made here.
        flushOwn();
        if (!m_unwritten.isEmpty()) {
            const Result<QByteArray> kept = ReadFileHead(NetOutboxFile(m_paths), MaxOutbox);
            const QByteArray before = kept ? *kept : QByteArray();
            if (WriteFileAtomically(NetOutboxFile(m_paths), before + m_unwritten))
                m_unwritten.clear();
        }
    }
    m_on = false;
    m_minute.stop();
    m_settle.stop();
    delete m_watcher;
    m_watcher = nullptr;
}

void NetShare::watch()
{
    if (!m_on)
        return;
    delete m_watcher;
    m_watcher = new QFileSystemWatcher(this);
    QStringList folders { m_folder };
    const QFileInfoList stations
        = QDir(m_folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &station : stations.mid(0, MaxStations)) {
        if (IsStationId(station.fileName()) && station.fileName() != m_id)
            folders << station.filePath() + u'/';
    }
    m_watcher->addPaths(folders);
    // A new station folder is seen through the net folder's own change; the sync engine
    // replaces a log by renaming a finished copy over it, which its folder's watch sees.
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_settle.start(); });
    m_minute.start();
    pass();
}

void NetShare::recordsChanging(const QString &path, const QList<RecordChange> &changes)
{
    logChanges(path, changes, false);
}

void NetShare::recordsNotChanged(const QString &path, const QList<RecordChange> &changes)
{
    // The others were told of a change that did not happen: it is taken back the same way.
    logChanges(path, changes, true);
}

void NetShare::logChanges(const QString &path, const QList<RecordChange> &changes, bool undone)
{
    if (!m_on || m_applying)
        return;
    const QString file = QFileInfo(path).fileName();
    if (!CountyTable::isDataFileName(file))
        return;
    const QString note = CurrentChangeNote();
    for (const RecordChange &c : changes) {
        if (undone)
            appendOwn(file, c.record, c.after, c.before, QStringLiteral("undone"));
        else
            appendOwn(file, c.record, c.before, c.after, ChangeKindOf(c.before, c.after, note));
    }
    flushOwn();
}

void NetShare::appendOwn(const QString &file, int record, const QByteArray &before,
    const QByteArray &after, const QString &kind)
{
    ChangeEvent e;
    e.station = m_id;
    e.sequence = ++m_sequence;
    e.time = m_clock.now().toUTC();
    e.kind = kind;
    e.file = file;
    e.record = record;
    e.before = before;
    e.after = after;
    m_unwritten += EncodeChange(e);
}

void NetShare::flushOwn()
{
    if (m_unwritten.isEmpty())
        return;
    const std::optional<QString> problem = OwnFolderProblem(m_folder, stationFolder(m_id));
    const Status written = problem
        ? Status::Error(*problem)
        : AppendLineDurably(ChangesLog(stationFolder(m_id)), m_unwritten);
    if (written) {
        m_unwritten.clear();
        m_logFailure.clear();
    } else {
        // Kept, and written with the next change or pass that can.
        m_logFailure = written.error();
    }
}

NetShare::Applied NetShare::apply(const ChangeEvent &e, QList<NetApplied> &written)
{
    StationFile file(m_paths.dataFolder() + e.file);
    if (!file.open())
        return Applied::Conflict;
    const StationRecord before = StationRecord::fromBytes(e.before);
    const StationRecord after = StationRecord::fromBytes(e.after);
    QList<std::pair<int, StationRecord>> writes;
    if (after.isEndMarker()) {
        // Where a file ends is each PC's own affair: a marker goes only where it hides no
        // station and ends the file no earlier than it ends already.
        if (file.read(e.record).isBlank() && !MarkerBefore(file, e.record)
            && !StationAfter(file, e.record))
            writes.append({ e.record, after });
    } else if (IsStation(e.before)) {
        const int n = Locate(file, e);
        const QByteArray mine = n > 0 ? RecordAt(file, n) : QByteArray();
        if (n == 0) {
            // The station is not here. Gone is what a deletion wants; a change of it cannot
            // be made, unless its result is already here.
            if (IsStation(e.after)) {
                const int m = RecordHolding(file, after.Call.trimmed());
                if (m == 0 || !SameApartFromDate(RecordAt(file, m), e.after))
                    return Applied::Conflict;
            }
        } else if (SameApartFromDate(mine, e.after)) {
            const StationRecord dated = WithLaterDate(mine, after);
            if (dated.toBytes() != mine)
                writes.append({ n, dated });
        } else if (SameApartFromDate(mine, e.before)) {
            writes.append({ n,
                IsStation(e.after) ? WithLaterDate(e.after, StationRecord::fromBytes(mine))
                                   : after });
        } else {
            return Applied::Conflict;
        }
    } else if (IsStation(e.after)) {
        const int m = RecordHolding(file, after.Call.trimmed());
        if (m > 0) {
            if (!SameApartFromDate(RecordAt(file, m), e.after))
                return Applied::Conflict;
            const StationRecord dated = WithLaterDate(RecordAt(file, m), after);
            if (dated.toBytes() != RecordAt(file, m))
                writes.append({ m, dated });
        } else {
            writes = PlaceStation(file, e.record, after);
            if (writes.isEmpty())
                return Applied::Conflict;
        }
    }
    if (writes.isEmpty())
        return Applied::AlreadyThere;
    if (!keepTakenOut(file, writes, e.kind))
        return Applied::Conflict;
    m_applying = true;
    const Status done = file.write(writes);
    m_applying = false;
    if (!done)
        return Applied::Conflict;
    for (const auto &[n, station] : writes)
        written.append({ e.file, n, station });
    return Applied::Written;
}

bool NetShare::keepTakenOut(const StationFile &file,
    const QList<std::pair<int, StationRecord>> &writes, const QString &kind) const
{
    // A member another PC retired or deleted leaves this PC's file too, so it is kept in
    // this PC's retired-stations file first, as one taken out here is: typed again, it is
    // offered back.
    QByteArray lines;
    for (const auto &[n, station] : writes) {
        const StationRecord was = file.read(n);
        if (IsStation(was.toBytes()) && station.isFree())
            lines += RetiredArchiveLine(m_clock.today(), kind != QStringLiteral("retire"),
                QFileInfo(file.path()).fileName(), n, was.trimmed());
    }
    if (lines.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(m_paths.retiredStationsFile()).absolutePath());
    return AppendLineDurably(m_paths.retiredStationsFile(), lines).ok();
}

NetPass NetShare::pass()
{
    NetPass out;
    if (!m_on)
        return out;
    flushOwn();
    const QFileInfoList stations
        = QDir(m_folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QList<NetConflict> standing = storedConflicts();
    bool conflictsChanged = false;
    m_everyChange.reset();
    m_budget = ChangesPerPass;
    int count = 0;
    for (const QFileInfo &station : stations) {
        const QString id = station.fileName();
        if (!IsStationId(id) || id == m_id || ++count > MaxStations)
            continue;
        StationRead read = readStation(id, out);
        applyStation(read, standing, conflictsChanged, out);
    }
    m_everyChange.reset();
    if (conflictsChanged)
        (void)storeConflicts(standing);
    out.published = publishSessions();
    checkOwnId();
    if (m_sequence != m_savedSequence
        && m_settings.save(Section(), QStringLiteral("Sequence"), QString::number(m_sequence)))
        m_savedSequence = m_sequence;
    out.conflicts = int(conflicts().size());
    if (out.more)
        m_settle.start();
    if (m_watcher) {
        // A station folder that appeared since is watched from now on.
        for (const QFileInfo &station : stations.mid(0, MaxStations)) {
            const QString path = station.filePath() + u'/';
            if (IsStationId(station.fileName()) && station.fileName() != m_id
                && !m_watcher->directories().contains(path))
                m_watcher->addPath(path);
        }
    }
    emit passed(out);
    return out;
}

NetShare::StationRead NetShare::readStation(const QString &id, NetPass &out) const
{
    const QString folder = stationFolder(id);
    const QStringList state = ReadState(m_settings, id).split(u' ');
    StationRead read;
    read.id = id;
    read.storedOffset = read.offset = state.value(0).toLongLong();
    read.storedApplied = read.applied = state.value(1).toLongLong();
    auto take = [&](const Result<ChangeRead> &changes, const QString &name) {
        if (!changes) {
            out.refused << id + u'/' + name + QStringLiteral(": ") + changes.error();
            return;
        }
        for (const QString &refused : changes->refused)
            out.refused << id + u'/' + refused;
        for (const ChangeEvent &e : changes->events) {
            if (e.sequence > read.applied)
                read.events.emplace(e.sequence, e);
        }
    };
    const Result<ChangeRead> main = ReadChanges(ChangesLog(folder), read.offset, id);
    take(main, QStringLiteral("changes.log"));
    if (main) {
        read.offset = main->nextOffset;
        out.more = out.more || main->more;
    }
    // The sync engine keeps the losing side of a clash as a conflict copy: its changes count
    // too, each once.
    const QFileInfoList copies = QDir(folder).entryInfoList(
        { QStringLiteral("changes.sync-conflict-*.log") }, QDir::Files, QDir::Name);
    for (const QFileInfo &copy : copies.mid(0, MaxLogCopies))
        take(ReadChanges(copy.filePath(), 0, id), copy.fileName());
    return read;
}

namespace {

// Whether later made its change to a record that held what earlier made: its author had
// earlier's result before them (their own choice on a conflict, say), so earlier is settled.
bool Settles(const ChangeEvent &later, const ChangeEvent &earlier)
{
    return later.id() != earlier.id() && later.file == earlier.file && IsStation(earlier.after)
        && SameApartFromDate(later.before, earlier.after);
}

} // namespace

const QList<ChangeEvent> &NetShare::everyChange()
{
    if (m_everyChange)
        return *m_everyChange;
    m_everyChange.emplace();
    int chunks = 0; // read in all, over every log
    const QFileInfoList stations
        = QDir(m_folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &station : stations.mid(0, MaxStations)) {
        const QString id = station.fileName();
        if (!IsStationId(id))
            continue;
        qint64 offset = 0;
        while (chunks < MaxWholeLogChunks) {
            ++chunks;
            const Result<ChangeRead> read = ReadChanges(ChangesLog(stationFolder(id)), offset, id);
            if (!read)
                break;
            m_everyChange->append(read->events);
            offset = read->nextOffset;
            if (!read->more)
                break;
        }
    }
    return *m_everyChange;
}

void NetShare::applyStation(
    StationRead &read, QList<NetConflict> &standing, bool &conflictsChanged, NetPass &out)
{
    for (const auto &[sequence, e] : read.events) {
        if (m_budget == 0) {
            // The rest of this reading is read again next time; what was applied is skipped
            // by its number.
            read.offset = read.storedOffset;
            out.more = true;
            break;
        }
        --m_budget;
        Applied applied = apply(e, out.written);
        // A change another PC (or this one) already answered, having it before them, is no
        // conflict here, in whatever order the PCs' logs arrive: read once a pass, and only
        // when a conflict asks.
        if (applied == Applied::Conflict) {
            const QList<ChangeEvent> &all = everyChange();
            if (std::any_of(all.cbegin(), all.cend(),
                    [&](const ChangeEvent &later) { return Settles(later, e); }))
                applied = Applied::AlreadyThere;
        }
        if (applied != Applied::Conflict) {
            // A later change to the record went through: whatever its author chose (this
            // PC's version, say) settles what clashed before.
            conflictsChanged = standing.removeIf([&](const NetConflict &c) {
                return (c.theirs.station == e.station && c.theirs.file == e.file
                           && c.theirs.record == e.record)
                    || Settles(e, c.theirs);
            }) > 0
                || conflictsChanged;
        }
        switch (applied) {
        case Applied::Written:
            ++out.applied;
            if (!out.changedFiles.contains(e.file))
                out.changedFiles << e.file;
            break;
        case Applied::AlreadyThere:
            break;
        case Applied::Conflict: {
            StationFile file(m_paths.dataFolder() + e.file);
            const int n = file.open() ? Locate(file, e) : 0;
            const int at = n > 0 ? n : e.record;
            const bool known = std::any_of(standing.cbegin(), standing.cend(),
                [&](const NetConflict &c) { return c.theirs.id() == e.id(); });
            // However many a PC's log brings, the list stays one an operator can go through
            // (and one a pass reads quickly); those beyond are told as refused.
            if (!known && standing.size() >= MaxConflicts) {
                out.refused << e.station + QStringLiteral("/changes.log: ") + e.id()
                        + QStringLiteral(" NOT APPLIED, TOO MANY NET CHANGES NEED A LOOK");
            } else if (!known) {
                standing.append({ e, QString(), at, RecordAt(file, at) });
                conflictsChanged = true;
            }
            break;
        }
        }
        read.applied = sequence;
    }
    if (read.offset != read.storedOffset || read.applied != read.storedApplied)
        (void)m_settings.save(ReadSection(), read.id,
            QString::number(read.offset) + u' ' + QString::number(read.applied));
}

int NetShare::publishSessions()
{
    static const QRegularExpression logName(
        QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}-[0-9]{4}(-[0-9]{1,4})?$"));
    if (OwnFolderProblem(m_folder, stationFolder(m_id)))
        return 0;
    const QString shared = stationFolder(m_id) + QStringLiteral("sessions/");
    const QFileInfoList logs
        = QDir(m_paths.sessionsFolder())
              .entryInfoList({ QStringLiteral("*.log") }, QDir::Files, QDir::Name);
    int published = 0;
    for (const QFileInfo &log : logs) {
        const QString name = log.completeBaseName();
        if (!logName.match(name).hasMatch() || m_notShared.contains(name)
            || QFileInfo::exists(shared + name + QStringLiteral(".summary")))
            continue;
        if (published >= SessionsPerPass)
            break;
        const Result<JournalContents> contents = ReadJournal(log.filePath());
        if (!contents)
            continue;
        const SessionState state = ReplayEvents(contents->events);
        // A session that only started (the program stopped before the net began) is no net
        // session: it would count in every PC's month with nothing in it.
        if (!state.started || (!state.end && state.checkins.isEmpty() && state.traffic == 0)) {
            m_notShared.insert(name);
            continue;
        }
        const Result<QByteArray> bytes = ReadWholeFile(log.filePath());
        if (!bytes || !WriteFileAtomically(shared + name + QStringLiteral(".log"), *bytes))
            continue;
        if (const Result<QByteArray> report = ReadWholeFile(m_paths.netReport(name)))
            (void)WriteFileAtomically(shared + name + QStringLiteral(".txt"), *report);
        // The summary last: it is what says the session is there.
        if (WriteFileAtomically(shared + name + QStringLiteral(".summary"),
                EncodeSummary(SummaryOf(m_id, name, state))))
            ++published;
    }
    return published;
}

void NetShare::checkOwnId()
{
    const QString folder = stationFolder(m_id);
    bool elsewhere = !QDir(folder)
                          .entryList({ QStringLiteral("changes.sync-conflict-*.log"),
                                         QStringLiteral("station.sync-conflict-*.txt") },
                              QDir::Files)
                          .isEmpty();
    const std::optional<ChangeEvent> last = LastChange(ChangesLog(folder));
    if (last && last->sequence > m_sequence) {
        elsewhere = true;
        m_sequence = last->sequence;
    }
    const Result<QByteArray> mark = ReadFileHead(folder + QStringLiteral("station.txt"), 1024);
    if (mark) {
        const QStringList lines = QString::fromUtf8(*mark).split(u'\n');
        elsewhere = elsewhere || (lines.size() > 1 && lines[1] != writerMark());
    }
    m_idElsewhere = elsewhere;
}

QList<NetConflict> NetShare::storedConflicts() const
{
    QList<NetConflict> out;
    const Result<QByteArray> bytes = ReadFileHead(NetConflictsFile(m_paths), 4 * 1024 * 1024);
    if (!bytes)
        return out;
    for (const QByteArray &line : bytes->split('\n')) {
        const qsizetype first = line.indexOf('\t');
        const qsizetype second = line.indexOf('\t', first + 1);
        if (first < 0 || second < 0)
            continue;
        bool ok = false;
        const int record = line.left(first).toInt(&ok);
        const QByteArray mine = QByteArray::fromHex(line.mid(first + 1, second - first - 1));
        Result<ChangeEvent> theirs = DecodeChange(line.mid(second + 1));
        if (!ok || record < 1 || record > RecordsPerFile || mine.size() != StationRecord::Size
            || !theirs)
            continue;
        out.append({ theirs.value(), QString(), record, mine });
    }
    return out;
}

Status NetShare::storeConflicts(const QList<NetConflict> &conflicts) const
{
    QByteArray bytes;
    for (const NetConflict &c : conflicts) {
        bytes
            += QByteArray::number(c.record) + '\t' + c.mine.toHex() + '\t' + EncodeChange(c.theirs);
    }
    return WriteFileAtomically(NetConflictsFile(m_paths), bytes);
}

QString NetShare::nameOf(const QString &id) const
{
    const QString name = SharedStationName(m_folder, id);
    return name.isEmpty() ? id : name;
}

QList<NetConflict> NetShare::conflicts() const
{
    QList<NetConflict> out;
    std::map<QString, StationFile> files; // each read once
    for (NetConflict c : storedConflicts()) {
        auto [at, added] = files.try_emplace(c.theirs.file, m_paths.dataFolder() + c.theirs.file);
        StationFile &file = at->second;
        if (added)
            (void)file.open();
        if (file.isOpen() && SameApartFromDate(RecordAt(file, c.record), c.theirs.after))
            continue; // settled: theirs is here now
        if (file.isOpen())
            c.mine = RecordAt(file, c.record);
        c.theirName = nameOf(c.theirs.station);
        out.append(c);
    }
    return out;
}

Status NetShare::settle(
    const QString &eventId, const std::function<Status(StationFile &, const NetConflict &)> &choice)
{
    QList<NetConflict> stored = storedConflicts();
    const auto it = std::find_if(stored.begin(), stored.end(),
        [&](const NetConflict &c) { return c.theirs.id() == eventId; });
    if (it == stored.end())
        return Status::Error(QStringLiteral("THAT NET CHANGE IS SETTLED"));
    StationFile file(m_paths.dataFolder() + it->theirs.file);
    if (const Status opened = file.open(); !opened)
        return opened;
    if (const Status chosen = choice(file, *it); !chosen)
        return chosen;
    stored.erase(it);
    return storeConflicts(stored);
}

Status NetShare::takeTheirs(const QString &eventId)
{
    return settle(eventId, [this](StationFile &file, const NetConflict &c) {
        const StationRecord theirs = StationRecord::fromBytes(c.theirs.after);
        if (IsStation(c.theirs.after)) {
            const int holder = RecordHolding(file, theirs.Call.trimmed());
            if (holder > 0 && holder != c.record)
                return Status::Error(theirs.Call.trimmed() + QStringLiteral(" IS IN RECORD ")
                    + QString::number(holder) + QStringLiteral(" ALREADY"));
        }
        if (!keepTakenOut(file, { { c.record, theirs } }, c.theirs.kind))
            return Status::Error(
                FileError(m_paths.retiredStationsFile(), QStringLiteral("not written")));
        const RecordChangeNote note(QStringLiteral("theirs"));
        return file.write(c.record, theirs);
    });
}

Status NetShare::keepMine(const QString &eventId)
{
    return settle(eventId, [this](StationFile &file, const NetConflict &c) {
        // Nothing changes here; the others, who hold theirs, are told to make it this PC's.
        appendOwn(c.theirs.file, c.record, c.theirs.after, RecordAt(file, c.record),
            QStringLiteral("mine"));
        flushOwn();
        return Status::Ok();
    });
}

QString SharedStationName(const QString &netFolder, const QString &id)
{
    if (!IsStationId(id))
        return QString();
    const Result<QByteArray> text
        = ReadFileHead(QDir(netFolder).filePath(id + QStringLiteral("/station.txt")), 1024);
    if (!text)
        return QString();
    return PrintableText(QString::fromUtf8(*text).section(u'\n', 0, 0).trimmed(), 40);
}

QList<NetStationSeen> ListNetStations(const QString &netFolder)
{
    QList<NetStationSeen> out;
    const QFileInfoList stations
        = QDir(netFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &station : stations) {
        if (!IsStationId(station.fileName()))
            continue;
        if (out.size() >= MaxStations)
            break;
        NetStationSeen seen;
        seen.id = station.fileName();
        seen.name = SharedStationName(netFolder, seen.id);
        if (const std::optional<ChangeEvent> last
            = LastChange(station.filePath() + QStringLiteral("/changes.log")))
            seen.lastChange = last->time;
        QStringList summaries
            = QDir(station.filePath() + QStringLiteral("/sessions"))
                  .entryList({ QStringLiteral("*.summary") }, QDir::Files, QDir::Name);
        if (!summaries.isEmpty())
            seen.lastSession = summaries.last().section(u'.', 0, 0);
        out.append(seen);
    }
    return out;
}
