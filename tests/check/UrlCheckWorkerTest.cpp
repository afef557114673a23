// The URL check worker against real servers on the loopback interface and real shortcut files.

#include "check/UrlCheckWorker.h"
#include "FixedClock.h"
#include "TempFavorites.h"
#include "TestHttpServer.h"
#include "TestProcesses.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace lintora::test {
namespace {

using namespace std::chrono_literals;

TEST(ResponseTime, RoundsToMillisecondsAndDropsWholeDays)
{
    struct Case
    {
        double elapsedSeconds;
        double expected;
    };
    const Case cases[] = {
        {1.5, 1.5},        {0.999, 0.999},       {61.25, 61.25}, {3723.456, 3723.456}, // 1 h 2 min 3.456 s
        {0.0004, 0.0},                           // under half a millisecond
        {0.0006, 0.001},   {86400.0 + 2.0, 2.0}, // a whole day goes
        {86399.9996, 0.0},                       // rounds up to a whole day, which goes too
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(responseTimeSeconds(c.elapsedSeconds / 86400.0), c.expected) << c.elapsedSeconds;
    EXPECT_DOUBLE_EQ(responseTimeSeconds(std::chrono::steady_clock::duration(1500ms)), 1.5);
}

bool waitUntilEnded(const TCheckURL& worker, int timeoutMs = 20000)
{
    return QTest::qWaitFor([&] { return !worker.isRunning(); }, timeoutMs);
}

class UrlCheckWorker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.on("/ok", TestHttpServer::afterPause(5, TestHttpServer::status(200)));
        server.on("/missing", TestHttpServer::status(404));
        server.on("/loop", TestHttpServer::status(302, "Location: /loop\r\n"));
        server.on("/no-number",
                  TestHttpServer::afterPause(5, TestHttpServer::reply("HTTP/1.0 OK\r\n\r\n<html></html>")));
        server.on("/silent",
                  [](TestHttpServer::Connection& c, const TestHttpServer::Request&) { c.holdOpen(); });
    }

    QByteArray shortcutBytes(const QString& url, const QByteArray& lintoraLines = QByteArray())
    {
        QByteArray bytes = "[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n";
        if (!lintoraLines.isEmpty())
            bytes += "[Lintora]\r\n" + lintoraLines;
        return bytes;
    }

    TempFavorites favorites;
    TestHttpServer server;
    AppSettings settings;
};

TEST_F(UrlCheckWorker, StoresTheOutcomeOfEachKindOfCheck)
{
    struct Case
    {
        const char* title;
        QString url;
        CheckStatus status;
    };
    const Case cases[] = {
        {"ok", server.url("/ok"), 1},
        {"missing", server.url("/missing"), -1},
        {"no-number", server.url("/no-number"), 1},
        {"loop", server.url("/loop"), -2},
        {"silent", server.url("/silent"), -2},
        {"no-listener", QStringLiteral("http://127.0.0.1:%1/").arg(freeLoopbackPort()), -2},
        {"invalid-host", QStringLiteral("http://something.invalid/"), -2},
        {"local-file", QStringLiteral("file:///etc/hostname"), -2},
        {"ftp", QStringLiteral("ftp://127.0.0.1/"), -2},
    };
    // Every file remembers an earlier successful check: only a readable page replaces its time.
    const QByteArray earlier = "RESPONS=2.5\r\n";
    FixedClock clock;
    std::vector<std::unique_ptr<TCheckURL>> workers;
    QStringList paths;
    for (const Case& c : cases) {
        paths << favorites.addFile(QString::fromLatin1(c.title) + ".URL", shortcutBytes(c.url, earlier));
        workers.push_back(std::make_unique<TCheckURL>(paths.last(), settings, 1000));
    }
    for (std::size_t i = 0; i < workers.size(); ++i) {
        SCOPED_TRACE(cases[i].title);
        ASSERT_TRUE(waitUntilEnded(*workers[i]));
        EXPECT_EQ(workers[i]->status(), cases[i].status);
        workers[i].reset();

        // The results join the earlier response time in the private section; only a readable
        // page replaces that time.
        const QByteArray head = shortcutBytes(cases[i].url, "RESPONS=");
        const QByteArray tail = QByteArray("\r\nDATE=") + FixedClock::Text +
                                "\r\nSTATUS=" + QByteArray::number(cases[i].status) + "\r\n";
        const QByteArray bytes = TempFavorites::readBytes(paths[i]);
        ASSERT_TRUE(bytes.startsWith(head) && bytes.endsWith(tail)) << bytes.constData();
        const QByteArray response = bytes.mid(head.size(), bytes.size() - head.size() - tail.size());
        if (cases[i].status == 1) {
            EXPECT_GT(response.toDouble(), 0.0) << response.constData();
            EXPECT_LT(response.toDouble(), 2.5) << response.constData();
        } else {
            EXPECT_EQ(response, "2.5");
        }
    }
}

TEST_F(UrlCheckWorker, EmptyUrlIsUnprocessableWithoutTraffic)
{
    FixedClock clock;
    const QString path = favorites.addFile("empty.URL", "[InternetShortcut]\r\nURL=\r\n");
    auto worker = std::make_unique<TCheckURL>(path, settings, 1000);
    ASSERT_TRUE(waitUntilEnded(*worker));
    EXPECT_EQ(worker->startTime(), NullDateTime);
    worker.reset();
    EXPECT_EQ(
        TempFavorites::readBytes(path),
        QByteArray("[InternetShortcut]\r\nURL=\r\n[Lintora]\r\nDATE=2026/12/11 9:05:03\r\nSTATUS=-4\r\n"));
    EXPECT_EQ(server.connectionCount(), 0);
}

