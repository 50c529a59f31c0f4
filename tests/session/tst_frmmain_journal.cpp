#include "failingfs.h"
#include "mainwindowfixture.h"
#include "reports/frmsessionlogs.h"
#include "session/netinfoframe.h"
#include "session/netreport.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>

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
    f.type("K4CC");
    first.lst1->setCurrentRow(2);
    first.mnuEditDeleteCheckin->trigger();
    QTest::mouseClick(first.lblTraffic(), Qt::LeftButton);
    QTest::mouseClick(first.lblTraffic(), Qt::LeftButton);
    const QStringList lines = f.lines(first.lst1);
    QCOMPARE(lines, QStringList({ "K4AA ANN LEE OPELIKA", "K4BB BEN LEE AUBURN" }));
    // The program dies: no Exit, nothing saved but what the journal holds.
    f.window.reset();
    const QByteArray stations = f.root.stationBytes("LEE");

    f.root.clock().advanceSeconds(3600);
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    FrmMain &w = f.open();
    QCOMPARE(f.root.dialogs().messages.size(), 1);
    const DialogRecord question = f.root.dialogs().messages[0];
    QCOMPARE(question.title, QString("RESUME SESSION"));
    QCOMPARE(question.text,
        QString("THE SESSION OF 3/10/2026 19:00 (2 CHECK INS) DID NOT END. RESUME IT?"));
    QCOMPARE(question.buttons, Yes | No);
    QCOMPARE(question.defaultButton, Yes);
    QCOMPARE(f.root.stationBytes("LEE"), stations);

    if (answer == Yes) {
        QCOMPARE(f.lines(w.lst1), lines);
        QCOMPARE(f.lines(w.lstEarly), QStringList { "W9ZZ" });
        QCOMPARE(f.checkins(), QString("2"));
        QCOMPARE(w.lblTraffic()->text(), QString(" 2"));
        // The net goes on where it stopped: a station checked in before is seen as such.
        f.type("K4BB");
        QCOMPARE(f.status(), QString("K4BB Is Already Checked in"));
        f.type("K4CC");
        QCOMPARE(f.checkins(), QString("3"));
    } else {
        QVERIFY(f.lines(w.lst1).isEmpty());
        QVERIFY(f.lines(w.lstEarly).isEmpty());
        QCOMPARE(f.checkins(), QString("0"));
        QCOMPARE(w.lblTraffic()->text(), QString("0"));
        f.type("K4CC");
        QCOMPARE(f.checkins(), QString("1"));
    }

    // Exit without saving to the monthly report still ends the session with its log.
    f.root.dialogs().answers.enqueue(No);
    w.mnuFileExit->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!QFileInfo::exists(f.root.paths().sessionJournal()));
    const QList<SessionLogEntry> logs = ListSessionLogs(f.root.paths());
    if (answer == Yes) {
        QCOMPARE(logs.size(), 1);
        QCOMPARE(logs[0].qni, 3);
        QCOMPARE(logs[0].qtc, 2);
        QVERIFY(logs[0].ended);
    } else {
        QCOMPARE(logs.size(), 2);
        QCOMPARE(logs[0].start.time(), QTime(20, 1)); // newest first
        QCOMPARE(logs[0].qni, 1);
        QVERIFY(logs[0].ended);
        QCOMPARE(logs[1].qni, 2);
        QVERIFY(!logs[1].ended);
    }

    // Reports > Session Logs lists them and shows a chosen net report.
    f.window.reset();
    f.open();
    f.window->mnuReportsSessionLogs->trigger();
    auto *list = f.window->findChild<FrmSessionLogs *>();
    QVERIFY(list);
    QCOMPARE(list->lstSessions->count(), int(logs.size()));
    QVERIFY(list->lstSessions->item(0)->text().contains(QString("QNI   %1").arg(logs[0].qni)));
    QCOMPARE(list->lstSessions->item(int(logs.size()) - 1)->text().endsWith("DID NOT END"),
        answer == No);
    list->lstSessions->setCurrentRow(0);
    QCOMPARE(list->txtReport->toPlainText(),
        QString::fromUtf8(FileBytes(f.root.paths().netReport(logs[0].name))));
    QVERIFY(list->txtReport->toPlainText().contains("K4CC"));
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
    w.mnuFileSaveCheckinLog->trigger();
    QCOMPARE(f.status(), "CHECK-IN LOG SAVED: " + chosen);
    QCOMPARE(FileBytes(chosen),
        QByteArray("time,call,name,county,city,kind\r\n"
                   "19:00:00,K4BB,BEN,LEE,AUBURN,typed\r\n"
                   "19:00:00,K4AA,ANN,LEE,OPELIKA,typed\r\n"));
    // Cancelled: nothing is written and the status line stays.
    QVERIFY(QFile::remove(chosen));
    w.mnuFileSaveCheckinLog->trigger();
    QVERIFY(!QFileInfo::exists(chosen));
    QCOMPARE(f.status(), "CHECK-IN LOG SAVED: " + chosen);
    // A place that cannot be written is told, never shown as saved.
    f.root.dialogs().saveFiles.enqueue(f.root.root() + "/no such folder/tonight.csv");
    w.mnuFileSaveCheckinLog->trigger();
    QVERIFY2(f.status().startsWith("CHECK-IN LOG NOT SAVED: "), qPrintable(f.status()));
    QCOMPARE(f.root.sounds().played.last(), SoundName::Notify());
}

void TestFrmMainJournal::journalFailureIsToldOnce()
{
    MainWindowFixture f;
    AddStations(f);
    f.open();
    FullDisk full(f.root.paths().sessionsFolder());
    if (!full.isFull())
        QSKIP("cannot fill a disk here");
    f.type("W9ZZ");
    // What is left of the journal's last block takes a few lines; then nothing more.
    for (int click = 0; click < 200; ++click)
        f.window->lblTraffic_MouseDown(Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY2(
        f.status().startsWith("SESSION JOURNAL NOT WRITTEN: " + f.root.paths().sessionJournal()),
        qPrintable(f.status()));
    f.type("W9YY");
    QCoreApplication::processEvents();
    QCOMPARE(f.status(), QString("W9YY NOT FOUND"));
    QCOMPARE(f.lines(f.window->lstEarly), QStringList({ "W9ZZ", "W9YY" }));
    QCOMPARE(f.window->lblTraffic()->text(), QString(" 200"));
}

QTEST_MAIN(TestFrmMainJournal)
#include "tst_frmmain_journal.moc"
