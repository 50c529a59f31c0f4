#include "backup/frmprocessdatafiles.h"
#include "backup/stationbackup.h"
#include "failingfs.h"
#include "mainwindowfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// Backup and restore of the station files between real folders.
class TestStationBackup : public QObject
{
    Q_OBJECT

private slots:
    void backup();
    void failingDestination_data();
    void failingDestination();
    void restore();
    void window();
};

void TestStationBackup::backup()
{
    // Only two counties have a file here; the others are skipped and counted.
    TestRoot root({ { "LEE", { Station("K4A") } }, { "TEXAS", { Station("W5T") } } });
    const QString data = root.paths().dataFolder();
    QTemporaryDir drive;
    const QString target = drive.path() + "/new/0929"; // made, parent and all
    CopyReport report = BackupStationFiles(root.table(), data, target);
    QVERIFY2(report.ok(), qPrintable(report.error));
    QCOMPARE(std::pair(report.copied, report.missing), std::pair(2, 114));
    QCOMPARE(FileBytes(target + "/Lee.dat"), root.stationBytes("LEE"));
    // Never into the data folder itself.
    report = BackupStationFiles(root.table(), data, data);
    QVERIFY(!report.ok() && report.error.contains("data folder"));
}

void TestStationBackup::failingDestination_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only folder") << "read-only";
    QTest::newRow("full disk") << "full";
}

void TestStationBackup::failingDestination()
{
    QFETCH(QString, fault);
    TestRoot root({ { "LEE", { Station("K4A") } } });
    QTemporaryDir drive;
    const QString target = drive.path() + "/usb";
    QVERIFY(QDir().mkpath(target));
    QFile old(target + "/Lee.dat");
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("OLD BACKUP") == 10);
    old.close();
    ObeyFilePermissions obey;
    std::unique_ptr<FullDisk> full;
    if (fault == "read-only")
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner));
    else
        full = std::make_unique<FullDisk>(target);
    const CopyReport report = BackupStationFiles(root.table(), root.paths().dataFolder(), target);
    full.reset();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Stopped at the first file, named, and nothing half-written left to pass for a backup.
    QVERIFY(!report.ok());
    QVERIFY2(report.error.contains("Lee.dat"), qPrintable(report.error));
    QCOMPARE(FileBytes(target + "/Lee.dat"), QByteArray("OLD BACKUP"));
    QCOMPARE(QDir(target).entryList(QDir::Files | QDir::Hidden), QStringList { "Lee.dat" });
}

void TestStationBackup::restore()
{
    TestRoot root({ { "LEE", { Station("K4LIVE") } }, { "MOBILE", { Station("K4MOB") } } });
    const QString data = root.paths().dataFolder();
    QTemporaryDir drive;
    QVERIFY(BackupStationFiles(root.table(), data, drive.path()).ok());
    root.writeStations("LEE", { Station("K4CHG") });
    root.writeStations("MOBILE", { Station("K4CHG") });
    // One file: the others stay as they are.
    CopyReport report
        = RestoreStationFiles(root.table(), data, drive.path(), { "Lee.dat" }, QString());
    QVERIFY(report.ok() && report.copied == 1);
    QCOMPARE(root.record("LEE", 1).Call.trimmed() + root.record("MOBILE", 1).Call.trimmed(),
        u"K4LIVEK4CHG"_s);
    // All, with the live files kept first so a wrong restore can be undone.
    const QString safety = root.paths().backupFolder() + "before-restore-x/";
    report = RestoreStationFiles(root.table(), data, drive.path(), {}, safety);
    QVERIFY2(report.ok(), qPrintable(report.error));
    QCOMPARE(report.missing, 114); // the other counties have no file: the rest is restored
    QCOMPARE(StationRecord::fromBytes(FileBytes(safety + "Mobile.dat")).Call.trimmed(), u"K4CHG"_s);
    // A folder without station files restores nothing and says so.
    QTemporaryDir empty;
    report = RestoreStationFiles(root.table(), data, empty.path(), {}, QString());
    QVERIFY(!report.ok() && report.copied == 0);
    QCOMPARE(root.record("MOBILE", 1).Call.trimmed(), u"K4MOB"_s);
}

void TestStationBackup::window()
{
    MainWindowFixture f({ { "LEE", { Station("K4A") } } });
    f.open();
    FrmProcessDataFiles w(f.root.services(), f.context);
    // A backup typed into the box; Restore All names where the former files went.
    QTemporaryDir drive;
    w.OptBackup->click();
    w.txtFolder->setText(drive.path() + "/0929/");
    w.txtFolder_Enter();
    QCOMPARE(w.lblStatus->text(), u"BACKUP COMPLETE"_s);
    QCOMPARE(FileBytes(drive.path() + "/0929/Lee.dat"), f.root.stationBytes("LEE"));
    w.OptRestore->click();
    w.Dir1_Click(drive.path() + "/0929");
    w.OptAll_Click();
    QVERIFY2(w.lblStatus->text().startsWith("RESTORE COMPLETE - THE FORMER FILES ARE KEPT IN "),
        qPrintable(w.lblStatus->text()));
}

QTEST_MAIN(TestStationBackup)
#include "tst_stationbackup.moc"
