#include "mainwindowfixture.h"
#include "scriptedsession.h"
#include "session/sessionjournal.h"
#include "session/ui/netinfoframe.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr quint32 Seed = 20260310;
constexpr int Steps = 50;

// What the main window must show after the nth event of the scripted net, taken from the
// live session as it ran, never from a journal.
struct Expected
{
    QStringList entries; // the check-in table, entries 1 to 150
    int traffic = 0;
    bool trafficCounted = false;
    QStringList nonListed;
    bool memberAdded = false;
    QString mode = QStringLiteral("EARLY CHECKINS"); // the COUNTIES entry shown
    QSet<int> cleared; // entries checked in before the early list was chosen again
};

// Keeps the state after each event of the live session, and the line each call showed.
class Recorder : public SessionEventSink
{
public:
    explicit Recorder(const NetSession &session)
        : m_session(session)
    {
        states << Expected();
        states[0].entries = QStringList(CheckinTable::Last, QString());
    }
    void record(const SessionEvent &event) override
    {
        Expected e;
        for (int k = 1; k <= CheckinTable::Last; ++k)
            e.entries << m_session.checkins().entry(k);
        e.traffic = m_session.traffic();
        e.trafficCounted
            = states.last().trafficCounted || event.kind == SessionEvent::Kind::Traffic;
        e.nonListed = m_session.nonListed();
        e.memberAdded = m_session.memberAddedFlag;
        e.mode = event.kind == SessionEvent::Kind::Mode ? event.mode : states.last().mode;
        e.cleared = states.last().cleared;
        if (event.kind == SessionEvent::Kind::Checkin)
            e.cleared.remove(event.entry);
        for (int k = 1; event.kind == SessionEvent::Kind::Mode && k <= CheckinTable::Last; ++k) {
            if (!e.entries[k - 1].isEmpty())
                e.cleared.insert(k);
        }
        states << e;
        ++kinds[int(event.kind)];
        if (event.kind == SessionEvent::Kind::Checkin)
            lineOf[event.call] = event.line;
        if (event.kind == SessionEvent::Kind::CallChanged && lineOf.contains(event.call))
            lineOf[event.newCall] = event.newCall + lineOf[event.call].mid(event.call.size());
    }
    QList<Expected> states; // states[n]: after n events
    QMap<QString, QString> lineOf;
    QMap<int, int> kinds; // how many events of each kind

private:
    const NetSession &m_session;
};

// A root with the script's stations and every other station file empty, as a database has
// them: the net's time goes to its work, not to making files.
void WriteStations(TestRoot &root)
{
    root.writeStations("AUTAUGA", ScriptedStations());
    CountyTable table(root.paths().dataFolder());
    table.FillCountyFileNames();
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        QFile file(table.filePath(p));
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.close();
    }
}

} // namespace

// A net must survive the program's death at any moment: killed wherever it is, the next
// start with Yes shows exactly what the journal holds, and writes no station file.
class TestInterruptedSession : public QObject
{
    Q_OBJECT

private slots:
    void killedAtAnyMoment();
};

