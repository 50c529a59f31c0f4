#include "stationdb/countytable.h"
#include "testroot.h"

#include <QTest>

class TestCountyTable : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void displayNamesAreAlphabeticalBeyondTheCounties();
    void countyFilePath_data();
    void countyFilePath();
    void fileHasMembers_data();
    void fileHasMembers();
    void homeCounties();
};

void TestCountyTable::fileNames_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("display");
    QTest::newRow("first") << 1 << "Autauga.dat" << "AUTAUGA";
    QTest::newRow("abbreviation without period") << 59 << "St Clair.dat" << "ST CLAIR";
    QTest::newRow("county sharing a state's name") << 65 << "Washington.dat" << "WASHINGTON";
    QTest::newRow("last county") << 67 << "Winston.dat" << "WINSTON";
    QTest::newRow("first state") << 68 << "Alaska.dat" << "ALASKA";
    QTest::newRow("file table: Arkansas first") << 69 << "Arkansas.dat" << "ARIZONA";
    QTest::newRow("file table: Arizona second") << 70 << "Arizona.dat" << "ARKANSAS";
    QTest::newRow("two words") << 95 << "New Hampshire.dat" << "NEW HAMPSHIRE";
    QTest::newRow("district") << 113 << "Washington DC.dat" << "WASHINGTON DC";
    QTest::newRow("last") << 116 << "Wyoming.dat" << "WYOMING";
    QTest::newRow("position 0 unset") << 0 << "" << "";
    QTest::newRow("position 117 unset") << 117 << "" << "";
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
    QStringList states = names.mid(67);
    QStringList sorted = states;
    sorted.sort();
    QCOMPARE(states, sorted);
    QStringList counties = names.mid(0, 67);
    QStringList sortedCounties = counties;
    sortedCounties.sort();
    QCOMPARE(counties, sortedCounties);
    // The state that shares a county's name has no entry of its own.
    QCOMPARE(names.count(QStringLiteral("WASHINGTON")), 1);
    QCOMPARE(names.indexOf(QStringLiteral("WASHINGTON")), 64);
}

void TestCountyTable::countyFilePath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("county") << "JEFFERSON" << "/data/Jefferson.dat";
    QTest::newRow("washington is the county") << "WASHINGTON" << "/data/Washington.dat";
    QTest::newRow("district") << "WASHINGTON DC" << "/data/Washington DC.dat";
    QTest::newRow("arizona by name") << "ARIZONA" << "/data/Arizona.dat";
    QTest::newRow("arkansas by name") << "ARKANSAS" << "/data/Arkansas.dat";
    QTest::newRow("st clair") << "ST CLAIR" << "/data/St Clair.dat";
    QTest::newRow("mixed case matches nothing") << "Jefferson" << "";
    QTest::newRow("lower case matches nothing") << "jefferson" << "";
    QTest::newRow("part of a name") << "JEFF" << "";
    QTest::newRow("with extension") << "JEFFERSON.DAT" << "";
    QTest::newRow("empty") << "" << "";
}

void TestCountyTable::countyFilePath()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    CountyTable table(QStringLiteral("/data/"));
    QCOMPARE(table.CountyFilePath(name), path);
}

void TestCountyTable::fileHasMembers_data()
{
    QTest::addColumn<QList<StationRecord>>("records");
    QTest::addColumn<bool>("has");
    QList<StationRecord> firstAt100;
    for (int i = 1; i < 100; ++i)
        firstAt100 << (i % 2 ? Vacant() : BlankSlot());
    QList<StationRecord> firstAt101 = firstAt100;
    firstAt100 << Station("W4LAST");
    firstAt101 << Vacant() << Station("W4LAST");

    QTest::newRow("one station") << QList<StationRecord> { Station("K4ABC") } << true;
    QTest::newRow("only vacant") << QList<StationRecord> { Vacant(), Vacant() } << false;
    QTest::newRow("only end marker") << QList<StationRecord> { EndMarker() } << false;
    QTest::newRow("empty file") << QList<StationRecord> {} << false;
    QTest::newRow("station behind the end marker counts")
        << QList<StationRecord> { EndMarker(), Station("N4X") } << true;
    QTest::newRow("station behind a blank counts")
        << QList<StationRecord> { BlankSlot(), Station("AA4X") } << true;
    QTest::newRow("first station at record 100") << firstAt100 << true;
    QTest::newRow("only station at record 101") << firstAt101 << false;
    QTest::newRow("call not starting AKNW") << QList<StationRecord> { Station("B4ABC") } << false;
    QTest::newRow("leading blanks are trimmed") << QList<StationRecord> { Station("  W4A") } << true;
}

void TestCountyTable::fileHasMembers()
{
    QFETCH(QList<StationRecord>, records);
    QFETCH(bool, has);
    TestRoot root;
    root.writeStations("TEXAS", records);
    QCOMPARE(root.table().FileHasMembers("TEXAS"), has);
}

void TestCountyTable::homeCounties()
{
    CountyTable table;
    QVERIFY(table.isHomeCounty("WASHINGTON"));
    QVERIFY(table.isHomeCounty("AUTAUGA"));
    QVERIFY(!table.isHomeCounty("ALASKA"));
    QVERIFY(!table.isHomeCounty("WASHINGTON DC"));
    QVERIFY(!table.isHomeCounty("Lee"));
    QCOMPARE(table.displayPosition("ARIZONA"), 69);
    QCOMPARE(table.displayPosition("NOWHERE"), 0);
}

QTEST_GUILESS_MAIN(TestCountyTable)
#include "tst_countytable.moc"
