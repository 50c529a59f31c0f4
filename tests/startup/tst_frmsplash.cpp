#include "failingfs.h"
#include "mainwindowfixture.h"
#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "startup/ui/frmsplash.h"
#include "startup/ui/frmusername.h"
#include "stationdb/atomicfile.h"
#include "stationdb/textforms.h"
#include "testroot.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

class TestFrmSplash : public QObject
{
    Q_OBJECT

private slots:
    void firstStart();
    void laterStart();
    void seasons();
    void failedSavesAreTold_data();
    void failedSavesAreTold();
};

namespace {

// A start on a day. A later start has user BOB as net control every day, 40 check-ins and
// MAX managing; a first start nothing stored.
struct Start
{
    explicit Start(const QDate &today = QDate(2026, 3, 10), bool later = true)
        : root({}, {}, QDateTime(today, QTime(18, 30)))
    {
        splash.setSteps(&steps);
        if (!later)
            return;
        for (const SettingValue &v : { SettingValue { "Settings", "User Name", "BOB" },
                 { "First", "Firstime", "FALSE" }, { "Settings", "NetMgr", "MAX" },
                 { "Settings", "NetMgrCall", "W4MAX" }, { "Report", "Checkins", "40" } })
            QVERIFY(root.settings().save(v.section, v.key, v.value));
        for (int d = 1; d <= 7; ++d)
            QVERIFY(root.settings().save("NetCtl", EnglishDayName(QDate(2026, 3, d)), "BOB"));
    }
    // The name window of a first start is answered with "abc".
    void answerUserName()
    {
        root.dialogs().modalScripts << [](QDialog *d) {
            named<QLineEdit>(*qobject_cast<FrmUserName *>(d), "txtUser")->setText("abc");
            named<QPushButton>(*qobject_cast<FrmUserName *>(d), "CmdExit")->click();
            return d->result();
        };
    }
    TestRoot root;
    StartupContext context;
    FrmSplash splash { root.services(), context };
    ScriptedSplashSteps steps;
};

} // namespace

void TestFrmSplash::firstStart()
{
    Start s(QDate(2026, 3, 10), false);
    s.answerUserName();
    SettingsStore &settings = s.root.settings();
    QStringList seen;
    // The update check runs once the name is known and before the roster is seeded; the login
    // offer once today's net control is known.
    s.steps.update = [&] {
        seen << "update:" + settings.get("Settings", "User Name") + "/"
                + settings.get("NetCtl", "Sunday");
        return true;
    };
    s.steps.qrz = [&] { seen << "qrz:" + s.context.NetCtlName; };
    connect(&s.splash, &FrmSplash::startupFinished, this,
        [&] { seen << s.root.dialogs().modalWindows.join('+'); });

    QVERIFY(s.splash.runLoadSequence());
    QCOMPARE(settings.get("Settings", "User Name"), "ABC");
    // Seeded roster, today's entry shown; no reset warning.
    const QString tuesday = DefaultRoster().at(2).name;
    QCOMPARE(named<QLabel>(s.splash, "lblNetCtlName")->text(), tuesday);
    QVERIFY(s.root.dialogs().messages.isEmpty() && s.splash.handOverPending());
    // The instructions come before the main window takes over.
    s.splash.handOver();
    QCOMPARE(seen, (QStringList { "update:ABC/", "qrz:" + tuesday, "frmUserName+frmInstr" }));

    // An installer taking over ends the start: no hand-over follows.
    FrmSplash ended(s.root.services(), s.context);
    ScriptedSplashSteps endingSteps;
    endingSteps.update = [] { return false; };
    ended.setSteps(&endingSteps);
    QVERIFY(!ended.runLoadSequence() && !ended.handOverPending());
}

