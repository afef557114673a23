#include "platform/UrlOpener.h"

#include <QDesktopServices>

namespace lintora {

namespace {

class DesktopUrlOpener : public UrlOpener
{
public:
    void openUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }
};

DesktopUrlOpener desktopOpener;
UrlOpener* installedOpener = nullptr;

} // namespace

UrlOpener& UrlOpener::instance()
{
    return installedOpener ? *installedOpener : desktopOpener;
}

void UrlOpener::setInstance(UrlOpener* opener)
{
    installedOpener = opener;
}

void openInBrowser(const QString& url)
{
    if (url.isEmpty())
        return;
    const QUrl parsed(url, QUrl::TolerantMode);
    if (!parsed.isValid())
        return;
    const QString scheme = parsed.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp")
        && scheme != QLatin1String("file"))
        return;
    UrlOpener::instance().openUrl(parsed);
}

} // namespace lintora
