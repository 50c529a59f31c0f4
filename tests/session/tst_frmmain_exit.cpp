#include "mainwindowfixture.h"
#include "session/ui/netinfoframe.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace {
QList<StationRecord> stations(int count)
{
    QList<StationRecord> out;
    for (int i = 0; i < count; ++i)
        out << Station(QString("K4") + QChar(u'A' + i / 26) + QChar(u'A' + i % 26), "OP");
    return out;
}
} // namespace

class TestFrmMainExit : public QObject
{
    Q_OBJECT

private slots:
    void exitAddsTheSession_data();
    void exitAddsTheSession();
    void exitButtonTurnsGreen();
    void exitRemovesWhatAFailedUpdateLeft();
    void errorHandlerOnLoad_data();
    void errorHandlerOnLoad();
    void databaseUpdateNeverEmptiesTheWindow_data();
    void databaseUpdateNeverEmptiesTheWindow();
};

void TestFrmMainExit::exitAddsTheSession_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::newRow("exit button") << "button" << int(Yes);
    QTest::newRow("file exit") << "menu" << int(Yes);
    QTest::newRow("title bar") << "close" << int(Yes);
    QTest::newRow("no: ends, totals untouched") << "close" << int(No);
    QTest::newRow("cancel: the session goes on") << "close" << int(Cancel);
}

void TestFrmMainExit::exitAddsTheSession()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    MainWindowFixture f({ { "LEE", stations(14) } },
        { { "Report", "Sessions", "10" }, { "Report", "Checkins", "120" },
            { "Report", "Traffic", "7" } });
    FrmMain &w = f.open();
    w.show();
    for (const StationRecord &s : stations(14))
        f.type(s.Call);
    QTest::mouseClick(named<QLabel>(w, "lblTraffic"), Qt::LeftButton);
    QTest::mouseClick(named<QLabel>(w, "lblTraffic"), Qt::LeftButton);
    // The counters are only shown: what they read is no part of the totals.
    named<QLabel>(w, "lblChkins")->setText("CHECK INS");
    named<QLabel>(w, "lblTraffic")->setText("");
    const QStringList before { "10", "120", "7" }, added { "11", "134", "9" };
    auto report = [&f] {
        return QStringList { f.setting("Report", "Sessions"), f.setting("Report", "Checkins"),
            f.setting("Report", "Traffic") };
    };
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    if (how == "button")
        named<QPushButton>(w, "cmdExit")->click();
    else if (how == "menu")
        named<QAction>(w, "mnuFileExit")->trigger();
    else
        w.close();
    QCOMPARE(w.isVisible(), answer == Cancel);
    // A close that goes on offers the backup, No being the default.
    QCOMPARE(f.root.dialogs().messages.size(), answer == Cancel ? 1 : 2);
    if (answer != Cancel) {
        const auto &offer = f.root.dialogs().messages[1];
        QCOMPARE(QStringList({ offer.title, offer.text }),
            QStringList(
                { "BACKUP/RESTORE DATA FILES", "Do You Want To Process Your Data Files?" }));
        QCOMPARE(offer.defaultButton, No);
        QVERIFY(f.root.dialogs().modalWindows.isEmpty());
    }
    QCOMPARE(f.root.dialogs().messages[0].title, QString("SAVE SESSION"));
    QCOMPARE(f.root.dialogs().messages[0].text,
        QString("Do you want to save this Session's data to the monthly report?"));
    QCOMPARE(f.root.dialogs().messages[0].defaultButton, Cancel);
    if (answer == Cancel) { // a later exit still adds the whole session
        QCOMPARE(report(), before);
        f.root.dialogs().answers.enqueue(Yes);
        w.close();
        QVERIFY(!w.isVisible());
    }
    QCOMPARE(report(), answer == No ? before : added);
}

void TestFrmMainExit::exitButtonTurnsGreen()
{
    // Also: closing removes what a program update downloaded and clears its mark.
    MainWindowFixture f({}, { { "Settings", "VBUpdate", "True" } });
    QVERIFY(QDir().mkpath(f.root.paths().tempFolder() + "sub"));
    QFile leftover(f.root.paths().tempFolder() + "VorqBldUpdate.exe");
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    FrmMain &w = f.open();
    QTest::mousePress(named<QPushButton>(w, "cmdExit"), Qt::LeftButton);
    QVERIFY(named<QPushButton>(w, "cmdExit")->styleSheet().contains("rgb(0, 255, 0)"));
    f.root.dialogs().answers.enqueue(Cancel);
    QTest::mouseRelease(named<QPushButton>(w, "cmdExit"), Qt::LeftButton);
    QVERIFY(QDir(f.root.paths().tempFolder()).exists()); // the session goes on
    f.root.dialogs().answers.enqueue(No);
    f.root.dialogs().answers.enqueue(Yes); // the backup offer: its window, then the close goes on
    w.close();
    QCOMPARE(f.root.dialogs().modalWindows, QStringList { "frmProcessDataFiles" });
    QVERIFY(!w.isVisible());
    QVERIFY(!QDir(f.root.paths().tempFolder()).exists());
    QCOMPARE(f.setting("Settings", "VBUpdate"), QString("False"));
}

