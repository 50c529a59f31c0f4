#include "failingfs.h"
#include "maintenance/membereditor.h"
#include "session/netreport.h"
#include "session/netsession.h"
#include "session/retiredarchive.h"
#include "session/sessionjournal.h"
#include "stationdb/atomicfile.h"
#include "stationdb/crc32.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
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

// A journal line as it is written: "|" stands for a tab, the checksum is added.
QByteArray Sealed(const QString &fields)
{
    return SealedJournalLine(fields);
}

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
    void fieldsAreCheckedBeforeReplay_data();
    void fieldsAreCheckedBeforeReplay();
    void lastFileWriteIsUnconfirmed_data();
    void lastFileWriteIsUnconfirmed();
    void tornAndDamagedLinesAreSkipped();
    void onlyTheTablesStationFilesAreNamed_data();
    void mutatedJournalsAreReadSafely();
    void noMemberLeavesUnkept();
    void retiredStationsFileIsReadWithCare_data();
    void retiredStationsFileIsReadWithCare();
    void onlyTheTablesStationFilesAreNamed();
    void sessionWhoseStartLineWasLost();
    void replayRebuildsEveryKindOfChange();
    void replayedStateOfEvents_data();
    void replayedStateOfEvents();
    void logAndNetReportOfAScriptedNet();
    void checkinLogReadsBackAsCsv();
    void netReportTellsTheEnd_data();
    void netReportTellsTheEnd();
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
    // Each kind of event that can be taken back names it.
    for (const Kind kind : { Kind::Checkin, Kind::NewMember, Kind::CallChanged }) {
        SessionEvent undone = Event(Kind::Undone);
        undone.undone = kind;
        undone.entry = 3;
        undone.call = "K4ABC";
        undone.newCall = "AB4ABC";
        const std::optional<SessionEvent> back = DecodeEvent(EncodeEvent(undone));
        QVERIFY(back && back->undone == kind);
        QCOMPARE(Fields(*back), Fields(undone));
    }
    // A line cut anywhere, or with any one byte changed, is never taken for an event.
    for (qsizetype cut = 0; cut < line.size() - 1; ++cut)
        QVERIFY2(!DecodeEvent(line.left(cut)), qPrintable(QString::number(cut)));
    for (qsizetype at = 0; at < line.size() - 1; ++at) {
        QByteArray damaged = line;
        damaged[at] = damaged[at] == '0' ? '1' : '0';
        QVERIFY2(!DecodeEvent(damaged), qPrintable(QString::number(at)));
    }
}

void TestSessionJournal::fieldsAreCheckedBeforeReplay_data()
{
    // A line with a sound checksum (made by hand or by a faulty version): its fields after
    // the time, "|" for a tab; whether it is taken, and then what it reads as.
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("reads"); // entry/record/count, marked, how
    const QString in = "checkin|2026-03-10T19:04:05|7|K4AA|Lee.dat|";
    QTest::newRow("check-in") << in + "100|ANN|LEE|OPELIKA|added|K4AA" << true << "7/100 0 2";
    QTest::newRow("check-in without record") << in + "|ANN|LEE||typed|" << false << "";
    QTest::newRow("check-in without entry")
        << "checkin|2026-03-10T19:04:05||K4AA|Lee.dat|1|ANN|LEE||typed|" << false << "";
    QTest::newRow("check-in made no known way") << in + "1|ANN|LEE||walked|" << false << "";
    QTest::newRow("check-in short of a field") << in + "1|ANN|LEE||typed" << false << "";
    QTest::newRow("freed") << "takeback|2026-03-10T19:04:05|3|K4AA|freed" << true << "3 0 0";
    QTest::newRow("deleted") << "takeback|2026-03-10T19:04:05|3|K4AA|deleted" << true << "3 1 0";
    QTest::newRow("taken back neither way")
        << "takeback|2026-03-10T19:04:05|3|K4AA|gone" << false << "";
    QTest::newRow("take-back without entry")
        << "takeback|2026-03-10T19:04:05||K4AA|freed" << false << "";
    QTest::newRow("traffic down") << "traffic|2026-03-10T19:04:05|down|4" << true << "4 0 0";
    QTest::newRow("traffic against a station")
        << "traffic|2026-03-10T19:04:05|up|5|K4AA" << true << "5 1 0";
    QTest::newRow("traffic sideways") << "traffic|2026-03-10T19:04:05|left|5" << false << "";
    QTest::newRow("traffic uncounted") << "traffic|2026-03-10T19:04:05|up|" << false << "";
    QTest::newRow("alternate") << "netcontrol|2026-03-10T19:04:05|AL|K4AL|alternate" << true
                               << "0 1 0";
    QTest::newRow("regular") << "netcontrol|2026-03-10T19:04:05|AL|K4AL|regular" << true << "0 0 0";
    QTest::newRow("net control of no kind")
        << "netcontrol|2026-03-10T19:04:05|AL|K4AL|deputy" << false << "";
    QTest::newRow("call change without entry")
        << "callchanged|2026-03-10T19:04:05||K4AA|AB4AA" << false << "";
    QTest::newRow("edit without record")
        << "memberedited|2026-03-10T19:04:05|Lee.dat||K4AA|ANN|LEE|" << false << "";
    QTest::newRow("undone new member")
        << "undone|2026-03-10T19:04:05|newmember|0|K4AA|" << true << "0 0 0";
    QTest::newRow("undone call change")
        << "undone|2026-03-10T19:04:05|callchanged|2|K4AA|AB4AA" << true << "2 0 0";
    QTest::newRow("undone traffic") << "undone|2026-03-10T19:04:05|traffic|2|K4AA|" << false << "";
    QTest::newRow("undone without entry")
        << "undone|2026-03-10T19:04:05|checkin||K4AA|" << false << "";
    QTest::newRow("no time") << "clear|" << false << "";
    QTest::newRow("unknown kind") << "cleared|2026-03-10T19:04:05" << false << "";
    QTest::newRow("escape of nothing") << "nonlisted|2026-03-10T19:04:05|W9\\q" << false << "";
}

