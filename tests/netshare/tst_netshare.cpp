#include "failingfs.h"
#include "maintenance/memberops.h"
#include "netshare/netmonth.h"
#include "netshare/netshare.h"
#include "session/countyview.h"
#include "session/netreport.h"
#include "session/retiredarchive.h"
#include "session/sessionjournal.h"
#include "stationdb/atomicfile.h"
#include "stationdb/crc32.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Three program roots sharing one net folder, as three PCs whose folders a sync engine
// keeps the same (here the folder is simply the same one).
class TestNetShare : public QObject
{
    Q_OBJECT

private slots:
    void changesReachTheOthers_data();
    void changesReachTheOthers();
    void sameRecordChangedOnTwoIsAConflict_data();
    void sameRecordChangedOnTwoIsAConflict();
    void membersAddedIntoOneSlotOnTwoBothStay();
    void eventsAppliedOnce();
    void aLongBacklogArrivesInSteps();
    void appliedChangesHideNoStation_data();
    void appliedChangesHideNoStation();
    void hostileLinesRefusedByName_data();
    void hostileLinesRefusedByName();
    void netMonthCountsEachSessionOnce();
    void sharedStationIdTold();
    void unwritableNetFolderKeepsTheChanges();
    void aChangeItsDiskRefusedIsTakenBack();
    void plantedLinksCarryNoWrite();
    void damagedConflictsFileIsPassedOver();
};

namespace {

const QDate kToday(2026, 12, 8);
const QString kCounty = QStringLiteral("BALDWIN");

// One PC: its program root and its sharing.
struct Pc
{
    Pc(const QString &net, const QString &id)
        : root({ { kCounty,
                   { Station(QStringLiteral("W4AAA"), QStringLiteral("ANN"), kCounty, QString(),
                         QStringLiteral("FOLEY"), QStringLiteral("11/01/2026")),
                       Station(QStringLiteral("W4OLD"), QStringLiteral("OLAF"), kCounty, QString(),
                           QStringLiteral("DAPHNE"), QStringLiteral("01/05/2025")),
                       EndMarker() } } },
            { { QStringLiteral("Net"), QStringLiteral("Folder"), net },
                { QStringLiteral("Net"), QStringLiteral("Station"), id },
                { QStringLiteral("Net"), QStringLiteral("Name"),
                    id + QStringLiteral(" OPERATOR") } },
            QDateTime(kToday, QTime(19, 0)))
        , share(root.paths(), root.settings(), root.clock())
    {
        QVERIFY(share.start());
    }
    QString file() const { return root.filePath(kCounty); }
    QByteArray bytes() const { return root.stationBytes(kCounty); }
    // The first member's city edited here, as MEMBER INFO's edit does.
    void editCity(const QString &city)
    {
        StationRecord fields = root.record(kCounty, 1).trimmed();
        fields.City = city;
        QVERIFY(EditMemberRecord(file(), 1, fields));
    }

    TestRoot root;
    NetShare share;
};

QString Changes(const QString &net, const QString &id)
{
    return net + u'/' + id + QStringLiteral("/changes.log");
}

// A line of A's log as another program might have written it: sound checksum, any fields.
QByteArray SealedChange(const QByteArray &fields)
{
    const QByteArray body = QByteArray(fields).replace('|', '\t');
    return body + '\t' + QByteArray::number(Crc32(body), 16).rightJustified(8, '0') + '\n';
}

QByteArray Hex(const StationRecord &r)
{
    return r.toBytes().toHex();
}

enum class Change { Add, Edit, CallChange, Delete, Retire, Restore, Heard };

void Make(Change change, Pc &pc)
{
    CurrentMembers members;
    const QString path = pc.file();
    switch (change) {
    case Change::Add:
        QCOMPARE(AddMemberRecord(path,
                     Station(QStringLiteral("K4NEW"), QStringLiteral("NED"), kCounty, QString(),
                         QStringLiteral("SPANISH FORT")),
                     kToday, members)
                     .kind,
            AddResult::Added);
        break;
    case Change::Edit: {
        StationRecord fields = pc.root.record(kCounty, 1).trimmed();
        fields.City = QStringLiteral("GULF SHORES");
        QVERIFY(EditMemberRecord(path, 1, fields));
        break;
    }
    case Change::CallChange:
        QCOMPARE(ChangeMemberCall(path, 1, QStringLiteral("W4AAA"), QStringLiteral("AB4AA")).kind,
            ChangeCallResult::Changed);
        break;
    case Change::Delete:
        QCOMPARE(DeleteMemberRecord(path, 1, QStringLiteral("W4AAA"), kToday).kind,
            DeleteResult::Deleted);
        break;
    case Change::Retire:
        QCOMPARE(ReadCountyView(path, kToday, members).retiredStations.size(), 1);
        break;
    case Change::Restore: {
        QCOMPARE(ReadCountyView(path, kToday, members).retiredStations.size(), 1);
        const RecordChangeNote restoring(QStringLiteral("restore"));
        QCOMPARE(AddMemberRecord(path,
                     Station(QStringLiteral("W4OLD"), QStringLiteral("OLAF"), kCounty, QString(),
                         QStringLiteral("DAPHNE")),
                     kToday, members)
                     .kind,
            AddResult::Added);
        break;
    }
    case Change::Heard: {
        StationFile file(path);
        QVERIFY(file.open());
        StationRecord r = file.read(1);
        r.LastDate = MmDdYyyy(kToday);
        QVERIFY(file.write(1, r));
        break;
    }
    }
}

} // namespace

