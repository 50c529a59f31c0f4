#include "mainwindowfixture.h"
#include "maintenance/memberinfoframe.h"
#include "maintenance/membermaintenance.h"
#include "maintenance/memberops.h"

#include <QAction>
#include <QFile>
#include <QPushButton>

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
    void addIntoFullFileIsRefused();
    void addExistingCallWritesNothing();
    void addWhenCheckinTableIsFull();
    void additionsLogKeys();
    void addInvalidCallEmptiesTheForm();
    void addWriteFailureKeepsTheForm();
    void editKeepsCallAndDate();
    void saveEditWithoutEditWritesNothing();
    void deleteMember_data();
    void deleteMember();
    void deleteWithoutLineDoesNothing();
    void changeCall();
    void changeCallWithoutSelection();
    void keyFiltersAndCountyCheck();
    void saveWithEmptyCountyOnlyAsksForIt();
};

void TestMaintenance::addIntoSlot_data()
{
    QTest::addColumn<QList<StationRecord>>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("record");
    QTest::newRow("vacant slot reused") << QList<StationRecord> { Station("K4A"), Vacant(), Station("K4C"), EndMarker() }
                                        << QStringList { "K4A", "W4NEW", "K4C", "**EOF*" } << 2;
    QTest::newRow("blank slot") << QList<StationRecord> { Station("K4A"), BlankSlot(), EndMarker() }
                                << QStringList { "K4A", "W4NEW", "**EOF*" } << 2;
    QTest::newRow("end marker moves on") << QList<StationRecord> { Station("K4A"), EndMarker() }
                                         << QStringList { "K4A", "W4NEW", "**EOF*" } << 2;
    QTest::newRow("end marker moves over a blank")
        << QList<StationRecord> { Station("K4A"), EndMarker(), BlankSlot(), Station("K4OLD") }
        << QStringList { "K4A", "W4NEW", "**EOF*", "K4OLD" } << 2;
    QTest::newRow("empty file") << QList<StationRecord> {} << QStringList { "W4NEW" } << 1;
    QList<StationRecord> markerAt100;
    QStringList afterAt100;
    for (int i = 1; i < 100; ++i) {
        markerAt100 << Station(QStringLiteral("K4%1").arg(QChar(u'A' + i % 26)) + QChar(u'A' + i / 26));
        afterAt100 << markerAt100.last().Call;
    }
    markerAt100 << EndMarker();
    afterAt100 << "W4NEW";
    QTest::newRow("end marker at record 100 gives way") << markerAt100 << afterAt100 << 100;
}

void TestMaintenance::addIntoSlot()
{
    QFETCH(QList<StationRecord>, before);
    QFETCH(QStringList, after);
    QFETCH(int, record);
    MainWindowFixture f({}, {}, kNow);
    f.root.writeStations("LEE", before);
    FrmMain &w = f.open();
    fillAdd(f, "W4NEW", "LEE", "ANN", "SUN", "OPELIKA");
    w.fraAdd->cmdSave->click();
    QCOMPARE(calls(f.root.stationBytes("LEE")), after);
    QCOMPARE(f.root.record("LEE", record).trimmed(),
             Station("W4NEW", "ANN", "LEE", "SUN", "OPELIKA", "3/10/2026"));
    QCOMPARE(f.status(), QStringLiteral("W4NEW ADDED"));
    QCOMPARE(w.MemberFormMode, 0);
    QVERIFY(w.fraAdd->txtCall->text().isEmpty());
    QVERIFY(w.fraAdd->lblMode->text().isEmpty());
    // Every scan now finds the station.
    f.type("W4NEW");
    QCOMPARE(f.status(), QStringLiteral("W4NEW Is Already Checked in"));
    w.lstCounties->clear();
}

