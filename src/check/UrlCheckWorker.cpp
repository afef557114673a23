#include "check/UrlCheckWorker.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <cmath>

namespace lintora {

namespace {

constexpr long long MillisecondsPerDay = 86400000;

} // namespace

double responseTimeSeconds(double elapsedDays)
{
    long long ms = std::llround(elapsedDays * double(MillisecondsPerDay)) % MillisecondsPerDay;
    if (ms < 0)
        ms += MillisecondsPerDay;
    const long long hours = ms / 3600000;
    const long long minutes = ms / 60000 % 60;
    const long long seconds = ms / 1000 % 60;
    const long long milliseconds = ms % 1000;
    return double(hours * 3600 + minutes * 60 + seconds) + double(milliseconds) / 1000.0;
}

double responseTimeSeconds(std::chrono::steady_clock::duration elapsed)
{
    using Days = std::chrono::duration<double, std::ratio<86400>>;
    return responseTimeSeconds(std::chrono::duration_cast<Days>(elapsed).count());
}

TCheckURL::TCheckURL(const QString& path, const AppSettings& settings, int timeoutMs, const QString& caFile)
{
    Http = std::make_unique<HttpClient>();
    Http->OnConnect = [] {};
    Http->OnDisconnect = [] {};
    Http->OnConnectionFailed = [this] { Status = CheckStatusCode::CannotConnect; };
    Http->OnFailure = [this](const QString&) { Status = CheckStatusCode::Unreadable; };
    Http->OnInvalidHost = [this](bool&) { Status = CheckStatusCode::CannotConnect; };
    Http->OnSuccess = [this](const QString&) {
        m_endTick = std::chrono::steady_clock::now();
        EndTime = Clock::now();
        Status = CheckStatusCode::Readable;
    };
    if (settings.UseProxy) {
        Http->Proxy = settings.ProxyHost;
        Http->ProxyPort = settings.ProxyPort;
    } else {
        Http->Proxy = QString();
        Http->ProxyPort = 0;
    }
    Http->TimeOut = timeoutMs;
    Http->CaFile = caFile;
    BMFile = std::make_unique<TBMFile>(path);
    Status = CheckStatusCode::NotChecked;
    m_thread = std::thread([this] { Execute(); });
}

void TCheckURL::Execute()
{
    try {
        const QString url = BMFile->GetURL();
        if (url.isEmpty()) {
            Status = CheckStatusCode::Unprocessable;
        } else {
            m_startTick = std::chrono::steady_clock::now();
            StartTime = Clock::now();
            Http->Get(url);
        }
    } catch (...) {
        Status = CheckStatusCode::CannotConnect;
    }
    Running.store(false, std::memory_order_release);
}

void TCheckURL::Cancel()
{
    Cancelled = true;
    Http->Cancel();
}

void TCheckURL::writeResults()
{
    QString failure;
    try {
        BMFile->SetCheckDate(Clock::now());
        BMFile->SetStatus(Status);
        if (Status == CheckStatusCode::Readable)
            BMFile->SetResponse(responseTime());
        return;
    } catch (const WriteError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failure = BMFile->FilePath() + QStringLiteral(" に書き込めません");
    }
    if (OnWriteError) {
        try {
            OnWriteError(failure);
        } catch (...) {
        }
    }
}

TCheckURL::~TCheckURL()
{
    // Only a check run that is itself going away destroys a worker that has not ended: such a check
    // has no result worth keeping.
    if (isRunning()) {
        Cancel();
        m_thread.join();
    }
    if (!Cancelled)
        writeResults();
    for (int round = 0; round < 10; ++round) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (m_thread.joinable())
        m_thread.join();
    BMFile.reset();
    Http.reset();
}

} // namespace lintora
