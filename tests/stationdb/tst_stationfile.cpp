#include "failingfs.h"
#include "platform/instancelock.h"
#include "stationdb/atomicfile.h"
#include "stationdb/stationfile.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>
#include <random>
#include <sys/stat.h>

class TestStationFile : public QObject
{
    Q_OBJECT

private slots:
    void recordFormat_data();
    void recordFormat();
    void missingFileIsCreatedEmpty();
    void badFilesReadAsBlanks_data();
    void badFilesReadAsBlanks();
    void failedWriteLeavesFileIntact_data();
    void failedWriteLeavesFileIntact();
    void unreadableFileIsNeverWritten_data();
    void unreadableFileIsNeverWritten();
    void leftoverTemporariesRemoved();
    void replacedFileKeepsItsMode_data();
    void replacedFileKeepsItsMode();
    void readFailureIsAnErrorNotAWait();
    void refusedRenameIsAnError();
    void replaceChecksTheRecordFirst_data();
    void replaceChecksTheRecordFirst();
};

void TestStationFile::recordFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("20 cut to 15") << "ABCDEFGHIJKLMNOPQRST" << QByteArray("ABCDEFGHIJKLMNO");
}

void TestStationFile::recordFormat()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, stored);
    const QByteArray bytes
        = Station("K4ABC", name, "JEFFERSON", "SUN", "BIRMINGHAM", "3/7/2012").toBytes();
    // Call 0-5, name 6-20, county 21-35, status 36-46, city 47-71, last date 72-81.
    QCOMPARE(bytes,
        "K4ABC " + stored
            + "JEFFERSON      SUN        BIRMINGHAM               "
              "3/7/2012  ");
    QCOMPARE(StationRecord::fromBytes(bytes).trimmed(),
        Station("K4ABC", QString(stored).trimmed(), "JEFFERSON", "SUN", "BIRMINGHAM", "3/7/2012"));
    // Every byte, high ones and zeros too, comes back as it was read.
    QByteArray all;
    for (int i = 0; i < 82; ++i)
        all += char(i == 3 ? 0 : 0x80 + i);
    QCOMPARE(StationRecord::fromBytes(all).toBytes(), all);
}

void TestStationFile::missingFileIsCreatedEmpty()
{
    TestRoot root;
    const QString path = root.filePath("MOBILE");
    StationFile file(path);
    QVERIFY(file.open());
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(file.write(1, Station("K4NEW")));
    QCOMPARE(root.record("MOBILE", 1).Call.trimmed(), QStringLiteral("K4NEW"));
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
    QTest::newRow("not a multiple of 82, tail record")
        << (Station("K4A").toBytes() + QByteArray("W4XY")) << 2 << QStringLiteral("W4XY");
    QTest::newRow("binary noise") << noise << 3 << QString::fromLatin1(noise.mid(164, 6)).trimmed();
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
    (void)root.table().FileHasMembers("LEE"); // the table's scan copes as well
    // And a write keeps every other byte where it was.
    QVERIFY(file.write(1, Station("W4NEW")));
    const QByteArray after = root.stationBytes("LEE");
    QCOMPARE(after.left(6), QByteArray("W4NEW "));
    if (content.size() > 82)
        QCOMPARE(after.mid(82), content.mid(82));
}

void TestStationFile::failedWriteLeavesFileIntact_data()
{
    QTest::addColumn<QString>("fault");
    for (const char *fault : { "read-only", "full disk", "record changed", "not single-byte text" })
        QTest::newRow(fault) << QString::fromLatin1(fault);
}

void TestStationFile::failedWriteLeavesFileIntact()
{
    QFETCH(QString, fault);
    TestRoot root({ { "LEE", { Station("K4A", "ANN"), Station("K4B", "BOB"), EndMarker() } } });
    const QString path = root.filePath("LEE");
    const QByteArray before = root.stationBytes("LEE");
    StationFile file(path);
    QVERIFY(file.open());
    StationRecord update = Station("W4X", "XAVIER");
    std::unique_ptr<FullDisk> full;
    if (fault == "read-only") {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    } else if (fault == "full disk") {
        full = std::make_unique<FullDisk>(root.root());
        QVERIFY2(full->isFull(), "no way to fill a file system here");
    } else if (fault == "record changed") {
        // Another program took record 2 after this one read the file.
        StationFile other(path);
        QVERIFY(other.open());
        QVERIFY(other.write(2, Station("N4OTH", "OTHER")));
    } else {
        update.Name = QStringLiteral("\u0141UKASZ"); // L with stroke: no Latin-1 byte
    }
    const QByteArray expected = root.stationBytes("LEE");
    const Status written = file.write(2, update);
    QVERIFY(!written);
    QVERIFY2(written.error().contains(path), qPrintable(written.error()));
    full.reset();
    QCOMPARE(root.stationBytes("LEE"), expected);
    if (fault != "record changed")
        QCOMPARE(expected, before);
    // Nothing of the attempt is left beside the file.
    QCOMPARE(QDir(root.paths().dataFolder()).entryList(QDir::Files | QDir::Hidden),
        QStringList { "Lee.dat" });
}

