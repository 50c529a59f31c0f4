#include "reports/monthlytotals.h"
#include "stationdb/atomicfile.h"
#include "testroot.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <chrono>
#include <thread>

// Adding a session must never be half done: wherever the program is killed, the three
// totals of the month stay in step and the store stays readable.
class TestInterruptedTotals : public QObject
{
    Q_OBJECT

private slots:
    void killedAtAnyMoment();
};

void TestInterruptedTotals::killedAtAnyMoment()
{
    const int Kills = SlowTestRuns(200);
    constexpr qint32 Checkins = 7;
    constexpr qint32 Traffic = 3;
    TestRoot root({}, { { "Settings", "QRZ PW", "password=secret" } });
    SettingsStore &settings = root.settings();
    QRandomGenerator random(20260310); // the same moments on every run
    // Fewer kills run in the sanitizer build, where a save takes several times longer: the
    // kills spread over a longer time, so that saves still complete between them.
    const int window = Kills < 200 ? 60000 : 12000;
    for (int kill = 0; kill < Kills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(TOTALS_WRITER),
            { root.root(), QString::number(Checkins), QString::number(Traffic) });
        QVERIFY2(writer.waitForReadyRead(), qPrintable(writer.errorString()));
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(window)));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        // Still adding when it was killed: it did not give up with an error of its own.
        QVERIFY2(
            writer.exitStatus() == QProcess::CrashExit, writer.readAllStandardError().constData());

        const Result<MonthlyTotals> totals = ReadMonthlyTotals(settings);
        QVERIFY2(totals.ok(), qPrintable(totals.error()));
        QCOMPARE(totals->Checkins, Checkins * totals->Sessions);
        QCOMPARE(totals->Traffic, Traffic * totals->Sessions);
        QCOMPARE(settings.get("Settings", "QRZ PW"), "password=secret");
    }
    QVERIFY(LoadMonthlyTotals(settings).Sessions > 0);
    // A kill leaves nothing beside the store but temporary files of ours: they do not hinder
    // the next save, and the clean-up of leftovers recognises every one of them.
    QVERIFY(AddSessionToStoredTotals(settings, Checkins, Traffic).ok());
    const QString folder = root.paths().settingsFolder();
    RemoveLeftoverTemporaries(folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "VORQ.ini" });
}

QTEST_GUILESS_MAIN(TestInterruptedTotals)
#include "tst_interruptedtotals.moc"
