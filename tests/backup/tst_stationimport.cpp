#include "backup/stationimport.h"
#include "demodatabase.h"
#include "failingfs.h"
#include "mainwindowfixture.h"
#include "stationdb/stationfile.h"
#include "zipwriter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <random>

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

QByteArray RandomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(rng() & 0xff);
    return bytes;
}

// What an operator can read on the status line: nothing that cuts it, moves it or hides.
bool AllPrintable(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

} // namespace

Q_DECLARE_METATYPE(ZipFile)

// The net manager's station files brought in from a folder or a zip, whatever the source holds.
class TestStationImport : public QObject
{
    Q_OBJECT

private slots:
    void importStationFiles_data();
    void importStationFiles();
    void onlyStationFilesComeIn_data();
    void onlyStationFilesComeIn();
    void everyDemoFileComesIn_data();
    void everyDemoFileComesIn();
    void zipBombs_data();
    void zipBombs();
    void statusLineStaysShortAndPrintable_data();
    void statusLineStaysShortAndPrintable();
    void failureCountsOnlyFilesCopied();
    void secondImportInOneSecondKeepsItsOwnCopy();
    void mutatedZipsNeverReplaceALiveFile();
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
    QTest::newRow("a zip whose packed length of a file was damaged to nothing") << "emptied zip"
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
        if (source == "emptied zip") // the packed length in Texas.dat's local header
            zip.replace(zip.indexOf("Texas.dat") - 12, 4, QByteArray(4, '\0'));
        from = WriteFile(sent, "stations.zip", zip);
    }
    const QString safety = root.paths().backupFolder() + "before-import/";
    const ImportReport report = ImportStationFiles(root.table(), data, from, safety);
    QCOMPARE(report.skipped.join(' '), skipped);
    if (taken.isEmpty()) {
        QVERIFY(!report.ok());
        QVERIFY2(report.failure.error().contains(from), qPrintable(report.failure.error()));
        QCOMPARE(root.stationBytes("LEE"), before);
        QVERIFY(!QFileInfo::exists(data + "Texas.dat"));
        return;
    }
    QVERIFY2(report.ok(), qPrintable(report.failure.error()));
    QCOMPARE(report.taken.join(' '), taken);
    QCOMPARE(root.stationBytes("LEE"), lee);
    QCOMPARE(root.stationBytes("TEXAS"), texas);
    QCOMPARE(report.safetyFolder, safety);
    QCOMPARE(FileBytes(safety + "Lee.dat"), before);
    QCOMPARE(ImportStatusText(report),
        "IMPORTED 2 STATION FILES - SKIPPED: " + skipped + " - THE FORMER FILES ARE KEPT IN "
            + QDir::toNativeSeparators(safety));
}

