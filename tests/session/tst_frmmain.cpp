#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"
#include "session/netinfoframe.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString Notify = u"notify"_s;

// A settled installation: not the first run, today's net control is BOB, who is the user.
std::initializer_list<SettingValue> laterRun()
{
    static const std::initializer_list<SettingValue> values = {
        { "First", "Firstime", "FALSE" }, { "NetCtl", "Tuesday", "BOB" }, { "NetCtlCall", "Tuesday", "K4BOB" },
        { "Settings", "NetMgr", "ANN" }, { "Settings", "NetMgrCall", "W4ANN" }, { "Settings", "dBDate", "2/1/2026" },
        { "Settings", "User Name", "BOB" } };
    return values;
}
} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void countiesList();
    void optionsPersistAndLayoutFollows();
    void captionNetInfoAndIdTimer_data();
    void captionNetInfoAndIdTimer();
    void preambleBlueRange();
    void typedOutcomes_data();
    void typedOutcomes();
    void typedCheckInWritesTheRecord();
    void deleteCheckinInEarlyModeAndSharedTable();
    void refusedCheckIn_data();
    void refusedCheckIn();
    void smallControls();
    void idReminder();
    void rosterFromTheMenu();
};

void TestFrmMain::countiesList()
{
    QList<StationRecord> stateAt100(99, Vacant());
    stateAt100 << Station("K4LAST");
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM") } }, { "LEE", { Vacant(), Vacant() } },
                          { "MOBILE", { EndMarker(), Station("K4HID") } }, { "AUTAUGA", { EndMarker() } },
                          { "TEXAS", stateAt100 }, { "ARIZONA", { Station("N4AZ") } },
                          { "ARKANSAS", { Station("N4AR") } } });
    FrmMain &w = f.open();
    // A station only behind the end marker still counts; only VACANT or the marker does not.
    QCOMPARE(f.lines(w.lstCounties), (QStringList { "EARLY CHECKINS", "JEFFERSON", "MOBILE", "ARIZONA",
                                                    "ARKANSAS", "TEXAS", "LATE CHECKINS" }));
    QVERIFY(QFile::exists(f.root.filePath("WYOMING"))); // missing files were created empty
    QCOMPARE(w.lstCounties->currentRow(), 0);
    QCOMPARE(w.FraStations->title(), u"EARLY CHECKINS"_s);
    // Without a preamble file the pane stays empty and nobody is asked anything.
    QVERIFY(w.rtxtPreamble->toPlainText().isEmpty());
    QVERIFY(f.root.dialogs().messages.isEmpty());
}

void TestFrmMain::optionsPersistAndLayoutFollows()
{
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "True" },
                              { "Settings", "Top", "100" }, { "Settings", "Width", "100" },
                              { "Settings", "Ding", "True" } });
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
    // Missing options take their defaults and are stored; the obsolete window values are gone.
    QCOMPARE(marks(w), (QList<bool> { true, true, false }));
    QCOMPARE(stored(f), (QStringList { "True", "True", "False" }));
    QCOMPARE(f.setting("Settings", "Top") + f.setting("Settings", "Width") + f.setting("Settings", "Ding"),
             QString());
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
    QCOMPARE(w.FraSearch->x(), w.fraAdd->x());
    FrmMain w2(f.root.services(), f.context); // a new start shows the stored marks
    QCOMPARE(marks(w2), (QList<bool> { false, false, true }));
    // The first run keeps the design options whatever is stored.
    MainWindowFixture g({}, { { "Options", "Ding", "True" }, { "Options", "RetainCheckmark", "False" } });
    QCOMPARE(marks(g.open()), (QList<bool> { false, true, false }));
    QCOMPARE(g.setting("Options", "DisablePreambleWindow"), QString());
}

void TestFrmMain::captionNetInfoAndIdTimer_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("timer");
    QTest::newRow("today's net control") << "BOB" << true;
    QTest::newRow("someone else") << "JOE" << false;
    QTest::newRow("case matters") << "Bob" << false;
}