void TestMaintenance::addIntoFullFileIsRefused()
{
    QList<StationRecord> full;
    for (int i = 0; i < 100; ++i)
        full << Station(QStringLiteral("K4") + QChar(u'A' + i / 26) + QChar(u'A' + i % 26));
    MainWindowFixture f({ { "LEE", full } }, {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    fillAdd(f, "W4NEW", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("COUNTY FILE FULL"));
    QCOMPARE(f.root.sounds().played.last(), QStringLiteral("notify"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
    QCOMPARE(f.root.settings().get("NewMember", "0"), QString());
}

void TestMaintenance::addExistingCallWritesNothing()
{
    MainWindowFixture f({ { "LEE", { Station("K4A"), EndMarker() } }, { "MOBILE", { Station("W4DUP") } } }, {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    fillAdd(f, "K4NOP", "LEE");
    w.fraAdd->txtCall->setText("K4A");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("CALL ALREADY EXISTS"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
    // The same call in another county's file is not looked for.
    fillAdd(f, "K4NOP", "LEE");
    w.fraAdd->txtCall->setText("W4DUP");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("W4DUP ADDED"));
}

void TestMaintenance::addWhenCheckinTableIsFull()
{
    MainWindowFixture f({ { "LEE", { EndMarker() } } }, {}, kNow);
    FrmMain &w = f.open();
    fillAdd(f, "W4NEW", "LEE", "ANN", "", "OPELIKA");
    w.fraAdd->cmdSave->click();
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(f.lines(w.lst1), (QStringList { "W4NEW ANN OPELIKA" }));
    QCOMPARE(w.session().checkins().entry(1), QStringLiteral("W4NEW"));
    // The non-listed line stays.
    QCOMPARE(f.lines(w.lstEarly), (QStringList { "W4NEW" }));

    for (int k = 2; k <= 149; ++k)
        w.session().checkins().set(k, QStringLiteral("X%1").arg(k));
    fillAdd(f, "W4TWO", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("W4TWO ADDED"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    QCOMPARE(w.lst1->count(), 1);
    QCOMPARE(f.root.record("LEE", 2).Call.trimmed(), QStringLiteral("W4TWO"));
}

void TestMaintenance::additionsLogKeys()
{
    MainWindowFixture f({ { "LEE", { EndMarker() } } }, { { "NewMember", "0", "K4OLD X LEE Y" } }, kNow);
    FrmMain &w = f.open();
    fillAdd(f, "W4NEW", "LEE", "ANN", "", "OPELIKA");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.root.settings().get("NewMember", "1"), QStringLiteral("W4NEW ANN LEE OPELIKA"));

    for (int k = 0; k <= 50; ++k)
        f.root.settings().save("NewMember", QString::number(k), "TAKEN");
    fillAdd(f, "W4A", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.root.settings().get("NewMember", "51"), QStringLiteral("W4A NEW LEE TOWN"));
    fillAdd(f, "W4B", "LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.root.settings().get("NewMember", "51"), QStringLiteral("W4B NEW LEE TOWN"));
    QCOMPARE(f.root.settings().get("NewMember", "52"), QString());
}

void TestMaintenance::addInvalidCallEmptiesTheForm()
{
    MainWindowFixture f({ { "LEE", { EndMarker() } } }, {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    fillAdd(f, "W4NEW", "LEE");
    w.fraAdd->txtCall->setText("B4BAD");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("B4BAD  INVALID CALL"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QVERIFY(w.fraAdd->txtName->text().isEmpty());
    QCOMPARE(w.MemberFormMode, 0);
}

void TestMaintenance::addWriteFailureKeepsTheForm()
{
    MainWindowFixture f({ { "LEE", { EndMarker() } } }, {}, kNow);
    FrmMain &w = f.open();
    QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner);
    fillAdd(f, "W4NEW", "LEE", "ANN");
    w.fraAdd->cmdSave->click();
    QVERIFY(f.status().startsWith("RECORD NOT SAVED"));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
    QCOMPARE(w.fraAdd->txtName->text(), QStringLiteral("ANN"));
    QCOMPARE(f.root.settings().get("NewMember", "0"), QString());
    QFile::setPermissions(f.root.filePath("LEE"), QFile::ReadOwner | QFile::WriteOwner);
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("W4NEW ADDED"));
}

void TestMaintenance::editKeepsCallAndDate()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"),
                                     Station("K4ABC", "ANN", "LEE", "TUE", "AUBURN", "01/05/2026") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine("K4ABC"));
    const QString dateAfterClick = f.root.record("LEE", 2).LastDate;
    w.mnuEditEdit->trigger();
    QCOMPARE(w.fraAdd->lblMode->text(), QStringLiteral("EDIT"));
    QCOMPARE(w.fraAdd->txtCall->text(), QStringLiteral("K4ABC"));
    QCOMPARE(w.fraAdd->txtName->text(), QStringLiteral("ANN"));
    QCOMPARE(w.fraAdd->txtStatus->text(), QStringLiteral("TUE"));
    w.fraAdd->txtName->setText("ANNE");
    w.fraAdd->txtCS->setText("LOACHAPOKA");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("RECORD UPDATED"));
    QCOMPARE(f.root.record("LEE", 2).trimmed(),
             Station("K4ABC", "ANNE", "LEE", "TUE", "LOACHAPOKA", dateAfterClick.trimmed()));
    QCOMPARE(f.root.record("LEE", 1).trimmed(), Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026"));
    QCOMPARE(w.lst1->currentItem()->text(), QStringLiteral("K4   ABC   ANNE LOACHAPOKA"));
    QCOMPARE(w.lst1->currentItem()->checkState(), Qt::Checked);
    QVERIFY(w.fraAdd->lblMode->text().isEmpty());
    QVERIFY(w.fraAdd->txtCall->text().isEmpty());
}

void TestMaintenance::saveEditWithoutEditWritesNothing()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM", "LEE", "", "OPELIKA", "2/2/2026") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    const QByteArray before = f.root.stationBytes("LEE");
    w.fraAdd->txtCall->setText("K4A");
    w.fraAdd->txtName->setText("HACK");
    w.fraAdd->txtCounty->setText("LEE");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.status(), QStringLiteral("ERROR! RECORD NOT FOUND!"));
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(w.fraAdd->txtName->text(), QStringLiteral("HACK"));
}

void TestMaintenance::deleteMember_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("call");
    QTest::addColumn<bool>("lineGone");
    QTest::addColumn<bool>("recordVacant");
    QTest::addColumn<QString>("statusLine");
    QTest::newRow("yes") << "" << int(Yes) << "K4ABC" << true << true << "\nRECORD DELETED";
    QTest::newRow("no") << "" << int(No) << "K4ABC" << false << false << "";
    QTest::newRow("weekday code keeps the record")
        << "MON" << int(Yes) << "K4ABC" << true << false << "K4ABC CHECKED IN";
}

void TestMaintenance::deleteMember()
{
    QFETCH(QString, status);
    QFETCH(int, answer);
    QFETCH(QString, call);
    QFETCH(bool, lineGone);
    QFETCH(bool, recordVacant);
    QFETCH(QString, statusLine);
    // The weekday code reaches the member line through the city.
    const QString city = status.isEmpty() ? QString("OPELIKA") : QString("X ") + status + " Y";
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM"), Station(call, "ANN", "LEE", status, city, "1/1/2026") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    f.click(f.memberLine(call));
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("1"));
    const QByteArray before = f.root.stationBytes("LEE");
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    w.mnuEditDelete->trigger();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].title, QStringLiteral("REMOVING RECORD FROM THE DATABASE"));
    QCOMPARE(f.root.dialogs().messages[0].text, QStringLiteral("REALLY REMOVE K4ABC ANN FROM THE DATABASE?"));
    QCOMPARE(f.root.dialogs().messages[0].icon, MsgIcon::Question);
    QCOMPARE(f.memberLine(call) == nullptr, lineGone);
    QCOMPARE(w.lblChkins()->text(), lineGone ? QStringLiteral("0") : QStringLiteral("1"));
    if (recordVacant) {
        const StationRecord r = f.root.record("LEE", 2);
        QCOMPARE(r.Call, QStringLiteral("VACANT"));
        QCOMPARE(r.Name + r.County + r.Status + r.City, QString(66, u' '));
        QCOMPARE(r.LastDate.trimmed(), QStringLiteral("3/10/2026"));
        QCOMPARE(f.root.record("LEE", 1).trimmed().Call, QStringLiteral("K4A"));
    } else {
        QCOMPARE(f.root.stationBytes("LEE"), before);
    }
    if (answer == Yes)
        QCOMPARE(f.status(), statusLine);
    // A checked-in station stays in the session's table.
    QCOMPARE(w.session().checkins().entry(1), call);
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
    QCOMPARE(f.status(), QStringLiteral("RECORD NOT FOUND!"));
    QCOMPARE(f.root.sounds().played.last(), QStringLiteral("notify"));
    QCOMPARE(w.lst1->count(), 0);
}

void TestMaintenance::changeCall()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM"),
                                     Station("K4ABC", "ANN", "LEE", "WED", "AUBURN", "1/5/2026"),
                                     Station("W4Z", "ZED") } } },
                        {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    w.lst1->setCurrentItem(f.memberLine("K4ABC"));
    w.mnuChgCall->trigger();
    QCOMPARE(w.fraAdd->lblMode->text(), QStringLiteral("CHANGE CALL"));
    QCOMPARE(w.fraAdd->lblCall->text(), QStringLiteral("OLD CALL"));
    QCOMPARE(w.fraAdd->txtCall->text(), QStringLiteral("K4ABC"));
    QVERIFY(w.ChangeCallFlag);
    QVERIFY(w.fraAdd->txtName->isHidden());
    QVERIFY(!w.fraAdd->TxtNew->isHidden());
    w.fraAdd->TxtNew->setText("KA4XYZ");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.root.record("LEE", 2).trimmed(), Station("KA4XYZ", "ANN", "LEE", "WED", "AUBURN", "1/5/2026"));
    QCOMPARE(f.root.record("LEE", 1).trimmed().Call, QStringLiteral("K4A"));
    QCOMPARE(f.root.record("LEE", 3).trimmed().Call, QStringLiteral("W4Z"));
    QCOMPARE(w.lst1->currentItem()->text(), QStringLiteral("KA4  XYZ ANN AUBURN"));
    QVERIFY(!w.ChangeCallFlag);
    QVERIFY(w.fraAdd->TxtNew->isHidden());
    QVERIFY(!w.fraAdd->txtName->isHidden());
    QCOMPARE(w.fraAdd->lblCall->text(), QStringLiteral("CALL"));
    // The count drops by one at every change and never below 0.
    QCOMPARE(w.lblChkins()->text(), QStringLiteral("0"));
}

