#include "stationdb/settingsstore.h"
#include "testroot.h"

#include <QFile>
#include <QTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void caseInsensitiveNames();
    void applicationsNeverCollide();
    void deleteThenRead();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void fileIsOwnerOnly();
    void unwritableStoreIsReported();
    void garbageFileReadsEmpty();
};

void TestSettingsStore::caseInsensitiveNames()
{
    TestRoot root;
    QVERIFY(root.settings().save("SCREEN", "User Name", "255"));
    QCOMPARE(root.settings().get("screen", "USER NAME"), QStringLiteral("255"));
    // Writing under the other spelling replaces the one value instead of adding a second.
    QVERIFY(root.settings().save("Screen", "user name", "16711680"));
    QCOMPARE(root.settings().get("SCREEN", "User Name"), QStringLiteral("16711680"));
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
    SettingsStore other(root.paths()); // a second store sees every change at once
    QCOMPARE(other.GetSetting("Pelnet", "Settings", "chkNoShow"), QString());
    QVERIFY(s.SaveSetting("Pelnet", "Settings", "chkNoShow", "1"));
    QVERIFY(s.SaveSetting("VORQ", "Settings", "chkNoShow", "0"));
    QCOMPARE(other.GetSetting("Pelnet", "Settings", "chkNoShow"), QStringLiteral("1"));
    QCOMPARE(other.GetSetting("VORQ", "Settings", "chkNoShow"), QStringLiteral("0"));
    other.DeleteSetting("VORQ", "Settings", "chkNoShow");
    QCOMPARE(s.GetSetting("VORQ", "Settings", "chkNoShow"), QString());
    QCOMPARE(s.GetSetting("Pelnet", "Settings", "chkNoShow"), QStringLiteral("1"));
    // Deleting what is not there is harmless.
    QVERIFY(s.DeleteSetting("NoApp", "NoSection", "Nothing"));
}

void TestSettingsStore::deleteThenRead()
{
    TestRoot root({}, { { "Settings", "Top", "100" }, { "Settings", "Left", "5" } });
    QVERIFY(root.settings().remove("SETTINGS", "top"));
    QCOMPARE(root.settings().get("Settings", "Top"), QString());
    QVERIFY(root.settings().remove("Settings", "Nothing"));
    QVERIFY(root.settings().remove("NoSection", "Nothing"));
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

void TestSettingsStore::fileIsOwnerOnly()
{
    TestRoot root;
    QVERIFY(root.settings().save("Settings", "QRZ PW", "password=secret"));
    // Still so after the file is written again.
    QVERIFY(root.settings().save("Settings", "QRZ ID", "username=x;"));
    const auto perms = QFile::permissions(root.settings().fileOf("VORQ"));
    QVERIFY(perms & QFile::ReadOwner);
    QVERIFY(!(perms & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)));
}

void TestSettingsStore::unwritableStoreIsReported()
{
    TestRoot root;
    // A file where the store's folder should be: nothing can be written there.
    QFile blocker(root.root() + "/Settings");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
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
    QVERIFY(root.settings().save("Report", "Checkins", "3"));
    QCOMPARE(root.settings().get("Report", "Sessions"), QStringLiteral("7"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
