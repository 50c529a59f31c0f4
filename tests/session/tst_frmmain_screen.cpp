// What the X server shows of the main window, under a window manager, against a fresh
// rendering of it: the operator acts on what is painted, so it must be what the window holds.

#include "maintenance/ui/memberinfoframe.h"
#include "mainwindowfixture.h"
#include "screencheck.h"
#include "stationdb/atomicfile.h"

#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QWindow>

namespace {

void AddCounties(MainWindowFixture &f)
{
    f.root.writeStations("BALDWIN",
        { Station("W4PAS", "DALE", "", "", "FOX SPRINGS"),
            Station("AA4XH", "JANE", "", "", "BEAR HOLLOW") });
    f.root.writeStations("BLOUNT",
        { Station("KC4AYI", "BOB", "", "", "STONE RIDGE"),
            Station("KD4BDY", "LINDA", "", "", "BEAR GROVE"),
            Station("W4F", "SUE", "", "", "GREEN SPRINGS"),
            Station("KB4J", "IRMA", "", "", "OAK HOLLOW"),
            Station("AA4VMR", "RAY", "", "", "PINE FORD"),
            Station("KD4VPA", "SUE", "", "", "MAPLE RIDGE"),
            Station("KF4XZH", "BOB", "", "", "MILL BLUFF") });
}

// The main window as the operator has it: shown on the screen, the caret in CALLSIGN.
FrmMain &OpenOnScreen(MainWindowFixture &f)
{
    FrmMain &w = f.open();
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowExposed(&w))
        qWarning("the main window was not exposed");
    return w;
}

// A click as the operator makes it: through the X server, pointer moves and all.
void ClickLine(QListWidget *list, const QString &text)
{
    const auto items = list->findItems(text, Qt::MatchStartsWith);
    QVERIFY2(!items.isEmpty(), qPrintable(text));
    list->scrollToItem(items.first());
    const QPoint at = list->viewport()->mapToGlobal(list->visualItemRect(items.first()).center());
    const int clicked = QProcess::execute(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
            QStringLiteral("click"), QStringLiteral("1") });
    QCOMPARE(clicked, 0);
    // The click arrives through the event loop.
    QTRY_COMPARE(list->currentItem(), items.first());
    QTest::qWait(200);
}

// Keys as the operator presses them: through the X server to the window the window manager
// has made active, at a typist's pace, while the program runs on.
void PressOnDesktop(const QStringList &arguments)
{
    QProcess keys;
    keys.start(QStringLiteral("xdotool"), arguments);
    QVERIFY2(keys.waitForStarted(), qPrintable(keys.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(keys.state(), QProcess::NotRunning, 20000);
    QCOMPARE(keys.exitCode(), 0);
}

} // namespace

class TestFrmMainScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void countyChangeAfterAClick();
    void questionsDuringLoadArePainted();
    void memberFormAfterSave();
    void countiesTypedThroughAreLeftAlone();
    void smallGapsClosedForTheKeyboard();
};

void TestFrmMainScreen::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs the xcb platform (tests/support/xcb-run.sh)");
    // A blinking caret or a button lit under the pointer would make the screen and the
    // rendering differ by chance.
    QApplication::setCursorFlashTime(0);
    QCursor::setPos(QGuiApplication::primaryScreen(), QPoint(0, 0));
}

