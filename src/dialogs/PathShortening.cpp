#include "dialogs/PathShortening.h"

#include <QFontMetrics>

namespace lintora {

namespace {

const QString ellipsisFolder = QStringLiteral(".../");
const QString rootEllipsis = QStringLiteral("/.../");

// Takes the first folder name out of the folder part, leaving ".../" in its place.
QString cutFirstFolder(const QString& folder)
{
    if (folder == QLatin1String("/"))
        return QString();
    QString rest = folder;
    const bool leadingSlash = rest.startsWith(QLatin1Char('/'));
    if (leadingSlash)
        rest.remove(0, 1);
    // Only the ".../" of an earlier pass is dropped here: a real folder name may begin with "."
    // too (".wine"), and cutting four characters of it would show a path that does not exist.
    if (rest.startsWith(ellipsisFolder))
        rest.remove(0, ellipsisFolder.size());
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        rest = ellipsisFolder + rest.mid(slash + 1);
    else
        rest.clear();
    return leadingSlash ? QLatin1Char('/') + rest : rest;
}

} // namespace

QString shortenPath(const QString& path, const std::function<int(const QString&)>& textWidth, int width)
{
    QString drive;
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':'))
        drive = path.left(2);
    const QString afterDrive = path.mid(drive.size());
    const qsizetype lastSlash = afterDrive.lastIndexOf(QLatin1Char('/'));
    QString folder = afterDrive.left(lastSlash + 1);
    const QString name = afterDrive.mid(lastSlash + 1);

    while (textWidth(drive + folder + name) > width && (!drive.isEmpty() || !folder.isEmpty())) {
        if (folder == rootEllipsis) {
            drive.clear();
            folder = ellipsisFolder;
        } else if (folder.isEmpty()) {
            drive.clear();
        } else {
            folder = cutFirstFolder(folder);
        }
    }
    return drive + folder + name;
}

QString shortenPath(const QString& path, const QFontMetrics& metrics, int width)
{
    return shortenPath(
        path, [&metrics](const QString& text) { return metrics.horizontalAdvance(text); }, width);
}

} // namespace lintora
