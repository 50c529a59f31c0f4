#include "maintenance/ui/memberinfoframe.h"
#include "maintenance/ui/membermaintenance.h"
#include "mainwindowfixture.h"
#include "qrz/ui/nonlistedframe.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The member form's wiring to its core (MemberEditor, tested without widgets): what the
// boxes, lines, counter and menus show after each action, and what the form decides itself.
class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void addThroughTheForm();
    void editChangeCallAndDelete();
    void countyAndCallChecks();
    void waysOutOfTheForm();
    void editKeepsWhatTheRecordHolds();
    void saveChecksTheCountyItself();
    void addFromTheKeyboard();
    void refusedAddKeepsTheForm_data();
    void refusedAddKeepsTheForm();
};

namespace {
// Saves the member form and returns the status line.
QString save(MainWindowFixture &f)
{
    named<QPushButton>(*named<MemberInfoFrame>(*f.window, "fraAdd"), "cmdSave")->click();
    return f.status();
}
} // namespace

void TestMaintenance::addThroughTheForm()
{
    MainWindowFixture f({ { "MOBILE", { EndMarker() } } });
    FrmMain &w = f.open();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    // A click on a non-listed call starts an ADD with it.
    f.type("W4NEW");
    auto *nonListed = w.findChild<NonListedFrame *>("FraSearch");
    emit nonListed->list()->itemClicked(nonListed->list()->item(0));
    QCOMPARE(named<QLineEdit>(m, "txtCall")->text(), u"W4NEW"_s);
    named<QLineEdit>(m, "txtName")->setText("ANN");
    named<QLineEdit>(m, "txtCS")->setText("OPELIKA");
    save(f); // without a county Save only asks for it
    QVERIFY(w.maintenance().mode() == FormMode::Add);
    // A failed write keeps the form; nothing failed is checked in.
    named<QLineEdit>(m, "txtCounty")->setText("MOBILE");
    QFile::setPermissions(f.root.filePath("MOBILE"), QFile::ReadOwner);
    QVERIFY(save(f).startsWith("RECORD NOT SAVED"));
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QCOMPARE(named<QLineEdit>(m, "txtName")->text() + f.checkins(), u"ANN0"_s);
    QFile::setPermissions(f.root.filePath("MOBILE"), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(save(f), u"W4NEW ADDED"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.lines("lst1"), (QStringList { "W4NEW ANN MOBILE OPELIKA" }));
}

void TestMaintenance::editChangeCallAndDelete()
{
    MainWindowFixture f({ { "LEE",
        { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"),
            Station("K4ABC", "ANN", "LEE", "TUE", "AUBURN", "01/05/2026") } } });
    FrmMain &w = f.openActive();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    QListWidget *members = named<QListWidget>(w, "lst1");
    f.choose("LEE");
    // EDIT keeps the call and the date the click has written; the line is redrawn, marked.
    // An Edit refused for want of a member before leaves no word of it once it opens.
    f.click(f.memberLine("K4ABC"));
    members->clearSelection();
    named<QAction>(w, "mnuEditEdit")->trigger();
    QCOMPARE(f.status(), u"CHOOSE A COUNTY AND SELECT A MEMBER TO EDIT"_s);
    members->setCurrentItem(f.memberLine("K4ABC")); // by the arrows: nothing said
    members->currentItem()->setSelected(true);
    named<QAction>(w, "mnuEditEdit")->trigger();
    QCOMPARE(f.status(), QString());
    named<QLineEdit>(m, "txtName")->setText("ANNE");
    QCOMPARE(save(f), u"RECORD UPDATED"_s);
    QCOMPARE(f.root.record("LEE", 2).trimmed(),
        Station("K4ABC", "ANNE", "LEE", "TUE", "AUBURN", "03/10/2026"));
    QCOMPARE(members->currentItem()->text(), u"K4   ABC  ANNE AUBURN"_s);
    QCOMPARE(members->currentItem()->checkState(), Qt::Checked);
    // Change Call shows the new call box only; the click's check-in is taken back.
    named<QAction>(w, "mnuChgCall")->trigger();
    QVERIFY(
        named<QLineEdit>(m, "txtName")->isHidden() && !named<QLineEdit>(m, "TxtNew")->isHidden());
    // Enter in NEW CALL moves on to Save.
    named<QLineEdit>(m, "TxtNew")->setFocus();
    QTest::keyClicks(named<QLineEdit>(m, "TxtNew"), "KA4XYZ");
    QTest::keyClick(named<QLineEdit>(m, "TxtNew"), Qt::Key_Return);
    QVERIFY(named<QPushButton>(m, "cmdSave")->hasFocus());
    save(f);
    QCOMPARE(members->currentItem()->text(), u"KA4  XYZ  ANNE AUBURN"_s);
    QCOMPARE(members->currentItem()->checkState(), Qt::Unchecked);
    QCOMPARE(f.checkins(), u"0"_s);
    // Delete asks first, naming the member; No keeps it, Yes takes the line away.
    f.click(f.memberLine("K4A"));
    f.root.dialogs().answers << No << Yes;
    named<QAction>(w, "mnuEditDelete")->trigger();
    QVERIFY(f.memberLine("K4A") != nullptr);
    named<QAction>(w, "mnuEditDelete")->trigger();
    QCOMPARE(f.status(), u"RECORD DELETED"_s);
    QVERIFY(f.memberLine("K4A") == nullptr);
    QCOMPARE(f.checkins(), u"0"_s); // the check-in the selecting click made goes with it
}

void TestMaintenance::countyAndCallChecks()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    // The county must be a name of the table; upper case is made on Enter, and STATUS is next.
    named<QLineEdit>(m, "txtCounty")->setFocus();
    QTest::keyClicks(named<QLineEdit>(m, "txtCounty"), "lee");
    QTest::keyClick(named<QLineEdit>(m, "txtCounty"), Qt::Key_Return);
    QCOMPARE(named<QLineEdit>(m, "txtCounty")->text(), u"LEE"_s);
    QTest::qWait(0);
    QTRY_VERIFY(named<QLineEdit>(m, "txtStatus")->hasFocus());
    named<QLineEdit>(m, "txtCounty")->setFocus();
    named<QLineEdit>(m, "txtCounty")->setText("NARNIA");
    QTest::keyClick(named<QLineEdit>(m, "txtCounty"), Qt::Key_Return);
    QVERIFY(named<QLineEdit>(m, "txtCounty")->text().isEmpty());
    QTRY_VERIFY(named<QLineEdit>(m, "txtCounty")->hasFocus());
    // Leaving the call box with an invalid call.
    named<QLineEdit>(m, "txtCall")->setFocus();
    named<QLineEdit>(m, "txtCall")->setText("B4X");
    named<QLineEdit>(m, "txtName")->setFocus();
    QCOMPARE(f.status(), u"B4X  INVALID CALL"_s);
    QVERIFY(named<QLineEdit>(m, "txtCall")->text().isEmpty());
    QTRY_VERIFY(named<QLineEdit>(m, "txtCall")->hasFocus());
}