void TestSessionJournal::fieldsAreCheckedBeforeReplay()
{
    QFETCH(QString, line);
    QFETCH(bool, taken);
    QFETCH(QString, reads);
    const std::optional<SessionEvent> e = DecodeEvent(Sealed(line));
    QCOMPARE(e.has_value(), taken);
    if (!e)
        return;
    const QString number = e->kind == Kind::Checkin ? QString("%1/%2").arg(e->entry).arg(e->record)
        : e->kind == Kind::Traffic                  ? QString::number(e->count)
                                                    : QString::number(e->entry);
    QCOMPARE(QString("%1 %2 %3").arg(number).arg(e->marked).arg(int(e->how)), reads);
}

void TestSessionJournal::lastFileWriteIsUnconfirmed_data()
{
    QTest::addColumn<QStringList>("lines"); // after the start line
    QTest::addColumn<int>("unconfirmed"); // the kind of the event; -1: none
    QTest::addColumn<bool>("netEvents");
    const QString at = "|2026-03-10T19:05:00";
    const QString checkin = "checkin" + at + "|1|K4AA|Lee.dat|1|ANN|LEE||typed|";
    const QString resume = "resume" + at;
    QTest::newRow("only started") << QStringList {} << -1 << false;
    QTest::newRow("resumed and ended") << QStringList { resume, "end" + at } << -1 << false;
    QTest::newRow("check-in, resumed")
        << QStringList { checkin, resume } << int(Kind::Checkin) << true;
    QTest::newRow("new member") << QStringList { "newmember" + at + "|W4NEW|W4NEW NED" }
                                << int(Kind::NewMember) << true;
    QTest::newRow("call change") << QStringList { "callchanged" + at + "|1|K4AA|AB4AA" }
                                 << int(Kind::CallChanged) << true;
    QTest::newRow("traffic after a check-in")
        << QStringList { checkin, "traffic" + at + "|up|1" } << -1 << true;
}

void TestSessionJournal::lastFileWriteIsUnconfirmed()
{
    QFETCH(QStringList, lines);
    QFETCH(int, unconfirmed);
    QFETCH(bool, netEvents);
    TestRoot root;
    QDir().mkpath(root.paths().sessionsFolder());
    QByteArray journal = Sealed("start|2026-03-10T19:00:00|BOB|K4XYZ|EARLY");
    for (const QString &line : lines)
        journal += Sealed(line);
    QVERIFY(WriteFileAtomically(root.paths().sessionJournal(), journal).ok());
    const PendingSession pending = ReadPendingSession(root.paths());
    QCOMPARE(pending.unconfirmed ? int(pending.unconfirmed->kind) : -1, unconfirmed);
    QCOMPARE(pending.hasNetEvents, netEvents);
}

