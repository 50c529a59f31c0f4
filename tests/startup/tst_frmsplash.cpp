#include "startup/frmholiday.h"
#include "startup/frmsplash.h"
#include "startup/frmusername.h"
#include "startup/startupcontext.h"
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
    void resetWarning_data();
    void resetWarning();
    void daylightSaving_data();
    void daylightSaving();
    void christmas_data();
    void christmas();
    void smallScreen();
};

namespace {

QDateTime at(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(18, 30));
}

// A start on a day (by default Tuesday 10 March 2026). A later start has user BOB, AMY every
// day and MAX managing; a first start nothing stored.
struct Start
{
    explicit Start(const QDateTime &now = at(2026, 3, 10), bool later = true)
        : root({}, {}, now)
    {
        if (!later)
            return;
        SettingsStore &s = root.settings();
        s.save("Settings", "User Name", "BOB");
        s.save("First", "Firstime", "FALSE");
        s.save("Settings", "NetMgr", "MAX");
        s.save("Settings", "NetMgrCall", "W4MAX");
        for (int d = 1; d <= 7; ++d)
            s.save("NetCtl", EnglishDayName(QDate(2026, 3, d)), "AMY");
    }
    TestRoot root;
    StartupContext context;
    FrmSplash splash { root.services(), context };
};

} // namespace

void TestFrmSplash::firstStart()
{
    Start s(at(2026, 3, 10), false);
    s.root.dialogs().modalScripts << [](QDialog *d) {
        qobject_cast<FrmUserName *>(d)->txtUser->setText("abc");
        qobject_cast<FrmUserName *>(d)->CmdExit_Click();
        return d->result();
    };
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
    QCOMPARE(s.splash.lblName->text(), "ABC");
    QCOMPARE(settings.get("Settings", "User Name"), "ABC");
    // Seeded roster, today's entry shown.
    const QString tuesday = settings.get("NetCtl", "Tuesday");
    QVERIFY(!tuesday.isEmpty());
    QCOMPARE(s.splash.lblNetCtlName->text(), tuesday);
    QVERIFY(s.root.dialogs().messages.isEmpty());
    QVERIFY(s.splash.Timer1->isActive());

    // The instructions come before the main window takes over.
    s.splash.Timer1_Timer();
    QCOMPARE(seen, (QStringList { "update:ABC/", "qrz:" + tuesday, "frmUserName+frmInstr" }));
    QVERIFY(s.root.sounds().played.isEmpty());

    // An installer taking over ends the start: no hand-over follows.
    FrmSplash ended(s.root.services(), s.context);
    ended.updateCheck = [] { return false; };
    QVERIFY(!ended.Form_Load());
    QVERIFY(!ended.Timer1->isActive());
}

void TestFrmSplash::laterStart()
{
    Start s;
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
    const int w = FrmSplash::DesignWidth, h = FrmSplash::DesignHeight; // centred on 1280x1024
    QCOMPARE(QRect(s.splash.pos(), s.splash.size()), QRect((1280 - w) / 2, (1024 - h) / 2, w, h));
    s.splash.Timer1_Timer();
    QCOMPARE(handOvers, 1);
    QVERIFY(s.root.dialogs().modalWindows.isEmpty() && s.root.dialogs().messages.isEmpty());
    QCOMPARE(s.context.NetCtlName + '/' + s.context.NetMgrCall, "AMY/W4MAX");
    QCOMPARE(s.splash.lblName->text(), "BOB");
    QVERIFY(!QFile::exists(leftOver));
    QVERIFY(QFile::exists(p.dataFolder() + "Mobile.dat")
        && !QFile::exists(p.programFolder() + "Mobile.dat"));
    QCOMPARE(s.context.UserDataFolder, p.appDataFolder() + "Halvorsoft/");
    QVERIFY(QFile::exists(s.context.UserDataFolder + "VorqInst.txt"));
}

void TestFrmSplash::resetWarning_data()
{
    QTest::addColumn<QDate>("today"); // the user is today's net control
    QTest::newRow("day 2: warned") << QDate(2026, 3, 2);
    QTest::newRow("day 8: flag cleared") << QDate(2026, 3, 8);
}

