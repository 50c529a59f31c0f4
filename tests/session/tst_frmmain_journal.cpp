#include "failingfs.h"
#include "maintenance/ui/deletedstationsframe.h"
#include "mainwindowfixture.h"
#include "qrz/ui/frmqrz.h"
#include "reports/ui/frmsessionlogs.h"
#include "session/netreport.h"
#include "session/sessionjournal.h"
#include "session/ui/journalkeeper.h"
#include "session/ui/netinfoframe.h"
#include "startup/ui/frmsplash.h"
#include "stationdb/atomicfile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

void AddStations(MainWindowFixture &f)
{
    f.root.writeStations("LEE",
        { Station("K4AA", "ANN", "", "", "OPELIKA"), Station("K4BB", "BEN", "", "", "AUBURN"),
            Station("K4CC", "CY") });
}

} // namespace

class TestFrmMainJournal : public QObject
{
    Q_OBJECT

private slots:
    void interruptedSessionIsOffered_data();
    void interruptedSessionIsOffered();
    void resumeIsAskedBeforeFirstStartWindows();
    void onlyASessionWithEventsIsOffered_data();
    void onlyASessionWithEventsIsOffered();
    void resumeComesBackToTheList_data();
    void resumeComesBackToTheList();
    void retiredStationsOutliveAStop();
    void retiredMemberIsOfferedBack_data();
    void retiredMemberIsOfferedBack();
    void resumeWritesOnlyStationFiles_data();
    void resumeWritesOnlyStationFiles();
    void checkinLogIsSavedWhereChosen();
    void journalFailureIsToldOnce();
};

void TestFrmMainJournal::interruptedSessionIsOffered_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes: the session goes on") << int(Yes);
    QTest::newRow("no: a fresh session, the old one kept as a log") << int(No);
}

void TestFrmMainJournal::interruptedSessionIsOffered()
{
    QFETCH(int, answer);
    MainWindowFixture f;
    AddStations(f);
    FrmMain &first = f.open();
    f.type("K4AA");
    f.type("W9ZZ");
    f.root.clock().advanceSeconds(60);
    f.type("K4BB");
    named<QListWidget>(first, "lst1")->setCurrentRow(0); // K4AA's line: the traffic is his
    QTest::mouseClick(named<QLabel>(first, "lblTraffic"), Qt::LeftButton);
    QTest::mouseClick(named<QLabel>(first, "lblTraffic"), Qt::LeftButton);
    const QStringList lines = f.lines(named<QListWidget>(first, "lst1"));
    // The program dies: no Exit, nothing saved but what the journal holds.
    f.window.reset();
    const QByteArray stations = f.root.stationBytes("LEE");

    f.root.clock().advanceSeconds(3600);
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    FrmMain &w = f.open();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].text,
        QString("THE SESSION OF 3/10/2026 19:00 (2 CHECK INS) DID NOT END. RESUME IT?"));
    QCOMPARE(f.root.stationBytes("LEE"), stations);

    if (answer == Yes) {
        QCOMPARE(f.lines("lst1") + f.lines("lstEarly"), lines + QStringList { "W9ZZ" });
        QCOMPARE(f.checkins() + named<QLabel>(w, "lblTraffic")->text(), QString("2 2"));
        // The net goes on where it stopped: a station checked in before is seen as such.
        f.type("K4BB");
        QCOMPARE(f.status(), QString("K4BB Is Already Checked in"));
    } else {
        QVERIFY(f.lines("lst1").isEmpty());
        QCOMPARE(f.checkins(), QString("0"));
        f.type("K4CC");
        QCOMPARE(f.checkins(), QString("1"));
    }

    // Exit without saving to the monthly report still ends the session with its log.
    f.root.dialogs().answers.enqueue(No);
    named<QAction>(w, "mnuFileExit")->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!QFileInfo::exists(f.root.paths().sessionJournal()));
    const QList<SessionLogEntry> logs = ListSessionLogs(f.root.paths());
    if (answer == Yes) {
        QCOMPARE(logs.size(), 1);
        QCOMPARE(logs[0].qni, 2);
    } else {
        QCOMPARE(logs.size(), 2);
        QCOMPARE(logs[1].qni, 2);
        QVERIFY(!logs[1].ended);
    }
    const QString report = NetReportOf(f.root.paths(), logs.last().name).value();
    QVERIFY2(report.contains("\nTRAFFIC BY STATION\nK4AA   2\n"), qPrintable(report));
    // Reports > Session Logs shows a chosen net report.
    f.window.reset();
    f.open();
    named<QAction>(*f.window, "mnuReportsSessionLogs")->trigger();
    auto *list = f.window->findChild<FrmSessionLogs *>();
    QVERIFY(list);
    QCOMPARE(named<QListWidget>(*list, "lstSessions")->count(), int(logs.size()));
    named<QListWidget>(*list, "lstSessions")->setCurrentRow(0);
    QCOMPARE(named<QPlainTextEdit>(*list, "txtReport")->toPlainText(),
        QString::fromUtf8(FileBytes(f.root.paths().netReport(logs[0].name))));
}

