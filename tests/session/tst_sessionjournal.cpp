#include "maintenance/membereditor.h"
#include "session/netreport.h"
#include "session/netsession.h"
#include "session/sessionjournal.h"
#include "stationdb/atomicfile.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

using Kind = SessionEvent::Kind;

SessionEvent Event(Kind kind)
{
    SessionEvent e;
    e.kind = kind;
    e.at = QDateTime(QDate(2026, 3, 10), QTime(19, 4, 5));
    return e;
}

// Every field, so that a field lost on the way shows.
QStringList Fields(const SessionEvent &e)
{
    return { QString::number(int(e.kind)), e.at.toString(Qt::ISODate), QString::number(e.entry),
        e.call, e.newCall, e.file, QString::number(e.record), e.name, e.county, e.city,
        QString::number(int(e.how)), e.line, QString::number(e.marked), QString::number(e.count),
        e.netControlName, e.netControlCall, e.mode };
}

// The parts of a net: a session, a member form and a journal on a program root.
struct Net
{
    explicit Net(TestRoot &root)
        : session(root.table())
        , editor(session, root.table(), root.settings())
        , journal(root.paths(), root.clock())
    {
        root.table().FillCountyFileNames();
        root.table().FillDisplayNames();
    }
    void begin()
    {
        journal.begin("BOB", "K4XYZ", "EARLY");
        session.setEventSink(&journal);
    }
    NetSession session;
    MemberEditor editor;
    SessionJournal journal;
};

int RecordOf(const NetSession &session, const QString &call)
{
    for (int n = 1; n <= RecordsPerFile; ++n) {
        if (session.member(n) && session.member(n)->call == call)
            return n;
    }
    return 0;
}

} // namespace

class TestSessionJournal : public QObject
{
    Q_OBJECT

private slots:
    void eventLines();
    void tornAndDamagedLinesAreSkipped();
    void replayRebuildsEveryKindOfChange();
    void logAndNetReportOfAScriptedNet();
    void checkinLogReadsBackAsCsv();
};

void TestSessionJournal::eventLines()
{
    // Escapes of every kind in the fields, and blanks a line must keep.
    SessionEvent event = Event(Kind::Checkin);
    event.entry = 149;
    event.call = "K4ABC";
    event.file = "St Clair.dat";
    event.record = 100;
    event.name = "SMITH,\t\"JR\"";
    event.county = "ST CLAIR";
    event.city = "A\\B\nC\r";
    event.how = SessionEvent::How::Clicked;
    event.line = "K4ABC SMITH  ÄÖ ";
    const QByteArray line = EncodeEvent(event);
    const std::optional<SessionEvent> read = DecodeEvent(line);
    QVERIFY(read);
    QCOMPARE(Fields(*read), Fields(event));
    // A line cut anywhere, or with any one byte changed, is never taken for an event.
    for (qsizetype cut = 0; cut < line.size() - 1; ++cut)
        QVERIFY2(!DecodeEvent(line.left(cut)), qPrintable(QString::number(cut)));
    for (qsizetype at = 0; at < line.size() - 1; ++at) {
        QByteArray damaged = line;
        damaged[at] = damaged[at] == '0' ? '1' : '0';
        QVERIFY2(!DecodeEvent(damaged), qPrintable(QString::number(at)));
    }
}

void TestSessionJournal::tornAndDamagedLinesAreSkipped()
{
    TestRoot root;
    QDir().mkpath(root.paths().sessionsFolder());
    const QString path = root.paths().sessionJournal();
    SessionEvent call = Event(Kind::NonListed);
    call.call = "W9AA";
    const QByteArray line = EncodeEvent(call);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // A power cut can leave zeros where a line was meant to be, and a last line cut short.
    file.write(
        EncodeEvent(Event(Kind::Start)) + QByteArray(40, '\0') + "\n" + line + line.left(20));
    file.close();

    Result<JournalContents> read = ReadJournal(path);
    QVERIFY(read.ok());
    QCOMPARE(read->events.size(), 2);
    QCOMPARE(read->skippedLines, 2);

    // The next line stands on its own, not glued to the torn one.
    call.call = "W9BB";
    QVERIFY(AppendJournalLine(path, EncodeEvent(call)).ok());
    read = ReadJournal(path);
    QCOMPARE(read->events.size(), 3);
    QCOMPARE(read->events[2].call, QString("W9BB"));
}

