#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"
#include "session/netinfoframe.h"

#include <QAction>
#include <QDialog>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString Notify = u"notify"_s;

// A settled installation: not the first run; today's net control BOB is the user; CARL on Thursdays.
std::initializer_list<SettingValue> laterRun()
{
    static const std::initializer_list<SettingValue> values = {
        { "First", "Firstime", "FALSE" }, { "NetCtl", "Tuesday", "BOB" }, { "NetCtlCall", "Tuesday", "K4BOB" },
        { "Settings", "NetMgr", "ANN" }, { "Settings", "NetMgrCall", "W4ANN" }, { "Settings", "dBDate", "2/1/2026" },
        { "Settings", "User Name", "BOB" }, { "NetCtl", "Thursday", "CARL" },
        { "NetCtlCall", "Thursday", "W4CRL" } };
    return values;
}
} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void preambleOptionsAndLayout();
    void captionIdReminderAndRoster_data();
    void captionIdReminderAndRoster();
    void typedCallsReachTheLists();
    void memberClicksAndMenus();
    void earlyCheckInDeleteAndLateMode();
    void countiesListAndSmallControls();
    void caretAlwaysFindsCallsign();
};

void TestFrmMain::preambleOptionsAndLayout()
{
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "True" },
                              { "Settings", "Top", "100" }, { "Settings", "Width", "100" },
                              { "Settings", "Ding", "True" } });
    const QByteArray text = QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(62).left(1600);
    QFile file(f.root.paths().appDataFolder() + "Halvorsoft/VorqPreamble.txt");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    // Ding, RetainCheckmark, DisablePreambleWindow: as marked in the menu and as stored.
    auto marks = [](FrmMain &m) {
        return QList<bool> { m.mnuOptionsDisableDing->isChecked(), m.mnuOptionsRetainCheckmark->isChecked(),
                             m.mnuOptionsDisablePreambleWindow->isChecked() };
    };
    auto stored = [](MainWindowFixture &m) {
        return QStringList { m.setting("Options", "Ding"), m.setting("Options", "RetainCheckmark"),
                             m.setting("Options", "DisablePreambleWindow") };
    };
    FrmMain &w = f.open();
    // The preamble is shown with characters 1231 to 1455 in blue, from its top.
    QCOMPARE(w.rtxtPreamble->toPlainText(), QString::fromLatin1(text));
    QTextCursor c(w.rtxtPreamble->document());
    auto at = [&c](int i) { c.setPosition(i + 1); return c.charFormat().foreground().color(); };
    const QColor blue(0, 0, 255);
    QCOMPARE((QList<QColor> { at(1230), at(1231), at(1455) }), (QList<QColor> { Qt::black, blue, blue }));
    QVERIFY(at(1456) != blue);
    QCOMPARE(w.rtxtPreamble->textCursor().position(), 0);
    // Missing options take their defaults and are stored; the obsolete window values are gone.
    QCOMPARE(marks(w), (QList<bool> { true, true, false }));
    QCOMPARE(stored(f), (QStringList { "True", "True", "False" }));
    QCOMPARE(f.setting("Settings", "Top") + f.setting("Settings", "Width") + f.setting("Settings", "Ding"), "");
    // The panes follow the preamble option (the fractions are pinned by the layout's own test).
    auto near = [](double a, double b) { return std::abs(a - b) <= 1.5; };
    w.resize(1200, 900);
    QCoreApplication::processEvents();
    const QSize inner = w.centralWidget()->size();
    QVERIFY(near(w.FraStations->height(), inner.height() * 0.6349));
    for (QAction *option : { w.mnuOptionsDisableDing, w.mnuOptionsRetainCheckmark, w.mnuOptionsDisablePreambleWindow })
        option->trigger();
    QCOMPARE(stored(f), (QStringList { "False", "False", "True" }));
    QVERIFY(w.fraPreamble->isHidden());
    QVERIFY(near(w.FraStations->height(), inner.height() * 0.96));
    FrmMain w2(f.root.services(), f.context); // a new start shows the stored marks
    QCOMPARE(marks(w2), (QList<bool> { false, false, true }));
    // A store that cannot be written: the option keeps the state the store holds, and the
    // status line names the file.
    const QString ini = f.root.settings().fileOf("VORQ");
    const QString kept = ini + ".kept";
    QVERIFY(QFile::rename(ini, kept) && QDir().mkpath(ini));
    w.mnuOptionsDisableDing->trigger();
    QCOMPARE(marks(w).first(), false);
    QVERIFY2(f.status().startsWith("SETTINGS NOT SAVED: " + ini), qPrintable(f.status()));
    QVERIFY(QDir(ini).removeRecursively() && QFile::rename(kept, ini));
    // The first run keeps the design options whatever is stored.
    MainWindowFixture g({}, { { "Options", "Ding", "True" }, { "Options", "RetainCheckmark", "False" } });
    QCOMPARE(marks(g.open()), (QList<bool> { false, true, false }));
    QCOMPARE(g.setting("Options", "DisablePreambleWindow"), QString());
}