void TestFrmMainJournal::resumeIsAskedBeforeFirstStartWindows()
{
    // The first evening stopped before its first-run flag was kept: the next start would
    // offer the QRZ login and the instructions.
    MainWindowFixture f({}, { { "Settings", "User Name", "BOB" } });
    AddStations(f);
    f.open();
    f.type("K4AA");
    f.window.reset(); // killed
    QVERIFY(f.root.settings().remove("First", "Firstime"));

    // The start as the program runs it.
    FrmSplash splash(f.root.services(), f.context);
    ScriptedSplashSteps steps;
    steps.resume = [&] { AskToResumeFirst(f.root.services(), f.context); };
    steps.qrz = [&] { OfferQrzLogin(f.root.services(), f.context, &splash); };
    splash.setSteps(&steps);
    QStringList order;
    for (int i = 0; i < 2; ++i) {
        f.root.dialogs().modalScripts << [&](QDialog *d) {
            order << d->objectName() + QString::number(f.root.dialogs().messages.size());
            return int(QDialog::Rejected);
        };
    }
    f.root.dialogs().answers.enqueue(Yes);
    QVERIFY(splash.runLoadSequence());
    splash.handOver();
    FrmMain &w = f.open();
    // Asked once, before any window, and answered for the window that resumes.
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].title, QString("RESUME SESSION"));
    QCOMPARE(order, QStringList({ "frmQRZ1", "frmInstr1" }));
    QCOMPARE(f.checkins(), QString("1"));
    // Once the window shows, the first start is over for good, its look kept with it.
    w.show();
    QCOMPARE(f.root.settings().get("First", "Firstime"), QString("FALSE"));
    QVERIFY(!f.root.settings().get("Screen", "Size").isEmpty());
}

void TestFrmMainJournal::onlyASessionWithEventsIsOffered_data()
{
    QTest::addColumn<QString>("done");
    QTest::addColumn<int>("questions");
    QTest::newRow("started only: kept as a log, no question") << "" << 0;
    QTest::newRow("a traffic count is worth resuming") << "traffic" << 1;
    QTest::newRow("a non-listed call is worth resuming") << "W9ZZ" << 1;
}

void TestFrmMainJournal::onlyASessionWithEventsIsOffered()
{
    QFETCH(QString, done);
    QFETCH(int, questions);
    MainWindowFixture f;
    AddStations(f);
    FrmMain &first = f.open();
    if (done == "traffic")
        QTest::mouseClick(named<QLabel>(first, "lblTraffic"), Qt::LeftButton);
    else if (!done.isEmpty())
        f.type(done);
    f.window.reset(); // killed
    f.root.dialogs().answers.enqueue(No);
    f.open();
    QCOMPARE(f.root.dialogs().messages.size(), questions);
    // Either way the interrupted session is kept, and a fresh journal runs.
    QCOMPARE(ListSessionLogs(f.root.paths()).size(), 1);
    QVERIFY(QFileInfo::exists(f.root.paths().sessionJournal()));
}

