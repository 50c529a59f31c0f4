#include "failingfs.h"
#include "reports/monthlytotals.h"
#include "reports/reporttext.h"
#include "reports/sessionend.h"
#include "testroot.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(MsgButton)
Q_DECLARE_METATYPE(SessionEnd)

class TestReportLogic : public QObject
{
    Q_OBJECT

private slots:
    void endSession_data();
    void endSession();
    void failedSaveKeepsTheSessionOpen();
    void fullDiskKeepsTheMonth_data();
    void fullDiskKeepsTheMonth();
    void period_data();
    void period();
};

void TestReportLogic::endSession_data()
{
    QTest::addColumn<bool>("afterError");
    QTest::addColumn<MsgButton>("answer");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("expected");
    const QStringList month { "10", "120", "7" }, added { "11", "134", "9" };
    const QString max = "2147483647";
    QTest::newRow("yes adds") << false << Yes << month << added;
    QTest::newRow("leading number, never wraps")
        << false << Yes << QStringList { "3 x", "2147483640", max }
        << QStringList { "4", max, max };
    QTest::newRow("cancel") << false << Cancel << month << month;
    QTest::newRow("error, yes") << true << Yes << month << added;
}

void TestReportLogic::endSession()
{
    QFETCH(bool, afterError);
    QFETCH(MsgButton, answer);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, expected);
    const SessionEnd result = answer == Yes ? SessionEnd::Saved
        : answer == No                      ? SessionEnd::NotSaved
                                            : SessionEnd::Cancelled;
    TestRoot root;
    const QStringList keys { "Sessions", "Checkins", "Traffic" };
    for (int i = 0; i < 3; ++i)
        QVERIFY(root.settings().save("Report", keys[i], stored[i]));
    const QByteArray before = root.settingsBytes();

    auto &dialogs = root.dialogs();
    dialogs.answers << answer;
    if (afterError) {
        dialogs.answers.prepend(Ok);
        QCOMPARE(ErrorHandlerDialogue(root.services(), nullptr, "Bad file", 14, 2), result);
        QCOMPARE(dialogs.messages[0].text, "Bad file");
    } else {
        QCOMPARE(EndSession(root.services(), nullptr, 14, 2), result);
    }
    QCOMPARE(dialogs.messages.last().buttons, Yes | No | Cancel);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(root.settings().get("Report", keys[i]), expected[i]);
    QCOMPARE(root.settingsBytes() == before, result != SessionEnd::Saved);
}

void TestReportLogic::failedSaveKeepsTheSessionOpen()
{
    TestRoot root({},
        { { "Report", "Sessions", "10" }, { "Report", "Checkins", "120" },
            { "Report", "Traffic", "7" } });
    const QByteArray before = root.settingsBytes();
    {
        FullDisk disk(root.root());
        if (!disk.isFull())
            QSKIP("cannot make the disk full here");
        root.dialogs().answers << Yes << Ok;
        QCOMPARE(EndSession(root.services(), nullptr, 14, 2), SessionEnd::Cancelled);
        const DialogRecord &told = root.dialogs().messages.value(1);
        QCOMPARE(told.icon, MsgIcon::Critical);
        // Which file, and why.
        QVERIFY2(told.text.startsWith("The session could not be added to the monthly report.\n"
                                      "SETTINGS NOT SAVED: "
                     + QFileInfo(root.settings().fileOf("VORQ")).absolutePath()),
            qPrintable(told.text));
    }
    QCOMPARE(root.settingsBytes(), before);
    // Tried again once the fault is gone, the session counts once.
    root.dialogs().answers << Yes;
    QCOMPARE(EndSession(root.services(), nullptr, 14, 2), SessionEnd::Saved);
    QCOMPARE(LoadMonthlyTotals(root.settings()), (MonthlyTotals { 11, 134, 9 }));
}

void TestReportLogic::fullDiskKeepsTheMonth_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("reset") << 1;
    QTest::newRow("new-member list") << 2;
}

void TestReportLogic::fullDiskKeepsTheMonth()
{
    QFETCH(int, step);
    TestRoot root({},
        { { "Report", "Sessions", "10" }, { "Report", "Checkins", "120" },
            { "Report", "Traffic", "7" }, { "Report", "ResetReport", "False" },
            { "NewMember", "0", "K4AAA AL" }, { "NewMember", "1", "K4BBB BO" } });
    SettingsStore &settings = root.settings();
    const QByteArray before = root.settingsBytes();
    FullDisk disk(root.root());
    if (!disk.isFull())
        QSKIP("cannot make the disk full here");
    const Status saved
        = step == 1 ? ResetMonthlyReport(settings) : SaveNewMemberList(settings, { "K4CCC CY" });
    QVERIFY(!saved.ok());
    QVERIFY2(saved.error().startsWith(settings.fileOf("VORQ") + ": "), qPrintable(saved.error()));
    QCOMPARE(root.settingsBytes(), before);
}

void TestReportLogic::period_data()
{
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<QString>("named");
    QTest::newRow("december in january") << QList<int> { 12 } << "DECEMBER 2025";
    QTest::newRow("december, november") << QList<int> { 12, 11 } << "NOVEMBER 2026";
    QTest::newRow("december, january") << QList<int> { 12, 1 } << "JANUARY 2026";
    QTest::newRow("no month 0 or 13") << QList<int> { 12, 0, 13 } << "DECEMBER 2025";
}

void TestReportLogic::period()
{
    QFETCH(QList<int>, choices);
    QFETCH(QString, named);
    const QDate january(2026, 1, 5);
    ReportPeriod period = InitialReportPeriod(january);
    for (int choice : choices)
        ChooseReportMonth(period, choice);
    QCOMPARE(ReportSubject(period.MonthName, ReportYear(period, january)),
        "TASKORA SECTION PHONE NET REPORT FOR " + named);
}

QTEST_GUILESS_MAIN(TestReportLogic)
#include "tst_reportlogic.moc"
