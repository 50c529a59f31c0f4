#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {
const QDateTime kNow(QDate(2026, 3, 10), QTime(19, 0, 0));

QString daysAgo(int days)
{
    const QDate d = kNow.date().addDays(-days);
    return u"%1/%2/%3"_s.arg(d.month()).arg(d.day()).arg(d.year());
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
    void clickCheckInAndOptions_data();
    void clickCheckInAndOptions();
    void clicksOnEarlyAndMemberLines();
    void deleteCheckinInCountyMode();
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
        // Only the weekday code stays.
        QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("VACANT", "", "", station.Status, "", "3/10/2026"));
        QCOMPARE(f.lines(w.lstDS), (QStringList { "K4OLD JIM LEE" }));
        const QByteArray after = f.root.stationBytes("LEE");
        QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
        // Retired once, it stays vacant: a second look retires nobody again.
        f.choose("EARLY CHECKINS");
        f.choose("LEE");
        QCOMPARE(w.lstDS->count(), 1);
    } else {
        QCOMPARE(f.root.stationBytes("LEE"), before);
        QCOMPARE(w.lstDS->count(), 0);
    }
}

void TestFrmMainCounty::memberOrderAndScanEnd()
{
    MainWindowFixture f({ { "MOBILE", { Station("WB4ABC", "ZED", "", "", "ONE"), Station("K4ABC", "AMY", "", "", "TWO"),
                                        Vacant(), Station("N4B", "BOB"), Station("KA4ABC", "CAL", "", "", "THREE"),
                                        Station("K4ABC", "ABE", "", "", "FOUR"), BlankSlot(),
                                        Station("W4LOST", "LOST") } },
                          { "BALDWIN", { Station("K4Z", "ZOE"), EndMarker(), Station("K4AFTER") } },
                          { "TEXAS", QList<StationRecord>(99, Vacant()) << Station("K4ZZ", "ZED")
                                                                        << Station("K4FAR") } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("MOBILE");
    // By suffix, then prefix, then name; the vacant slot is not shown; the blank call ends the scan.
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4   ABC  ABE FOUR", "K4   ABC  AMY TWO",
                                             "KA4  ABC  CAL THREE", "WB4  ABC  ZED ONE",
                                             "N4   B    BOB " }));
    f.choose("BALDWIN");
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4   Z    ZOE " }));
    f.choose("TEXAS"); // record 100 is read, record 101 is not
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4   ZZ   ZED " }));
}

void TestFrmMainCounty::clickCheckInAndOptions_data()
{
    QTest::addColumn<bool>("on");
    QTest::newRow("ding, checkmark retained") << true;
    QTest::newRow("ding disabled, checkmark not retained") << false;
}

void TestFrmMainCounty::clickCheckInAndOptions()
{
    QFETCH(bool, on);
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM", "LEE", "", "OPELIKA", "1/5/2026"),
                                     Station("W4XY", "SUE", "LEE", "", "AUBURN", "1/5/2026") } } },
                        { { "First", "Firstime", "FALSE" }, { "Options", "Ding", on ? "False" : "True" },
                          { "Options", "RetainCheckmark", on ? "True" : "False" } }, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    const QByteArray before = f.root.stationBytes("LEE");
    f.click(f.memberLine("W4XY"));
    QCOMPARE(f.status(), u"W4XY CHECKED IN"_s);
    QCOMPARE(f.memberLine("W4XY")->checkState(), Qt::Checked);
    QCOMPARE(f.root.record("LEE", 2).LastDate, u"03/10/2026"_s);
    QCOMPARE(f.root.stationBytes("LEE").left(154), before.left(154)); // only the date is written
    QCOMPARE(w.lst1->count(), 2); // no line is added
    f.type("K4ABC"); // county mode: names the county, checks nobody in
    QCOMPARE(f.status(), u"LEE COUNTY"_s);
    // Coming back marks the member only when the option says so, and checks nobody in again.
    f.choose("EARLY CHECKINS");
    f.choose("LEE");
    QCOMPARE(f.memberLine("W4XY")->checkState() == Qt::Checked, on);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.status(), QString());
    const QString ding = f.context.ProgramFolder + "ding.wav";
    QCOMPARE(f.root.sounds().played, on ? (QStringList { ding, "notify" }) : QStringList { "notify" });
}

void TestFrmMainCounty::clicksOnEarlyAndMemberLines()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM", "LEE", "", "OPELIKA", "1/5/2026") } } }, {}, kNow);
    FrmMain &w = f.open();
    QStringList menus;
    bool changeCtlEnabled = true;
    w.popupMenu = [&](QMenu *menu, const QPoint &) {
        menus << menu->objectName();
        changeCtlEnabled = w.mnuChgCtl->isEnabled();
    };
    f.type("K4ABC");
    const QByteArray before = f.root.stationBytes("LEE");
    // On an early check-in line a click does nothing and no context menu opens.
    f.click(w.lst1->item(0));
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QCOMPARE(f.status(), u"K4ABC CHECKED IN"_s);
    QVERIFY(menus.isEmpty());
    // On a member line: already checked in; the Edit menu opens without Change Control.
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    QCOMPARE(f.status(), u"K4ABC IS ALREADY CHECKED IN"_s);
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(f.checkins(), u"1"_s);
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QCOMPARE(menus, (QStringList { "mnuEdit" }));
    QVERIFY(!changeCtlEnabled);
}

void TestFrmMainCounty::deleteCheckinInCountyMode()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE"), Station("N4Z") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    f.click(f.memberLine("W4XY"));
    // On a member not checked in it changes nothing, and the next click checks in as usual.
    w.lst1->setCurrentItem(f.memberLine("N4Z"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.checkins(), u"2"_s);
    QCOMPARE(w.session().checkins().entry(1), u"K4ABC"_s);
    f.click(f.memberLine("N4Z"));
    QCOMPARE(f.status(), u"N4Z CHECKED IN"_s);
    w.lst1->setCurrentItem(f.memberLine("K4ABC"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), u"K4ABC is NOT checked in"_s);
    QCOMPARE(f.checkins(), u"2"_s);
    QCOMPARE(f.memberLine("K4ABC")->checkState(), Qt::Unchecked);
    QCOMPARE(w.session().checkins().entry(1), QString());
    // The freed entry is taken by the next check-in.
    f.click(f.memberLine("K4ABC"));
    QCOMPARE(w.session().checkins().entry(1), u"K4ABC"_s);
    QCOMPARE(f.checkins(), u"3"_s);
}

QTEST_MAIN(TestFrmMainCounty)
#include "tst_frmmain_county.moc"