void TestFrmMainJournal::resumeComesBackToTheList_data()
{
    QTest::addColumn<QStringList>("steps"); // calls typed and entries chosen, in turn
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("late list: only its own lines") << QStringList { "K4AA", "LATE CHECKINS",
        "K4BB" } << "LATE CHECKINS" << QStringList { "K4BB BEN LEE AUBURN" };
    QTest::newRow("a county: its members, the checked in ticked")
        << QStringList { "K4AA", "LEE" } << "LEE COUNTY MEMBERS"
        << QStringList { "K4   AA   ANN OPELIKA [x]", "K4   BB   BEN AUBURN", "K4   CC   CY" };
    QTest::newRow("early again after a county") << QStringList { "K4AA", "LEE", "EARLY CHECKINS",
        "K4BB" } << "EARLY CHECKINS" << QStringList { "K4BB BEN LEE AUBURN" };
}

void TestFrmMainJournal::resumeComesBackToTheList()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, caption);
    QFETCH(QStringList, shown);
    MainWindowFixture f;
    AddStations(f);
    f.open();
    for (const QString &step : steps) {
        if (step.startsWith('K'))
            f.type(step);
        else
            f.choose(step);
    }
    f.window.reset(); // killed
    f.root.dialogs().answers.enqueue(Yes);
    FrmMain &w = f.open();
    QCOMPARE(named<QGroupBox>(w, "FraStations")->title(), caption);
    QCOMPARE(named<QListWidget>(w, "lstCounties")->currentItem()->text(),
        caption.section(" COUNTY", 0, 0));
    QStringList lines;
    for (QListWidgetItem *line : named<QListWidget>(w, "lst1")->findItems("", Qt::MatchContains))
        lines << line->text().trimmed() + (line->checkState() == Qt::Checked ? " [x]" : "");
    QCOMPARE(lines, shown);
    QCOMPARE(f.checkins(), QString::number(steps.filter(QRegularExpression("^K4")).size()));
}

void TestFrmMainJournal::retiredStationsOutliveAStop()
{
    // Three members of BALDWIN not heard for two years; one deleted by the operator.
    auto due = [](const char *call, const char *name) {
        return Station(call, name, "BALDWIN", "", "BAY MINETTE", "3/1/2024");
    };
    MainWindowFixture f({ { "BALDWIN",
        { due("KA4DB", "DEB"), due("KA4EE", "EVE"), due("KA4FF", "FAY"), Station("K4NOW", "NED"),
            Station("K4DEL", "DEL", "BALDWIN", "", "FOLEY") } } });
    FrmMain &first = f.open();
    auto *deleted = first.findChild<DeletedStationsFrame *>("fraDeletedStations");
    f.choose("BALDWIN");
    QCOMPARE(f.lines(deleted->list()).size(), 3);
    // KA4DB restored before the stop.
    f.root.dialogs().menus = [](QMenu *menu, const QPoint &) {
        menu->findChild<QAction *>("mnuRestoreMember")->trigger();
    };
    emit deleted->list()->customContextMenuRequested(
        deleted->list()->visualItemRect(deleted->list()->item(0)).center());
    QCOMPARE(f.status(), QString("KA4DB RESTORED"));
    f.window.reset(); // killed

    f.root.dialogs().answers.enqueue(Yes);
    FrmMain &w = f.open();
    deleted = w.findChild<DeletedStationsFrame *>("fraDeletedStations");
    QCOMPARE(f.lines(deleted->list()), QStringList({ "KA4EE EVE BALDWIN", "KA4FF FAY BALDWIN" }));
    // Restore Member works as before the stop.
    f.root.dialogs().menus = [](QMenu *menu, const QPoint &) {
        menu->findChild<QAction *>("mnuRestoreMember")->trigger();
    };
    emit deleted->list()->customContextMenuRequested(
        deleted->list()->visualItemRect(deleted->list()->item(1)).center());
    QCOMPARE(f.status(), QString("KA4FF RESTORED"));
    const StationRecord back = f.root.record("BALDWIN", 2).trimmed();
    QCOMPARE(QStringList({ back.Call, back.Name, back.City }),
        QStringList({ "KA4FF", "FAY", "BAY MINETTE" }));
    // Every record retired is kept as it was, in readable text that is only added to.
    const QList<QByteArray> kept
        = FileBytes(f.root.paths().retiredStationsFile()).split('\n').mid(0, 3);
    QCOMPARE(kept.size(), 3);
    QCOMPARE(kept[1], "2026-03-10\tretired\tBaldwin.dat\t2\t" + due("KA4EE", "EVE").toBytes());
}

