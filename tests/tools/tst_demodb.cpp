#include "demodatabase.h"

#include "platform/paths.h"
#include "startup/supportfiles.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate kToday(2026, 3, 10);

// What one file of a database holds, as the program's own scans see it.
struct FileSummary
{
    int records = 0;
    int stations = 0;
    int vacant = 0;
    int endMarkerAt = 0; // record number, 0 when none
    bool stationAfterEnd = false;
};

FileSummary summarise(const QString &path, const QString &displayName, QSet<QString> &calls,
                      int &due, int &notDue)
{
    FileSummary s;
    StationFile file(path);
    if (!file.open())
        return s;
    s.records = file.recordCount();
    for (int n = 1; n <= s.records; ++n) {
        const StationRecord r = file.read(n).trimmed();
        if (r.isEndMarker()) {
            if (s.endMarkerAt == 0)
                s.endMarkerAt = n;
            continue;
        }
        if (r.isVacant()) {
            ++s.vacant;
            continue;
        }
        if (r.isBlank())
            continue;
        if (s.endMarkerAt != 0)
            s.stationAfterEnd = true;
        ++s.stations;
        const QString where = displayName + ": " + r.Call;
        [&] {
            QVERIFY2(IsValidCall(r.Call), qPrintable(where));
            QVERIFY2(!calls.contains(r.Call), qPrintable(where + " twice"));
            QCOMPARE(r.County, displayName);
            QVERIFY2(!r.Name.isEmpty(), qPrintable(where));
            const auto heard = ParseDateText(r.LastDate);
            QVERIFY2(heard.has_value(), qPrintable(where + " " + r.LastDate));
            QVERIFY2(*heard <= kToday, qPrintable(where + " heard in the future"));
        }();
        calls.insert(r.Call);
        if (const auto heard = ParseDateText(r.LastDate)) {
            if (heard->daysTo(kToday) >= 365)
                ++due;
            else
                ++notDue;
        }
    }
    return s;
}

} // namespace

class TestDemoDb : public QObject
{
    Q_OBJECT

private slots:
    void commonContents_data();
    void commonContents();
    void smallDatabase();
    void fullDatabase();
    void replacesExistingStationFiles();
    void unwritableRootIsReported();
    void executable_data();
    void executable();
};

void TestDemoDb::commonContents_data()
{
    QTest::addColumn<bool>("full");
    QTest::newRow("small") << false;
    QTest::newRow("full") << true;
}

void TestDemoDb::commonContents()
{
    QFETCH(bool, full);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Paths paths = Paths::underRoot(dir.path());
    QString error;
    QVERIFY2(WriteDemoDatabase(paths, { kToday, full }, &error), qPrintable(error));

    const CountyTable table(paths.dataFolder());
    QCOMPARE(QDir(paths.dataFolder()).entryList({ "*.dat" }, QDir::Files).size(),
             CountyTable::Last);
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p)
        QVERIFY2(QFileInfo::exists(table.filePath(p)), qPrintable(table.filePath(p)));

    for (const QString &name : SupportFileNames()) {
        const QString path = dir.path() + "/AppData/Halvorsoft/" + name;
        QVERIFY2(QFileInfo(path).size() > 0, qPrintable(path));
    }
    QVERIFY(QFileInfo(dir.path() + "/Version 1/ding.wav").size() > 0);
    QCOMPARE(SettingsStore(paths).get("Settings", "dBDate"), QStringLiteral("3/10/2026"));
}

void TestDemoDb::smallDatabase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Paths paths = Paths::underRoot(dir.path());
    QVERIFY(WriteDemoDatabase(paths, { kToday, false }));

    const CountyTable table(paths.dataFolder());
    QSet<QString> calls;
    int due = 0, notDue = 0, vacant = 0, withMembers = 0;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const QString name = table.displayName(p);
        const FileSummary s = summarise(table.filePath(p), name, calls, due, notDue);
        if (QTest::currentTestFailed())
            return;
        vacant += s.vacant;
        const bool listed = table.FileHasMembers(name);
        QCOMPARE(listed, s.stations > 0);
        if (listed)
            ++withMembers;
        // Every file ends at its marker: the program's scans stop there, so a station
        // behind it would never be found.
        QVERIFY2(s.endMarkerAt > 0, qPrintable(name));
        QCOMPARE(s.endMarkerAt, s.records);
        QVERIFY2(!s.stationAfterEnd, qPrintable(name));
        QVERIFY2(s.records <= RecordsPerFile, qPrintable(name));
    }
    QVERIFY2(withMembers >= 24 && withMembers <= 60, qPrintable(QString::number(withMembers)));
    QVERIFY(vacant > 0);
    QVERIFY2(due > 0 && notDue > 0, qPrintable(QStringLiteral("%1 due, %2 not").arg(due).arg(notDue)));
    // The demo must show both sides of the home state: its counties and the other states.
    QVERIFY(table.FileHasMembers("JEFFERSON"));
    QVERIFY(table.FileHasMembers("TEXAS"));
}

