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
    QTest::addColumn<bool>("afterError");
    QTest::addColumn<MsgButton>("answer");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("expected");
    const QStringList month { "10", "120", "7" }, added { "11", "134", "9" };
    const QString max = "2147483647";
    QTest::newRow("yes adds") << false << Yes << month << added;
    QTest::newRow("first month") << false << Yes << QStringList { "", "", "" }
                                 << QStringList { "1", "14", "2" };
    QTest::newRow("leading number, never wraps")
        << false << Yes << QStringList { "3 x", "2147483640", max } << QStringList { "4", max, max };
    QTest::newRow("no") << false << No << month << month;
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
        root.settings().save("Report", keys[i], stored[i]);
    const auto storeBytes = [&] {
        QFile file(root.settings().fileOf("VORQ"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = storeBytes();

    auto &dialogs = root.dialogs();
    dialogs.answers << answer;
    if (afterError) {
        dialogs.answers.prepend(Ok);
        QCOMPARE(ErrorHandlerDialogue(root.services(), nullptr, "Bad file", 14, 2), result);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[0].text, "Bad file");
        QCOMPARE(dialogs.messages[0].icon, MsgIcon::Critical);
    } else {
        QCOMPARE(EndSession(root.services(), nullptr, 14, 2), result);
        QCOMPARE(dialogs.messages.size(), 1);
    }
    const DialogRecord &asked = dialogs.messages.last();
    QCOMPARE(asked.title, afterError ? QString() : "SAVE SESSION");
    QCOMPARE(asked.text, "Do you want to save this Session's data to the monthly report?");
    QCOMPARE(asked.icon, MsgIcon::Warning);
    QCOMPARE(asked.buttons, Yes | No | Cancel);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(root.settings().get("Report", keys[i]), expected[i]);
    QCOMPARE(storeBytes() == before, result != SessionEnd::Saved);
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
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<QString>("named");
    QTest::newRow("december in january") << QList<int> { 12 } << "DECEMBER 2025";
    QTest::newRow("december twice") << QList<int> { 12, 12 } << "DECEMBER 2025";
    QTest::newRow("december, november") << QList<int> { 12, 11 } << "NOVEMBER 2026";
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