void TestFrmMainScreen::countyChangeAfterAClick()
{
    // Not the first start: the stored fonts and colours are applied, as on every night.
    MainWindowFixture f({},
        { { "First", "Firstime", "FALSE" }, { "Form", "Font", "DejaVu Sans" },
            { "Form", "Size", "9" }, { "Form", "BGCOLOR", "15724527" },
            { "FormData", "Font", "DejaVu Serif Condensed" }, { "FormData", "Size", "9" },
            { "Screen", "Font", "Sans Serif" }, { "Screen", "Size", "14" },
            { "Screen", "BGCOLOR", "16777215" } });
    f.root.screen().pixels = QSize(1600, 1000);
    AddCounties(f);
    FrmMain &w = OpenOnScreen(f);
    ClickLine(named<QListWidget>(w, "lstCounties"), "BALDWIN");
    QCOMPARE(ScreenDiffers(named<QListWidget>(w, "lst1")->viewport()), QString());
    // A click on a member line, then the next county: its lines, not the last county's.
    ClickLine(named<QListWidget>(w, "lst1"), "W4   PAS");
    QCOMPARE(f.checkins(), QString("1"));
    ClickLine(named<QListWidget>(w, "lstCounties"), "BLOUNT");
    QCOMPARE(named<QListWidget>(w, "lst1")->count(), 7);
    QCOMPARE(ScreenDiffers(named<QListWidget>(w, "lst1")->viewport()), QString());
    // What is clicked is what is shown.
    ClickLine(named<QListWidget>(w, "lst1"), "KD4  BDY");
    QCOMPARE(f.status(), QString("KD4BDY CHECKED IN"));
    QCOMPARE(ScreenDiffers(named<QListWidget>(w, "lst1")->viewport()), QString());
}

void TestFrmMainScreen::countiesTypedThroughAreLeftAlone()
{
    // Each county has a member not heard for two years: showing it retires him.
    auto due = [](const char *call) { return Station(call, "GONE", "", "", "", "3/1/2024"); };
    MainWindowFixture f({ { "MADISON", { due("K4MAD"), Station("K4MA2") } },
                            { "MOBILE", { due("K4MOB"), Station("K4MO2") } },
                            { "MONTGOMERY", { due("K4MON"), Station("K4MN2") } } },
        { { "First", "Firstime", "FALSE" } });
    f.root.screen().pixels = QSize(1024, 768);
    FrmMain &w = OpenOnScreen(f);
    QTRY_VERIFY(w.isActiveWindow());
    const QByteArray madison = f.root.stationBytes("MADISON"),
                     mobile = f.root.stationBytes("MOBILE");
    auto *counties = named<QListWidget>(w, "lstCounties");
    auto *caption = named<QGroupBox>(w, "FraStations");
    // Tab from CALLSIGN, the name typed: MADISON and MOBILE pass on the way.
    PressOnDesktop({ "key", "Tab" });
    QTRY_VERIFY(counties->hasFocus());
    PressOnDesktop({ "type", "--delay", "60", "MONTGOMERY" });
    QTRY_COMPARE(caption->title(), QString("MONTGOMERY COUNTY MEMBERS"));
    QCOMPARE(f.lines("lstDS").size(), 1);
    // Back up the list with the arrows, past MOBILE, and Enter on MADISON.
    PressOnDesktop({ "key", "--delay", "60", "Up", "Up", "Return" });
    QTRY_COMPARE(caption->title(), QString("MADISON COUNTY MEMBERS"));
    QCOMPARE(f.root.stationBytes("MOBILE"), mobile);
    QVERIFY(f.root.stationBytes("MADISON") != madison);
    QStringList retired;
    for (const QString &line : f.lines("lstDS"))
        retired << line.section(' ', 0, 0);
    QCOMPARE(retired, QStringList({ "K4MON", "K4MAD" }));
}

