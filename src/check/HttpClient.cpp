#include "check/HttpClient.h"

#include <QUrl>
#include <chrono>
#include <cstring>
#include <curl/curl.h>
#include <mutex>

namespace lintora {

const char* HttpClient::UserAgent = "Mozilla/4.0 (compatible; LintoraDesk 1.0)";

namespace {

using SteadyClock = std::chrono::steady_clock;

const QString GetCommand = QStringLiteral("GET");

qint64 millisecondsSince(SteadyClock::time_point then)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - then).count();
}

// The URL as it goes to libcurl, or an error for anything but an http or https URL with a host.
QByteArray fetchableUrl(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        throw HttpError("not an http or https URL");
    if (url.host().isEmpty())
        throw HttpError("URL without a host");
    return url.toEncoded(QUrl::RemoveFragment);
}

// libcurl takes an IPv6 proxy address only in brackets.
QByteArray proxyAddress(const QString& host)
{
    QString address = host.trimmed();
    if (address.contains(QLatin1Char(':')) && !address.contains(QLatin1Char('[')) &&
        !address.contains(QLatin1String("://")))
        address = QLatin1Char('[') + address + QLatin1Char(']');
    return address.toUtf8();
}

bool startsWithNoCase(const char* data, size_t size, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return size >= length && qstrnicmp(data, prefix, length) == 0;
}

} // namespace

// What one request's callbacks see and decide.
struct HttpClient::Transfer
{
    HttpClient* client = nullptr;
    SteadyClock::time_point start;
    SteadyClock::time_point lastActivity;
    bool connected = false;
    bool headerComplete = false;
    bool answerTakenAsComplete = false; // the body limit ended the transfer
    bool cancelled = false;
    bool timedOut = false;
    qint64 bodyBytes = 0;
    QByteArray location;

    void touch() { lastActivity = SteadyClock::now(); }

    bool answerTooLong() const { return millisecondsSince(start) >= client->MaxAnswerMilliseconds; }

    static int prereq(void* userdata, char*, char*, int, int)
    {
        auto* t = static_cast<Transfer*>(userdata);
        t->connected = true;
        t->touch();
        if (t->client->OnConnect)
            t->client->OnConnect();
        return CURL_PREREQFUNC_OK;
    }

    static size_t header(char* data, size_t size, size_t count, void* userdata)
    {
        auto* t = static_cast<Transfer*>(userdata);
        const size_t length = size * count;
        t->touch();
        if (startsWithNoCase(data, length, "HTTP/")) {
            // A new answer begins (after an interim 1xx one): its own headers count.
            t->location.clear();
            t->headerComplete = false;
        } else if (startsWithNoCase(data, length, "location:")) {
            t->location = QByteArray(data + 9, qsizetype(length - 9)).trimmed();
        } else if (QByteArray::fromRawData(data, qsizetype(length)).trimmed().isEmpty()) {
            t->headerComplete = true;
        }
        return length;
    }

    static size_t body(char*, size_t size, size_t count, void* userdata)
    {
        auto* t = static_cast<Transfer*>(userdata);
        const size_t length = size * count;
        t->touch();
        t->headerComplete = true; // also true for an answer without any header
        t->bodyBytes += qint64(length);
        if (t->bodyBytes > t->client->MaxBodyBytes || t->answerTooLong()) {
            // An endless stream: what has arrived is the answer.
            t->answerTakenAsComplete = true;
            return 0;
        }
        return length;
    }

    static int progress(void* userdata, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto* t = static_cast<Transfer*>(userdata);
        if (t->client->m_cancelRequested.load(std::memory_order_acquire)) {
            t->cancelled = true;
            return 1;
        }
        if (millisecondsSince(t->lastActivity) > t->client->TimeOut) {
            t->timedOut = true;
            return 1;
        }
        if (t->answerTooLong()) {
            if (t->headerComplete)
                t->answerTakenAsComplete = true;
            else
                t->timedOut = true;
            return 1;
        }
        return 0;
    }
};

HttpClient::HttpClient()
{
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_curl = curl_easy_init();
    if (!m_curl)
        throw HttpError("libcurl could not be set up");
}

