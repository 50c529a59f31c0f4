#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"
#include "maintenance/membermaintenance.h"

#include <QAction>
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

QStringList calls(const QByteArray &file)
{
    QStringList out;
    for (qsizetype i = 0; i < file.size(); i += 82)
        out << QString::fromLatin1(file.mid(i, 6)).trimmed();
    return out;
}
} // namespace

class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void addIntoSlot_data();
    void addIntoSlot();
    void refusedAdds();
    void addedStationIsCheckedInAndLogged();
    void editKeepsCallAndDate();
    void deleteMember_data();
    void deleteMember();
    void deleteWithoutLineDoesNothing();
    void changeCall();
    void keyFiltersAndCountyCheck();
};

void TestMaintenance::addIntoSlot_data()
{
    QTest::addColumn<QList<StationRecord>>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("vacant slot reused") << QList<StationRecord> { Station("K4A"), Vacant(), Station("K4C"), EndMarker() }
                                        << QStringList { "K4A", "W4NEW", "K4C", "**EOF*" };
    QTest::newRow("blank slot") << QList<StationRecord> { Station("K4A"), BlankSlot(), EndMarker() }
                                << QStringList { "K4A", "W4NEW", "**EOF*" };
    QTest::newRow("end marker moves on") << QList<StationRecord> { Station("K4A"), EndMarker() }
                                         << QStringList { "K4A", "W4NEW", "**EOF*" };
    QTest::newRow("end marker moves over a blank")
        << QList<StationRecord> { Station("K4A"), EndMarker(), BlankSlot(), Station("K4OLD") }
        << QStringList { "K4A", "W4NEW", "**EOF*", "K4OLD" };
    QTest::newRow("empty file") << QList<StationRecord> {} << QStringList { "W4NEW" };
    QTest::newRow("end marker at record 100 gives way")
        << (QList<StationRecord>(99, Station("K4A")) << EndMarker()) << (QStringList(99, "K4A") << "W4NEW");
}

void TestMaintenance::addIntoSlot()
{
    QFETCH(QList<StationRecord>, before);
    QFETCH(QStringList, after);
    MainWindowFixture f({}, {}, kNow);
    f.root.writeStations("LEE", before);
    FrmMain &w = f.open();
    fillAdd(f, "W4NEW", "LEE", "ANN", "SUN", "OPELIKA");
    w.fraAdd->cmdSave->click();
    QCOMPARE(calls(f.root.stationBytes("LEE")), after);
    QCOMPARE(f.root.record("LEE", after.indexOf("W4NEW") + 1).trimmed(),
             Station("W4NEW", "ANN", "LEE", "SUN", "OPELIKA", "3/10/2026"));
    QCOMPARE(f.status(), u"W4NEW ADDED"_s);
    QVERIFY(w.MemberFormMode == 0 && w.fraAdd->txtCall->text().isEmpty() && w.fraAdd->lblMode->text().isEmpty());
    // Every scan now finds the station.
    f.type("W4NEW");
    QCOMPARE(f.status(), u"W4NEW Is Already Checked in"_s);
}

void TestMaintenance::refusedAdds()
{
    QList<StationRecord> full(99, Station("K4A"));
    full << Station("W4DUP");
    MainWindowFixture f({ { "LEE", full }, { "MOBILE", { EndMarker() } } }, {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    fillAdd(f, "K4NOP", ""); // without a county Save only asks for it
    w.fraAdd->cmdSave->click();
    QCOMPARE(w.MemberFormMode, 1);
    QCOMPARE(w.fraAdd->lblMode->text(), u"ADD"_s);
    w.fraAdd->txtCounty->setText("LEE");
    w.fraAdd->txtCall->setText("K4A");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"CALL ALREADY EXISTS"_s);
    fillAdd(f, "K4NOP", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"COUNTY FILE FULL"_s);
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    // An invalid call empties the form.
    fillAdd(f, "K4NOP", "LEE");
    w.fraAdd->txtCall->setText("B4BAD");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"B4BAD  INVALID CALL"_s);
    QVERIFY(w.MemberFormMode == 0 && w.fraAdd->txtName->text().isEmpty());
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(f.checkins(), u"0"_s);
    QCOMPARE(f.setting("NewMember", "0"), QString());
    // The same call in another county's file is not looked for.
    fillAdd(f, "K4NOP", "MOBILE");
    w.fraAdd->txtCall->setText("W4DUP");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"W4DUP ADDED"_s);
}