void TestMaintenance::waysOutOfTheForm()
{
    MainWindowFixture f(
        { { "LEE", { Station("K4A", "ANN", "LEE", "", "OPELIKA"), Station("W4XY", "SUE") } } });
    FrmMain &w = f.open();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    // Delete and Change CallSign on a check-in line say what to select and touch nothing.
    f.type("K4A");
    named<QListWidget>(w, "lst1")->setCurrentRow(0);
    named<QAction>(w, "mnuEditDelete")->trigger();
    named<QAction>(w, "mnuChgCall")->trigger();
    QVERIFY(f.root.dialogs().messages.isEmpty() && w.maintenance().mode() != FormMode::ChangeCall);
    QCOMPARE(f.status(), u"CHOOSE A COUNTY AND SELECT A MEMBER TO CHANGE"_s);
    // Change CallSign, Cancel: the whole form is back, and Save then writes nothing.
    f.choose("LEE");
    f.click(f.memberLine("W4XY"));
    const QByteArray before = f.root.stationBytes("LEE");
    named<QAction>(w, "mnuChgCall")->trigger();
    named<QPushButton>(m, "cmdCancel")->click();
    named<QLineEdit>(m, "TxtNew")->setText("K4ZBC");
    save(f);
    QCOMPARE(f.root.stationBytes("LEE"), before);
    // Edit one member, click another, Save: the edited member's line changes, not the other.
    f.click(f.memberLine("K4A"));
    named<QAction>(w, "mnuEditEdit")->trigger();
    named<QLineEdit>(m, "txtName")->setText("ANNIE");
    f.click(f.memberLine("W4XY"));
    QCOMPARE(save(f), u"RECORD UPDATED"_s);
    QCOMPARE(
        f.lines("lst1").mid(0, 2), (QStringList { "K4   A    ANNIE OPELIKA", "W4   XY   SUE " }));
}