void TestNetShare::changesReachTheOthers_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("kinds"); // of the lines A's log holds
    QTest::addColumn<QString>("archived"); // the call B keeps as taken out, and how
    QTest::newRow("add (the end marker moves on)") << Change::Add << "add marker"
                                                   << "";
    QTest::newRow("edit") << Change::Edit << "edit"
                          << "";
    QTest::newRow("change of call") << Change::CallChange << "call"
                                    << "";
    QTest::newRow("delete") << Change::Delete << "delete"
                            << "W4AAA deleted";
    QTest::newRow("retire") << Change::Retire << "retire"
                            << "W4OLD retired";
    QTest::newRow("retire then restore") << Change::Restore << "retire restore"
                                         << "W4OLD retired";
    QTest::newRow("heard (a check-in's date)") << Change::Heard << "heard"
                                               << "";
}

void TestNetShare::changesReachTheOthers()
{
    QFETCH(Change, change);
    QFETCH(QString, kinds);
    QFETCH(QString, archived);
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    Pc c(net.path(), QStringLiteral("C-000003"));
    const QByteArray before = a.bytes();
    Make(change, a);
    QVERIFY(a.bytes() != before);

    QStringList logged;
    for (const QByteArray &line :
        FileBytes(Changes(net.path(), QStringLiteral("A-000001"))).split('\n')) {
        if (const Result<ChangeEvent> e = DecodeChange(line))
            logged << e->kind;
    }
    QCOMPARE(logged.join(u' '), kinds);

    // B applies before C looks: the order in which PCs meet does not matter.
    const NetPass passB = b.share.pass();
    QVERIFY(passB.applied > 0);
    QCOMPARE(passB.changedFiles, QStringList { QStringLiteral("Baldwin.dat") });
    QCOMPARE(b.bytes(), a.bytes());
    QCOMPARE(c.share.pass().conflicts, 0);
    QCOMPARE(c.bytes(), a.bytes());
    // A member taken out on A is offered back on B when typed, as one taken out on B is.
    const QString call = archived.section(u' ', 0, 0);
    const std::optional<ArchivedStation> kept
        = FindArchivedStation(b.root.paths().retiredStationsFile(), call);
    QCOMPARE(kept ? call + (kept->deleted ? " deleted" : " retired") : QString(), archived);
    // A never applies its own changes; B's applying told nobody anything new.
    QCOMPARE(a.share.pass().applied, 0);
    QVERIFY(!QFileInfo::exists(Changes(net.path(), QStringLiteral("B-000002"))));
}

void TestNetShare::sameRecordChangedOnTwoIsAConflict_data()
{
    QTest::addColumn<bool>("aTakesTheirs");
    QTest::newRow("A takes B's") << true;
    QTest::newRow("A keeps its own") << false;
}

