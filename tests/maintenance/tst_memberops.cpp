#include "maintenance/membereditor.h"
#include "maintenance/memberops.h"
#include "session/memberline.h"
#include "session/netsession.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
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
    void addRefusedCountedAndLogged();
    void editChangeAndDelete();
    void interruptedAddFinished_data();
    void interruptedAddFinished();
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
    QTest::newRow("vacant slot reused")
        << L { k4a, Vacant(), Station("K4C"), EndMarker() } << "K4A W4NEW K4C **EOF*";
    QTest::newRow("end marker moves over a blank")
        << L { k4a, EndMarker(), BlankSlot(), Station("K4OLD") } << "K4A W4NEW **EOF* K4OLD";
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
    QStringList calls;
    const QByteArray bytes = root.stationBytes("LEE");
    for (qsizetype i = 0; i < bytes.size(); i += StationRecord::Size)
        calls << QString::fromLatin1(bytes.mid(i, 6)).trimmed();
    QCOMPARE(calls, after.split(u' '));
    QCOMPARE(root.record("LEE", calls.indexOf("W4NEW") + 1).trimmed(),
        Station("W4NEW", "ANN", "LEE", "SUN", "OPELIKA", "3/10/2026"));
}

void TestMemberOps::duplicatesAnywhereRefused_data()
{
    QTest::addColumn<QList<StationRecord>>("records");
    QTest::addColumn<bool>("refused");
    using L = QList<StationRecord>;
    QTest::newRow("behind a vacant slot")
        << L { Station("K4A"), Vacant(), Station("W4DUP") } << true;
    QTest::newRow("behind a blank slot")
        << L { BlankSlot(), Station("W4DUP"), EndMarker() } << true;
    QTest::newRow("behind the end marker does not count")
        << L { Vacant(), EndMarker(), Station("W4DUP") } << false;
}

void TestMemberOps::duplicatesAnywhereRefused()
{
    QFETCH(QList<StationRecord>, records);
    QFETCH(bool, refused);
    TestRoot root;
    root.writeStations("LEE", records);
    const QByteArray before = root.stationBytes("LEE");
    CurrentMembers members;
    const AddResult added
        = AddMemberRecord(root.filePath("LEE"), Station("W4DUP", "NEW", "LEE"), kToday, members);
    QCOMPARE(added.kind, refused ? AddResult::AlreadyExists : AddResult::Added);
    QCOMPARE(root.stationBytes("LEE") == before, refused);
    if (refused) {
        // A call change to a call the file holds is refused the same way.
        root.writeStationBytes("LEE", before + Station("K4OLD").toBytes());
        const ChangeCallResult changed
            = ChangeMemberCall(root.filePath("LEE"), records.size() + 1, "K4OLD", "W4DUP");
        QCOMPARE(changed.kind, ChangeCallResult::AlreadyExists);
        QCOMPARE(root.record("LEE", records.size() + 1).Call.trimmed(), u"K4OLD"_qs);
    }
}