namespace {
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}
} // namespace

void TestMaintenance::editKeepsWhatTheRecordHolds()
{
    MainWindowFixture f({ { "JEFFERSON",
        { Station("KJ4NC", "NED", "JEFFERSON", "MON", "", "1/5/2026"),
            Station("K4AAA", "AL", "JEFFERSON", "", "HOOVER") } } });
    FrmMain &w = f.openActive();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    f.choose("JEFFERSON");
    f.click(f.memberLine("KJ4NC"));
    named<QAction>(w, "mnuEditEdit")->trigger();
    // Enter and Tab walk the boxes; in an edit each keeps what the record holds.
    named<QLineEdit>(m, "txtCall")->setFocus();
    Key(Qt::Key_Return);
    QCOMPARE(named<QLineEdit>(m, "txtName")->text(), u"NED"_s);
    for (int box = 0; box < 3; ++box) // COUNTY, STATUS, CITY
        Key(Qt::Key_Tab);
    QVERIFY(named<QLineEdit>(m, "txtCS")->hasFocus());
    QTest::keyClicks(named<QLineEdit>(m, "txtCS"), "LEEDS");
    named<QPushButton>(m, "cmdSave")->click();
    QCOMPARE(f.status(), u"RECORD UPDATED"_s);
    QCOMPARE(f.root.record("JEFFERSON", 1).trimmed(),
        Station("KJ4NC", "NED", "JEFFERSON", "MON", "LEEDS", "03/10/2026"));
}

void TestMaintenance::saveChecksTheCountyItself()
{
    MainWindowFixture f({ { "JEFFERSON", { Station("K4AAA", "AL", "JEFFERSON", "", "HOOVER") } } });
    FrmMain &w = f.openActive();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    f.choose("JEFFERSON");
    f.click(f.memberLine("K4AAA"));
    const QByteArray before = f.root.stationBytes("JEFFERSON");
    named<QAction>(w, "mnuEditEdit")->trigger();
    named<QLineEdit>(m, "txtCounty")->setFocus();
    named<QLineEdit>(m, "txtCounty")->selectAll();
    QTest::keyClicks(named<QLineEdit>(m, "txtCounty"), "FOO");
    // Alt+S saves while the box has the caret: the box is checked all the same.
    Key(Qt::Key_S, Qt::AltModifier);
    QTest::qWait(300); // a button's letter presses it a moment later, as the eye sees
    QCOMPARE(f.root.stationBytes("JEFFERSON"), before);
    QVERIFY(f.status() != u"RECORD UPDATED"_s);
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QVERIFY(named<QLineEdit>(m, "txtCounty")->text().isEmpty());
    QCOMPARE(w.maintenance().mode(), FormMode::Edit);
}

