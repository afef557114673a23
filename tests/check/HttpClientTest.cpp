// The link checker's HTTP client against real servers on the loopback interface.

#include "check/HttpClient.h"
#include "TestHttpServer.h"
#include "TestProcesses.h"

#include <QStringList>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace lintora::test {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The events a client fired, in order, and how Get ended.
struct EventLog
{
    QStringList events;
    bool raised = false;
    int lookupsToRetry = 0; // OnInvalidHost asks for another lookup this many times

    void attach(HttpClient& http)
    {
        http.OnConnect = [this] { events << "connect"; };
        http.OnDisconnect = [this] { events << "disconnect"; };
        http.OnConnectionFailed = [this] { events << "connectionFailed"; };
        http.OnInvalidHost = [this](bool& handled) {
            events << "invalidHost";
            if (lookupsToRetry > 0) {
                --lookupsToRetry;
                handled = true;
            }
        };
        http.OnFailure = [this](const QString& cmd) { events << "failure:" + cmd; };
        http.OnSuccess = [this](const QString& cmd) { events << "success:" + cmd; };
    }

    // The events that decide the outcome (connect and disconnect left out).
    QStringList outcome() const
    {
        QStringList out;
        for (const QString& e : events)
            if (e != "connect" && e != "disconnect")
                out << e;
        if (raised)
            out << "raised";
        return out;
    }
};

void get(HttpClient& http, EventLog& log, const QString& url)
{
    log.attach(http);
    try {
        http.Get(url);
    } catch (const HttpError&) {
        log.raised = true;
    }
}

qint64 millisecondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count();
}

// A body that never ends, in packets of 4 KiB with the given pause between them.
TestHttpServer::Script endlessBody(int statusCode, int pauseMs)
{
    return [statusCode, pauseMs](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        c.send("HTTP/1.0 " + QByteArray::number(statusCode) +
               " Streaming\r\nContent-Type: audio/mpeg\r\n\r\n");
        const QByteArray packet(4096, 'x');
        do
            c.send(packet);
        while (c.pause(pauseMs));
    };
}

struct AnswerCase
{
    const char* name;
    QByteArray path;
    QStringList outcome;
    int statusCode;              // LastStatusCode after Get
    QList<QByteArray> requested; // paths the server saw, in order
};

void PrintTo(const AnswerCase& c, std::ostream* out)
{
    *out << c.name;
}

class HttpClientAnswers : public ::testing::TestWithParam<AnswerCase>
{
protected:
    static void SetUpTestSuite()
    {
        server = new TestHttpServer;
        using S = TestHttpServer;
        server->on("/ok", S::status(200));
        server->on("/missing", S::status(404));
        server->on("/error", S::status(500));
        server->on("/moved", S::status(302, "Location: /ok\r\n"));
        server->on("/dir/bare", S::status(302, "Location: target.html\r\n"));
        server->on("/target.html", S::status(200));
        server->on("/a/b/relative", S::status(301, "Location: sub/page?x=1\r\n"));
        server->on("/a/b/sub/page", S::status(200));
        server->on("/see-other", S::status(303, "Location: /ok\r\n"));
        server->on("/temporary", S::status(307, "Location: /missing\r\n"));
        server->on("/permanent", S::status(308, "Location: /moved\r\n"));
        server->on("/loop", S::status(302, "Location: /loop\r\n"));
        server->on("/not-modified", S::status(304));
        server->on("/moved-nowhere", S::status(302));
        server->on("/to-file", S::status(302, "Location: file:///etc/passwd\r\n"));
        server->on("/no-number", S::reply("HTTP/1.0 OK\r\nContent-Type: text/html\r\n\r\n<html></html>"));
        server->on("/no-status-line", S::reply("<html><body>just a page</body></html>\r\n"));
        server->on("/reset", [](S::Connection& c, const S::Request&) { c.reset(); });
        server->on("/reset-in-body", [](S::Connection& c, const S::Request&) {
            c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(1000, 'x'));
            c.reset();
        });
        server->on("/empty-reply", [](S::Connection&, const S::Request&) {});
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    static TestHttpServer* server;
};

TestHttpServer* HttpClientAnswers::server = nullptr;

TEST_P(HttpClientAnswers, EndsAsTheAnswerSays)
{
    const AnswerCase& c = GetParam();
    const auto before = server->requests().size();
    HttpClient http;
    http.TimeOut = 5000;
    EventLog log;
    get(http, log, server->url(QString::fromLatin1(c.path)));

    EXPECT_EQ(log.outcome(), c.outcome);
    EXPECT_EQ(http.LastStatusCode(), c.statusCode);
    EXPECT_EQ(server->requestedPaths().mid(before), c.requested);
}

