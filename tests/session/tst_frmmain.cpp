#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"
#include "session/netinfoframe.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QDialog>

namespace {
const QString Notify = QStringLiteral("notify");
const QString Tada = QStringLiteral("tada");

// A settled installation: not the first run, today's net control is BOB.
std::initializer_list<SettingValue> laterRun()
{
    static const std::initializer_list<SettingValue> values = {
        { "First", "Firstime", "FALSE" },
        { "NetCtl", "Tuesday", "BOB" },
        { "NetCtlCall", "Tuesday", "K4BOB" },
        { "Settings", "NetMgr", "ANN" },
        { "Settings", "NetMgrCall", "W4ANN" },
        { "Settings", "dBDate", "2/1/2026" },
    };
    return values;
}
} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void countiesList();
    void countiesListWithNoStations();
    void caption();
    void firstRunKeepsDesignOptions();
    void laterRunReadsAndStoresOptions();
    void optionSwitchesPersist();
    void netInfoAndIdTimerForTodaysNetControl_data();
    void netInfoAndIdTimerForTodaysNetControl();
    void preambleBlueRange();
    void missingPreambleLeavesPaneEmpty();
    void typedOutcomes_data();
    void typedOutcomes();
    void typedCheckInWritesTheRecord();
    void earlyAndLateShareTheTable();
    void deleteCheckinInEarlyMode();
    void deleteCheckinWithoutALineChangesNothing();
    void notFoundTwiceIsListedTwice();
    void fullTableSaysSo();
    void writeFailureIsReported();
    void trafficCounter();
    void idReminder();
    void idReminderCatchUp();
    void layoutWithAndWithoutPreamble();
    void capitalsAsTyped();
    void nonListedClickStartsAdd();
    void rosterFromTheMenu_data();
    void rosterFromTheMenu();
    void smallWindowsFromTheMenus();
};

void TestFrmMain::countiesList()
{
    QList<StationRecord> stateAt100;
    for (int i = 1; i < 100; ++i)
        stateAt100 << Vacant();
    stateAt100 << Station("K4LAST");
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM") } },
                          { "LEE", { Vacant(), Vacant() } },
                          { "MOBILE", { EndMarker(), Station("K4HID") } },
                          { "AUTAUGA", { EndMarker() } },
                          { "TEXAS", stateAt100 },
                          { "ARIZONA", { Station("N4AZ") } },
                          { "ARKANSAS", { Station("N4AR") } } });
    FrmMain &w = f.open();
    // The file holding a station only behind its end marker still counts as holding one.
    QCOMPARE(f.lines(w.lstCounties),
             (QStringList { "EARLY CHECKINS", "JEFFERSON", "MOBILE", "ARIZONA", "ARKANSAS",
                            "TEXAS", "LATE CHECKINS" }));
    // Missing files were created empty.
    QVERIFY(QFile::exists(f.root.filePath("WYOMING")));
    // The session starts in early check-in mode.
    QCOMPARE(w.lstCounties->currentRow(), 0);
    QCOMPARE(w.FraStations->title(), QStringLiteral("EARLY CHECKINS"));
    QVERIFY(w.session().earlyLateMode());
}

void TestFrmMain::countiesListWithNoStations()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    QCOMPARE(f.lines(w.lstCounties), (QStringList { "EARLY CHECKINS", "LATE CHECKINS" }));
}

void TestFrmMain::caption()
{
    MainWindowFixture f({}, laterRun());
    FrmMain &w = f.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("VORQ V1 B12  3/10/2026  - Current dB Date: 2/1/2026"));
}

void TestFrmMain::firstRunKeepsDesignOptions()
{
    MainWindowFixture f({}, { { "Options", "Ding", "True" }, { "Options", "RetainCheckmark", "False" } });
    FrmMain &w = f.open();
    QVERIFY(!w.mnuOptionsDisableDing->isChecked());
    QVERIFY(w.mnuOptionsRetainCheckmark->isChecked());
    QCOMPARE(f.root.settings().get("Options", "DisablePreambleWindow"), QString());
}

