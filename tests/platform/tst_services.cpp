#include "platform/clock.h"
#include "platform/keyfilter.h"
#include "platform/paths.h"
#include "platform/qtservices.h"
#include "platform/services.h"
#include "startup/supportfiles.h"
#include "stationdb/settingsstore.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

// Sets or clears an environment variable for one test and puts the old value back after.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value) : m_name(name)
    {
        m_had = qEnvironmentVariableIsSet(name);
        m_old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had = false;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void clockStartsAtChosenMomentAndRunsOn();
    void clockFallsBackToSystemTime_data();
    void clockFallsBackToSystemTime();
    void productionServicesFollowEnvironment();

    void lockKeysPressedOnlyWhenDifferent_data();
    void lockKeysPressedOnlyWhenDifferent();

    void pathsUnderRoot_data();
    void pathsUnderRoot();
    void settingsStoreWritesUnderRoot();
    void pathsFromEnvironmentHonoursRoot();
    void pathsWithoutRootAreNotPortable();

    void keyFilterOnLineEdit_data();
    void keyFilterOnLineEdit();
    void keyFilterKeepsEditingKeys();

    void printerWritesPdf_data();
    void printerWritesPdf();
    void printerReportsUnwritableFile();

    void supportFilesInstalled();
    void installNeverOverwrites_data();
    void installNeverOverwrites();
    void installIntoUnusableFolderFails();
};

void TestServices::clockStartsAtChosenMomentAndRunsOn()
{
    const QDateTime start(QDate(1999, 12, 31), QTime(23, 59, 50));
    ScopedEnv env("VORQ_NOW", "1999-12-31T23:59:50");
    const auto clock = SystemClock::fromEnvironment();
    const QDateTime first = clock->now();
    QVERIFY2(start.msecsTo(first) >= 0 && start.msecsTo(first) < 5000,
             qPrintable(first.toString(Qt::ISODateWithMs)));
    QThread::msleep(30);
    const QDateTime second = clock->now();
    // A clock frozen at the chosen moment would leave the ID reminder and the session
    // times standing still; it must run on as the real one does.
    QVERIFY2(first.msecsTo(second) >= 30, qPrintable(second.toString(Qt::ISODateWithMs)));
    QCOMPARE(clock->today(), QDate(1999, 12, 31));
}

void TestServices::clockFallsBackToSystemTime_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("unset") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("words") << QByteArray("yesterday evening");
    QTest::newRow("no such month") << QByteArray("1999-13-01T19:00:00");
    QTest::newRow("blank for T") << QByteArray("1999-12-31 19:00:00");
    QTest::newRow("date only") << QByteArray("1999-12-31");
}

void TestServices::clockFallsBackToSystemTime()
{
    QFETCH(QByteArray, value);
    ScopedEnv env("VORQ_NOW", value);
    const auto clock = SystemClock::fromEnvironment();
    const qint64 apart = qAbs(QDateTime::currentDateTime().msecsTo(clock->now()));
    QVERIFY2(apart < 5000, qPrintable(clock->now().toString(Qt::ISODate)));
}

void TestServices::productionServicesFollowEnvironment()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ScopedEnv root("VORQ_ROOT", dir.path().toLocal8Bit());
    ScopedEnv now("VORQ_NOW", "2012-03-07T19:30:00");
    const Services s = MakeProductionServices();
    QCOMPARE(s.paths.root(), dir.path() + "/");
    QVERIFY(s.paths.isPortable());
    QCOMPARE(s.clock->today(), QDate(2012, 3, 7));
    QVERIFY(s.settings && s.dialogs && s.sounds && s.shell && s.keyboard && s.screen && s.printer);
    // Training on a practice root must never write into the operator's real settings.
    QVERIFY(s.settings->save("Settings", "User Name", "BOB"));
    QVERIFY(QFile::exists(dir.path() + "/Settings/VORQ.ini"));
}

void TestServices::lockKeysPressedOnlyWhenDifferent_data()
{
    QTest::addColumn<bool>("capsKey");
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("wanted");
    QTest::addColumn<int>("presses");
    QTest::newRow("caps off to on") << true << false << true << 1;
    QTest::newRow("caps on to off") << true << true << false << 1;
    QTest::newRow("caps on stays") << true << true << true << 0;
    QTest::newRow("caps off stays") << true << false << false << 0;
    QTest::newRow("num off to on") << false << false << true << 1;
    QTest::newRow("num on to off") << false << true << false << 1;
    QTest::newRow("num on stays") << false << true << true << 0;
    QTest::newRow("num off stays") << false << false << false << 0;
}

