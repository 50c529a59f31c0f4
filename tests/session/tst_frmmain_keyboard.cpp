// A net run from the keyboard alone: every key goes to the control that has the focus, as
// the operator's keys would.

#include "maintenance/ui/memberinfoframe.h"
#include "mainwindowfixture.h"
#include "reports/ui/frmsessionlogs.h"
#include "session/netreport.h"
#include "session/ui/netinfoframe.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::focusWidget();
    QVERIFY2(target, "nothing has the focus");
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void Type(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

class TestFrmMainKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void memberLineKeys_data();
    void memberLineKeys();
    void countiesPassedThroughAreLeftAlone_data();
    void countiesPassedThroughAreLeftAlone();
    void menusAndShortcuts();
    void keyboardOnlyNet();
};

void TestFrmMainKeyboard::memberLineKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestFrmMainKeyboard::memberLineKeys()
{
    QFETCH(int, key);
    MainWindowFixture f({ { "JEFFERSON",
        { Station("K4AAA", "AL"), Station("K4DUP", "DOT"), Station("K4ZED", "ZOE") } } });
    FrmMain &w = f.openActive();
    f.choose("JEFFERSON");
    QTest::mouseClick(named<QListWidget>(w, "lst1")->viewport(), Qt::LeftButton, {},
        named<QListWidget>(w, "lst1")->visualItemRect(f.memberLine("K4AAA")).center());
    QCOMPARE(f.checkins(), u"1"_s);
    // The key on a line does what a click does: the tick comes with the check-in.
    named<QListWidget>(w, "lst1")->setFocus();
    Press(Qt::Key_Home);
    Press(Qt::Key_Down);
    Press(key);
    QCOMPARE(f.status() + ' ' + f.checkins(), u"K4DUP CHECKED IN 2"_s);
    QCOMPARE(f.memberLine("K4DUP")->checkState(), Qt::Checked);
    QCOMPARE(f.root.record("JEFFERSON", 2).LastDate.trimmed(), u"03/10/2026"_s);
    // On a station counted already the tick stays, as the count does.
    Press(Qt::Key_Up);
    Press(key);
    QCOMPARE(f.status() + ' ' + f.checkins(), u"K4AAA IS ALREADY CHECKED IN 2"_s);
    QCOMPARE(f.memberLine("K4AAA")->checkState(), Qt::Checked);
    // The box of a line is no way around the check-in either.
    QListWidgetItem *zed = f.memberLine("K4ZED");
    QVERIFY(!(zed->flags() & Qt::ItemIsUserCheckable));
    QVERIFY(named<QListWidget>(w, "lst1")->hasFocus());
}

void TestFrmMainKeyboard::countiesPassedThroughAreLeftAlone_data()
{
    // Keys that pass counties on the way, and how the operator settles on the last one.
    QTest::addColumn<QString>("keys"); // letters typed, or "v" for each Down arrow
    QTest::addColumn<int>("settle"); // the key that settles; 0: none, the keys just stop
    QTest::newRow("a name typed, then no key") << "MONTGOMERY" << 0;
    QTest::newRow("arrows, then Enter") << "vvv" << int(Qt::Key_Return);
    QTest::newRow("arrows, then Space") << "vvv" << int(Qt::Key_Space);
    QTest::newRow("a name typed, then Tab") << "MONT" << int(Qt::Key_Tab);
}