void TestFrmMain::laterRunReadsAndStoresOptions()
{
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" },
                              { "Options", "Ding", "True" },
                              { "Settings", "Top", "100" },
                              { "Settings", "Width", "100" },
                              { "Settings", "Ding", "True" } });
    FrmMain &w = f.open();
    QVERIFY(w.mnuOptionsDisableDing->isChecked());
    // Missing options take their defaults and are stored.
    QVERIFY(w.mnuOptionsRetainCheckmark->isChecked());
    QVERIFY(!w.mnuOptionsDisablePreambleWindow->isChecked());
    QCOMPARE(f.root.settings().get("Options", "RetainCheckmark"), QStringLiteral("True"));
    QCOMPARE(f.root.settings().get("Options", "DisablePreambleWindow"), QStringLiteral("False"));
    // The obsolete window values are gone.
    QCOMPARE(f.root.settings().get("Settings", "Top"), QString());
    QCOMPARE(f.root.settings().get("Settings", "Width"), QString());
    QCOMPARE(f.root.settings().get("Settings", "Ding"), QString());
}

void TestFrmMain::optionSwitchesPersist()
{
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" } });
    FrmMain &w = f.open();
    w.mnuOptionsDisableDing->trigger();
    QVERIFY(w.mnuOptionsDisableDing->isChecked());
    QCOMPARE(f.root.settings().get("Options", "Ding"), QStringLiteral("True"));
    w.mnuOptionsDisableDing->trigger();
    QVERIFY(!w.mnuOptionsDisableDing->isChecked());
    QCOMPARE(f.root.settings().get("Options", "Ding"), QStringLiteral("False"));
    w.mnuOptionsRetainCheckmark->trigger();
    QCOMPARE(f.root.settings().get("Options", "RetainCheckmark"), QStringLiteral("False"));
    w.mnuOptionsDisablePreambleWindow->trigger();
    QCOMPARE(f.root.settings().get("Options", "DisablePreambleWindow"), QStringLiteral("True"));
    QVERIFY(w.fraPreamble->isHidden());

    // A new start shows the stored marks.
    FrmMain w2(f.root.services(), f.context);
    QVERIFY(!w2.mnuOptionsRetainCheckmark->isChecked());
    QVERIFY(w2.mnuOptionsDisablePreambleWindow->isChecked());
    QVERIFY(!w2.mnuOptionsDisableDing->isChecked());
}

void TestFrmMain::netInfoAndIdTimerForTodaysNetControl_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("timer");
    QTest::newRow("today's net control") << "BOB" << true;
    QTest::newRow("someone else") << "JOE" << false;
    QTest::newRow("case matters") << "Bob" << false;
}

void TestFrmMain::netInfoAndIdTimerForTodaysNetControl()
{
    QFETCH(QString, user);
    QFETCH(bool, timer);
    MainWindowFixture f({}, laterRun());
    f.root.settings().save("Settings", "User Name", user);
    FrmMain &w = f.open();
    QCOMPARE(w.lblNetCtl()->text(), QStringLiteral("BOB   K4BOB"));
    QCOMPARE(w.lblNetMgr()->text(), QStringLiteral("ANN   W4ANN"));
    QCOMPARE(w.IDTimer->isActive(), timer);
    QCOMPARE(w.Label4()->text(), QStringLiteral("NET CONTROL"));
}