void TestNetShare::sameRecordChangedOnTwoIsAConflict()
{
    QFETCH(bool, aTakesTheirs);
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    a.editCity(QStringLiteral("MOBILE"));
    b.editCity(QStringLiteral("FAIRHOPE"));
    const QByteArray mineA = a.bytes();
    const QByteArray mineB = b.bytes();

    QCOMPARE(a.share.pass().conflicts, 1);
    QCOMPARE(b.share.pass().conflicts, 1);
    QCOMPARE(a.bytes(), mineA);
    QCOMPARE(b.bytes(), mineB);
    // Meeting again changes nothing: a conflict is told once and kept.
    QCOMPARE(a.share.pass().conflicts, 1);
    const QList<NetConflict> shown = a.share.conflicts();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(
        StationRecord::fromBytes(shown[0].theirs.after).City.trimmed(), QStringLiteral("FAIRHOPE"));
    QCOMPARE(StationRecord::fromBytes(shown[0].mine).City.trimmed(), QStringLiteral("MOBILE"));
    QCOMPARE(shown[0].theirName, QStringLiteral("B-000002 OPERATOR"));

    const QString id = shown[0].theirs.id();
    QVERIFY(aTakesTheirs ? a.share.takeTheirs(id) : a.share.keepMine(id));
    QVERIFY(a.share.conflicts().isEmpty());
    QVERIFY(!a.share.keepMine(id)); // settled is settled
    b.share.pass();
    a.share.pass();
    QVERIFY(b.share.conflicts().isEmpty());
    QVERIFY(a.share.conflicts().isEmpty());
    QCOMPARE(a.bytes(), b.bytes());
    QCOMPARE(a.root.record(kCounty, 1).City.trimmed(),
        aTakesTheirs ? QStringLiteral("FAIRHOPE") : QStringLiteral("MOBILE"));
    // A third PC that joins late meets both edits and the choice: it follows the choice, and
    // the edit it overruled is no conflict there.
    Pc late(net.path(), QStringLiteral("C-000003"));
    QCOMPARE(late.share.pass().conflicts, 0);
    QCOMPARE(late.bytes(), a.bytes());
}

void TestNetShare::membersAddedIntoOneSlotOnTwoBothStay()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    CurrentMembers members;
    QCOMPARE(
        AddMemberRecord(a.file(), Station(QStringLiteral("K4AAA")), kToday, members).record, 3);
    QCOMPARE(
        AddMemberRecord(b.file(), Station(QStringLiteral("K4BBB")), kToday, members).record, 3);
    QCOMPARE(a.share.pass().conflicts, 0);
    QCOMPARE(b.share.pass().conflicts, 0);
    for (Pc *pc : { &a, &b }) {
        StationFile file(pc->file());
        QVERIFY(file.open());
        QVERIFY(FindCallInFile(file, QStringLiteral("K4AAA")) > 0);
        QVERIFY(FindCallInFile(file, QStringLiteral("K4BBB")) > 0);
        QVERIFY(FindCallInFile(file, QStringLiteral("W4OLD")) == 2);
    }
    // An edit of a member that stands in another record on the other PC still finds it.
    StationRecord fields = a.root.record(kCounty, 3).trimmed();
    fields.Name = QStringLiteral("AL");
    QVERIFY(EditMemberRecord(a.file(), 3, fields));
    QCOMPARE(b.share.pass().applied, 1);
    StationFile file(b.file());
    QVERIFY(file.open());
    QCOMPARE(file.read(FindCallInFile(file, QStringLiteral("K4AAA"))).Name.trimmed(),
        QStringLiteral("AL"));
}

void TestNetShare::eventsAppliedOnce()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    Make(Change::Add, a);
    QCOMPARE(b.share.pass().applied, 1);
    // B's operator deletes the new member again; A's add must not bring it back, however
    // often its line reaches B: passed again, in a conflict copy, in a log made anew.
    StationFile file(b.file());
    QVERIFY(file.open());
    const int n = FindCallInFile(file, QStringLiteral("K4NEW"));
    QCOMPARE(DeleteMemberRecord(b.file(), n, QStringLiteral("K4NEW"), kToday).kind,
        DeleteResult::Deleted);
    const QByteArray afterDelete = b.bytes();
    const QString log = Changes(net.path(), QStringLiteral("A-000001"));
    QVERIFY(QFile::copy(log,
        QFileInfo(log).path()
            + QStringLiteral("/changes.sync-conflict-20261208-190501-ABCDEFG.log")));
    QCOMPARE(b.share.pass().applied, 0);
    const QByteArray whole = FileBytes(log);
    QVERIFY(WriteFileAtomically(log, QByteArray()));
    QCOMPARE(b.share.pass().applied, 0);
    QVERIFY(WriteFileAtomically(log, whole));
    QCOMPARE(b.share.pass().applied, 0);
    QCOMPARE(b.bytes(), afterDelete);
    QCOMPARE(b.share.conflicts().size(), 0);
}

