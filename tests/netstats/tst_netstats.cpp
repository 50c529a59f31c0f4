#include "mainwindowfixture.h"
#include "netstats/netstatistics.h"
#include "netstats/ui/countymapview.h"
#include "session/sessionjournal.h"
#include "stationdb/countytable.h"
#include "stationdb/textforms.h"
#include "testroot.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// The figures behind the statistics' charts and map, against the session logs they come
// from, and the members to call against the station files.
class TestNetStats : public QObject
{
    Q_OBJECT

private slots:
    void monthFiguresEqualTheLogs_data();
    void monthFiguresEqualTheLogs();
    void netWideCountsEachSessionOnce();
    void countyOutlinesAreWhole();
    void mapPictureHasTheChosenSize();
    void membersToCall_data();
    void membersToCall();
    void windowShowsTheFiguresAndSavesThem();
};

namespace {

const QDate kToday(2026, 12, 8);

// One net, written through the journal as the program writes it.
struct Net
{
    Net(TestRoot &root, const QDateTime &start, const QString &netControl)
        : root(root)
        , journal(std::make_unique<SessionJournal>(root.paths(), root.clock()))
    {
        root.clock().set(start);
        journal->begin(netControl, "W4" + netControl.left(3), "EARLY");
    }
    // The net an interrupted run left, resumed as the next start does.
    Net(TestRoot &root, const SessionState &left)
        : root(root)
        , journal(std::make_unique<SessionJournal>(root.paths(), root.clock()))
        , entries(int(left.checkins.size()))
    {
        journal->resume(left);
    }
    void checkIn(const QString &call, const QString &county)
    {
        root.clock().advanceSeconds(60);
        SessionEvent e;
        e.kind = SessionEvent::Kind::Checkin;
        e.entry = ++entries;
        e.call = call;
        e.file = county + ".dat";
        e.record = entries;
        e.line = call;
        journal->record(e);
    }
    void traffic(int count)
    {
        SessionEvent e;
        e.kind = SessionEvent::Kind::Traffic;
        e.marked = true;
        e.count = count;
        journal->record(e);
    }
    void finishAt(const QTime &end)
    {
        root.clock().set(QDateTime(root.clock().now().date(), end));
        QVERIFY(journal->finish());
    }
    TestRoot &root;
    std::unique_ptr<SessionJournal> journal;
    int entries = 0;
};

// A whole net: its check-ins ("CALL@County"), then its end.
void OneNet(TestRoot &root, const QDateTime &start, const QString &netControl,
    const QStringList &checkins, const QTime &end)
{
    Net net(root, start, netControl);
    for (const QString &c : checkins)
        net.checkIn(c.section('@', 0, 0), c.section('@', 1));
    net.finishAt(end);
}

enum class Case { NoSession, Resumed, LastDay, NetControlChanged };

} // namespace

void TestNetStats::monthFiguresEqualTheLogs_data()
{
    QTest::addColumn<Case>("which");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("sessions"); // date start net control QNI QTC QTR, "|" between
    QTest::addColumn<QString>("averages"); // weekday:average ..., then net control:average
    QTest::addColumn<QString>("counties"); // county:check-ins
    QTest::newRow("a month with no session") << Case::NoSession << 12 << ""
                                             << ""
                                             << "";
    QTest::newRow("a session resumed after a crash counts once")
        << Case::Resumed << 12 << "2026-12-01 19:00 ANN W4ANN 3 1 50"
        << "2:3.0 ANN W4ANN:3.0"
        << "Baldwin:2 Lee:1";
    QTest::newRow("a session on the last day of the month is that month's")
        << Case::LastDay << 11
        << "2026-11-30 19:00 BOB W4BOB 1 0 45|2026-11-30 21:00 BOB W4BOB 1 0 30"
        << "1:1.0 BOB W4BOB:1.0"
        << "Lee:2";
    QTest::newRow("a net control who took over mid-session has it")
        << Case::NetControlChanged << 12
        << "2026-12-02 19:00 CARL K4CRL 2 0 40|2026-12-03 19:00 ANN W4ANN 1 0 40"
        << "3:2.0 4:1.0 ANN W4ANN:1.0 CARL K4CRL:2.0"
        << "Baldwin:2 Lee:1";
}