void TestInterruptedSession::killedAtAnyMoment()
{
    // A kill leaves what was written in the page cache, so syncing to a disk is beside the
    // point here; a memory file system keeps a few hundred runs quick.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    // The net as it ran, event by event, on a root of its own.
    TestRoot reference;
    WriteStations(reference);
    reference.table().FillCountyFileNames();
    reference.table().FillDisplayNames();
    NetSession live(reference.table());
    MemberEditor editor(live, reference.table(), reference.settings());
    Recorder recorder(live);
    live.setEventSink(&recorder);
    RunScriptedSession(live, editor, reference.clock().today(), Seed, Steps);
    const QList<Expected> &expected = recorder.states;
    QVERIFY(expected.size() > 35);
    // The kills fall on every kind of write: check-ins, new members, changes of call.
    for (const SessionEvent::Kind kind : { SessionEvent::Kind::Checkin,
             SessionEvent::Kind::NewMember, SessionEvent::Kind::CallChanged })
        QVERIFY(recorder.kinds.value(int(kind)) > 0);

    const int Kills = SlowTestRuns(250);
    QRandomGenerator random(Seed); // the same moments on every run
    QSet<int> reached;
    qint64 runNs = 0; // how long the child takes for the whole net
    // Run 0 goes to the end of the net and times it; each run after is killed at a moment
    // anywhere in that time.
    for (int kill = 0; kill <= Kills; ++kill) {
        MainWindowFixture f;
        WriteStations(f.root);
        QProcess child;
        child.start(
            SESSION_RUNNER, { f.root.root(), QString::number(Seed), QString::number(Steps) });
        QVERIFY2(child.waitForReadyRead(), qPrintable(child.errorString()));
        if (kill == 0) {
            child.readLine();
            QElapsedTimer timer;
            timer.start();
            while (!child.canReadLine())
                QVERIFY(child.waitForReadyRead(20000));
            runNs = timer.nsecsElapsed();
            QCOMPARE(child.readLine(), QByteArray("done\n"));
            qInfo("the net takes %lld ms", runNs / 1000000);
        } else {
            std::this_thread::sleep_for(
                std::chrono::nanoseconds(random.bounded(runNs + runNs / 10)));
        }
        child.kill();
        QVERIFY(child.waitForFinished());
        QVERIFY2(
            child.exitStatus() == QProcess::CrashExit, child.readAllStandardError().constData());

        const QString journal = f.root.paths().sessionJournal();
        int events = -1; // no session began
        if (QFileInfo::exists(journal)) {
            const Result<JournalContents> contents = ReadJournal(journal);
            QVERIFY2(contents.ok(), qPrintable(contents.error()));
            QVERIFY(contents->skippedLines <= 1); // at most the line being written
            events = int(contents->events.size()) - 1;
        }
        reached.insert(events);
        // The child ran the same net: one line for each event, after the start.
        QVERIFY(kill > 0 || events == int(expected.size()) - 1);
        const QByteArray before = f.root.stationBytes("AUTAUGA");

        // A check-in or new member is journaled before its station file is written: the
        // last one may be in the journal only. The resume finishes it as the file shows.
        const PendingSession pending = ReadPendingSession(f.root.paths());
        int finished = std::max(events, 0);
        if (pending.unconfirmed && pending.unconfirmed->kind == SessionEvent::Kind::NewMember) {
            const bool inFile
                = before.contains(pending.unconfirmed->call.leftJustified(6).toLatin1());
            finished = inFile ? events + 1 : events - 1;
        }
        if (pending.unconfirmed && pending.unconfirmed->kind == SessionEvent::Kind::CallChanged) {
            const bool inFile
                = before.contains(pending.unconfirmed->newCall.leftJustified(6).toLatin1());
            finished = inFile ? events : events - 1;
        }
        f.root.dialogs().answers.enqueue(Yes);
        FrmMain &w = f.open();
        const Expected &asked = expected.value(std::max(events, 0));
        const Expected &e = expected.value(finished);
        QVERIFY2(events <= int(expected.size()) - 1, "more events than the net made");
        // A session killed before its first event has nothing to resume: no question.
        if (events > 0) {
            QCOMPARE(f.root.dialogs().messages.size(), 1);
            QCOMPARE(f.root.dialogs().messages[0].text,
                QString("THE SESSION OF %1 (%2 CHECK INS) DID NOT END. RESUME IT?")
                    .arg(pending.state.start.toString("M/d/yyyy HH:mm"))
                    .arg(asked.entries.count() - asked.entries.count("")
                        - asked.entries.count("DELETED")));
        } else {
            QVERIFY(f.root.dialogs().messages.isEmpty());
        }

        QStringList entries;
        QStringList lines;
        for (int k = 1; k <= CheckinTable::Last; ++k) {
            entries << w.session().checkins().entry(k);
            const QString call = e.entries[k - 1];
            if (!call.isEmpty() && call != "DELETED" && !e.cleared.contains(k))
                lines << recorder.lineOf.value(call);
        }
        QCOMPARE(entries, e.entries);
        // The list the net was in: a county's members, or what the early list showed.
        QCOMPARE(named<QListWidget>(w, "lstCounties")->currentItem()->text(), e.mode);
        if (e.mode == "EARLY CHECKINS")
            QCOMPARE(f.lines("lst1"), lines);
        QCOMPARE(f.lines("lstEarly"), e.nonListed);
        QCOMPARE(named<QLabel>(w, "lblChkins")->text(),
            QString::number(e.entries.count() - e.entries.count("") - e.entries.count("DELETED")));
        QCOMPARE(named<QLabel>(w, "lblTraffic")->text(),
            e.trafficCounted ? " " + QString::number(e.traffic) : "0");
        if (finished == events)
            QCOMPARE(w.session().memberAddedFlag, e.memberAdded);
        // Every station checked in is in the file, dated the night of the net: the session and the
        // files agree.
        const QByteArray now = f.root.stationBytes("AUTAUGA");
        for (const QString &call : e.entries) {
            if (call.isEmpty() || call == "DELETED")
                continue;
            const qsizetype at = now.indexOf(call.leftJustified(6).toLatin1());
            QVERIFY2(at >= 0 && at % StationRecord::Size == 0, qPrintable(call));
            const StationRecord r = StationRecord::fromBytes(now.mid(at, StationRecord::Size));
            QVERIFY2(ParseDateText(r.LastDate.trimmed()) == pending.state.start.date(),
                qPrintable(call + " " + r.LastDate));
        }
        // And every station the file dates that night checked in, by the journal (some were
        // taken back since): no date reached a file without its check-in.
        if (events >= 0) {
            const Result<JournalContents> resumed = ReadJournal(f.root.paths().sessionJournal());
            QVERIFY(resumed.ok());
            QSet<QString> journaled;
            for (const SessionEvent &event : resumed->events) {
                if (event.kind == SessionEvent::Kind::Checkin)
                    journaled.insert(event.call);
            }
            for (qsizetype at = 0; at + StationRecord::Size <= now.size();
                 at += StationRecord::Size) {
                const StationRecord r = StationRecord::fromBytes(now.mid(at, StationRecord::Size));
                if (ParseDateText(r.LastDate.trimmed()) == pending.state.start.date())
                    QVERIFY2(journaled.contains(r.Call.trimmed()), qPrintable(r.Call));
            }
        }
        // Every new member in the file is in the month's list.
        QStringList listed;
        for (int k = 0; k <= 51; ++k)
            listed << f.root.settings().get("NewMember", QString::number(k)).section(u' ', 0, 0);
        for (qsizetype at = 0; at + StationRecord::Size <= now.size(); at += StationRecord::Size) {
            const QString call
                = StationRecord::fromBytes(now.mid(at, StationRecord::Size)).Call.trimmed();
            if (call.startsWith("W4"))
                QVERIFY2(listed.contains(call), qPrintable(call));
        }
        // Nothing else is written: only the date of the last check-in may be finished.
        if (!pending.unconfirmed || pending.unconfirmed->kind != SessionEvent::Kind::Checkin)
            QCOMPARE(now, before);
    }
    qInfo("%d kills reached %d different points of a net of %d events", Kills, int(reached.size()),
        int(expected.size()) - 1);
    // The kills fell all along the net, not only before it or after it. (They fall where
    // the time goes, mostly in the writes of station files, so not every event is hit.)
    QVERIFY(reached.size() > std::min(12, Kills / 5));
}

QTEST_MAIN(TestInterruptedSession)
#include "tst_interruptedsession.moc"
