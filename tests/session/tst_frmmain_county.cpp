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
    void retirement_data();
    void retirement();
    void captionsAndMembers_data();
    void captionsAndMembers();
    void clickCheckInAndOptions_data();
    void clickCheckInAndOptions();
    void clicksAndDeleteCheckin();
};

void TestFrmMainCounty::retirement_data()
{
    for (const char *column : { "name", "status", "date" })
        QTest::addColumn<QString>(column);
    QTest::addColumn<bool>("retired");
    QTest::newRow("365 days") << "JIM" << "MON" << daysAgo(365) << true;
    QTest::newRow("364 days") << "JIM" << "" << daysAgo(364) << false;
    QTest::newRow("two years, mm/dd/yyyy") << "JIM" << "" << "03/09/2024" << true;
    QTest::newRow("county EOC") << "CNTY EOC" << "" << daysAgo(900) << false;
    QTest::newRow("blank date") << "JIM" << "" << "" << false;
    QTest::newRow("not a date") << "JIM" << "" << "LONG AGO" << false;
}

void TestFrmMainCounty::retirement()
{
    QFETCH(QString, name);
    QFETCH(QString, status);
    QFETCH(QString, date);
    QFETCH(bool, retired);
    MainWindowFixture f({ { "LEE", { Station("K4NEW", "ANN", "LEE", "", "AUBURN", daysAgo(1)),
                                     Station("K4OLD", name, "LEE", status, "OPELIKA", date),
                                     Station("W4AFTER", "BOB", "LEE", "", "SMITHS", daysAgo(2)) } } }, {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    for (const char *entry : { "LEE", "EARLY CHECKINS", "LEE" }) // a second look retires nobody again
        f.choose(entry);
    QCOMPARE(f.memberLine("K4OLD") == nullptr, retired);
    QCOMPARE(w.lst1->count(), retired ? 2 : 3);
    QCOMPARE(f.lines(w.lstDS), retired ? QStringList { "K4OLD JIM LEE" } : QStringList());
    // Only record 2 changes, and of it only the weekday code stays.
    const QByteArray after = f.root.stationBytes("LEE");
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    QCOMPARE(after == before, !retired);
    if (retired)
        QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("VACANT", "", "", status, "", "3/10/2026"));
}

void TestFrmMainCounty::captionsAndMembers_data()
{
    // Member lines are written with '|' between them.
    for (const char *column : { "entry", "caption", "members" })
        QTest::addColumn<QString>(column);
    QTest::newRow("by suffix, prefix, name; no vacant slot; the blank call ends the scan")
        << "MOBILE" << "MOBILE COUNTY MEMBERS"
        << "K4   ABC  ABE FOUR|K4   ABC  AMY TWO|KA4  ABC  CAL THREE|WB4  ABC  ZED ONE|N4   B    BOB ";
    QTest::newRow("the end marker ends the scan") << "BALDWIN" << "BALDWIN COUNTY MEMBERS" << "K4   Z    ZOE ";
    QTest::newRow("state: record 100 is read, 101 is not") << "TEXAS" << "TEXAS MEMBERS" << "K4   ZZ   ZED ";
    QTest::newRow("county named like a state") << "WASHINGTON" << "WASHINGTON COUNTY MEMBERS" << "K4   B    AL ";
    QTest::newRow("first state") << "ALASKA" << "ALASKA MEMBERS" << "KL7  A    AL ";
    QTest::newRow("district") << "WASHINGTON DC" << "WASHINGTON DC MEMBERS" << "K3   D    AL ";
}

void TestFrmMainCounty::captionsAndMembers()
{
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(QString, members);
    MainWindowFixture f({ { "MOBILE", { Station("WB4ABC", "ZED", "", "", "ONE"), Station("K4ABC", "AMY", "", "", "TWO"),
                                        Vacant(), Station("N4B", "BOB"), Station("KA4ABC", "CAL", "", "", "THREE"),
                                        Station("K4ABC", "ABE", "", "", "FOUR"), BlankSlot(),
                                        Station("W4LOST", "LOST") } },
                          { "BALDWIN", { Station("K4Z", "ZOE"), EndMarker(), Station("K4AFTER") } },
                          { "TEXAS", QList<StationRecord>(99, Vacant()) << Station("K4ZZ", "ZED") << Station("K4FAR") },
                          { "WASHINGTON", { Station("K4B", "AL") } }, { "ALASKA", { Station("KL7A", "AL") } },
                          { "WASHINGTON DC", { Station("K3D", "AL") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose(entry);
    QCOMPARE(w.FraStations->title(), caption);
    QCOMPARE(w.session().currentCountyFile(), f.root.filePath(entry));
    QCOMPARE(f.lines(w.lst1), members.split(u'|'));
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
    // Coming back marks the member only when the option says so, and checks nobody in again.
    f.choose("EARLY CHECKINS");
    f.choose("LEE");
    QCOMPARE(f.memberLine("W4XY")->checkState() == Qt::Checked, on);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.status(), QString());
    QCOMPARE(f.root.sounds().played, on ? QStringList { f.context.ProgramFolder + "ding.wav" } : QStringList());
}

void TestFrmMainCounty::clicksAndDeleteCheckin()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE"), Station("N4Z") } } }, {}, kNow);
    FrmMain &w = f.open();
    QStringList menus; // each menu opened, with whether Change Control was enabled
    w.popupMenu = [&](QMenu *menu, const QPoint &) {
        menus << menu->objectName() + (w.mnuChgCtl->isEnabled() ? "+" : "-");
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
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QCOMPARE(menus, (QStringList { "mnuEdit-" }));
    // Delete Checkin on a member not checked in changes nothing; the next click checks in as usual.
    f.click(f.memberLine("W4XY"));
    w.lst1->setCurrentItem(f.memberLine("N4Z"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.checkins(), u"2"_s);
    f.click(f.memberLine("N4Z"));
    QCOMPARE(f.status(), u"N4Z CHECKED IN"_s);
    w.lst1->setCurrentItem(f.memberLine("K4ABC"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), u"K4ABC is NOT checked in"_s);
    QCOMPARE(f.memberLine("K4ABC")->checkState(), Qt::Unchecked);
    // The freed entry is taken by the next check-in, and the count is one less before it.
    f.click(f.memberLine("K4ABC"));
    QCOMPARE(w.session().checkins().entry(1), u"K4ABC"_s);
    QCOMPARE(f.checkins(), u"3"_s);
}

QTEST_MAIN(TestFrmMainCounty)
#include "tst_frmmain_county.moc"
