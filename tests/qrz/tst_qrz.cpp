#include "loopbackhttp.h"
#include "qrz/qrzclient.h"
#include "testroot.h"

#include <QElapsedTimer>
#include <QSet>
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
    void characterReferences_data();
    void characterReferences();
    void sessionKey_data();
    void sessionKey();
    void addresses_data();
    void addresses();
    void redirects_data();
    void redirects();
    void redirectLoopIsNoAnswer();
    void lazyLoginThenLookup();
    void silentServerTimesOut();
    void noSecretInAnyMessage_data();
    void noSecretInAnyMessage();
    void boundedAnswers_data();
    void boundedAnswers();
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
    QTest::newRow("escapes decoded, hyphen a blank")
        << "<call>K4X</call><fname>Jos&#233;</fname><addr2>Winston-Salem</addr2>"
           "<county>O&apos;Fallon &amp; Co</county>"
        << "" << QStringList { "K4X", "JOSE", "OFALLON  CO", "WINSTON SALEM" } << false;
    QTest::newRow("accents folded")
        << u"<fname>Ren\u00e9e Ann</fname><addr2>Espa\u00f1ola</addr2>"_s << ""
        << QStringList { "", "RENEE", "", "ESPANOLA" } << false;
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

void TestQrz::characterReferences_data()
{
    // Numbered characters are taken up to the last one Unicode has, and none beyond.
    const QString last = QString::fromUcs4(U"\U0010FFFF", 1);
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("the last, in hex") << "A&#x10FFFF;B"
                                      << "A" + last + "B";
    QTest::newRow("the last, in decimal") << "A&#1114111;B"
                                          << "A" + last + "B";
    QTest::newRow("one beyond") << "A&#x110000;B"
                                << "AB";
    QTest::newRow("zero") << "A&#0;B"
                          << "AB";
}

void TestQrz::characterReferences()
{
    QFETCH(QString, value);
    QFETCH(QString, text);
    QCOMPARE(QrzPlainText(value), text);
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
    QTest::newRow("http to another loopback address") << "http://127.0.0.2:8080/x" << true;
    QTest::newRow("http to IPv6 loopback") << "http://[::1]:8080/xml/current/" << true;
    // A name is never looked up: it could point anywhere.
    QTest::newRow("name that starts like loopback") << "http://127.qrz.example.net/" << false;
    QTest::newRow("name of this machine") << "http://localhost:8080/" << false;
    QTest::newRow("http to a LAN address") << "http://192.0.2.2:18081/" << false;
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

void TestQrz::redirects_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to"); // "SERVER" stands for the test server's own address
    QTest::addColumn<bool>("followed");
    QTest::newRow("https to https elsewhere") << "https://a.example.com/x"
                                              << "https://b.example.com/y" << true;
    QTest::newRow("https down to http on loopback") << "https://a.example.com/x"
                                                    << "http://127.0.0.1/y" << false;
    QTest::newRow("loopback to another machine") << "SERVER"
                                                 << "http://192.0.2.2:18081/x" << false;
    QTest::newRow("loopback to a name") << "SERVER"
                                        << "http://127.qrz.example.net/x" << false;
    QTest::newRow("loopback to https elsewhere") << "SERVER"
                                                 << "https://b.example.com/y" << false;
    QTest::newRow("loopback to itself") << "SERVER"
                                        << "SERVER" << true;
}

void TestQrz::redirects()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, followed);
    LoopbackHttp server([&](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        if (request.path() == "/xml/current/")
            return LoopbackHttp::Reply::redirect(
                to == "SERVER" ? server.url("/moved/?" + request.query()) : QUrl(to));
        return LoopbackHttp::Reply("<Session><Key>k</Key></Session>");
    });
    const QUrl source = from == "SERVER" ? server.url("/xml/current/") : QUrl(from);
    const QUrl target = to == "SERVER" ? server.url("/moved/") : QUrl(to);
    QCOMPARE(RefusedRedirect(source, target).isEmpty(), followed);
    if (from != "SERVER")
        return;
    // The real client: the login's redirect is checked before anything goes there.
    TestRoot root({},
        { { "Settings", "QRZ Url", source.toString() }, { "Settings", "QRZ ID", "username=A;" },
            { "Settings", "QRZ PW", "password=x" } });
    QrzClient client(root.settings(), root.services().web.get(), 3000);
    QElapsedTimer clock;
    clock.start();
    const Status logged = client.login();
    QCOMPARE(client.loggedIn(), followed);
    if (!followed) {
        QVERIFY2(logged.error().contains("refused a redirect"), qPrintable(logged.error()));
        QVERIFY(clock.elapsed() < 2000); // refused, not tried
        QCOMPARE(server.requests().size(), 1);
    }
}

