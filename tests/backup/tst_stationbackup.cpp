#include "backup/stationbackup.h"
#include "backup/ui/frmprocessdatafiles.h"
#include "failingfs.h"
#include "mainwindowfixture.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeView>

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
    void linksAreNeverFollowed_data();
    void linksAreNeverFollowed();
    void relativeBackupPathRefused();
    void restoreTakesTheHighlightedFolder_data();
    void restoreTakesTheHighlightedFolder();
};

void TestStationBackup::backup()
{
    // Only two counties have a file here; the others are skipped and counted.
    TestRoot root({ { "LEE", { Station("K4A") } }, { "TEXAS", { Station("W5T") } } });
    const QString data = root.paths().dataFolder();
    QTemporaryDir drive;
    const QString target = drive.path() + "/new/0929"; // made, parent and all
    QList<int> shown; // the progress bar: before each of the 116 names, from 1
    CopyReport report
        = BackupStationFiles(root.table(), data, target, [&shown](int n) { shown << n; });
    QVERIFY2(report.ok(), qPrintable(report.failure.error()));
    QCOMPARE(std::pair(report.copied, report.missing), std::pair(2, 114));
    QCOMPARE(std::pair(int(shown.size()), shown.first() + shown.last()), std::pair(116, 117));
    QCOMPARE(FileBytes(target + "/Lee.dat"), root.stationBytes("LEE"));
    // Never into the data folder itself.
    report = BackupStationFiles(root.table(), data, data);
    QVERIFY(!report.ok() && report.failure.error().contains("data folder"));
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
    QVERIFY2(report.failure.error().contains("Lee.dat"), qPrintable(report.failure.error()));
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
    QList<int> shown; // before each file present, from 1
    report = RestoreStationFiles(
        root.table(), data, drive.path(), {}, safety, [&shown](int n) { shown << n; });
    QVERIFY2(report.ok(), qPrintable(report.failure.error()));
    QCOMPARE(shown, (QList<int> { 1, 2 }));
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
    named<QRadioButton>(w, "OptBackup")->click();
    named<QLineEdit>(w, "txtFolder")->setText(drive.path() + "/0929/");
    QTest::keyClick(named<QLineEdit>(w, "txtFolder"), Qt::Key_Return);
    // The other counties have no file yet: the main window's load makes none.
    QCOMPARE(
        named<QLabel>(w, "lblStatus")->text(), u"BACKUP COMPLETE - 115 COUNTIES HAVE NO FILE"_s);
    QCOMPARE(FileBytes(drive.path() + "/0929/Lee.dat"), f.root.stationBytes("LEE"));
    named<QRadioButton>(w, "OptRestore")->click();
    w.chooseFolder(drive.path() + "/0929");
    named<QRadioButton>(w, "OptAll")->click();
    QVERIFY2(named<QLabel>(w, "lblStatus")
                 ->text()
                 .startsWith("RESTORE COMPLETE FROM " + drive.path() + "/0929 - ")
            && named<QLabel>(w, "lblStatus")->text().contains(" - THE FORMER FILES ARE KEPT IN "),
        qPrintable(named<QLabel>(w, "lblStatus")->text()));
}

void TestStationBackup::linksAreNeverFollowed_data()
{
    QTest::addColumn<bool>("backup"); // else a restore over a linked live file
    QTest::newRow("backup into a folder holding a link") << true;
    QTest::newRow("restore over a live file that is a link") << false;
}

void TestStationBackup::linksAreNeverFollowed()
{
    QFETCH(bool, backup);
    TestRoot root({ { "AUTAUGA", { Station("K4AUT") } }, { "LEE", { Station("K4LEE") } } });
    QTemporaryDir drive;
    const QString folder = drive.path() + "/bk-link";
    QVERIFY(QDir().mkpath(folder));
    const QString outside = drive.path() + "/outside.txt";
    QFile file(outside);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("NOT YOURS") == 9);
    file.close();
    QString link;
    CopyReport report;
    if (backup) {
        link = folder + "/Autauga.dat";
        QVERIFY(QFile::link(outside, link));
        report = BackupStationFiles(root.table(), root.paths().dataFolder(), folder);
    } else {
        QVERIFY(BackupStationFiles(root.table(), root.paths().dataFolder(), folder).ok());
        link = root.filePath("AUTAUGA");
        QVERIFY(QFile::remove(link) && QFile::link(outside, link));
        report = RestoreStationFiles(
            root.table(), root.paths().dataFolder(), folder, { "Autauga.dat" }, QString());
    }
    // Refused and named; the file the link points to is untouched and the link stays a link.
    QVERIFY(!report.ok());
    QVERIFY2(
        report.failure.error().contains("Autauga.dat") && report.failure.error().contains("link"),
        qPrintable(report.failure.error()));
    QCOMPARE(FileBytes(outside), QByteArray("NOT YOURS"));
    QVERIFY(QFileInfo(link).isSymLink());
}

