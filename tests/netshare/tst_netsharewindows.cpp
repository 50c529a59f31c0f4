#include "maintenance/memberops.h"
#include "mainwindowfixture.h"
#include "netshare/netmonth.h"
#include "netshare/netshare.h"
#include "session/sessionjournal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// The main window on one PC while another PC (its core only) shares the same net folder.
class TestNetShareWindows : public QObject
{
    Q_OBJECT

private slots:
    void othersChangesReachTheCountyShown();
    void conflictShownAndSettledFromTheKeyboard();
    void netSharingWindowKeepsTheChoice();
    void netMonthShowsEverySessionOnce();
};

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(19, 0));

void WriteBaldwin(TestRoot &root)
{
    root.writeStations(
        "BALDWIN", { Station("W4AAA", "ANN", "BALDWIN", "", "FOLEY", "11/01/2026"), EndMarker() });
}

// The other PC: a program root of its own and its sharing, no window.
struct OtherPc
{
    explicit OtherPc(const QString &net)
        : root({},
            { { "Net", "Folder", net }, { "Net", "Station", "B-000002" },
                { "Net", "Name", "W4BOB BOB" } },
            kNow)
        , share(root.paths(), root.settings(), root.clock())
    {
        WriteBaldwin(root);
        QVERIFY(share.start());
    }
    void editCity(const QString &city)
    {
        StationRecord fields = root.record("BALDWIN", 1).trimmed();
        fields.City = city;
        QVERIFY(EditMemberRecord(root.filePath("BALDWIN"), 1, fields));
    }
    TestRoot root;
    NetShare share;
};

std::unique_ptr<MainWindowFixture> ThisPc(const QString &net)
{
    auto f = std::make_unique<MainWindowFixture>(TestRoot::Files {},
        std::initializer_list<SettingValue> { { "First", "Firstime", "FALSE" },
            { "Net", "Folder", net }, { "Net", "Station", "A-000001" },
            { "Net", "Name", "W4ANN ANN" } },
        kNow);
    WriteBaldwin(f->root);
    return f;
}

template <typename T> T *TopWindow(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return qobject_cast<T *>(w);
    }
    return nullptr;
}

} // namespace

void TestNetShareWindows::othersChangesReachTheCountyShown()
{
    QTemporaryDir net;
    OtherPc b(net.path());
    auto f = ThisPc(net.path());
    f->open();
    f->choose("BALDWIN");
    QTRY_VERIFY(f->lines("lst1").join('|').contains("FOLEY"));
    f->click(f->memberLine("W4AAA"));
    QCOMPARE(f->status(), u"W4AAA CHECKED IN"_s);
    // B's edit arrives through the folder's watch, with no one asking.
    b.editCity("ORANGE BEACH");
    QTRY_VERIFY(f->lines("lst1").join('|').contains("ORANGE BEACH"));
    QCOMPARE(f->status(), u"1 CHANGE FROM THE NET APPLIED"_s);
    // The check-in's record in tonight's report is the station as it now stands.
    QVERIFY(FileBytes(f->root.paths().sessionJournal()).contains("memberedited"));
    QVERIFY(FileBytes(f->root.paths().sessionJournal()).contains("ORANGE BEACH"));
}