TEST_F(UrlCheckWorker, ResponseTimeCoversEveryRedirectAndTheWholeBody)
{
    server.on("/slow-moved", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        c.pause(300);
        c.send("HTTP/1.0 302 Found\r\nLocation: /slow-page\r\n\r\n");
    });
    server.on("/slow-page", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        c.send("HTTP/1.0 200 OK\r\n\r\n<html>");
        c.pause(300);
        c.send("</html>");
    });
    const QString path = favorites.addShortcut("", "slow", server.url("/slow-moved"));
    auto worker = std::make_unique<TCheckURL>(path, settings, 5000);
    ASSERT_TRUE(waitUntilEnded(*worker));
    EXPECT_EQ(worker->status(), 1);
    worker.reset();
    TBMFile record(path);
    EXPECT_GE(record.GetResponse(), 0.6);
    EXPECT_EQ(record.GetStatus(), 1);
}

TEST_F(UrlCheckWorker, ProxySettingsDecideTheRoute)
{
    TinyProxy proxy;
    ASSERT_TRUE(proxy.started()) << proxy.error().toStdString();
    struct Case
    {
        const char* name;
        bool useProxy;
        QString host;
        bool throughProxy;
    };
    const Case cases[] = {
        {"on", true, QStringLiteral("127.0.0.1"), true},
        {"off", false, QStringLiteral("127.0.0.1"), false},
        {"on-without-host", true, QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = server.requests().size();
        settings.UseProxy = c.useProxy;
        settings.ProxyHost = c.host;
        settings.ProxyPort = proxy.port();
        const QString url = server.url("/ok?route=" + QString::fromLatin1(c.name));
        const QString path = favorites.addShortcut("", c.name, url);
        auto worker = std::make_unique<TCheckURL>(path, settings, 5000);
        ASSERT_TRUE(waitUntilEnded(*worker));
        EXPECT_EQ(worker->status(), 1);
        worker.reset();

        ASSERT_EQ(server.requests().size(), before + 1);
        EXPECT_EQ(server.requests().last().header("Via").contains("tinyproxy"), c.throughProxy);
        EXPECT_EQ(proxy.log().contains("GET " + url.toLatin1() + " HTTP/1.0"), c.throughProxy);
    }
}

TEST_F(UrlCheckWorker, CancelledWorkerWritesNothing)
{
    const QByteArray original = shortcutBytes(server.url("/silent"), "STATUS=1\r\nRESPONS=0.5\r\n");
    const QString running = favorites.addFile("running.URL", original);
    const QString ended = favorites.addFile("ended.URL", shortcutBytes(server.url("/ok")));

    auto cancelledWhileRunning = std::make_unique<TCheckURL>(running, settings, 30000);
    auto cancelledAfterEnd = std::make_unique<TCheckURL>(ended, settings, 5000);
    ASSERT_TRUE(waitUntilEnded(*cancelledAfterEnd));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 2; }, 5000));

    cancelledWhileRunning->Cancel();
    ASSERT_TRUE(waitUntilEnded(*cancelledWhileRunning, 5000)) << "the cancel must end the silent wait";
    cancelledAfterEnd->Cancel();
    cancelledWhileRunning.reset();
    cancelledAfterEnd.reset();

    EXPECT_EQ(TempFavorites::readBytes(running), original);
    EXPECT_EQ(TempFavorites::readBytes(ended), shortcutBytes(server.url("/ok")));
}

TEST_F(UrlCheckWorker, WorkerDestroyedBeforeItsCheckEndedWritesNothing)
{
    const QByteArray original = shortcutBytes(server.url("/silent"));
    const QString path = favorites.addFile("early.URL", original);
    auto worker = std::make_unique<TCheckURL>(path, settings, 30000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 1; }, 5000));
    worker.reset();
    EXPECT_EQ(TempFavorites::readBytes(path), original);
}

TEST_F(UrlCheckWorker, ShortcutDeletedDuringTheCheckIsNotCreatedAgain)
{
    std::atomic<bool> deleted{false};
    server.on("/wait", [&deleted](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
        while (!deleted.load() && c.pause(20)) {
        }
        c.send("HTTP/1.0 200 OK\r\n\r\n<html></html>");
    });
    const QString path = favorites.addShortcut("", "doomed", server.url("/wait"));
    auto worker = std::make_unique<TCheckURL>(path, settings, 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 1; }, 5000));
    ASSERT_TRUE(QFile::remove(path));
    deleted.store(true);
    ASSERT_TRUE(waitUntilEnded(*worker));
    EXPECT_EQ(worker->status(), 1);
    worker.reset();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(UrlCheckWorker, RefusedWriteIsReportedAndTheWorkerStillGoesAway)
{
    const QByteArray original = shortcutBytes(server.url("/ok"));
    const QString path = favorites.addFile("locked.URL", original);
    TempFavorites::makeReadOnly(path);
    QStringList reported;
    auto worker = std::make_unique<TCheckURL>(path, settings, 5000);
    worker->OnWriteError = [&reported](const QString& message) { reported << message; };
    ASSERT_TRUE(waitUntilEnded(*worker));
    worker.reset();

    EXPECT_EQ(reported, QStringList{path + " に書き込めません"});
    EXPECT_EQ(TempFavorites::readBytes(path), original);
}

} // namespace
} // namespace lintora::test
