#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QFile>
#include <QTest>
#include <random>

class TestStationFile : public QObject
{
    Q_OBJECT

private slots:
    void fieldsSitAtTheirOffsets();
    void paddingAndTruncation_data();
    void paddingAndTruncation();
    void bytesRoundTripUnchanged();
    void recordNumberGivesOffset();
    void missingFileIsCreatedEmpty();
    void recordPastEndReadsBlank();
    void writePastEndGrowsWithBlankRecords();
    void badFilesReadAsBlanks_data();
    void badFilesReadAsBlanks();
    void readOnlyFileWriteIsReported();
    void vanishedFolderWriteIsReported();
    void markers();
};

void TestStationFile::fieldsSitAtTheirOffsets()
{
    const QByteArray bytes =
        Station("K4ABC", "JIM", "JEFFERSON", "SUN", "BIRMINGHAM", "3/7/2012").toBytes();
    QCOMPARE(bytes.size(), 82);
    QCOMPARE(bytes.mid(0, 6), QByteArray("K4ABC "));
    QCOMPARE(bytes.mid(6, 15), QByteArray("JIM            "));
    QCOMPARE(bytes.mid(21, 15), QByteArray("JEFFERSON      "));
    QCOMPARE(bytes.mid(36, 11), QByteArray("SUN        "));
    QCOMPARE(bytes.mid(47, 25), QByteArray("BIRMINGHAM               "));
    QCOMPARE(bytes.mid(72, 10), QByteArray("3/7/2012  "));

    const StationRecord back = StationRecord::fromBytes(bytes).trimmed();
    QCOMPARE(back, Station("K4ABC", "JIM", "JEFFERSON", "SUN", "BIRMINGHAM", "3/7/2012"));
}

void TestStationFile::paddingAndTruncation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("20 characters cut to 15") << "ABCDEFGHIJKLMNOPQRST" << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("exactly 15") << "ABCDEFGHIJKLMNO" << QByteArray("ABCDEFGHIJKLMNO");
    QTest::newRow("empty is blanks") << "" << QByteArray(15, ' ');
    QTest::newRow("leading blank kept") << " AL" << QByteArray(" AL            ");
}

void TestStationFile::paddingAndTruncation()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, stored);
    const QByteArray bytes = Station("W4", name).toBytes();
    QCOMPARE(bytes.size(), 82);
    QCOMPARE(bytes.mid(0, 6), QByteArray("W4    "));
    QCOMPARE(bytes.mid(6, 15), stored);
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
    const QByteArray bytes = root.stationBytes("LEE");
    QCOMPARE(bytes.size(), 3 * 82);
    QCOMPARE(bytes.mid(82, 6), QByteArray("W4ZZZ "));
    QCOMPARE(bytes.mid(0, 6), QByteArray("K4A   "));
    QCOMPARE(bytes.mid(164, 6), QByteArray("K4C   "));
    QCOMPARE(file.read(2).Name.trimmed(), QStringLiteral("ANN"));
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
    QVERIFY(file.read(1).isBlank());
}

void TestStationFile::recordPastEndReadsBlank()
{
    TestRoot root({ { "LEE", { Station("K4A") } } });
    StationFile file(root.filePath("LEE"));
    file.open();
    QVERIFY(!file.read(1).isBlank());
    QCOMPARE(file.read(2), StationRecord::blank());
    QCOMPARE(file.read(101), StationRecord::blank());
    QCOMPARE(file.read(0), StationRecord::blank());
}

void TestStationFile::writePastEndGrowsWithBlankRecords()
{
    TestRoot root({ { "LEE", { Station("K4A") } } });
    StationFile file(root.filePath("LEE"));
    file.open();
    QVERIFY(file.write(4, Station("K4D")));
    const QByteArray bytes = root.stationBytes("LEE");
    QCOMPARE(bytes.size(), 4 * 82);
    QCOMPARE(bytes.mid(82, 2 * 82), QByteArray(2 * 82, ' '));
    QCOMPARE(bytes.mid(3 * 82, 6), QByteArray("K4D   "));
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
    QCOMPARE(file.read(record).toBytes().size(), 82);
    // The table's scan copes as well.
    root.table().FileHasMembers("LEE");
    // And a write keeps every other byte where it was.
    QVERIFY(file.write(1, Station("W4NEW")));
    const QByteArray after = root.stationBytes("LEE");
    QCOMPARE(after.left(6), QByteArray("W4NEW "));
    if (content.size() > 82)
        QCOMPARE(after.mid(82), content.mid(82));
}

void TestStationFile::readOnlyFileWriteIsReported()
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
}

void TestStationFile::vanishedFolderWriteIsReported()
{
    TestRoot root({ { "LEE", { Station("K4A") } } });
    StationFile file(root.filePath("LEE"));
    QVERIFY(file.open());
    QVERIFY(QDir(root.paths().dataFolder()).removeRecursively());
    QVERIFY(!file.write(1, Station("W4X")));
    QVERIFY(!file.errorString().isEmpty());
}

void TestStationFile::markers()
{
    QVERIFY(EndMarker().isEndMarker());
    QVERIFY(!EndMarker().isFree());
    QVERIFY(Vacant().isVacant() && Vacant().isFree());
    QVERIFY(BlankSlot().isBlank() && BlankSlot().isFree());
    QVERIFY(!Station("K4A").isFree());
    QCOMPARE(EndMarker().toBytes().left(6), QByteArray("**EOF*"));
}

QTEST_GUILESS_MAIN(TestStationFile)
#include "tst_stationfile.moc"