void TestFrmMain::preambleBlueRange()
{
    MainWindowFixture f;
    QString text;
    for (int i = 0; i < 1600; ++i)
        text += QChar(u'a' + i % 26);
    QFile file(f.root.paths().appDataFolder() + "Halvorsoft/VorqPreamble.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toLatin1());
    file.close();
    FrmMain &w = f.open();
    QCOMPARE(w.rtxtPreamble->toPlainText(), text);
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

void TestFrmMain::missingPreambleLeavesPaneEmpty()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC") } } });
    FrmMain &w = f.open();
    QVERIFY(w.rtxtPreamble->toPlainText().isEmpty());
    QVERIFY(f.root.dialogs().messages.isEmpty());
    QVERIFY(w.session().earlyLateMode());
}

void TestFrmMain::typedOutcomes_data()
{
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("checkins");
    QTest::addColumn<QStringList>("nonListed");

    const QString early = "EARLY CHECKINS";
    QTest::newRow("checked in, lower case and blank")
        << early << QStringList { "k4abc " } << "K4ABC CHECKED IN" << "" << 1
        << QStringList { "K4ABC JIM JEFFERSON BIRMINGHAM" } << QStringList {};
    QTest::newRow("seven characters") << early << QStringList { "KA4ABCD" }
                                      << "KA4ABCD  INVALID CALL" << Notify << 0 << QStringList {}
                                      << QStringList {};
    QTest::newRow("bad prefix") << early << QStringList { "B4ABC" } << "B4ABC  INVALID CALL"
                                << Notify << 0 << QStringList {} << QStringList {};
    QTest::newRow("not found") << early << QStringList { "W4NEW" } << "W4NEW NOT FOUND" << Tada
                               << 0 << QStringList {} << QStringList { "W4NEW" };
    QTest::newRow("already checked in") << early << QStringList { "K4ABC", "K4ABC" }
                                        << "K4ABC Is Already Checked in" << Notify << 1
                                        << QStringList { "K4ABC JIM JEFFERSON BIRMINGHAM" }
                                        << QStringList {};
    QTest::newRow("county chosen names the county") << "LEE" << QStringList { "K4ABC" }
                                                    << "LEE COUNTY" << Notify << 0
                                                    << QStringList {} << QStringList {};
    QTest::newRow("state chosen names the state too")
        << "TEXAS" << QStringList { "K4ABC" } << "TEXAS COUNTY" << Notify << 0 << QStringList {}
        << QStringList {};
    QTest::newRow("late mode checks in") << "LATE CHECKINS" << QStringList { "KA4LEE" }
                                         << "KA4LEE CHECKED IN" << "" << 1
                                         << QStringList { "KA4LEE ANN LEE " } << QStringList {};
}

void TestFrmMain::typedOutcomes()
{
    QFETCH(QString, choose);
    QFETCH(QStringList, typed);
    QFETCH(QString, status);
    QFETCH(QString, sound);
    QFETCH(int, count);
    QFETCH(QStringList, checkins);
    QFETCH(QStringList, nonListed);
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM", "", "", "BIRMINGHAM", "1/1/2026") } },
                          { "LEE", { Station("KA4LEE", "ANN") } },
                          { "TEXAS", { Station("W5TX") } } });
    FrmMain &w = f.open();
    f.choose(choose);
    for (const QString &call : typed)
        f.type(call);
    QCOMPARE(f.status(), status);
    QCOMPARE(f.root.sounds().played.isEmpty() ? QString() : f.root.sounds().played.last(), sound);
    QCOMPARE(w.lblChkins()->text(), QString::number(count));
    if (!w.session().earlyLateMode())
        QCOMPARE(w.lst1->count(), 1); // the county's own member list stays as it was
    else
        QCOMPARE(f.lines(w.lst1), checkins);
    QCOMPARE(f.lines(w.lstEarly), nonListed);
    QVERIFY(w.txtChkin()->text().isEmpty());
    QVERIFY(w.txtChkin()->hasFocus() || !w.isActiveWindow());
}