void TestSessionJournal::retiredStationsFileIsReadWithCare_data()
{
    const StationRecord john = Station("W4XYZ", "JOHN", "BALDWIN", "", "FOLEY", "3/1/2024");
    const QByteArray good = RetiredArchiveLine(QDate(2025, 3, 9), false, "Baldwin.dat", 4, john);
    QByteArray bytes = john.toBytes();
    bytes.replace(20, 1, "\t"); // a tab inside the record is the record's
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("record"); // the record found for W4XYZ; 0 none
    QTest::newRow("kept") << good << 4;
    QTest::newRow("the latest of two")
        << good + RetiredArchiveLine(QDate(2026, 1, 2), true, "Baldwin.dat", 7, john) << 7;
    QTest::newRow("another call only")
        << RetiredArchiveLine(QDate(2025, 3, 9), false, "Baldwin.dat", 4, Station("W4XY")) << 0;
    QTest::newRow("record with a tab") << "2025-03-09\tretired\tBaldwin.dat\t5\t" + bytes + "\n"
                                       << 5;
    QTest::newRow("a line without its end") << good.chopped(1) << 0;
    for (const char *field :
        { "2025-02-30", "gone", "../../etc/passwd", "Baldwin.txt", "0", "101", "x" }) {
        QList<QByteArray> f = good.split('\t');
        const int n = QByteArray(field).front() == '2' ? 0
            : QByteArray(field) == "gone"              ? 1
            : QByteArray(field).contains('.')          ? 2
                                                       : 3;
        f[n] = field;
        QTest::newRow(field) << f.join('\t') << 0;
    }
    QTest::newRow("record cut short") << good.left(good.size() - 3) + "\n" << 0;
    // A line of 2 MB is read through, never held; the line after it counts.
    QTest::newRow("2 MB line, then a kept one") << QByteArray(2 << 20, 'W') + "\n" + good << 4;
    QTest::newRow("2 MB line glued to a kept one") << QByteArray(2 << 20, 'W') + good << 0;
}

void TestSessionJournal::retiredStationsFileIsReadWithCare()
{
    QFETCH(QByteArray, file);
    QFETCH(int, record);
    TestRoot root;
    const QString path = root.paths().retiredStationsFile();
    QVERIFY(WriteFileAtomically(path, file));
    const std::optional<ArchivedStation> found = FindArchivedStation(path, "W4XYZ");
    QCOMPARE(found ? found->record : 0, record);
    if (found) {
        QCOMPARE(found->station.trimmed().Name, QString("JOHN"));
        QCOMPARE(ArchivedOfferText(*found, root.table()),
            QString("W4XYZ %1 FROM BALDWIN - CTRL+ENTER RESTORES AND CHECKS IN")
                .arg(found->deleted ? "DELETED 1/2/2026" : "RETIRED 3/9/2025"));
    }
}

