#include "failingfs.h"
#include "maintenance/ui/deletedstationsframe.h"
#include "maintenance/ui/memberinfoframe.h"
#include "mainwindowfixture.h"
#include "session/ui/netinfoframe.h"
#include "spokenevents.h"
#include "startup/ui/frminstr.h"
#include "stationdb/supporttext.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

// The main window's wiring to NetSession (tested without widgets) and what it decides itself.
class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void preambleAndOptions();
    void oversizedPreambleIsRefused_data();
    void oversizedPreambleIsRefused();
    void readOnlySettingsAreToldAtStart_data();
    void readOnlySettingsAreToldAtStart();
    void idReminderAndRoster();
    void checkinsReachTheLists();
    void smallControlsAndWindows();
    void narrowColumnsShowWholeLines();
    void caretAlwaysFindsCallsign();
    void firstStartOffersTheImport();
    void retiredMemberIsRestored();
    void screenReadersNameEveryControl();
};

void TestFrmMain::preambleAndOptions()
{
    MainWindowFixture f({},
        { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "True" },
            { "Settings", "Ding", "True" } });
    const QByteArray text = QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(62).left(1600);
    QFile file(f.root.paths().appDataFolder() + "Halvorsoft/VorqPreamble.txt");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    // Ding, RetainCheckmark, DisablePreambleWindow as stored.
    auto stored = [](MainWindowFixture &m) {
        return QStringList { m.setting("Options", "Ding"), m.setting("Options", "RetainCheckmark"),
            m.setting("Options", "DisablePreambleWindow") };
    };
    FrmMain &w = f.open();
    QCOMPARE(named<QTextEdit>(w, "rtxtPreamble")->toPlainText(), QString::fromLatin1(text));
    // Missing options take their defaults and are stored.
    QCOMPARE(stored(f), (QStringList { "True", "True", "False" }));
    for (QAction *option : { named<QAction>(w, "mnuOptionsDisableDing"),
             named<QAction>(w, "mnuOptionsRetainCheckmark"),
             named<QAction>(w, "mnuOptionsDisablePreambleWindow") })
        option->trigger();
    QCOMPARE(stored(f), (QStringList { "False", "False", "True" }));
    QVERIFY(named<QGroupBox>(w, "fraPreamble")->isHidden());
    FrmMain again(f.root.services(), f.context); // a new start shows the stored marks
    QVERIFY(!named<QAction>(again, "mnuOptionsDisableDing")->isChecked()
        && named<QAction>(again, "mnuOptionsDisablePreambleWindow")->isChecked());
}

void TestFrmMain::oversizedPreambleIsRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("refused"); // why, or empty when shown
    const QByteArray line = QByteArray("x").repeated(SupportTextMaxLine);
    const QByteArray accented = QByteArray("\xC3\xA9").repeated(SupportTextMaxLine); // é
    const QByteArray megabyte = (line.left(1023) + '\n').repeated(1024);
    QTest::newRow("10,000 characters on a line") << line + "\r\n" + line << QString();
    QTest::newRow("10,000 two-byte characters") << accented << QString();
    QTest::newRow("10,001 characters on a line") << "PREAMBLE\n" + line + "x"
                                                 << "a line longer than 10,000 characters";
    QTest::newRow("1 MB without a line break")
        << QByteArray("x").repeated(SupportTextMaxBytes) << "a line longer than 10,000 characters";
    QTest::newRow("1 MB exactly") << megabyte << QString();
    QTest::newRow("1 MB and a byte") << megabyte + "x"
                                     << "larger than 1 MB";
}