void TestServices::lockKeysPressedOnlyWhenDifferent()
{
    QFETCH(bool, capsKey);
    QFETCH(bool, initial);
    QFETCH(bool, wanted);
    QFETCH(int, presses);
    RecordingKeyboard keyboard;
    keyboard.settable = true;
    keyboard.caps = capsKey ? initial : false;
    keyboard.num = capsKey ? true : initial;
    if (capsKey)
        SetCapsLock(keyboard, wanted);
    else
        SetNumLock(keyboard, wanted);
    QCOMPARE(capsKey ? keyboard.capsPresses : keyboard.numPresses, presses);
    QCOMPARE(capsKey ? keyboard.caps : keyboard.num, wanted);
    // The other key is left alone.
    QCOMPARE(capsKey ? keyboard.numPresses : keyboard.capsPresses, 0);
}

void TestServices::pathsUnderRoot_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expectedRoot");
    const QString tmp = QDir::tempPath();
    const QString cwd = QDir::currentPath();
    QTest::newRow("absolute") << tmp + "/vorq-a" << tmp + "/vorq-a/";
    QTest::newRow("trailing slash") << tmp + "/vorq-b/" << tmp + "/vorq-b/";
    QTest::newRow("with blanks") << tmp + "/my vorq" << tmp + "/my vorq/";
    QTest::newRow("relative") << "practice" << cwd + "/practice/";
}

void TestServices::pathsUnderRoot()
{
    QFETCH(QString, given);
    QFETCH(QString, expectedRoot);
    const Paths p = Paths::underRoot(given);
    QCOMPARE(p.root(), expectedRoot);
    QCOMPARE(p.dataFolder(), expectedRoot + "DatFiles/");
    QCOMPARE(p.programFolder(), expectedRoot + "Version 1/");
    QCOMPARE(p.tempFolder(), expectedRoot + "Temp/");
    QCOMPARE(p.backupFolder(), expectedRoot + "FileBackup/");
    QCOMPARE(p.appDataFolder(), expectedRoot + "AppData/");
    QCOMPARE(p.driveRoot(), expectedRoot);
    QCOMPARE(p.settingsFile("VORQ"), expectedRoot + "Settings/VORQ.ini");
    QCOMPARE(p.settingsFile("Pelnet"), expectedRoot + "Settings/Pelnet.ini");
    QVERIFY(p.isPortable());
}

void TestServices::settingsStoreWritesUnderRoot()
{
    TestRoot root;
    QVERIFY(root.settings().save("Settings", "User Name", "BOB"));
    QVERIFY(root.settings().SaveSetting("Pelnet", "Settings", "chkNoShow", "1"));
    QCOMPARE(root.settings().fileOf("VORQ"), root.root() + "/Settings/VORQ.ini");
    QVERIFY(readAll(root.root() + "/Settings/VORQ.ini").contains("BOB"));
    QVERIFY(readAll(root.root() + "/Settings/Pelnet.ini").contains("chkNoShow"));
}

void TestServices::pathsFromEnvironmentHonoursRoot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ScopedEnv env("VORQ_ROOT", dir.path().toLocal8Bit());
    const Paths p = Paths::fromEnvironment();
    QCOMPARE(p.root(), dir.path() + "/");
    QCOMPARE(p.dataFolder(), dir.path() + "/DatFiles/");
    QCOMPARE(p.appDataFolder(), dir.path() + "/AppData/");
    QCOMPARE(p.settingsFile("VORQ"), dir.path() + "/Settings/VORQ.ini");
    QVERIFY(p.isPortable());
}

void TestServices::pathsWithoutRootAreNotPortable()
{
    ScopedEnv env("VORQ_ROOT", QByteArray());
    const Paths p = Paths::fromEnvironment();
    QVERIFY(!p.isPortable());
    QVERIFY(p.root().endsWith("/"));
    QVERIFY(p.dataFolder().startsWith(p.root()));
    QVERIFY(p.appDataFolder().endsWith("/"));
    QVERIFY(p.settingsFile("VORQ").endsWith("/VORQ.ini"));
}