void TestSessionJournal::sessionWhoseStartLineWasLost()
{
    // A full disk at the start: the check-ins that followed are still a session to resume,
    // which started with the first of them. A journal of nothing at all holds none.
    TestRoot root;
    QDir().mkpath(root.paths().sessionsFolder());
    const QString journal = root.paths().sessionJournal();
    QVERIFY(WriteFileAtomically(journal, "").ok());
    QCOMPARE(ReadPendingSession(root.paths()).kind, PendingSession::None);
    QVERIFY(WriteFileAtomically(journal,
        Sealed("checkin|2026-03-10T19:05:00|1|K4AA|Lee.dat|1|ANN|LEE||typed|")
            + Sealed("traffic|2026-03-10T19:06:00|up|1"))
                .ok());
    const PendingSession pending = ReadPendingSession(root.paths());
    QCOMPARE(pending.kind, PendingSession::Unfinished);
    QCOMPARE(pending.state.start, QDateTime(QDate(2026, 3, 10), QTime(19, 5)));
    QCOMPARE(pending.state.checkinCount(), 1);
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

void TestSessionJournal::onlyTheTablesStationFilesAreNamed_data()
{
    // A journal anything may have written: a check-in or an edit names a station file of
    // the table and a record of it, or its line is skipped and named.
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("skipped"); // empty: taken
    const QString at = "|2026-03-10T19:05:00|";
    const QString checkin = "checkin" + at + "2|K4BB|";
    QTest::newRow("a station file") << checkin + "Lee.dat|100|BEN|LEE||typed|K4BB"
                                    << "";
    QTest::newRow("out of the data folder")
        << checkin + "../../../escape/victim.dat|1|BEN|LEE||typed|K4BB"
        << "LINE 3: NO STATION FILE ../../../escape/victim.dat";
    QTest::newRow("a full path") << checkin + "/etc/passwd|1|BEN|LEE||typed|K4BB"
                                 << "LINE 3: NO STATION FILE /etc/passwd";
    QTest::newRow("a name in another case") << checkin + "LEE.DAT|1|BEN|LEE||typed|K4BB"
                                            << "LINE 3: NO STATION FILE LEE.DAT";
    QTest::newRow("a control character, a long name")
        << checkin + "Lee.dat\\t" + QString(60, 'x') + "|1|BEN|LEE||typed|K4BB"
        << "LINE 3: NO STATION FILE Lee.dat?" + QString(32, 'x') + "...";
    QTest::newRow("record 0") << checkin + "Lee.dat|0|BEN|LEE||typed|K4BB"
                              << "LINE 3: NO RECORD 0 IN Lee.dat";
    QTest::newRow("record 101") << checkin + "Lee.dat|101|BEN|LEE||typed|K4BB"
                                << "LINE 3: NO RECORD 101 IN Lee.dat";
    QTest::newRow("an edit of another file") << "memberedited" + at + "../Lee.dat|1|K4BB|BEN|LEE|"
                                             << "LINE 3: NO STATION FILE ../Lee.dat";
    QTest::newRow("a damaged line") << "checkin" + at + "\x01"
                                    << "LINE 3: DAMAGED (29 BYTES)";
}

void TestSessionJournal::onlyTheTablesStationFilesAreNamed()
{
    QFETCH(QString, line);
    QFETCH(QString, skipped);
    TestRoot root;
    QDir().mkpath(root.paths().sessionsFolder());
    QByteArray journal = Sealed("start|2026-03-10T19:00:00|BOB|K4XYZ|EARLY")
        + Sealed("checkin|2026-03-10T19:04:00|1|K4AA|Lee.dat|1|ANN|LEE||typed|K4AA");
    journal += line.startsWith("checkin|2026-03-10T19:05:00|\x01") ? line.toUtf8() + '\n'
                                                                   : Sealed(line);
    journal += Sealed("traffic|2026-03-10T19:06:00|up|1");
    QVERIFY(WriteFileAtomically(root.paths().sessionJournal(), journal).ok());
    const PendingSession pending = ReadPendingSession(root.paths());
    QCOMPARE(pending.kind, PendingSession::Unfinished);
    QCOMPARE(pending.skipped, skipped.isEmpty() ? QStringList() : QStringList { skipped });
    QCOMPARE(pending.skippedLines, skipped.isEmpty() ? 0 : 1);
    // Nothing else of the session is lost.
    QCOMPARE(pending.state.checkinCount(), skipped.isEmpty() ? 2 : 1);
    QCOMPARE(pending.state.traffic, 1);
    // A file far larger than any net's journal is not read at all.
    QFile file(root.paths().sessionJournal());
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.resize(MaxJournalBytes + 1));
    file.close();
    const PendingSession huge = ReadPendingSession(root.paths());
    QCOMPARE(huge.kind, PendingSession::Unreadable);
    QVERIFY2(huge.unreadable.error().startsWith(root.paths().sessionJournal() + ": over 8 MB"),
        qPrintable(huge.unreadable.error()));
}

