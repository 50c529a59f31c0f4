#include "startup/seasons.h"

#include <QTest>

class TestSeasons : public QObject
{
    Q_OBJECT

private slots:
    void ruleMatchesPublishedDates_data();
    void ruleMatchesPublishedDates();
    void decision_data();
    void decision();
    void christmas_data();
    void christmas();
};

void TestSeasons::ruleMatchesPublishedDates_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("forward"); // Saturday notices; the changes fall the day after
    QTest::addColumn<QString>("back");
    const auto row = [](int year, const char *forward, const char *back) {
        QTest::newRow(QByteArray::number(year)) << year << QString(forward) << QString(back);
    };
    row(2018, "03/10", "11/03");
    row(2020, "03/07", "10/31");
    row(2024, "03/09", "11/02");
    // Beyond the published years the rule carries on.
    row(2027, "03/13", "11/06");
    row(2007, "03/10", "11/03");
    row(2036, "03/08", "11/01");
}

void TestSeasons::ruleMatchesPublishedDates()
{
    QFETCH(int, year);
    QFETCH(QString, forward);
    QFETCH(QString, back);
    const auto dates = DstDatesFor(year);
    QVERIFY(dates);
    QCOMPARE(dates->forwardNotice.toString("MM/dd"), forward);
    QCOMPARE(dates->backNotice.toString("MM/dd"), back);
    QCOMPARE(dates->daylightFrom, dates->forwardNotice.addDays(1));
    QCOMPARE(dates->standardFrom, dates->backNotice.addDays(1));
}

void TestSeasons::decision_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("notice");
    QTest::addColumn<QString>("store"); // "", "True", "False"
    const int none = int(DstNotice::None), fwd = int(DstNotice::Forward),
              back = int(DstNotice::Back);
    QTest::newRow("forward notice") << QDate(2018, 3, 10) << fwd << "";
    QTest::newRow("change day") << QDate(2018, 3, 11) << none << "True";
    QTest::newRow("back notice in October") << QDate(2020, 10, 31) << back << "";
    QTest::newRow("first of November") << QDate(2020, 11, 1) << none << "False";
    QTest::newRow("November before change") << QDate(2024, 11, 2) << back << "";
    QTest::newRow("November 1 before change") << QDate(2024, 11, 1) << none << "";
    QTest::newRow("before the rule") << QDate(2006, 3, 11) << none << "";
}

void TestSeasons::decision()
{
    QFETCH(QDate, today);
    QFETCH(int, notice);
    QFETCH(QString, store);
    const DstDecision d = DecideDst(today);
    QCOMPARE(int(d.notice), notice);
    QCOMPARE(d.daylightTime ? (*d.daylightTime ? "True" : "False") : "", store);
}

void TestSeasons::christmas_data()
{
    QTest::addColumn<QString>("day"); // of December
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<bool>("due");
    QTest::newRow("first start on the 18th") << "18" << true << true;
    QTest::newRow("later start on the 18th") << "18" << false << false;
    QTest::newRow("later start on the 19th") << "19" << false << true;
    QTest::newRow("the 25th") << "25" << false << true;
    QTest::newRow("the 26th") << "26" << true << false;
}

void TestSeasons::christmas()
{
    QFETCH(QString, day);
    QFETCH(bool, firstStart);
    QFETCH(bool, due);
    QCOMPARE(ChristmasWindowDue("12", day, firstStart), due);
    QVERIFY(!ChristmasWindowDue("11", day, firstStart));
}

QTEST_GUILESS_MAIN(TestSeasons)
#include "tst_seasons.moc"
