#include "mainwindowfixture.h"
#include "scriptedsession.h"
#include "session/netinfoframe.h"
#include "session/sessionjournal.h"

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
        states << e;
        if (event.kind == SessionEvent::Kind::Checkin)
            lineOf[event.call] = event.line;
    }
    QList<Expected> states; // states[n]: after n events
    QMap<QString, QString> lineOf;

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

        f.root.dialogs().answers.enqueue(Yes);
        FrmMain &w = f.open();
        const Expected &e = expected.value(std::max(events, 0));
        QVERIFY2(events <= int(expected.size()) - 1, "more events than the net made");
        // A session killed before its first event has nothing to resume: no question.
        if (events > 0) {
            QCOMPARE(f.root.dialogs().messages.size(), 1);
            QCOMPARE(f.root.dialogs().messages[0].text,
                QString("THE SESSION OF %1 (%2 CHECK INS) DID NOT END. RESUME IT?")
                    .arg(ReadPendingSession(f.root.paths()).state.start.toString("M/d/yyyy HH:mm"))
                    .arg(e.entries.count() - e.entries.count("") - e.entries.count("DELETED")));
        } else {
            QVERIFY(f.root.dialogs().messages.isEmpty());
        }

        QStringList entries;
        QStringList lines;
        for (int k = 1; k <= CheckinTable::Last; ++k) {
            entries << w.session().checkins().entry(k);
            const QString call = e.entries[k - 1];
            if (!call.isEmpty() && call != "DELETED")
                lines << recorder.lineOf.value(call);
        }
        QCOMPARE(entries, e.entries);
        QCOMPARE(f.lines(w.lst1), lines);
        QCOMPARE(f.lines(w.lstEarly), e.nonListed);
        QCOMPARE(w.lblChkins()->text(), QString::number(lines.size()));
        QCOMPARE(w.lblTraffic()->text(), e.trafficCounted ? " " + QString::number(e.traffic) : "0");
        QCOMPARE(w.session().memberAddedFlag, e.memberAdded);
        // The resume reads the journal only: the station file is as the child left it.
        QCOMPARE(f.root.stationBytes("AUTAUGA"), before);
    }
    qInfo("%d kills reached %d different points of a net of %d events", Kills, int(reached.size()),
        int(expected.size()) - 1);
    // The kills fell all along the net, not only before it or after it. (They fall where
    // the time goes, mostly in the writes of station files, so not every event is hit.)
    QVERIFY(reached.size() > std::min(12, Kills / 5));
}

QTEST_MAIN(TestInterruptedSession)
#include "tst_interruptedsession.moc"