void TestMaintenance::changeCallWithoutSelection()
{
    MainWindowFixture f({ { "LEE", { Station("K4A", "JIM") } } }, {}, kNow);
    FrmMain &w = f.open();
    f.choose("LEE");
    w.lst1->setCurrentRow(-1);
    w.mnuChgCall->trigger();
    QCOMPARE(f.status(), QStringLiteral("You must select a call to change"));
    QCOMPARE(f.root.sounds().played.last(), QStringLiteral("notify"));
    QVERIFY(!w.ChangeCallFlag);
    QVERIFY(w.fraAdd->lblMode->text().isEmpty());
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
    QCOMPARE(m.txtCall->text(), QStringLiteral("k4ab 1"));
    m.txtName->setFocus();
    QTest::keyClicks(m.txtName, "ann-marie 2");
    QCOMPARE(m.txtName->text(), QStringLiteral("annmarie "));
    // The county must be a name of the table; upper case is made on Enter.
    m.txtCounty->setFocus();
    QTest::keyClicks(m.txtCounty, "lee");
    QTest::keyClick(m.txtCounty, Qt::Key_Return);
    QCOMPARE(m.txtCounty->text(), QStringLiteral("LEE"));
    // Leaving the county box with the city still empty goes on to the city.
    QTRY_VERIFY(m.txtCS->hasFocus());
    m.txtCounty->setFocus();
    m.txtCounty->setText("NARNIA");
    QTest::keyClick(m.txtCounty, Qt::Key_Return);
    QVERIFY(m.txtCounty->text().isEmpty());
    QTRY_VERIFY(m.txtCounty->hasFocus());
    QCOMPARE(f.root.sounds().played.last(), QStringLiteral("notify"));
    // Leaving the call box with an invalid call.
    m.txtCall->setFocus();
    m.txtCall->setText("B4X");
    m.txtName->setFocus();
    QCOMPARE(f.status(), QStringLiteral("B4X  INVALID CALL"));
    QVERIFY(m.txtCall->text().isEmpty());
    QTRY_VERIFY(m.txtCall->hasFocus());
}

void TestMaintenance::saveWithEmptyCountyOnlyAsksForIt()
{
    MainWindowFixture f({ { "LEE", { EndMarker() } } }, {}, kNow);
    FrmMain &w = f.open();
    const QByteArray before = f.root.stationBytes("LEE");
    fillAdd(f, "W4NEW", "");
    w.fraAdd->cmdSave->click();
    QCOMPARE(f.root.stationBytes("LEE"), before);
    QCOMPARE(w.MemberFormMode, 1);
    QCOMPARE(w.fraAdd->lblMode->text(), QStringLiteral("ADD"));
}

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