HttpClient::~HttpClient()
{
    curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

bool isFollowedRedirect(int statusCode)
{
    switch (statusCode) {
    case 300:
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
        return true;
    default:
        return false;
    }
}

QString redirectTarget(const QString& currentUrl, const QString& location)
{
    const QString reference = location.trimmed();
    if (reference.isEmpty())
        return QString();
    const QUrl base(currentUrl, QUrl::TolerantMode);
    if (!reference.contains(QLatin1Char('/')))
        return base.resolved(QUrl(QLatin1Char('/') + reference, QUrl::TolerantMode)).toString();
    return base.resolved(QUrl(reference, QUrl::TolerantMode)).toString();
}

int HttpClient::performOnce(const QByteArray& url, QByteArray& location)
{
    CURL* curl = static_cast<CURL*>(m_curl);
    curl_easy_reset(curl);

    Transfer transfer;
    transfer.client = this;
    transfer.start = SteadyClock::now();
    transfer.lastActivity = transfer.start;

    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
    const QByteArray proxy = Proxy.trimmed().isEmpty() ? QByteArray() : proxyAddress(Proxy);
    const QByteArray caFile = CaFile.toLocal8Bit();

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    // Only the web: a bookmark must never make the checker read a local file or talk another protocol.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    // An answer without a status line is an answer all the same (status 0).
    curl_easy_setopt(curl, CURLOPT_HTTP09_ALLOWED, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    // The settings alone decide about the proxy: an empty one means none, whatever the environment.
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy.constData());
    if (!proxy.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_PROXYPORT, long(ProxyPort));
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
    }
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(TimeOut));

    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &Transfer::prereq);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::header);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::body);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode result = curl_easy_perform(curl);
    // Nothing of this call's stack may stay known to the handle.
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    long statusCode = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &statusCode);

    if (transfer.connected && OnDisconnect)
        OnDisconnect();

    if (result == CURLE_OK || transfer.answerTakenAsComplete) {
        location = transfer.location;
        return int(statusCode);
    }
    // libcurl refuses a status line whose code it cannot read; the answer then counts as status 0.
    if (result == CURLE_UNSUPPORTED_PROTOCOL && transfer.connected && !transfer.cancelled) {
        location.clear();
        return 0;
    }
    if (result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_RESOLVE_PROXY)
        return HostNotFound;

    const QByteArray reason = transfer.cancelled  ? QByteArray("cancelled")
                              : transfer.timedOut ? QByteArray("timed out")
                              : errorText[0]      ? QByteArray(errorText)
                                                  : QByteArray(curl_easy_strerror(result));
    if (!transfer.connected && OnConnectionFailed)
        OnConnectionFailed();
    throw HttpError(reason.toStdString());
}

void HttpClient::Get(const QString& url)
{
    m_lastStatusCode = -1;
    m_requestedUrls.clear();

    QString current = url;
    for (int redirects = 0;; ++redirects) {
        const QByteArray encoded = fetchableUrl(current);
        QByteArray location;
        int statusCode = -1;
        for (;;) {
            if (m_cancelRequested.load(std::memory_order_acquire))
                throw HttpError("cancelled");
            m_requestedUrls.append(QString::fromUtf8(encoded));
            statusCode = performOnce(encoded, location);
            if (statusCode != HostNotFound)
                break;
            bool handled = false;
            if (OnInvalidHost)
                OnInvalidHost(handled);
            if (!handled)
                throw HttpError("host not found");
        }
        m_lastStatusCode = statusCode;

        if (isFollowedRedirect(statusCode) && !location.trimmed().isEmpty()) {
            if (redirects >= MaxRedirects)
                throw HttpError("too many redirects");
            current = redirectTarget(QString::fromUtf8(encoded), QString::fromUtf8(location));
            continue;
        }
        if (statusCode < 299) {
            if (OnSuccess)
                OnSuccess(GetCommand);
        } else {
            if (OnFailure)
                OnFailure(GetCommand);
        }
        return;
    }
}

} // namespace lintora
