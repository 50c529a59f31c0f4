#include "failingfs.h"
#include "startup/frmholiday.h"
#include "startup/frmsplash.h"
#include "startup/frmusername.h"
#include "startup/startupcontext.h"
#include "startup/startupsteps.h"
#include "stationdb/textforms.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
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
    void seasons_data();
    void seasons();
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
            qobject_cast<FrmUserName *>(d)->txtUser->setText("abc");
            qobject_cast<FrmUserName *>(d)->CmdExit_Click();
            return d->result();
        };
    }
    TestRoot root;
    StartupContext context;
    FrmSplash splash { root.services(), context };
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
    s.splash.updateCheck = [&] {
        seen << "update:" + settings.get("Settings", "User Name") + "/"
                + settings.get("NetCtl", "Sunday");
        return true;
    };
    s.splash.qrzLoginOffer = [&] { seen << "qrz:" + s.context.NetCtlName; };
    connect(&s.splash, &FrmSplash::startupFinished, this,
        [&] { seen << s.root.dialogs().modalWindows.join('+'); });

    QVERIFY(s.splash.Form_Load());
    QCOMPARE(s.splash.lblName->text() + '/' + settings.get("Settings", "User Name"), "ABC/ABC");
    // Seeded roster, today's entry shown; no reset warning.
    const QString tuesday = DefaultRoster().at(2).name;
    QCOMPARE(s.splash.lblNetCtlName->text(), tuesday);
    QVERIFY(s.root.dialogs().messages.isEmpty() && s.splash.Timer1->isActive());
    // The instructions come before the main window takes over.
    s.splash.Timer1_Timer();
    QCOMPARE(seen, (QStringList { "update:ABC/", "qrz:" + tuesday, "frmUserName+frmInstr" }));

    // An installer taking over ends the start: no hand-over follows.
    FrmSplash ended(s.root.services(), s.context);
    ended.updateCheck = [] { return false; };
    QVERIFY(!ended.Form_Load() && !ended.Timer1->isActive());
}

void TestFrmSplash::laterStart()
{
    Start s(QDate(2026, 3, 2));
    QVERIFY(s.root.settings().save("Report", "ResetReport", "False"));
    QVERIFY(s.root.settings().save("Settings", "NMFlag", "1")); // obsolete: goes
    const Paths &p = s.root.paths();
    const QString leftOver = p.driveRoot() + "VORQBldUpdate.exe";
    QFile(leftOver).open(QIODevice::WriteOnly);
    // Station files still beside the program; no user data folder yet.
    QVERIFY(QDir(p.dataFolder()).removeRecursively());
    QVERIFY(QDir(p.appDataFolder() + "Halvorsoft").removeRecursively());
    QFile(p.programFolder() + "Mobile.dat").open(QIODevice::WriteOnly);
    int handOvers = 0;
    connect(&s.splash, &FrmSplash::startupFinished, this, [&] { ++handOvers; });
    QVERIFY(s.splash.Form_Load());
    QCOMPARE(s.root.dialogs().messages.size(), 1); // the report of last month is not reset
    QVERIFY(s.root.dialogs().messages[0].text.contains("has not been reset"));
    QCOMPARE(s.root.settings().get("Settings", "NMFlag"), QString());
    s.splash.Timer1_Timer();
    QVERIFY(handOvers == 1 && s.root.dialogs().modalWindows.isEmpty());
    QCOMPARE(s.context.NetCtlName + '/' + s.context.NetMgrCall + '/' + s.splash.lblName->text(),
        "BOB/W4MAX/BOB");
    QVERIFY(!QFile::exists(leftOver) && QFile::exists(p.dataFolder() + "Mobile.dat"));
    QVERIFY(QFile::exists(p.appDataFolder() + "Halvorsoft/VorqInst.txt"));
}

void TestFrmSplash::seasons_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<QStringList>("windows"); // a notice with its title and text
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("dst"); // Settings/DST after, "" never set
    const auto row = [](const char *tag, QDate today, bool first, const QStringList &windows,
                         const char *sound, const char *dst) {
        QTest::newRow(tag) << today << first << windows << QString(sound) << QString(dst);
    };
    const QString notice = "frmHoliday|DAYLIGHT SAVINGS TIME CHANGE|REMIND THE NET TO SET THEIR "
                           "CLOCK %1 ONE HOUR TONIGHT!!";
    row("forward notice", QDate(2018, 3, 10), false, { notice.arg("FORWARD") }, "", "");
    row("daylight day", QDate(2018, 3, 11), false, {}, "", "True");
    row("first start 18th", QDate(2026, 12, 18), true, { "frmXmas", "frmInstr" }, "home.wav", "");
}

void TestFrmSplash::seasons()
{
    QFETCH(QDate, today);
    QFETCH(bool, firstStart);
    QFETCH(QStringList, windows);
    QFETCH(QString, sound);
    QFETCH(QString, dst);
    Start s(today);
    if (firstStart)
        QVERIFY(s.root.settings().remove("First", "Firstime"));
    QStringList &shown = s.root.dialogs().modalWindows;
    s.root.dialogs().modalScripts << [&](QDialog *d) {
        if (auto *holiday = qobject_cast<FrmHoliday *>(d))
            shown.last() += '|' + d->windowTitle() + '|' + holiday->Label1->text();
        return QDialog::Accepted;
    };
    QVERIFY(s.splash.Form_Load());
    s.splash.show();
    s.splash.Timer1_Timer();
    QCOMPARE(shown, windows);
    QCOMPARE(s.root.sounds().played,
        sound.isEmpty() ? QStringList()
                        : QStringList { s.root.paths().appDataFolder() + "Halvorsoft/" + sound });
    QCOMPARE(s.root.settings().get("Settings", "DST"), dst);
    QVERIFY(!s.splash.isVisible());
}

void TestFrmSplash::failedSavesAreTold()
{
    // A first start on a full disk: the name and the roster cannot be stored. The start goes
    // on, and each failure is told, naming the file.
    Start s(QDate(2026, 3, 10), false);
    s.answerUserName();
    {
        FullDisk full(s.root.root());
        QVERIFY2(full.isFull(), "no way to fill a file system here");
        QVERIFY(s.splash.Form_Load());
    }
    // Told once, each different failure on a line of its own.
    QCOMPARE(s.root.dialogs().messages.size(), 1);
    QCOMPARE(s.root.dialogs().messages[0].text,
        "SETTINGS NOT SAVED: " + s.root.settings().fileOf("VORQ") + ": No space left on device");
    QCOMPARE(s.root.settings().get("Settings", "User Name"), QString());
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
