#include "roster/rosterschedule.h"
#include "testroot.h"

#include <QTest>

class TestRosterSchedule : public QObject
{
    Q_OBJECT

private slots:
    void gapClosing_data();
    void gapClosing();
    void freeSlot_data();
    void freeSlot();
    void idReminder_data();
    void idReminder();
};

void TestRosterSchedule::gapClosing_data()
{
    QTest::addColumn<QStringList>("before"); // keys 1 to 3, "" = absent
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("first of three")
        << QStringList { "", "B", "C" } << 1 << QStringList { "B", "C", "" };
    QTest::newRow("second of three")
        << QStringList { "A", "", "C" } << 2 << QStringList { "A", "C", "" };
    QTest::newRow("last of three")
        << QStringList { "A", "B", "" } << 3 << QStringList { "A", "B", "" };
    QTest::newRow("only one") << QStringList { "", "", "" } << 1 << QStringList { "", "", "" };
    QTest::newRow("first of two") << QStringList { "", "B", "" } << 1
                                  << QStringList { "B", "", "" };
    // The first empty follower ends the moving.
    QTest::newRow("hole stops") << QStringList { "", "", "C" } << 1 << QStringList { "", "", "C" };
    QTest::newRow("nothing pending")
        << QStringList { "", "B", "C" } << 0 << QStringList { "", "B", "C" };
}

void TestRosterSchedule::gapClosing()
{
    QFETCH(QStringList, before);
    QFETCH(int, deleted);
    QFETCH(QStringList, after);
    TestRoot root;
    for (int k = 1; k <= 3; ++k) {
        if (!before[k - 1].isEmpty())
            root.settings().save("AltNC", QString::number(k), before[k - 1]);
    }
    CloseAlternateGap(root.settings(), deleted);
    QStringList stored;
    for (int k = 1; k <= 3; ++k)
        stored << root.settings().get("AltNC", QString::number(k));
    QCOMPARE(stored, after);
}

void TestRosterSchedule::freeSlot_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("listed");
    QTest::newRow("none stored") << QStringList { "", "", "" } << 1 << 0;
    QTest::newRow("one stored") << QStringList { "A 1", "", "" } << 2 << 1;
    QTest::newRow("full") << QStringList { "A 1", "B 2", "C 3" } << 0 << 3;
    QTest::newRow("vacant reused") << QStringList { "A 1", "VACANT", "C 3" } << 2 << 3;
    QTest::newRow("list stops at a hole") << QStringList { "A 1", "", "C 3" } << 2 << 1;
}

void TestRosterSchedule::freeSlot()
{
    QFETCH(QStringList, stored);
    QFETCH(int, slot);
    QFETCH(int, listed);
    TestRoot root;
    for (int k = 1; k <= 3; ++k) {
        if (!stored[k - 1].isEmpty())
            root.settings().save("AltNC", QString::number(k), stored[k - 1]);
    }
    QCOMPARE(FreeAlternateSlot(root.settings()), slot);
    QCOMPARE(AlternateLines(root.settings()).size(), listed);
}

void TestRosterSchedule::idReminder_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("on");
    QTest::newRow("own net") << "BOB   K4BOB"
                             << "BOB" << true;
    QTest::newRow("case differs") << "BOB   K4BOB"
                                  << "Bob" << false;
    QTest::newRow("prefix only") << "BOBBY   K4BOB"
                                 << "BOB" << false;
    QTest::newRow("someone else") << "AMY   K4AMY"
                                  << "BOB" << false;
    QTest::newRow("no user") << "AMY   K4AMY"
                             << "" << false;
}

void TestRosterSchedule::idReminder()
{
    QFETCH(QString, label);
    QFETCH(QString, user);
    QFETCH(bool, on);
    QCOMPARE(IdReminderFor(label, user), on);
}

QTEST_GUILESS_MAIN(TestRosterSchedule)
#include "tst_rosterschedule.moc"
