#include "maintenance/memberinfoframe.h"
#include "maintenance/membermaintenance.h"
#include "mainwindowfixture.h"

#include <QAction>
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
};

namespace {
// Saves the member form and returns the status line.
QString save(MainWindowFixture &f)
{
    f.window->fraAdd->cmdSave->click();
    return f.status();
}
} // namespace

void TestMaintenance::addThroughTheForm()
{
    MainWindowFixture f({ { "MOBILE", { EndMarker() } } });
    FrmMain &w = f.open();
    MemberInfoFrame &m = *w.fraAdd;
    // A click on a non-listed call starts an ADD with it.
    f.type("W4NEW");
    w.lstEarly_Click(w.lstEarly->item(0));
    QCOMPARE(m.txtCall->text(), u"W4NEW"_s);
    m.txtName->setText("ANN");
    m.txtCS->setText("OPELIKA");
    save(f); // without a county Save only asks for it
    QVERIFY(w.maintenance().mode() == FormMode::Add);
    // A failed write keeps the form; nothing failed is checked in.
    m.txtCounty->setText("MOBILE");
    QFile::setPermissions(f.root.filePath("MOBILE"), QFile::ReadOwner);
    QVERIFY(save(f).startsWith("RECORD NOT SAVED"));
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QCOMPARE(m.txtName->text() + f.checkins(), u"ANN0"_s);
    QFile::setPermissions(f.root.filePath("MOBILE"), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(save(f), u"W4NEW ADDED"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4NEW ANN OPELIKA" }));
}

void TestMaintenance::editChangeCallAndDelete()
{
    MainWindowFixture f({ { "LEE",
        { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"),
            Station("K4ABC", "ANN", "LEE", "TUE", "AUBURN", "01/05/2026") } } });
    FrmMain &w = f.open();
    f.choose("LEE");
    // EDIT keeps the call and the date the click has written; the line is redrawn, marked.
    f.click(f.memberLine("K4ABC"));
    w.mnuEditEdit->trigger();
    w.fraAdd->txtName->setText("ANNE");
    QCOMPARE(save(f), u"RECORD UPDATED"_s);
    QCOMPARE(f.root.record("LEE", 2).trimmed(),
        Station("K4ABC", "ANNE", "LEE", "TUE", "AUBURN", "03/10/2026"));
    QCOMPARE(w.lst1->currentItem()->text(), u"K4   ABC  ANNE AUBURN"_s);
    // Change Call shows the new call box only; the click's check-in is taken back.
    w.mnuChgCall->trigger();
    QVERIFY(w.fraAdd->txtName->isHidden() && !w.fraAdd->TxtNew->isHidden());
    w.fraAdd->TxtNew->setText("KA4XYZ");
    save(f);
    QCOMPARE(w.lst1->currentItem()->text(), u"KA4  XYZ  ANNE AUBURN"_s);
    QCOMPARE(f.checkins(), u"0"_s);
    // Delete asks first, naming the member; No keeps it, Yes takes the line away.
    f.click(f.memberLine("K4A"));
    f.root.dialogs().answers << No << Yes;
    w.mnuEditDelete->trigger();
    QVERIFY(f.memberLine("K4A") != nullptr);
    w.mnuEditDelete->trigger();
    QCOMPARE(f.status(), u"\nRECORD DELETED"_s);
    QVERIFY(f.memberLine("K4A") == nullptr);
    QCOMPARE(f.checkins(), u"0"_s); // the check-in the selecting click made goes with it
}

void TestMaintenance::countyAndCallChecks()
{
    MainWindowFixture f;
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MemberInfoFrame &m = *w.fraAdd;
    // The county must be a name of the table; upper case is made on Enter, and the city is next.
    m.txtCounty->setFocus();
    QTest::keyClicks(m.txtCounty, "lee");
    QTest::keyClick(m.txtCounty, Qt::Key_Return);
    QCOMPARE(m.txtCounty->text(), u"LEE"_s);
    QTRY_VERIFY(m.txtCS->hasFocus());
    m.txtCounty->setFocus();
    m.txtCounty->setText("NARNIA");
    QTest::keyClick(m.txtCounty, Qt::Key_Return);
    QVERIFY(m.txtCounty->text().isEmpty());
    QTRY_VERIFY(m.txtCounty->hasFocus());
    // Leaving the call box with an invalid call.
    m.txtCall->setFocus();
    m.txtCall->setText("B4X");
    m.txtName->setFocus();
    QCOMPARE(f.status(), u"B4X  INVALID CALL"_s);
    QVERIFY(m.txtCall->text().isEmpty());
    QTRY_VERIFY(m.txtCall->hasFocus());
}

void TestMaintenance::waysOutOfTheForm()
{
    MainWindowFixture f(
        { { "LEE", { Station("K4A", "ANN", "LEE", "", "OPELIKA"), Station("W4XY", "SUE") } } });
    FrmMain &w = f.open();
    MemberInfoFrame &m = *w.fraAdd;
    // Delete and Change CallSign on a check-in line say what to select and touch nothing.
    f.type("K4A");
    w.lst1->setCurrentRow(0);
    w.mnuEditDelete->trigger();
    w.mnuChgCall->trigger();
    QVERIFY(f.root.dialogs().messages.isEmpty() && w.maintenance().mode() != FormMode::ChangeCall);
    QCOMPARE(f.status(), u"CHOOSE A COUNTY AND SELECT A MEMBER TO CHANGE"_s);
    // Change CallSign, Cancel: the whole form is back, and Save then writes nothing.
    f.choose("LEE");
    f.click(f.memberLine("W4XY"));
    const QByteArray before = f.root.stationBytes("LEE");
    w.mnuChgCall->trigger();
    m.cmdCancel->click();
    m.TxtNew->setText("K4ZBC");
    save(f);
    QCOMPARE(f.root.stationBytes("LEE"), before);
    // Edit one member, click another, Save: the edited member's line changes, not the other.
    f.click(f.memberLine("K4A"));
    w.mnuEditEdit->trigger();
    m.txtName->setText("ANNIE");
    f.click(f.memberLine("W4XY"));
    QCOMPARE(save(f), u"RECORD UPDATED"_s);
    QCOMPARE(
        f.lines(w.lst1).mid(0, 2), (QStringList { "K4   A    ANNIE OPELIKA", "W4   XY   SUE " }));
}

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
