#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QFile>
#include <QTest>
#include <random>

class TestStationFile : public QObject
{
    Q_OBJECT

private slots:
    void recordFormat_data();
    void recordFormat();
    void bytesRoundTripUnchanged();
    void recordNumberGivesOffset();
    void missingFileIsCreatedEmpty();
    void badFilesReadAsBlanks_data();
    void badFilesReadAsBlanks();
    void failedWriteIsReported();
    void markers();
};

void TestStationFile::recordFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("20 cut to 15") << "ABCDEFGHIJKLMNOPQRST" << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("exactly 15") << "ABCDEFGHIJKLMNO" << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("empty is blanks") << "" << QByteArray(15, ' ');
    QTest::newRow("leading blank kept") << " AL" << QByteArray(" AL            ");
}

void TestStationFile::recordFormat()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, stored);
    const QByteArray bytes =
        Station("K4ABC", name, "JEFFERSON", "SUN", "BIRMINGHAM", "3/7/2012").toBytes();
    // Call 0-5, name 6-20, county 21-35, status 36-46, city 47-71, last date 72-81.
    QCOMPARE(bytes, "K4ABC " + stored + "JEFFERSON      SUN        BIRMINGHAM               "
                                        "3/7/2012  ");
    QCOMPARE(StationRecord::fromBytes(bytes).trimmed(),
             Station("K4ABC", QString(stored).trimmed(), "JEFFERSON", "SUN", "BIRMINGHAM",
                     "3/7/2012"));
}

void TestStationFile::bytesRoundTripUnchanged()
{
    QByteArray all;
    for (int i = 0; i < 82; ++i)
        all += char(0x80 + i); // every high byte survives as Latin-1
    all[3] = '\0';
    QCOMPARE(StationRecord::fromBytes(all).toBytes(), all);
}

void TestStationFile::recordNumberGivesOffset()
{
    TestRoot root({ { "LEE", { Station("K4A"), Station("K4B"), Station("K4C") } } });
    StationFile file(root.filePath("LEE"));
    QVERIFY(file.open());
    QCOMPARE(file.recordCount(), 3);
    QCOMPARE(file.read(2).Call, QStringLiteral("K4B   "));
    QVERIFY(file.write(2, Station("W4ZZZ", "ANN")));
    // A record past the end reads as blanks; writing there grows the file with blank records.
    QCOMPARE(file.read(4), StationRecord::blank());
    QCOMPARE(file.read(101), StationRecord::blank());
    QCOMPARE(file.read(0), StationRecord::blank());
    QVERIFY(file.write(5, Station("K4E")));
    const QByteArray bytes = root.stationBytes("LEE");
    QCOMPARE(bytes.size(), 5 * 82);
    QCOMPARE(bytes.mid(0, 6), QByteArray("K4A   "));
    QCOMPARE(bytes.mid(82, 6), QByteArray("W4ZZZ "));
    QCOMPARE(bytes.mid(164, 6), QByteArray("K4C   "));
    QCOMPARE(bytes.mid(3 * 82, 82), QByteArray(82, ' '));
    QCOMPARE(bytes.mid(4 * 82, 6), QByteArray("K4E   "));
}

void TestStationFile::missingFileIsCreatedEmpty()
{
    TestRoot root;
    const QString path = root.filePath("MOBILE");
    QVERIFY(!QFile::exists(path));
    StationFile file(path);
    QVERIFY(file.open());
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFile(path).size(), 0);
    QCOMPARE(file.read(1), StationRecord::blank());
}

void TestStationFile::badFilesReadAsBlanks_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("call");
    std::mt19937 rng(7);
    QByteArray noise;
    for (int i = 0; i < 1000; ++i)
        noise += char(rng() & 0xff);
    QTest::newRow("empty") << QByteArray() << 1 << QString();
    QTest::newRow("shorter than a record") << QByteArray("K4AB") << 1 << QStringLiteral("K4AB");
    QTest::newRow("not a multiple of 82, tail record")
        << (Station("K4A").toBytes() + QByteArray("W4XY")) << 2 << QStringLiteral("W4XY");
    QTest::newRow("binary noise") << noise << 3 << QString::fromLatin1(noise.mid(164, 6)).trimmed();
    QTest::newRow("noise past its end") << noise << 50 << QString();
}

void TestStationFile::badFilesReadAsBlanks()
{
    QFETCH(QByteArray, content);
    QFETCH(int, record);
    QFETCH(QString, call);
    TestRoot root;
    root.writeStationBytes("LEE", content);
    StationFile file(root.filePath("LEE"));
    QVERIFY(file.open());
    QCOMPARE(file.read(record).Call.trimmed(), call);
    root.table().FileHasMembers("LEE"); // the table's scan copes as well
    // And a write keeps every other byte where it was.
    QVERIFY(file.write(1, Station("W4NEW")));
    const QByteArray after = root.stationBytes("LEE");
    QCOMPARE(after.left(6), QByteArray("W4NEW "));
    if (content.size() > 82)
        QCOMPARE(after.mid(82), content.mid(82));
}

void TestStationFile::failedWriteIsReported()
{
    TestRoot root({ { "LEE", { Station("K4A"), Station("K4B") } } });
    const QString path = root.filePath("LEE");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    StationFile file(path);
    QVERIFY(file.open());
    QCOMPARE(file.read(2).Call.trimmed(), QStringLiteral("K4B"));
    QVERIFY(!file.write(2, Station("W4X")));
    QVERIFY(!file.errorString().isEmpty());
    QCOMPARE(root.record("LEE", 2).Call.trimmed(), QStringLiteral("K4B"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    // The folder vanished under an open file.
    StationFile other(path);
    QVERIFY(other.open());
    QVERIFY(QDir(root.paths().dataFolder()).removeRecursively());
    QVERIFY(!other.write(1, Station("W4X")));
    QVERIFY(!other.errorString().isEmpty());
}

void TestStationFile::markers()
{
    QVERIFY(EndMarker().isEndMarker() && !EndMarker().isFree());
    QVERIFY(Vacant().isVacant() && Vacant().isFree() && BlankSlot().isFree());
    QVERIFY(BlankSlot().isBlank() && !Station("K4A").isFree());
    QCOMPARE(EndMarker().toBytes().left(6), QByteArray("**EOF*"));
}

QTEST_GUILESS_MAIN(TestStationFile)
#include "tst_stationfile.moc"
