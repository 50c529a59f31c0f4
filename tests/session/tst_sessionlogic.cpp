#include "session/checkintable.h"
#include "session/idreminder.h"
#include "session/memberline.h"
#include "session/netsession.h"
#include "session/sessionreplay.h"
#include "session/stationsearch.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2026, 3, 10);

QString daysAgo(int days)
{
    const QDate d = kToday.addDays(-days);
    return u"%1/%2/%3"_s.arg(d.month()).arg(d.day()).arg(d.year());
}
} // namespace

class TestSessionLogic : public QObject
{
    Q_OBJECT

private slots:
    void checkinWalkSeesEveryEntry();
    void searchOrder_data();
    void searchOrder();
    void searchReadsRecordsAsText_data();
    void searchReadsRecordsAsText();
    void searchSeesEveryChange();
    void idTicks_data();
    void idTicks();
    void typedCheckin_data();
    void typedCheckin();
    void countyChoice_data();
    void countyChoice();
    void retirement_data();
    void retirement();
    void clicksAndTakeBack();
    void outcomeOfTheActedOnLine_data();
    void outcomeOfTheActedOnLine();
    void interruptedCallChangeFinished_data();
    void interruptedCallChangeFinished();
};

void TestSessionLogic::checkinWalkSeesEveryEntry()
{
    CheckinTable t;
    t.set(1, "K4A");
    t.set(2, CheckinTable::Deleted());
    t.set(3, "K4C");
    auto walk = [&t](const QString &call) {
        return std::pair { t.walk(call).kind, t.walk(call).entry };
    };
    QCOMPARE(walk("K4C"), std::pair(CheckinTable::Walk::Match, 3));
    // DELETED is neither free nor the call.
    QCOMPARE(walk("K4B"), std::pair(CheckinTable::Walk::Free, 4));
    t.set(1, QString()); // a freed entry never hides a station checked in behind it
    QCOMPARE(walk("K4C"), std::pair(CheckinTable::Walk::Match, 3));
    QCOMPARE(walk("K4B"), std::pair(CheckinTable::Walk::Free, 1));
    for (int k = 1; k <= CheckinTable::LastTyped; ++k)
        t.set(k, u"X%1"_s.arg(k));
    QCOMPARE(t.walk("K4Z").kind, CheckinTable::Walk::Full);
    QCOMPARE(walk("X149"), std::pair(CheckinTable::Walk::Match, 149));
    t.set(CheckinTable::Last, "K4CLICK"); // a click may use the last entry; typing sees it too
    QCOMPARE(walk("K4CLICK"), std::pair(CheckinTable::Walk::Match, 150));
    QCOMPARE(t.stationCount(), 150);
}

void TestSessionLogic::searchOrder_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("county");
    QTest::addColumn<int>("record");
    QTest::newRow("file table order: Arkansas before Arizona") << "N4DUP"
                                                               << "ARKANSAS" << 2;
    QTest::newRow("blank call does not stop the file") << "W4BEH"
                                                       << "LEE" << 4;
    QTest::newRow("end marker stops the file") << "K4HIDDEN"
                                               << "" << 0;
    QTest::newRow("record 101 is never read") << "K4FAR"
                                              << "" << 0;
    QTest::newRow("record 100 is read") << "K4EDGE"
                                        << "TEXAS" << 100;
}

void TestSessionLogic::searchOrder()
{
    QFETCH(QString, call);
    QFETCH(QString, county);
    QFETCH(int, record);
    TestRoot root({ { "ARIZONA", { Station("N4DUP", "ZONA") } },
        { "ARKANSAS", { Station("K4X"), Station("N4DUP", "KANSAS") } },
        { "LEE",
            { Vacant(), Station("K4TWO", "FIRST"), BlankSlot(), Station("W4BEH"),
                Station("K4TWO", "SECOND"), EndMarker(), Station("K4HIDDEN") } },
        { "TEXAS", QList<StationRecord>(99, Vacant()) << Station("K4EDGE") << Station("K4FAR") } });
    const FoundStation found
        = FindStation(root.table(), call).found.value_or(FoundStation {}); // none: all empty
    QCOMPARE(std::tuple(found.record.County, found.recordNumber, found.path),
        std::tuple(county, record, county.isEmpty() ? QString() : root.filePath(county)));
}