void TestMaintenance::addedStationIsCheckedInAndLogged()
{
    MainWindowFixture f({ { "LEE", { EndMarker() } } }, { { "NewMember", "0", "K4OLD X LEE Y" } }, kNow);
    FrmMain &w = f.open();
    QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner);
    fillAdd(f, "W4NEW", "LEE", "ANN", "", "OPELIKA");
    w.fraAdd->cmdSave->click(); // a failed write keeps the form and logs nothing
    QVERIFY(f.status().startsWith("RECORD NOT SAVED"));
    QCOMPARE(f.checkins(), u"0"_s);
    QCOMPARE(w.fraAdd->txtName->text(), u"ANN"_s);
    QCOMPARE(f.setting("NewMember", "1"), QString());
    QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner | QFile::WriteOwner);
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"W4NEW ADDED"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4NEW ANN OPELIKA" }));
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "W4NEW" })); // the non-listed line stays
    QCOMPARE(f.setting("NewMember", "1"), u"W4NEW ANN LEE OPELIKA"_s); // the first free key
    // A full table: added but not checked in. Keys 0 to 50 taken: 51 is overwritten.
    for (int k = 2; k <= 149; ++k)
        w.session().checkins().set(k, u"X%1"_s.arg(k));
    for (int k = 0; k <= 50; ++k)
        f.root.settings().save("NewMember", QString::number(k), "TAKEN");
    fillAdd(f, "W4A", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"W4A ADDED"_s);
    QCOMPARE(f.checkins(), u"1"_s);
    QCOMPARE(f.root.record("LEE", 2).Call.trimmed(), u"W4A"_s);
    QCOMPARE(f.setting("NewMember", "51"), u"W4A NEW LEE TOWN"_s);
    fillAdd(f, "W4B", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.setting("NewMember", "51"), u"W4B NEW LEE TOWN"_s);
    QCOMPARE(f.setting("NewMember", "52"), QString());
}

void TestMaintenance::editKeepsCallAndDate()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"),
                                     Station("K4ABC", "ANN", "LEE", "TUE", "AUBURN", "01/05/2026") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    const QByteArray before = f.root.stationBytes("LEE");
    // Save of a filled form that is not in EDIT mode writes nothing.
    w.fraAdd->txtCall->setText("K4A");
    w.fraAdd->txtName->setText("HACK");
    w.fraAdd->txtCounty->setText("LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"ERROR! RECORD NOT FOUND!"_s);
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(w.fraAdd->txtName->text(), u"HACK"_s);
    f.click(f.memberLine("K4ABC"));
    const QString dateAfterClick = f.root.record("LEE", 2).LastDate;
    w.mnuEditEdit->trigger();
    QCOMPARE(w.fraAdd->lblMode->text(), u"EDIT"_s);
    QCOMPARE(w.fraAdd->txtStatus->text(), u"TUE"_s);
    w.fraAdd->txtName->setText("ANNE");
    w.fraAdd->txtCS->setText("LOACHAPOKA");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), u"RECORD UPDATED"_s);
    QCOMPARE(f.root.record("LEE", 2).trimmed(),
             Station("K4ABC", "ANNE", "LEE", "TUE", "LOACHAPOKA", dateAfterClick.trimmed()));
    QCOMPARE(f.root.stationBytes("LEE").left(82), before.left(82));
    QCOMPARE(w.lst1->currentItem()->text(), u"K4   ABC   ANNE LOACHAPOKA"_s);
    QCOMPARE(w.lst1->currentItem()->checkState(), Qt::Checked);
    QVERIFY(w.fraAdd->lblMode->text().isEmpty() && w.fraAdd->txtCall->text().isEmpty());
}

void TestMaintenance::deleteMember_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("lineGone");
    QTest::addColumn<bool>("recordVacant");
    QTest::addColumn<QString>("statusLine");
    QTest::newRow("yes") << "" << int(Yes) << true << true << "\nRECORD DELETED";
    QTest::newRow("no") << "" << int(No) << false << false << "K4ABC CHECKED IN";
    QTest::newRow("weekday code keeps the record") << "MON" << int(Yes) << true << false << "K4ABC CHECKED IN";
}

