#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>

namespace {
const QDateTime kNow(QDate(2026, 3, 10), QTime(19, 0, 0));
const QDate kToday = kNow.date();

QString daysAgo(int days)
{
    const QDate d = kToday.addDays(-days);
    return QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}
} // namespace

class TestFrmMainCounty : public QObject
{
    Q_OBJECT

private slots:
    void captions_data();
    void captions();
    void retirement_data();
    void retirement();
    void memberOrderAndScanEnd();
    void clickCheckIn();
    void clickAlreadyCheckedIn();
    void clickWithDingDisabled();
    void retainCheckmark_data();
    void retainCheckmark();
    void deleteCheckinInCountyMode();
    void deleteCheckinOnMemberNotCheckedIn();
    void clickInEarlyModeDoesNothing();
    void contextMenuOnlyOnMemberLines();
    void typedThenClickedSharesTheTable();
};

void TestFrmMainCounty::captions_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("home county") << "JEFFERSON" << "JEFFERSON COUNTY MEMBERS";
    QTest::newRow("county named like a state") << "WASHINGTON" << "WASHINGTON COUNTY MEMBERS";
    QTest::newRow("first state") << "ALASKA" << "ALASKA MEMBERS";
    QTest::newRow("district") << "WASHINGTON DC" << "WASHINGTON DC MEMBERS";
}