void TestSessionLogic::searchReadsRecordsAsText_data()
{
    QTest::addColumn<QByteArray>("bytes"); // of the Lee file
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("record");
    const QByteArray first = Station("K4ONE").toBytes();
    QTest::newRow("blanks trimmed as text: tab, no-break space")
        << first + QByteArray("\t\xa0K4WS \xa0").leftJustified(82, ' ') << "K4WS" << 2;
    QTest::newRow("five-letter end marker is no end marker")
        << first + QByteArray("**EOF").leftJustified(82, ' ') + Station("K4AFT").toBytes()
        << "K4AFT" << 3;
    QTest::newRow("Latin-1 call") << first + Station("K4\u00c4").toBytes() << "K4\u00c4" << 2;
    QTest::newRow("the last Latin-1 letter")
        << first + Station("K4\u00ff").toBytes() << "K4\u00ff" << 2;
    QTest::newRow("past Latin-1: in no file")
        << first + Station("K4?").toBytes() << "K4\u0100" << 0;
    QTest::newRow("a longer call is another call") << first << "K4ON" << 0;
}

// The search compares the call fields' bytes; it must answer as the records' text does.
void TestSessionLogic::searchReadsRecordsAsText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, call);
    QFETCH(int, record);
    TestRoot root;
    root.writeStationBytes("LEE", bytes);
    const StationSearch search = FindStation(root.table(), call);
    QVERIFY(search.unreadable.isEmpty());
    QCOMPARE(search.found ? search.found->recordNumber : 0, record);
}

// Every search reads what the files hold at that moment: another program's change made in
// place, in the same second and at the same size, or a whole file written anew.
void TestSessionLogic::searchSeesEveryChange()
{
    TestRoot root(
        { { "LEE", { Station("K4OLD", "OLD"), EndMarker() } }, { "TEXAS", { Station("N4TX") } } });
    const QString lee = root.filePath("LEE");
    auto where = [&](const QString &call) {
        const auto found = FindStation(root.table(), call).found;
        return found ? std::pair(found->path, found->recordNumber) : std::pair(QString(), 0);
    };
    QCOMPARE(where("K4OLD"), std::pair(lee, 1));

    const QDateTime modified = QFileInfo(lee).lastModified();
    QByteArray bytes = root.stationBytes("LEE");
    bytes.replace(0, 6, "K4NEW ");
    {
        QFile f(lee);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.write(bytes) == bytes.size());
        QVERIFY(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    QCOMPARE(QFileInfo(lee).size(), bytes.size());
    QCOMPARE(where("K4NEW"), std::pair(lee, 1));
    QCOMPARE(where("K4OLD"), std::pair(QString(), 0));

    root.writeStations("TEXAS", { Vacant(), Station("K4OLD", "MOVED") });
    QCOMPARE(where("K4OLD"), std::pair(root.filePath("TEXAS"), 2));
    QCOMPARE(where("N4TX"), std::pair(QString(), 0));
}

void TestSessionLogic::idTicks_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("blinking");
    QTest::addColumn<int>("tick");
    // Starts at 6:39, 6:49, 6:59, 7:09 and 7:19 on the twelve-hour clock, on the minute only.
    for (const QTime t : { QTime(18, 39), QTime(19, 19), QTime(6, 39) })
        QTest::addRow("%s starts", qPrintable(t.toString())) << t << false << int(IdTick::Start);
    for (const QTime t : { QTime(22, 39), QTime(19, 29), QTime(18, 39, 1), QTime(19, 29, 30) })
        QTest::addRow("%s nothing", qPrintable(t.toString())) << t << false << int(IdTick::None);
    QTest::newRow("6:39:10 ends") << QTime(18, 39, 10) << true << int(IdTick::End);
    QTest::newRow("missed end tick caught at 11") << QTime(18, 39, 11) << true << int(IdTick::End);
    QTest::newRow("blinking, second 10 of another minute")
        << QTime(18, 45, 10) << true << int(IdTick::None);
}