void TestSessionJournal::mutatedJournalsAreReadSafely()
{
    // Journals a bad sync or a hand edit could leave, each line sealed again so that its
    // changed fields reach the replay: none may stop it, and what is replayed names only
    // station files of the table and their records.
    const QStringList events = { "start|2026-03-10T19:00:00|BOB|K4XYZ|EARLY",
        "checkin|2026-03-10T19:01:00|1|K4AA|Lee.dat|1|ANN|LEE|OPELIKA|typed|K4AA",
        "checkin|2026-03-10T19:02:00|2|K4BB|Texas.dat|100|BEN|TEXAS||clicked|",
        "traffic|2026-03-10T19:03:00|up|1|K4AA", "nonlisted|2026-03-10T19:03:00|W9ZZ",
        "takeback|2026-03-10T19:04:00|2|K4BB|deleted",
        "callchanged|2026-03-10T19:05:00|1|K4AA|AB4AA", "newmember|2026-03-10T19:05:00|W4N|W4N NED",
        "memberedited|2026-03-10T19:06:00|Lee.dat|1|AB4AA|ANN|LEE|AUBURN",
        "netcontrol|2026-03-10T19:06:00|AL|K4AL|alternate",
        "undone|2026-03-10T19:07:00|checkin|1|AB4AA|", "end|2026-03-10T19:08:00" };
    TestRoot root;
    QDir().mkpath(root.paths().sessionsFolder());
    QRandomGenerator random(33);
    const QByteArray pieces[] = { "\t", "\\", "|", "..", "/", "0", "-1", "101", "99999999999",
        "Lee.dat", "../Lee.dat", QByteArray(1, '\0'), "\xff\xfe" };
    for (int run = 0; run < SlowTestRuns(3000); ++run) {
        QByteArray journal;
        for (const QString &event : events) {
            QByteArray body = event.toUtf8().replace('|', '\t');
            for (int m = random.bounded(3); m > 0; --m) {
                const qsizetype at = random.bounded(int(body.size()));
                if (random.bounded(2))
                    body.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
                else
                    body.remove(at, random.bounded(1, 6));
            }
            journal += random.bounded(10) == 0
                ? body + '\n'
                : body + '\t' + QByteArray::number(Crc32(body), 16).rightJustified(8, '0') + '\n';
        }
        QVERIFY(WriteFileAtomically(root.paths().sessionJournal(), journal).ok());
        const PendingSession pending = ReadPendingSession(root.paths());
        QVERIFY(pending.kind != PendingSession::Unreadable);
        QVERIFY(pending.skipped.size() <= 5);
        for (const SessionCheckin &c : pending.state.checkins) {
            QVERIFY2(CountyTable::isDataFileName(c.file), qPrintable(c.file));
            QVERIFY(c.record >= 1 && c.record <= RecordsPerFile);
        }
        if (pending.unconfirmed && pending.unconfirmed->kind == Kind::Checkin)
            QVERIFY(CountyTable::isDataFileName(pending.unconfirmed->file));
    }
}

void TestSessionJournal::noMemberLeavesUnkept()
{
    // The retired-stations file cannot be written: no record is retired or deleted, since
    // its station file would then hold the only copy nowhere.
    TestRoot root({ { "LEE",
        { Station("K4OLD", "OLIVER", "LEE", "", "OPELIKA", "3/1/2024"),
            Station("K4BB", "BEN") } } });
    Net net(root);
    NetSession &s = net.session;
    s.setRetiredArchive(root.paths().retiredStationsFile());
    QDir().mkpath(root.paths().programFolder());
    const QByteArray before = root.stationBytes("LEE");
    {
        FullDisk full(root.paths().programFolder());
        QVERIFY2(full.isFull(), "no way to fill a file system here");
        const CountyChoice choice = s.chooseEntry("LEE", root.clock().today(), true);
        QCOMPARE(choice.status.value_or(QString()), QString("K4OLD NOT RETIRED - FILE ERROR"));
        QVERIFY(choice.retired.isEmpty());
        QVERIFY(net.editor.remove(RecordOf(s, "K4BB"), root.clock().today()).sound.size() > 0);
    }
    QCOMPARE(root.stationBytes("LEE"), before);
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
    // A member the operator deleted is no retirement to offer back in DELETED STATIONS.
    QVERIFY(resumed.standingRetired().first.isEmpty());
    // Lines only for typed and added check-ins; the renamed one shows its new call. The
    // county chosen last is where the net was; the early list had only what came before.
    QStringList lines;
    for (const SessionCheckin &c : pending.state.checkins)
        lines << c.line;
    QCOMPARE(lines.join('/'), "AB4AA ANN LEE OPELIKA///W4NEW NED LEE AUBURN");
    QCOMPARE(pending.state.mode, "LEE");
    QCOMPARE(pending.state.linesSinceMode(), QStringList { "W4NEW NED LEE AUBURN" });
}