void TestFrmMainScreen::smallGapsClosedForTheKeyboard()
{
    MainWindowFixture f(
        { { "BLOUNT", { Station("KC4AYI", "BOB"), Station("KD4BDY", "LINDA"), Station("W4F") } },
            { "BALDWIN", { Station("KA4DB", "DEB", "", "", "", "3/1/2024") } } },
        { { "First", "Firstime", "FALSE" } });
    f.root.screen().pixels = QSize(1024, 768);
    const QByteArray text = QByteArray("PREAMBLE LINE\n").repeated(200);
    QVERIFY(
        WriteFileAtomically(f.root.paths().appDataFolder() + "Halvorsoft/VorqPreamble.txt", text));
    FrmMain &w = OpenOnScreen(f);
    QTRY_VERIFY(w.isActiveWindow());
    auto *callsign = named<QLineEdit>(w, "txtChkin");
    QTRY_VERIFY(callsign->hasFocus());
    // Alt+letter, Escape: the letters typed next go to CALLSIGN, not to the menus.
    PressOnDesktop({ "key", "--delay", "100", "alt+f", "Escape" });
    QTRY_VERIFY(callsign->hasFocus());
    PressOnDesktop({ "type", "--delay", "60", "KC4" });
    QTRY_COMPARE(callsign->text(), QString("KC4"));
    QVERIFY(!QApplication::activePopupWidget());
    PressOnDesktop({ "key", "BackSpace", "BackSpace", "BackSpace" });
    // Page Down from CALLSIGN turns the preamble's page; the caret stays.
    auto *preamble = named<QTextEdit>(w, "rtxtPreamble")->verticalScrollBar();
    PressOnDesktop({ "key", "Next", "Next" });
    QTRY_VERIFY(preamble->value() > 0);
    QVERIFY(callsign->hasFocus());
    // Home in a member list makes the first line current: Enter checks it in.
    f.choose("BLOUNT");
    named<QListWidget>(w, "lst1")->setFocus();
    PressOnDesktop({ "key", "--delay", "60", "Down", "Down", "Home", "Return" });
    QTRY_COMPARE(f.status(), QString("KC4AYI CHECKED IN"));
    // The Menu key on DELETED STATIONS, then Enter: Restore Member.
    f.choose("BALDWIN");
    QListWidget *deleted = named<QListWidget>(w, "lstDS");
    QTRY_COMPARE(deleted->count(), 1);
    f.root.dialogs().menus = [](QMenu *menu, const QPoint &at) { menu->exec(at); };
    deleted->setFocus();
    deleted->setCurrentRow(0);
    PressOnDesktop({ "key", "--delay", "300", "Menu", "Return" });
    QTRY_COMPARE(f.status(), QString("KA4DB RESTORED"));
}

void TestFrmMainScreen::questionsDuringLoadArePainted()
{
    MainWindowFixture f;
    AddCounties(f);
    f.open();
    f.type("W9ZZ");
    f.window.reset(); // the program dies in the middle of the net
    auto dialogs = std::make_shared<OnScreenDialogs>();
    dialogs->answers << Yes;
    f.root.services().dialogs = dialogs;
    FrmMain &w = OpenOnScreen(f);
    QCOMPARE(dialogs->titles, QStringList { "RESUME SESSION" });
    QVERIFY2(dialogs->paintFaults.isEmpty(), qPrintable(dialogs->paintFaults.join(u';')));
    QCOMPARE(f.lines("lstEarly"), QStringList { "W9ZZ" });
    QCOMPARE(ScreenDiffers(w.centralWidget()), QString());
}

void TestFrmMainScreen::memberFormAfterSave()
{
    MainWindowFixture f;
    AddCounties(f);
    FrmMain &w = OpenOnScreen(f);
    ClickLine(named<QListWidget>(w, "lstCounties"), "BLOUNT");
    named<QAction>(w, "mnuEditAddMember")->trigger();
    QTest::keyClicks(named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCall"), "K4NEW");
    QTest::keyClick(
        named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCall"), Qt::Key_Return);
    QTest::keyClicks(named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtName"), "ANN");
    QTest::keyClick(
        named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtName"), Qt::Key_Return);
    QTest::keyClicks(named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCounty"), "BLOUNT");
    QTest::keyClick(
        named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCounty"), Qt::Key_Return);
    QTest::keyClick(
        named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtStatus"), Qt::Key_Return);
    QTest::keyClicks(named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCS"), "OAK FORD");
    QTest::keyClick(
        named<QLineEdit>(*named<MemberInfoFrame>(w, "fraAdd"), "txtCS"), Qt::Key_Return);
    QTest::keyClick(
        named<QPushButton>(*named<MemberInfoFrame>(w, "fraAdd"), "cmdSave"), Qt::Key_Return);
    QCOMPARE(f.status(), QString("K4NEW ADDED"));
    QCOMPARE(named<QListWidget>(w, "lst1")->count(), 8);
    QCOMPARE(ScreenDiffers(named<MemberInfoFrame>(w, "fraAdd")), QString());
    QCOMPARE(ScreenDiffers(named<QListWidget>(w, "lst1")->viewport()), QString());
}

QTEST_MAIN(TestFrmMainScreen)
#include "tst_frmmain_screen.moc"