void TestStationFile::unreadableFileIsNeverWritten_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("write-only file") << "write-only";
    QTest::newRow("folder in its place") << "folder";
    QTest::newRow("named pipe in its place") << "pipe";
}

void TestStationFile::unreadableFileIsNeverWritten()
{
    QFETCH(QString, kind);
    TestRoot root({ { "LEE", { Station("K4A"), Station("K4B"), EndMarker() } } });
    const QString path = root.filePath("LEE");
    const QByteArray before = root.stationBytes("LEE");
    ObeyFilePermissions obey;
    if (kind == "write-only") {
        QVERIFY(obey.active());
        QFile::setPermissions(path, QFile::WriteOwner);
    } else {
        QVERIFY(QFile::remove(path));
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    StationFile file(path);
    const Status opened = file.open(); // a pipe must not block here
    QVERIFY(!opened);
    QVERIFY(opened.error().startsWith(path));
    QVERIFY(!file.write(3, Station("W4NEW")));
    QVERIFY(!ReplaceStationRecord(path, 1, "K4A", Station("K4A")));
    QVERIFY(!root.table().FileHasMembers("LEE"));
    if (kind == "write-only") {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(root.stationBytes("LEE"), before);
    } else {
        QCOMPARE(QFileInfo(path).isFile(), false);
    }
}

void TestStationFile::leftoverTemporariesRemoved()
{
    TestRoot root({ { "LEE", { Station("K4A") } } });
    QVERIFY(root.settings().save("Settings", "User Name", "BOB"));
    const Paths &p = root.paths();
    const QString support = p.appDataFolder() + MakerFolderName() + u'/';
    QVERIFY(QDir().mkpath(p.sessionsFolder()) && QDir().mkpath(support));
    // The operator's own copies, six letters or digits after a dot like a temporary.
    const QStringList operatorFiles { p.settingsFolder() + "VORQ.ini.backup",
        p.settingsFolder() + "VORQ.ini.2024q1", p.dataFolder() + "Lee.dat.backup",
        p.dataFolder() + "Jefferson.dat.before", p.root() + "net-notes.txt.backup",
        p.sessionsFolder() + "2026-06-01-1900.txt.backup", support + "VorqPreamble.txt.custom",
        p.dataFolder() + "Lee.dat.vorq-tmp-toolong7" };
    const QStringList ours { p.settingsFolder() + "VORQ.ini.vorq-tmp-ZZ9zz9",
        p.dataFolder() + "Lee.dat.vorq-tmp-Ab12Cd", p.root() + "x.txt.vorq-tmp-abcdef",
        p.sessionsFolder() + "2026-06-01-1900.txt.vorq-tmp-a1b2c3",
        support + "VorqPreamble.txt.vorq-tmp-QWERTY",
        p.programFolder() + "dBUpdate.exe.vorq-tmp-update" }; // a download cut short
    for (const QString &name : operatorFiles + ours) {
        QFile f(name);
        QVERIFY2(f.open(QIODevice::WriteOnly) && f.write("kept") == 4, qPrintable(name));
    }
    RemoveLeftoverWrites(p);
    for (const QString &name : operatorFiles)
        QVERIFY2(QFile::exists(name), qPrintable(name));
    for (const QString &name : ours)
        QVERIFY2(!QFile::exists(name), qPrintable(name));
    QVERIFY(QFile::exists(root.settings().fileOf("VORQ")) && QFile::exists(root.filePath("LEE")));
}

void TestStationFile::replacedFileKeepsItsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("0444 read-only") << 0444 << false;
    QTest::newRow("0400 read-only") << 0400 << false;
    QTest::newRow("0640") << 0640 << true;
    QTest::newRow("0604") << 0604 << true;
    QTest::newRow("0660") << 0660 << true;
}