void TestNetStats::monthFiguresEqualTheLogs()
{
    QFETCH(Case, which);
    QFETCH(int, month);
    QFETCH(QString, sessions);
    QFETCH(QString, averages);
    QFETCH(QString, counties);
    TestRoot root;
    switch (which) {
    case Case::NoSession:
        OneNet(root, QDateTime(QDate(2026, 11, 10), QTime(19, 0)), "ANN", { "W4AAA@Baldwin" },
            QTime(19, 30));
        break;
    case Case::Resumed: {
        {
            Net net(root, QDateTime(QDate(2026, 12, 1), QTime(19, 0)), "ANN");
            net.checkIn("W4AAA", "Baldwin");
            net.checkIn("W4BBB", "Lee");
        } // the program stops here; the next start resumes
        const PendingSession pending = ReadPendingSession(root.paths());
        QCOMPARE(pending.kind, PendingSession::Unfinished);
        Net again(root, pending.state);
        again.checkIn("W4CCC", "Baldwin");
        again.traffic(1);
        again.finishAt(QTime(19, 50));
        break;
    }
    case Case::LastDay:
        OneNet(root, QDateTime(QDate(2026, 11, 30), QTime(19, 0)), "BOB", { "W4AAA@Lee" },
            QTime(19, 45));
        OneNet(root, QDateTime(QDate(2026, 11, 30), QTime(21, 0)), "BOB", { "W4BBB@Lee" },
            QTime(21, 30));
        break;
    case Case::NetControlChanged: {
        Net net(root, QDateTime(QDate(2026, 12, 2), QTime(19, 0)), "BOB");
        net.checkIn("W4AAA", "Baldwin");
        SessionEvent e;
        e.kind = SessionEvent::Kind::NetControl;
        e.netControlName = "CARL";
        e.netControlCall = "K4CRL";
        e.marked = true;
        net.journal->record(e);
        net.checkIn("W4BBB", "Baldwin");
        net.finishAt(QTime(19, 40));
        OneNet(root, QDateTime(QDate(2026, 12, 3), QTime(19, 0)), "ANN", { "W4CCC@Lee" },
            QTime(19, 40));
        break;
    }
    }
    const QList<StatSession> read
        = ReadStatSessions(root.paths(), QString(), QDate(2026, 1, 1), kToday);
    const MonthStatistics m = StatisticsOfMonth(read, 2026, month);
    QStringList shown;
    int qni = 0, qtc = 0, qtr = 0;
    for (const StatSession &s : m.sessions) {
        shown << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(s.date.toString(Qt::ISODate), s.start, s.netControl)
                     .arg(s.qni)
                     .arg(s.qtc)
                     .arg(s.qtr);
        qni += s.qni;
        qtc += s.qtc;
        qtr += s.qtr;
    }
    QCOMPARE(shown.join('|'), sessions);
    QCOMPARE(QList<int>({ m.qni, m.qtc, m.qtr }), QList<int>({ qni, qtc, qtr }));
    QStringList averaged;
    for (const auto &[day, average] : m.averageByWeekday)
        averaged << QStringLiteral("%1:%2").arg(day).arg(average, 0, 'f', 1);
    for (const auto &[name, average] : m.averageByNetControl)
        averaged << QStringLiteral("%1:%2").arg(name).arg(average, 0, 'f', 1);
    QCOMPARE(averaged.join(' '), averages);
    QStringList shaded;
    for (auto it = m.checkinsByCounty.cbegin(); it != m.checkinsByCounty.cend(); ++it)
        shaded << it.key() + ':' + QString::number(it.value());
    QCOMPARE(shaded.join(' '), counties);
    // The year's point for the month holds the same.
    const QList<MonthPoint> year = LastTwelveMonths(read, kToday);
    QCOMPARE(year.size(), 12);
    QCOMPARE(year.last().month, QDate(2026, 12, 1));
    const MonthPoint &point = year[11 - (12 - month)];
    QCOMPARE(QList<int>({ point.sessions, point.qni, point.qtc }),
        QList<int>({ int(m.sessions.size()), m.qni, m.qtc }));
}

