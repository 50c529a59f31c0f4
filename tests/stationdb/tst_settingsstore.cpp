#include "failingfs.h"
#include "stationdb/settingsstore.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

// "section|key|value" stores a value, "-section|key" deletes one.
QList<SettingChange> changesOf(const QStringList &texts)
{
    QList<SettingChange> changes;
    for (const QString &text : texts) {
        const QStringList part = text.mid(text.startsWith(u'-') ? 1 : 0).split(u'|');
        changes << (text.startsWith(u'-') ? SettingChange::Delete(part[0], part[1])
                                          : SettingChange::Set(part[0], part[1], part[2]));
    }
    return changes;
}

// Owner, group and others, without the flags of the current user that repeat one of them.
QFileDevice::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

// The names in the settings folder: a failed write leaves no temporary file behind.
QStringList settingsFolderEntries(const TestRoot &root)
{
    return QDir(root.paths().settingsFolder())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void fileIsOwnerOnly();
    void rewrite_data();
    void rewrite();
    void fullDiskKeepsTheFile();
    void unreadableStoreIsNeverWritten_data();
    void unreadableStoreIsNeverWritten();
    void changeByHandIsSeenAtOnce();
};

void TestSettingsStore::fileIsOwnerOnly()
{
    TestRoot root;
    QVERIFY(root.settings().save("Settings", "QRZ PW", "password=secret"));
    const QString ini = root.settings().fileOf("VORQ");
    QCOMPARE(modeOf(ini), QFile::ReadOwner | QFile::WriteOwner);
    // A file someone opened to others is the owner's alone again after the next save.
    QVERIFY(QFile::setPermissions(
        ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(root.settings().save("Settings", "QRZ ID", "username=y;"));
    QCOMPARE(modeOf(ini), QFile::ReadOwner | QFile::WriteOwner);
}

void TestSettingsStore::rewrite_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QStringList>("changes"); // one batch
    QTest::addColumn<QByteArray>("after"); // null: still no file
    QTest::addColumn<QStringList>("reads"); // "section|key|value", by a second store
    QTest::newRow("comments and unknown lines stay in place")
        << QByteArray("; kept by hand\n[Report]\n; totals\nSessions=3\nCheckins=21\n\n"
                      "not an entry\n[Settings]\nUser Name=ALICE\n")
        << QStringList { "Report|Traffic|4", "settings|user name|BOB" }
        << QByteArray("; kept by hand\n[Report]\n; totals\nSessions=3\nCheckins=21\nTraffic=4\n\n"
                      "not an entry\n[Settings]\nUser Name=BOB\n")
        << QStringList { "REPORT|sessions|3", "Report|Traffic|4", "Settings|User Name|BOB" };
    QTest::newRow("one copy of a key, in its first place")
        << QByteArray("[Report]\nSessions=1\n[REPORT]\nSESSIONS=2\nsessions=3\nTraffic=1\n")
        << QStringList { "report|SESSIONS|4" }
        << QByteArray("[Report]\nSessions=4\n[REPORT]\nTraffic=1\n")
        << QStringList { "Report|Sessions|4", "Report|Traffic|1" };
    QTest::newRow("an emptied section goes, one with a comment stays")
        << QByteArray("[A]\na=1\n\n[B]\nb=1\n\n[C]\n; note\nc=1\n")
        << QStringList { "-b|B", "-C|c" } << QByteArray("[A]\na=1\n\n[C]\n; note\n")
        << QStringList { "A|a|1", "B|b|", "C|c|" };
    QTest::newRow("a file written on Windows: its line ends for the new lines")
        << QByteArray("[Report]\r\nSessions=3\r\n") << QStringList { "Report|Traffic|4", "A|a|1" }
        << QByteArray("[Report]\r\nSessions=3\r\nTraffic=4\r\n\r\n[A]\r\na=1\r\n")
        << QStringList { "Report|Sessions|3", "Report|Traffic|4" };
    QTest::newRow("a name that ends in a backslash")
        << QByteArray("[A]\nk\\=1\n") << QStringList { "A|b|2" } << QByteArray("[A]\nk\\=1\nb=2\n")
        << QStringList { "A|k\\|1" };
    QTest::newRow("the last section emptied goes")
        << QByteArray("[A]\na=1\n\n[B]\nb=1\n\n") << QStringList { "-B|b" }
        << QByteArray("[A]\na=1\n\n") << QStringList { "A|a|1" };
    const QByteArray head("[Report]\nSessions=3\n;");
    const QByteArray oneMegabyte = head + QByteArray(1024 * 1024 - head.size() - 1, 'x') + '\n';
    QTest::newRow("a store of 1 MB is read") << oneMegabyte << QStringList { "Report|Sessions|3" }
                                             << oneMegabyte << QStringList { "report|sessions|3" };
    QTest::newRow("bytes that are not text kept")
        << QByteArray("\xff\xfe=junk\n[A]\na=1\n") << QStringList { "a|A|2" }
        << QByteArray("\xff\xfe=junk\n[A]\na=2\n") << QStringList { "A|a|2" };
    QTest::newRow("names that start like a header or a comment")
        << QByteArray() << QStringList { "[Report|[Subject|x]", "[Report|;k|1", ";S|k|v" }
        << QByteArray("[\\[Report]\n\\[Subject=x]\n\\;k=1\n\n[\\;S]\nk=v\n")
        << QStringList { "[report|[subject|x]", "[Report|;K|1", ";s|k|v", "Report|Subject|" };
    // Names escaped by earlier versions read back; a rewritten line gets today's escapes.
    QTest::newRow("files of earlier versions")
        << QByteArray("[odd\\c\\esection]\nk\\eey\\c=a\\nb\\\\\n\n[[x]\n[k=v\n\n")
        << QStringList { "[x|[k|w]" }
        << QByteArray("[odd\\c\\esection]\nk\\eey\\c=a\\nb\\\\\n\n[[x]\n\\[k=w]\n\n")
        << QStringList { "odd]=section|k=ey]|a\nb\\", "[x|[k|w]" };
}

void TestSettingsStore::rewrite()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, changes);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, reads);
    TestRoot root;
    const QString ini = root.settings().fileOf("VORQ");
    if (!before.isNull()) {
        QVERIFY(QDir().mkpath(root.paths().settingsFolder()));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
    }
    const Status saved = root.settings().saveAll(changesOf(changes));
    QVERIFY2(saved.ok(), qPrintable(saved.error()));
    QCOMPARE(QFile::exists(ini), !after.isNull());
    QCOMPARE(FileBytes(ini), after);
    const SettingsStore second(root.paths());
    for (const QString &read : reads) {
        const QStringList part = read.split(u'|');
        QCOMPARE(second.get(part[0], part[1]), part[2]);
    }
}

