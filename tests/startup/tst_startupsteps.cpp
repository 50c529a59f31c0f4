#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "startup/supportfiles.h"
#include "stationdb/callsign.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestStartupSteps : public QObject
{
    Q_OBJECT

private slots:
    void migrationMovesStationFiles();
    void userDataFolderInstalledOnlyWhenNew();
    void rosterSeededOnce();
    void resetReminder_data();
    void resetReminder();
};

static void touch(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

void TestStartupSteps::migrationMovesStationFiles()
{
    TestRoot root;
    const QString from = root.paths().programFolder(), to = root.paths().dataFolder();
    QVERIFY(QDir(to).removeRecursively());
    touch(from + "Autauga.dat", "first");
    touch(from + "Wyoming.dat", "last");
    touch(from + "Vorq.exe", "x");
    QCOMPARE(MigrateStationFiles(from, to, root.table()), 2);
    QVERIFY(!QFile::exists(from + "Autauga.dat") && QFile::exists(to + "Autauga.dat"));
    QFile moved(to + "Wyoming.dat");
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), QByteArray("last"));
    QVERIFY(QFile::exists(from + "Vorq.exe"));

    // Once the data folder exists nothing is moved again.
    touch(from + "Mobile.dat", "stray");
    QCOMPARE(MigrateStationFiles(from, to, root.table()), 0);
    QVERIFY(QFile::exists(from + "Mobile.dat") && !QFile::exists(to + "Mobile.dat"));
}

void TestStartupSteps::userDataFolderInstalledOnlyWhenNew()
{
    TestRoot root;
    const QString folder = root.paths().appDataFolder() + "Halvorsoft/";
    QVERIFY(!PrepareUserDataFolder(folder, root.paths().programFolder()));
    QVERIFY(!QFile::exists(folder + "AltNC.txt"));

    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(PrepareUserDataFolder(folder, root.paths().programFolder()));
    for (const QString &name : SupportFileNames())
        QVERIFY2(QFileInfo(folder + name).size() > 0, qPrintable(name));
    QVERIFY(QFile::exists(root.paths().programFolder() + "ding.wav"));
}

void TestStartupSteps::rosterSeededOnce()
{
    TestRoot root({}, { { "NetCtl", "Sunday AM", "OLD" } });
    SettingsStore &s = root.settings();
    QVERIFY(SeedRoster(s));
    QCOMPARE(s.get("NetCtl", "Sunday AM"), QString());
    QStringList calls;
    for (const QString day :
        { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" }) {
        calls << s.get("NetCtlCall", day);
        QVERIFY2(IsValidCall(calls.last()) && !s.get("NetCtl", day).isEmpty(), qPrintable(day));
    }
    QCOMPARE(calls.removeDuplicates(), 0);
    QCOMPARE(s.get("Settings", "NetMgr"), s.get("NetCtl", "Thursday"));
    QCOMPARE(s.get("Settings", "NetMgrCall"), s.get("NetCtlCall", "Thursday"));

    // An existing roster is the net's own.
    s.save("NetCtl", "Monday", "ZED");
    QVERIFY(!SeedRoster(s));
    QCOMPARE(s.get("NetCtl", "Monday"), "ZED");
}

void TestStartupSteps::resetReminder_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("netControl");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("stored"); // "": never set
    QTest::addColumn<QString>("checkins");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<QString>("storedAfter");
    const auto row = [](const char *tag, const char *user, const char *netControl, const char *day,
                         const char *stored, const char *checkins, bool warn, const char *after) {
        QTest::newRow(tag) << QString(user) << QString(netControl) << QString(day)
                           << QString(stored) << QString(checkins) << warn << QString(after);
    };
    row("day 1 not reset", "BOB", "BOB", "01", "False", "12", true, "False");
    row("day 7 not reset", "BOB", "BOB", "07", "False", "3", true, "False");
    row("no check-ins", "BOB", "BOB", "03", "False", "0", false, "False");
    row("never set counts as reset", "BOB", "BOB", "03", "", "5", false, "True");
    row("other user", "AMY", "BOB", "03", "False", "5", false, "False");
    row("case differs", "BOB", "Bob", "03", "False", "5", false, "False");
    row("day 8 not reset", "BOB", "BOB", "08", "False", "5", false, "False");
    row("day 9", "BOB", "BOB", "09", "False", "5", false, "False");
    row("day 8 reset becomes due", "BOB", "BOB", "08", "True", "5", false, "False");
    row("day 8 never set", "BOB", "BOB", "08", "", "5", false, "False");
    row("day 8 other user keeps flag", "AMY", "BOB", "08", "True", "5", false, "True");
    row("day 15 keeps flag", "BOB", "BOB", "15", "True", "5", false, "True");
}

void TestStartupSteps::resetReminder()
{
    QFETCH(QString, user);
    QFETCH(QString, netControl);
    QFETCH(QString, day);
    QFETCH(QString, stored);
    QFETCH(QString, checkins);
    QFETCH(bool, warn);
    QFETCH(QString, storedAfter);
    TestRoot root;
    if (!stored.isEmpty())
        root.settings().save("Report", "ResetReport", stored);
    root.settings().save("Report", "Checkins", checkins);
    StartupContext context;
    context.UserName = user;
    context.NetCtlName = netControl;
    context.TodayDay = day;
    QCOMPARE(CheckReportReset(context, root.settings()), warn);
    ClearReportResetOnDay8(context, root.settings());
    QCOMPARE(root.settings().get("Report", "ResetReport"), storedAfter);
}

QTEST_GUILESS_MAIN(TestStartupSteps)
#include "tst_startupsteps.moc"