void TestFrmMain::captionNetInfoAndIdTimer()
{
    QFETCH(QString, user);
    QFETCH(bool, timer);
    MainWindowFixture f({}, laterRun());
    f.root.settings().save("Settings", "User Name", user);
    FrmMain &w = f.open();
    QCOMPARE(w.windowTitle(), u"VORQ V1 B12  3/10/2026  - Current dB Date: 2/1/2026"_s);
    QCOMPARE(w.lblNetCtl()->text(), u"BOB   K4BOB"_s);
    QCOMPARE(w.lblNetMgr()->text(), u"ANN   W4ANN"_s);
    QCOMPARE(w.IDTimer->isActive(), timer);
}

void TestFrmMain::preambleBlueRange()
{
    MainWindowFixture f;
    const QByteArray text = QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(62).left(1600);
    QFile file(f.root.paths().appDataFolder() + "Halvorsoft/VorqPreamble.txt");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    FrmMain &w = f.open();
    QCOMPARE(w.rtxtPreamble->toPlainText(), QString::fromLatin1(text));
    auto colourAt = [&w](int position) {
        QTextCursor c(w.rtxtPreamble->document());
        c.setPosition(position + 1);
        return c.charFormat().foreground().color();
    };
    QCOMPARE(colourAt(1230), QColor(Qt::black));
    QCOMPARE(colourAt(1231), QColor(0, 0, 255));
    QCOMPARE(colourAt(1455), QColor(0, 0, 255));
    QVERIFY(colourAt(1456) != QColor(0, 0, 255));
    QCOMPARE(w.rtxtPreamble->textCursor().position(), 0);
}

void TestFrmMain::typedOutcomes_data()
{
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("checkins");
    QTest::addColumn<QStringList>("nonListed");
    const QString early = "EARLY CHECKINS";
    const QStringList none, jim { "K4ABC JIM JEFFERSON BIRMINGHAM" };
    QTest::newRow("checked in, lower case and blank")
        << early << QStringList { "k4abc " } << "K4ABC CHECKED IN" << none << 1 << jim << none;
    QTest::newRow("bad prefix")
        << early << QStringList { "B4ABC" } << "B4ABC  INVALID CALL" << QStringList { Notify } << 0 << none << none;
    QTest::newRow("not found, listed each time") << early << QStringList { "W4NEW", "w4new" } << "W4NEW NOT FOUND"
                                                 << QStringList { "tada", "tada" } << 0 << none
                                                 << QStringList { "W4NEW", "W4NEW" };
    QTest::newRow("already checked in") << early << QStringList { "K4ABC", "K4ABC" } << "K4ABC Is Already Checked in"
                                        << QStringList { Notify } << 1 << jim << none;
    QTest::newRow("county chosen names the county")
        << "LEE" << QStringList { "K4ABC" } << "LEE COUNTY" << QStringList { Notify } << 0
        << QStringList { "KA4  LEE  ANN " } << none;
    QTest::newRow("state chosen names the state too")
        << "TEXAS" << QStringList { "K4ABC" } << "TEXAS COUNTY" << QStringList { Notify } << 0
        << QStringList { "W5   TX    " } << none;
    QTest::newRow("late mode checks in") << "LATE CHECKINS" << QStringList { "KA4LEE" } << "KA4LEE CHECKED IN"
                                         << none << 1 << QStringList { "KA4LEE ANN LEE " } << none;
}

void TestFrmMain::typedOutcomes()
{
    QFETCH(QString, choose);
    QFETCH(QStringList, typed);
    QFETCH(QString, status);
    QFETCH(QStringList, sounds);
    QFETCH(int, count);
    QFETCH(QStringList, checkins);
    QFETCH(QStringList, nonListed);
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM", "", "", "BIRMINGHAM", "1/1/2026") } },
                          { "LEE", { Station("KA4LEE", "ANN") } }, { "TEXAS", { Station("W5TX") } } });
    FrmMain &w = f.open();
    f.choose(choose);
    for (const QString &call : typed)
        f.type(call);
    QCOMPARE(f.status(), status);
    QCOMPARE(f.root.sounds().played, sounds);
    QCOMPARE(f.checkins(), QString::number(count));
    QCOMPARE(f.lines(w.lst1), checkins); // a county's own member list stays as it was
    QCOMPARE(f.lines(w.lstEarly), nonListed);
    QVERIFY(w.txtChkin()->text().isEmpty());
}