void TestNetShare::aLongBacklogArrivesInSteps()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    for (int i = 1; i <= 230; ++i)
        a.editCity(QStringLiteral("TOWN %1").arg(i));
    // A PC catching up never holds the window for the whole backlog: a pass takes a part,
    // and the next goes on from there.
    QList<int> steps;
    for (NetPass pass; steps.isEmpty() || pass.more;) {
        pass = b.share.pass();
        steps << pass.applied;
        QVERIFY(steps.size() < 10);
    }
    QCOMPARE(steps, (QList<int> { 100, 100, 30 }));
    QCOMPARE(b.bytes(), a.bytes());
}

void TestNetShare::appliedChangesHideNoStation_data()
{
    QTest::addColumn<QList<StationRecord>>("here"); // B's file before
    QTest::addColumn<QByteArray>("change"); // A's line: kind|record|before hex|after hex
    QTest::addColumn<QString>("calls"); // every call a scan of B's file finds after
    using L = QList<StationRecord>;
    const StationRecord w4aaa = Station(QStringLiteral("W4AAA"));
    const StationRecord w4ccc = Station(QStringLiteral("W4CCC"));
    const StationRecord k4new = Station(QStringLiteral("K4NEW"));
    QTest::newRow("an add behind this file's end marker takes the marker's record") << L { w4aaa,
        EndMarker() } << "add|5|" + Hex(BlankSlot()) + '|' + Hex(k4new) << "W4AAA K4NEW";
    QTest::newRow("an add into a record taken here takes a free one")
        << L { w4aaa, w4ccc, Vacant(), EndMarker() }
        << "add|2|" + Hex(BlankSlot()) + '|' + Hex(k4new) << "W4AAA W4CCC K4NEW";
    QTest::newRow("an end marker that would hide a station is not written")
        << L { w4aaa, BlankSlot(), w4ccc, EndMarker() }
        << "marker|2|" + Hex(BlankSlot()) + '|' + Hex(EndMarker()) << "W4AAA W4CCC";
    QTest::newRow("an end marker behind this file's end changes nothing")
        << L { w4aaa, EndMarker() } << "marker|4|" + Hex(BlankSlot()) + '|' + Hex(EndMarker())
        << "W4AAA";
}

void TestNetShare::appliedChangesHideNoStation()
{
    QFETCH(QList<StationRecord>, here);
    QFETCH(QByteArray, change);
    QFETCH(QString, calls);
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    b.root.writeStations(kCounty, here);
    const QList<QByteArray> f = change.split('|');
    QVERIFY(WriteFileAtomically(Changes(net.path(), QStringLiteral("A-000001")),
        SealedChange("1|A-000001|1|2026-12-08T19:00:00Z|" + f[0] + "|Baldwin.dat|" + f[1] + '|'
            + f[2] + '|' + f[3])));
    QCOMPARE(b.share.pass().conflicts, 0);
    StationFile file(b.file());
    QVERIFY(file.open());
    QStringList found;
    for (int n = 1; n <= RecordsPerFile && !file.read(n).isEndMarker(); ++n) {
        if (!file.read(n).isFree())
            found << file.read(n).Call.trimmed();
    }
    QCOMPARE(found.join(u' '), calls);
}