void TestNetShareWindows::conflictShownAndSettledFromTheKeyboard()
{
    QTemporaryDir net;
    OtherPc b(net.path());
    auto f = ThisPc(net.path());
    FrmMain &w = f->open();
    f->choose("BALDWIN");
    QTRY_VERIFY(f->lines("lst1").join('|').contains("FOLEY"));
    StationRecord fields = f->root.record("BALDWIN", 1).trimmed();
    fields.City = "MOBILE";
    QVERIFY(EditMemberRecord(f->root.filePath("BALDWIN"), 1, fields));
    b.editCity("FAIRHOPE");
    QTRY_COMPARE(f->status(), u"1 NET CHANGE NEEDS A LOOK"_s);
    QCOMPARE(f->root.record("BALDWIN", 1).City.trimmed(), u"MOBILE"_s);

    w.show();
    named<QAction>(w, "mnuOptionsNetChanges")->trigger();
    auto *changes = TopWindow<QWidget>("frmNetChanges");
    QVERIFY(changes);
    QVERIFY(QTest::qWaitForWindowActive(changes));
    auto *list = named<QListWidget>(*changes, "lstNetChanges");
    QCOMPARE(list->count(), 1);
    QVERIFY(list->item(0)->text().startsWith("W4AAA  BALDWIN         EDIT    BY W4BOB BOB"));
    QVERIFY(
        named<QPlainTextEdit>(*changes, "txtTheirs")->toPlainText().contains("CITY    FAIRHOPE"));
    QVERIFY(named<QPlainTextEdit>(*changes, "txtMine")->toPlainText().contains("CITY    MOBILE"));
    // Alt+T takes theirs: written here, the county shown again, and B settled too.
    QVERIFY(changes->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(list->count(), 0);
    QCOMPARE(
        named<QLabel>(*changes, "lblNetChangesStatus")->text(), u"NO NET CHANGE NEEDS A LOOK"_s);
    QCOMPARE(f->root.record("BALDWIN", 1).City.trimmed(), u"FAIRHOPE"_s);
    QVERIFY(f->lines("lst1").join('|').contains("FAIRHOPE"));
    QCOMPARE(f->status(), u"NO NET CHANGE NEEDS A LOOK"_s);
    QCOMPARE(b.share.pass().conflicts, 0);
    QCOMPARE(b.root.stationBytes("BALDWIN"), f->root.stationBytes("BALDWIN"));
    changes->close();
}

void TestNetShareWindows::netSharingWindowKeepsTheChoice()
{
    QTemporaryDir net;
    MainWindowFixture f({}, { { "First", "Firstime", "FALSE" } }, kNow);
    WriteBaldwin(f.root);
    FrmMain &w = f.open();
    QStringList listed;
    f.root.dialogs().modalScripts.enqueue([&](QDialog *d) {
        auto *on = named<QCheckBox>(*d, "chkNetSharing");
        // Off at first: the folder offered is Net/ in the program folder.
        listed << named<QLineEdit>(*d, "txtNetFolder")->text();
        if (on->isChecked() || named<QLineEdit>(*d, "txtNetFolder")->isEnabled())
            return int(QDialog::Rejected);
        on->setChecked(true);
        named<QLineEdit>(*d, "txtNetFolder")->setText(net.path());
        named<QLineEdit>(*d, "txtNetStationName")->setText("W4ANN ANN");
        named<QPushButton>(*d, "cmdOK")->click();
        return d->result();
    });
    named<QAction>(w, "mnuOptionsNetSharing")->trigger();
    QCOMPARE(listed, QStringList { QDir::toNativeSeparators(f.root.paths().root() + "Net/") });
    QCOMPARE(f.setting("Net", "Folder"), net.path());
    const QString id = f.setting("Net", "Station");
    QVERIFY2(QRegularExpression("^W4ANN-[0-9a-f]{6}$").match(id).hasMatch(), qPrintable(id));
    QCOMPARE(SharedStationName(net.path(), id), u"W4ANN ANN"_s);

    // Opened again: this PC among the stations; Cancel keeps everything; off stops sharing.
    f.root.dialogs().modalScripts.enqueue([&](QDialog *d) {
        auto *stations = named<QTreeWidget>(*d, "lstNetStations");
        listed = { stations->topLevelItem(0)->text(0), stations->topLevelItem(0)->text(1) };
        named<QCheckBox>(*d, "chkNetSharing")->setChecked(false);
        named<QPushButton>(*d, "cmdCancel")->click();
        return d->result();
    });
    named<QAction>(w, "mnuOptionsNetSharing")->trigger();
    QCOMPARE(listed, (QStringList { id + " (THIS PC)", "W4ANN ANN" }));
    QCOMPARE(f.setting("Net", "Folder"), net.path());
    f.root.dialogs().modalScripts.enqueue([&](QDialog *d) {
        named<QCheckBox>(*d, "chkNetSharing")->setChecked(false);
        named<QPushButton>(*d, "cmdOK")->click();
        return d->result();
    });
    named<QAction>(w, "mnuOptionsNetSharing")->trigger();
    QCOMPARE(f.setting("Net", "Folder"), QString());
    QCOMPARE(f.setting("Net", "Station"), id); // kept for when sharing is on again
    // A program folder copied from another PC parts from it with a new id.
    f.root.dialogs().modalScripts.enqueue([&](QDialog *d) {
        named<QCheckBox>(*d, "chkNetSharing")->setChecked(true);
        named<QLineEdit>(*d, "txtNetFolder")->setText(net.path());
        named<QPushButton>(*d, "cmdNewStationId")->click();
        named<QPushButton>(*d, "cmdOK")->click();
        return d->result();
    });
    named<QAction>(w, "mnuOptionsNetSharing")->trigger();
    const QString renewed = f.setting("Net", "Station");
    QVERIFY(renewed != id && renewed.startsWith("W4ANN-"));
    QVERIFY(QFileInfo::exists(net.path() + '/' + renewed + "/station.txt"));
}

void TestNetShareWindows::netMonthShowsEverySessionOnce()
{
    QTemporaryDir net;
    OtherPc b(net.path());
    b.root.clock().set(QDateTime(QDate(2026, 12, 3), QTime(19, 0)));
    SessionJournal journal(b.root.paths(), b.root.clock());
    journal.begin("BOB", "W4BOB", "EARLY");
    b.root.clock().advanceSeconds(30 * 60);
    QVERIFY(journal.finish());
    QCOMPARE(b.share.pass().published, 1);

    auto f = ThisPc(net.path());
    FrmMain &w = f->open();
    named<QAction>(w, "mnuReportsNetMonth")->trigger();
    auto *month = TopWindow<QWidget>("frmNetMonth");
    QVERIFY(month);
    auto *table = named<QTreeWidget>(*month, "tblNetMonth");
    QCOMPARE(table->topLevelItemCount(), 1);
    QStringList row;
    for (int c = 0; c < table->columnCount(); ++c)
        row << table->topLevelItem(0)->text(c);
    QCOMPARE(row.join('|'), u"12/3/2026|19:00|19:30|BOB W4BOB|0|0|30|W4BOB BOB"_s);
    QCOMPARE(named<QLabel>(*month, "lblNetMonthTotals")->text() + '|'
            + named<QLabel>(*month, "lblNetMonthOwn")->text(),
        u"THE NET: SESSIONS 1   QNI 0   QTC 0   QTR 30 MINUTES|THIS PC: SESSIONS 0   QNI 0   QTC 0   QTR 0 MINUTES"_s);
    const QString csv = f->root.root() + "/month.csv";
    f->root.dialogs().saveFiles.enqueue(csv);
    named<QPushButton>(*month, "cmdSaveCsv")->click();
    QCOMPARE(FileBytes(csv), NetMonthCsv(ReadNetMonth(net.path(), 2026, 12)));
    // The month before holds nothing.
    named<QComboBox>(*month, "cboNetMonth")->setCurrentIndex(1);
    QCOMPARE(table->topLevelItemCount(), 0);
    month->close();
    // Tonight's net on this PC is shared as the program ends, not at its next start.
    f->type("W4AAA");
    f->root.dialogs().answers.enqueue(Yes); // the night's totals into the month
    f->root.dialogs().answers.enqueue(No); // no backup
    named<QAction>(w, "mnuFileExit")->trigger();
    QVERIFY(!w.isVisible());
    QCOMPARE(ReadNetMonth(net.path(), 2026, 12).sessions.size(), 2);
}

QTEST_MAIN(TestNetShareWindows)
#include "tst_netsharewindows.moc"