QList<QByteArray> repeated(const QByteArray& path, int times)
{
    QList<QByteArray> out;
    for (int i = 0; i < times; ++i)
        out << path;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Loopback, HttpClientAnswers,
    ::testing::Values(
        AnswerCase{"Ok", "/ok", {"success:GET"}, 200, {"/ok"}},
        AnswerCase{"NotFound", "/missing", {"failure:GET"}, 404, {"/missing"}},
        AnswerCase{"ServerError", "/error", {"failure:GET"}, 500, {"/error"}},
        AnswerCase{"FoundThenOk", "/moved", {"success:GET"}, 200, {"/moved", "/ok"}},
        AnswerCase{"LocationWithoutSlashIsAtTheRoot",
                   "/dir/bare",
                   {"success:GET"},
                   200,
                   {"/dir/bare", "/target.html"}},
        AnswerCase{"RelativeLocation",
                   "/a/b/relative",
                   {"success:GET"},
                   200,
                   {"/a/b/relative", "/a/b/sub/page?x=1"}},
        AnswerCase{"SeeOther", "/see-other", {"success:GET"}, 200, {"/see-other", "/ok"}},
        AnswerCase{"TemporaryToNotFound", "/temporary", {"failure:GET"}, 404, {"/temporary", "/missing"}},
        AnswerCase{"PermanentTwice", "/permanent", {"success:GET"}, 200, {"/permanent", "/moved", "/ok"}},
        // The first request and twenty redirects, then the client gives up.
        AnswerCase{"RedirectLoop", "/loop", {"raised"}, 302, repeated("/loop", 21)},
        AnswerCase{"NotModifiedIsNotReadable", "/not-modified", {"failure:GET"}, 304, {"/not-modified"}},
        AnswerCase{"RedirectWithoutLocation", "/moved-nowhere", {"failure:GET"}, 302, {"/moved-nowhere"}},
        AnswerCase{"RedirectToLocalFileIsRefused", "/to-file", {"raised"}, 302, {"/to-file"}},
        AnswerCase{"StatusLineWithoutNumber", "/no-number", {"success:GET"}, 0, {"/no-number"}},
        AnswerCase{"NoStatusLineAtAll", "/no-status-line", {"success:GET"}, 0, {"/no-status-line"}},
        AnswerCase{"ResetConnection", "/reset", {"raised"}, -1, {"/reset"}},
        AnswerCase{"ResetDuringBody", "/reset-in-body", {"raised"}, -1, {"/reset-in-body"}},
        AnswerCase{"EmptyReply", "/empty-reply", {"raised"}, -1, {"/empty-reply"}}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(HttpClient, SendsAnHttp10GetNamingTheProgram)
{
    TestHttpServer server;
    server.on("/ok", TestHttpServer::status(200));
    HttpClient http;
    EventLog log;
    get(http, log, server.url("/ok"));

    ASSERT_EQ(server.requests().size(), 1);
    const auto request = server.requests().first();
    EXPECT_EQ(request.requestLine, "GET /ok HTTP/1.0");
    EXPECT_EQ(request.header("Host"), "127.0.0.1:" + QByteArray::number(server.port()));
    EXPECT_EQ(request.header("User-Agent"), "Mozilla/4.0 (compatible; LintoraDesk 1.0)");
    EXPECT_EQ(request.header("Accept"), "*/*");
    EXPECT_EQ(log.events, (QStringList{"connect", "disconnect", "success:GET"}));
}

TEST(HttpClient, RefusesEverySchemeButHttpAndHttpsWithoutAnyTraffic)
{
    for (const QString url : {"file:///etc/passwd", "ftp://127.0.0.1/x", "gopher://127.0.0.1/", "not a url",
                              "http://", "www.example.com/page.html"}) {
        SCOPED_TRACE(url.toStdString());
        HttpClient http;
        EventLog log;
        get(http, log, url);
        EXPECT_EQ(log.events, QStringList());
        EXPECT_TRUE(log.raised);
        EXPECT_EQ(http.LastStatusCode(), -1);
    }
}

TEST(HttpClient, PortWithoutListenerIsAFailedConnection)
{
    HttpClient http;
    http.TimeOut = 5000;
    EventLog log;
    get(http, log, QStringLiteral("http://127.0.0.1:%1/").arg(freeLoopbackPort()));
    EXPECT_EQ(log.outcome(), (QStringList{"connectionFailed", "raised"}));
}

TEST(HttpClient, UnknownHostIsReportedAndLookedUpAgainOnlyWhenHandled)
{
    {
        HttpClient http;
        http.TimeOut = 5000;
        EventLog log;
        get(http, log, QStringLiteral("http://something.invalid/"));
        EXPECT_EQ(log.outcome(), (QStringList{"invalidHost", "raised"}));
    }
    {
        HttpClient http;
        http.TimeOut = 5000;
        EventLog log;
        log.lookupsToRetry = 1;
        get(http, log, QStringLiteral("http://something.invalid/"));
        EXPECT_EQ(log.outcome(), (QStringList{"invalidHost", "invalidHost", "raised"}));
    }
}

TEST(HttpClient, SilentServerTimesOutAfterTheWaitLimit)
{
    TestHttpServer server;
    server.on("/silent", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) { c.holdOpen(); });
    HttpClient http;
    http.TimeOut = 800;
    EventLog log;
    const auto start = SteadyClock::now();
    get(http, log, server.url("/silent"));
    const auto elapsed = millisecondsSince(start);

    EXPECT_EQ(log.outcome(), QStringList{"raised"});
    EXPECT_GE(elapsed, 800);
    EXPECT_LT(elapsed, 10000) << "the wait limit must end the request, not the server";
}

TEST(HttpClient, BodyInPacketsJustUnderTheWaitLimitApartIsReadToTheEnd)
{
    TestHttpServer server;
    server.on("/slow", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        c.send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n");
        c.pause(1100);
        c.send("\r\n<html>");
        for (int i = 0; i < 3 && c.pause(1100); ++i)
            c.send("<p>more</p>");
    });
    HttpClient http;
    http.TimeOut = 1500;
    EventLog log;
    get(http, log, server.url("/slow"));
    EXPECT_EQ(log.outcome(), QStringList{"success:GET"});
}

