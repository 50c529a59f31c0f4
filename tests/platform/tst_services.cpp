#include "doubles.h"
#include "platform/clock.h"
#include "platform/keyfilter.h"
#include "platform/paths.h"
#include "platform/qtservices.h"
#include "startup/supportfiles.h"
#include "stationdb/settingsstore.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("VORQ_NOW"), qunsetenv("VORQ_ROOT"); }
    void clockFromEnvironment_data();
    void clockFromEnvironment();
    void productionServicesFollowRoot();
    void lockKeysPressedOnlyWhenDifferent_data();
    void lockKeysPressedOnlyWhenDifferent();
    void pathsUnderRoot();
    void keyFilterOnLineEdit_data();
    void keyFilterOnLineEdit();
    void printerWritesPdf();
    void installNeverOverwrites();
};

void TestServices::clockFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QDateTime>("start"); // invalid: the system time
    QTest::newRow("chosen moment")
        << QByteArray("1999-12-31T23:59:50") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 50));
    QTest::newRow("unset") << QByteArray() << QDateTime();
    QTest::newRow("no such month") << QByteArray("1999-13-01T19:00:00") << QDateTime();
    QTest::newRow("blank for T") << QByteArray("1999-12-31 19:00:00") << QDateTime();
    QTest::newRow("date only") << QByteArray("1999-12-31") << QDateTime();
}

void TestServices::clockFromEnvironment()
{
    QFETCH(QByteArray, value);
    QFETCH(QDateTime, start);
    value.isNull() ? qunsetenv("VORQ_NOW") : qputenv("VORQ_NOW", value);
    const QDateTime expected = start.isValid() ? start : QDateTime::currentDateTime();
    const auto clock = SystemClock::fromEnvironment();
    const QDateTime first = clock->now();
    QVERIFY2(expected.msecsTo(first) >= 0 && expected.msecsTo(first) < 5000,
        qPrintable(first.toString(Qt::ISODateWithMs)));
    // A clock frozen at the chosen moment would stop the ID reminder and the session times.
    QThread::msleep(30);
    QVERIFY(first.msecsTo(clock->now()) >= 30);
}

void TestServices::productionServicesFollowRoot()
{
    QTemporaryDir dir;
    qputenv("VORQ_ROOT", dir.path().toLocal8Bit());
    qputenv("VORQ_NOW", "2012-03-07T19:30:00");
    const Services s = MakeProductionServices();
    QCOMPARE(s.paths.root(), dir.path() + "/");
    QVERIFY(s.paths.isPortable());
    QCOMPARE(s.clock->today(), QDate(2012, 3, 7));
    QVERIFY(s.settings && s.dialogs && s.sounds && s.shell && s.keyboard && s.screen && s.printer);
    // Training on a practice root must never write into the operator's real settings.
    QVERIFY(s.settings->save("Settings", "User Name", "BOB"));
    QVERIFY(readAll(dir.path() + "/Settings/VORQ.ini").contains("BOB"));
    qunsetenv("VORQ_ROOT");
    QVERIFY(!Paths::fromEnvironment().isPortable());
}

void TestServices::lockKeysPressedOnlyWhenDifferent_data()
{
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("off to on") << false << true;
    QTest::newRow("on to off") << true << false;
    QTest::newRow("on stays") << true << true;
    QTest::newRow("off stays") << false << false;
}

void TestServices::lockKeysPressedOnlyWhenDifferent()
{
    QFETCH(bool, initial);
    QFETCH(bool, wanted);
    const int presses = initial == wanted ? 0 : 1;
    RecordingKeyboard keyboard;
    keyboard.settable = true;
    keyboard.caps = keyboard.num = initial;
    SetCapsLock(keyboard, wanted);
    QCOMPARE(keyboard.capsPresses, presses);
    QCOMPARE(keyboard.numPresses, 0); // the other key is left alone
    SetNumLock(keyboard, wanted);
    QCOMPARE(keyboard.numPresses, presses);
    QCOMPARE(keyboard.capsPresses, presses);
}