void TestDemoDb::fullDatabase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Paths paths = Paths::underRoot(dir.path());
    QVERIFY(WriteDemoDatabase(paths, { kToday, true }));

    const CountyTable table(paths.dataFolder());
    QSet<QString> calls;
    int due = 0, notDue = 0;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        const QString name = table.displayName(p);
        QCOMPARE(QFileInfo(table.filePath(p)).size(), qint64(RecordsPerFile * StationRecord::Size));
        const FileSummary s = summarise(table.filePath(p), name, calls, due, notDue);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(s.stations, RecordsPerFile);
        QVERIFY(table.FileHasMembers(name));
    }
    QCOMPARE(calls.size(), CountyTable::Last * RecordsPerFile);
    QVERIFY(due > 0 && notDue > 0);
}

void TestDemoDb::replacesExistingStationFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Paths paths = Paths::underRoot(dir.path());
    QVERIFY(WriteDemoDatabase(paths, { kToday, false }));
    // A full database over a small one: no file may keep the small one's end marker.
    QVERIFY(WriteDemoDatabase(paths, { kToday.addDays(1), true }));
    const CountyTable table(paths.dataFolder());
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p)
        QCOMPARE(QFileInfo(table.filePath(p)).size(), qint64(RecordsPerFile * StationRecord::Size));
    QCOMPARE(SettingsStore(paths).get("Settings", "dBDate"), QStringLiteral("3/11/2026"));
}

void TestDemoDb::unwritableRootIsReported()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile blocker(dir.filePath("root"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    QVERIFY(!WriteDemoDatabase(Paths::underRoot(dir.filePath("root")), { kToday, false }, &error));
    QVERIFY(!error.isEmpty());
}

void TestDemoDb::executable_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<qint64>("jeffersonSize"); // 0: any size
    QTest::newRow("small") << QStringList { "--root", "@" } << true << qint64(0);
    QTest::newRow("full") << QStringList { "--full", "--root", "@" } << true
                          << qint64(RecordsPerFile * StationRecord::Size);
    QTest::newRow("no root") << QStringList {} << false << qint64(0);
    QTest::newRow("root without folder") << QStringList { "--root" } << false << qint64(0);
}

void TestDemoDb::executable()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, succeeds);
    QFETCH(qint64, jeffersonSize);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    arguments.replaceInStrings("@", dir.path());

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VORQ_NOW", "2025-01-02T19:00:00");
    // Without --root the tool must not fall back to a root from the environment.
    env.insert("VORQ_ROOT", dir.path());
    process.setProcessEnvironment(env);
    process.start(VORQ_DEMODB, arguments);
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QString output = QString::fromLocal8Bit(process.readAllStandardError());
    if (!succeeds) {
        QVERIFY2(process.exitCode() != 0, qPrintable(output));
        QVERIFY(!output.isEmpty());
        QVERIFY(!QFileInfo::exists(dir.path() + "/DatFiles"));
        return;
    }
    QVERIFY2(process.exitCode() == 0, qPrintable(output));
    const Paths paths = Paths::underRoot(dir.path());
    const CountyTable table(paths.dataFolder());
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p)
        QVERIFY2(QFileInfo::exists(table.filePath(p)), qPrintable(table.filePath(p)));
    QVERIFY(table.FileHasMembers("JEFFERSON"));
    if (jeffersonSize > 0)
        QCOMPARE(QFileInfo(table.CountyFilePath("JEFFERSON")).size(), jeffersonSize);
    QCOMPARE(SettingsStore(paths).get("Settings", "dBDate"), QStringLiteral("1/2/2025"));
    QVERIFY(QFileInfo::exists(dir.path() + "/Version 1/ding.wav"));
}

QTEST_GUILESS_MAIN(TestDemoDb)
#include "tst_demodb.moc"