void TestMemberOps::changeCallKeepsTheFileRecord()
{
    // The county view was read before a click dated the record; the change keeps that date
    // and every other field as the file has them, and writes nothing else.
    TestRoot root({ { "LEE",
        { Station("K4A"), Station("W4XY", "SUE", "LEE", "TUE", "AUBURN", "03/10/2026"),
            Station("K4C") } } });
    const QByteArray before = root.stationBytes("LEE");
    const ChangeCallResult changed = ChangeMemberCall(root.filePath("LEE"), 2, "W4XY", "K4ZBC");
    QCOMPARE(changed.kind, ChangeCallResult::Changed);
    QCOMPARE(root.record("LEE", 2).trimmed(),
        Station("K4ZBC", "SUE", "LEE", "TUE", "AUBURN", "03/10/2026"));
    const QByteArray after = root.stationBytes("LEE");
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    // A stale old call writes nothing.
    QCOMPARE(ChangeMemberCall(root.filePath("LEE"), 1, "W4XY", "W4NEW").kind,
        ChangeCallResult::WriteFailed);
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
    TestRoot root(
        { { "LEE", { Station("K4A", "ANN"), Station("K4B", "BOB"), Station("K4C", "CY") } } });
    NetSession session(root.table());
    QVERIFY(session.typedCheckin("K4A", kToday).checkedIn); // checked in earlier, by typing
    session.chooseEntry("LEE", kToday, true);
    QVERIFY(session.memberLineClick(2, kToday, false, {}).checkedIn);
    // The line of K4A is selected by a click that finds it checked in already: nothing to take
    // back.
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

void TestMemberOps::addRefusedCountedAndLogged()
{
    TestRoot root({ { "LEE", QList<StationRecord>(99, Station("K4A")) << Station("W4DUP") },
                      { "MOBILE", { EndMarker() } } },
        { { "NewMember", "0", "K4OLD X LEE Y" } });
    NetSession session(root.table());
    MemberEditor editor(session, root.table(), root.settings());
    auto add = [&](const QString &call, const QString &county) {
        editor.startAdd();
        return editor.save({ call, "NEW", county, "", "TOWN" }, {}, kToday);
    };
    const QByteArray lee = root.stationBytes("LEE");
    QCOMPARE(*add("K4A", "LEE").status, u"CALL ALREADY EXISTS"_qs);
    // A valid call with a character no call box takes is never stored.
    QCOMPARE(
        *add("K4-BC", "MOBILE").status, u"CALL: ONLY LETTERS, DIGITS AND BLANKS CAN BE STORED"_qs);
    const EditorOutcome full = add("K4NOP", "LEE");
    QCOMPARE(*full.status + u'|' + full.sound, u"COUNTY FILE FULL|notify"_qs);
    // One call, one station: a call of another county's file is refused, naming it.
    QCOMPARE(*add("W4DUP", "MOBILE").status, u"CALL ALREADY EXISTS IN LEE"_qs);
    QCOMPARE(root.stationBytes("LEE"), lee);
    QCOMPARE(session.checkinCount(), 0);
    EditorOutcome out = add("W4NEW", "MOBILE");
    QVERIFY(out.countChanged && out.appendLine == u"W4NEW NEW MOBILE TOWN"_qs);
    QCOMPARE(
        root.settings().get("NewMember", "1"), u"W4NEW NEW MOBILE TOWN"_qs); // the first free key
    // A full table: added but not counted.
    for (int k = 2; k <= CheckinTable::LastTyped; ++k)
        session.checkins().set(k, u"X%1"_qs.arg(k));
    out = add("W4FUL", "MOBILE");
    QVERIFY(!out.countChanged && *out.status == u"W4FUL ADDED"_qs);
    QCOMPARE(session.checkinCount(), 149);
    // A month's list that cannot be written is told, not passed over.
    const QString ini = root.settings().fileOf("VORQ");
    QVERIFY(QFile::remove(ini) && QDir().mkpath(ini));
    QVERIFY(add("W4LOG", "MOBILE")
                .status->startsWith(u"W4LOG ADDED - NOT IN THE NEW MEMBER LIST: "_qs + ini));
    QCOMPARE(root.record("MOBILE", 3).Call.trimmed(), u"W4LOG"_qs);
}

void TestMemberOps::editChangeAndDelete()
{
    TestRoot root({ { "LEE",
                        { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"), Vacant(),
                            Station("K4NC", "NED", "LEE", "MON", "SUN CITY", "1/1/2026"),
                            Station("K4SUN", "SUE", "LEE", "", "SUN CITY", "1/1/2026") } },
        { "MOBILE", { EndMarker() } } });
    NetSession session(root.table());
    MemberEditor editor(session, root.table(), root.settings());
    session.chooseEntry("LEE", kToday, true);
    // A member added to another county leaves this county's records alone: a call change
    // afterwards writes only the call.
    editor.startAdd();
    const EditorOutcome added = editor.save({ "W4NEW", "NEW", "MOBILE", "", "MOBILE" }, {}, kToday);
    QVERIFY(*added.status == u"W4NEW ADDED"_qs && added.formDone);
    const QByteArray lee = root.stationBytes("LEE");
    QVERIFY(editor.startChangeCall(1));
    QCOMPARE(*editor.save({}, "KA4-YZ", kToday).status,
        u"NEW CALL: ONLY LETTERS, DIGITS AND BLANKS CAN BE STORED"_qs);
    QCOMPARE(root.record("LEE", 1).Call.trimmed(), u"K4A"_qs);
    // SAVE with no new call ends the change and writes nothing; so does an add with no call,
    // which says so.
    EditorOutcome out = editor.save({}, "", kToday);
    QVERIFY(out.formDone && !out.status && editor.mode() == FormMode::None);
    QVERIFY(editor.startChangeCall(1));
    editor.startAdd();
    out = editor.save({ "", "NED", "LEE", "", "OPELIKA" }, {}, kToday);
    QVERIFY(out.formDone && editor.mode() == FormMode::None);
    QCOMPARE(*out.status, u"  INVALID CALL"_qs);
    QCOMPARE(root.stationBytes("LEE"), lee);
    QVERIFY(editor.startChangeCall(1));
    out = editor.save({}, "KA4XYZ", kToday);
    QCOMPARE(*out.status, u"K4A CHANGED TO KA4XYZ"_qs);
    QVERIFY(out.formDone && out.lineRecord == 1 && !out.lineChecked);
    QCOMPARE(root.record("LEE", 1).trimmed(),
        Station("KA4XYZ", "JIM", "LEE", "", "OPELIKA", "2/2/2026"));
    QVERIFY(editor.startEdit(1));
    QCOMPARE(*editor.save({ "KA4XYZ", "JIM 2", "LEE", "", "OPELIKA" }, {}, kToday).status,
        u"NAME: ONLY LETTERS AND BLANKS CAN BE STORED"_qs);
    // An edit keeps its call: a form that came back with another one is not written.
    QCOMPARE(*editor.save({ "KA4XYY", "JIM", "LEE", "", "OPELIKA" }, {}, kToday).status,
        u"ERROR! RECORD NOT FOUND!"_qs);
    QCOMPARE(root.record("LEE", 1).Call.trimmed(), u"KA4XYZ"_qs);
    out = editor.save({ "KA4XYZ", "JIMMY", "LEE", "", "OPELIKA" }, {}, kToday);
    QCOMPARE(*out.status, u"RECORD UPDATED"_qs);
    QVERIFY(out.formDone && out.lineRecord == 1 && !out.lineChecked);
    QCOMPARE(root.record("LEE", 1).Name.trimmed(), u"JIMMY"_qs);
    // Delete: a weekday net control stays; a weekday word in the city makes no net control.
    QCOMPARE(*editor.remove(3, kToday).status, u"K4NC IS A NET CONTROL - NOT DELETED"_qs);
    out = editor.remove(4, kToday);
    QVERIFY(*out.status == u"RECORD DELETED"_qs && out.lineRecord == 4 && out.lineText.isEmpty());
    QCOMPARE(root.record("LEE", 4).trimmed(), Station("VACANT", "", "", "", "", "3/10/2026"));
    // A record another program gave to another station since stays.
    root.writeStations("LEE", { Station("K4B") });
    QCOMPARE(*editor.remove(1, kToday).status, u"RECORD NOT FOUND!"_qs);
    QCOMPARE(root.record("LEE", 1).Call.trimmed(), u"K4B"_qs);
}

void TestMemberOps::interruptedAddFinished_data()
{
    // A new member journaled, then a stop: whether its record reached the file, whether its
    // line reached the month's list; then the list's first keys and the check-ins.
    QTest::addColumn<bool>("inFile");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("checkins");
    const QString line = "W4NEW NED LEE AUBURN";
    QTest::newRow("in the file, not in the list") << true << false << "K4OLD X|" + line << 1;
    QTest::newRow("in the file and the list") << true << true << "K4OLD X|" + line << 1;
    QTest::newRow("never reached the file") << false << false << "K4OLD X|" << 0;
}

void TestMemberOps::interruptedAddFinished()
{
    QFETCH(bool, inFile);
    QFETCH(bool, listed);
    QFETCH(QString, list);
    QFETCH(int, checkins);
    const QString line = "W4NEW NED LEE AUBURN";
    TestRoot root({ { "LEE",
                      { Station("K4A"),
                          inFile ? Station("W4NEW", "NED", "LEE", "", "AUBURN") : Vacant() } } },
        { { "NewMember", "0", "K4OLD X" } });
    if (listed)
        QVERIFY(root.settings().save("NewMember", "1", line));
    NetSession session(root.table());
    MemberEditor editor(session, root.table(), root.settings());
    SessionEvent intent;
    intent.kind = SessionEvent::Kind::NewMember;
    intent.call = "W4NEW";
    intent.line = line;
    QVERIFY(editor.finishInterruptedAdd(intent).ok());
    QCOMPARE(
        root.settings().get("NewMember", "0") + u'|' + root.settings().get("NewMember", "1"), list);
    QCOMPARE(root.settings().get("NewMember", "2"), QString()); // never twice
    QCOMPARE(session.checkinCount(), checkins);
}

QTEST_GUILESS_MAIN(TestMemberOps)
#include "tst_memberops.moc"