void TestServices::pathsUnderRoot()
{
    const QString tmp = QDir::tempPath() + "/my vorq", cwd = QDir::currentPath() + "/practice/";
    for (const auto &[given, r] :
        { std::pair { tmp, tmp + "/" }, std::pair { QString("practice/"), cwd } }) {
        const Paths p = Paths::underRoot(given);
        QCOMPARE(QStringList({ p.root(), p.dataFolder(), p.programFolder(), p.tempFolder(),
                     p.backupFolder(), p.appDataFolder(), p.driveRoot(), p.settingsFile("VORQ"),
                     p.settingsFile("Pelnet") }),
            QStringList({ r, r + "DatFiles/", r + "Version 1/", r + "Temp/", r + "FileBackup/",
                r + "AppData/", r, r + "Settings/VORQ.ini", r + "Settings/Pelnet.ini" }));
        QVERIFY(p.isPortable());
    }
}

void TestServices::keyFilterOnLineEdit_data()
{
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("call box") << FieldKind::Call << "k4-a/b 1!@#$%^&*()_+=.," << "k4ab 1";
    QTest::newRow("text box") << FieldKind::Text << "k4-a/b 1 st. clair, al" << "kab  st clair al";
}

void TestServices::keyFilterOnLineEdit()
{
    QFETCH(FieldKind, kind);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QLineEdit box;
    InstallKeyFilter(&box, kind);
    QSignalSpy entered(&box, &QLineEdit::returnPressed);
    QTest::keyClicks(&box, typed + "xy");
    QCOMPARE(box.text(), expected + "xy");
    // The editing keys still work.
    for (Qt::Key key : { Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Return })
        QTest::keyClick(&box, key);
    QCOMPARE(box.text(), expected);
    QCOMPARE(entered.count(), 1);
}

void TestServices::printerWritesPdf()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    QtPrinter printer(pdf);
    QCOMPARE(printer.count(), 1);
    // More lines than a page holds: the printer must start new pages, not stop.
    for (int i = 0; i < 400; ++i)
        printer.printLine({ PrintCell { 0, QStringLiteral("K4ABC") }, PrintCell { 20, "JIM" } });
    QVERIFY2(printer.endDocument(), qPrintable(printer.errorString()));
    const QByteArray bytes = readAll(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.count("/Type /Page") - bytes.count("/Type /Pages") > 1);

    QtPrinter nowhere(dir.filePath("no such folder/report.pdf"));
    nowhere.printText("K4ABC");
    QVERIFY(!nowhere.endDocument());
    QVERIFY(!nowhere.errorString().isEmpty());
}

void TestServices::installNeverOverwrites()
{
    QTemporaryDir dir;
    const QString userData = dir.filePath("AppData/Halvorsoft/");
    const QString program = dir.filePath("Version 1/");
    QString error;
    QVERIFY2(InstallProgramFiles(program, &error), qPrintable(error));
    QVERIFY(readAll(program + "ding.wav").startsWith("RIFF"));
    const QByteArray own = "the operator's own edited file";
    QVERIFY(QDir().mkpath(userData));
    for (const QString &path : { userData + "VorqPreamble.txt", program + "ding.wav" }) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(own) == own.size());
    }
    QVERIFY2(InstallSupportFiles(userData, &error), qPrintable(error));
    QVERIFY2(InstallProgramFiles(program, &error), qPrintable(error));
    QCOMPARE(readAll(userData + "VorqPreamble.txt"), own);
    QCOMPARE(readAll(program + "ding.wav"), own);
    // The files that were missing are installed all the same.
    const QStringList names = SupportFileNames();
    QVERIFY(names.contains("VorqPreamble.txt") && names.contains("VorqInst.txt"));
    for (const QString &name : names) {
        const QByteArray bytes = readAll(userData + name);
        QVERIFY2(!bytes.isEmpty(), qPrintable(name));
        QVERIFY2(!name.endsWith(".wav") || bytes.startsWith("RIFF"), qPrintable(name));
        QVERIFY2(!name.endsWith(".gif") || bytes.startsWith("GIF8"), qPrintable(name));
    }
    // A file where the folder belongs, and no folder at all.
    QVERIFY(!InstallSupportFiles(program + "ding.wav/Halvorsoft/", &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!InstallProgramFiles(QString(), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