void TestSessionJournal::replayRebuildsEveryKindOfChange()
{
    TestRoot root({ { "LEE",
                        { Station("K4AA", "ANN", "", "", "OPELIKA"), Station("K4BB", "BEN"),
                            Station("K4CC", "CY"), Station("K4DD", "DOT") } },
        { "TEXAS", { Station("W5TX", "TEX", "", "", "AUSTIN") } } });
    Net net(root);
    net.begin();
    NetSession &s = net.session;
    const QDate today = root.clock().today();
    (void)s.typedCheckin("K4AA", today);
    (void)s.typedCheckin("W5TX", today);
    (void)s.typedCheckin("W9ZZ", today);
    (void)s.deleteCheckin("W5TX AUSTIN"); // early: the entry reads DELETED
    s.countTraffic(true);
    s.countTraffic(true);
    s.countTraffic(false);
    (void)s.chooseEntry("LEE", today, true);
    (void)s.memberLineClick(RecordOf(s, "K4BB"), today, true, "ding");
    (void)s.memberLineClick(RecordOf(s, "K4CC"), today, true, "ding");
    (void)s.deleteCheckin("line", RecordOf(s, "K4BB")); // county: the entry is free again
    (void)s.memberLineClick(RecordOf(s, "K4DD"), today, true, "ding"); // takes the freed entry
    QVERIFY(net.editor.startChangeCall(RecordOf(s, "K4AA")).ok());
    (void)net.editor.save({}, "AB4AA", today);
    (void)s.memberLineClick(RecordOf(s, "K4BB"), today, true, "ding");
    (void)net.editor.remove(RecordOf(s, "K4BB"), today); // the click's check-in goes with it
    net.editor.startAdd();
    (void)net.editor.save({ "W4NEW", "NED", "LEE", "", "AUBURN" }, QString(), today);
    s.clearNonListed();
    (void)s.typedCheckin("W9YY", today);

    const PendingSession pending = ReadPendingSession(root.paths());
    QCOMPARE(pending.kind, PendingSession::Unfinished);
    NetSession resumed(root.table());
    resumed.restore(pending.state);
    for (int k = 1; k <= CheckinTable::Last; ++k)
        QCOMPARE(resumed.checkins().entry(k), s.checkins().entry(k));
    QCOMPARE(resumed.traffic(), 1);
    QCOMPARE(resumed.nonListed(), QStringList { "W9YY" });
    // Lines only for typed and added check-ins; the renamed one shows its new call.
    QCOMPARE(
        pending.state.checkinLines(), QStringList({ "AB4AA ANN LEE OPELIKA", "W4NEW NED AUBURN" }));
}