void TestServices::keyFilterOnLineEdit_data()
{
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("call box") << FieldKind::Call << "k4-a/b 1" << "k4ab 1";
    QTest::newRow("text box") << FieldKind::Text << "k4-a/b 1" << "kab ";
    QTest::newRow("call box upper") << FieldKind::Call << "WA4XYZ" << "WA4XYZ";
    QTest::newRow("text box punctuation") << FieldKind::Text << "st. clair, al" << "st clair al";
    QTest::newRow("call box symbols only") << FieldKind::Call << "!@#$%^&*()_+=" << "";
}

void TestServices::keyFilterOnLineEdit()
{
    QFETCH(FieldKind, kind);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QLineEdit box;
    InstallKeyFilter(&box, kind);
    QTest::keyClicks(&box, typed);
    QCOMPARE(box.text(), expected);
}

void TestServices::keyFilterKeepsEditingKeys()
{
    QLineEdit box;
    InstallKeyFilter(&box, FieldKind::Text);
    QSignalSpy entered(&box, &QLineEdit::returnPressed);
    QTest::keyClicks(&box, "bob");
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("bo"));
    QTest::keyClick(&box, Qt::Key_Left);
    QTest::keyClick(&box, Qt::Key_Delete);
    QCOMPARE(box.text(), QStringLiteral("b"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(entered.count(), 1);
}

void TestServices::printerWritesPdf_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("one line") << 1;
    // More lines than a page holds: the printer must start new pages, not stop.
    QTest::newRow("several pages") << 400;
}

void TestServices::printerWritesPdf()
{
    QFETCH(int, lines);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath("report.pdf");
    QtPrinter printer(pdf);
    QCOMPARE(printer.count(), 1);
    for (int i = 0; i < lines; ++i)
        printer.printLine({ PrintCell { 0, QStringLiteral("K4ABC") }, PrintCell { 20, "JIM" } });
    QVERIFY2(printer.endDocument(), qPrintable(printer.errorString()));
    QVERIFY(printer.errorString().isEmpty());
    const QByteArray bytes = readAll(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    if (lines > 100)
        QVERIFY(bytes.count("/Type /Page") - bytes.count("/Type /Pages") > 1);
}

void TestServices::printerReportsUnwritableFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QtPrinter printer(dir.filePath("no such folder/report.pdf"));
    printer.printText("K4ABC");
    QVERIFY(!printer.endDocument());
    QVERIFY(!printer.errorString().isEmpty());
}

void TestServices::supportFilesInstalled()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString userData = dir.filePath("AppData/Halvorsoft/");
    const QString program = dir.filePath("Version 1/");
    QString error;
    QVERIFY2(InstallSupportFiles(userData, &error), qPrintable(error));
    QVERIFY2(InstallProgramFiles(program, &error), qPrintable(error));
    const QStringList names = SupportFileNames();
    QVERIFY(names.contains("VorqPreamble.txt"));
    QVERIFY(names.contains("VorqInst.txt"));
    for (const QString &name : names) {
        const QByteArray bytes = readAll(userData + name);
        QVERIFY2(!bytes.isEmpty(), qPrintable(name));
        if (name.endsWith(".wav"))
            QVERIFY2(bytes.startsWith("RIFF"), qPrintable(name));
        if (name.endsWith(".gif"))
            QVERIFY2(bytes.startsWith("GIF8"), qPrintable(name));
    }
    QVERIFY(readAll(program + "ding.wav").startsWith("RIFF"));
}

void TestServices::installNeverOverwrites_data()
{
    QTest::addColumn<bool>("programFiles");
    QTest::addColumn<QString>("name");
    QTest::newRow("preamble") << false << "VorqPreamble.txt";
    QTest::newRow("sound") << false << "IDTime.wav";
    QTest::newRow("ding") << true << "ding.wav";
}

void TestServices::installNeverOverwrites()
{
    QFETCH(bool, programFiles);
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("target/");
    const QByteArray own = "the operator's own edited file";
    QVERIFY(writeAll(folder + name, own));
    QString error;
    const bool ok = programFiles ? InstallProgramFiles(folder, &error)
                                 : InstallSupportFiles(folder, &error);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(readAll(folder + name), own);
    if (!programFiles) {
        // The files that were missing are installed all the same.
        for (const QString &other : SupportFileNames())
            QVERIFY2(QFileInfo(folder + other).size() > 0, qPrintable(other));
    }
}

void TestServices::installIntoUnusableFolderFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeAll(dir.filePath("blocker"), "a file, not a folder"));
    QString error;
    QVERIFY(!InstallSupportFiles(dir.filePath("blocker/Halvorsoft/"), &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!InstallProgramFiles(QString(), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