void TestFrmMainKeyboard::countiesPassedThroughAreLeftAlone()
{
    QFETCH(QString, keys);
    QFETCH(int, settle);
    // Each county has a member not heard for two years: showing it retires him.
    auto due = [](const char *call) { return Station(call, "GONE", "", "", "", "3/1/2024"); };
    MainWindowFixture f({ { "MADISON", { due("K4MAD"), Station("K4MA2") } },
        { "MOBILE", { due("K4MOB"), Station("K4MO2") } },
        { "MONTGOMERY", { due("K4MON"), Station("K4MN2") } } });
    FrmMain &w = f.openActive();
    const QByteArray madison = f.root.stationBytes("MADISON"),
                     mobile = f.root.stationBytes("MOBILE");
    Press(Qt::Key_Tab);
    auto *counties = named<QListWidget>(w, "lstCounties");
    QVERIFY(counties->hasFocus());
    if (keys.startsWith('v')) {
        for (qsizetype i = 0; i < keys.size(); ++i)
            Press(Qt::Key_Down);
    } else {
        Type(keys);
    }
    QCOMPARE(counties->currentItem()->text(), u"MONTGOMERY"_s);
    // Passing through read and wrote nothing: no county shown, no member retired.
    QVERIFY(!named<QGroupBox>(w, "FraStations")->title().contains("COUNTY"));
    QCOMPARE(f.root.stationBytes("MADISON"), madison);
    QCOMPARE(f.root.stationBytes("MOBILE"), mobile);
    QCOMPARE(f.lines("lstDS"), QStringList());
    if (settle)
        Press(settle);
    QTRY_COMPARE(named<QGroupBox>(w, "FraStations")->title(), u"MONTGOMERY COUNTY MEMBERS"_s);
    QCOMPARE(f.lines("lstDS").size(), 1);
    QVERIFY2(f.lines("lstDS")[0].startsWith("K4MON"), qPrintable(f.lines("lstDS")[0]));
    QCOMPARE(f.root.stationBytes("MADISON"), madison);
    QCOMPARE(f.root.stationBytes("MOBILE"), mobile);
    // The caret stays where the keys left it.
    QVERIFY(
        settle == Qt::Key_Tab ? named<QListWidget>(w, "lst1")->hasFocus() : counties->hasFocus());
}