void TestFrmMain::captionIdReminderAndRoster_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("timer");
    QTest::newRow("today's net control") << "BOB" << true;
    QTest::newRow("someone else") << "JOE" << false;
    QTest::newRow("case matters") << "Bob" << false;
}

void TestFrmMain::captionIdReminderAndRoster()
{
    QFETCH(QString, user);
    QFETCH(bool, timer);
    MainWindowFixture f({}, laterRun(), QDateTime(QDate(2026, 3, 10), QTime(18, 39, 0))); // a Tuesday
    QVERIFY(f.root.settings().save("Settings", "User Name", user));
    f.root.screen().pixels = QSize(1280, 960);
    FrmMain &w = f.open();
    QCOMPARE(w.windowTitle(), u"VORQ V1 B12  3/10/2026  - Current dB Date: 2/1/2026"_s);
    QCOMPARE(w.lblNetCtl()->text(), u"BOB   K4BOB"_s);
    QCOMPARE(w.lblNetMgr()->text(), u"ANN   W4ANN"_s);
    QCOMPARE(w.IDTimer->isActive(), timer);
    if (!timer)
        return;
    // The identification reminder blinks from 6:39:00 to 6:39:10.
    QLabel *label = w.fraAdd->lblIDTime;
    QVERIFY(label->isHidden());
    w.IDTimer_Timer();
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(f.root.sounds().played, (QStringList { f.context.UserDataFolder + "IDTime.wav" }));
    QCOMPARE(label->font().pointSize(), 28);
    auto blink = [&] { w.Timer1_Timer(); return !label->isHidden(); };
    QCOMPARE((QList<bool> { blink(), blink(), blink() }), (QList<bool> { true, false, true }));
    f.root.clock().advanceSeconds(10);
    w.IDTimer_Timer();
    QVERIFY(!w.Timer1->isActive() && label->isHidden());
    // The roster from the menu: today's line restarts the ID timer, another day's stops it.
    w.IDTimer->stop();
    auto pick = [&](int row) {
        f.root.dialogs().modalScripts.enqueue([row](QDialog *roster) {
            auto *days = roster->findChild<QListWidget *>("lst1");
            days->setCurrentRow(row);
            emit days->itemClicked(days->item(row));
            roster->findChild<QPushButton *>("cmdOK")->click();
            return int(QDialog::Accepted);
        });
        w.mnuChgCtl->trigger();
        QCOMPARE(w.fraAdd->lblMode->text(), QString()); // the roster leaves the member form alone
    };
    auto shown = [&w] { return QStringList { w.lblNetCtl()->text(), w.Label4()->text(), w.CmdChange()->text() }; };
    pick(2); // today's regular line
    QCOMPARE(shown(), (QStringList { "BOB   K4BOB", "NET CONTROL", "CHANGE" }));
    QVERIFY(w.CmdChange()->styleSheet().contains("rgb(0, 255, 0)") && w.IDTimer->isActive());
    pick(4); // another day's line
    QCOMPARE(shown(), (QStringList { "CARL   W4CRL", "ALT NET CONTROL", "CHANGED" }));
    QVERIFY(w.CmdChange()->styleSheet().contains("rgb(255, 255, 0)") && !w.IDTimer->isActive());
}

void TestFrmMain::typedCallsReachTheLists()
{
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM", "", "", "BIRMINGHAM") } },
                          { "LEE", { Station("KA4LEE", "ANN") } } });
    FrmMain &w = f.open();
    for (const char *call : { "k4abc ", "W4NEW", "B4ABC" })
        f.type(call);
    QCOMPARE(f.root.sounds().played, (QStringList { "tada", Notify }));
    QCOMPARE(f.status(), u"B4ABC  INVALID CALL"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4ABC JIM JEFFERSON BIRMINGHAM" }));
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "W4NEW" }));
    QCOMPARE(f.checkins(), u"1"_s);
    QVERIFY(w.txtChkin()->text().isEmpty());
    // With a county chosen its member list stays as it was.
    f.choose("LEE");
    f.type("K4ABC");
    QCOMPARE(f.status(), u"LEE COUNTY"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "KA4  LEE  ANN " }));
}