void TestNetStats::netWideCountsEachSessionOnce()
{
    TestRoot a, b;
    OneNet(
        a, QDateTime(QDate(2026, 12, 1), QTime(19, 0)), "ANN", { "W4AAA@Baldwin" }, QTime(19, 30));
    OneNet(b, QDateTime(QDate(2026, 12, 2), QTime(19, 0)), "BOB", { "W4BBB@Lee" }, QTime(19, 30));
    // Two PCs' shared sessions, one of them twice (a conflict copy of the sync engine).
    QTemporaryDir net;
    for (const auto &[id, root] :
        { std::pair<QString, TestRoot *> { "A-000001", &a }, { "B-000002", &b } }) {
        QVERIFY(QDir().mkpath(net.path() + '/' + id + "/sessions"));
        for (const QString &log : QDir(root->paths().sessionsFolder()).entryList({ "*.log" }))
            QVERIFY(QFile::copy(
                root->paths().sessionsFolder() + log, net.path() + '/' + id + "/sessions/" + log));
    }
    QVERIFY(QFile::copy(net.path() + "/A-000001/sessions/2026-12-01-1900.log",
        net.path()
            + "/A-000001/sessions/2026-12-01-1900.sync-conflict-20261202-080000-ABCDEFG.log"));
    // A log far larger than any evening's (its session readable under a mass of other lines)
    // is not read: the window never waits on such a file.
    const QByteArray real = FileBytes(net.path() + "/B-000002/sessions/2026-12-02-1900.log");
    QFile huge(net.path() + "/B-000002/sessions/2026-12-05-1900.log");
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(real);
    huge.write(QByteArray(1100 * 1024, '\n'));
    huge.close();
    const QList<StatSession> read
        = ReadStatSessions(a.paths(), net.path(), QDate(2026, 12, 1), kToday);
    QStringList ids;
    for (const StatSession &s : read)
        ids << s.id;
    QCOMPARE(ids, (QStringList { "A-000001/2026-12-01-1900", "B-000002/2026-12-02-1900" }));
    // Without the net folder, this PC's own only.
    QCOMPARE(ReadStatSessions(a.paths(), QString(), QDate(2026, 12, 1), kToday).size(), 1);
}

void TestNetStats::countyOutlinesAreWhole()
{
    const QList<CountyOutline> counties = HomeCountyOutlines();
    QSet<QString> names;
    for (const CountyOutline &c : counties)
        names.insert(c.name);
    CountyTable table;
    table.FillCountyFileNames();
    QSet<QString> home;
    for (int p = 1; p <= CountyTable::HomeCounties; ++p)
        home.insert(QFileInfo(table.fileName(p)).completeBaseName());
    QCOMPARE(counties.size(), CountyTable::HomeCounties);
    QCOMPARE(names, home);
    QRectF state;
    for (const CountyOutline &c : counties)
        state = state.united(c.path.boundingRect());
    // The box the resource is drawn in: 1000 wide, taller than wide (the state is).
    QVERIFY2(state.left() >= 0 && state.top() >= 0 && qRound(state.width()) == 1000
            && state.height() > 1000 && state.height() < 2000,
        qPrintable(QStringLiteral("%1 %2 %3 %4")
                       .arg(state.left())
                       .arg(state.top())
                       .arg(state.width())
                       .arg(state.height())));
    for (const CountyOutline &c : counties) {
        const QList<QPolygonF> rings = c.path.toSubpathPolygons();
        QVERIFY2(!rings.isEmpty(), qPrintable(c.name));
        for (const QPolygonF &ring : rings) {
            QVERIFY2(ring.size() >= 4 && ring.isClosed(), qPrintable(c.name));
            const QRectF box = ring.boundingRect();
            QVERIFY2(
                box.width() > 5 && box.height() > 5 && state.contains(box), qPrintable(c.name));
        }
    }
}

void TestNetStats::mapPictureHasTheChosenSize()
{
    const QList<CountyOutline> counties = HomeCountyOutlines();
    MapShading shading;
    shading.checkins = { { "Baldwin", 8 }, { "Lee", 1 } };
    shading.withMembers = { "Baldwin", "Lee", "Mobile" };
    const QImage map = CountyMapImage(counties, shading, QSize(600, 800));
    QCOMPARE(map.size(), QSize(600, 800));
    // Not blank: the darkest step (Baldwin, the month's most) and more than the legend.
    QSet<QRgb> colours;
    int darkest = 0;
    for (int y = 0; y < map.height(); y += 2) {
        for (int x = 0; x < map.width(); x += 2) {
            colours.insert(map.pixel(x, y));
            darkest += map.pixel(x, y) == qRgb(0x08, 0x30, 0x6b);
        }
    }
    QVERIFY(colours.size() > 5);
    QVERIFY2(darkest > 500, qPrintable(QString::number(darkest)));
    QCOMPARE(ShadeStep(0, 8), 0);
    QCOMPARE(ShadeStep(1, 8), 1);
    QCOMPARE(ShadeStep(3, 8), 2);
    QCOMPARE(ShadeStep(8, 8), 4);
}

void TestNetStats::membersToCall_data()
{
    QTest::addColumn<QString>("lastHeard");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("listed"); // "", "listed" or "due"
    QTest::newRow("ten months less a day") << "2/9/2026"
                                           << "AL"
                                           << "";
    QTest::newRow("ten months to the day") << "2/8/2026"
                                           << "AL"
                                           << "listed";
    QTest::newRow("a day short of a year") << "12/9/2025"
                                           << "AL"
                                           << "listed";
    QTest::newRow("a year: retired at the next look") << "12/8/2025"
                                                      << "AL"
                                                      << "due";
    QTest::newRow("the county's EOC is never retired") << "1/1/2024"
                                                       << "CNTY EOC"
                                                       << "";
    QTest::newRow("no date") << ""
                             << "AL"
                             << "";
}