void TestMaintenance::addFromTheKeyboard()
{
    MainWindowFixture f({ { "LEE", { Station("K4AA", "ANN"), EndMarker() } } });
    FrmMain &w = f.openActive();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    f.choose("LEE");
    Key(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(named<QLineEdit>(m, "txtCall")->hasFocus());
    // Enter goes CALL, NAME, COUNTY, STATUS, CITY, Save; a blank on a button presses nothing.
    const QList<QLineEdit *> boxes { named<QLineEdit>(m, "txtCall"), named<QLineEdit>(m, "txtName"),
        named<QLineEdit>(m, "txtCounty"), named<QLineEdit>(m, "txtStatus"),
        named<QLineEdit>(m, "txtCS") };
    const QStringList typed { "K4NEW", "NED", "LEE", "", "OAK" };
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        QVERIFY2(boxes[i]->hasFocus(), qPrintable(boxes[i]->objectName()));
        QTest::keyClicks(boxes[i], typed[i]);
        Key(Qt::Key_Return);
        QCoreApplication::processEvents(); // a focus move the form queued
    }
    QVERIFY(named<QPushButton>(m, "cmdSave")->hasFocus());
    QTest::keyClicks(named<QPushButton>(m, "cmdSave"), " FORD");
    QCOMPARE(w.maintenance().mode(), FormMode::Add);
    Key(Qt::Key_Return);
    QCOMPARE(f.status(), u"K4NEW ADDED"_s);
    QCOMPARE(f.root.record("LEE", 2).trimmed().City, u"OAK"_s);
    // The new member's line is a member line at once: it can be edited.
    QListWidgetItem *line = named<QListWidget>(w, "lst1")->item(f.lines("lst1").size() - 1);
    QCOMPARE(line->checkState(), Qt::Checked);
    f.click(line);
    QCOMPARE(f.status(), u"K4NEW IS ALREADY CHECKED IN"_s);
    named<QAction>(w, "mnuEditEdit")->trigger();
    QCOMPARE(named<QLineEdit>(m, "txtName")->text(), u"NED"_s);
    // Enter on Cancel presses it.
    named<QPushButton>(m, "cmdCancel")->setFocus();
    Key(Qt::Key_Return);
    QCOMPARE(w.maintenance().mode(), FormMode::None);
    // A form filled in by hand with no mode is a new member too.
    for (auto [box, text] : { std::pair { named<QLineEdit>(m, "txtCall"), "K4HND" },
             { named<QLineEdit>(m, "txtName"), "HAL" },
             { named<QLineEdit>(m, "txtCounty"), "LEE" } })
        box->setText(text);
    named<QPushButton>(m, "cmdSave")->click();
    QCOMPARE(f.status(), u"K4HND ADDED"_s);
}

void TestMaintenance::refusedAddKeepsTheForm_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("members");
    QTest::addColumn<QString>("status");
    QTest::newRow("call exists") << "K4AA" << 1 << "CALL ALREADY EXISTS";
    QTest::newRow("file full") << "K4NEW" << 100 << "COUNTY FILE FULL";
}

void TestMaintenance::refusedAddKeepsTheForm()
{
    QFETCH(QString, call);
    QFETCH(int, members);
    QFETCH(QString, status);
    QList<StationRecord> lee { Station("K4AA", "ANN") };
    for (int i = 1; i < members; ++i)
        lee << Station(QString("W4%1").arg(QChar(u'A' + i / 26)) + QChar(u'A' + i % 26), "OP");
    MainWindowFixture f;
    f.root.writeStations("LEE", lee);
    FrmMain &w = f.open();
    MemberInfoFrame &m = *named<MemberInfoFrame>(w, "fraAdd");
    named<QAction>(w, "mnuEditAddMember")->trigger();
    named<QLineEdit>(m, "txtCall")->setText(call);
    named<QLineEdit>(m, "txtName")->setText("NED");
    named<QLineEdit>(m, "txtCounty")->setText("LEE");
    named<QLineEdit>(m, "txtCS")->setText("OAK FORD");
    named<QPushButton>(m, "cmdSave")->click();
    QCOMPARE(f.status(), status);
    // Nothing typed is lost: the operator corrects and saves again, or cancels.
    QCOMPARE(QStringList({ named<QLineEdit>(m, "txtCall")->text(),
                 named<QLineEdit>(m, "txtName")->text(), named<QLineEdit>(m, "txtCS")->text() }),
        QStringList({ call, "NED", "OAK FORD" }));
    QCOMPARE(w.maintenance().mode(), FormMode::Add);
}

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
