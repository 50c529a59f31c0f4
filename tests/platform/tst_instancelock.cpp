#include "platform/instancelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
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

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--hold-lock")
        return holdLock(QString::fromLocal8Bit(argv[2]));
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
