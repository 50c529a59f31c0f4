#include "stationdb/settingsstore.h"
#include "testroot.h"

#include <QFile>
#include <QTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void missingReadsEmpty();
    void caseInsensitiveNames_data();
    void caseInsensitiveNames();
    void applicationsNeverCollide();
    void deleteThenRead();
    void deletingMissingIsHarmless();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void visibleToASecondStoreAtOnce();
    void fileIsOwnerOnly();
    void unwritableStoreIsReported();
    void garbageFileReadsEmpty();
};

void TestSettingsStore::missingReadsEmpty()
{
    TestRoot root;
    QCOMPARE(root.settings().get("Report", "Sessions"), QString());
    QCOMPARE(root.settings().GetSetting("Pelnet", "Settings", "chkNoShow"), QString());
}

void TestSettingsStore::caseInsensitiveNames_data()
{
    QTest::addColumn<QString>("writeSection");
    QTest::addColumn<QString>("writeKey");
    QTest::addColumn<QString>("readSection");
    QTest::addColumn<QString>("readKey");
    QTest::newRow("key case") << "Screen" << "FGCOLOR" << "Screen" << "FGColor";
    QTest::newRow("section case") << "SCREEN" << "BGColor" << "screen" << "bgcolor";
    QTest::newRow("with blank") << "Settings" << "User Name" << "settings" << "USER NAME";
}

void TestSettingsStore::caseInsensitiveNames()
{
    QFETCH(QString, writeSection);
    QFETCH(QString, writeKey);
    QFETCH(QString, readSection);
    QFETCH(QString, readKey);
    TestRoot root;
    QVERIFY(root.settings().save(writeSection, writeKey, "255"));
    QCOMPARE(root.settings().get(readSection, readKey), QStringLiteral("255"));
    // Writing under the other spelling replaces the one value instead of adding a second.
    QVERIFY(root.settings().save(readSection, readKey, "16711680"));
    QCOMPARE(root.settings().get(writeSection, writeKey), QStringLiteral("16711680"));
    QFile f(root.settings().fileOf("VORQ"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QCOMPARE(text.count("16711680"), 1);
    QCOMPARE(text.count("255"), 0);
}

void TestSettingsStore::applicationsNeverCollide()
{
    TestRoot root;
    SettingsStore &s = root.settings();
    QVERIFY(s.SaveSetting("Pelnet", "Settings", "chkNoShow", "1"));
    QVERIFY(s.SaveSetting("VORQ", "Settings", "chkNoShow", "0"));
    QCOMPARE(s.GetSetting("Pelnet", "Settings", "chkNoShow"), QStringLiteral("1"));
    QCOMPARE(s.GetSetting("VORQ", "Settings", "chkNoShow"), QStringLiteral("0"));
    s.DeleteSetting("VORQ", "Settings", "chkNoShow");
    QCOMPARE(s.GetSetting("Pelnet", "Settings", "chkNoShow"), QStringLiteral("1"));
}

void TestSettingsStore::deleteThenRead()
{
    TestRoot root({}, { { "Settings", "Top", "100" }, { "Settings", "Left", "5" } });
    QVERIFY(root.settings().remove("SETTINGS", "top"));
    QCOMPARE(root.settings().get("Settings", "Top"), QString());
    QCOMPARE(root.settings().get("Settings", "Left"), QStringLiteral("5"));
}

void TestSettingsStore::deletingMissingIsHarmless()
{
    TestRoot root({}, { { "Settings", "Left", "5" } });
    QVERIFY(root.settings().remove("Settings", "Nothing"));
    QVERIFY(root.settings().remove("NoSection", "Nothing"));
    QVERIFY(root.settings().DeleteSetting("NoApp", "NoSection", "Nothing"));
    QCOMPARE(root.settings().get("Settings", "Left"), QStringLiteral("5"));
}

void TestSettingsStore::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("multi-line report") << "VORQ REPORT\r\nSESSIONS 11\r\n\r\nEND";
    QTest::newRow("backslashes") << "C:\\VORQ\\DatFiles\\";
    QTest::newRow("equals and brackets") << "password=a]b[c=d;";
    QTest::newRow("leading and trailing blanks") << "  KEPT  ";
    QTest::newRow("empty") << "";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Jos\u00e9 \u00fc");
}

void TestSettingsStore::valuesRoundTrip()
{
    QFETCH(QString, value);
    TestRoot root;
    QVERIFY(root.settings().save("Report", "MsgText", value));
    QVERIFY(root.settings().save("Report", "After", "x"));
    QCOMPARE(root.settings().get("Report", "MsgText"), value);
    QCOMPARE(root.settings().get("Report", "After"), QStringLiteral("x"));
    QVERIFY(root.settings().save("odd]=section", "k=ey]", value));
    QCOMPARE(root.settings().get("odd]=section", "k=ey]"), value);
}

void TestSettingsStore::visibleToASecondStoreAtOnce()
{
    TestRoot root;
    SettingsStore other(root.paths());
    root.settings().save("Report", "Checkins", "120");
    QCOMPARE(other.get("Report", "Checkins"), QStringLiteral("120"));
    other.save("Report", "Checkins", "134");
    QCOMPARE(root.settings().get("Report", "Checkins"), QStringLiteral("134"));
}

void TestSettingsStore::fileIsOwnerOnly()
{
    TestRoot root;
    QVERIFY(root.settings().save("Settings", "QRZ PW", "password=secret"));
    const auto perms = QFile::permissions(root.settings().fileOf("VORQ"));
    QVERIFY(perms & QFile::ReadOwner);
    QVERIFY(!(perms & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)));
    QVERIFY(root.settings().save("Settings", "QRZ ID", "username=x;"));
    const auto after = QFile::permissions(root.settings().fileOf("VORQ"));
    QVERIFY(!(after & (QFile::ReadGroup | QFile::ReadOther)));
}

void TestSettingsStore::unwritableStoreIsReported()
{
    TestRoot root;
    // A file where the store's folder should be: nothing can be written there.
    QFile blocker(root.root() + "/Settings");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!root.settings().save("Report", "Sessions", "1"));
    QCOMPARE(root.settings().get("Report", "Sessions"), QString());
}

void TestSettingsStore::garbageFileReadsEmpty()
{
    TestRoot root;
    QDir().mkpath(root.root() + "/Settings");
    QFile f(root.settings().fileOf("VORQ"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    static const char garbage[] =
        "\x00\xff garbage = \n[unterminated\nkey-without-section=1\n[Report]\nSessions=7\n";
    f.write(garbage, sizeof garbage - 1);
    f.close();
    QCOMPARE(root.settings().get("Report", "Sessions"), QStringLiteral("7"));
    QCOMPARE(root.settings().get("Report", "Checkins"), QString());
    QVERIFY(root.settings().save("Report", "Checkins", "3"));
    QCOMPARE(root.settings().get("Report", "Sessions"), QStringLiteral("7"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
