#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "stationdb/callsign.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestStartupSteps : public QObject
{
    Q_OBJECT

private slots:
    void foldersPreparedOnlyWhenNew();
    void rosterSeededOnce();
    void resetReminder_data();
    void resetReminder();
};

void TestStartupSteps::foldersPreparedOnlyWhenNew()
{
    TestRoot root;
    const QString from = root.paths().programFolder(), to = root.paths().dataFolder();
    QVERIFY(QDir(to).removeRecursively());
    for (const QString name : { "Autauga.dat", "Vorq.exe" })
        QVERIFY(QFile(from + name).open(QIODevice::WriteOnly));
    QCOMPARE(MigrateStationFiles(from, to, root.table()), 1);
    QVERIFY(QFile::exists(to + "Autauga.dat") && QFile::exists(from + "Vorq.exe"));
    // Once the data folder exists nothing is moved again.
    QVERIFY(QFile(from + "Mobile.dat").open(QIODevice::WriteOnly));
    QCOMPARE(MigrateStationFiles(from, to, root.table()), 0);
    // An existing user data folder is left alone.
    const QString folder = root.paths().appDataFolder() + "Halvorsoft/";
    QVERIFY(!PrepareUserDataFolder(folder, from));
    QVERIFY(!QFile::exists(folder + "AltNC.txt"));
}

void TestStartupSteps::rosterSeededOnce()
{
    TestRoot root({}, { { "NetCtl", "Sunday AM", "OLD" } });
    SettingsStore &s = root.settings();
    QVERIFY(SeedRoster(s));
    QCOMPARE(s.get("NetCtl", "Sunday AM"), QString());
    QVERIFY(IsValidCall(s.get("NetCtlCall", "Tuesday")) && !s.get("NetCtl", "Tuesday").isEmpty());
    // An existing roster is the net's own.
    QVERIFY(s.save("NetCtl", "Monday", "ZED"));
    QVERIFY(SeedRoster(s)); // nothing to write
    QCOMPARE(s.get("NetCtl", "Monday"), "ZED");
}

void TestStartupSteps::resetReminder_data()
{
    // Net control (the user is BOB), day, stored flag ("" never set), check-ins.
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<QString>("storedAfter");
    const auto row = [](const char *tag, const QStringList &given, bool warn, const char *after) {
        QTest::newRow(tag) << given << warn << QString(after);
    };
    row("day 7 not reset", { "BOB", "07", "False", "3" }, true, "False");
    row("no check-ins", { "BOB", "03", "False", "0" }, false, "False");
    row("never set counts as reset", { "BOB", "03", "", "5" }, false, "True");
    row("other user", { "AMY", "03", "False", "5" }, false, "False");
    row("day 8 not reset", { "BOB", "08", "False", "5" }, false, "False");
    row("day 8 reset becomes due", { "BOB", "08", "True", "5" }, false, "False");
    row("day 8 other user keeps flag", { "AMY", "08", "True", "5" }, false, "True");
}

void TestStartupSteps::resetReminder()
{
    QFETCH(QStringList, given);
    QFETCH(bool, warn);
    QFETCH(QString, storedAfter);
    TestRoot root;
    if (!given[2].isEmpty())
        QVERIFY(root.settings().save("Report", "ResetReport", given[2]));
    QVERIFY(root.settings().save("Report", "Checkins", given[3]));
    StartupContext context;
    context.UserName = "BOB";
    context.NetCtlName = given[0];
    context.TodayDay = given[1];
    Status saved;
    QCOMPARE(CheckReportReset(context, root.settings(), saved), warn);
    ClearReportResetOnDay8(context, root.settings(), saved);
    QVERIFY(saved);
    QCOMPARE(root.settings().get("Report", "ResetReport"), storedAfter);
}

QTEST_GUILESS_MAIN(TestStartupSteps)
#include "tst_startupsteps.moc"
