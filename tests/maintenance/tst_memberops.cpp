#include "maintenance/membereditor.h"
#include "maintenance/memberops.h"
#include "session/memberline.h"
#include "session/netsession.h"
#include "testroot.h"

#include <QTest>

// The member operations and the check-in table without a window.
class TestMemberOps : public QObject
{
    Q_OBJECT

private slots:
    void addIntoSlot_data();
    void addIntoSlot();
    void duplicatesAnywhereRefused_data();
    void duplicatesAnywhereRefused();
    void changeCallKeepsTheFileRecord();
    void takeBackNeverCountsTwice();
    void deleteAndChangeTakeBackOnlyTheClick();
};

namespace {
const QDate kToday(2026, 3, 10);
}

void TestMemberOps::addIntoSlot_data()
{
    QTest::addColumn<QList<StationRecord>>("before");
    QTest::addColumn<QString>("after"); // the calls of the file, blank-separated
    using L = QList<StationRecord>;
    const StationRecord k4a = Station("K4A");
    QTest::newRow("vacant slot reused") << L { k4a, Vacant(), Station("K4C"), EndMarker() } << "K4A W4NEW K4C **EOF*";
    QTest::newRow("blank slot") << L { k4a, BlankSlot(), EndMarker() } << "K4A W4NEW **EOF*";
    QTest::newRow("end marker moves on") << L { k4a, EndMarker() } << "K4A W4NEW **EOF*";
    QTest::newRow("end marker moves over a blank")
        << L { k4a, EndMarker(), BlankSlot(), Station("K4OLD") } << "K4A W4NEW **EOF* K4OLD";
    QTest::newRow("empty file") << L {} << "W4NEW";
    QTest::newRow("end marker at record 100 gives way")
        << (L(99, k4a) << EndMarker()) << QString("K4A ").repeated(99) + "W4NEW";
}

void TestMemberOps::addIntoSlot()
{
    QFETCH(QList<StationRecord>, before);
    QFETCH(QString, after);
    TestRoot root;
    root.writeStations("LEE", before);
    NetSession session(root.table());
    MemberEditor editor(session, root.table(), root.settings());
    editor.startAdd();
    const EditorOutcome out = editor.save({ "W4NEW", "ANN", "LEE", "SUN", "OPELIKA" }, {}, kToday);
    QCOMPARE(*out.status, u"W4NEW ADDED"_qs);
    QVERIFY(out.formDone && editor.mode() == FormMode::None);
    QStringList calls;
    const QByteArray bytes = root.stationBytes("LEE");
    for (qsizetype i = 0; i < bytes.size(); i += StationRecord::Size)
        calls << QString::fromLatin1(bytes.mid(i, 6)).trimmed();
    QCOMPARE(calls, after.split(u' '));
    QCOMPARE(root.record("LEE", calls.indexOf("W4NEW") + 1).trimmed(),
             Station("W4NEW", "ANN", "LEE", "SUN", "OPELIKA", "3/10/2026"));
    // Checked in as it was added, and every scan now finds it.
    QCOMPARE(*session.typedCheckin("W4NEW", kToday).status, u"W4NEW Is Already Checked in"_qs);
    QCOMPARE(root.settings().get("NewMember", "0"), u"W4NEW ANN LEE OPELIKA"_qs);
}

void TestMemberOps::duplicatesAnywhereRefused_data()
{
    QTest::addColumn<QList<StationRecord>>("records");
    QTest::addColumn<bool>("refused");
    using L = QList<StationRecord>;
    QTest::newRow("behind a vacant slot") << L { Station("K4A"), Vacant(), Station("W4DUP") } << true;
    QTest::newRow("behind a blank slot") << L { BlankSlot(), Station("W4DUP"), EndMarker() } << true;
    QTest::newRow("behind the end marker does not count") << L { Vacant(), EndMarker(), Station("W4DUP") } << false;
}

void TestMemberOps::duplicatesAnywhereRefused()
{
    QFETCH(QList<StationRecord>, records);
    QFETCH(bool, refused);
    TestRoot root;
    root.writeStations("LEE", records);
    const QByteArray before = root.stationBytes("LEE");
    CurrentMembers members;
    const AddResult added = AddMemberRecord(root.filePath("LEE"), Station("W4DUP", "NEW", "LEE"), kToday, members);
    QCOMPARE(added.kind, refused ? AddResult::AlreadyExists : AddResult::Added);
    QCOMPARE(root.stationBytes("LEE") == before, refused);
    if (refused) {
        // A call change to a call the file holds is refused the same way.
        root.writeStationBytes("LEE", before + Station("K4OLD").toBytes());
        const ChangeCallResult changed = ChangeMemberCall(root.filePath("LEE"), records.size() + 1, "K4OLD", "W4DUP");
        QCOMPARE(changed.kind, ChangeCallResult::AlreadyExists);
        QCOMPARE(root.record("LEE", records.size() + 1).Call.trimmed(), u"K4OLD"_qs);
    }
}