void TestFrmMainExit::exitRemovesWhatAFailedUpdateLeft()
{
    // A download that failed never set the mark; its remains go at the close all the same.
    MainWindowFixture f({}, { { "Settings", "VBUpdate", "False" } });
    QVERIFY(QDir().mkpath(f.root.paths().tempFolder()));
    QFile part(f.root.paths().tempFolder() + "VorqBldUpdate.zip.vorq-tmp-update");
    QVERIFY(part.open(QIODevice::WriteOnly) && part.write("half") == 4);
    part.close();
    FrmMain &w = f.open();
    f.root.dialogs().answers.enqueue(No);
    f.root.dialogs().answers.enqueue(No);
    w.close();
    QVERIFY(!QDir(f.root.paths().tempFolder()).exists());
    QCOMPARE(f.setting("Settings", "VBUpdate"), QString("False"));
}

void TestFrmMainExit::errorHandlerOnLoad_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("sessions");
    QTest::newRow("yes saves") << int(Yes) << "6";
    QTest::newRow("no ends") << int(No) << "5";
    QTest::newRow("cancel stays") << int(Cancel) << "5";
}

void TestFrmMainExit::errorHandlerOnLoad()
{
    QFETCH(int, answer);
    QFETCH(QString, sessions);
    MainWindowFixture f({}, { { "Report", "Sessions", "5" }, { "First", "Firstime", "FALSE" } });
    FrmMain &w = f.open();
    w.show();
    f.root.dialogs().answers.enqueue(Ok);
    f.root.dialogs().answers.enqueue(MsgButton(answer));
    w.ErrorHandler("File not found: DbFlag.txt");
    QCoreApplication::processEvents();
    QCOMPARE(w.isVisible(), answer == Cancel);
    QCOMPARE(f.setting("Report", "Sessions"), sessions);
    // No second save question and no backup offer once the error has ended the program;
    // only a saved session keeps the appearance.
    QCOMPARE(f.root.dialogs().messages.size(), 2);
    QCOMPARE(f.setting("Screen", "Size").isEmpty(), answer != Yes);
    QCOMPARE(f.root.dialogs().messages[0].icon, MsgIcon::Critical);
    QVERIFY(f.root.dialogs().messages[0].text.contains("DbFlag.txt"));
    QCOMPARE(f.root.dialogs().messages[1].text,
        QString("Do you want to save this Session's data to the monthly report?"));
}

void TestFrmMainExit::databaseUpdateNeverEmptiesTheWindow_data()
{
    QTest::addColumn<bool>("started"); // the updater was started at this start
    QTest::addColumn<int>("flagAfterMs"); // when the updater leaves its flag; -1 never
    QTest::addColumn<QString>("caption"); // how the caption ends
    QTest::newRow("download failed")
        << false << -1 << "dB Date: 03/01/2026   DATABASE DID NOT UPDATE";
    QTest::newRow("updater never finishes")
        << true << -1 << "dB Date: 03/01/2026   DATABASE DID NOT UPDATE";
    QTest::newRow("updater finishes while the load waits")
        << true << 200 << "dB Date: 05/10/2026  DATATBASE UPDATED";
}

void TestFrmMainExit::databaseUpdateNeverEmptiesTheWindow()
{
    QFETCH(bool, started);
    QFETCH(int, flagAfterMs);
    QFETCH(QString, caption);
    MainWindowFixture f({ { "LEE", { Station("K4LEE") } } },
        { { "Settings", "dBDate", "03/01/2026" }, { "NetCtl", "Tuesday", "BOB" } });
    f.context.ServerDbDate = "05/10/2026";
    f.context.DatabaseUpdateDue = true;
    f.context.DatabaseUpdateFlag = started;
    f.context.DatabaseWaitMs = 1500;
    const QString flag = f.root.paths().dataFolder() + "DbFlag.txt";
    if (flagAfterMs >= 0) {
        QTimer::singleShot(flagAfterMs, [flag] {
            QFile file(flag);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(
                QDateTime(QDate(2026, 5, 10), QTime(8, 0)), QFileDevice::FileModificationTime));
        });
    }
    FrmMain &w = f.open();
    // No error, and the whole window: counties, net control, a status line for the net.
    QVERIFY2(w.windowTitle().endsWith(caption), qPrintable(w.windowTitle()));
    QVERIFY(f.root.dialogs().messages.isEmpty());
    QVERIFY(!named<QListWidget>(w, "lstCounties")->findItems("LEE", Qt::MatchExactly).isEmpty());
    QCOMPARE(named<QListWidget>(w, "lstCounties")->currentRow(), 0);
    QVERIFY(!w.windowTitle().contains("WAITING"));
}

QTEST_MAIN(TestFrmMainExit)
#include "tst_frmmain_exit.moc"