void TestSessionJournal::replayedStateOfEvents_data()
{
    // Journal lines after the time ("|" for a tab), and the state they leave: the table's
    // taken entries (fields apart by "/"), the standing check-ins, the traffic and its stations,
    // the non-listed calls still unknown, the new members, the standing check-ins' names.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("state");
    const QString in1 = "checkin|1|K4AA|Lee.dat|1|ANN|LEE||typed|K4AA ANN";
    const QString in150 = "checkin|150|K4ZZ|Lee.dat|2|ZED|LEE||clicked|";
    QTest::newRow("entries 1 and 150")
        << QStringList { in1, in150 } << "1=K4AA 150=K4ZZ/K4AA:K4AA ANN K4ZZ/0////ANN ZED";
    QTest::newRow("entries 0 and 151 are none") << QStringList {
        "checkin|0|K4AA|Lee.dat|1|ANN|LEE||typed|", "checkin|151|K4AA|Lee.dat|1|ANN|LEE||typed|",
        "takeback|151|K4AA|deleted", "callchanged|151|K4AA|AB4AA"
    } << "//0////";
    QTest::newRow("taken back: freed, deleted")
        << QStringList { in1, in150, "takeback|1|K4AA|freed", "takeback|150|K4ZZ|deleted" }
        << "150=DELETED//0////";
    QTest::newRow("an entry taken again") << QStringList { in1, "takeback|1|K4AA|freed",
        "checkin|1|K4BB|Lee.dat|2|BEN|LEE||clicked|" }
                                          << "1=K4BB/K4BB/0////BEN";
    QTest::newRow("check-in undone") << QStringList { in1, "undone|checkin|1|K4AA|" } << "//0////";
    QTest::newRow("undone, but the entry holds another call")
        << QStringList { in1, "undone|checkin|1|K4BB|", "undone|callchanged|1|K4BB|AB4BB" }
        << "1=K4AA/K4AA:K4AA ANN/0////ANN";
    QTest::newRow("call change and its undoing") << QStringList { in1, "callchanged|1|K4AA|AB4AA",
        "undone|callchanged|1|K4AA|AB4AA" } << "1=K4AA/K4AA:K4AA ANN/0////ANN";
    QTest::newRow("call change renames the line")
        << QStringList { in1, "callchanged|1|K4AA|AB4AA" } << "1=AB4AA/AB4AA:AB4AA ANN/0////ANN";
    QTest::newRow("traffic against stations") << QStringList { "traffic|up|1|K4AA",
        "traffic|up|2|K4BB", "traffic|up|3|K4AA", "traffic|down|2|K4BB", "traffic|up|3" }
                                              << "//3/K4AA=2///";
    QTest::newRow("traffic never below 0") << QStringList { "traffic|down|-1" } << "//0////";
    QTest::newRow("non-listed, then known") << QStringList { "nonlisted|W9ZZ", "nonlisted|W9YY",
        "nonlisted|W9ZZ", "checkin|2|W9YY|Texas.dat|1|YY|||added|", "callchanged|2|W9YY|W9ZZ" }
                                            << "2=W9ZZ/W9ZZ/0////YY";
    QTest::newRow("member edited: its own check-in only")
        << QStringList { in1, "checkin|2|K4BB|Lee.dat|2|BEN|LEE||clicked|",
               "memberedited|Lee.dat|2|K4BB|BENNY|LEE|", "memberedited|Lee.dat|1|K4ZZ|ZED|LEE|" }
        << "1=K4AA 2=K4BB/K4AA:K4AA ANN K4BB/0////ANN BENNY";
    QTest::newRow("cleared") << QStringList { "nonlisted|W9ZZ", "clear" } << "//0////";
    QTest::newRow("new members, the last of a call undone")
        << QStringList { "newmember|W4NEW|W4NEW NED", "newmember|W4OLD|W4OLD OLA",
               "newmember|W4NEW|W4NEW NED AUBURN", "undone|newmember|0|W4NEW|" }
        << "//0///W4NEW NED,W4OLD OLA/";
}