void TestFrmMain::typedCheckInWritesTheRecord()
{
    MainWindowFixture f({ { "JEFFERSON", { Station("W4XYZ"),
                                           Station(" K4ABC", "  JIM", "JEFFERSON", "SUN", "BIRMINGHAM", "1/1/2025"),
                                           Station("K4NEXT") } } });
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("JEFFERSON");
    f.type("K4ABC");
    const QByteArray after = f.root.stationBytes("JEFFERSON");
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    // The other fields are written back, and listed, without their leading blanks.
    QCOMPARE(f.root.record("JEFFERSON", 2).trimmed(),
             Station("K4ABC", "JIM", "JEFFERSON", "SUN", "BIRMINGHAM", "3/10/2026"));
    QCOMPARE(f.root.record("JEFFERSON", 2).Name, PadField("JIM", 15));
    QCOMPARE(f.lines(w.lst1), (QStringList { "K4ABC JIM JEFFERSON BIRMINGHAM" }));
}

void TestFrmMain::deleteCheckinInEarlyModeAndSharedTable()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE") } } });
    FrmMain &w = f.open();
    w.mnuEditDeleteCheckin->trigger(); // nothing listed: nothing happens
    f.type("K4ABC");
    f.type("W4XY");
    w.lst1->setCurrentRow(-1);
    w.lst1->clearSelection();
    w.mnuEditDeleteCheckin->trigger(); // no line chosen: nothing changes
    QCOMPARE(f.checkins(), u"2"_s);
    w.lst1->setCurrentRow(0);
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), u"K4ABC REMOVED"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4XY SUE LEE " }));
    QCOMPARE(w.session().checkins().entry(1), u"DELETED"_s);
    // Typing the call again checks it in afresh, in the next free entry.
    f.type("K4ABC");
    QCOMPARE(f.status(), u"K4ABC CHECKED IN"_s);
    QCOMPARE(w.session().checkins().entry(3), u"K4ABC"_s);
    QCOMPARE(f.checkins(), u"2"_s);
    // Late check-ins use the same table.
    f.choose("LATE CHECKINS");
    QCOMPARE(w.FraStations->title(), u"LATE CHECKINS"_s);
    QCOMPARE(w.lst1->count(), 0);
    f.type("K4ABC");
    QCOMPARE(f.status(), u"K4ABC Is Already Checked in"_s);
    QCOMPARE(f.checkins(), u"2"_s);
}

void TestFrmMain::refusedCheckIn_data()
{
    QTest::addColumn<bool>("tableFull");
    QTest::addColumn<QString>("status");
    QTest::newRow("table full") << true << "K4ABC NOT CHECKED IN - LIST FULL";
    QTest::newRow("record not written") << false << "K4ABC NOT CHECKED IN - FILE ERROR";
}

void TestFrmMain::refusedCheckIn()
{
    QFETCH(bool, tableFull);
    QFETCH(QString, status);
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } });
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    for (int k = 1; tableFull && k <= 149; ++k)
        w.session().checkins().set(k, u"X%1"_s.arg(k));
    if (!tableFull)
        QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner);
    f.type("K4ABC");
    QCOMPARE(f.status(), status);
    QCOMPARE(f.root.sounds().played, QStringList { Notify });
    QCOMPARE(f.checkins(), u"0"_s);
    QCOMPARE(w.lst1->count(), 0);
    QCOMPARE(f.root.stationBytes("LEE"), before);
    if (!tableFull) { // writable again: the call checks in
        QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner | QFile::WriteOwner);
        f.type("K4ABC");
        QCOMPARE(f.status(), u"K4ABC CHECKED IN"_s);
    }
}

