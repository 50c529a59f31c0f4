#include "stationdb/countytable.h"
#include "testroot.h"

#include <QTest>

using Records = QList<StationRecord>;

class TestCountyTable : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void displayNamesAreAlphabeticalBeyondTheCounties();
    void fileHasMembers_data();
    void fileHasMembers();
    void homeCounties();
};

void TestCountyTable::fileNames_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("display");
    QTest::newRow("abbreviation without period") << 59 << "St Clair.dat"
                                                 << "ST CLAIR";
    QTest::newRow("county sharing a state's name") << 65 << "Washington.dat"
                                                   << "WASHINGTON";
    QTest::newRow("file table: Arkansas first") << 69 << "Arkansas.dat"
                                                << "ARIZONA";
    QTest::newRow("file table: Arizona second") << 70 << "Arizona.dat"
                                                << "ARKANSAS";
    QTest::newRow("district") << 113 << "Washington DC.dat"
                              << "WASHINGTON DC";
    QTest::newRow("last") << 116 << "Wyoming.dat"
                          << "WYOMING";
    QTest::newRow("position 117 unset") << 117 << ""
                                        << "";
    QTest::newRow("past the table") << CountyTable::Size << ""
                                    << "";
    QTest::newRow("before the table") << -1 << ""
                                      << "";
}

void TestCountyTable::fileNames()
{
    QFETCH(int, position);
    QFETCH(QString, file);
    QFETCH(QString, display);
    CountyTable table(QStringLiteral("/data/"));
    QCOMPARE(table.fileName(position), file);
    QCOMPARE(table.displayName(position), display);
}

void TestCountyTable::displayNamesAreAlphabeticalBeyondTheCounties()
{
    const QStringList names = CountyTable::allDisplayNames();
    QCOMPARE(names.size(), 116);
    for (QStringList part : { names.mid(0, 67), names.mid(67) }) {
        const QStringList before = part;
        part.sort();
        QCOMPARE(before, part);
    }
    // The state that shares a county's name has no entry of its own.
    QCOMPARE(names.count(QStringLiteral("WASHINGTON")), 1);
    QCOMPARE(names.indexOf(QStringLiteral("WASHINGTON")), 64);
}

void TestCountyTable::fileHasMembers_data()
{
    QTest::addColumn<Records>("records");
    QTest::addColumn<bool>("has");
    const Records free99 = Records(50, Vacant()) + Records(49, BlankSlot());
    QTest::newRow("one station") << Records { Station("K4ABC") } << true;
    QTest::newRow("empty file") << Records {} << false;
    QTest::newRow("behind the marker counts") << Records { EndMarker(), Station("N4X") } << true;
    QTest::newRow("first station at record 100") << free99 + Records { Station("W4LAST") } << true;
    QTest::newRow("only station at record 101")
        << free99 + Records { Vacant(), Station("W4LAST") } << false;
    QTest::newRow("call not starting AKNW") << Records { Station("B4ABC") } << false;
    QTest::newRow("leading blanks are trimmed") << Records { Station("  W4A") } << true;
}

void TestCountyTable::fileHasMembers()
{
    QFETCH(Records, records);
    QFETCH(bool, has);
    TestRoot root;
    root.writeStations("TEXAS", records);
    QCOMPARE(root.table().FileHasMembers("TEXAS").value(), has);
}

void TestCountyTable::homeCounties()
{
    CountyTable table;
    QVERIFY(table.isHomeCounty("WASHINGTON") && table.isHomeCounty("AUTAUGA"));
    QVERIFY(!table.isHomeCounty("ALASKA") && !table.isHomeCounty("WASHINGTON DC"));
    QCOMPARE(table.displayPosition("ARIZONA"), 69);
    QCOMPARE(table.displayPosition("NOWHERE"), 0);
}

QTEST_GUILESS_MAIN(TestCountyTable)
#include "tst_countytable.moc"