void TestNetShare::hostileLinesRefusedByName_data()
{
    const QByteArray w4aaa = Hex(Station(QStringLiteral("W4AAA"), QStringLiteral("ANN"), kCounty,
        QString(), QStringLiteral("FOLEY"), QStringLiteral("11/01/2026")));
    const QByteArray evil = Hex(Station(QStringLiteral("W4AAA"), QStringLiteral("EVIL"), kCounty));
    const QByteArray head = "1|A-000001|1|2026-12-08T19:00:00Z|edit|";
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("refused");
    QTest::newRow("not tab fields") << QByteArray("hello world\n") << "LINE 1: DAMAGED (CHECKSUM)";
    QTest::newRow("truncated")
        << SealedChange(head + "Baldwin.dat|1|" + w4aaa + '|' + evil).left(200) + '\n'
        << "LINE 1: DAMAGED (CHECKSUM)";
    QTest::newRow("path climbing")
        << SealedChange(head + "../../Version 1/x.dat|1|" + w4aaa + '|' + evil)
        << "LINE 1: NO STATION FILE ../../Version 1/x.dat";
    QTest::newRow("record 101") << SealedChange(head + "Baldwin.dat|101|" + w4aaa + '|' + evil)
                                << "LINE 1: NO RECORD 1 TO 100";
    QTest::newRow("record 0") << SealedChange(head + "Baldwin.dat|0|" + w4aaa + '|' + evil)
                              << "LINE 1: NO RECORD 1 TO 100";
    QTest::newRow("after holds no call") << SealedChange(
        head + "Baldwin.dat|1|" + w4aaa + '|' + Hex(Station(QStringLiteral("12345"))))
                                         << "LINE 1: NOT A WHOLE STATION RECORD";
    QTest::newRow("short record") << SealedChange(head + "Baldwin.dat|1|" + w4aaa + '|'
        + evil.left(100)) << "LINE 1: NOT A WHOLE STATION RECORD";
    QTest::newRow("another station's change") << SealedChange(
        "1|B-000002|1|2026-12-08T19:00:00Z|edit|Baldwin.dat|1|" + w4aaa + '|' + evil)
                                              << "LINE 1: NAMES ANOTHER STATION";
    QTest::newRow("oversized line") << QByteArray(5000, 'x') + '\n'
                                    << "LINE 1: LONGER THAN A CHANGE";
    QTest::newRow("a line with no end")
        << QByteArray(3 * 1024 * 1024, 'x') << "LINE 1: LONGER THAN A CHANGE";
}

void TestNetShare::hostileLinesRefusedByName()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, refused);
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    QVERIFY(WriteFileAtomically(Changes(net.path(), QStringLiteral("A-000001")), line));
    const QByteArray before = b.bytes();
    const QStringList dataBefore = QDir(b.root.paths().dataFolder()).entryList(QDir::Files);
    NetPass pass = b.share.pass();
    for (NetPass next = pass; next.more;) {
        next = b.share.pass();
        pass.refused += next.refused;
    }
    QCOMPARE(pass.refused.value(0), QStringLiteral("A-000001/changes.log ") + refused);
    QCOMPARE(pass.applied, 0);
    QCOMPARE(b.bytes(), before);
    QCOMPARE(QDir(b.root.paths().dataFolder()).entryList(QDir::Files), dataBefore);
    QVERIFY(!QFileInfo::exists(b.root.root() + QStringLiteral("/Version 1/x.dat")));
    // A line refused is passed over: A's next change still arrives.
    Make(Change::Edit, a);
    QCOMPARE(b.share.pass().applied, 1);
    QCOMPARE(b.root.record(kCounty, 1).City.trimmed(), QStringLiteral("GULF SHORES"));
}