void TestSessionJournal::replayedStateOfEvents()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, state);
    QList<SessionEvent> events;
    for (const QString &fields : std::as_const(lines)) {
        const qsizetype bar = fields.indexOf(u'|');
        const QString line = bar < 0 ? fields + "|2026-03-10T19:04:05"
                                     : fields.left(bar) + "|2026-03-10T19:04:05" + fields.mid(bar);
        const std::optional<SessionEvent> e = DecodeEvent(Sealed(line));
        QVERIFY2(e, qPrintable(line));
        events << *e;
    }
    const SessionState s = ReplayEvents(events);
    QStringList entries, standing, stations, names;
    for (int k = 0; k <= CheckinTable::Last + 1; ++k) {
        if (!s.table.entry(k).isEmpty())
            entries << QString("%1=%2").arg(k).arg(s.table.entry(k));
    }
    for (const SessionCheckin &c : s.checkins) {
        standing << (c.line.isEmpty() ? c.call : c.call + ":" + c.line);
        names << c.name;
    }
    for (const auto &[call, count] : s.trafficByStation)
        stations << QString("%1=%2").arg(call).arg(count);
    QCOMPARE(QString("%1/%2/%3/%4/%5/%6/%7")
                 .arg(entries.join(' '), standing.join(' '))
                 .arg(s.traffic)
                 .arg(stations.join(' '), s.nonListedStanding.join(' '), s.newMembers.join(','),
                     names.join(' ')),
        state);
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
                "TRAFFIC BY STATION\n"
                "UNASSIGNED 2\n"
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
            "NED LEE AUBURN",
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
        QStringList({ "time|call|name|county|city|kind|net control|traffic",
            "19:00:00|K4AA|SMITH, JR|LEE|\"BIG\" SPRING|typed|BOB K4XYZ|0",
            "19:01:15|K4BB|O'NEIL|LEE||clicked|BOB K4XYZ|0" }));
}

void TestSessionJournal::netReportTellsTheEnd_data()
{
    // A net as steps: "type CALL", "wait MINUTES", "alt NAME CALL" and "regular NAME CALL"
    // (the roster's OK), "choose COUNTY", "edit CALL CITY", "add CALL", "clear", "traffic
    // CALL" and "untraffic CALL" (a count up and down with the call's line selected; "-":
    // none selected).
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("netControl"); // the report's line
    QTest::addColumn<QString>("checkins"); // the report's check-in lines, joined by "|"
    QTest::addColumn<QString>("nonListed");
    QTest::addColumn<QString>("csvNetControls"); // the CSV's net control and traffic, by row
    QTest::addColumn<QString>("traffic"); // QTC, then TRAFFIC BY STATION, joined by "|"
    QTest::newRow("the roster's net control all night")
        << "type K4AA"
        << "BOB K4XYZ"
        << "19:00 K4AA   ANN             LEE             OPELIKA"
        << "NONE"
        << "BOB K4XYZ,0"
        << "0|NONE";
    QTest::newRow("an alternate takes over after the first check-in")
        << "type K4AA;wait 5;alt WALT K4WLT;type K4BB"
        << "WALT K4WLT (ALT NET CONTROL FROM 19:05, IN PLACE OF BOB K4XYZ)"
        << "19:00 K4AA   ANN             LEE             OPELIKA|19:05 K4BB   BEN             LEE"
        << "NONE"
        << "BOB K4XYZ,0|WALT K4WLT,0"
        << "0|NONE";
    QTest::newRow("the regular one chosen again")
        << "alt WALT K4WLT;wait 3;regular BOB K4XYZ;type K4BB"
        << "BOB K4XYZ"
        << "19:03 K4BB   BEN             LEE"
        << "NONE"
        << "BOB K4XYZ,0"
        << "0|NONE";
    QTest::newRow("a member edited after checking in shows as edited")
        << "type K4BB;choose LEE;wait 2;edit K4BB ROANOKE"
        << "BOB K4XYZ"
        << "19:00 K4BB   BEN             LEE             ROANOKE"
        << "NONE"
        << "BOB K4XYZ,0"
        << "0|NONE";
    QTest::newRow("unknown calls since added or cleared are gone")
        << "type W9ZZ;type W9YY;type W9XX;type W9YY;add W9ZZ;clear;type W9WW;type W9XX"
        << "BOB K4XYZ"
        << "19:00 W9ZZ   NED             LEE             AUBURN"
        << "W9WW|W9XX"
        << "BOB K4XYZ,0"
        << "0|NONE";
    QTest::newRow("traffic counted against stations")
        << "type K4AA;type K4BB;traffic K4BB;traffic -;traffic K4AA;traffic K4BB;traffic "
           "K4AA;untraffic K4AA;untraffic K4AA;traffic K4BB"
        << "BOB K4XYZ"
        << "19:00 K4AA   ANN             LEE             OPELIKA|19:00 K4BB   BEN             LEE"
        << "NONE"
        << "BOB K4XYZ,0|BOB K4XYZ,3"
        << "4|K4BB   3|UNASSIGNED 1";
    QTest::newRow("a take-back leaves its traffic unassigned; a count down takes that first")
        << "type K4AA;type K4BB;traffic K4AA;traffic K4AA;traffic K4BB;takeback K4AA;untraffic -"
        << "BOB K4XYZ"
        << "19:00 K4BB   BEN             LEE"
        << "NONE"
        << "BOB K4XYZ,1"
        << "2|K4BB   1|UNASSIGNED 1";
    QTest::newRow("counted down past the unassigned: off the station counted last")
        << "type K4AA;type K4BB;traffic K4AA;traffic K4BB;traffic -;untraffic -;untraffic -"
        << "BOB K4XYZ"
        << "19:00 K4AA   ANN             LEE             OPELIKA|19:00 K4BB   BEN             LEE"
        << "NONE"
        << "BOB K4XYZ,1|BOB K4XYZ,0"
        << "1|K4AA   1";
}

