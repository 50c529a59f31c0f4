#include "appearance/mainlayout.h"
#include "session/checkintable.h"
#include "session/idreminder.h"
#include "session/memberline.h"
#include "session/stationsearch.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSessionLogic : public QObject
{
    Q_OBJECT

private slots:
    void memberLine_data();
    void memberLine();
    void checkinWalkSeesEveryEntry();
    void searchOrder_data();
    void searchOrder();
    void searchReadsRecordsAsText_data();
    void searchReadsRecordsAsText();
    void searchSeesEveryChange();
    void idTicks_data();
    void idTicks();
    void layoutFractions_data();
    void layoutFractions();
};

void TestSessionLogic::memberLine_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("line");
    QTest::newRow("1x3") << "K4ABC" << "K4   ABC  JIM BIRMINGHAM";
    QTest::newRow("2x2") << "WB4XY" << "WB4  XY   JIM BIRMINGHAM";
    QTest::newRow("no suffix") << "KA4" << "KA4       JIM BIRMINGHAM";
}

void TestSessionLogic::memberLine()
{
    QFETCH(QString, call);
    QFETCH(QString, line);
    QCOMPARE(BuildMemberLine(call, "JIM", "BIRMINGHAM"), line);
    const ParsedMemberLine p = ParseMemberLine(line);
    QCOMPARE((QStringList { p.call, p.rest, p.firstWord }), (QStringList { call, "JIM BIRMINGHAM", "JIM" }));
}

void TestSessionLogic::checkinWalkSeesEveryEntry()
{
    CheckinTable t;
    t.set(1, "K4A");
    t.set(2, CheckinTable::Deleted());
    t.set(3, "K4C");
    auto walk = [&t](const QString &call) { return std::pair { t.walk(call).kind, t.walk(call).entry }; };
    QCOMPARE(walk("K4C"), std::pair(CheckinTable::Walk::Match, 3));
    QCOMPARE(walk("K4B"), std::pair(CheckinTable::Walk::Free, 4)); // DELETED is neither free nor the call
    t.set(1, QString()); // a freed entry never hides a station checked in behind it
    QCOMPARE(walk("K4C"), std::pair(CheckinTable::Walk::Match, 3));
    QCOMPARE(walk("K4B"), std::pair(CheckinTable::Walk::Free, 1));
    QCOMPARE(t.stationCount(), 1);
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
    QTest::newRow("file table order: Arkansas before Arizona") << "N4DUP" << "ARKANSAS" << 2;
    QTest::newRow("first match in a file") << "K4TWO" << "LEE" << 2;
    QTest::newRow("blank call does not stop the file") << "W4BEH" << "LEE" << 4;
    QTest::newRow("end marker stops the file") << "K4HIDDEN" << "" << 0;
    QTest::newRow("record 101 is never read") << "K4FAR" << "" << 0;
    QTest::newRow("record 100 is read") << "K4EDGE" << "TEXAS" << 100;
    QTest::newRow("exact comparison") << "K4TW" << "" << 0;
}

void TestSessionLogic::searchOrder()
{
    QFETCH(QString, call);
    QFETCH(QString, county);
    QFETCH(int, record);
    TestRoot root({ { "ARIZONA", { Station("N4DUP", "ZONA") } },
                    { "ARKANSAS", { Station("K4X"), Station("N4DUP", "KANSAS") } },
                    { "LEE", { Vacant(), Station("K4TWO", "FIRST"), BlankSlot(), Station("W4BEH"),
                               Station("K4TWO", "SECOND"), EndMarker(), Station("K4HIDDEN") } },
                    { "TEXAS", QList<StationRecord>(99, Vacant()) << Station("K4EDGE") << Station("K4FAR") } });
    const FoundStation found = FindStation(root.table(), call).found.value_or(FoundStation {}); // none: all empty
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
    QTest::newRow("record cut short by the file's end") << first + "K4CUT"
                                                        << "K4CUT" << 2;
    QTest::newRow("five-letter end marker is no end marker")
        << first + QByteArray("**EOF").leftJustified(82, ' ') + Station("K4AFT").toBytes()
        << "K4AFT" << 3;
    QTest::newRow("Latin-1 call") << first + Station("K4\u00c4").toBytes() << "K4\u00c4" << 2;
    QTest::newRow("call Latin-1 cannot hold") << first << "K4\u03a9" << 0;
    QTest::newRow("a longer call is another call") << first << "K4ON" << 0;
    QTest::newRow("blank call") << first + QByteArray(82, ' ') << "" << 0;
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
    if (record) {
        QCOMPARE(search.found->path, root.filePath("LEE"));
        QCOMPARE(search.found->record, root.record("LEE", record).trimmed());
    }
}