void TestFrmMain::oversizedPreambleIsRefused()
{
    // A preamble laid out with a megabyte on one line kept the window from showing for
    // minutes; refused, the net starts at once and the operator learns why the pane is empty.
    QFETCH(QByteArray, text);
    QFETCH(QString, refused);
    // A member, so that no notice of an empty station database takes the status line.
    MainWindowFixture f({ { "LEE", { Station("K4AA") } } }, { { "First", "Firstime", "FALSE" } });
    const QString path = f.root.paths().appDataFolder() + "Halvorsoft/VorqPreamble.txt";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    FrmMain &w = f.open();
    QCOMPARE(named<QTextEdit>(w, "rtxtPreamble")->toPlainText().isEmpty(), !refused.isEmpty());
    QCOMPARE(
        f.status(), refused.isEmpty() ? QString() : "PREAMBLE NOT SHOWN: " + path + ": " + refused);
    // The instructions and the roster's help are read the same way.
    QCOMPARE(ReadWholeText(path).startsWith("THIS TEXT IS NOT SHOWN: " + path), !refused.isEmpty());
    QCOMPARE(FileBytes(path), text); // kept as it is
}

void TestFrmMain::readOnlySettingsAreToldAtStart_data()
{
    QTest::addColumn<int>("mode"); // of the settings file
    QTest::addColumn<bool>("leftovers"); // the load has stored values to remove
    QTest::addColumn<QString>("told"); // the status line; %1 the settings file
    const int readOnly = int(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString notice = "SETTINGS ARE READ-ONLY: %1 - CHANGES WILL NOT BE SAVED";
    QTest::newRow("writable") << int(QFile::ReadOwner | QFile::WriteOwner) << true << "";
    QTest::newRow("read-only") << readOnly << false << notice;
    QTest::newRow("read-only, the load's removals refused too") << readOnly << true << notice;
    QTest::newRow("unreadable is no read-only store")
        << 0 << false << "SETTINGS NOT SAVED: %1: Permission denied";
}

void TestFrmMain::readOnlySettingsAreToldAtStart()
{
    // Nothing the operator chooses tonight will be kept: said when the net starts, once.
    QFETCH(int, mode);
    QFETCH(bool, leftovers);
    QFETCH(QString, told);
    MainWindowFixture f({ { "LEE", { Station("K4AA") } } },
        { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "False" },
            { "Options", "RetainCheckmark", "True" },
            { "Options", "DisablePreambleWindow", "False" },
            { "Settings", "Top", leftovers ? "120" : "" } });
    const QString ini = f.root.settings().fileOf("VORQ");
    const QByteArray before = f.root.settingsBytes();
    QVERIFY(QFile::setPermissions(ini, QFile::Permissions(mode)));
    {
        ObeyFilePermissions obey;
        if (!obey.active())
            QSKIP("file permissions cannot be enforced here");
        f.open();
    }
    QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(f.status(), told.isEmpty() ? told : told.arg(ini));
    QCOMPARE(f.root.sounds().played.contains(SoundName::Notify()), !told.isEmpty());
    if (!told.isEmpty())
        QCOMPARE(FileBytes(ini), before);
}