void TestFrmMain::typedCheckInWritesTheRecord()
{
    MainWindowFixture f({ { "JEFFERSON", { Station("W4XYZ"),
                                           Station(" K4ABC", "  JIM", "JEFFERSON", "SUN", "BIRMINGHAM", "1/1/2025"),
                                           Station("K4NEXT") } } });
    f.open();
    const QByteArray before = f.root.stationBytes("JEFFERSON");
    f.type("K4ABC");
    const QByteArray after = f.root.stationBytes("JEFFERSON");
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(82), before.left(82));
    QCOMPARE(after.mid(164), before.mid(164));
    // The other fields are written back without their leading blanks.
    QCOMPARE(f.root.record("JEFFERSON", 2).trimmed(),
             Station("K4ABC", "JIM", "JEFFERSON", "SUN", "BIRMINGHAM", "3/10/2026"));
    QCOMPARE(f.root.record("JEFFERSON", 2).Name, PadField("JIM", 15));
}

void TestFrmMain::earlyAndLateShareTheTable()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } });
    FrmMain &w = f.open();
    f.type("K4ABC");
    f.choose("LATE CHECKINS");
    QCOMPARE(w.FraStations->title(), QStringLiteral("LATE CHECKINS"));
    QCOMPARE(w.lst1->count(), 0);
    f.type("K4ABC");
    QCOMPARE(f.status(), QStringLiteral("K4ABC Is Already Checked in"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
}

void TestFrmMain::deleteCheckinInEarlyMode()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM"), Station("W4XY", "SUE") } } });
    FrmMain &w = f.open();
    f.type("K4ABC");
    f.type("W4XY");
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("2"));
    w.lst1->setCurrentRow(0);
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(f.status(), QStringLiteral("K4ABC REMOVED"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4XY SUE LEE " }));
    QCOMPARE(w.session().checkins().entry(1), QStringLiteral("DELETED"));
    // Typing the call again checks it in afresh, in the next free entry.
    f.type("K4ABC");
    QCOMPARE(f.status(), QStringLiteral("K4ABC CHECKED IN"));
    QCOMPARE(w.session().checkins().entry(3), QStringLiteral("K4ABC"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("2"));
}

void TestFrmMain::deleteCheckinWithoutALineChangesNothing()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } });
    FrmMain &w = f.open();
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
    f.type("K4ABC");
    w.lst1->setCurrentRow(-1);
    w.lst1->clearSelection();
    w.mnuEditDeleteCheckin->trigger();
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(w.lst1->count(), 1);
    QCOMPARE(w.session().checkins().entry(1), QStringLiteral("K4ABC"));
}

void TestFrmMain::notFoundTwiceIsListedTwice()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    f.type("W4NEW");
    f.type("w4new");
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "W4NEW", "W4NEW" }));
    QCOMPARE(f.root.sounds().played, (QStringList { Tada, Tada }));
}

void TestFrmMain::fullTableSaysSo()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } });
    FrmMain &w = f.open();
    for (int k = 1; k <= 149; ++k)
        w.session().checkins().set(k, QStringLiteral("X%1").arg(k));
    const QByteArray before = f.root.stationBytes("LEE");
    f.type("K4ABC");
    QCOMPARE(f.status(), QStringLiteral("K4ABC NOT CHECKED IN - LIST FULL"));
    QCOMPARE(f.root.sounds().played.last(), Notify);
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
}

void TestFrmMain::writeFailureIsReported()
{
    MainWindowFixture f({ { "LEE", { Station("K4ABC", "JIM") } } });
    FrmMain &w = f.open();
    QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner);
    f.type("K4ABC");
    QCOMPARE(f.status(), QStringLiteral("K4ABC NOT CHECKED IN - FILE ERROR"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
    QCOMPARE(w.lst1->count(), 0);
    QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner | QFile::WriteOwner);
    f.type("K4ABC");
    QCOMPARE(f.status(), QStringLiteral("K4ABC CHECKED IN"));
}

