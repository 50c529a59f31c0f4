#pragma once

#include "sessionevent.h"
#include "sessionreplay.h"
#include "stationdb/paths.h"
#include "stationdb/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Clock;

// One event as one line: tab-separated fields (backslash, tab, carriage return and line
// break escaped), the last field a CRC-32 of the rest, then a line break. A line cut short
// or filled with garbage by a power cut fails its check and is skipped, never misread.
QByteArray EncodeEvent(const SessionEvent &event);
std::optional<SessionEvent> DecodeEvent(const QByteArray &line);

struct JournalContents
{
    QList<SessionEvent> events;
    int skippedLines = 0; // incomplete or damaged lines passed over
    // The first of them, "LINE 7: NO STATION FILE ../x.dat", printable and short; a last
    // line cut short by a stop is not named.
    QStringList skipped;
};

// The largest journal read: a whole evening's net is some ten kilobytes.
inline constexpr qint64 MaxJournalBytes = 8 * 1024 * 1024;

// Reads a journal or a session log: every complete line, whatever lies between them. A
// journal is a file anything may have written (a bad copy, a restored backup, a hand
// edit): a line that names a file other than a station file of the table, or a record
// outside 1 to 100, is skipped as damaged, and a file over MaxJournalBytes is an error.
Result<JournalContents> ReadJournal(const QString &path);

// Appends one line and forces it onto the disk: opened in append mode, written, flushed,
// synced and closed. A file that does not end in a line break (a torn last line) gets one
// first, so the new line stands on its own.
Status AppendJournalLine(const QString &path, const QByteArray &line);

// What an earlier run left in the journal.
struct PendingSession
{
    enum Kind {
        None, // no journal, or one that holds no session
        Ended, // its end is in it, but it was not made a log yet
        Unfinished, // the program stopped in the middle of the session
        Unreadable, // there is a journal, but it cannot be read
    } kind
        = None;
    SessionState state;
    int skippedLines = 0;
    QStringList skipped; // as JournalContents names them
    Status unreadable; // why, when Unreadable
    // The last event that writes a station file, when nothing followed it but a resume: the
    // stop may have come between its journal line and its file.
    std::optional<SessionEvent> unconfirmed;
    // Something happened in the session beyond its start and resumptions: a session that
    // only started has nothing to resume and becomes a log without a question.
    bool hasNetEvents = false;
};
PendingSession ReadPendingSession(const Paths &paths);

// The journal of the running session. It records each event the logging core reports:
// one line, synced before the call returns, and the same event applied to the session's
// state, from which the net report and the check-in log are made. A failed write is told
// through writeFailed once per run of failures; its lines are written with the next event
// that can be; the session goes on, and the in-memory state stays whole.
class SessionJournal : public SessionEventSink
{
public:
    SessionJournal(const Paths &paths, const Clock &clock);

    // A fresh journal. Whatever an earlier run left there becomes a log first.
    void begin(const QString &netControlName, const QString &netControlCall, const QString &mode);
    // Goes on with the journal an interrupted run left, from its replayed state.
    void resume(const SessionState &state);
    void record(const SessionEvent &event) override;

    // The end event, then the journal becomes the session's log with its net report beside
    // it. Returns the log's name (yyyy-MM-dd-HHmm), or what failed.
    Result<QString> finish();

    const SessionState &state() const { return m_state; }
    bool isOpen() const { return m_open; }

    // Lines not written yet stay in memory and are tried again at each event.
    bool writeFailing() const { return m_failing; }

    // Who is told of the first failure of a run of failures, and when a write succeeds again.
    class Watcher
    {
    public:
        virtual ~Watcher() = default;
        virtual void journalFailed(const QString &error) = 0;
        virtual void journalRecovered() = 0;
    };
    void setWatcher(Watcher *watcher) { m_watcher = watcher; }

private:
    void append(SessionEvent event);
    void tellFailure(const QString &error);

    Paths m_paths;
    const Clock &m_clock;
    SessionState m_state;
    bool m_open = false;
    bool m_writable = false; // the journal's file is this session's
    bool m_failureTold = false;
    bool m_failing = false;
    QByteArray m_unwritten;
    Watcher *m_watcher = nullptr;
};
