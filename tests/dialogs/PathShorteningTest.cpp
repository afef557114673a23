#include "QtPrinters.h"

#include "app/FixedDialog.h"
#include "dialogs/PathShortening.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace lintora::test {
namespace {

// One pixel per character.
int characters(const QString& text)
{
    return int(text.size());
}

// Dots cost nothing, so that each ".../" candidate is narrower than the one before it, and the
// whole sequence of candidates can be walked through by width alone.
int charactersButDots(const QString& text)
{
    return int(text.size() - text.count(QLatin1Char('.')));
}

struct ShorteningCase
{
    QString path;
    int width;
    QString shown;
};

TEST(PathShortening, DriveFoldersGiveWayOneByOneThenTheDriveThenTheEllipsis)
{
    const QString path = QStringLiteral("C:/A/B/C/Favorites");
    const ShorteningCase cases[] = {
        {path, 18, path},
        {path, 17, QStringLiteral("C:/.../B/C/Favorites")},
        {path, 15, QStringLiteral("C:/.../C/Favorites")},
        {path, 14, QStringLiteral("C:/.../Favorites")},
        {path, 13, QStringLiteral("C:/.../Favorites")},
        {path, 12, QStringLiteral(".../Favorites")},
        {path, 10, QStringLiteral(".../Favorites")},
        {path, 9, QStringLiteral("Favorites")},
        {path, 3, QStringLiteral("Favorites")}, // the last name is shown even when too wide
    };
    for (const ShorteningCase& c : cases)
        EXPECT_EQ(shortenPath(c.path, charactersButDots, c.width), c.shown) << c.width;
}

TEST(PathShortening, LinuxPaths)
{
    const QString wine = QStringLiteral("/home/user/.wine/drive_c/users/user/Favorites");
    const ShorteningCase cases[] = {
        {QStringLiteral("/home/user/Favorites"), 313, QStringLiteral("/home/user/Favorites")},
        {wine, 45, wine},
        {wine, 44, QStringLiteral("/.../user/.wine/drive_c/users/user/Favorites")},
        {wine, 43, QStringLiteral("/.../.wine/drive_c/users/user/Favorites")},
        {wine, 38, QStringLiteral("/.../drive_c/users/user/Favorites")},
        {wine, 32, QStringLiteral("/.../users/user/Favorites")},
        {wine, 24, QStringLiteral("/.../user/Favorites")},
        {wine, 18, QStringLiteral("/.../Favorites")},
        {wine, 13, QStringLiteral(".../Favorites")},
        {wine, 12, QStringLiteral("Favorites")},
        // A folder name that begins with "." is a name, not the ellipsis of an earlier pass: cutting
        // four characters of it would show "/Favorites", a path that is not this one.
        {QStringLiteral("/.ab/Favorites"), 13, QStringLiteral(".../Favorites")},
        {QStringLiteral("/"), 313, QStringLiteral("/")},
        {QStringLiteral("/Favorites"), 5, QStringLiteral("Favorites")},
    };
    for (const ShorteningCase& c : cases)
        EXPECT_EQ(shortenPath(c.path, characters, c.width), c.shown)
            << c.path.toStdString() << " " << c.width;
}

TEST(PathShortening, FitsTheLabelInTheDialogFont)
{
    const QFontMetrics metrics(dialogFont());
    const QString path =
        QStringLiteral("/home/user/ブックマーク/とても長い名前のフォルダ/もう一つ長い名前のフォルダ/"
                       "さらにもう一つ長い名前のフォルダ/Favorites");
    const QString shown = shortenPath(path, metrics, 313);
    EXPECT_LE(metrics.horizontalAdvance(shown), 313);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/.../"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/Favorites")));
}

} // namespace
} // namespace lintora::test
