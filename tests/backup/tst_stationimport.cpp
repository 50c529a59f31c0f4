#include "backup/stationimport.h"
#include "testroot.h"
#include "zipwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray Records(const QList<StationRecord> &records)
{
    QByteArray bytes;
    for (const StationRecord &r : records)
        bytes += r.toBytes();
    return bytes;
}

} // namespace

// The net manager's station files brought in from a folder or a zip, whatever the source holds.
class TestStationImport : public QObject
{
    Q_OBJECT

private slots:
    void importStationFiles_data();
    void importStationFiles();
    void zipBombs_data();
    void zipBombs();
};

void TestStationImport::importStationFiles_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("taken"); // empty: refused, nothing changes
    QTest::addColumn<QString>("skipped");
    QTest::newRow("a folder, names in any case") << "folder"
                                                 << "Lee.dat Texas.dat"
                                                 << "notes.txt";
    QTest::newRow("a zip, stored and deflated, in a folder of its own") << "zip"
                                                                        << "Lee.dat Texas.dat"
                                                                        << "net/readme.txt";
    QTest::newRow("a zip written to a pipe: lengths after the data") << "streamed zip"
                                                                     << "Lee.dat Texas.dat"
                                                                     << "net/readme.txt";
    QTest::newRow("a damaged zip") << "damaged zip"
                                   << ""
                                   << "";
    QTest::newRow("a folder without station files") << "no station files"
                                                    << ""
                                                    << "notes.txt";
}

void TestStationImport::importStationFiles()
{
    QFETCH(QString, source);
    QFETCH(QString, taken);
    QFETCH(QString, skipped);
    TestRoot root({ { "LEE", { Station("K4OLD") } } });
    const QString data = root.paths().dataFolder();
    const QByteArray before = root.stationBytes("LEE");
    // What the net manager sends: records as this program writes them.
    TestRoot manager({ { "LEE", { Station("K4NEW", "NED"), Station("K4TWO") } },
        { "TEXAS", { Station("W5TX") } } });
    const QByteArray lee = manager.stationBytes("LEE"), texas = manager.stationBytes("TEXAS");
    QTemporaryDir sent;
    QString from = sent.path();
    if (source == "folder") {
        WriteFile(sent, "LEE.DAT", lee);
        WriteFile(sent, "Texas.dat", texas);
        WriteFile(sent, "notes.txt", "NET MANAGER'S NOTES");
    } else if (source == "no station files") {
        WriteFile(sent, "notes.txt", "NET MANAGER'S NOTES");
    } else {
        const bool streamed = source == "streamed zip";
        QByteArray zip = MakeZip({ { "net/Lee.dat", lee, true, {}, streamed },
            { "Texas.dat", texas, false }, { "net/readme.txt", "READ ME", true, {}, streamed } });
        if (source == "damaged zip")
            zip[50] = char(zip[50] ^ 0x55); // inside the deflated Lee.dat
        from = WriteFile(sent, "stations.zip", zip);
    }
    const QString safety = root.paths().backupFolder() + "before-import/";
    const ImportReport report = ImportStationFiles(root.table(), data, from, safety);
    QCOMPARE(report.skipped.join(' '), skipped);
    if (taken.isEmpty()) {
        QVERIFY(!report.ok());
        QVERIFY2(report.error.contains(from), qPrintable(report.error));
        QCOMPARE(root.stationBytes("LEE"), before);
        QVERIFY(!QFileInfo::exists(data + "Texas.dat"));
        return;
    }
    QVERIFY2(report.ok(), qPrintable(report.error));
    QCOMPARE(report.taken.join(' '), taken);
    QCOMPARE(root.stationBytes("LEE"), lee);
    QCOMPARE(root.stationBytes("TEXAS"), texas);
    QCOMPARE(report.safetyFolder, safety);
    QCOMPARE(FileBytes(safety + "Lee.dat"), before);
    QCOMPARE(ImportStatusText(report),
        "IMPORTED 2 STATION FILES - SKIPPED: " + skipped + " - THE FORMER FILES ARE KEPT IN "
            + QDir::toNativeSeparators(safety));
}

void TestStationImport::zipBombs_data()
{
    QTest::addColumn<QByteArray>("zip");
    QTest::addColumn<QStringList>("told"); // parts of the status line
    // A megabyte of members, as a station file would be if it had no end.
    const QByteArray mb = Station("K4BOMB").toBytes().repeated(1024 * 1024 / StationRecord::Size);
    QStringList names;
    for (int i = 0; i < 65000; ++i)
        names << (i % 2 == 0 ? u"Lee.dat"_s : u"%1/Texas.dat"_s.arg(i));
    QTest::newRow("65,000 directory entries sharing one megabyte") << MakeSharedDataZip(names,
        mb) << QStringList { "IMPORT FAILED - ", "REFUSED: Lee.dat (larger than a station file" };
    QList<ZipFile> many;
    for (int i = 0; i < 5000; ++i)
        many.append({ u"%1/Lee.dat"_s.arg(i), mb, true });
    QTest::newRow("5,000 entries of a megabyte each")
        << MakeZip(many)
        << QStringList { "IMPORT FAILED - ", "REFUSED: 0/Lee.dat (larger than a station file",
               "SKIPPED: 1/Lee.dat, 2/Lee.dat, 3/Lee.dat, 4/Lee.dat, 5/Lee.dat AND 4994 MORE" };
    QList<ZipFile> streamed;
    for (int i = 0; i < 200; ++i)
        streamed.append({ u"%1/notes.txt"_s.arg(i), mb, true, {}, true });
    QTest::newRow("200 entries of a megabyte whose lengths only their ends tell")
        << MakeZip(streamed) << QStringList { "IMPORT FAILED - ", "over 64 MB to unpack" };
    QList<ZipFile> tiny;
    for (int i = 0; i < 25000; ++i)
        tiny.append({ u"%1.txt"_s.arg(i), "X", false });
    tiny.append({ "Lee.dat", Records({ Station("K4NEW") }), false });
    QTest::newRow("25,000 entries")
        << MakeZip(tiny) << QStringList { "IMPORT FAILED - ", "over 20000 entries" };
}

void TestStationImport::zipBombs()
{
    // Each import runs in a process of its own with 50 MB more address space than it
    // starts with: a reader that keeps what it unpacks dies there.
    QFETCH(QByteArray, zip);
    QFETCH(QStringList, told);
    TestRoot root({ { "LEE", { Station("K4OLD") } } });
    const QByteArray before = root.stationBytes("LEE");
    QTemporaryDir sent;
    const QString path = WriteFile(sent, "bomb.zip", zip);
    QProcess child;
    child.start(BOUNDED_IMPORT, { root.paths().dataFolder(), path, "50" });
    QVERIFY2(child.waitForFinished(120000), qPrintable(child.errorString()));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
    const QString status = QString::fromUtf8(child.readAllStandardOutput()).section('\n', 0, 0);
    for (const QString &part : told)
        QVERIFY2(status.contains(part), qPrintable(status));
    QCOMPARE(root.stationBytes("LEE"), before);
    QCOMPARE(QDir(root.paths().dataFolder()).entryList(QDir::Files), QStringList { "Lee.dat" });
}

QTEST_MAIN(TestStationImport)
#include "tst_stationimport.moc"