void TestSettingsStore::fullDiskKeepsTheFile()
{
    TestRoot root({}, { { "Report", "Sessions", "3" }, { "Settings", "QRZ PW", "password=x" } });
    SettingsStore &store = root.settings();
    const QString ini = store.fileOf("VORQ");
    const QByteArray before = FileBytes(ini);
    {
        FullDisk disk(root.root());
        if (!disk.isFull())
            QSKIP("cannot make the disk full here");
        QVERIFY(!store.save("Report", "Sessions", "4"));
        const Status saved = store.saveAll(changesOf(
            { "Report|Sessions|4", "Report|Checkins|30", "-Settings|QRZ PW", "New|Key|value" }));
        QVERIFY2(saved.error().startsWith(ini + ": "), qPrintable(saved.error()));
        QCOMPARE(FileBytes(ini), before);
    }
    QCOMPARE(FileBytes(ini), before);
    QCOMPARE(settingsFolderEntries(root), QStringList { "VORQ.ini" });
}

void TestSettingsStore::unreadableStoreIsNeverWritten_data()
{
    QTest::addColumn<QString>("inPlace");
    QTest::newRow("no read permission") << "write-only file";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a named pipe") << "pipe"; // must not block the read either
    QTest::newRow("over 1 MB") << "over 1 MB"; // read at every value, it stalled the start
}

void TestSettingsStore::unreadableStoreIsNeverWritten()
{
    QFETCH(QString, inPlace);
    TestRoot root({}, { { "Report", "Sessions", "3" } });
    SettingsStore &store = root.settings();
    const QString ini = store.fileOf("VORQ");
    const QByteArray before = FileBytes(ini);
    QCOMPARE(store.get("Report", "Sessions"), "3"); // read once: what it read is kept
    if (inPlace == "folder") {
        QVERIFY(QFile::remove(ini) && QDir().mkdir(ini));
    } else if (inPlace == "pipe") {
        QVERIFY(QFile::remove(ini));
        QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
    } else if (inPlace == "over 1 MB") {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write("[Junk]\n" + QByteArray("A=1\n").repeated(256 * 1024)) > 0);
        file.close();
    } else {
        QVERIFY(QFile::setPermissions(ini, QFile::WriteOwner));
    }
    {
        ObeyFilePermissions obey;
        if (!obey.active())
            QSKIP("file permissions cannot be enforced here");
        QCOMPARE(store.get("Report", "Sessions"), QString());
        const Result<QString> read = store.read("Report", "Sessions");
        QVERIFY2(read.error().startsWith(ini + ": "), qPrintable(read.error()));
        QVERIFY(!store.save("Report", "Sessions", "4"));
        const Status saved = store.saveAll(changesOf({ "Report|Sessions|4", "-Report|Checkins" }));
        QVERIFY2(saved.error().startsWith(ini + ": "), qPrintable(saved.error()));
    }
    const QFileInfo info(ini);
    if (inPlace == "folder") {
        QVERIFY(info.isDir());
    } else if (inPlace == "pipe") {
        QVERIFY(info.exists() && !info.isFile() && !info.isDir());
    } else if (inPlace == "over 1 MB") {
        QVERIFY(FileBytes(ini).startsWith(before) && info.size() > 1024 * 1024);
        QVERIFY(store.read("Report", "Sessions").error().endsWith(": larger than 1 MB"));
    } else {
        QCOMPARE(modeOf(ini), QFile::WriteOwner);
        QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(FileBytes(ini), before);
    }
    QCOMPARE(settingsFolderEntries(root), QStringList { "VORQ.ini" });
}

void TestSettingsStore::changeByHandIsSeenAtOnce()
{
    // The store keeps what it parsed while the file stays the same; an edit of the same
    // size in place, its time stamp put back, is a change all the same.
    TestRoot root({}, { { "Settings", "NetMgr", "BOB" } });
    SettingsStore &store = root.settings();
    const QString ini = store.fileOf("VORQ");
    QCOMPARE(store.get("Settings", "netmgr"), "BOB");
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime stamp = file.fileTime(QFileDevice::FileModificationTime);
    QByteArray bytes = file.readAll();
    bytes.replace("BOB", "ZED");
    QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
    file.close();
    QVERIFY(file.open(QIODevice::ReadWrite)
        && file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(store.get("SETTINGS", "NetMgr"), "ZED");
    QVERIFY(store.save("Settings", "NetMgr", "AMY"));
    QCOMPARE(store.get("Settings", "NetMgr"), "AMY");
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