void TestNetShare::netMonthCountsEachSessionOnce()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    // A session on each PC (A's with two traffic counts), one of A's a month earlier.
    auto session = [](Pc &pc, const QDateTime &at, const QString &netControl, int traffic) {
        pc.root.clock().set(at);
        SessionJournal journal(pc.root.paths(), pc.root.clock());
        journal.begin(netControl, QStringLiteral("W4NC"), QStringLiteral("EARLY"));
        for (int i = 1; i <= traffic; ++i) {
            SessionEvent e;
            e.kind = SessionEvent::Kind::Traffic;
            e.marked = true;
            e.count = i;
            journal.record(e);
        }
        pc.root.clock().advanceSeconds(45 * 60);
        QVERIFY(journal.finish());
    };
    session(a, QDateTime(QDate(2026, 12, 1), QTime(19, 0)), QStringLiteral("ANN"), 2);
    session(a, QDateTime(QDate(2026, 11, 30), QTime(19, 0)), QStringLiteral("ANN"), 1);
    session(b, QDateTime(QDate(2026, 12, 2), QTime(19, 0)), QStringLiteral("BOB"), 0);
    // A session that only started (the program stopped at once, and was not resumed) is no
    // net session; one stopped after a traffic count is.
    auto stopped = [](Pc &pc, const QDateTime &at, int traffic) {
        pc.root.clock().set(at);
        {
            SessionJournal journal(pc.root.paths(), pc.root.clock());
            journal.begin(QStringLiteral("CY"), QStringLiteral("W4CY"), QStringLiteral("EARLY"));
            if (traffic > 0) {
                SessionEvent e;
                e.kind = SessionEvent::Kind::Traffic;
                e.marked = true;
                e.count = traffic;
                journal.record(e);
            }
            // What the next start makes of a journal it does not resume.
            QVERIFY(ArchiveJournal(pc.root.paths(), journal.state()));
        }
    };
    stopped(b, QDateTime(QDate(2026, 12, 3), QTime(19, 0)), 0);
    stopped(b, QDateTime(QDate(2026, 12, 4), QTime(19, 0)), 1);
    QCOMPARE(a.share.pass().published, 2);
    QCOMPARE(b.share.pass().published, 2);
    QCOMPARE(a.share.pass().published, 0);
    // The sync engine kept a second copy of A's December session.
    const QString shared = net.path() + QStringLiteral("/A-000001/sessions/");
    QVERIFY(QFile::copy(shared + QStringLiteral("2026-12-01-1900.summary"),
        shared + QStringLiteral("2026-12-01-1900.sync-conflict-20261202-080000-ABCDEFG.summary")));
    QVERIFY(WriteFileAtomically(shared + QStringLiteral("2026-12-09-1900.summary"), "garbage\n"));

    const NetMonth month = ReadNetMonth(net.path(), 2026, 12);
    QCOMPARE(month.sessions.size(), 3);
    QCOMPARE(month.sessions[2].id, QStringLiteral("B-000002/2026-12-04-1900"));
    QCOMPARE(month.sessions[0].id, QStringLiteral("A-000001/2026-12-01-1900"));
    QCOMPARE(month.sessions[0].qtr, 45);
    QCOMPARE(month.sessions[1].netControl, QStringLiteral("BOB W4NC"));
    QCOMPARE(month.qtc, 3);
    QCOMPARE(month.qtr, 90);
    QCOMPARE(month.byNetControl.size(), 3);
    QCOMPARE(month.refused,
        QStringList { QStringLiteral("A-000001/2026-12-09-1900.summary: DAMAGED (CHECKSUM)") });
    QVERIFY(QFileInfo::exists(shared + QStringLiteral("2026-12-01-1900.log")));
    QVERIFY(QFileInfo::exists(shared + QStringLiteral("2026-12-01-1900.txt")));
    const QByteArray csv = NetMonthCsv(month);
    QVERIFY(csv.startsWith(
        "date,start,end,net control,QNI,QTC,QTR,session\r\n2026-12-01,19:00,19:45,"));
    QVERIFY(csv.endsWith("TOTAL,,,3 SESSIONS,0,3,90,\r\n"));
    QCOMPARE(ReadNetMonth(net.path(), 2026, 11).sessions.size(), 1);
}

void TestNetShare::sharedStationIdTold()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    QVERIFY(!a.share.idInUseElsewhere());
    // Its name alone, the writer's line cut off (a hand edit): nobody else is said to write.
    QVERIFY(WriteFileAtomically(
        net.path() + QStringLiteral("/A-000001/station.txt"), "A-000001 OPERATOR"));
    a.share.pass();
    QVERIFY(!a.share.idInUseElsewhere());
    QVERIFY(a.share.start()); // which writes the line again
    // A program folder copied to a second PC shares under the same id.
    Pc copy(net.path(), QStringLiteral("A-000001"));
    QVERIFY(copy.share.idInUseElsewhere());
    Make(Change::Edit, copy);
    a.share.pass();
    QVERIFY(a.share.idInUseElsewhere());
    // A's own next change does not take a number the copy used.
    Make(Change::Add, a);
    QList<qint64> numbers;
    for (const QByteArray &line :
        FileBytes(Changes(net.path(), QStringLiteral("A-000001"))).split('\n')) {
        if (const Result<ChangeEvent> e = DecodeChange(line))
            numbers << e->sequence;
    }
    QCOMPARE(numbers, (QList<qint64> { 1, 2, 3 })); // the add moved the end marker too
}

