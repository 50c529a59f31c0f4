#include "stationdb/folders.h"
#include "stationdb/paths.h"
#include "stationdb/textforms.h"
#include "testroot.h"

#include <QTest>

class TestTextForms : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void parseDate_data();
    void parseDate();
    void englishNames();
    void folders();
};

void TestTextForms::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("whole"); // accepted as a whole number (a total typed in the editor)
    QTest::newRow("plain") << "120" << 120 << true;
    QTest::newRow("trailing text") << "12abc" << 12 << false;
    QTest::newRow("leading blank counter") << " 3" << 3 << true;
    QTest::newRow("negative") << "-4" << -4 << false;
    QTest::newRow("fraction rounds") << "2.6" << 3 << false;
    QTest::newRow("huge clamps") << "99999999999999" << 2147483647 << false;
    QTest::newRow("huge negative clamps") << "-99999999999999" << (-2147483647 - 1) << false;
    QTest::newRow("letter O for a zero") << "1O0" << 1 << false;
}

void TestTextForms::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(bool, whole);
    QCOMPARE(LeadingInt(text), value);
    QCOMPARE(WholeNumber(text).has_value(), whole);
    if (whole)
        QCOMPARE(*WholeNumber(text), value);
}

void TestTextForms::parseDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isDate");
    QTest::newRow("padded record field") << "3/7/2012  " << true;
    QTest::newRow("month 13") << "13/1/2020" << false;
    QTest::newRow("february 30") << "2/30/2020" << false;
    QTest::newRow("iso") << "2020-01-02" << false;
    QTest::newRow("two-digit year") << "1/2/20" << false;
}

void TestTextForms::parseDate()
{
    QFETCH(QString, text);
    QFETCH(bool, isDate);
    QCOMPARE(ParseDateText(text).has_value(), isDate);
}

void TestTextForms::englishNames()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(
        EnglishMonthName(3) + EnglishDayName(QDate(2026, 12, 6)), QStringLiteral("MarchSunday"));
    QLocale::setDefault(QLocale::c());
}

void TestTextForms::folders()
{
    TestRoot root;
    QCOMPARE(InitUserDataFolder(root.paths()), root.paths().appDataFolder() + "Halvorsoft/");
    QVERIFY(IsFolder(root.paths().appDataFolder()));
    QVERIFY(!IsFolder(root.paths().appDataFolder() + "missing") && !IsFolder(QString()));
}

QTEST_GUILESS_MAIN(TestTextForms)
#include "tst_textforms.moc"