void TestStationFile::replacedFileKeepsItsMode()
{
    QFETCH(int, mode);
    QFETCH(bool, replaced);
    TestRoot root({ { "LEE", { Station("K4A"), EndMarker() } } });
    const QString path = root.filePath("LEE");
    const QByteArray before = root.stationBytes("LEE");
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
    struct stat was;
    QCOMPARE(::stat(name.constData(), &was), 0);
    ObeyFilePermissions obey; // as an ordinary user, who cannot write a 0444 file
    QVERIFY(obey.active());
    const Status written = WriteFileAtomically(path, Station("W4NEW").toBytes());
    struct stat now;
    QCOMPARE(::stat(name.constData(), &now), 0);
    QCOMPARE(int(now.st_mode & 07777), mode);
    QCOMPARE(written.ok(), replaced);
    if (replaced) {
        QCOMPARE(root.stationBytes("LEE"), Station("W4NEW").toBytes());
    } else {
        QCOMPARE(written.error(), path + ": the file is read-only");
        QCOMPARE(now.st_ino, was.st_ino);
        QCOMPARE(root.stationBytes("LEE"), before);
    }
}

QTEST_GUILESS_MAIN(TestStationFile)
#include "tst_stationfile.moc"

void TestStationFile::replaceChecksTheRecordFirst_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("expectedCall");
    QTest::addColumn<bool>("written");
    QTest::newRow("the call read there") << 1 << "K4A" << true;
    QTest::newRow("record 100") << 100 << "K4Z" << true;
    QTest::newRow("another call there now") << 1 << "K4B" << false;
    QTest::newRow("a blank record, no call expected") << 3 << "" << false;
    QTest::newRow("record 0") << 0 << "K4A" << false;
    QTest::newRow("record 101") << 101 << "K4Z" << false;
}

// An edit is written only over the record it was made from: anything else there means
// another program (or copy) changed the file meanwhile.
void TestStationFile::replaceChecksTheRecordFirst()
{
    QFETCH(int, record);
    QFETCH(QString, expectedCall);
    QFETCH(bool, written);
    QList<StationRecord> stations { Station("K4A"), Station("K4B") };
    while (stations.size() < 99)
        stations << BlankSlot();
    stations << Station("K4Z");
    TestRoot root({ { "LEE", stations } });
    const QString path = root.filePath("LEE");
    const QByteArray before = root.stationBytes("LEE");
    const Status done = ReplaceStationRecord(path, record, expectedCall, Station("W4NEW"));
    QCOMPARE(done.ok(), written);
    if (!written) {
        QCOMPARE(done.error(), FileError(path, StationFile::ChangedByAnotherProgram()));
        QCOMPARE(root.stationBytes("LEE"), before);
        return;
    }
    StationFile file(path);
    QVERIFY(file.open());
    QCOMPARE(file.read(record).Call.trimmed(), QString("W4NEW"));
}

void TestStationFile::readFailureIsAnErrorNotAWait()
{
    // A regular file whose read the system refuses: the reason comes back at once.
    const QString refused = "/sys/class/net/lo/speed";
    if (!QFileInfo(refused).isFile())
        QSKIP("no file here whose read the system refuses");
    // A read that retried such a failure for ever would hang the net: it must end.
    Result<QByteArray> head = QByteArray();
    std::unique_ptr<QThread> reader(
        QThread::create([&head, &refused] { head = ReadFileHead(refused, 82 * 100); }));
    reader->start();
    if (!reader->wait(QDeadlineTimer(20000))) {
        reader.release(); // still reading: the process ends with the failure
        QFAIL("the read did not return");
    }
    QVERIFY(!head);
    QCOMPARE(head.status().error(), FileError(refused, "Invalid argument"));
}

void TestStationFile::refusedRenameIsAnError()
{
    // A folder that took the target's place: the finished file cannot be put there, and
    // saying otherwise would lose its content unseen.
    QTemporaryDir dir;
    const QString finished = dir.filePath("licences.sqlite.part");
    const QString target = dir.filePath("licences.sqlite");
    QFile part(finished);
    QVERIFY(part.open(QIODevice::WriteOnly) && part.write("whole") == 5);
    part.close();
    QVERIFY(QDir().mkpath(target + "/inside"));
    const Status replaced = SyncAndReplaceFile(finished, target);
    QVERIFY(!replaced);
    QVERIFY2(replaced.error().startsWith(target + ": "), qPrintable(replaced.error()));
    QVERIFY(QFileInfo(finished).isFile() && QFileInfo(target).isDir());
}