void TestNetStats::membersToCall()
{
    QFETCH(QString, lastHeard);
    QFETCH(QString, name);
    QFETCH(QString, listed);
    TestRoot root({ { "BALDWIN",
        { Station("W4NEW", "NED", "", "", "", "12/1/2026"),
            Station("K4OLD", name, "", "", "FOLEY", lastHeard), EndMarker(),
            Station("K4GONE", "X", "", "", "", "1/1/2020") } } });
    root.table().FillDisplayNames();
    const QList<MemberToCall> members = MembersToCall(root.table(), kToday);
    QStringList shown;
    for (const MemberToCall &m : members)
        shown << m.county + ' ' + m.station.Call + ' ' + ShortDate(m.lastHeard)
                + (m.due ? " due" : "");
    QCOMPARE(shown.join('|'),
        listed.isEmpty() ? QString()
                         : "BALDWIN K4OLD " + lastHeard + (listed == "due" ? " due" : ""));
}

void TestNetStats::windowShowsTheFiguresAndSavesThem()
{
    MainWindowFixture f({ { "LEE", { Station("K4OLD", "OLA", "", "", "", "1/15/2026") } } },
        { { "First", "Firstime", "FALSE" } }, QDateTime(kToday, QTime(18, 0)));
    OneNet(f.root, QDateTime(QDate(2026, 12, 1), QTime(19, 0)), "ANN", { "W4AAA@Lee", "W4BBB@Lee" },
        QTime(19, 30));
    f.root.clock().set(QDateTime(kToday, QTime(18, 0)));
    FrmMain &w = f.open();
    named<QAction>(w, "mnuReportsNetStatistics")->trigger();
    QWidget *window = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "frmNetStatistics" && top->isVisible())
            window = top;
    }
    QVERIFY(window);
    QCOMPARE(named<QLabel>(*window, "lblMonthTotals")->text(),
        u"SESSIONS 1   QNI 2   QTC 0   QTR 30 MINUTES"_s);
    QCOMPARE(named<QListWidget>(*window, "lstMapCounties")->count(), CountyTable::HomeCounties);
    QVERIFY(f.lines(named<QListWidget>(*window, "lstMapCounties")).contains("LEE: 2"));
    auto *members = named<QTreeWidget>(*window, "tblMembersToCall");
    QCOMPARE(members->topLevelItemCount(), 1);
    QCOMPARE(members->topLevelItem(0)->text(1), u"K4OLD"_s);
    // The map saved as a picture, and the members' list as CSV.
    auto *tabs = named<QTabWidget>(*window, "tabStatistics");
    tabs->setCurrentIndex(2);
    const QString png = f.root.root() + "/map.png";
    f.root.dialogs().saveFiles.enqueue(png);
    named<QPushButton>(*window, "cmdSavePicture")->click();
    const QImage saved(png);
    QCOMPARE(saved.size(), QSize(1200, 1500));
    QVERIFY(saved.pixel(600, 700) != qRgb(255, 255, 255)
        || saved.pixel(500, 600) != qRgb(255, 255, 255));
    // As PDF, its legend is text a reader finds.
    const QString pdf = f.root.root() + "/map.pdf";
    f.root.dialogs().saveFiles.enqueue(pdf);
    named<QPushButton>(*window, "cmdSavePicture")->click();
    QProcess text;
    text.start("pdftotext", { "-layout", pdf, "-" });
    QVERIFY(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    // The month's most is 2: one check-in is the first step, two the third.
    QVERIFY2(words.contains("0 1 - 2 - MEMBERS, NONE HEARD"), qPrintable(words));
    tabs->setCurrentIndex(3);
    const QString csv = f.root.root() + "/members.csv";
    f.root.dialogs().saveFiles.enqueue(csv);
    named<QPushButton>(*window, "cmdSaveCsv")->click();
    QCOMPARE(
        FileBytes(csv), "county,call,name,city,last heard,due\r\nLEE,K4OLD,OLA,,2026-01-15,no\r\n");
    // The month before: no session.
    named<QComboBox>(*window, "cboStatsMonth")->setCurrentIndex(1);
    QCOMPARE(named<QLabel>(*window, "lblMonthTotals")->text(),
        u"SESSIONS 0   QNI 0   QTC 0   QTR 0 MINUTES"_s);
    window->close();
}

QTEST_MAIN(TestNetStats)
#include "tst_netstats.moc"