void TestFrmMainJournal::retiredMemberIsOfferedBack_data()
{
    QTest::addColumn<bool>("tonight"); // retired this session; else on an earlier night
    QTest::newRow("retired on an earlier night") << false;
    QTest::newRow("retired tonight") << true;
}

void TestFrmMainJournal::retiredMemberIsOfferedBack()
{
    QFETCH(bool, tonight);
    const StationRecord deb = Station("KA4DB", "DEB", "BALDWIN", "", "BAY MINETTE", "3/1/2024");
    MainWindowFixture f({ { "BALDWIN", { Station("K4NOW", "NED"), deb } } });
    f.open();
    f.choose("BALDWIN"); // not heard for two years: retired
    QCOMPARE(f.root.record("BALDWIN", 2).trimmed().Call, QString("VACANT"));
    if (!tonight) {
        f.window.reset();
        f.root.dialogs().answers.enqueue(No); // a fresh session
        f.open();
    }
    FrmMain &w = *f.window;
    auto *deleted = w.findChild<DeletedStationsFrame *>("fraDeletedStations");
    f.choose("EARLY CHECKINS");
    f.type("KA4DB");
    QCOMPARE(f.status(),
        QString("KA4DB RETIRED 3/10/2026 FROM BALDWIN - CTRL+ENTER RESTORES AND CHECKS IN"));
    QTest::keyClick(named<QLineEdit>(w, "txtChkin"), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.status(), QString("KA4DB CHECKED IN"));
    // Back as the member was: name, county and city, dated tonight; no longer unknown.
    StationRecord back = f.root.record("BALDWIN", 2).trimmed();
    QCOMPARE(QStringList({ back.Call, back.Name, back.County, back.City, back.LastDate }),
        QStringList({ "KA4DB", "DEB", "BALDWIN", "BAY MINETTE", "3/10/2026" }));
    QCOMPARE(f.checkins(), QString("1"));
    QVERIFY(f.lines("lstEarly").isEmpty());
    QVERIFY(f.lines(deleted->list()).isEmpty());
    // Typed again: found in its file, no offer.
    f.type("KA4DB");
    QCOMPARE(f.status(), QString("KA4DB Is Already Checked in"));
}

void TestFrmMainJournal::resumeWritesOnlyStationFiles_data()
{
    // The journal's last check-in, unconfirmed, would be finished in the file it names.
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("record");
    QTest::newRow("a file outside the data folder") << "../escape/victim.dat" << 1;
    QTest::newRow("a file the table does not have") << "Victim.dat" << 1;
    QTest::newRow("a record past the file") << "Lee.dat" << 101;
}