void TestStationImport::onlyStationFilesComeIn_data()
{
    QTest::addColumn<bool>("zip"); // else a folder
    QTest::addColumn<QByteArray>("sent"); // as Lee.dat
    QTest::addColumn<bool>("link"); // Lee.dat is a link to a file holding the bytes sent
    QTest::addColumn<QString>("refusal"); // empty: it comes in

    QByteArray full;
    for (int n = 0; n < RecordsPerFile; ++n)
        full += Station(u"K4%1"_s.arg(QChar(u'A' + n % 26)) + QChar(u'A' + n / 26)).toBytes();
    StationRecord retired = Vacant();
    retired.Status = "SUN";
    retired.LastDate = "3/10/2026";
    const QByteArray zeros(LargestStationFile, '\0');
    struct Row
    {
        const char *name;
        QByteArray sent;
        bool link;
        QString refusal;
    };
    const QList<Row> rows = {
        // What this program's own files hold.
        // No station: nothing to bring in, and no county emptied by it.
        { "a county file just made (empty)", QByteArray(), false, "skipped" },
        { "only retired slots and the end marker", Records({ Vacant(), EndMarker() }), false,
            "skipped" },
        { "members, a retired slot, blanks and the end marker",
            Records({ Station("K4NEW"), retired, BlankSlot(), Station("WA4XYZ"), EndMarker() }),
            false, "" },
        { "100 members", full, false, "" },
        // Anything else, which would stand in for the county's members.
        { "a link to the password file", "/etc/passwd", true, "not whole station records" },
        { "a CSV of members", "CALL,NAME,COUNTY\nK4NEW,NED,LEE\nW4TWO,TOM\n", false,
            "not whole station records" },
        { "a record cut short", Records({ Station("K4NEW") }) + "W4X", false,
            "not whole station records" },
        { "a megabyte of random bytes", RandomBytes(1024 * 1024, 1), false,
            "larger than a station file" },
        { "101 records", full + Station("K4ONE").toBytes(), false, "larger than a station file" },
        { "whole records of random bytes", RandomBytes(LargestStationFile, 2), false,
            "record 1 holds no call" },
        { "zeros, as a damaged disk leaves", zeros, false, "record 1 holds no call" },
        { "a call no one can have in the last record",
            full.left(LargestStationFile - StationRecord::Size) + Station("HELLO").toBytes(), false,
            "record 100 holds no call" },
    };
    for (bool zip : { true, false }) {
        for (const Row &row : rows) {
            QTest::addRow("%s: %s", zip ? "zip" : "folder", row.name)
                << zip << row.sent << row.link << row.refusal;
        }
    }
}

void TestStationImport::onlyStationFilesComeIn()
{
    QFETCH(bool, zip);
    QFETCH(QByteArray, sent);
    QFETCH(bool, link);
    QFETCH(QString, refusal);
    TestRoot root({ { "LEE", { Station("K4OLD"), Station("K4TWO") } } });
    const QByteArray before = root.stationBytes("LEE");
    const QByteArray texas = Records({ Station("W5TX"), EndMarker() });
    QTemporaryDir sent_, elsewhere;
    QString from = sent_.path();
    QString given = "LEE.DAT";
    if (zip) {
        given = "net/LEE.DAT";
        from = WriteFile(sent_, "stations.zip",
            MakeZip({ { given, sent, true, {}, false, link }, { "Texas.dat", texas, false } }));
    } else {
        WriteFile(sent_, "Texas.dat", texas);
        if (link) {
            const QString target
                = WriteFile(elsewhere, "passwd", "root:x:0:0:root:/root:/bin/sh\n");
            QVERIFY(QFile::link(target, sent_.filePath(given)));
        } else {
            WriteFile(sent_, given, sent);
        }
    }
    const QString safety = root.paths().backupFolder() + "before-import/";
    const ImportReport report
        = ImportStationFiles(root.table(), root.paths().dataFolder(), from, safety);
    // The other file comes in either way.
    QVERIFY2(report.ok(), qPrintable(report.failure.error()));
    QCOMPARE(root.stationBytes("TEXAS"), texas);
    if (refusal == "skipped") {
        QCOMPARE(report.refused, QStringList());
        QCOMPARE(report.taken, QStringList { "Texas.dat" });
        QCOMPARE(report.skipped, QStringList { given });
        QCOMPARE(root.stationBytes("LEE"), before);
        return;
    }
    if (refusal.isEmpty()) {
        QCOMPARE(report.refused, QStringList());
        QCOMPARE(report.taken.join(' '), u"Lee.dat Texas.dat"_s);
        QCOMPARE(root.stationBytes("LEE"), sent);
        QCOMPARE(FileBytes(safety + "Lee.dat"), before);
        return;
    }
    // Refused by name, with the reason; the live file is as it was.
    QCOMPARE(report.taken, QStringList { "Texas.dat" });
    QCOMPARE(report.refused.size(), 1);
    QVERIFY2(report.refused[0].startsWith(given + " (") && report.refused[0].contains(refusal),
        qPrintable(report.refused[0]));
    QCOMPARE(root.stationBytes("LEE"), before);
    QVERIFY2(ImportStatusText(report).startsWith(
                 "IMPORTED 1 STATION FILES - REFUSED: " + report.refused[0] + " - "),
        qPrintable(ImportStatusText(report)));
}