void TestQrz::redirectLoopIsNoAnswer()
{
    // A server that sends every request on to another address of its own: the login ends
    // with a failure told, never as an empty answer taken for a refused login.
    LoopbackHttp server;
    int hops = 0;
    server.setHandler([&](const QUrl &) {
        return std::optional(LoopbackHttp::Reply::redirect(
            server.url("/xml/current/" + QString::number(++hops) + "/")));
    });
    TestRoot root({},
        { { "Settings", "QRZ Url", server.url("/xml/current/").toString() },
            { "Settings", "QRZ ID", "username=A;" }, { "Settings", "QRZ PW", "password=x" } });
    QrzClient client(root.settings(), root.services().web.get(), 2000);
    const Status logged = client.login();
    // Qt may still be sending a request again on a connection the server closed; its
    // network thread is let finish, so the end of the test frees all it holds.
    QTest::qWait(300);
    QVERIFY(!client.loggedIn());
    QVERIFY2(logged.error().startsWith("QRZ LOOKUP FAILED: 127.0.0.1"), qPrintable(logged.error()));
    // Five redirects followed at most (a request Qt sends again on a closed connection is
    // no new one).
    const QSet<QString> asked(server.requests().cbegin(), server.requests().cend());
    QVERIFY2(asked.size() <= 6, qPrintable(server.requests().join(u'\n')));
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
    // An unknown call: the service's own words, without the session key.
    QCOMPARE(
        client.lookup("K4ZZZ")->error.value_or(QString()), u"Not found: s=***;callsign=K4ZZZ"_s);
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

namespace {
QStringList *g_logged = nullptr;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (g_logged)
        *g_logged << text;
}

// How a test service answers one request.
enum class Answer { Key, Record, Unavailable, EchoQuery, RedirectAway, Silent, Huge };
} // namespace

void TestQrz::noSecretInAnyMessage_data()
{
    QTest::addColumn<int>("login");
    QTest::addColumn<int>("lookup");
    const auto row = [](const char *name, Answer login, Answer lookup) {
        QTest::newRow(name) << int(login) << int(lookup);
    };
    row("login answered 503", Answer::Unavailable, Answer::Record);
    row("login error quotes the query", Answer::EchoQuery, Answer::Record);
    row("login redirected away", Answer::RedirectAway, Answer::Record);
    row("login silent", Answer::Silent, Answer::Record);
    row("login huge", Answer::Huge, Answer::Record);
    row("lookup answered 503", Answer::Key, Answer::Unavailable);
    row("lookup error quotes the key", Answer::Key, Answer::EchoQuery);
    row("lookup redirected away", Answer::Key, Answer::RedirectAway);
    row("lookup silent", Answer::Key, Answer::Silent);
}