void TestMemberOps::changeCallKeepsTheFileRecord()
{
    // The county view was read before a click dated the record; the change keeps that date
    // and every other field as the file has them, and writes nothing else.
    TestRoot root({ { "LEE", { Station("K4A"), Station("W4XY", "SUE", "LEE", "TUE", "AUBURN", "03/10/2026"),
                               Station("K4C") } } });
    const QByteArray before = root.stationBytes("LEE");
    const ChangeCallResult changed = ChangeMemberCall(root.filePath("LEE"), 2, "W4XY", "K4ZBC");
    QCOMPARE(changed.kind, ChangeCallResult::Changed);
    QCOMPARE(root.record("LEE", 2).trimmed(), Station("K4ZBC", "SUE", "LEE", "TUE", "AUBURN", "03/10/2026"));
    const QByteArray after = root.stationBytes("LEE");
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    // The line it gets parses back to its own call.
    QCOMPARE(ParseMemberLine(BuildMemberLine("K4ZBC", "SUE", "AUBURN")).call, u"K4ZBC"_qs);
    // An empty or stale old call writes nothing.
    QCOMPARE(ChangeMemberCall(root.filePath("LEE"), 4, "", "W4NEW").kind, ChangeCallResult::WriteFailed);
    QCOMPARE(ChangeMemberCall(root.filePath("LEE"), 1, "W4XY", "W4NEW").kind, ChangeCallResult::WriteFailed);
    QCOMPARE(root.stationBytes("LEE"), after);
}

void TestMemberOps::takeBackNeverCountsTwice()
{
    TestRoot root({ { "LEE", { Station("K4A", "ANN"), Station("K4B", "BOB") } } });
    NetSession session(root.table());
    session.chooseEntry("LEE", kToday, true);
    QVERIFY(session.memberLineClick(1, kToday, false, {}).checkedIn);
    QVERIFY(session.memberLineClick(2, kToday, false, {}).checkedIn);
    // K4A is taken back: its entry is freed, and K4B behind it is still seen.
    session.deleteCheckin(BuildMemberLine("K4A", "ANN", ""), 1);
    QCOMPARE(session.checkinCount(), 1);
    session.chooseEntry("EARLY CHECKINS", kToday, true);
    QCOMPARE(*session.typedCheckin("K4B", kToday).status, u"K4B Is Already Checked in"_qs);
    QVERIFY(session.typedCheckin("K4A", kToday).checkedIn);
    QCOMPARE(session.checkinCount(), 2);
    QCOMPARE(session.checkins().entry(1), u"K4A"_qs);
}

void TestMemberOps::deleteAndChangeTakeBackOnlyTheClick()
{
    TestRoot root({ { "LEE", { Station("K4A", "ANN"), Station("K4B", "BOB"), Station("K4C", "CY") } } });
    NetSession session(root.table());
    QVERIFY(session.typedCheckin("K4A", kToday).checkedIn); // checked in earlier, by typing
    session.chooseEntry("LEE", kToday, true);
    QVERIFY(session.memberLineClick(2, kToday, false, {}).checkedIn);
    // The line of K4A is selected by a click that finds it checked in already: nothing to take back.
    session.memberLineClick(1, kToday, false, {});
    session.memberLeft("K4A", "KA4AAA");
    QCOMPARE(session.checkins().entry(1), u"KA4AAA"_qs);
    QCOMPARE(session.checkinCount(), 2);
    // K4C was never checked in: deleting it changes nothing.
    session.memberLeft("K4C");
    QCOMPARE(session.checkinCount(), 2);
    // K4B's line was selected by the click that checked it in: that check-in goes.
    session.memberLineClick(2, kToday, false, {});
    QVERIFY(session.checkins().find("K4B", CheckinTable::Last) > 0);
    QVERIFY(session.memberLineClick(3, kToday, false, {}).checkedIn);
    session.memberLeft("K4C");
    QCOMPARE(session.checkinCount(), 2);
    QCOMPARE(session.checkins().find("K4C", CheckinTable::Last), 0);
}

QTEST_GUILESS_MAIN(TestMemberOps)
#include "tst_memberops.moc"