void TestFrmMain::idReminderAndRoster()
{
    // A Tuesday: BOB, the user, is today's net control; CARL on Thursdays.
    MainWindowFixture f({},
        { { "First", "Firstime", "FALSE" }, { "NetCtl", "Tuesday", "BOB" },
            { "NetCtlCall", "Tuesday", "K4BOB" }, { "Settings", "NetMgr", "ANN" },
            { "Settings", "NetMgrCall", "W4ANN" }, { "NetCtl", "Thursday", "CARL" },
            { "NetCtlCall", "Thursday", "W4CRL" } },
        QDateTime(QDate(2026, 3, 10), QTime(18, 39, 0)));
    QVERIFY(f.root.settings().save("Settings", "User Name", "BOB"));
    FrmMain &w = f.open();
    QCOMPARE(named<QLabel>(w, "lblNetCtl")->text() + '|' + named<QLabel>(w, "lblNetMgr")->text(),
        u"BOB   K4BOB|ANN   W4ANN"_s);
    // Today's net control is the user: the identification reminder sounds and blinks.
    QVERIFY(named<QTimer>(w, "IDTimer")->isActive());
    w.show();
    SpokenEvents spoken(w);
    QMetaObject::invokeMethod(named<QTimer>(w, "IDTimer"), "timeout");
    QCOMPARE(f.root.sounds().played, (QStringList { f.context.UserDataFolder + "IDTime.wav" }));
    QTRY_COMPARE(spoken.said.value(0), u"ID TIME"_s); // heard, not only seen
    QMetaObject::invokeMethod(named<QTimer>(w, "Timer1"), "timeout");
    QVERIFY(!named<QLabel>(*named<MemberInfoFrame>(w, "fraAdd"), "lblIDTime")->isHidden());
    f.root.clock().advanceSeconds(10);
    QMetaObject::invokeMethod(named<QTimer>(w, "IDTimer"), "timeout");
    QVERIFY(!named<QTimer>(w, "Timer1")->isActive()
        && named<QLabel>(*named<MemberInfoFrame>(w, "fraAdd"), "lblIDTime")->isHidden());
    // Another day's line taken in the roster: its net control is shown and the reminder stops.
    f.root.dialogs().modalScripts.enqueue([](QDialog *roster) {
        auto *days = roster->findChild<QListWidget *>("lst1");
        days->setCurrentRow(4);
        emit days->itemClicked(days->item(4));
        roster->findChild<QPushButton *>("cmdOK")->click();
        return int(QDialog::Accepted);
    });
    named<QAction>(w, "mnuChgCtl")->trigger();
    QCOMPARE(named<QLabel>(w, "lblNetCtl")->text() + '|' + named<QLabel>(w, "Label4")->text(),
        u"CARL   W4CRL|ALT NET CONTROL"_s);
    QVERIFY(!named<QTimer>(w, "IDTimer")->isActive());
    // The program dies; the resumed session keeps CARL in charge, and his reminders.
    f.window.reset();
    f.root.dialogs().answers.enqueue(Yes);
    FrmMain &resumed = f.open();
    QCOMPARE(named<QLabel>(resumed, "lblNetCtl")->text() + '|'
            + named<QLabel>(resumed, "Label4")->text() + '|'
            + named<QPushButton>(resumed, "CmdChange")->text(),
        u"CARL   W4CRL|ALT NET CONTROL|CHANGED"_s);
    QVERIFY(!named<QTimer>(resumed, "IDTimer")->isActive());
}

void TestFrmMain::checkinsReachTheLists()
{
    MainWindowFixture f({ { "JEFFERSON", { Station("K4ABC", "JIM", "", "", "BIRMINGHAM") } },
                            { "LEE", { Station("K4XY", "SUE") } } },
        { { "First", "Firstime", "FALSE" }, { "Options", "Ding", "False" },
            { "Options", "RetainCheckmark", "True" } });
    FrmMain &w = f.open();
    QStringList menus; // each menu opened, with whether Change Control was enabled
    f.root.dialogs().menus = [&](QMenu *menu, const QPoint &) {
        menus << menu->objectName() + (named<QAction>(w, "mnuChgCtl")->isEnabled() ? "+" : "-");
    };
    for (const char *call : { "k4abc ", "W4NEW", "B4ABC" })
        f.type(call);
    QCOMPARE(f.root.sounds().played, (QStringList { "tada", "notify" }));
    QCOMPARE(f.status(), u"B4ABC  INVALID CALL"_s);
    QCOMPARE(f.lines("lst1"), (QStringList { "K4ABC JIM JEFFERSON BIRMINGHAM" }));
    QCOMPARE(f.lines("lstEarly"), (QStringList { "W4NEW" }));
    // On a check-in line a right click opens no menu; Delete Checkin takes the line off.
    named<QListWidget>(w, "lst1")->setCurrentRow(0);
    emit named<QListWidget>(w, "lst1")->customContextMenuRequested(QPoint(5, 5));
    QVERIFY(menus.isEmpty());
    named<QAction>(w, "mnuEditDeleteCheckin")->trigger();
    QCOMPARE(f.status(), u"K4ABC REMOVED"_s);
    QCOMPARE(f.checkins(), u"0"_s);
    // A member line: the click checks in, marks and dings; the Edit menu opens without
    // Change Control.
    f.choose("LEE");
    f.click(f.memberLine("K4XY"));
    QCOMPARE(f.status(), u"K4XY CHECKED IN"_s);
    QCOMPARE(f.memberLine("K4XY")->checkState(), Qt::Checked);
    QCOMPARE(f.root.sounds().played.last(), f.context.ProgramFolder + "ding.wav");
    emit named<QListWidget>(w, "lst1")->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(menus, (QStringList { "mnuEdit-" }));
}