void TestFrmMain::memberClicksAndMenus()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE") } } },
                        { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "False" },
                          { "Options", "RetainCheckmark", "True" } });
    FrmMain &w = f.open();
    QStringList menus; // each menu opened, with whether Change Control was enabled
    w.popupMenu = [&](QMenu *menu, const QPoint &) {
        menus << menu->objectName() + (w.mnuChgCtl->isEnabled() ? "+" : "-");
    };
    f.type("K4ABC");
    // On an early check-in line a click does nothing and no context menu opens.
    f.click(w.lst1->item(0));
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QCOMPARE(f.status(), u"K4ABC CHECKED IN"_s);
    QVERIFY(menus.isEmpty());
    // A member line: the click checks in, marks and dings; the Edit menu opens without
    // Change Control.
    f.choose("LEE");
    f.click(f.memberLine("W4XY"));
    QCOMPARE(f.status(), u"W4XY CHECKED IN"_s);
    QCOMPARE(f.memberLine("W4XY")->checkState(), Qt::Checked);
    QCOMPARE(f.root.sounds().played, (QStringList { f.context.ProgramFolder + "ding.wav" }));
    QCOMPARE(w.lst1->count(), 2);
    w.lst1_MouseDown(Qt::RightButton, QPoint(5, 5));
    QCOMPARE(menus, (QStringList { "mnuEdit-" }));
    // Coming back keeps the marks; Delete Checkin takes one off.
    f.choose("EARLY CHECKINS");
    f.choose("LEE");
    QCOMPARE(f.memberLine("K4ABC")->checkState(), Qt::Checked);
    w.lst1->setCurrentItem(f.memberLine("K4ABC"));
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), u"K4ABC is NOT checked in"_s);
    QCOMPARE(f.memberLine("K4ABC")->checkState(), Qt::Unchecked);
    QCOMPARE(f.checkins(), u"1"_s);
}

void TestFrmMain::earlyCheckInDeleteAndLateMode()
{
    MainWindowFixture f({ { "LEE", { Station("W4XY", "SUE"),
                                     Station(" K4ABC", "  JIM", "LEE", "SUN", "BIRMINGHAM", "1/1/2025"),
                                     Station("K4NEXT") } } });
    FrmMain &w = f.open();
    w.mnuEditDeleteCheckin->trigger(); // nothing listed: nothing happens
    const QByteArray before = f.root.stationBytes("LEE");
    f.type("K4ABC");
    // Only the record's date changes; the other fields are written back, and listed, without leading blanks.
    const QByteArray after = f.root.stationBytes("LEE");
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("K4ABC", "JIM", "LEE", "SUN", "BIRMINGHAM", "3/10/2026"));
    QCOMPARE(f.root.record("LEE", 2).Name, PadField("JIM", 15));
    f.type("W4XY");
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4ABC JIM LEE BIRMINGHAM", "W4XY SUE LEE " }));
    w.lst1->setCurrentRow(-1);
    w.lst1->clearSelection();
    w.mnuEditDeleteCheckin->trigger(); // no line chosen: nothing changes
    QCOMPARE(f.checkins(), u"2"_s);
    w.lst1->setCurrentRow(0);
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), u"K4ABC REMOVED"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4XY SUE LEE " }));
    QCOMPARE(w.session().checkins().entry(1), u"DELETED"_s);
    // Typing the call again checks it in afresh, in the next free entry.
    f.type("K4ABC");
    QCOMPARE(f.status(), u"K4ABC CHECKED IN"_s);
    QCOMPARE(w.session().checkins().entry(3), u"K4ABC"_s);
    // Late check-ins use the same table.
    f.choose("LATE CHECKINS");
    QCOMPARE(w.FraStations->title(), u"LATE CHECKINS"_s);
    QCOMPARE(w.lst1->count(), 0);
    f.type("K4ABC");
    QCOMPARE(f.status(), u"K4ABC Is Already Checked in"_s);
    QCOMPARE(f.checkins(), u"2"_s);
}