void TestFrmMain::trafficCounter()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    QCOMPARE(w.lblTraffic()->text(), QStringLiteral("0"));
    QTest::mouseClick(w.lblTraffic(), Qt::RightButton);
    QCOMPARE(w.lblTraffic()->text(), QStringLiteral(" 0"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(w.lblTraffic(), Qt::LeftButton);
    QCOMPARE(w.lblTraffic()->text(), QStringLiteral(" 3"));
    QTest::mouseClick(w.lblTraffic(), Qt::RightButton);
    QCOMPARE(w.lblTraffic()->text(), QStringLiteral(" 2"));
    QCOMPARE(w.sessionTraffic(), 2);
}

void TestFrmMain::idReminder()
{
    MainWindowFixture f({}, laterRun(), QDateTime(QDate(2026, 3, 10), QTime(18, 38, 59)));
    f.root.settings().save("Settings", "User Name", "BOB");
    f.root.screen().pixels = QSize(1280, 960);
    FrmMain &w = f.open();
    QLabel *label = w.fraAdd->lblIDTime;
    QVERIFY(label->isHidden());
    w.IDTimer_Timer();
    QVERIFY(!w.Timer1->isActive());
    f.root.clock().advanceSeconds(1); // 6:39:00
    w.IDTimer_Timer();
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(f.root.sounds().played,
             (QStringList { f.context.UserDataFolder + "IDTime.wav" }));
    QCOMPARE(label->font().pointSize(), 28);
    w.Timer1_Timer();
    QVERIFY(!label->isHidden());
    w.Timer1_Timer();
    QVERIFY(label->isHidden());
    w.Timer1_Timer();
    f.root.clock().advanceSeconds(10); // 6:39:10
    w.IDTimer_Timer();
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(label->isHidden());
    f.root.clock().advanceSeconds(1);
    w.IDTimer_Timer();
    QVERIFY(label->isHidden());
    QCOMPARE(f.root.sounds().played.size(), 1);
}

void TestFrmMain::idReminderCatchUp()
{
    MainWindowFixture f({}, laterRun(), QDateTime(QDate(2026, 3, 10), QTime(19, 9, 0)));
    f.root.settings().save("Settings", "User Name", "BOB");
    FrmMain &w = f.open();
    w.IDTimer_Timer();
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.fraAdd->lblIDTime->font().pointSize() == 28, false);
    f.root.clock().advanceSeconds(11); // the 7:09:10 tick was missed
    w.Timer1_Timer();
    w.IDTimer_Timer();
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(w.fraAdd->lblIDTime->isHidden());
}

void TestFrmMain::layoutWithAndWithoutPreamble()
{
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" } });
    FrmMain &w = f.open();
    w.resize(1200, 900);
    QCoreApplication::processEvents();
    const QSize inner = w.centralWidget()->size();
    auto near = [](double a, double b) { return std::abs(a - b) <= 1.5; };
    QVERIFY(near(w.fraCounties->x(), inner.width() * 0.0088));
    QVERIFY(near(w.fraCounties->width(), inner.width() * 0.1927));
    QVERIFY(near(w.FraStations->height(), inner.height() * 0.6349));
    QVERIFY(!w.fraPreamble->isHidden());
    QVERIFY(near(w.FraSearch->x(), inner.width() * 0.5542));
    QVERIFY(near(w.fraFormData->x(), inner.width() / 1.3 + 110 / 15.0));
    QVERIFY(near(w.cmdExit->width(), w.fraFormData->width()));

    w.mnuOptionsDisablePreambleWindow->trigger();
    QVERIFY(w.fraPreamble->isHidden());
    QVERIFY(near(w.FraStations->height(), inner.height() * 0.96));
    QCOMPARE(w.FraSearch->x(), w.fraAdd->x());
    QCOMPARE(w.FraSearch->width(), w.fraAdd->width());

    // Half the width: the columns follow.
    w.resize(600, 900);
    QCoreApplication::processEvents();
    const QSize half = w.centralWidget()->size();
    QVERIFY(near(w.fraCounties->width(), half.width() * 0.1927));
    QVERIFY(near(w.fraFormData->x(), half.width() / 1.3 + 110 / 15.0));
}

