#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <stdexcept>

namespace lintora {

// Raised by HttpClient::Get when an exchange could not be completed: no connection, a time-out, a
// cancel, a URL that cannot be fetched, too many redirects.
class HttpError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The link checker's HTTP client on libcurl: a synchronous HTTP/1.0 GET of one URL, redirects
// followed by its own loop, the body read to its end and thrown away. Settings are made on the
// user-interface thread before Get runs on the worker's thread; Cancel may come from any thread.
// The events fire on the thread that runs Get, before it returns or raises.
class HttpClient
{
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Settings.
    QString Proxy;       // proxy host; empty: connect to the URL's own host, ignoring the environment
    int ProxyPort = 0;   // port of Proxy
    int TimeOut = 30000; // milliseconds any single wait (lookup, connect, each wait for data) may last
    QString CaFile;      // certificates to trust for https; empty: the system's store
    qint64 MaxBodyBytes = qint64(100) * 1024 * 1024;   // an answer still arriving after this many body
    qint64 MaxAnswerMilliseconds = qint64(10) * 60000; // bytes or this long is taken as complete there
    int MaxRedirects = 20;

    // Events. OnConnect and OnDisconnect mark each connection of the exchange.
    std::function<void()> OnConnect;
    std::function<void()> OnDisconnect;
    std::function<void()> OnConnectionFailed;          // then Get raises
    std::function<void(bool& handled)> OnInvalidHost;  // handled = true asks for another lookup
    std::function<void(const QString& cmd)> OnFailure; // the final answer is not readable
    std::function<void(const QString& cmd)> OnSuccess; // the final answer is readable

    // Fetches the URL (http and https only). Returns after OnSuccess or OnFailure; raises HttpError
    // for everything else.
    void Get(const QString& url);

    // Ends the wait in progress; Get raises soon after (within about a second). A cancel that comes
    // before Get makes Get raise at once.
    void Cancel() { m_cancelRequested.store(true, std::memory_order_release); }

    // Status code of the final answer of the last Get (0 for an answer whose status line has no
    // number), or -1 when there was none; and the URLs requested, in order.
    int LastStatusCode() const { return m_lastStatusCode; }
    const QStringList& RequestedUrls() const { return m_requestedUrls; }

    static const char* UserAgent;

private:
    struct Transfer;
    static constexpr int HostNotFound = -1;
    // One request, without following redirects. Returns the answer's status code and fills location,
    // or HostNotFound; raises HttpError when there is no answer.
    int performOnce(const QByteArray& url, QByteArray& location);

    void* m_curl = nullptr; // CURL*, kept for the client's life
    std::atomic<bool> m_cancelRequested{false};
    int m_lastStatusCode = -1;
    QStringList m_requestedUrls;
};

// The URL that a redirect's Location leads to from the current URL: a Location without any "/" is a
// name at the root of the same host; anything else is resolved as a reference against the current
// URL. Empty when the Location is empty.
QString redirectTarget(const QString& currentUrl, const QString& location);

// True for the status codes whose Location is followed.
bool isFollowedRedirect(int statusCode);

} // namespace lintora