void TestSessionJournal::netReportTellsTheEnd()
{
    QFETCH(QString, steps);
    TestRoot root(
        { { "LEE", { Station("K4AA", "ANN", "", "", "OPELIKA"), Station("K4BB", "BEN") } } });
    Net net(root);
    net.begin();
    NetSession &s = net.session;
    const QDate today = root.clock().today();
    for (const QString &step : steps.split(';')) {
        const QStringList w = step.split(' ');
        if (w[0] == "type") {
            (void)s.typedCheckin(w[1], today);
        } else if (w[0] == "wait") {
            root.clock().advanceSeconds(60 * w[1].toInt());
        } else if (w[0] == "alt" || w[0] == "regular") {
            s.netControlChosen(w[1], w[2], w[0] == "alt");
        } else if (w[0] == "choose") {
            (void)s.chooseEntry(w[1], today, true);
        } else if (w[0] == "edit") {
            const Result<MemberFields> fields = net.editor.startEdit(RecordOf(s, w[1]));
            QVERIFY(fields.ok());
            MemberFields edited = fields.value();
            edited.city = w[2];
            QCOMPARE(net.editor.save(edited, QString(), today).status.value_or(QString()),
                "RECORD UPDATED");
        } else if (w[0] == "traffic" || w[0] == "untraffic") {
            s.countTraffic(w[0] == "traffic", w[1] == "-" ? QString() : w[1]);
        } else if (w[0] == "takeback") {
            (void)s.deleteCheckin(w[1] + " -");
        } else if (w[0] == "add") {
            net.editor.startAdd();
            (void)net.editor.save({ w[1], "NED", "LEE", "", "AUBURN" }, QString(), today);
        } else {
            QCOMPARE(w[0], "clear");
            s.clearNonListed();
        }
    }
    const QString csv = QString::fromUtf8(CheckinCsv(net.journal.state()));
    const Result<QString> name = net.journal.finish();
    QVERIFY2(name.ok(), qPrintable(name.error()));
    // The file's report and one made again from the log alike.
    const QString report = QString::fromUtf8(FileBytes(root.paths().netReport(name.value())));
    QFile::remove(root.paths().netReport(name.value()));
    QCOMPARE(NetReportOf(root.paths(), name.value()).value(), report);

    QFETCH(QString, netControl);
    QFETCH(QString, checkins);
    QFETCH(QString, nonListed);
    QFETCH(QString, csvNetControls);
    QFETCH(QString, traffic);
    const QStringList lines = report.split('\n');
    QCOMPARE(lines[7], "NET CONTROL:  " + netControl);
    const qsizetype byStation = lines.indexOf("TRAFFIC BY STATION");
    const qsizetype listed = lines.indexOf("NON LISTED STATIONS");
    QCOMPARE(lines.mid(11, byStation - 12).join('|'), checkins);
    QCOMPARE(lines[6].mid(14) + '|' + lines.mid(byStation + 1, listed - byStation - 2).join('|'),
        traffic);
    QCOMPARE(lines.mid(listed + 1, lines.size() - listed - 2).join('|'), nonListed);
    QStringList csvLast;
    for (const QString &row : csv.split("\r\n", Qt::SkipEmptyParts).mid(1))
        csvLast << row.section(',', -2);
    QCOMPARE(csvLast.join('|'), csvNetControls);
}

QTEST_GUILESS_MAIN(TestSessionJournal)
#include "tst_sessionjournal.moc"
