#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"
#include "maintenance/membermaintenance.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QFile>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QDateTime kNow(QDate(2026, 3, 10), QTime(19, 0, 0));

// Fills the member form as the operator would after clicking a non-listed call.
void fillAdd(MainWindowFixture &f, const QString &call, const QString &county,
             const QString &name = "NEW", const QString &status = "", const QString &city = "TOWN")
{
    FrmMain &w = *f.window;
    f.type(call);
    w.lstEarly_Click(w.lstEarly->item(w.lstEarly->count() - 1));
    w.fraAdd->txtName->setText(name);
    w.fraAdd->txtCounty->setText(county);
    w.fraAdd->txtStatus->setText(status);
    w.fraAdd->txtCS->setText(city);
}

// Saves the member form and returns the status line.
QString save(MainWindowFixture &f)
{
    f.window->fraAdd->cmdSave->click();
    return f.status();
}

} // namespace

// The member form's wiring to its core (MemberEditor, tested without widgets): what the
// boxes, lines, counter and menus show after each action.
class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void addThroughTheForm();
    void editAndChangeCallThroughTheMenus();
    void deleteMember_data();
    void deleteMember();
    void keyFiltersAndCountyCheck();
    void waysOutOfTheForm();
};

void TestMaintenance::addThroughTheForm()
{
    MainWindowFixture f({ { "LEE", { Station("K4A") } }, { "MOBILE", { EndMarker() } } }, {}, kNow);
    FrmMain &w = f.open();
    fillAdd(f, "K4NOP", "");
    save(f); // without a county Save only asks for it
    QVERIFY(w.maintenance().mode() == FormMode::Add && w.fraAdd->lblMode->text() == u"ADD"_s);
    w.fraAdd->txtCall->setText("B4BAD");
    w.fraAdd->txtCounty->setText("LEE");
    QCOMPARE(save(f), u"B4BAD  INVALID CALL"_s);
    QVERIFY(w.maintenance().mode() == FormMode::None && w.fraAdd->txtName->text().isEmpty()); // the form empties
    // A failed write keeps the form; nothing failed is checked in or logged.
    w.cmdClear_Click();
    QFile::setPermissions(f.root.filePath("MOBILE"), QFile::ReadOwner);
    fillAdd(f, "W4NEW", "MOBILE", "ANN", "", "OPELIKA");
    QVERIFY(save(f).startsWith("RECORD NOT SAVED"));
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QCOMPARE(w.fraAdd->txtName->text(), u"ANN"_s);
    QCOMPARE(f.checkins(), u"0"_s);
    QCOMPARE(f.setting("NewMember", "0"), QString());
    QFile::setPermissions(f.root.filePath("MOBILE"), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(save(f), u"W4NEW ADDED"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4NEW ANN OPELIKA" }));
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "W4NEW" })); // the non-listed line stays
    QCOMPARE(f.setting("NewMember", "0"), u"W4NEW ANN MOBILE OPELIKA"_s);
}