TEST(HttpClient, HeaderLinesJustUnderTheWaitLimitApartAreWaitedFor)
{
    TestHttpServer server;
    server.on("/slow-header", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        c.send("HTTP/1.0 404 Not Found\r\n");
        for (int i = 0; i < 3 && c.pause(1100); ++i)
            c.send("X-Line: " + QByteArray::number(i) + "\r\n");
        c.send("\r\n");
    });
    HttpClient http;
    http.TimeOut = 1500;
    EventLog log;
    get(http, log, server.url("/slow-header"));
    EXPECT_EQ(log.outcome(), QStringList{"failure:GET"});
}

TEST(HttpClient, CancelFromAnotherThreadEndsTheWaitSoon)
{
    TestHttpServer server;
    server.on("/silent", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) { c.holdOpen(); });
    HttpClient http;
    http.TimeOut = 30000;
    EventLog log;
    std::thread canceller([&] {
        while (server.connectionCount() == 0)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(100ms);
        http.Cancel();
    });
    const auto start = SteadyClock::now();
    get(http, log, server.url("/silent"));
    const auto elapsed = millisecondsSince(start);
    canceller.join();

    EXPECT_EQ(log.outcome(), QStringList{"raised"});
    EXPECT_LT(elapsed, 5000);
}

TEST(HttpClient, CancelBeforeGetMakesNoRequest)
{
    TestHttpServer server;
    HttpClient http;
    http.Cancel();
    EventLog log;
    get(http, log, server.url("/ok"));
    EXPECT_TRUE(log.raised);
    EXPECT_EQ(server.connectionCount(), 0);
}

