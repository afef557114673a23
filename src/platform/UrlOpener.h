#pragma once

#include <QList>
#include <QUrl>

namespace lintora {

// Asks the desktop to open a web address in the user's browser. One seam for the whole program,
// so that tests can record what would have been opened.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void openUrl(const QUrl& url) = 0;

    static UrlOpener& instance();
    // Installs another opener (not owned); nullptr restores the desktop one.
    static void setInstance(UrlOpener* opener);
};

// Hands a bookmark's or the about box's address to the browser: only http, https, ftp and file
// addresses are handed over; anything else, and the empty text, opens nothing.
void openInBrowser(const QString& url);

class RecordingUrlOpener : public UrlOpener
{
public:
    void openUrl(const QUrl& url) override { opened.append(url); }
    QList<QUrl> opened;
};

} // namespace lintora
