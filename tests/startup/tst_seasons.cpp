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
};

void TestSeasons::ruleMatchesPublishedDates_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("forward");
    QTest::addColumn<QString>("daylight");
    QTest::addColumn<QString>("back");
    QTest::addColumn<QString>("standard");
    QTest::newRow("2018") << 2018 << "03/10"
                          << "03/11"
                          << "11/03"
                          << "11/04";
    QTest::newRow("2019") << 2019 << "03/09"
                          << "03/10"
                          << "11/02"
                          << "11/03";
    QTest::newRow("2020") << 2020 << "03/07"
                          << "03/08"
                          << "10/31"
                          << "11/01";
    QTest::newRow("2021") << 2021 << "03/13"
                          << "03/14"
                          << "11/06"
                          << "11/07";
    QTest::newRow("2022") << 2022 << "03/12"
                          << "03/13"
                          << "11/05"
                          << "11/06";
    QTest::newRow("2023") << 2023 << "03/11"
                          << "03/12"
                          << "11/04"
                          << "11/05";
    QTest::newRow("2024") << 2024 << "03/09"
                          << "03/10"
                          << "11/02"
                          << "11/03";
    QTest::newRow("2025") << 2025 << "03/08"
                          << "03/09"
                          << "11/01"
                          << "11/02";
    QTest::newRow("2026") << 2026 << "03/07"
                          << "03/08"
                          << "10/31"
                          << "11/01";
    // Beyond the published years the rule carries on.
    QTest::newRow("2027") << 2027 << "03/13"
                          << "03/14"
                          << "11/06"
                          << "11/07";
    QTest::newRow("2007 first year") << 2007 << "03/10"
                                     << "03/11"
                                     << "11/03"
                                     << "11/04";
    QTest::newRow("2036 leap") << 2036 << "03/08"
                               << "03/09"
                               << "11/01"
                               << "11/02";
}

void TestSeasons::ruleMatchesPublishedDates()
{
    QFETCH(int, year);
    QFETCH(QString, forward);
    QFETCH(QString, daylight);
    QFETCH(QString, back);
    QFETCH(QString, standard);
    const auto dates = DstDatesFor(year);
    QVERIFY(dates);
    QCOMPARE(dates->forwardNotice.toString("MM/dd"), forward);
    QCOMPARE(dates->daylightFrom.toString("MM/dd"), daylight);
    QCOMPARE(dates->backNotice.toString("MM/dd"), back);
    QCOMPARE(dates->standardFrom.toString("MM/dd"), standard);
    QCOMPARE(dates->forwardNotice.dayOfWeek(), int(Qt::Saturday));
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
    QTest::newRow("early March") << QDate(2018, 3, 9) << none << "";
    QTest::newRow("back notice in October") << QDate(2020, 10, 31) << back << "";
    QTest::newRow("first of November") << QDate(2020, 11, 1) << none << "False";
    QTest::newRow("back notice in November") << QDate(2025, 11, 1) << back << "";
    QTest::newRow("November before change") << QDate(2024, 11, 2) << back << "";
    QTest::newRow("November 1 before change") << QDate(2024, 11, 1) << none << "";
    QTest::newRow("June") << QDate(2024, 6, 15) << none << "";
    QTest::newRow("2027 forward") << QDate(2027, 3, 13) << fwd << "";
    QTest::newRow("2027 daylight") << QDate(2027, 3, 14) << none << "True";
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

QTEST_GUILESS_MAIN(TestSeasons)
#include "tst_seasons.moc"