void TestFrmMainJournal::resumeWritesOnlyStationFiles()
{
    QFETCH(QString, file);
    QFETCH(int, record);
    MainWindowFixture f;
    AddStations(f);
    const QString data = f.root.paths().dataFolder();
    QDir().mkpath(f.root.root() + "/escape");
    const QString victim = f.root.root() + "/escape/victim.dat";
    QVERIFY(WriteFileAtomically(victim, f.root.stationBytes("LEE")).ok());
    const QByteArray lee = f.root.stationBytes("LEE");
    QDir().mkpath(f.root.paths().sessionsFolder());
    const QString at = "|2026-03-10T19:05:00|";
    QVERIFY(WriteFileAtomically(f.root.paths().sessionJournal(),
        SealedJournalLine("start|2026-03-10T19:00:00|BOB|K4XYZ|EARLY")
            + SealedJournalLine("checkin" + at + "1|K4AA|Lee.dat|1|ANN|LEE|OPELIKA|typed|K4AA")
            + SealedJournalLine("checkin" + at + "2|K4BB|" + file + "|" + QString::number(record)
                + "|BEN|LEE|AUBURN|typed|K4BB"))
                .ok());
    f.root.dialogs().answers.enqueue(Yes);
    f.open();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    QCOMPARE(f.root.dialogs().messages[0].text,
        "THE SESSION OF 3/10/2026 19:00 (1 CHECK INS) DID NOT END. RESUME IT?\n\n"
        "JOURNAL LINES SKIPPED: 1\nLINE 3: "
            + (record > 100 ? "NO RECORD 101 IN Lee.dat" : "NO STATION FILE " + file));
    // Nothing written outside the station files, nothing made; the rest of the net is back.
    QCOMPARE(FileBytes(victim), lee);
    QVERIFY(!QFileInfo::exists(data + "Victim.dat"));
    QCOMPARE(f.root.record("LEE", 2).LastDate.trimmed(), QString());
    QCOMPARE(f.lines("lst1"), QStringList { "K4AA" });
    QCOMPARE(f.checkins(), QString("1"));
}

void TestFrmMainJournal::checkinLogIsSavedWhereChosen()
{
    MainWindowFixture f;
    AddStations(f);
    FrmMain &w = f.open();
    f.type("K4BB");
    f.type("K4AA");
    const QString chosen = f.root.root() + "/tonight.csv";
    f.root.dialogs().saveFiles.enqueue(chosen);
    named<QAction>(w, "mnuFileSaveCheckinLog")->trigger();
    QCOMPARE(f.status(), "CHECK-IN LOG SAVED: " + chosen);
    QVERIFY(FileBytes(chosen).contains("\r\n19:00:00,K4AA,ANN,LEE,OPELIKA,typed,"));
    // A place that cannot be written is told, never shown as saved.
    f.root.dialogs().saveFiles.enqueue(f.root.root() + "/no such folder/tonight.csv");
    named<QAction>(w, "mnuFileSaveCheckinLog")->trigger();
    QVERIFY2(f.status().startsWith("CHECK-IN LOG NOT SAVED: "), qPrintable(f.status()));
}

void TestFrmMainJournal::journalFailureIsToldOnce()
{
    MainWindowFixture f;
    AddStations(f);
    FrmMain &w = f.open();
    const QString mark = " - JOURNAL NOT WRITTEN";
    auto full = std::make_unique<FullDisk>(f.root.paths().sessionsFolder());
    if (!full->isFull())
        QSKIP("cannot fill a disk here");
    f.type("W9ZZ");
    // What is left of the journal's last block takes a few lines; then nothing more.
    for (int click = 0; click < 200; ++click)
        named<QAction>(*f.window, "mnuEditAddTraffic")->trigger();
    QCoreApplication::processEvents();
    const QString reason
        = full->how() == "tmpfs" ? ": No space left on device" : ": File too large";
    QCOMPARE(
        f.status(), "SESSION JOURNAL NOT WRITTEN: " + f.root.paths().sessionJournal() + reason);
    // Told once: the next call's status stays, and the net goes on; the mark stays.
    f.type("W9YY");
    QCoreApplication::processEvents();
    QCOMPARE(
        f.status() + named<QLabel>(*f.window, "lblTraffic")->text(), QString("W9YY NOT FOUND 200"));
    QCOMPARE(f.lines("lstEarly"), QStringList({ "W9ZZ", "W9YY" }));
    QVERIFY2(w.windowTitle().endsWith(mark), qPrintable(w.windowTitle()));
    // Room again: the next event writes every line that waited, and the mark goes.
    full.reset();
    f.type("W9XX");
    QVERIFY(!w.windowTitle().contains(mark));
    const PendingSession pending = ReadPendingSession(f.root.paths());
    QCOMPARE(pending.skippedLines, 0);
    QCOMPARE(pending.state.nonListed, QStringList({ "W9ZZ", "W9YY", "W9XX" }));
    QCOMPARE(pending.state.traffic, 200);
}

QTEST_MAIN(TestFrmMainJournal)
#include "tst_frmmain_journal.moc"
