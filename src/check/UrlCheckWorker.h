#pragma once

#include "app/Settings.h"
#include "check/HttpClient.h"
#include "platform/DateTime.h"
#include "store/BookmarkFile.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace lintora {

// Response time in seconds from an elapsed time given as a fraction of a day: rounded to whole
// milliseconds, a whole day or more dropped, then hours, minutes, seconds and milliseconds added up.
double responseTimeSeconds(double elapsedDays);
// The same from an elapsed time of the steady clock.
double responseTimeSeconds(std::chrono::steady_clock::duration elapsed);

// Checks one bookmark: fetches its URL on a thread of its own and, when the check run destroys it,
// stores the check date, the status and (for a readable page) the response time in the shortcut
// file. Created, cancelled and destroyed on the user-interface thread; the run destroys it only
// after isRunning() has turned false.
class TCheckURL
{
public:
    // Reads the proxy settings once, opens the shortcut file's record and starts the check.
    // timeoutMs limits every single wait of the request; caFile adds certificates to trust for https.
    TCheckURL(const QString& path, const AppSettings& settings, int timeoutMs = 30000,
              const QString& caFile = QString());
    // Writes the results unless cancelled, holds the user-interface thread for about a second while
    // handling its events, then releases everything. A write that the file system refuses stops the
    // writes there and goes to OnWriteError; it never leaves the destructor.
    ~TCheckURL();
    TCheckURL(const TCheckURL&) = delete;
    TCheckURL& operator=(const TCheckURL&) = delete;

    // Nothing will be written for this check, whatever its outcome; a request still running ends soon.
    void Cancel();

    // False once the check has ended; everything below may be read from then on.
    bool isRunning() const { return Running.load(std::memory_order_acquire); }
    CheckStatus status() const { return Status; }
    TDateTime startTime() const { return StartTime; }
    TDateTime endTime() const { return EndTime; }
    // From just before the request to the end of the answer, as the steady clock measured it, and
    // as stored (seconds, whole milliseconds).
    std::chrono::steady_clock::duration elapsed() const { return m_endTick - m_startTick; }
    double responseTime() const { return responseTimeSeconds(elapsed()); }
    QString path() const { return BMFile->FilePath(); }

    // Told the message of a write that the file system refused ("<path> に書き込めません").
    std::function<void(const QString& message)> OnWriteError;

private:
    void Execute();
    void writeResults();

    std::unique_ptr<HttpClient> Http;
    std::unique_ptr<TBMFile> BMFile;
    TDateTime StartTime = NullDateTime;
    TDateTime EndTime = NullDateTime;
    CheckStatus Status = 0;
    bool Cancelled = false;
    // The hand-over: the worker's thread writes the members above before clearing it (release), the
    // user-interface thread reads them only after seeing it false (acquire).
    std::atomic<bool> Running{true};

    std::chrono::steady_clock::time_point m_startTick;
    std::chrono::steady_clock::time_point m_endTick;
    std::thread m_thread; // last: started when everything else is in place
};

} // namespace lintora