void TestSessionLogic::idTicks()
{
    QFETCH(QTime, time);
    QFETCH(bool, blinking);
    QFETCH(int, tick);
    QCOMPARE(int(ClassifyIdTick(time, blinking)), tick);
}

void TestSessionLogic::typedCheckin_data()
{
    // Lists are written with '|' between their lines; "full" fills the check-in table first.
    for (const char *column : { "choose", "typed", "status", "sounds", "checkins", "nonListed" })
        QTest::addColumn<QString>(column);
    QTest::addColumn<bool>("full");
    const QString e = "EARLY CHECKINS", jim = "K4ABC JIM JEFFERSON BIRMINGHAM", n = "notify";
    QTest::newRow("lower case, blank") << e << "k4abc "
                                       << "K4ABC CHECKED IN"
                                       << "" << jim << "" << false;
    QTest::newRow("not found twice, listed once") << e << "W4NEW|w4new"
                                                  << "W4NEW NOT FOUND"
                                                  << "tada|tada"
                                                  << ""
                                                  << "W4NEW" << false;
    QTest::newRow("already checked in") << e << "K4ABC|K4ABC"
                                        << "K4ABC Is Already Checked in" << n << jim << "" << false;
    QTest::newRow("county chosen names the county") << "LEE"
                                                    << "K4ABC"
                                                    << "LEE COUNTY" << n << ""
                                                    << "" << false;
    QTest::newRow("list full") << e << "K4ABC"
                               << "K4ABC NOT CHECKED IN - LIST FULL" << n << ""
                               << "" << true;
}

void TestSessionLogic::typedCheckin()
{
    QFETCH(QString, choose);
    QFETCH(QString, typed);
    QFETCH(QString, status);
    QFETCH(QString, sounds);
    QFETCH(QString, checkins);
    QFETCH(QString, nonListed);
    QFETCH(bool, full);
    const auto list = [](const QString &lines) { return lines.split(u'|', Qt::SkipEmptyParts); };
    TestRoot root(
        { { "JEFFERSON", { Station(" K4ABC", "  JIM", "", "", "BIRMINGHAM", "1/1/2026") } },
            { "LEE", { Station("KA4LEE", "ANN") } }, { "TEXAS", { Station("W5TX") } } });
    auto db = [&root] {
        return root.stationBytes("JEFFERSON") + root.stationBytes("LEE")
            + root.stationBytes("TEXAS");
    };
    const QByteArray before = db();
    NetSession session(root.table());
    for (int k = 1; full && k <= CheckinTable::LastTyped; ++k)
        session.checkins().set(k, u"X%1"_s.arg(k));
    const int counted = session.checkinCount();
    session.chooseEntry(choose, kToday, true);
    QStringList played, lines, listed;
    SessionOutcome out;
    for (const QString &call : list(typed)) {
        out = session.typedCheckin(call, kToday);
        if (!out.sound.isEmpty())
            played << out.sound;
        lines << out.checkinLine;
        if (!out.nonListed.isEmpty())
            listed << out.nonListed;
    }
    QCOMPARE(*out.status, status);
    QCOMPARE(played.join(u'|'), sounds);
    QCOMPARE(list(lines.join(u'|')), list(checkins));
    QCOMPARE(list(listed.join(u'|')), list(nonListed));
    // Only a check-in writes and counts; one refused leaves no trace in the table.
    const bool checkedIn = !checkins.isEmpty();
    QCOMPARE(session.checkinCount(), counted + (checkedIn ? 1 : 0));
    QCOMPARE(db() != before, checkedIn);
    // The record found is written back with today's date and without its leading blanks.
    if (checkedIn && choose == "EARLY CHECKINS") {
        QCOMPARE(root.record("JEFFERSON", 1).trimmed(),
            Station("K4ABC", "JIM", "JEFFERSON", "", "BIRMINGHAM", "3/10/2026"));
    }
}