void TestStationBackup::relativeBackupPathRefused()
{
    TestRoot root({ { "LEE", { Station("K4A") } } });
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    const CopyReport report
        = BackupStationFiles(root.table(), root.paths().dataFolder(), "backup/0929/");
    QDir::setCurrent(before);
    QVERIFY(!report.ok());
    QVERIFY2(
        report.failure.error().contains("not a full path"), qPrintable(report.failure.error()));
    QVERIFY(QDir(work.path()).isEmpty()); // nothing went into the working folder
}

void TestStationBackup::restoreTakesTheHighlightedFolder_data()
{
    QTest::addColumn<bool>("all"); // Restore All, else Select Database and one name
    QTest::newRow("restore all") << true;
    QTest::newRow("one file") << false;
}

void TestStationBackup::restoreTakesTheHighlightedFolder()
{
    QFETCH(bool, all);
    MainWindowFixture f({ { "BALDWIN", { Station("K4LIVE") } } });
    f.open();
    // Two backups side by side, each with its own Baldwin.dat.
    QTemporaryDir drive;
    const QStringList backups { "bk-a", "bk-rel" };
    for (const QString &name : backups) {
        f.root.writeStations("BALDWIN", { Station(name == backups[0] ? "K4A" : "K4REL") });
        QVERIFY(BackupStationFiles(
            f.root.table(), f.root.paths().dataFolder(), drive.path() + "/" + name)
                    .ok());
    }
    f.root.writeStations("BALDWIN", { Station("K4LIVE") });
    const QByteArray live = f.root.stationBytes("BALDWIN");

    FrmProcessDataFiles w(f.root.services(), f.context);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    named<QRadioButton>(w, "OptRestore")->click();
    auto *model = qobject_cast<QFileSystemModel *>(named<QTreeView>(w, "Dir1")->model());
    const QModelIndex top = model->index(drive.path());
    named<QTreeView>(w, "Dir1")->setRootIndex(top);
    QTRY_COMPARE(model->rowCount(top), 2);
    // Click the first folder, then the arrow key moves the highlight to the second.
    const QModelIndex first = model->index(0, 0, top);
    QTest::mouseClick(named<QTreeView>(w, "Dir1")->viewport(), Qt::LeftButton, {},
        named<QTreeView>(w, "Dir1")->visualRect(first).center());
    QTest::keyClick(named<QTreeView>(w, "Dir1"), Qt::Key_Down);
    const QString highlighted = model->filePath(named<QTreeView>(w, "Dir1")->currentIndex());
    QCOMPARE(highlighted, model->filePath(model->index(1, 0, top)));
    QCOMPARE(w.sourceFolder(), highlighted);
    if (all) {
        named<QRadioButton>(w, "OptAll")->click();
    } else {
        named<QRadioButton>(w, "OptSelect")->click();
        EmitLineClick(named<QListWidget>(w, "lstSelect"), "Baldwin.dat");
    }
    const QByteArray expected = FileBytes(highlighted + "/Baldwin.dat");
    QCOMPARE(f.root.stationBytes("BALDWIN"), expected);
    // The status names the source and the safety copy, which holds the former live file.
    const QString status = named<QLabel>(w, "lblStatus")->text();
    QVERIFY2(status.startsWith("RESTORE COMPLETE FROM " + highlighted), qPrintable(status));
    const QString safety = status.section(" - THE FORMER FILES ARE KEPT IN ", 1);
    QVERIFY2(!safety.isEmpty(), qPrintable(status));
    QCOMPARE(FileBytes(QDir::fromNativeSeparators(safety) + "Baldwin.dat"), live);
    // A second restore in the same second keeps its own safety copy.
    if (!all) {
        EmitLineClick(named<QListWidget>(w, "lstSelect"), "Baldwin.dat");
        const QString second
            = named<QLabel>(w, "lblStatus")->text().section(" - THE FORMER FILES ARE KEPT IN ", 1);
        QVERIFY(!second.isEmpty() && second != safety);
        QCOMPARE(FileBytes(QDir::fromNativeSeparators(second) + "Baldwin.dat"), expected);
        QCOMPARE(FileBytes(QDir::fromNativeSeparators(safety) + "Baldwin.dat"), live);
    }
}

QTEST_MAIN(TestStationBackup)
#include "tst_stationbackup.moc"