void TestStationImport::everyDemoFileComesIn_data()
{
    QTest::addColumn<bool>("full");
    QTest::newRow("the demo database") << false;
    QTest::newRow("every file full") << true;
}

void TestStationImport::everyDemoFileComesIn()
{
    // Files written by the program's own tool, zipped whole: none is refused.
    QFETCH(bool, full);
    TestRoot manager;
    QString error;
    QVERIFY2(WriteDemoDatabase(manager.paths(), { QDate(2026, 3, 10), full }, &error),
        qPrintable(error));
    QList<ZipFile> files;
    const QStringList names = QDir(manager.paths().dataFolder()).entryList(QDir::Files);
    for (const QString &name : names)
        files.append({ "stations/" + name, FileBytes(manager.paths().dataFolder() + name), true });
    QCOMPARE(int(files.size()), CountyTable::Last);
    QTemporaryDir sent;
    TestRoot root({ { "LEE", { Station("K4OLD") } } });
    const ImportReport report = ImportStationFiles(root.table(), root.paths().dataFolder(),
        WriteFile(sent, "demo.zip", MakeZip(files)), QString());
    QVERIFY2(report.ok(), qPrintable(report.failure.error()));
    QCOMPARE(report.refused, QStringList());
    // Those of no station are skipped; every other one comes in whole.
    QCOMPARE(int(report.taken.size() + report.skippedCount), CountyTable::Last);
    QVERIFY(report.taken.size() > (full ? CountyTable::Last - 1 : 30));
    for (const QString &name : std::as_const(report.taken))
        QCOMPARE(FileBytes(root.paths().dataFolder() + name),
            FileBytes(manager.paths().dataFolder() + name));
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

void TestStationImport::statusLineStaysShortAndPrintable_data()
{
    QTest::addColumn<QList<ZipFile>>("others"); // beside a Lee.dat that comes in
    QTest::addColumn<QString>("skipped"); // how the status line names them
    QTest::newRow("a NUL in a name")
        << QList<ZipFile> { { u"read\0me.txt"_s, "X", false } } << "SKIPPED: read";
    QTest::newRow("control characters in a name")
        << QList<ZipFile> { { "\x1b[2J\rnew\tline\n\x7f.txt", "X", false } }
        << "SKIPPED: ?[2J?new?line??.txt";
    QTest::newRow("a name of 2,000 letters")
        << QList<ZipFile> { { QString(2000, u'A'), "X", false } }
        << "SKIPPED: " + QString(60, u'A') + "...";
    QList<ZipFile> many;
    for (int i = 0; i < 10000; ++i)
        many.append({ u"notes%1.txt"_s.arg(i), "X", false });
    QTest::newRow("10,000 entries skipped")
        << many
        << "SKIPPED: notes0.txt, notes1.txt, notes2.txt, notes3.txt, notes4.txt AND 9995 MORE";
}

void TestStationImport::statusLineStaysShortAndPrintable()
{
    QFETCH(QList<ZipFile>, others);
    QFETCH(QString, skipped);
    MainWindowFixture f({ { "LEE", { Station("K4OLD") } } });
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    QList<ZipFile> files { { "Lee.dat", Records({ Station("K4NEW") }), true } };
    files += others;
    QTemporaryDir sent;
    f.root.dialogs().openFiles.enqueue(WriteFile(sent, "stations.zip", MakeZip(files)));
    named<QAction>(w, "mnuFileImportStationFiles")->trigger();
    // The line says what came in, the first few names, and still where the former files are.
    const QString status = f.status();
    const QString safety = f.root.paths().backupFolder() + "before-import-20260310-190000/";
    QCOMPARE(status,
        "IMPORTED 1 STATION FILES - " + skipped + " - THE FORMER FILES ARE KEPT IN "
            + QDir::toNativeSeparators(safety));
    QVERIFY2(status.size() < 400 && AllPrintable(status), qPrintable(status));
    QCOMPARE(FileBytes(safety + "Lee.dat"), before);
    QCOMPARE(f.root.record("LEE", 1).Call.trimmed(), u"K4NEW"_s);
}

void TestStationImport::failureCountsOnlyFilesCopied()
{
    // The first live file cannot be replaced: nothing was copied, and the line says no more.
    TestRoot root({ { "LEE", { Station("K4OLD") } }, { "TEXAS", { Station("W5OLD") } } });
    const QByteArray lee = root.stationBytes("LEE"), texas = root.stationBytes("TEXAS");
    QTemporaryDir sent;
    const QString zip = WriteFile(sent, "stations.zip",
        MakeZip({ { "Lee.dat", Records({ Station("K4NEW") }), true },
            { "Texas.dat", Records({ Station("W5NEW") }), true } }));
    ObeyFilePermissions obey;
    QVERIFY(QFile::setPermissions(root.filePath("LEE"), QFile::ReadOwner | QFile::ReadGroup));
    const ImportReport report
        = ImportStationFiles(root.table(), root.paths().dataFolder(), zip, QString());
    QFile::setPermissions(root.filePath("LEE"), QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(!report.ok());
    QCOMPARE(report.copied, 0);
    QCOMPARE(ImportStatusText(report), "IMPORT FAILED - " + report.failure.error());
    QCOMPARE(root.stationBytes("LEE") + root.stationBytes("TEXAS"), lee + texas);
}

void TestStationImport::secondImportInOneSecondKeepsItsOwnCopy()
{
    MainWindowFixture f({ { "LEE", { Station("K4OLD") } } });
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    QTemporaryDir sent;
    for (const QString call : { "K4ONE", "K4TWO" }) {
        f.root.dialogs().openFiles.enqueue(WriteFile(
            sent, call + ".zip", MakeZip({ { "Lee.dat", Records({ Station(call) }), true } })));
        named<QAction>(w, "mnuFileImportStationFiles")->trigger();
    }
    // The clock stood still: the first copy still holds the file as it was before
    // both.
    const QString first = f.root.paths().backupFolder() + "before-import-20260310-190000";
    QCOMPARE(FileBytes(first + "/Lee.dat"), before);
    QCOMPARE(FileBytes(first + "-2/Lee.dat"), Records({ Station("K4ONE") }));
    QVERIFY2(f.status().endsWith(QDir::toNativeSeparators(first + "-2/")), qPrintable(f.status()));
    QCOMPARE(f.root.record("LEE", 1).Call.trimmed(), u"K4TWO"_s);
}

void TestStationImport::mutatedZipsNeverReplaceALiveFile()
{
    // Damaged copies of a good zip, damaged as a bad disk, a cut-off download or a hostile
    // sender would; and good zips of damaged station files. Whatever the import makes of
    // each, a live file is only ever replaced by a whole station file, and the status line
    // stays readable.
    QList<StationRecord> lee, texas;
    for (int n = 0; n < 30; ++n)
        lee << Station(u"K4L%1"_s.arg(QChar(u'A' + n % 26)), "LEONARD", "LEE");
    lee << Vacant() << BlankSlot() << EndMarker();
    for (int n = 0; n < 20; ++n)
        texas << Station(u"W5T%1"_s.arg(QChar(u'A' + n)), "TOM", "TEXAS");
    const QList<QByteArray> good { Records(lee), Records(texas) };
    const QByteArray goodZip = MakeZip({ { "net/Lee.dat", good[0], true },
        { "net/Texas.dat", good[1], false }, { "net/readme.txt", "READ ME", true } });
    std::mt19937 rng(33);
    auto below
        = [&rng](qsizetype n) { return qsizetype(rng() % quint32(std::max<qsizetype>(n, 1))); };
    auto damageZip = [&](QByteArray &zip) {
        switch (rng() % 4) {
        case 0: // a few bytes changed
            for (qsizetype i = 1 + below(4); i > 0; --i)
                zip[below(zip.size())] = char(rng());
            break;
        case 1: // cut off
            zip.truncate(below(zip.size()));
            break;
        case 2: { // a length or offset field made huge, zero or slightly off
            const qsizetype at = below(zip.size() - 4);
            const quint32 value = std::array<quint32, 4> { 0xffffffffu, 0, 0x7fffffffu,
                quint32(rng() % 256) }[rng() % 4];
            for (int i = 0; i < 4; ++i)
                zip[at + i] = char(value >> (8 * i));
            break;
        }
        default: { // a piece copied over another
            const qsizetype from = below(zip.size()), to = below(zip.size());
            const qsizetype length = std::min(below(64), zip.size() - std::max(from, to));
            zip.replace(to, length, zip.mid(from, length));
        }
        }
    };
    // Damages the station file; true when it is still a whole one.
    auto damageFile = [&](QByteArray &bytes) {
        const qsizetype record = below(30) * StationRecord::Size; // a member's
        switch (rng() % 3) {
        case 0: // cut inside a record
            bytes.truncate(below(bytes.size() / StationRecord::Size) * StationRecord::Size + 1
                + below(StationRecord::Size - 1));
            return false;
        case 1: { // a control character in a call, none that trimming takes away
            const char control = char(std::array { 0, 1, 7, 8, 14, 27, 31 }[rng() % 7]);
            bytes[record + below(StationRecord::CallWidth)] = control;
            return false;
        }
        default: // other letters in the other fields
            for (qsizetype i = 1 + below(8); i > 0; --i)
                bytes[record + StationRecord::CallWidth
                    + below(StationRecord::Size - StationRecord::CallWidth)]
                    = char('A' + below(26));
            return true;
        }
    };

    // Thousands of synced writes would measure the disk, not the import: the root lies in
    // memory where the system has a folder for that.
    const QString memory = QStringLiteral("/dev/shm");
    QTemporaryDir rootFolder(
        (QFileInfo(memory).isWritable() ? memory : QDir::tempPath()) + "/vorq-import-XXXXXX");
    TestRoot root({ { "LEE", { Station("K4OLD") } }, { "TEXAS", { Station("W5OLD") } } }, {},
        QDateTime(QDate(2026, 3, 10), QTime(19, 0)), rootFolder.path());
    const QDir data(root.paths().dataFolder());
    QTemporaryDir sent;
    const int runs = SlowTestRuns(2000);
    int copied = 0;
    for (int run = 0; run < runs; ++run) {
        QHash<QString, QByteArray> before;
        for (const QString &name : data.entryList(QDir::Files))
            before.insert(name, FileBytes(data.filePath(name)));
        QByteArray leeSent = good[0], zip;
        bool whole = true;
        const bool zipDamaged = run % 2 == 0;
        if (zipDamaged) {
            zip = goodZip;
            damageZip(zip);
        } else {
            whole = damageFile(leeSent);
            zip = MakeZip({ { "net/Lee.dat", leeSent, rng() % 2 == 0 } });
        }
        const ImportReport report = ImportStationFiles(
            root.table(), data.path(), WriteFile(sent, "mutated.zip", zip), QString());
        copied += report.copied;
        const QString status = ImportStatusText(report);
        QVERIFY2(status.size() < 1000 && AllPrintable(status), qPrintable(status));
        if (!zipDamaged) {
            QCOMPARE(FileBytes(data.filePath("Lee.dat")), whole ? leeSent : before["Lee.dat"]);
            continue;
        }
        // A zip program's checksum leaves each file as it was or as the zip first held it.
        for (const QString &name : data.entryList(QDir::Files)) {
            const QByteArray bytes = FileBytes(data.filePath(name));
            QVERIFY2(bytes == before.value(name) || good.contains(bytes),
                qPrintable(u"run %1: %2 holds %3"_s.arg(run).arg(name, bytes.toPercentEncoding())));
        }
    }
    // Many copies still held good station files: the import was not merely refusing all.
    QVERIFY2(copied > runs / 10, qPrintable(QString::number(copied)));
}

QTEST_MAIN(TestStationImport)
#include "tst_stationimport.moc"