void TestQrz::noSecretInAnyMessage()
{
    QFETCH(int, login);
    QFETCH(int, lookup);
    const QString password = "s3cr;t&x y";
    const QString key = "SeSsIoNkEy42";
    LoopbackHttp server([&](const QUrl &request) -> std::optional<LoopbackHttp::Reply> {
        const QString query = request.query(QUrl::FullyEncoded);
        switch (Answer(query.startsWith("username=") ? login : lookup)) {
        case Answer::Key:
            return LoopbackHttp::Reply("<Session><Key>" + key.toUtf8() + "</Key></Session>");
        case Answer::Record:
            return LoopbackHttp::Reply(kRecord.toUtf8());
        case Answer::Unavailable:
            return LoopbackHttp::Reply("Service Unavailable " + query.toUtf8(), 503);
        case Answer::EchoQuery:
            return LoopbackHttp::Reply("<Session><Error>Bad request " + query.toUtf8() + " ("
                + QUrl::fromPercentEncoding(query.toLatin1()).toUtf8() + ")</Error></Session>");
        case Answer::RedirectAway:
            return LoopbackHttp::Reply::redirect(QUrl("http://192.0.2.2:18081/xml?" + query));
        case Answer::Silent:
            return std::nullopt;
        case Answer::Huge: {
            LoopbackHttp::Reply huge("");
            huge.generated = 4 * 1024 * 1024;
            return huge;
        }
        }
        return std::nullopt;
    });
    TestRoot root({},
        { { "Settings", "QRZ Url", server.url("/xml/current/").toString() },
            { "Settings", "QRZ ID", "username=ALICE;" },
            { "Settings", "QRZ PW", "password=" + password } });
    QStringList messages;
    g_logged = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    QrzClient client(root.settings(), root.services().web.get(), 300);
    // The first lookup's login, REFRESH QRZ's login and a lookup after it: every text any of
    // them could show.
    for (int round = 0; round < 2; ++round) {
        const Result<QrzAnswer> answer = client.lookup("W4NEW");
        messages << (answer ? answer->error.value_or(QString()) : answer.error());
        const Status logged = client.login();
        messages << (logged ? QString() : logged.error());
    }
    qInstallMessageHandler(previous);
    g_logged = nullptr;
    const QString all = messages.join("\n");
    // Something was told (a refused login is not: the lookup after it tells).
    QVERIFY2(!all.trimmed().isEmpty() || Answer(login) == Answer::EchoQuery, qPrintable(all));
    for (const QString &secret :
        { password, QString::fromLatin1(QUrl::toPercentEncoding(password)), QString("s3cr"), key })
        QVERIFY2(!all.contains(secret, Qt::CaseInsensitive), qPrintable(all));
}

void TestQrz::boundedAnswers_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("paceMs"); // one 1 KB piece each
    QTest::addColumn<qint64>("stallAfter");
    QTest::addColumn<qint64>("announced");
    QTest::addColumn<QString>("error"); // empty: the answer is read
    QTest::newRow("slow but steady") << qint64(24 * 1024) << 40 << qint64(-1) << qint64(-1) << "";
    QTest::newRow("stops halfway")
        << qint64(24 * 1024) << 0 << qint64(100) << qint64(-1) << "QRZ DID NOT ANSWER";
    QTest::newRow("huge, announced") << qint64(64 * 1024 * 1024) << 0 << qint64(-1) << qint64(-1)
                                     << "QRZ ANSWER TOO LARGE - NOT READ";
    QTest::newRow("huge, size not told") << qint64(64 * 1024 * 1024) << 0 << qint64(-1)
                                         << qint64(-2) << "QRZ ANSWER TOO LARGE - NOT READ";
}

void TestQrz::boundedAnswers()
{
    QFETCH(qint64, size);
    QFETCH(int, paceMs);
    QFETCH(qint64, stallAfter);
    QFETCH(qint64, announced);
    QFETCH(QString, error);
    LoopbackHttp server([&](const QUrl &) {
        LoopbackHttp::Reply reply("");
        reply.generated = size;
        reply.paceMs = paceMs;
        reply.pieceBytes = paceMs > 0 ? 1024 : 64 * 1024;
        reply.stallAfter = stallAfter;
        reply.announced = announced;
        return std::optional(reply);
    });
    TestRoot root({}, { { "Settings", "QRZ Url", server.url("/xml/current/").toString() } });
    // A stall bound far below the time the slow answer takes in all.
    QrzClient client(root.settings(), root.services().web.get(), 300);
    QElapsedTimer clock;
    clock.start();
    const Status logged = client.login();
    QCOMPARE(logged ? QString() : logged.error(), error);
    QVERIFY(clock.elapsed() < 5000);
    // A huge answer is refused while it comes, never read whole.
    QVERIFY2(
        server.sentBytes() < 16 * 1024 * 1024, qPrintable(QString::number(server.sentBytes())));
}

QTEST_GUILESS_MAIN(TestQrz)
#include "tst_qrz.moc"