TEST(HttpClient, EndlessBodyCountsAsReadOnceTheLimitIsReached)
{
    TestHttpServer server;
    server.on("/radio", endlessBody(200, 1));
    server.on("/slow-radio", endlessBody(200, 100));
    server.on("/missing-radio", endlessBody(404, 1));
    server.on("/endless-header", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        c.send("HTTP/1.0 200 OK\r\n");
        do
            c.send("X-Filler: x\r\n");
        while (c.pause(100));
    });

    struct Case
    {
        const char* path;
        qint64 maxBytes;
        qint64 maxMs;
        QStringList outcome;
    };
    const Case cases[] = {
        {"/radio", 256 * 1024, 600000, {"success:GET"}},
        {"/slow-radio", qint64(100) << 20, 1000, {"success:GET"}},
        // The status still decides; the limit only takes the answer as complete.
        {"/missing-radio", 256 * 1024, 600000, {"failure:GET"}},
        // Without a complete header there is no answer to take.
        {"/endless-header", qint64(100) << 20, 1000, {"raised"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        HttpClient http;
        http.TimeOut = 5000;
        http.MaxBodyBytes = c.maxBytes;
        http.MaxAnswerMilliseconds = c.maxMs;
        EventLog log;
        get(http, log, server.url(QString::fromLatin1(c.path)));
        EXPECT_EQ(log.outcome(), c.outcome);
    }
}

// The proxy settings alone decide: a scripted server as the proxy shows the request line it got.
TEST(HttpClient, ProxyGetsTheFullUrlAndEnvironmentProxiesAreIgnored)
{
    TestHttpServer origin;
    origin.on("/ok", TestHttpServer::status(200));
    TestHttpServer proxy;
    proxy.on("/ok", TestHttpServer::status(200));

    {
        HttpClient http;
        http.Proxy = QStringLiteral("127.0.0.1");
        http.ProxyPort = proxy.port();
        EventLog log;
        get(http, log, origin.url("/ok"));
        EXPECT_EQ(log.outcome(), QStringList{"success:GET"});
        ASSERT_EQ(proxy.requests().size(), 1);
        EXPECT_EQ(proxy.requests().first().requestLine,
                  "GET http://127.0.0.1:" + QByteArray::number(origin.port()) + "/ok HTTP/1.0");
        EXPECT_EQ(origin.connectionCount(), 0);
    }

    const QByteArray proxyUrl = "http://127.0.0.1:" + QByteArray::number(proxy.port());
    const QByteArray saved = qgetenv("http_proxy");
    const bool hadSaved = qEnvironmentVariableIsSet("http_proxy");
    qputenv("http_proxy", proxyUrl);
    {
        HttpClient http;
        EventLog log;
        get(http, log, origin.url("/ok"));
        EXPECT_EQ(log.outcome(), QStringList{"success:GET"});
    }
    if (hadSaved)
        qputenv("http_proxy", saved);
    else
        qunsetenv("http_proxy");
    EXPECT_EQ(origin.connectionCount(), 1);
    EXPECT_EQ(proxy.connectionCount(), 1);
}

TEST(HttpClient, ProxyThatCannotBeReachedIsAFailedConnection)
{
    TestHttpServer origin;
    HttpClient http;
    http.TimeOut = 5000;
    http.Proxy = QStringLiteral("127.0.0.1");
    http.ProxyPort = freeLoopbackPort();
    EventLog log;
    get(http, log, origin.url("/ok"));
    EXPECT_EQ(log.outcome(), (QStringList{"connectionFailed", "raised"}));
    EXPECT_EQ(origin.connectionCount(), 0);
}

TEST(HttpClient, HttpsChecksTheCertificate)
{
    TlsServer tls;
    ASSERT_TRUE(tls.started()) << tls.error().toStdString();
    {
        HttpClient http;
        http.TimeOut = 5000;
        http.CaFile = tls.caFile();
        EventLog log;
        get(http, log, tls.url("/"));
        EXPECT_EQ(log.outcome(), QStringList{"success:GET"});
        EXPECT_EQ(http.LastStatusCode(), 200);
    }
    {
        HttpClient http; // the system's certificates know nothing of the test's CA
        http.TimeOut = 5000;
        EventLog log;
        get(http, log, tls.url("/"));
        EXPECT_EQ(log.outcome(), (QStringList{"connectionFailed", "raised"}));
    }
}

TEST(HttpClient, ThroughRealTinyproxyForHttpAndHttps)
{
    TinyProxy proxy;
    ASSERT_TRUE(proxy.started()) << proxy.error().toStdString();
    TestHttpServer origin;
    origin.on("/ok", TestHttpServer::status(200));
    TlsServer tls;
    ASSERT_TRUE(tls.started()) << tls.error().toStdString();

    HttpClient http;
    http.TimeOut = 5000;
    http.Proxy = QStringLiteral("127.0.0.1");
    http.ProxyPort = proxy.port();
    http.CaFile = tls.caFile();
    EventLog log;
    get(http, log, origin.url("/ok"));
    EXPECT_EQ(log.outcome(), QStringList{"success:GET"});
    ASSERT_EQ(origin.requests().size(), 1);
    EXPECT_TRUE(origin.requests().first().header("Via").contains("tinyproxy"));
    EXPECT_TRUE(proxy.log().contains("GET " + origin.url("/ok").toLatin1() + " HTTP/1.0"))
        << proxy.log().constData();

    EventLog tlsLog;
    get(http, tlsLog, tls.url("/"));
    EXPECT_EQ(tlsLog.outcome(), QStringList{"success:GET"});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return proxy.log().contains("CONNECT 127.0.0.1:" + QByteArray::number(tls.port())); }, 5000))
        << proxy.log().constData();
}

TEST(HttpClient, RedirectTargets)
{
    struct Case
    {
        const char* current;
        const char* location;
        const char* target;
    };
    const Case cases[] = {
        {"http://h/a/b", "x.html", "http://h/x.html"},
        {"http://h:8080/a/b?q=1", "x?y=1", "http://h:8080/x?y=1"},
        {"https://h/a/b", "page:1", "https://h/page:1"},
        {"http://h/a/b", "c/d", "http://h/a/c/d"},
        {"http://h/a/b", "/c", "http://h/c"},
        {"http://h/a/b", "https://o/p", "https://o/p"},
        {"http://h/a/b", "//o/p", "http://o/p"},
        {"http://h/a/b", "  ", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(redirectTarget(c.current, c.location), QString::fromLatin1(c.target))
            << c.current << " + " << c.location;
}

} // namespace
} // namespace lintora::test