void TestSessionLogic::countyChoice_data()
{
    // Member lines are written with '|' between them.
    for (const char *column : { "entry", "caption", "members" })
        QTest::addColumn<QString>(column);
    QTest::newRow("by suffix, prefix, name; no vacant slot; the blank call ends the scan")
        << "MOBILE"
        << "MOBILE COUNTY MEMBERS"
        << "K4   ABC  ABE FOUR|K4   ABC  AMY TWO|KA4  ABC  CAL THREE|WB4  ABC  ZED ONE|N4   B    "
           "BOB ";
    QTest::newRow("the end marker ends the scan") << "BALDWIN"
                                                  << "BALDWIN COUNTY MEMBERS"
                                                  << "K4   Z    ZOE ";
    QTest::newRow("state: record 100 is read, 101 is not") << "TEXAS"
                                                           << "TEXAS MEMBERS"
                                                           << "K4   ZZ   ZED ";
}

void TestSessionLogic::countyChoice()
{
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(QString, members);
    TestRoot root({ { "MOBILE",
                        { Station("WB4ABC", "ZED", "", "", "ONE"),
                            Station("K4ABC", "AMY", "", "", "TWO"), Vacant(), Station("N4B", "BOB"),
                            Station("KA4ABC", "CAL", "", "", "THREE"),
                            Station("K4ABC", "ABE", "", "", "FOUR"), BlankSlot(),
                            Station("W4LOST", "LOST") } },
        { "BALDWIN", { Station("K4Z", "ZOE"), EndMarker(), Station("K4AFTER") } },
        { "TEXAS",
            QList<StationRecord>(99, Vacant()) << Station("K4ZZ", "ZED") << Station("K4FAR") } });
    NetSession session(root.table());
    const CountyChoice choice = session.chooseEntry(entry, kToday, true);
    QCOMPARE(choice.caption, caption);
    QCOMPARE(choice.lines, members.split(u'|'));
    QCOMPARE(session.currentCountyFile(), root.filePath(entry));
}

void TestSessionLogic::retirement_data()
{
    for (const char *column : { "name", "status", "date" })
        QTest::addColumn<QString>(column);
    QTest::addColumn<bool>("retired");
    QTest::newRow("365 days") << "JIM"
                              << "MON" << daysAgo(365) << true;
    QTest::newRow("364 days") << "JIM"
                              << "" << daysAgo(364) << false;
    QTest::newRow("county EOC") << "CNTY EOC"
                                << "" << daysAgo(900) << false;
    QTest::newRow("not a date") << "JIM"
                                << ""
                                << "LONG AGO" << false;
}

void TestSessionLogic::retirement()
{
    QFETCH(QString, name);
    QFETCH(QString, status);
    QFETCH(QString, date);
    QFETCH(bool, retired);
    TestRoot root({ { "LEE",
        { Station("K4NEW", "ANN", "LEE", "", "AUBURN", daysAgo(1)),
            Station("K4OLD", name, "LEE", status, "OPELIKA", date),
            Station("W4AFTER", "BOB", "LEE", "", "SMITHS", daysAgo(2)) } } });
    const QByteArray before = root.stationBytes("LEE");
    NetSession session(root.table());
    const CountyChoice first = session.chooseEntry("LEE", kToday, true);
    const CountyChoice again = session.chooseEntry("LEE", kToday, true); // retires nobody again
    QCOMPARE(first.retired, retired ? QStringList { "K4OLD JIM LEE" } : QStringList());
    QCOMPARE(again.retired, QStringList());
    QCOMPARE(session.retired(0).has_value(), retired); // what DELETED STATIONS can restore
    QVERIFY(!session.retired(1) && !session.retired(-1));
    // A restore of a station never retired changes nothing.
    session.retiredRestored(-1);
    session.retiredRestored(1);
    QCOMPARE(session.retired(0).has_value(), retired);
    // Only record 2 changes, and of it only the weekday code stays.
    const QByteArray after = root.stationBytes("LEE");
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    QCOMPARE(after == before, !retired);
    if (retired)
        QCOMPARE(
            root.record("LEE", 2).trimmed(), Station("VACANT", "", "", status, "", "3/10/2026"));
}

