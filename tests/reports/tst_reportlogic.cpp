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
    void unwritableStoreKeepsTheSessionOpen();
    void period_data();
    void period();
};

void TestReportLogic::endSession_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<bool>("afterError");
    QTest::addColumn<MsgButton>("answer");
    QTest::addColumn<SessionEnd>("result");
    QTest::addColumn<QStringList>("expected");
    const QStringList month { "10", "120", "7" };
    const QString max = "2147483647";
    QTest::newRow("yes adds") << month << false << Yes << SessionEnd::Saved
                              << QStringList { "11", "134", "9" };
    QTest::newRow("first month") << QStringList { "", "", "" } << false << Yes << SessionEnd::Saved
                                 << QStringList { "1", "14", "2" };
    QTest::newRow("leading number") << QStringList { "3 x", "abc", " 5x" } << false << Yes
                                    << SessionEnd::Saved << QStringList { "4", "14", "7" };
    QTest::newRow("never wraps") << QStringList { max, "2147483640", max } << false << Yes
                                 << SessionEnd::Saved << QStringList { max, max, max };
    QTest::newRow("no") << month << false << No << SessionEnd::NotSaved << month;
    QTest::newRow("cancel") << month << false << Cancel << SessionEnd::Cancelled << month;
    QTest::newRow("error, yes") << month << true << Yes << SessionEnd::Saved
                                << QStringList { "11", "134", "9" };
    QTest::newRow("error, no") << month << true << No << SessionEnd::NotSaved << month;
    QTest::newRow("error, cancel") << month << true << Cancel << SessionEnd::Cancelled << month;
}

void TestReportLogic::endSession()
{
    QFETCH(QStringList, stored);
    QFETCH(bool, afterError);
    QFETCH(MsgButton, answer);
    QFETCH(SessionEnd, result);
    QFETCH(QStringList, expected);
    TestRoot root;
    const QStringList keys { "Sessions", "Checkins", "Traffic" };
    for (int i = 0; i < 3; ++i)
        root.settings().save("Report", keys[i], stored[i]);
    QFile file(root.settings().fileOf("VORQ"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    auto &dialogs = root.dialogs();
    if (afterError) {
        dialogs.answers << Ok << answer;
        QCOMPARE(ErrorHandlerDialogue(root.services(), nullptr, "Bad file", 14, 2), result);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[0].text, "Bad file");
        QCOMPARE(dialogs.messages[0].icon, MsgIcon::Critical);
    } else {
        dialogs.answers << answer;
        QCOMPARE(EndSession(root.services(), nullptr, 14, 2), result);
        QCOMPARE(dialogs.messages.size(), 1);
    }
    const DialogRecord &asked = dialogs.messages.last();
    QCOMPARE(asked.title, afterError ? QString() : "SAVE SESSION");
    QCOMPARE(asked.text, "Do you want to save this Session's data to the monthly report?");
    QCOMPARE(asked.icon, MsgIcon::Warning);
    QCOMPARE(asked.buttons, Yes | No | Cancel);
    QStringList totals;
    for (const QString &key : keys)
        totals << root.settings().get("Report", key);
    QCOMPARE(totals, expected);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll() == before, result != SessionEnd::Saved);
}

void TestReportLogic::unwritableStoreKeepsTheSessionOpen()
{
    TestRoot root;
    QFile blocker(root.root() + "/Settings"); // a file where the store's folder belongs
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QCOMPARE(EndSession(root.services(), nullptr, 14, 2), SessionEnd::Cancelled);
    QCOMPARE(root.dialogs().messages.size(), 2);
    QCOMPARE(root.dialogs().messages[1].icon, MsgIcon::Critical);
    QVERIFY(root.dialogs().messages[1].text.startsWith("The session could not be added"));
}

void TestReportLogic::period_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<QString>("named");
    const QDate january(2026, 1, 5);
    QTest::newRow("december in january") << january << QList<int> { 12 } << "DECEMBER 2025";
    QTest::newRow("december twice") << january << QList<int> { 12, 12 } << "DECEMBER 2025";
    QTest::newRow("december, november") << january << QList<int> { 12, 11 } << "NOVEMBER 2026";
}

void TestReportLogic::period()
{
    QFETCH(QDate, today);
    QFETCH(QList<int>, choices);
    QFETCH(QString, named);
    ReportPeriod period = InitialReportPeriod(today);
    for (int choice : choices)
        ChooseReportMonth(period, choice);
    QCOMPARE(ReportSubject(period.MonthName, ReportYear(period, today)),
             "TASKORA SECTION PHONE NET REPORT FOR " + named);
}

QTEST_GUILESS_MAIN(TestReportLogic)
#include "tst_reportlogic.moc"