void TestFrmMainCounty::captions()
{
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    MainWindowFixture f({ { "JEFFERSON", { Station("K4A") } }, { "WASHINGTON", { Station("K4B") } },
                          { "ALASKA", { Station("KL7A") } }, { "WASHINGTON DC", { Station("K3D") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose(entry);
    QCOMPARE(w.FraStations->title(), caption);
    QVERIFY(!w.session().earlyLateMode());
    QCOMPARE(w.session().earlyLateKind(), QString());
    QCOMPARE(w.session().currentCountyFile(), f.root.filePath(entry));
}

void TestFrmMainCounty::retirement_data()
{
    QTest::addColumn<StationRecord>("station");
    QTest::addColumn<bool>("retired");
    QTest::newRow("365 days") << Station("K4OLD", "JIM", "LEE", "MON", "OPELIKA", daysAgo(365)) << true;
    QTest::newRow("364 days") << Station("K4OLD", "JIM", "LEE", "", "OPELIKA", daysAgo(364)) << false;
    QTest::newRow("two years, mm/dd/yyyy")
        << Station("K4OLD", "JIM", "LEE", "", "OPELIKA", "03/09/2024") << true;
    QTest::newRow("county EOC") << Station("K4OLD", "CNTY EOC", "LEE", "", "OPELIKA", daysAgo(900)) << false;
    QTest::newRow("blank date") << Station("K4OLD", "JIM", "LEE", "", "OPELIKA", "") << false;
    QTest::newRow("not a date") << Station("K4OLD", "JIM", "LEE", "", "OPELIKA", "LONG AGO") << false;
}

void TestFrmMainCounty::retirement()
{
    QFETCH(StationRecord, station);
    QFETCH(bool, retired);
    MainWindowFixture f({ { "LEE", { Station("K4NEW", "ANN", "LEE", "", "AUBURN", daysAgo(1)), station,
                                     Station("W4AFTER", "BOB", "LEE", "", "SMITHS", daysAgo(2)) } } },
                        {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    f.choose("LEE");
    QCOMPARE(f.memberLine("K4OLD") == nullptr, retired);
    QCOMPARE(w.lst1->count(), retired ? 2 : 3);
    if (retired) {
        const StationRecord r = f.root.record("LEE", 2);
        QCOMPARE(r.Call, QStringLiteral("VACANT"));
        QCOMPARE(r.Name, QString(15, u' '));
        QCOMPARE(r.County, QString(15, u' '));
        QCOMPARE(r.City, QString(25, u' '));
        QCOMPARE(r.Status.trimmed(), station.Status); // the weekday code stays
        QCOMPARE(r.LastDate.trimmed(), QStringLiteral("3/10/2026"));
        QCOMPARE(f.lines(w.lstDS), (QStringList { "K4OLD JIM LEE" }));
        // Retired once, it stays vacant: a second look retires nobody again.
        f.choose("EARLY CHECKINS");
        f.choose("LEE");
        QCOMPARE(w.lstDS->count(), 1);
    } else {
        QCOMPARE(f.root.stationBytes("LEE"), before);
        QCOMPARE(w.lstDS->count(), 0);
    }
    QCOMPARE(f.root.record("LEE", 1), StationRecord::fromBytes(before.left(82)));
    QCOMPARE(f.root.record("LEE", 3), StationRecord::fromBytes(before.mid(164, 82)));
}

void TestFrmMainCounty::memberOrderAndScanEnd()
{
    MainWindowFixture f({ { "MOBILE", { Station("WB4ABC", "ZED", "", "", "ONE"), Station("K4ABC", "AMY", "", "", "TWO"),
                                        Vacant(), Station("N4B", "BOB"), Station("KA4ABC", "CAL", "", "", "THREE"),
                                        Station("K4ABC", "ABE", "", "", "FOUR"), BlankSlot(),
                                        Station("W4LOST", "LOST") } },
                          { "BALDWIN", { Station("K4Z", "ZOE"), EndMarker(), Station("K4AFTER") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("MOBILE");
    // By suffix, then prefix, then name; the vacant slot is not shown; the blank call ends the scan.
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4   ABC  ABE FOUR", "K4   ABC  AMY TWO",
                                             "KA4  ABC  CAL THREE", "WB4  ABC  ZED ONE",
                                             "N4   B    BOB " }));
    f.choose("BALDWIN");
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4   Z    ZOE " }));
}

void TestFrmMainCounty::clickCheckIn()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM", "LEE", "", "OPELIKA", "1/5/2026"),
                                     Station("W4XY", "SUE", "LEE", "", "AUBURN", "1/5/2026") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    const QByteArray before = f.root.stationBytes("LEE");
    f.click(f.memberLine("W4XY"));
    QCOMPARE(f.status(), QStringLiteral("W4XY CHECKED IN"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(f.memberLine("W4XY")->checkState(), Qt::Checked);
    QCOMPARE(f.root.record("LEE", 2).LastDate, QStringLiteral("03/10/2026"));
    QCOMPARE(f.root.stationBytes("LEE").left(82), before.left(82));
    QCOMPARE(f.root.stationBytes("LEE").mid(82, 72), before.mid(82, 72));
    QCOMPARE(f.root.sounds().played, (QStringList { f.context.ProgramFolder + "ding.wav" }));
    QVERIFY(w.mnuEditEdit->isEnabled());
    QVERIFY(w.mnuEditDelete->isEnabled());
    QCOMPARE(w.lst1->count(), 2); // no line is added
}

void TestFrmMainCounty::clickAlreadyCheckedIn()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM", "LEE", "", "OPELIKA", "1/5/2026") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.type("K4ABC");
    f.choose("LEE");
    const QByteArray before = f.root.stationBytes("LEE");
    f.click(f.memberLine("K4ABC"));
    QCOMPARE(f.status(), QStringLiteral("K4ABC IS ALREADY CHECKED IN"));
    QCOMPARE(f.root.sounds().played.last(), QStringLiteral("notify"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
}

void TestFrmMainCounty::clickWithDingDisabled()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } },
                        { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "True" } }, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    QCOMPARE(f.status(), QStringLiteral("K4ABC CHECKED IN"));
    QVERIFY(f.root.sounds().played.isEmpty());
    QVERIFY(w.mnuOptionsDisableDing->isChecked());
}

void TestFrmMainCounty::retainCheckmark_data()
{
    QTest::addColumn<QString>("retain");
    QTest::addColumn<bool>("marked");
    QTest::newRow("on") << "True" << true;
    QTest::newRow("off") << "False" << false;
}

void TestFrmMainCounty::retainCheckmark()
{
    QFETCH(QString, retain);
    QFETCH(bool, marked);
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE") } } },
                        { { "First", "Firstime", "FALSE" }, { "Options", "RetainCheckmark", retain } }, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("W4XY"));
    f.type("K4ABC"); // county mode: names the county, checks nobody in
    QCOMPARE(f.status(), QStringLiteral("LEE COUNTY"));
    f.choose("EARLY CHECKINS");
    f.choose("LEE");
    QCOMPARE(f.memberLine("W4XY")->checkState() == Qt::Checked, marked);
    QCOMPARE(f.memberLine("K4ABC")->checkState(), Qt::Unchecked);
    // Marking checks nobody in a second time and says nothing.
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(f.status(), QString());
    QCOMPARE(f.root.sounds().played.size(), 2); // the ding and the county notice only
}

void TestFrmMainCounty::deleteCheckinInCountyMode()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    f.click(f.memberLine("W4XY"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("2"));
    w.lst1->setCurrentItem(f.memberLine("K4ABC"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), QStringLiteral("K4ABC is NOT checked in"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(f.memberLine("K4ABC")->checkState(), Qt::Unchecked);
    QCOMPARE(w.session().checkins().entry(1), QString());
    // The freed entry is taken by the next check-in.
    f.click(f.memberLine("K4ABC"));
    QCOMPARE(w.session().checkins().entry(1), QStringLiteral("K4ABC"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("2"));
}

void TestFrmMainCounty::deleteCheckinOnMemberNotCheckedIn()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    w.lst1->setCurrentItem(f.memberLine("W4XY"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(w.session().checkins().entry(1), QStringLiteral("K4ABC"));
    // The next click checks in as usual, it does not take anything back.
    f.click(f.memberLine("W4XY"));
    QCOMPARE(f.status(), QStringLiteral("W4XY CHECKED IN"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("2"));
}

void TestFrmMainCounty::clickInEarlyModeDoesNothing()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.type("K4ABC");
    const QByteArray before = f.root.stationBytes("LEE");
    f.click(w.lst1->item(0));
    QCOMPARE(f.status(), QStringLiteral("K4ABC CHECKED IN"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
}

void TestFrmMainCounty::contextMenuOnlyOnMemberLines()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } }, {}, kNow);
    FrmMain &w = f.open();
    QStringList shown;
    bool changeCtlEnabledInMenu = true;
    w.popupMenu = [&](QMenu *menu, const QPoint &) {
        shown << menu->objectName();
        changeCtlEnabledInMenu = w.mnuChgCtl->isEnabled();
    };
    f.type("K4ABC");
    w.lst1->setCurrentRow(0);
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QVERIFY(shown.isEmpty());
    f.choose("LEE");
    w.lst1->setCurrentRow(0);
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QCOMPARE(shown, (QStringList { "mnuEdit" }));
    QVERIFY(!changeCtlEnabledInMenu);
}

void TestFrmMainCounty::typedThenClickedSharesTheTable()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    f.choose("LATE CHECKINS");
    f.type("K4ABC");
    QCOMPARE(f.status(), QStringLiteral("K4ABC Is Already Checked in"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
}

QTEST_MAIN(TestFrmMainCounty)
#include "tst_frmmain_county.moc"