void TestFrmMainKeyboard::menusAndShortcuts()
{
    MainWindowFixture f;
    FrmMain &w = f.openActive();
    // Each top-level menu has a letter of its own.
    QStringList letters;
    for (QAction *menu : w.menuBar()->actions()) {
        const QString title = menu->text();
        const qsizetype amp = title.indexOf(u'&');
        QVERIFY2(amp >= 0 && amp + 1 < title.size(), qPrintable(title));
        const QString letter = title.mid(amp + 1, 1).toUpper();
        QVERIFY2(!letters.contains(letter), qPrintable(title));
        letters << letter;
    }
    QCOMPARE(named<QMenu>(w, "mnuFormat")->title() + ' ' + named<QMenu>(w, "Hyphen2")->title(),
        u"For&mat &Options"_s);
    // An Alt key that names nothing types nothing.
    named<QLineEdit>(w, "txtChkin")->setFocus();
    Press(Qt::Key_Q, Qt::AltModifier);
    QCOMPARE(named<QLineEdit>(w, "txtChkin")->text(), QString());
    // The TRAFFIC counter and a new member from the keyboard.
    Press(Qt::Key_T, Qt::ControlModifier);
    Press(Qt::Key_T, Qt::ControlModifier);
    Press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(named<QLabel>(w, "lblTraffic")->text().trimmed(), u"1"_s);
    Press(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(named<QLabel>(*named<MemberInfoFrame>(w, "fraAdd"), "lblMode")->text(), u"ADD"_s);
    QVERIFY(named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCall")->hasFocus());
}

void TestFrmMainKeyboard::keyboardOnlyNet()
{
    MainWindowFixture f(
        { { "LEE",
              { Station("K4AA", "ANN", "", "", "OPELIKA"), Station("K4BB", "BEN", "", "", "AUBURN"),
                  Station("K4CC", "CY", "", "", "SMITHS"), EndMarker() } },
            { "JEFFERSON", { Station("K4JJ", "JO", "", "", "HOOVER") } } },
        { { "Report", "Sessions", "2" }, { "Report", "Checkins", "20" },
            { "Report", "Traffic", "1" } });
    FrmMain &w = f.openActive();
    // Early check-ins typed into CALLSIGN.
    QVERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
    for (const char *call : { "K4JJ", "W9ZZ" }) {
        Type(call);
        Press(Qt::Key_Return);
    }
    QCOMPARE(f.checkins(), u"1"_s);
    // LEE called up: Tab to the counties, its name typed, Tab to its members (which shows
    // the county typed: it is not shown while the keys go on).
    Press(Qt::Key_Tab);
    QVERIFY(named<QListWidget>(w, "lstCounties")->hasFocus());
    const QString early = named<QGroupBox>(w, "FraStations")->title();
    Type("LEE");
    QCOMPARE(named<QGroupBox>(w, "FraStations")->title(), early);
    QVERIFY(named<QListWidget>(w, "lstCounties")->hasFocus());
    Press(Qt::Key_Tab);
    QCOMPARE(named<QGroupBox>(w, "FraStations")->title(), u"LEE COUNTY MEMBERS"_s);
    QVERIFY(named<QListWidget>(w, "lst1")->hasFocus());
    Press(Qt::Key_Home);
    Press(Qt::Key_Return); // K4AA
    Press(Qt::Key_Down);
    Press(Qt::Key_Return); // K4BB
    QCOMPARE(f.checkins(), u"3"_s);
    // K4BB taken back: Edit > Delete Checkin by its shortcut.
    Press(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.status(), u"K4BB is NOT checked in"_s);
    QCOMPARE(f.memberLine("K4BB")->checkState(), Qt::Unchecked);
    // Two traffic.
    Press(Qt::Key_T, Qt::ControlModifier);
    Press(Qt::Key_T, Qt::ControlModifier);
    // A new member, added with Enter from box to box.
    Press(Qt::Key_N, Qt::ControlModifier);
    for (const char *text : { "K4NEW", "NED", "LEE", "", "OAK FORD" }) {
        Type(text);
        Press(Qt::Key_Return);
    }
    QVERIFY(named<QPushButton>(*named<MemberInfoFrame>(w, "fraAdd"), "cmdSave")->hasFocus());
    Press(Qt::Key_Return);
    QCOMPARE(f.status(), u"K4NEW ADDED"_s);
    QCOMPARE(f.root.record("LEE", 4).trimmed().City, u"OAK FORD"_s);
    // ... and edited at once through its line: Edit > Edit from the menu's letters.
    QVERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Press(Qt::Key_End);
    Press(Qt::Key_E, Qt::AltModifier);
    QVERIFY(QApplication::activePopupWidget() == named<QMenu>(w, "mnuEdit"));
    Press(Qt::Key_E);
    QCOMPARE(named<QLabel>(*named<MemberInfoFrame>(w, "fraAdd"), "lblMode")->text(), u"EDIT"_s);
    // The offscreen platform leaves the closed menu active; a desktop gives it back.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (int box = 0; box < 4; ++box) // CALL, NAME, COUNTY, STATUS
        Press(Qt::Key_Tab);
    QVERIFY(named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtStatus")->hasFocus());
    Type("MON");
    Press(Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(f.status(), u"RECORD UPDATED"_s);
    const StationRecord added = f.root.record("LEE", 4).trimmed();
    QCOMPARE(QStringList({ added.Call, added.Name, added.County, added.Status, added.City }),
        QStringList({ "K4NEW", "NED", "LEE", "MON", "OAK FORD" }));
    // Late check-ins.
    QVERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
    Press(Qt::Key_Tab);
    Press(Qt::Key_End);
    Press(Qt::Key_Return);
    QCOMPARE(named<QGroupBox>(w, "FraStations")->title(), u"LATE CHECKINS"_s);
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
    Type("K4CC");
    Press(Qt::Key_Return);
    QCOMPARE(f.checkins(), u"4"_s);
    // Exit from the File menu's letters: the session goes to the monthly totals.
    f.root.dialogs().answers << Yes << No;
    Press(Qt::Key_F, Qt::AltModifier);
    QVERIFY(QApplication::activePopupWidget() == named<QMenu>(w, "mnuFile"));
    Press(Qt::Key_X);
    QVERIFY(!w.isVisible());
    QCOMPARE(QStringList({ f.setting("Report", "Sessions"), f.setting("Report", "Checkins"),
                 f.setting("Report", "Traffic") }),
        QStringList({ "3", "24", "3" }));
    const QList<SessionLogEntry> logs = ListSessionLogs(f.root.paths());
    QCOMPARE(logs.size(), 1);
    QCOMPARE(logs[0].qni, 4);
    QCOMPARE(logs[0].qtc, 2);
    QVERIFY(logs[0].ended);
}

QTEST_MAIN(TestFrmMainKeyboard)
#include "tst_frmmain_keyboard.moc"
