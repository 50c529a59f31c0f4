#include "loopbackhttp.h"
#include "qrz/qrzclient.h"
#include "testroot.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;

// The QRZ answers as the program reads them, and the real web client against a server on
// this machine that answers as the service does.
class TestQrz : public QObject
{
    Q_OBJECT

private slots:
    void tagRules_data();
    void tagRules();
    void sessionKey_data();
    void sessionKey();
    void addresses_data();
    void addresses();
    void lazyLoginThenLookup();
    void silentServerTimesOut();
};

namespace {
const QString kRecord
    = "<QRZDatabase><Callsign><call>W4NEW</call><fname>MARY ANN</fname>"
      "<addr2>Opelika</addr2><county>Lee</county><state>AL</state></Callsign></QRZDatabase>";

// A service on this machine: a login with ALICE's password gets a key; a lookup with that key
// gets the record; anything else the service's error.
QByteArray service(const QUrl &request)
{
    const QString query = QUrl::fromPercentEncoding(request.query(QUrl::FullyEncoded).toLatin1());
    if (query == "username=ALICE;password=p;a&s=s# +w")
        return "<Session><Key>k 1</Key></Session>";
    if (query == "s=k 1;callsign=W4NEW")
        return kRecord.toUtf8();
    return "<Session><Error>Not found: " + query.toUtf8() + "</Error></Session>";
}
} // namespace

void TestQrz::tagRules_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("cityBefore");
    QTest::addColumn<QStringList>("after"); // call, name, county, city
    QTest::addColumn<bool>("focusCounty");
    QTest::newRow("whole record: first word of two, city and state")
        << kRecord << "" << QStringList { "W4NEW", "MARY", "LEE", "OPELIKA AL" } << true;
    QTest::newRow("state without city appends to the box")
        << "<call>K4X</call><state>GA</state>"
        << "MACON" << QStringList { "K4X", "", "", "MACON GA" } << true;
    QTest::newRow("missing tags leave the boxes")
        << "<QRZDatabase></QRZDatabase>"
        << "AUBURN" << QStringList { "", "", "", "AUBURN" } << false;
    QTest::newRow("cut-off tag is no value") << "<fname>BOB"
                                             << "" << QStringList { "", "", "", "" } << false;
}

void TestQrz::tagRules()
{
    QFETCH(QString, answer);
    QFETCH(QString, cityBefore);
    QFETCH(QStringList, after);
    QFETCH(bool, focusCounty);
    bool focus = false;
    const MemberFields form
        = FillFromQrz({ {}, {}, {}, {}, cityBefore }, ParseQrzAnswer(answer), focus);
    QCOMPARE((QStringList { form.call, form.name, form.county, form.city }), after);
    QCOMPARE(focus, focusCounty);
}

void TestQrz::sessionKey_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("session"); // empty: none
    QTest::newRow("blanks kept") << "<Session><Key> a b </Key><Key>x</Key></Session>"
                                 << "s= a b ;";
    QTest::newRow("no key") << "<Session><Error>Invalid</Error></Session>"
                            << "";
    QTest::newRow("key without its end") << "<Session><Key>abc"
                                         << "";
}

void TestQrz::sessionKey()
{
    QFETCH(QString, answer);
    QFETCH(QString, session);
    QCOMPARE(QrzSessionOf(answer).value_or(QString()), session);
}

void TestQrz::addresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("asked");
    QTest::newRow("https") << "https://xmldata.qrz.com/xml/current/" << true;
    QTest::newRow("http to loopback") << "http://127.0.0.1:8080/xml/current/" << true;
    QTest::newRow("http elsewhere") << "http://xmldata.qrz.com/xml/current/" << false;
}

void TestQrz::addresses()
{
    QFETCH(QString, url);
    QFETCH(bool, asked);
    QCOMPARE(RefusedWebAddress(QUrl(url)).isEmpty(), asked);
    if (!asked) {
        TestRoot root({}, { { "Settings", "QRZ Url", url } });
        QrzClient client(root.settings(), root.services().web.get(), 500);
        QVERIFY(client.login().error().startsWith("QRZ ADDRESS MUST USE HTTPS"));
    }
}

void TestQrz::lazyLoginThenLookup()
{
    LoopbackHttp server(service);
    TestRoot root({},
        { { "Settings", "QRZ Url", server.url("/xml/current/").toString() },
            { "Settings", "QRZ ID", "username=ALICE;" },
            { "Settings", "QRZ PW", "password=p;a&s=s# +w" } });
    QrzClient client(root.settings(), root.services().web.get());
    // The first lookup of a run logs in first; the password arrives as typed.
    const Result<QrzAnswer> answer = client.lookup("W4NEW");
    QVERIFY2(answer.ok(), qPrintable(answer.error()));
    QCOMPARE(answer->fname.value_or(QString()), u"MARY ANN"_s);
    QCOMPARE(server.requests().size(), 2);
    QVERIFY(client.loggedIn());
    QCOMPARE(root.settings().get("Settings", "QRZ Key"), u"s=k 1;"_s);
    // An unknown call: the service's own words.
    QCOMPARE(
        client.lookup("K4ZZZ")->error.value_or(QString()), u"Not found: s=k 1;callsign=K4ZZZ"_s);
}

void TestQrz::silentServerTimesOut()
{
    // A server that takes the connection and never answers: one failure, within the time-out,
    // and the lookup is not tried after a login that got no answer.
    LoopbackHttp server([](const QUrl &) { return std::optional<QByteArray>(); });
    TestRoot root({},
        { { "Settings", "QRZ Url", server.url("/xml/current/").toString() },
            { "Settings", "QRZ ID", "username=ALICE;" }, { "Settings", "QRZ PW", "password=x" } });
    QrzClient client(root.settings(), root.services().web.get(), 300);
    QElapsedTimer clock;
    clock.start();
    const Result<QrzAnswer> answer = client.lookup("W4NEW");
    QCOMPARE(answer.error(), u"QRZ DID NOT ANSWER"_s);
    QCOMPARE(server.requests().size(), 1);
    QVERIFY(clock.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(TestQrz)
#include "tst_qrz.moc"
