#include "doubles.h"
#include "platform/instancelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

// One copy of the program per root: the lock is held by a real second process here.
class TestInstanceLock : public QObject
{
    Q_OBJECT

private slots:
    void secondCopyRefusedUntilTheFirstDies();
    void lockOfAnotherProgramOrComputer_data();
    void lockOfAnotherProgramOrComputer();
};

namespace {
// The child: takes the lock of the root given, says so, and holds it until killed.
int holdLock(const QString &root)
{
    InstanceLock lock(Paths::underRoot(root));
    if (!lock.acquire())
        return 3;
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}
} // namespace

void TestInstanceLock::secondCopyRefusedUntilTheFirstDies()
{
    QTemporaryDir dir;
    QProcess first;
    first.start(QCoreApplication::applicationFilePath(), { "--hold-lock", dir.path() });
    QVERIFY(first.waitForReadyRead(10000));
    QCOMPARE(first.readAll().trimmed(), QByteArray("locked"));

    const Paths paths = Paths::underRoot(dir.path());
    InstanceLock second(paths);
    const Status refused = second.acquire();
    QVERIFY(!refused);
    QVERIFY2(refused.error().contains("already running")
            && refused.error().contains(QString::number(first.processId())),
        qPrintable(refused.error()));

    // A copy that died (power cut, kill) leaves its lock file; the next start takes it over.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(QFile::exists(paths.lockFile()));
    QVERIFY(second.acquire());
    InstanceLock third(paths);
    QVERIFY(!third.acquire());
}

void TestInstanceLock::lockOfAnotherProgramOrComputer_data()
{
    QTest::addColumn<QString>("holder"); // who wrote the lock
    QTest::addColumn<bool>("taken"); // taken over at once
    QTest::addColumn<int>("answer"); // to the question, when it is asked
    QTest::newRow("a live process of another program") << "other program" << true << 0;
    QTest::newRow("another computer, No") << "other computer" << false << int(No);
    QTest::newRow("another computer, Yes") << "other computer" << false << int(Yes);
}

void TestInstanceLock::lockOfAnotherProgramOrComputer()
{
    QFETCH(QString, holder);
    QFETCH(bool, taken);
    QFETCH(int, answer);
    QTemporaryDir dir;
    const Paths paths = Paths::underRoot(dir.path());
    QProcess other; // a live process that is not this program: its number is in use
    other.start("sleep", { "30" });
    QVERIFY(other.waitForStarted());
    const QString host = holder == "other computer" ? "shack-laptop" : QSysInfo::machineHostName();
    QFile lockFile(paths.lockFile());
    QVERIFY(lockFile.open(QIODevice::WriteOnly));
    lockFile.write(QString("%1\nVORQ\n%2\n").arg(other.processId()).arg(host).toUtf8());
    lockFile.close();
    const QDateTime since(QDate(2026, 12, 1), QTime(18, 55));
    QVERIFY(lockFile.open(QIODevice::ReadWrite)
        && lockFile.setFileTime(since, QFileDevice::FileModificationTime));
    lockFile.close();

    InstanceLock lock(paths);
    const Status first = lock.acquire();
    QCOMPARE(first.ok(), taken);
    QCOMPARE(lock.foreignLock().has_value(), !taken);
    if (!taken) {
        QVERIFY2(
            first.error().contains("shack-laptop") && first.error().contains("12/1/2026 18:55"),
            qPrintable(first.error()));
        ScriptedDialogs dialogs;
        dialogs.answers << MsgButton(answer);
        const bool takeOver = AskToTakeOverLock(dialogs, lock);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].defaultButton, No);
        QVERIFY(dialogs.messages[0].text.contains("shack-laptop"));
        QCOMPARE(takeOver, answer == Yes);
        if (takeOver)
            QVERIFY(lock.takeOver());
        taken = takeOver;
    }
    other.kill();
    other.waitForFinished();
    // Held here now, or still the other computer's: a second copy is refused either way.
    InstanceLock second(paths);
    QVERIFY(!second.acquire());
    QCOMPARE(second.foreignLock().has_value(), !taken);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--hold-lock")
        return holdLock(QString::fromLocal8Bit(argv[2]));
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