void TestSessionLogic::clicksAndTakeBack()
{
    TestRoot root({ { "LEE",
        { Station("K4ABC", "JIM", "LEE", "", "OPELIKA", "1/5/2026"),
            Station("W4XY", "SUE", "LEE", "", "AUBURN", "1/5/2026"), Station("N4Z"), Vacant(),
            BlankSlot(), EndMarker() } } });
    NetSession session(root.table());
    QVERIFY(session.typedCheckin("K4ABC", kToday).checkedIn);
    session.chooseEntry("LEE", kToday, true);
    const QByteArray before = root.stationBytes("LEE");
    SessionOutcome out = session.memberLineClick(1, kToday, true, "ding");
    QCOMPARE(*out.status + '|' + out.sound, u"K4ABC IS ALREADY CHECKED IN|notify"_s);
    QCOMPARE(root.stationBytes("LEE"), before);
    out = session.memberLineClick(2, kToday, true, "ding");
    QCOMPARE(*out.status + '|' + out.sound, u"W4XY CHECKED IN|ding"_s);
    // Only the date of the clicked record is written, in mm/dd/yyyy.
    QCOMPARE(root.record("LEE", 2).LastDate, u"03/10/2026"_s);
    QCOMPARE(root.stationBytes("LEE").left(154), before.left(154));
    // Delete Checkin on a member not checked in changes nothing; a click then checks in, silent
    // without the ding.
    QVERIFY(!session.deleteCheckin(BuildMemberLine("N4Z", "", ""), 3).status);
    QCOMPARE(session.memberLineClick(3, kToday, false, "ding").sound, QString());
    QCOMPARE(session.checkinCount(), 3);
    // A vacant or blank record, the end marker and records past the file are no members.
    for (const int record : { 0, 4, 5, 6, 7 })
        QVERIFY2(!session.member(record), qPrintable(QString::number(record)));
    // Coming back marks the members checked in when the option says so.
    QCOMPARE(session.chooseEntry("LEE", kToday, true).marked, (QList<int> { 0, 1, 2 }));
}

void TestSessionLogic::outcomeOfTheActedOnLine_data()
{
    // What happens to the line acted on: a member line loses its tick when its check-in is
    // taken back or cannot be made; an early check-in's line leaves the list.
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("status"); // how the status line starts
    QTest::addColumn<QString>("line"); // "checked", "unmarked", "removed", or "kept"
    QTest::newRow("click") << "click"
                           << "K4A CHECKED IN"
                           << "checked";
    QTest::newRow("click, the list full") << "click full"
                                          << "K4A NOT CHECKED IN - LIST FULL"
                                          << "unmarked";
    QTest::newRow("click, the file read-only") << "click read-only"
                                               << ""
                                               << "unmarked";
    QTest::newRow("member's check-in deleted") << "delete member"
                                               << "K4A is NOT checked in"
                                               << "unmarked";
    QTest::newRow("early check-in deleted") << "delete early"
                                            << "K4A REMOVED"
                                            << "removed";
}