void TestSessionJournal::logAndNetReportOfAScriptedNet()
{
    TestRoot root(
        { { "LEE", { Station("K4AA", "ANN", "", "", "OPELIKA"), Station("K4BB", "BEN") } },
            { "TEXAS", { Station("W5TX", "TEX", "", "", "AUSTIN") } } });
    Net net(root);
    net.begin();
    NetSession &s = net.session;
    const QDate today = root.clock().today();
    auto later = [&root](int minutes) { root.clock().advanceSeconds(60 * minutes); };
    later(2);
    (void)s.typedCheckin("K4AA", today);
    later(1);
    (void)s.typedCheckin("W9ZZ", today);
    (void)s.typedCheckin("W5TX", today);
    later(3);
    s.countTraffic(true);
    s.countTraffic(true);
    (void)s.deleteCheckin("K4AA ANN");
    later(10);
    net.editor.startAdd();
    (void)net.editor.save({ "W4NEW", "NED", "LEE", "", "AUBURN" }, QString(), today);
    later(26);
    const Result<QString> name = net.journal.finish();
    QVERIFY2(name.ok(), qPrintable(name.error()));
    QCOMPARE(name.value(), QString("2026-03-10-1900"));
    QVERIFY(!QFileInfo::exists(root.paths().sessionJournal()));

    QCOMPARE(QString::fromUtf8(FileBytes(root.paths().netReport(name.value()))),
        QString("NET REPORT\n"
                "NET DATE:     3/10/2026\n"
                "START:        19:00\n"
                "END:          19:42\n"
                "QTR:          42 MINUTES\n"
                "QNI:          2\n"
                "QTC:          2\n"
                "NET CONTROL:  BOB K4XYZ\n"
                "\n"
                "CHECK INS\n"
                "TIME  CALL   NAME            COUNTY/STATE    CITY\n"
                "19:03 W5TX   TEX             TEXAS           AUSTIN\n"
                "19:16 W4NEW  NED             LEE             AUBURN\n"
                "\n"
                "NON LISTED STATIONS\n"
                "W9ZZ\n"));
    const QString log = QString::fromUtf8(FileBytes(root.paths().sessionLog(name.value())));
    QStringList lines = log.split('\n');
    QCOMPARE(lines.takeLast(), QString());
    // The checksum at the end of each line is the line's own; the rest is the golden text.
    for (QString &line : lines)
        line = line.section('\t', 0, -2);
    QCOMPARE(lines,
        QStringList({
            "start\t2026-03-10T19:00:00\tBOB\tK4XYZ\tEARLY",
            "checkin\t2026-03-10T19:02:00\t1\tK4AA\tLee.dat\t1\tANN\tLEE\tOPELIKA\ttyped\tK4AA ANN "
            "LEE OPELIKA",
            "nonlisted\t2026-03-10T19:03:00\tW9ZZ",
            "checkin\t2026-03-10T19:03:00\t2\tW5TX\tTexas.dat\t1\tTEX\tTEXAS\tAUSTIN\ttyped\tW5TX "
            "TEX TEXAS AUSTIN",
            "traffic\t2026-03-10T19:06:00\tup\t1",
            "traffic\t2026-03-10T19:06:00\tup\t2",
            "takeback\t2026-03-10T19:06:00\t1\tK4AA\tdeleted",
            "newmember\t2026-03-10T19:16:00\tW4NEW\tW4NEW NED LEE AUBURN",
            "checkin\t2026-03-10T19:16:00\t3\tW4NEW\tLee.dat\t3\tNED\tLEE\tAUBURN\tadded\tW4NEW "
            "NED AUBURN",
            "end\t2026-03-10T19:42:00",
        }));

    // Two sessions in one minute keep both logs.
    net.begin();
    QCOMPARE(net.journal.finish().value(), QString("2026-03-10-1942"));
    net.begin();
    QCOMPARE(net.journal.finish().value(), QString("2026-03-10-1942-2"));
}

void TestSessionJournal::checkinLogReadsBackAsCsv()
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        QSKIP("no python3 to read the CSV with");
    // Written by another program: a comma and quotes in the fields.
    TestRoot root({ { "LEE",
        { Station("K4AA", "SMITH, JR", "", "", "\"BIG\" SPRING"), Station("K4BB", "O'NEIL") } } });
    Net net(root);
    net.begin();
    const QDate today = root.clock().today();
    (void)net.session.typedCheckin("K4AA", today);
    root.clock().advanceSeconds(75);
    (void)net.session.chooseEntry("LEE", today, true);
    (void)net.session.memberLineClick(2, today, true, "ding");
    const QString csv = root.root() + "/checkins.csv";
    QVERIFY(WriteFileAtomically(csv, CheckinCsv(net.journal.state())).ok());

    QProcess reader;
    reader.start(python,
        { "-c",
            "import csv, json, sys\n"
            "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
            "    print(json.dumps(list(csv.reader(f, strict=True))))",
            csv });
    QVERIFY(reader.waitForFinished());
    QCOMPARE(reader.exitCode(), 0);
    const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    QStringList read;
    for (const QJsonValue &row : rows)
        read << row.toVariant().toStringList().join('|');
    QCOMPARE(read,
        QStringList(
            { "time|call|name|county|city|kind", "19:00:00|K4AA|SMITH, JR|LEE|\"BIG\" SPRING|typed",
                "19:01:15|K4BB|O'NEIL|LEE||clicked" }));
}

QTEST_GUILESS_MAIN(TestSessionJournal)
#include "tst_sessionjournal.moc"