void TestNetShare::unwritableNetFolderKeepsTheChanges()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    // The log's place is taken by a folder: no line can be appended there.
    const QString log = Changes(net.path(), QStringLiteral("A-000001"));
    QVERIFY(QDir().mkpath(log));
    Make(Change::Edit, a);
    QCOMPARE(a.root.record(kCounty, 1).City.trimmed(), QStringLiteral("GULF SHORES"));
    QVERIFY(a.share.logFailing());
    QVERIFY(a.share.logFailure().startsWith(log));
    // The program ends before the folder is back: the line waits on this PC's own disk.
    a.share.stop();
    QVERIFY(QFileInfo::exists(NetOutboxFile(a.root.paths())));
    QVERIFY(QDir().rmdir(log));
    QVERIFY(a.share.start());
    QVERIFY(!a.share.logFailing());
    QVERIFY(!QFileInfo::exists(NetOutboxFile(a.root.paths())));
    QCOMPARE(b.share.pass().applied, 1);
    QCOMPARE(b.bytes(), a.bytes());
}

void TestNetShare::aChangeItsDiskRefusedIsTakenBack()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    const QByteArray before = a.bytes();
    {
        FullDisk full(a.root.paths().dataFolder());
        if (!full.isFull())
            QSKIP("cannot make the disk full here");
        StationRecord fields = a.root.record(kCounty, 1).trimmed();
        fields.City = QStringLiteral("MOBILE");
        QVERIFY(!EditMemberRecord(a.file(), 1, fields));
    }
    QCOMPARE(a.bytes(), before);
    // The others were told of the change before the file: they are told it did not happen.
    a.share.pass();
    QStringList logged;
    for (const QByteArray &line :
        FileBytes(Changes(net.path(), QStringLiteral("A-000001"))).split('\n')) {
        if (const Result<ChangeEvent> e = DecodeChange(line))
            logged << e->kind;
    }
    QCOMPARE(logged.join(u' '), QStringLiteral("edit undone"));
    b.share.pass();
    QCOMPARE(b.bytes(), before);
    QCOMPARE(b.share.conflicts().size(), 0);
}

void TestNetShare::plantedLinksCarryNoWrite()
{
    QTemporaryDir net;
    QTemporaryDir elsewhere;
    // Another PC's sync brought a link in the place of this PC's folder.
    QVERIFY(QFile::link(elsewhere.path(), net.path() + QStringLiteral("/A-000001")));
    TestRoot root({},
        { { QStringLiteral("Net"), QStringLiteral("Folder"), net.path() },
            { QStringLiteral("Net"), QStringLiteral("Station"), QStringLiteral("A-000001") } });
    NetShare share(root.paths(), root.settings(), root.clock());
    const Status started = share.start();
    QVERIFY(!started);
    QVERIFY2(started.error().endsWith(QStringLiteral("not a folder of the net folder")),
        qPrintable(started.error()));
    QVERIFY(!share.isOn());
    QCOMPARE(
        QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    // A link in the place of this PC's log, once sharing runs: the member's change is made,
    // its line waits, and the file the link points at stays as it was.
    Pc b(net.path(), QStringLiteral("B-000002"));
    const QString outside = elsewhere.path() + QStringLiteral("/victim.txt");
    QVERIFY(WriteFileAtomically(outside, "mine\n"));
    QVERIFY(QFile::link(outside, Changes(net.path(), QStringLiteral("B-000002"))));
    Make(Change::Edit, b);
    QCOMPARE(b.root.record(kCounty, 1).City.trimmed(), QStringLiteral("GULF SHORES"));
    QVERIFY(b.share.logFailing());
    QCOMPARE(FileBytes(outside), QByteArray("mine\n"));
}

void TestNetShare::damagedConflictsFileIsPassedOver()
{
    QTemporaryDir net;
    Pc a(net.path(), QStringLiteral("A-000001"));
    Pc b(net.path(), QStringLiteral("B-000002"));
    a.editCity(QStringLiteral("MOBILE"));
    b.editCity(QStringLiteral("FAIRHOPE"));
    QCOMPARE(a.share.pass().conflicts, 1);
    // A's own list of conflicts, damaged on its disk: what can be read still stands.
    const QString kept = NetConflictsFile(a.root.paths());
    const QByteArray whole = FileBytes(kept);
    QVERIFY(WriteFileAtomically(kept,
        "1\t" + Hex(Station(QStringLiteral("W4AAA"))) + "\tnot a change\n7\tzz\tgarbage\n" + whole
            + whole.left(whole.size() / 2)));
    QCOMPARE(a.share.conflicts().size(), 1);
}

QTEST_GUILESS_MAIN(TestNetShare)
#include "tst_netshare.moc"