void TestMaintenance::deleteMember()
{
    QFETCH(QString, status);
    QFETCH(int, answer);
    QFETCH(bool, lineGone);
    QFETCH(bool, recordVacant);
    QFETCH(QString, statusLine);
    // The weekday code reaches the member line through the city.
    const QString city = status.isEmpty() ? QString("OPELIKA") : QString("X ") + status + " Y";
    const QString call = "K4ABC";
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM"), Station(call, "ANN", "LEE", status, city, "1/1/2026") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine(call));
    const QByteArray before = f.root.stationBytes("LEE");
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    w.mnuEditDelete->trigger();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].title, u"REMOVING RECORD FROM THE DATABASE"_s);
    QCOMPARE(f.root.dialogs().messages[0].text, u"REALLY REMOVE K4ABC ANN FROM THE DATABASE?"_s);
    QCOMPARE(f.memberLine(call) == nullptr, lineGone);
    QCOMPARE(f.checkins(), lineGone ? u"0"_s : u"1"_s);
    QCOMPARE(f.root.stationBytes("LEE").left(82), before.left(82));
    if (recordVacant)
        QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("VACANT", "", "", "", "", "3/10/2026"));
    else
        QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(f.status(), statusLine);
    QCOMPARE(w.session().checkins().entry(1), call); // it stays in the session's table
}

void TestMaintenance::deleteWithoutLineDoesNothing()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    w.lst1->setCurrentRow(-1);
    w.maintenance().mnuEditDelete_Click();
    QVERIFY(f.root.dialogs().messages.isEmpty());
    QCOMPARE(w.lst1->count(), 1);

    // A line whose record has gone meanwhile: the line goes, the notice says so.
    f.click(f.memberLine("K4A"));
    f.root.writeStations("LEE", { Station("K4B") });
    w.maintenance().mnuEditDelete_Click();
    QCOMPARE(f.status(), u"RECORD NOT FOUND!"_s);
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QCOMPARE(w.lst1->count(), 0);
}

void TestMaintenance::changeCall()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM"),
                                     Station("K4ABC", "ANN", "LEE", "WED", "AUBURN", "1/5/2026"),
                                     Station("W4Z", "ZED") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.type("W4Z");
    f.choose("LEE");
    w.mnuChgCall->trigger(); // nothing chosen
    QCOMPARE(f.status(), u"You must select a call to change"_s);
    QCOMPARE(f.root.sounds().played.last(), u"notify"_s);
    QVERIFY(!w.ChangeCallFlag && w.fraAdd->lblMode->text().isEmpty());
    w.lst1->setCurrentItem(f.memberLine("K4ABC"));
    w.mnuChgCall->trigger();
    QCOMPARE(w.fraAdd->lblMode->text(), u"CHANGE CALL"_s);
    QCOMPARE(w.fraAdd->lblCall->text(), u"OLD CALL"_s);
    QVERIFY(w.ChangeCallFlag && w.fraAdd->txtName->isHidden() && !w.fraAdd->TxtNew->isHidden());
    const QByteArray before = f.root.stationBytes("LEE");
    w.fraAdd->TxtNew->setText("KA4XYZ");
    w.fraAdd->cmdSave->click();
    // Same record number, every other field kept.
    QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("KA4XYZ", "ANN", "LEE", "WED", "AUBURN", "1/5/2026"));
    const QByteArray after = f.root.stationBytes("LEE");
    QCOMPARE(after.left(82) + after.mid(164), before.left(82) + before.mid(164));
    QCOMPARE(w.lst1->currentItem()->text(), u"KA4  XYZ ANN AUBURN"_s);
    QVERIFY(!w.ChangeCallFlag && w.fraAdd->TxtNew->isHidden() && !w.fraAdd->txtName->isHidden());
    QCOMPARE(w.fraAdd->lblCall->text(), u"CALL"_s);
    QCOMPARE(f.checkins(), u"0"_s); // the count drops by one at every change
}

void TestMaintenance::keyFiltersAndCountyCheck()
{
    MainWindowFixture f({}, {}, kNow);
    FrmMain &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MemberInfoFrame &m = *w.fraAdd;
    m.txtCall->setFocus();
    QTest::keyClicks(m.txtCall, "k4-a/b 1");
    QCOMPARE(m.txtCall->text(), u"k4ab 1"_s);
    m.txtName->setFocus();
    QTest::keyClicks(m.txtName, "ann-marie 2");
    QCOMPARE(m.txtName->text(), u"annmarie "_s);
    // The county must be a name of the table; upper case is made on Enter.
    m.txtCounty->setFocus();
    QTest::keyClicks(m.txtCounty, "lee");
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

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
