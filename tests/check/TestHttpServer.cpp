#include "TestHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace lintora::test {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Polls fd for the events in small slices, so that a stopping server is noticed. Returns the
// revents, or 0 when the time ran out or the server stops.
short pollSliced(int fd, short events, int ms, const std::atomic<bool>& stopping)
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
    while (!stopping.load()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        if (left <= 0)
            return 0;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(std::min<long long>(left, 50)));
        if (n > 0)
            return p.revents;
    }
    return 0;
}

} // namespace

QByteArray TestHttpServer::Request::header(const QByteArray& name) const
{
    for (const QByteArray& line : headerLines) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

void TestHttpServer::Connection::send(const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

bool TestHttpServer::Connection::pause(int ms)
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
    while (SteadyClock::now() < deadline) {
        if (m_stopping.load())
            return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, int(std::clamp<long long>(left, 0, 50))) > 0) {
            char buffer[256];
            if (::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0)
                return false; // the client has gone
        }
    }
    return true;
}

void TestHttpServer::Connection::holdOpen()
{
    while (pause(1000)) {
    }
}

void TestHttpServer::Connection::reset()
{
    linger abortive{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

TestHttpServer::TestHttpServer()
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 64) != 0)
        throw std::runtime_error("test server cannot listen");
    socklen_t length = sizeof address;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

TestHttpServer::~TestHttpServer()
{
    m_stopping.store(true);
    m_acceptThread.join();
    ::close(m_listenFd);
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        threads.swap(m_clientThreads);
    }
    for (auto& t : threads)
        t.join();
}

QString TestHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void TestHttpServer::on(const QByteArray& path, Script script)
{
    std::lock_guard lock(m_mutex);
    m_scripts.insert(path, std::move(script));
}

TestHttpServer::Script TestHttpServer::reply(const QByteArray& bytes)
{
    return [bytes](Connection& c, const Request&) { c.send(bytes); };
}

TestHttpServer::Script TestHttpServer::afterPause(int milliseconds, Script script)
{
    return [milliseconds, script](Connection& c, const Request& r) {
        if (c.pause(milliseconds))
            script(c, r);
    };
}

TestHttpServer::Script TestHttpServer::status(int code, const QByteArray& extraHeaders,
                                              const QByteArray& body)
{
    QByteArray bytes = "HTTP/1.0 " + QByteArray::number(code) + " Status\r\nContent-Type: text/html\r\n";
    bytes += extraHeaders;
    bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    return reply(bytes);
}

QList<TestHttpServer::Request> TestHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QList<QByteArray> TestHttpServer::requestedPaths() const
{
    QList<QByteArray> paths;
    for (const Request& r : requests())
        paths << r.path;
    return paths;
}

void TestHttpServer::acceptLoop()
{
    while (!m_stopping.load()) {
        if (!(pollSliced(m_listenFd, POLLIN, 100, m_stopping) & POLLIN))
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        std::lock_guard lock(m_mutex);
        m_clientThreads.emplace_back([this, fd] { serve(fd); });
    }
}

void TestHttpServer::serve(int fd)
{
    QByteArray head;
    while (!head.contains("\r\n\r\n") && head.size() < 65536) {
        if (!(pollSliced(fd, POLLIN, 10000, m_stopping) & (POLLIN | POLLHUP)))
            break;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, n);
    }
    const int end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        ::close(fd);
        return;
    }
    Request request;
    QList<QByteArray> lines = head.left(end).split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    request.requestLine = lines.value(0);
    request.headerLines = lines.mid(1);
    request.target = request.requestLine.split(' ').value(1);
    request.path = request.target;
    if (request.path.startsWith("http://") || request.path.startsWith("https://")) {
        const int slash = request.path.indexOf('/', request.path.indexOf("//") + 2);
        request.path = slash < 0 ? QByteArray("/") : request.path.mid(slash);
    }

    Script script;
    {
        std::lock_guard lock(m_mutex);
        m_requests.append(request);
        script = m_scripts.value(request.path.split('?').first());
    }
    if (!script)
        script = status(404, QByteArray(), "<html><body>not found</body></html>");
    Connection connection(fd, m_stopping);
    script(connection, request);
    ::close(fd);
}

} // namespace lintora::test