void TestFrmSplash::resetWarning()
{
    QFETCH(QDate, today);
    const int warnings = today.day() < 8 ? 1 : 0;
    Start s(QDateTime(today, QTime(19, 0)));
    s.root.settings().save("NetCtl", EnglishDayName(today), "BOB");
    s.root.settings().save("Report", "Checkins", "40");
    s.root.settings().save("Report", "ResetReport", today.day() == 8 ? "True" : "False");
    QVERIFY(s.splash.Form_Load());
    QCOMPARE(s.root.dialogs().messages.size(), warnings);
    if (warnings) {
        const DialogRecord m = s.root.dialogs().messages.first();
        QCOMPARE(m.title + '|' + m.text,
            "RESET NET REPORT|Your Net Report for last month has not been reset.\r\nPlease reset "
            "your report before you save todays report!");
        QCOMPARE(m.icon, MsgIcon::Warning);
    }
    QCOMPARE(s.root.settings().get("Report", "ResetReport"), "False");
}

void TestFrmSplash::daylightSaving_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("before"); // Settings/DST, "" = never set
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("after");
    const QString forward = "REMIND THE NET TO SET THEIR CLOCK FORWARD ONE HOUR TONIGHT!!";
    const QString back = "REMIND THE NET TO SET THEIR CLOCK BACK ONE HOUR TONIGHT!!";
    const QString none;
    QTest::newRow("2018 forward notice") << at(2018, 3, 10) << "False" << forward << "False";
    QTest::newRow("2018 daylight day") << at(2018, 3, 11) << "False" << none << "True";
    QTest::newRow("2026 back notice") << at(2026, 10, 31) << "True" << back << "True";
    QTest::newRow("2024 June") << at(2024, 6, 15) << "True" << none << "True";
    QTest::newRow("2027 forward notice") << at(2027, 3, 13) << none << forward << none;
    QTest::newRow("2030 back notice") << at(2030, 11, 2) << "True" << back << "True";
}

void TestFrmSplash::daylightSaving()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, before);
    QFETCH(QString, notice);
    QFETCH(QString, after);
    Start s(now);
    if (!before.isEmpty())
        s.root.settings().save("Settings", "DST", before);
    QString shown;
    s.root.dialogs().modalScripts << [&](QDialog *d) {
        shown = d->windowTitle() + '|' + qobject_cast<FrmHoliday *>(d)->Label1->text();
        return QDialog::Accepted;
    };
    QVERIFY(s.splash.Form_Load());
    QCOMPARE(shown, notice.isEmpty() ? "" : "DAYLIGHT SAVINGS TIME CHANGE|" + notice);
    QCOMPARE(s.root.settings().get("Settings", "DST"), after);
}

void TestFrmSplash::christmas_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<QString>("sound");
    using L = QStringList;
    QTest::newRow("first start 18th") << 18 << true << L { "frmXmas", "frmInstr" } << "home.wav";
    QTest::newRow("later start 18th") << 18 << false << L {} << "";
    QTest::newRow("first start 19th") << 19 << true << L { "frmXmas", "frmInstr" } << "home.wav";
    QTest::newRow("later start 19th") << 19 << false << L { "frmXmas" } << "merryxmas.wav";
    QTest::newRow("first start 26th") << 26 << true << L { "frmInstr" } << "";
}

void TestFrmSplash::christmas()
{
    QFETCH(int, day);
    QFETCH(bool, firstStart);
    QFETCH(QStringList, windows);
    QFETCH(QString, sound);
    Start s(at(2026, 12, day));
    if (firstStart)
        s.root.settings().remove("First", "Firstime");
    QVERIFY(s.splash.Form_Load());
    s.splash.show();
    s.splash.Timer1_Timer();
    QCOMPARE(s.root.dialogs().modalWindows, windows);
    QCOMPARE(s.root.sounds().played,
        sound.isEmpty() ? QStringList() : QStringList { s.context.UserDataFolder + sound });
    QVERIFY(!s.splash.isVisible());
}

void TestFrmSplash::smallScreen()
{
    Start s;
    s.root.screen().pixels = QSize(1024, 768);
    QVERIFY(s.splash.Form_Load());
    const int w = FrmSplash::DesignWidth, h = FrmSplash::DesignHeight;
    QCOMPARE(QRect(s.splash.pos(), s.splash.size()),
        QRect((1024 - w) / 2 + 33, (768 - h) / 2, w - 66, h - 33));
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