void TestFrmSplash::laterStart()
{
    Start s(QDate(2026, 3, 2));
    QVERIFY(s.root.settings().save("Report", "ResetReport", "False"));
    QVERIFY(s.root.settings().save("Settings", "NMFlag", "1")); // obsolete: goes
    const Paths &p = s.root.paths();
    const QString leftOver = p.driveRoot() + "VORQBldUpdate.exe";
    QFile(leftOver).open(QIODevice::WriteOnly);
    int handOvers = 0;
    connect(&s.splash, &FrmSplash::startupFinished, this, [&] { ++handOvers; });
    QVERIFY(s.splash.runLoadSequence());
    QCOMPARE(s.root.dialogs().messages.size(), 1); // the report of last month is not reset
    QVERIFY(s.root.dialogs().messages[0].text.contains("has not been reset"));
    QCOMPARE(s.root.settings().get("Settings", "NMFlag"), QString());
    s.splash.handOver();
    QVERIFY(handOvers == 1 && s.root.dialogs().modalWindows.isEmpty());
    QCOMPARE(s.context.NetCtlName + '/' + s.context.NetMgrCall + '/'
            + named<QLabel>(s.splash, "lblName")->text(),
        "BOB/W4MAX/BOB");
    QVERIFY(!QFile::exists(leftOver));
}

void TestFrmSplash::seasons()
{
    // The eve of a clock change shows its notice; a first start in Christmas week the greeting
    // with its tune, before the instructions.
    Start eve(QDate(2018, 3, 10));
    QVERIFY(eve.splash.runLoadSequence());
    eve.splash.show();
    eve.splash.handOver();
    QCOMPARE(eve.root.dialogs().modalWindows, QStringList { "frmHoliday" });
    Start xmas(QDate(2026, 12, 18));
    QVERIFY(xmas.root.settings().remove("First", "Firstime"));
    QVERIFY(xmas.splash.runLoadSequence());
    xmas.splash.show();
    xmas.splash.handOver();
    QCOMPARE(xmas.root.dialogs().modalWindows, (QStringList { "frmXmas", "frmInstr" }));
    QCOMPARE(xmas.root.sounds().played,
        QStringList { xmas.root.paths().appDataFolder() + "Halvorsoft/home.wav" });
}

void TestFrmSplash::failedSavesAreTold_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("full disk, first start") << "full disk";
    QTest::newRow("read-only store, a later start") << "read-only";
    QTest::newRow("store over 1 MB, a later start") << "over 1 MB";
}

void TestFrmSplash::failedSavesAreTold()
{
    // The name and the roster of a first start, or the report flag of a later one, cannot be
    // stored. The start goes on, and each failure is told, naming the file.
    QFETCH(QString, fault);
    Start s(QDate(2026, 3, 10), fault != "full disk");
    const QString ini = s.root.settings().fileOf("VORQ");
    if (fault == "full disk") {
        s.answerUserName();
        FullDisk full(s.root.root());
        QVERIFY2(full.isFull(), "no way to fill a file system here");
        QVERIFY(s.splash.runLoadSequence());
    } else if (fault == "over 1 MB") {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write("[Junk]\n" + QByteArray("A=1\n").repeated(256 * 1024)) > 0);
        file.close();
        QVERIFY(s.splash.runLoadSequence());
        QCOMPARE(s.root.dialogs().messages.size(), 1);
        QCOMPARE(s.root.dialogs().messages[0].text.section(u'\n', 0, 0),
            "SETTINGS CANNOT BE READ: " + ini + ": larger than 1 MB");
        return;
    } else {
        // The operator's choice: the store stays as it is, whatever the program would save.
        QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QByteArray before = ReadWholeFile(ini).value();
        const QFileInfo was(ini);
        ObeyFilePermissions obey;
        QVERIFY(obey.active());
        QVERIFY(s.splash.runLoadSequence());
        QCOMPARE(ReadWholeFile(ini).value(), before);
        QCOMPARE(QFileInfo(ini).fileTime(QFileDevice::FileMetadataChangeTime),
            was.fileTime(QFileDevice::FileMetadataChangeTime));
    }
    // Told once, each different failure on a line of its own.
    QCOMPARE(s.root.dialogs().messages.size(), 1);
    QCOMPARE(s.root.dialogs().messages[0].text,
        "SETTINGS NOT SAVED: " + ini
            + (fault == "full disk" ? ": No space left on device" : ": the file is read-only"));
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