void TestFrmMain::smallControlsAndWindows()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    // Num Lock off and Caps Lock on where the keyboard allows it.
    QCOMPARE(
        std::pair(f.root.keyboard().capsPresses, f.root.keyboard().numPresses), std::pair(1, 1));
    // Clear empties the non-listed calls.
    f.type("K4A");
    w.findChild<QPushButton *>("cmdClear")->click();
    QCOMPARE(w.findChild<QListWidget *>("lstEarly")->count(), 0);
    // Small windows from the menus: only the report editor holds the net up; About, the
    // instructions, the report and the roster are one window each, raised when asked again.
    for (QAction *menu : { named<QAction>(w, "mnuAbout"), named<QAction>(w, "mnuHelpInstructions"),
             named<QAction>(w, "mnuReportEditor"), named<QAction>(w, "mnuAbout"),
             named<QAction>(w, "mnuHelpInstructions"), named<QAction>(w, "mnuReportsMonthly"),
             named<QAction>(w, "mnuReportsMonthly") })
        menu->trigger();
    named<QPushButton>(w, "CmdChange")->click();
    named<QPushButton>(w, "CmdChange")->click();
    QCOMPARE(f.root.dialogs().modalWindows, (QStringList { "frmReportEditor" }));
    for (const char *name : { "frmAbout", "frmInstr", "FrmReport", "FrmNetCtl" }) {
        const QList<QDialog *> open = w.findChildren<QDialog *>(name);
        QVERIFY2(open.size() == 1 && open[0]->isVisible(), name);
    }
}

