#include "roster/rosterschedule.h"
#include "testroot.h"

#include <QTest>

class TestRosterSchedule : public QObject
{
    Q_OBJECT

private slots:
    void alternates_data();
    void alternates();
    void idReminderOnlyForTheUser();
};

void TestRosterSchedule::alternates_data()
{
    QTest::addColumn<QStringList>("before"); // alternates 1 to 3, "" = absent
    QTest::addColumn<int>("deleted"); // 0: none
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("slot"); // then the free place
    QTest::addColumn<int>("listed"); // and the lines shown
    using L = QStringList;
    QTest::newRow("first of three") << L { "A", "B", "C" } << 1 << L { "B", "C", "" } << 3 << 2;
    QTest::newRow("second of three") << L { "A", "B", "C" } << 2 << L { "A", "C", "" } << 3 << 2;
    QTest::newRow("last of three") << L { "A", "B", "C" } << 3 << L { "A", "B", "" } << 3 << 2;
    // The first empty follower ends the moving.
    QTest::newRow("hole stops") << L { "", "", "C" } << 1 << L { "", "", "C" } << 1 << 0;
    QTest::newRow("nothing deleted") << L { "", "B", "C" } << 0 << L { "", "B", "C" } << 1 << 0;
    QTest::newRow("full") << L { "A", "B", "C" } << 0 << L { "A", "B", "C" } << 0 << 3;
    QTest::newRow("vacant reused")
        << L { "A", "VACANT", "C" } << 0 << L { "A", "VACANT", "C" } << 2 << 3;
    QTest::newRow("list stops at a hole")
        << L { "A", "", "C" } << 0 << L { "A", "", "C" } << 2 << 1;
}

void TestRosterSchedule::alternates()
{
    QFETCH(QStringList, before);
    QFETCH(int, deleted);
    QFETCH(QStringList, after);
    QFETCH(int, slot);
    QFETCH(int, listed);
    TestRoot root;
    SettingsStore &s = root.settings();
    for (int k = 1; k <= 3; ++k) {
        if (!before[k - 1].isEmpty())
            QVERIFY(s.save("AltNC", QString::number(k), before[k - 1]));
    }
    QVERIFY(DeleteAlternate(s, deleted).ok());
    QStringList stored;
    for (int k = 1; k <= 3; ++k)
        stored << s.get("AltNC", QString::number(k));
    QCOMPARE(stored, after);
    QCOMPARE(FreeAlternateSlot(s), slot);
    QCOMPARE(AlternateLines(s).size(), listed);
}

void TestRosterSchedule::idReminderOnlyForTheUser()
{
    QVERIFY(IdReminderFor(NetInfoLabel("CYRUS", "K4CCC"), "CYRUS"));
    QVERIFY(!IdReminderFor(NetInfoLabel("Cyrus", "K4CCC"), "CYRUS"));
    QVERIFY(!IdReminderFor(NetInfoLabel("CYRUSS", "K4CCC"), "CYRUS"));
}

QTEST_GUILESS_MAIN(TestRosterSchedule)
#include "tst_rosterschedule.moc"