void TestFrmMain::smallControls()
{
    MainWindowFixture f({}, { { "Settings", "QRZ PW", "password=x" } });
    FrmMain &w = f.open();
    // Num Lock off and Caps Lock on where the keyboard allows it; capitals as typed.
    QCOMPARE(f.root.keyboard().capsPresses, 1);
    QCOMPARE(f.root.keyboard().numPresses, 1);
    QTest::keyClicks(w.txtChkin(), "k4a");
    QCOMPARE(w.txtChkin()->text(), u"K4A"_s);
    // The traffic counter never goes below 0.
    QTest::mouseClick(w.lblTraffic(), Qt::RightButton);
    QCOMPARE(w.lblTraffic()->text(), u" 0"_s);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(w.lblTraffic(), Qt::LeftButton);
    QCOMPARE(w.lblTraffic()->text(), u" 3"_s);
    QTest::mouseClick(w.lblTraffic(), Qt::RightButton);
    QCOMPARE(w.lblTraffic()->text(), u" 2"_s);
    // With a QRZ password stored, a click on a non-listed call leaves the details to the lookup
    // (without it the form takes the call: see the maintenance tests). Clear empties the list.
    QTest::keyClick(w.txtChkin(), Qt::Key_Return);
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "K4A" }));
    w.lstEarly_Click(w.lstEarly->item(0));
    QCOMPARE(w.fraAdd->lblMode->text(), u"ADD"_s);
    QVERIFY(w.fraAdd->txtCall->text().isEmpty());
    w.cmdClear_Click();
    QCOMPARE(w.lstEarly->count(), 0);
    // Small windows from the menus.
    for (QAction *menu : { w.mnuAbout, w.mnuHelpInstructions, w.mnuReportEditor })
        menu->trigger();
    QCOMPARE(f.root.dialogs().modalWindows, (QStringList { "frmAbout", "frmInstr", "frmReportEditor" }));
    w.mnuReportsMonthly->trigger();
    QVERIFY(w.findChild<QDialog *>("FrmReport"));
}

void TestFrmMain::idReminder()
{
    MainWindowFixture f({}, laterRun(), QDateTime(QDate(2026, 3, 10), QTime(18, 39, 0)));
    f.root.screen().pixels = QSize(1280, 960);
    FrmMain &w = f.open();
    QLabel *label = w.fraAdd->lblIDTime;
    QVERIFY(label->isHidden());
    w.IDTimer_Timer(); // 6:39:00 starts the blinking
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(f.root.sounds().played, (QStringList { f.context.UserDataFolder + "IDTime.wav" }));
    QCOMPARE(label->font().pointSize(), 28);
    w.Timer1_Timer();
    QVERIFY(!label->isHidden());
    w.Timer1_Timer();
    QVERIFY(label->isHidden());
    w.Timer1_Timer();
    f.root.clock().advanceSeconds(10); // 6:39:10 ends it
    w.IDTimer_Timer();
    QVERIFY(!w.Timer1->isActive() && label->isHidden());
    // A missed end tick is caught up by the next one.
    f.root.clock().set(QDateTime(QDate(2026, 3, 10), QTime(19, 9, 0)));
    w.IDTimer_Timer();
    QVERIFY(w.Timer1->isActive());
    f.root.clock().advanceSeconds(11); // 7:09:11
    w.Timer1_Timer();
    w.IDTimer_Timer();
    QVERIFY(!w.Timer1->isActive() && label->isHidden());
}

void TestFrmMain::rosterFromTheMenu()
{
    MainWindowFixture f({}, laterRun());
    f.root.settings().save("NetCtl", "Thursday", "CARL");
    f.root.settings().save("NetCtlCall", "Thursday", "W4CRL");
    FrmMain &w = f.open();
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
        QCOMPARE(w.fraAdd->lblMode->text(), u"Change Call"_s);
    };
    pick(2); // today's regular line (2026-03-10 is a Tuesday)
    QCOMPARE(w.lblNetCtl()->text(), u"BOB   K4BOB"_s);
    QCOMPARE(w.Label4()->text(), u"NET CONTROL"_s);
    QCOMPARE(w.CmdChange()->text(), u"CHANGE"_s);
    QVERIFY(w.CmdChange()->styleSheet().contains("rgb(0, 255, 0)"));
    QVERIFY(w.IDTimer->isActive());
    pick(4); // another day's line
    QCOMPARE(w.lblNetCtl()->text(), u"CARL   W4CRL"_s);
    QCOMPARE(w.Label4()->text(), u"ALT NET CONTROL"_s);
    QCOMPARE(w.CmdChange()->text(), u"CHANGED"_s);
    QVERIFY(w.CmdChange()->styleSheet().contains("rgb(255, 255, 0)"));
    QVERIFY(!w.IDTimer->isActive());
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
