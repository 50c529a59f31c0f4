#include "demodatabase.h"

#include "startup/supportfiles.h"
#include "stationdb/callsign.h"
#include "stationdb/countytable.h"
#include "stationdb/paths.h"
#include "stationdb/settingsstore.h"
#include "stationdb/stationfile.h"
#include "stationdb/textforms.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestDemoDb : public QObject
{
    Q_OBJECT

private slots:
    void database_data();
    void database();
};

void TestDemoDb::database_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<QDate>("today");
    QTest::newRow("small, written in process") << false << QDate(2026, 3, 10);
    // The tool is run once, for the full database, at the moment VORQ_NOW gives it.
    QTest::newRow("full, written by the tool") << true << QDate(2025, 1, 2);
}

void TestDemoDb::database()
{
    QFETCH(bool, full);
    QFETCH(QDate, today);
    QTemporaryDir dir;
    const Paths paths = Paths::underRoot(dir.path());
    if (full) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORQ_NOW", "2025-01-02T19:00:00");
        process.setProcessEnvironment(env);
        process.start(VORQ_DEMODB, { "--full", "--root", dir.path() });
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            process.readAllStandardError().constData());
    } else {
        QString error;
        QVERIFY2(WriteDemoDatabase(paths, { today, false }, &error), qPrintable(error));
    }
    QCOMPARE(SettingsStore(paths).get("Settings", "dBDate"), ShortDate(today));
    for (const QString &name : SupportFileNames())
        QVERIFY2(
            QFileInfo(paths.appDataFolder() + "Halvorsoft/" + name).size() > 0, qPrintable(name));

    const CountyTable table(paths.dataFolder());
    QSet<QString> calls;
    int due = 0, notDue = 0, withMembers = 0;
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        // Every member's county is the display name of the file it stands in (found by name:
        // positions 69 and 70 of the two tables differ).
        const QString name = table.displayName(p);
        StationFile file(table.CountyFilePath(name));
        QVERIFY2(QFileInfo::exists(file.path()) && file.open(), qPrintable(name));
        int stations = 0, endAt = 0;
        for (int n = 1; n <= file.recordCount(); ++n) {
            const StationRecord r = file.read(n).trimmed();
            if (r.isEndMarker() && endAt == 0)
                endAt = n;
            if (r.isFree() || r.isEndMarker())
                continue;
            const QString where = name + ": " + r.Call;
            // The program's scans stop at the marker: a station behind it would never be found.
            QVERIFY2(
                endAt == 0 && IsValidCall(r.Call) && !r.Name.isEmpty() && !calls.contains(r.Call),
                qPrintable(where));
            QCOMPARE(r.County, name);
            const auto heard = ParseDateText(r.LastDate);
            QVERIFY2(heard && *heard <= today, qPrintable(where + " " + r.LastDate));
            ++(heard->daysTo(today) >= 365 ? due : notDue);
            calls.insert(r.Call);
            ++stations;
        }
        withMembers += stations > 0;
        QCOMPARE(stations, full ? RecordsPerFile : stations);
    }
    QVERIFY2(due > 0 && notDue > 0, qPrintable(QString("%1 due, %2 not").arg(due).arg(notDue)));
    QVERIFY2(
        full || (withMembers >= 24 && withMembers <= 60), qPrintable(QString::number(withMembers)));
}

QTEST_GUILESS_MAIN(TestDemoDb)
#include "tst_demodb.moc"
