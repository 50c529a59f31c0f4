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

using namespace Qt::Literals::StringLiterals;

class TestFrmSplash : public QObject
{
    Q_OBJECT

private slots:
    void firstStart();
    void laterStart();
    void hooksRunInTheirPlaces();
    void folders();
    void resetWarning_data();
    void resetWarning();
    void daylightSaving_data();
    void daylightSaving();
    void christmas_data();
    void christmas();
    void smallScreen_data();
    void smallScreen();
};

namespace {

QDateTime at(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(18, 30));
}

// Answers the user-name prompt with a name.
std::function<int(QDialog *)> typeUserName(const QString &name)
{
    return [name](QDialog *d) {
        auto *prompt = qobject_cast<FrmUserName *>(d);
        prompt->txtUser->setText(name);
        prompt->CmdExit_Click();
        return prompt->result();
    };
}

void laterStartSettings(TestRoot &root)
{
    SettingsStore &s = root.settings();
    s.save("Settings", "User Name", "BOB");
    s.save("First", "Firstime", "FALSE");
    for (const QString day :
        { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" }) {
        s.save("NetCtl", day, "AMY");
        s.save("NetCtlCall", day, "K4AMY");
    }
    s.save("Settings", "NetMgr", "MAX");
    s.save("Settings", "NetMgrCall", "W4MAX");
}

} // namespace

void TestFrmSplash::firstStart()
{
    TestRoot root; // Tuesday 10 March 2026, nothing stored
    root.dialogs().modalScripts << typeUserName("abc");
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QStringList windowsAtHandOver;
    connect(&splash, &FrmSplash::startupFinished, this,
        [&] { windowsAtHandOver = root.dialogs().modalWindows; });

    QVERIFY(splash.Form_Load());
    QCOMPARE(root.dialogs().modalWindows, QStringList { "frmUserName" });
    QCOMPARE(root.settings().get("Settings", "User Name"), "ABC");
    QCOMPARE(context.UserName, "ABC");
    QVERIFY(!splash.lblName->isHidden());
    QCOMPARE(splash.lblName->text(), "ABC");
    QVERIFY(!splash.lblGM->isHidden());
    // Seeded roster, today's entry shown.
    const QString tuesday = root.settings().get("NetCtl", "Tuesday");
    QVERIFY(!tuesday.isEmpty());
    QCOMPARE(context.NetCtlName, tuesday);
    QCOMPARE(splash.lblNetCtlName->text(), tuesday);
    QCOMPARE(splash.lblNetCtlCall->text(), root.settings().get("NetCtlCall", "Tuesday"));
    QCOMPARE(context.NetMgrName, root.settings().get("Settings", "NetMgr"));
    QVERIFY(root.dialogs().messages.isEmpty());
    QVERIFY(splash.Timer1->isActive());
    QCOMPARE(splash.Timer1->interval(), 5000);

    splash.Timer1_Timer();
    QCOMPARE(windowsAtHandOver, (QStringList { "frmUserName", "frmInstr" }));
    QVERIFY(root.sounds().played.isEmpty());
}

void TestFrmSplash::laterStart()
{
    TestRoot root;
    laterStartSettings(root);
    const QString leftOver = root.paths().driveRoot() + "VORQBldUpdate.exe";
    QFile(leftOver).open(QIODevice::WriteOnly);
    StartupContext context;
    FrmSplash splash(root.services(), context);
    int handOvers = 0;
    connect(&splash, &FrmSplash::startupFinished, this, [&] { ++handOvers; });
    QVERIFY(splash.Form_Load());
    splash.Timer1_Timer();
    QCOMPARE(handOvers, 1);
    QVERIFY(root.dialogs().modalWindows.isEmpty());
    QVERIFY(root.dialogs().messages.isEmpty());
    QCOMPARE(context.NetCtlName, "AMY");
    QCOMPARE(context.NetMgrCall, "W4MAX");
    QCOMPARE(splash.lblName->text(), "BOB");
    QVERIFY(!QFile::exists(leftOver));
}

void TestFrmSplash::hooksRunInTheirPlaces()
{
    TestRoot root;
    root.dialogs().modalScripts << typeUserName("eve");
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QStringList seen;
    splash.updateCheck = [&] {
        seen << "update:" + root.settings().get("Settings", "User Name") + "/"
                + root.settings().get("NetCtl", "Sunday");
        return true;
    };
    splash.qrzLoginOffer = [&] { seen << "qrz:" + context.NetCtlName; };
    QVERIFY(splash.Form_Load());
    // The update check runs after the name is known and before the roster is seeded; the
    // login offer after today's net control is known.
    QCOMPARE(
        seen, (QStringList { "update:EVE/", "qrz:" + root.settings().get("NetCtl", "Tuesday") }));

    // An installer taking over ends the start: no hand-over follows.
    FrmSplash ended(root.services(), context);
    ended.updateCheck = [] { return false; };
    QVERIFY(!ended.Form_Load());
    QVERIFY(!ended.Timer1->isActive());
}

void TestFrmSplash::folders()
{
    TestRoot root;
    laterStartSettings(root);
    const Paths &p = root.paths();
    QVERIFY(QDir(p.dataFolder()).removeRecursively());
    QVERIFY(QDir(p.appDataFolder() + "Halvorsoft").removeRecursively());
    QFile(p.programFolder() + "Mobile.dat").open(QIODevice::WriteOnly);
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QVERIFY(splash.Form_Load());
    QVERIFY(QFile::exists(p.dataFolder() + "Mobile.dat"));
    QVERIFY(!QFile::exists(p.programFolder() + "Mobile.dat"));
    QCOMPARE(context.UserDataFolder, p.appDataFolder() + "Halvorsoft/");
    QVERIFY(QFile::exists(context.UserDataFolder + "VorqInst.txt"));
    QVERIFY(QFile::exists(context.UserDataFolder + "Xmas-2.gif"));
}

