// Link-check figures against a local HTTP server on 127.0.0.1:
//  1. the worker alone: checks per second with five workers at a time (the checks themselves, from
//     creation to the end of the request; the one-second pause of each deletion is left out here);
//  2. the response time the worker stores for a local 200, against a bare libcurl GET of the same URL
//     and against the project's HTTP client alone, in the same run;
//  3. a check run over 20 bookmarks through the real progress dialog: seconds per bookmark, against
//     the one-second pacing of the ticks and deletions.
// Usage: bench_check [checks-for-part-1 (default 500)]

#include "app/Settings.h"
#include "check/CheckProgressDialog.h"
#include "check/HttpClient.h"
#include "check/UrlCheckWorker.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <netinet/in.h>
#include <numeric>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace lintora;
using SteadyClock = std::chrono::steady_clock;

namespace {

// Answers every request at once with a small page, one thread per connection.
class LocalServer
{
public:
    LocalServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 128);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_acceptThread = std::thread([this] { acceptLoop(); });
    }
    ~LocalServer()
    {
        m_stopping = true;
        m_acceptThread.join();
        ::close(m_fd);
        while (m_active.load() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/page.html").arg(m_port); }

private:
    void acceptLoop()
    {
        while (!m_stopping) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++m_active;
            std::thread([this, client] {
                serve(client);
                --m_active;
            }).detach();
        }
    }
    static void serve(int fd)
    {
        QByteArray head;
        char buffer[4096];
        while (!head.contains("\r\n\r\n")) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            head.append(buffer, n);
        }
        static const QByteArray body(2048, 'x');
        const QByteArray answer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body;
        ::send(fd, answer.constData(), size_t(answer.size()), MSG_NOSIGNAL);
        ::close(fd);
    }

    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_active{0};
    std::thread m_acceptThread;
};

QString writeShortcut(const QString& folder, int index, const QString& url)
{
    const QString path = QStringLiteral("%1/bookmark%2.URL").arg(folder).arg(index, 4, 10, QLatin1Char('0'));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n");
    return path;
}

double secondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

double bareCurlGetSeconds(const QByteArray& url)
{
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    const auto start = SteadyClock::now();
    curl_easy_perform(curl);
    const double seconds = secondsSince(start);
    curl_easy_cleanup(curl);
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double mean(const std::vector<double>& values)
{
    return values.empty() ? 0.0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

// Deleting a worker pauses for about a second; these figures are about the checks, so the ended
// workers are deleted at the end, many at a time on helper threads.
void deleteInParallel(std::vector<std::unique_ptr<TCheckURL>>& workers)
{
    std::vector<std::thread> helpers;
    const std::size_t perHelper = 10;
    for (std::size_t first = 0; first < workers.size(); first += perHelper) {
        helpers.emplace_back([&workers, first, perHelper] {
            for (std::size_t i = first; i < std::min(first + perHelper, workers.size()); ++i)
                workers[i].reset();
        });
    }
    for (auto& h : helpers)
        h.join();
    workers.clear();
}

void benchWorkers(const LocalServer& server, const QString& folder, int checks)
{
    const AppSettings settings;
    QStringList paths;
    for (int i = 0; i < checks; ++i)
        paths << writeShortcut(folder, i, server.url());

    std::vector<std::unique_ptr<TCheckURL>> ended;
    std::vector<std::unique_ptr<TCheckURL>> running;
    int next = 0;
    const auto start = SteadyClock::now();
    while (next < checks || !running.empty()) {
        while (running.size() < 5 && next < checks)
            running.push_back(std::make_unique<TCheckURL>(paths[next++], settings));
        for (auto it = running.begin(); it != running.end();) {
            if ((*it)->isRunning()) {
                ++it;
            } else {
                ended.push_back(std::move(*it));
                it = running.erase(it);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const double seconds = secondsSince(start);
    int readable = 0;
    for (const auto& w : ended)
        readable += w->status() == 1 ? 1 : 0;
    std::printf("1. worker alone, five at a time: %d checks in %.2f s = %.0f checks/s (%d readable)\n",
                checks, seconds, checks / seconds, readable);
    deleteInParallel(ended);
}

void benchOverhead(const LocalServer& server, const QString& folder)
{
    const AppSettings settings;
    const int rounds = 100;
    const QByteArray url = server.url().toUtf8();
    std::vector<double> bare;
    std::vector<double> client;
    std::vector<double> worker;
    std::vector<std::unique_ptr<TCheckURL>> workers;
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(bareCurlGetSeconds(url));

        HttpClient http;
        const auto start = SteadyClock::now();
        http.Get(server.url());
        client.push_back(secondsSince(start));

        workers.push_back(
            std::make_unique<TCheckURL>(writeShortcut(folder, 10000 + i, server.url()), settings));
        while (workers.back()->isRunning())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        worker.push_back(std::chrono::duration<double>(workers.back()->elapsed()).count());
    }
    deleteInParallel(workers);
    std::printf("2. local 200, %d rounds each, median / mean in ms:\n", rounds);
    std::printf("   bare libcurl GET          %.3f / %.3f\n", median(bare) * 1000, mean(bare) * 1000);
    std::printf("   HttpClient::Get           %.3f / %.3f\n", median(client) * 1000, mean(client) * 1000);
    std::printf("   worker, request to answer %.3f / %.3f (stored rounded to whole milliseconds)\n",
                median(worker) * 1000, mean(worker) * 1000);
    std::printf("   worker over bare libcurl:  %.3f ms (median)\n", (median(worker) - median(bare)) * 1000);
}

void benchDialog(const LocalServer& server, const QString& folder)
{
    const AppSettings settings;
    QStringList paths;
    for (int i = 0; i < 20; ++i)
        paths << writeShortcut(folder, 20000 + i, server.url());
    QWidget mainWindow;
    TForm5 form(&mainWindow, settings);
    const auto start = SteadyClock::now();
    form.Run(paths);
    const double seconds = secondsSince(start);
    int readable = 0;
    for (const QString& path : paths)
        readable += TBMFile(path).GetStatus() == 1 ? 1 : 0;
    std::printf("3. check run over %lld bookmarks through the dialog: %.2f s = %.2f s per bookmark "
                "(pacing: about 1 s; %d readable)\n",
                static_cast<long long>(paths.size()), seconds, seconds / double(paths.size()), readable);
}

} // namespace

int main(int argc, char** argv)
{
    // A benchmark, not a test: it sets the platform itself so that it runs anywhere.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int checks = argc > 1 ? std::max(10, QByteArray(argv[1]).toInt()) : 500;

    QTemporaryDir dir;
    LocalServer server;
    benchWorkers(server, dir.path(), checks);
    benchOverhead(server, dir.path());
    benchDialog(server, dir.path());
    return 0;
}