void TestSessionLogic::outcomeOfTheActedOnLine()
{
    QFETCH(QString, action);
    QFETCH(QString, status);
    QFETCH(QString, line);
    TestRoot root({ { "LEE", { Station("K4A", "JIM", "LEE", "", "OPELIKA", "1/5/2026") } } });
    NetSession session(root.table());
    if (action == "click full") {
        SessionState state;
        for (int k = 1; k <= CheckinTable::Last; ++k)
            state.table.set(k, u"W%1X"_s.arg(k));
        session.restore(state);
    }
    SessionOutcome out;
    if (action == "delete early") {
        QVERIFY(session.typedCheckin("K4A", kToday).checkedIn);
        out = session.deleteCheckin("K4A JIM OPELIKA", 0);
    } else {
        session.chooseEntry("LEE", kToday, true);
        if (action == "click read-only")
            QFile::setPermissions(root.filePath("LEE"), QFile::ReadOwner);
        if (action == "delete member")
            QVERIFY(session.memberLineClick(1, kToday, true, "ding").checkedIn);
        out = action == "delete member" ? session.deleteCheckin("line", 1)
                                        : session.memberLineClick(1, kToday, true, "ding");
    }
    QVERIFY2(out.status->startsWith(status), qPrintable(*out.status));
    QCOMPARE(out.checkedIn   ? u"checked"_s
            : out.unmarkLine ? u"unmarked"_s
            : out.removeLine ? u"removed"_s
                             : u"kept"_s,
        line);
    QCOMPARE(session.checkinCount(), line == "checked" ? 1 : action == "click full" ? 150 : 0);
}

void TestSessionLogic::interruptedCallChangeFinished_data()
{
    // The journal's last event, K4AA becoming AB4AA (its entry: 0 when the station was not
    // checked in, or its check-in came from the click that selected its line), met after a
    // stop: the call in the file, the table's entry 1 before and after, the events reported.
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("inFile");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("events");
    const int changed = int(SessionEvent::Kind::CallChanged);
    QTest::newRow("file changed, the click's check-in taken back") << changed << 0 << "AB4AA"
                                                                   << "K4AA"
                                                                   << ""
                                                                   << "takeback K4AA";
    QTest::newRow("file changed, nothing checked in") << changed << 0 << "AB4AA"
                                                      << ""
                                                      << ""
                                                      << "";
    QTest::newRow("file changed, the check-in renamed") << changed << 1 << "AB4AA"
                                                        << "AB4AA"
                                                        << "AB4AA"
                                                        << "";
    QTest::newRow("file unchanged, the renamed entry back") << changed << 1 << "K4AA"
                                                            << "AB4AA"
                                                            << "K4AA"
                                                            << "undone K4AA";
    QTest::newRow("a new member is no call change")
        << int(SessionEvent::Kind::NewMember) << 0 << "K4AA"
        << "K4AA"
        << "K4AA"
        << "";
}

void TestSessionLogic::interruptedCallChangeFinished()
{
    QFETCH(int, kind);
    QFETCH(int, entry);
    QFETCH(QString, inFile);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, events);
    struct Sink : SessionEventSink
    {
        QStringList seen;
        void record(const SessionEvent &e) override
        {
            seen << (e.kind == SessionEvent::Kind::TakeBack ? u"takeback "_s : u"undone "_s)
                    + e.call;
        }
    } sink;
    TestRoot root({ { "LEE", { Station(inFile, "ANN") } } });
    NetSession session(root.table());
    SessionState state;
    state.table.set(1, before);
    session.restore(state);
    session.setEventSink(&sink);
    SessionEvent last;
    last.kind = SessionEvent::Kind(kind);
    last.entry = entry;
    last.call = "K4AA";
    last.newCall = kind == int(SessionEvent::Kind::CallChanged) ? u"AB4AA"_s : QString();
    QVERIFY(session.finishInterrupted(last).ok());
    QCOMPARE(session.checkins().entry(1), after);
    QCOMPARE(sink.seen.join(','), events);
}

QTEST_GUILESS_MAIN(TestSessionLogic)
#include "tst_sessionlogic.moc"