// Every search reads what the files hold at that moment: another program's change made in
// place, in the same second and at the same size, and this program's own writes.
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
    QCOMPARE(where("K4NEW"), std::pair(QString(), 0));

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

    QVERIFY(ReplaceStationRecord(lee, 1, "K4NEW", Station("K4OWN", "OWN", "LEE")));
    QCOMPARE(where("K4OWN"), std::pair(lee, 1));
    QCOMPARE(where("K4NEW"), std::pair(QString(), 0));
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
    for (const QTime t : { QTime(18, 39), QTime(18, 49), QTime(18, 59), QTime(19, 9), QTime(19, 19), QTime(6, 39) })
        QTest::addRow("%s starts", qPrintable(t.toString())) << t << false << int(IdTick::Start);
    for (const QTime t : { QTime(22, 39), QTime(19, 29), QTime(18, 39, 1) })
        QTest::addRow("%s nothing", qPrintable(t.toString())) << t << false << int(IdTick::None);
    QTest::newRow("6:39:10 ends") << QTime(18, 39, 10) << true << int(IdTick::End);
    QTest::newRow("missed end tick caught at 11") << QTime(18, 39, 11) << true << int(IdTick::End);
    QTest::newRow("still blinking at 5") << QTime(18, 39, 5) << true << int(IdTick::None);
}

void TestSessionLogic::idTicks()
{
    QFETCH(QTime, time);
    QFETCH(bool, blinking);
    QFETCH(int, tick);
    QCOMPARE(int(ClassifyIdTick(time, blinking)), tick);
}

void TestSessionLogic::layoutFractions_data()
{
    QTest::addColumn<bool>("noPreamble");
    QTest::newRow("preamble shown") << false;
    QTest::newRow("preamble hidden") << true;
}

void TestSessionLogic::layoutFractions()
{
    QFETCH(bool, noPreamble);
    const MainLayout l = ComputeMainLayout(QSizeF(1200, 900), noPreamble);
    QCOMPARE(l.fraCounties.left(), 1200 * 0.0088);
    QCOMPARE(l.fraCounties.height(), 900 * 0.9633);
    QCOMPARE(l.FraStations.height(), 900 * (noPreamble ? 0.96 : 0.6349));
    QCOMPARE(l.fraPreamble.isEmpty(), noPreamble);
    QCOMPARE(l.FraSearch.left(), noPreamble ? l.fraAdd.left() : 1200 * 0.5542);
    QCOMPARE(l.FraSearch.width(), noPreamble ? l.fraAdd.width() : 1200 * 0.2088);
    QCOMPARE(l.fraFormData.left(), 1200 / 1.3 + 110 / TwipsPerPixel);
    QCOMPARE(l.cmdExit.width(), l.fraFormData.width());
    QCOMPARE(l.dividers.contains(QLineF(600, 8, 600, 892)), noPreamble); // middle line: full height without it
    QVERIFY(l.dividers.contains(QLineF(1200 / 1.3, 900 / 1.22, 1200 - 8, 900 / 1.22)));
}

QTEST_GUILESS_MAIN(TestSessionLogic)
#include "tst_sessionlogic.moc"