void TestMaintenance::editAndChangeCallThroughTheMenus()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"),
                                     Station("K4ABC", "ANN", "LEE", "TUE", "AUBURN", "01/05/2026"),
                                     Station("W4Z") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    // Nothing chosen: Change Call asks for a line, Delete does nothing.
    w.mnuChgCall->trigger();
    QVERIFY(w.maintenance().mode() != FormMode::ChangeCall && w.fraAdd->lblMode->text().isEmpty());
    w.maintenance().mnuEditDelete_Click();
    QVERIFY(f.root.dialogs().messages.isEmpty());
    // EDIT keeps the call and the date the click has written; the line is redrawn, marked.
    f.click(f.memberLine("K4ABC"));
    w.mnuEditEdit->trigger();
    w.fraAdd->txtName->setText("ANNE");
    w.fraAdd->txtCS->setText("LOACHAPOKA");
    QCOMPARE(save(f), u"RECORD UPDATED"_s);
    QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("K4ABC", "ANNE", "LEE", "TUE", "LOACHAPOKA", "03/10/2026"));
    QCOMPARE(w.lst1->currentItem()->text(), u"K4   ABC  ANNE LOACHAPOKA"_s);
    QCOMPARE(w.lst1->currentItem()->checkState(), Qt::Checked);
    QVERIFY(w.fraAdd->lblMode->text().isEmpty() && w.fraAdd->txtCall->text().isEmpty());
    // Change Call shows OLD CALL and NEW CALL only; the click's check-in is taken back.
    w.mnuChgCall->trigger();
    QCOMPARE((QStringList { w.fraAdd->lblMode->text(), w.fraAdd->lblCall->text() }),
             (QStringList { "CHANGE CALL", "OLD CALL" }));
    QVERIFY(w.maintenance().mode() == FormMode::ChangeCall && w.fraAdd->txtName->isHidden() && !w.fraAdd->TxtNew->isHidden());
    w.fraAdd->TxtNew->setText("KA4XYZ");
    save(f);
    QCOMPARE(f.root.record("LEE", 2).Call.trimmed(), u"KA4XYZ"_s);
    QCOMPARE(w.lst1->currentItem()->text(), u"KA4  XYZ  ANNE LOACHAPOKA"_s);
    QCOMPARE(f.status(), u"K4ABC CHANGED TO KA4XYZ"_s);
    QVERIFY(w.maintenance().mode() != FormMode::ChangeCall && w.fraAdd->TxtNew->isHidden() && !w.fraAdd->txtName->isHidden()
            && w.fraAdd->lblCall->text() == u"CALL"_s);
    QCOMPARE(f.checkins(), u"0"_s);
}

void TestMaintenance::deleteMember_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("inRecord"); // the call record 2 holds when Yes is answered
    QTest::addColumn<QString>("statusLine");
    QTest::newRow("yes") << int(Yes) << "VACANT" << "\nRECORD DELETED";
    QTest::newRow("no") << int(No) << "K4ABC" << "K4ABC CHECKED IN";
    // Another program gave the record to another station: it stays, and so does the line.
    QTest::newRow("record taken meanwhile") << int(Yes) << "K4OTH" << "RECORD NOT FOUND!";
}