void TestFrmSplash::resetWarning_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("netControl");
    QTest::addColumn<int>("warnings");
    QTest::addColumn<QString>("storedAfter");
    QTest::newRow("day 2, own net") << QDate(2026, 3, 2) << "BOB" << 1 << "False";
    QTest::newRow("day 8, own net") << QDate(2026, 3, 8) << "BOB" << 0 << "False";
}

void TestFrmSplash::resetWarning()
{
    QFETCH(QDate, today);
    QFETCH(QString, netControl);
    QFETCH(int, warnings);
    QFETCH(QString, storedAfter);
    TestRoot root({}, {}, QDateTime(today, QTime(19, 0)));
    laterStartSettings(root);
    root.settings().save("NetCtl", EnglishDayName(today), netControl);
    root.settings().save("Report", "Checkins", "40");
    root.settings().save("Report", "ResetReport", today.day() == 8 ? "True" : "False");
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QVERIFY(splash.Form_Load());
    QCOMPARE(root.dialogs().messages.size(), warnings);
    if (warnings) {
        const DialogRecord m = root.dialogs().messages.first();
        QCOMPARE(m.title, "RESET NET REPORT");
        QCOMPARE(m.text,
            "Your Net Report for last month has not been reset.\r\nPlease reset "
            "your report before you save todays report!");
        QCOMPARE(m.icon, MsgIcon::Warning);
    }
    QCOMPARE(root.settings().get("Report", "ResetReport"), storedAfter);
}

void TestFrmSplash::daylightSaving_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("after");
    const QString forward = "REMIND THE NET TO SET THEIR CLOCK FORWARD ONE HOUR TONIGHT!!";
    const QString back = "REMIND THE NET TO SET THEIR CLOCK BACK ONE HOUR TONIGHT!!";
    QTest::newRow("2018 forward notice") << at(2018, 3, 10) << "False" << forward << "False";
    QTest::newRow("2018 daylight day") << at(2018, 3, 11) << "False"
                                       << ""
                                       << "True";
    QTest::newRow("2026 back notice") << at(2026, 10, 31) << "True" << back << "True";
    QTest::newRow("2024 June") << at(2024, 6, 15) << "True"
                               << ""
                               << "True";
    QTest::newRow("2027 forward notice") << at(2027, 3, 13) << "" << forward << "";
    QTest::newRow("2030 back notice") << at(2030, 11, 2) << "True" << back << "True";
}

void TestFrmSplash::daylightSaving()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, before);
    QFETCH(QString, notice);
    QFETCH(QString, after);
    TestRoot root({}, {}, now);
    laterStartSettings(root);
    if (!before.isEmpty())
        root.settings().save("Settings", "DST", before);
    QString caption, label;
    root.dialogs().modalScripts << [&](QDialog *d) {
        auto *holiday = qobject_cast<FrmHoliday *>(d);
        caption = holiday->windowTitle();
        label = holiday->Label1->text();
        holiday->cmdOK_Click();
        return holiday->result();
    };
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QVERIFY(splash.Form_Load());
    QCOMPARE(label, notice);
    QCOMPARE(caption, notice.isEmpty() ? "" : "DAYLIGHT SAVINGS TIME CHANGE");
    QCOMPARE(root.settings().get("Settings", "DST"), after);
    QCOMPARE(context.TodayYear, QString::number(now.date().year()));
}

void TestFrmSplash::christmas_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<QString>("sound");
    QTest::newRow("first start 18th")
        << 18 << true << QStringList { "frmXmas", "frmInstr" } << "home.wav";
    QTest::newRow("later start 18th") << 18 << false << QStringList {} << "";
    QTest::newRow("first start 19th")
        << 19 << true << QStringList { "frmXmas", "frmInstr" } << "home.wav";
    QTest::newRow("later start 19th")
        << 19 << false << QStringList { "frmXmas" } << "merryxmas.wav";
    QTest::newRow("first start 26th") << 26 << true << QStringList { "frmInstr" } << "";
}

void TestFrmSplash::christmas()
{
    QFETCH(int, day);
    QFETCH(bool, firstStart);
    QFETCH(QStringList, windows);
    QFETCH(QString, sound);
    TestRoot root({}, {}, at(2026, 12, day));
    laterStartSettings(root);
    if (firstStart)
        root.settings().remove("First", "Firstime");
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QVERIFY(splash.Form_Load());
    splash.show();
    splash.Timer1_Timer();
    QCOMPARE(root.dialogs().modalWindows, windows);
    QCOMPARE(root.sounds().played,
        sound.isEmpty() ? QStringList() : QStringList { context.UserDataFolder + sound });
    QVERIFY(!splash.isVisible());
}

void TestFrmSplash::smallScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("geometry");
    const int w = FrmSplash::DesignWidth, h = FrmSplash::DesignHeight;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << QRect((1280 - w) / 2, (1024 - h) / 2, w, h);
    QTest::newRow("1024x768") << QSize(1024, 768)
                              << QRect((1024 - w) / 2 + 33, (768 - h) / 2, w - 66, h - 33);
}

void TestFrmSplash::smallScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, geometry);
    TestRoot root;
    laterStartSettings(root);
    root.screen().pixels = screen;
    StartupContext context;
    FrmSplash splash(root.services(), context);
    QVERIFY(splash.Form_Load());
    QCOMPARE(QRect(splash.pos(), splash.size()), geometry);
    QCOMPARE(context.ScreenWidth, screen.width());
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