void TestFrmMain::countiesListAndSmallControls()
{
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM") } }, { "LEE", { Vacant(), Vacant() } },
                          { "MOBILE", { EndMarker(), Station("K4HID") } },
                          { "ARIZONA", { Station("N4AZ") } }, { "ARKANSAS", { Station("N4AR") } } },
                        { { "Settings", "QRZ PW", "password=x" } });
    FrmMain &w = f.open();
    // A station only behind the end marker still counts; only VACANT or the marker does not.
    QCOMPARE(f.lines(w.lstCounties), (QStringList { "EARLY CHECKINS", "JEFFERSON", "MOBILE", "ARIZONA",
                                                    "ARKANSAS", "LATE CHECKINS" }));
    QVERIFY(QFile::exists(f.root.filePath("WYOMING"))); // missing files were created empty
    QCOMPARE(w.FraStations->title(), u"EARLY CHECKINS"_s);
    // Without a preamble file the pane stays empty and nobody is asked anything.
    QVERIFY(w.rtxtPreamble->toPlainText().isEmpty());
    QVERIFY(f.root.dialogs().messages.isEmpty());
    // Num Lock off and Caps Lock on where the keyboard allows it; capitals as typed.
    QCOMPARE(std::pair(f.root.keyboard().capsPresses, f.root.keyboard().numPresses), std::pair(1, 1));
    QTest::keyClicks(w.txtChkin(), "k4a");
    QCOMPARE(w.txtChkin()->text(), u"K4A"_s);
    // The traffic counter: left click up, right click down, never below 0.
    QStringList counts;
    for (Qt::MouseButton b : { Qt::RightButton, Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton }) {
        QTest::mouseClick(w.lblTraffic(), b);
        counts << w.lblTraffic()->text();
    }
    QCOMPARE(counts, (QStringList { " 0", " 1", " 2", " 3", " 2" }));
    // With a QRZ password stored, a click on a non-listed call leaves the details to the lookup
    // (without it the form takes the call: see the maintenance tests). Clear empties the list.
    QTest::keyClick(w.txtChkin(), Qt::Key_Return);
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "K4A" }));
    w.lstEarly_Click(w.lstEarly->item(0));
    QCOMPARE(w.fraAdd->lblMode->text(), u"ADD"_s);
    QVERIFY(w.fraAdd->txtCall->text().isEmpty());
    w.cmdClear_Click();
    QCOMPARE(w.lstEarly->count(), 0);
    // Small windows from the menus: only the report editor holds the net up; About, the
    // instructions, the report and the roster are one window each, raised when asked again.
    for (QAction *menu : { w.mnuAbout, w.mnuHelpInstructions, w.mnuReportEditor, w.mnuAbout,
                           w.mnuHelpInstructions, w.mnuReportsMonthly, w.mnuReportsMonthly })
        menu->trigger();
    w.CmdChange_Click();
    w.CmdChange_Click();
    QCOMPARE(f.root.dialogs().modalWindows, (QStringList { "frmReportEditor" }));
    for (const char *name : { "frmAbout", "frmInstr", "FrmReport", "FrmNetCtl" }) {
        const QList<QDialog *> open = w.findChildren<QDialog *>(name);
        QVERIFY2(open.size() == 1 && open[0]->isVisible(), name);
    }
}

void TestFrmMain::caretAlwaysFindsCallsign()
{
    // A click on the preamble or on the window's background leaves CALLSIGN ready for the next
    // call; the preamble takes no typing.
    QList<StationRecord> silent;
    for (int i = 0; i < 9; ++i)
        silent << Station(QString("K4O%1").arg(QChar(u'A' + i)), "OLD", "", "", "", "1/1/2020");
    MainWindowFixture f({ { "LEE", silent } });
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.lstCounties->setFocus();
    QTest::mouseClick(w.centralWidget(), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(w.txtChkin()->hasFocus());
    QTest::mouseClick(w.rtxtPreamble->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(QApplication::focusWidget(), "K4X");
    QCOMPARE(w.txtChkin()->text(), u"K4X"_s);
    QVERIFY(w.rtxtPreamble->isReadOnly());
    // The deleted-stations list shows whole lines only.
    f.choose("LEE");
    QCOMPARE(w.lstDS->count(), 9);
    const int inner = w.lstDS->height() - 2 * w.lstDS->frameWidth();
    QCOMPARE(inner % w.lstDS->sizeHintForRow(0), 0);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