void TestMaintenance::deleteMember()
{
    QFETCH(int, answer);
    QFETCH(QString, inRecord);
    QFETCH(QString, statusLine);
    const bool gone = inRecord == u"VACANT"_s;
    MainWindowFixture f({ { "LEE", { Station("K4A"), Station("K4ABC", "ANN", "LEE", "", "OPELIKA", "1/1/2026") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    if (inRecord == u"K4OTH"_s)
        f.root.writeStations("LEE", { Station("K4A"), Station("K4OTH") });
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    w.mnuEditDelete->trigger();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE((QStringList { f.root.dialogs().messages[0].title, f.root.dialogs().messages[0].text }),
             (QStringList { "REMOVING RECORD FROM THE DATABASE", "REALLY REMOVE K4ABC ANN FROM THE DATABASE?" }));
    QCOMPARE(f.memberLine("K4ABC") == nullptr, gone);
    QCOMPARE(f.root.record("LEE", 2).Call.trimmed(), inRecord);
    QCOMPARE(f.status(), statusLine);
    // The check-in the selecting click made goes with the member.
    QCOMPARE(f.checkins(), gone ? u"0"_s : u"1"_s);
}

void TestMaintenance::keyFiltersAndCountyCheck()
{
    MainWindowFixture f({}, {}, kNow);
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MemberInfoFrame &m = *w.fraAdd;
    auto typed = [](QLineEdit *b, const char *keys) { b->setFocus(); QTest::keyClicks(b, keys); return b->text(); };
    QCOMPARE(typed(m.txtCall, "k4-a/b 1"), u"K4AB 1"_s);
    QCOMPARE(typed(m.txtName, "ann-marie 2"), u"annmarie "_s);
    // Pasted text passes the same filter as typing: nothing a record cannot hold gets in.
    QGuiApplication::clipboard()->setText(u"\u00c9LODIE\tX 2\u0141\u200f"_s);
    m.txtName->clear();
    m.txtName->paste();
    QCOMPARE(m.txtName->text(), u"LODIEX "_s);
    QGuiApplication::clipboard()->setText(u"K4A\u00a0B\n"_s);
    m.txtCall->clear();
    m.txtCall->paste();
    QCOMPARE(m.txtCall->text(), u"K4AB"_s);
    m.txtCall->clear();
    // The county must be a name of the table; upper case is made on Enter.
    typed(m.txtCounty, "lee");
    QTest::keyClick(m.txtCounty, Qt::Key_Return);
    QCOMPARE(m.txtCounty->text(), u"LEE"_s);
    // Leaving the county box with the city still empty goes on to the city.
    QTRY_VERIFY(m.txtCS->hasFocus());
    m.txtCounty->setFocus();
    m.txtCounty->setText("NARNIA");
    QTest::keyClick(m.txtCounty, Qt::Key_Return);
    QVERIFY(m.txtCounty->text().isEmpty());
    QTRY_VERIFY(m.txtCounty->hasFocus());
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
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
    MainWindowFixture f({ { "LEE", { Station("K4A", "ANN", "LEE", "", "OPELIKA"), Station("W4XY", "SUE") } } }, {}, kNow);
    FrmMain &w = f.open();
    MemberInfoFrame &m = *w.fraAdd;
    // Delete and Change CallSign on a check-in line say what to select and touch nothing.
    f.type("K4A");
    w.lst1->setCurrentRow(0);
    w.mnuEditDelete->trigger();
    w.mnuChgCall->trigger();
    QVERIFY(f.root.dialogs().messages.isEmpty() && w.maintenance().mode() != FormMode::ChangeCall);
    QCOMPARE(f.status(), u"CHOOSE A COUNTY AND SELECT A MEMBER TO CHANGE"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(w.lst1->count(), 1);
    // Change CallSign, Cancel: the whole form is back, and Save then writes nothing.
    f.choose("LEE");
    f.click(f.memberLine("W4XY"));
    const QByteArray before = f.root.stationBytes("LEE");
    w.mnuChgCall->trigger();
    m.cmdCancel->click();
    QVERIFY(w.maintenance().mode() != FormMode::ChangeCall && m.TxtNew->isHidden() && m.lblCall->text() == u"CALL"_s);
    for (QWidget *box : std::initializer_list<QWidget *> { m.txtName, m.txtCounty, m.txtStatus, m.txtCS })
        QVERIFY(!box->isHidden());
    m.TxtNew->setText("K4ZBC");
    save(f);
    QCOMPARE(f.root.stationBytes("LEE"), before);
    // Edit one member, click another, Save: the edited member's line changes, not the other.
    f.click(f.memberLine("K4A"));
    w.mnuEditEdit->trigger();
    m.txtName->setText("ANNIE");
    QListWidgetItem *sue = f.memberLine("W4XY");
    sue->setCheckState(Qt::Unchecked); // a click on the box of a member checked in already
    f.click(sue);
    QCOMPARE(sue->checkState(), Qt::Checked);
    QCOMPARE(save(f), u"RECORD UPDATED"_s);
    QCOMPARE(f.lines(w.lst1).mid(0, 2), (QStringList { "K4   A    ANNIE OPELIKA", "W4   XY   SUE " }));
    // An empty CALL box can be left for CALLSIGN.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    m.txtCall->setFocus();
    m.txtCall->clear();
    w.txtChkin()->setFocus();
    QTRY_VERIFY(w.txtChkin()->hasFocus());
    QVERIFY(!f.status().contains("INVALID"));
    // Tab and Enter walk the form in the order it is filled in, up to Save.
    m.txtCall->setFocus();
    for (QWidget *next : std::initializer_list<QWidget *> { m.txtName, m.txtCounty, m.txtStatus, m.txtCS, m.cmdSave }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), next);
    }
    m.txtCS->setFocus();
    QTest::keyClick(m.txtCS, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), m.cmdSave);
}

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
