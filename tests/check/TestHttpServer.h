#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lintora::test {

// A scripted HTTP server on 127.0.0.1 with a free port, for the link checker's tests. Every
// connection gets a thread of its own; the script for a request's path decides what goes back.
// Requests are recorded, also when the server is used as a proxy (then the request line holds the
// full URL, and the script is found by the URL's path).
class TestHttpServer
{
public:
    struct Request
    {
        QByteArray requestLine; // e.g. "GET /ok HTTP/1.0"
        QByteArray target;      // the second word: a path, or a full URL when asked as a proxy
        QByteArray path;        // the path of the target
        QList<QByteArray> headerLines;
        QByteArray header(const QByteArray& name) const; // value of a header, "" when absent
    };

    // Talks to one client; the connection is closed when the script returns.
    class Connection
    {
    public:
        Connection(int fd, const std::atomic<bool>& stopping) : m_fd(fd), m_stopping(stopping) {}
        void send(const QByteArray& bytes);
        // Waits up to ms milliseconds; false when the server stops or the client goes away first.
        bool pause(int ms);
        // Waits until the server stops or the client goes away.
        void holdOpen();
        // Ends the connection with a reset instead of an orderly close.
        void reset();

    private:
        int m_fd;
        const std::atomic<bool>& m_stopping;
    };

    using Script = std::function<void(Connection&, const Request&)>;

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int port() const { return m_port; }
    QString url(const QString& path) const; // http://127.0.0.1:<port><path>

    // Scripts by exact path (the query left aside); paths without a script answer 404.
    void on(const QByteArray& path, Script script);
    // A script that sends these bytes and closes.
    static Script reply(const QByteArray& bytes);
    // A script that waits a moment before running another: a readable page that answers at once on
    // loopback would store a response time rounded down to 0 ms.
    static Script afterPause(int milliseconds, Script script);
    // "HTTP/1.0 <status>" with the given extra header lines and a small body.
    static Script status(int code, const QByteArray& extraHeaders = QByteArray(),
                         const QByteArray& body = QByteArray("<html><body>page</body></html>"));

    int connectionCount() const { return m_connections.load(); }
    QList<Request> requests() const;
    QList<QByteArray> requestedPaths() const;

private:
    void acceptLoop();
    void serve(int fd);

    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_connections{0};
    std::thread m_acceptThread;
    mutable std::mutex m_mutex;
    std::vector<std::thread> m_clientThreads;
    QMap<QByteArray, Script> m_scripts;
    QList<Request> m_requests;
};

} // namespace lintora::test