void TestFrmMain::narrowColumnsShowWholeLines()
{
    // At 1024x768 the member form and DELETED STATIONS are narrow.
    MainWindowFixture f(
        { { "LAUDERDALE", { Station("K4DLZ", "CAROL", "LAUDERDALE", "", "", "3/1/2024") } } },
        { { "First", "Firstime", "FALSE" } });
    f.root.screen().pixels = QSize(1024, 768);
    FrmMain &w = f.openActive();
    f.choose("LAUDERDALE");
    QListWidget *lstDS = w.findChild<DeletedStationsFrame *>("fraDeletedStations")->list();
    QCOMPARE(f.lines(lstDS), QStringList { "K4DLZ CAROL LAUDERDALE" });
    QVERIFY(lstDS->sizeHintForColumn(0) <= lstDS->viewport()->width());
    QCOMPARE(lstDS->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // A six-letter call, whole in either call box.
    for (const char *name : { "txtCall", "TxtNew" }) {
        auto *box = named<QLineEdit>(w, name);
        box->setText("WW4WWW");
        const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY2(caret.right() < box->contentsRect().right(), name);
    }
}

void TestFrmMain::caretAlwaysFindsCallsign()
{
    // A click on the preamble or on the window's background leaves CALLSIGN ready for the next
    // call; the preamble takes no typing.
    MainWindowFixture f;
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    named<QListWidget>(w, "lstCounties")->setFocus();
    QTest::mouseClick(w.centralWidget(), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(named<QLineEdit>(w, "txtChkin")->hasFocus());
    QTest::mouseClick(
        named<QTextEdit>(w, "rtxtPreamble")->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(QApplication::focusWidget(), "K4X");
    QCOMPARE(named<QLineEdit>(w, "txtChkin")->text(), u"K4X"_s);
}

void TestFrmMain::firstStartOffersTheImport()
{
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" } });
    FrmMain &w = f.open();
    // Nothing to check in against: said so, the way in named, no empty files made.
    QCOMPARE(named<QListWidget>(w, "lstCounties")->count(), 2);
    QVERIFY2(w.windowTitle().endsWith("Current dB Date: none"), qPrintable(w.windowTitle()));
    QCOMPARE(f.status(),
        "NO STATION FILES YET - BRING IN YOUR NET MANAGER'S WITH FILE > IMPORT STATION "
        "FILES...");
    QCOMPARE(QDir(f.root.paths().dataFolder()).entryList(QDir::Files), QStringList());

    TestRoot manager({ { "LEE", { Station("K4NEW", "NED") } } });
    f.root.dialogs().openFiles.enqueue(manager.paths().dataFolder() + "Lee.dat");
    named<QAction>(w, "mnuFileImportStationFiles")->trigger();
    QCOMPARE(f.status(), "IMPORTED 1 STATION FILES");
    QCOMPARE(f.lines("lstCounties"), QStringList({ "EARLY CHECKINS", "LEE", "LATE CHECKINS" }));
    f.type("K4NEW");
    QCOMPARE(f.status(), "K4NEW CHECKED IN");
}

void TestFrmMain::retiredMemberIsRestored()
{
    // Not heard for two years: opening LEE retires him; W4NOW stays.
    MainWindowFixture f({ { "LEE",
                            { Station("K4OLD", "OLIVER", "LEE", "", "OPELIKA", "3/1/2024"),
                                Station("W4NOW", "NORA", "LEE", "", "AUBURN", "3/1/2026") } } },
        { { "First", "Firstime", "FALSE" } });
    FrmMain &w = f.open();
    auto *deleted = w.findChild<DeletedStationsFrame *>("fraDeletedStations");
    QListWidget *lstDS = deleted->list();
    const QByteArray settings = f.root.settingsBytes();
    f.choose("LEE");
    QCOMPARE(f.lines(lstDS), QStringList { "K4OLD OLIVER LEE" });
    QVERIFY(!f.memberLine("K4OLD"));
    auto restore = [&f, deleted, lstDS] {
        f.root.dialogs().menus = [](QMenu *menu, const QPoint &) {
            menu->findChild<QAction *>("mnuRestoreMember")->trigger();
        };
        emit lstDS->customContextMenuRequested(lstDS->visualItemRect(lstDS->item(0)).center());
    };
    restore();
    QCOMPARE(f.status(), "K4OLD RESTORED");
    QVERIFY(lstDS->count() == 0 && f.memberLine("K4OLD"));
    const StationRecord back = f.root.record("LEE", 1).trimmed();
    QCOMPARE(QStringList({ back.Call, back.Name, back.County, back.City, back.LastDate }),
        QStringList({ "K4OLD", "OLIVER", "LEE", "OPELIKA", "3/10/2026" }));
    // Counted in no total, logged as no new member.
    QCOMPARE(f.checkins(), "0");
    QCOMPARE(f.root.settingsBytes(), settings);

    // Retired again later, while someone has taken the call meanwhile: refused.
    f.root.writeStations(
        "LEE", { Station("K4OLD", "OLIVER", "LEE", "", "OPELIKA", "3/1/2024"), Station("W4NOW") });
    f.choose("EARLY CHECKINS");
    f.choose("LEE");
    QCOMPARE(lstDS->count(), 1);
    f.root.writeStations("TEXAS", { Station("K4OLD", "SOMEONE ELSE") });
    restore();
    QCOMPARE(f.status(), "K4OLD IS IN THE DATABASE AGAIN - NOT RESTORED");
    QCOMPARE(lstDS->count(), 1);
}

void TestFrmMain::screenReadersNameEveryControl()
{
    MainWindowFixture f({ { "LEE", { Station("K4XY", "SUE") } } });
    FrmMain &w = f.open();
    f.choose("LEE");
    // Every control a screen reader can reach is named by its caption.
    QStringList unnamed;
    for (QWidget *control : w.centralWidget()->findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(control) && !qobject_cast<QAbstractItemView *>(control)
            && !qobject_cast<QAbstractButton *>(control))
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << control->objectName();
    }
    QCOMPARE(unnamed, QStringList());
    QCOMPARE(QAccessible::queryAccessibleInterface(named<QLineEdit>(w, "txtChkin"))
                 ->text(QAccessible::Name),
        u"CALLSIGN"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(named<QListWidget>(w, "lst1"))
                 ->text(QAccessible::Name),
        u"LEE COUNTY MEMBERS"_s);
    // The status line is announced by its text as its name: it must not carry a fixed one.
    QVERIFY(named<QLabel>(w, "lblStatus")->accessibleName().isEmpty());
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