void TestFrmMain::capitalsAsTyped()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    QTest::keyClicks(w.txtChkin(), "k4a");
    QCOMPARE(w.txtChkin()->text(), QStringLiteral("K4A"));
    // Num Lock off and Caps Lock on where the keyboard allows it.
    QCOMPARE(f.root.keyboard().capsPresses, 1);
    QCOMPARE(f.root.keyboard().numPresses, 1);
}

void TestFrmMain::nonListedClickStartsAdd()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    f.type("W4NEW");
    w.lstEarly_Click(w.lstEarly->item(0));
    QCOMPARE(w.MemberFormMode, 1);
    QCOMPARE(w.fraAdd->lblMode->text(), QStringLiteral("ADD"));
    QCOMPARE(w.fraAdd->txtCall->text(), QStringLiteral("W4NEW"));
    w.cmdClear_Click();
    QCOMPARE(w.lstEarly->count(), 0);

    // With a QRZ password stored the details come from the lookup instead.
    MainWindowFixture g({}, { { "Settings", "QRZ PW", "password=x" } });
    FrmMain &w2 = g.open();
    g.type("W4NEW");
    w2.lstEarly_Click(w2.lstEarly->item(0));
    QCOMPARE(w2.fraAdd->lblMode->text(), QStringLiteral("ADD"));
    QVERIFY(w2.fraAdd->txtCall->text().isEmpty());
}

void TestFrmMain::rosterFromTheMenu_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("timer");
    // 2026-03-10 is a Tuesday: row 2 of the week.
    QTest::newRow("today's regular line") << 2 << "NET CONTROL" << "CHANGE" << "rgb(0, 255, 0)" << true;
    QTest::newRow("another day's line") << 4 << "ALT NET CONTROL" << "CHANGED" << "rgb(255, 255, 0)" << false;
}

void TestFrmMain::rosterFromTheMenu()
{
    QFETCH(int, row);
    QFETCH(QString, label4);
    QFETCH(QString, button);
    QFETCH(QString, colour);
    QFETCH(bool, timer);
    MainWindowFixture f({}, laterRun());
    f.root.settings().save("NetCtl", "Thursday", "CARL");
    f.root.settings().save("NetCtlCall", "Thursday", "W4CRL");
    f.root.settings().save("Settings", "User Name", "BOB");
    FrmMain &w = f.open();
    w.IDTimer->stop();
    f.root.dialogs().modalScripts.enqueue([row](QDialog *roster) {
        auto *days = roster->findChild<QListWidget *>("lst1");
        days->setCurrentRow(row);
        emit days->itemClicked(days->item(row));
        roster->findChild<QPushButton *>("cmdOK")->click();
        return int(QDialog::Accepted);
    });
    w.mnuChgCtl->trigger();
    QCOMPARE(f.root.dialogs().modalWindows.size(), 1);
    QCOMPARE(w.fraAdd->lblMode->text(), QStringLiteral("Change Call"));
    QCOMPARE(w.lblNetCtl()->text(), row == 2 ? QStringLiteral("BOB   K4BOB") : QStringLiteral("CARL   W4CRL"));
    QCOMPARE(w.Label4()->text(), label4);
    QCOMPARE(w.CmdChange()->text(), button);
    QVERIFY(w.CmdChange()->styleSheet().contains(colour));
    QCOMPARE(w.IDTimer->isActive(), timer);
}

void TestFrmMain::smallWindowsFromTheMenus()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    w.mnuAbout->trigger();
    w.mnuHelpInstructions->trigger();
    w.mnuReportEditor->trigger();
    QCOMPARE(f.root.dialogs().modalWindows.size(), 3);
    QVERIFY(f.root.dialogs().modalWindows.contains("frmAbout"));
    QVERIFY(f.root.dialogs().modalWindows.contains("frmInstr"));
    QVERIFY(f.root.dialogs().modalWindows.contains("frmReportEditor"));
    w.mnuReportsMonthly->trigger();
    QVERIFY(w.findChild<QDialog *>("FrmReport"));
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
