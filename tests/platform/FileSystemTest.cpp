#include "platform/FileSystem.h"

#include "TempFavorites.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lintora;
using lintora::test::TempFavorites;

namespace {

QStringList namesOf(const std::vector<DirEntry>& entries)
{
    QStringList names;
    for (const DirEntry& e : entries)
        names.append(e.name);
    return names;
}

const DirEntry* entryNamed(const std::vector<DirEntry>& entries, const QString& name)
{
    for (const DirEntry& e : entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

TEST(Enumerate, EntriesComeInNtfsOrderWithTheirAttributes)
{
    TempFavorites fav;
    const QString root = fav.root();
    fav.addFile(QStringLiteral("b.URL"), "x");
    fav.addFile(QStringLiteral("A.url"), "x");
    fav.addFile(QStringLiteral("c.txt"), "x");
    fav.addFile(QStringLiteral(".hidden.URL"), "x");
    fav.addFolder(QStringLiteral("Zfolder"));
    fav.addFolder(QStringLiteral("ä"));
    fav.addFolder(QStringLiteral("B_dir"));
    const QString ro = fav.addFile(QStringLiteral("readonly.URL"), "x");
    TempFavorites::makeReadOnly(ro);
    QFile::link(root + QStringLiteral("/b.URL"), root + QStringLiteral("/link.URL"));
    QFile::link(root + QStringLiteral("/Zfolder"), root + QStringLiteral("/dirlink"));
    QFile::link(root + QStringLiteral("/nowhere"), root + QStringLiteral("/dangling.URL"));

    std::vector<DirEntry> all;
    ASSERT_TRUE(enumerateFolder(root, EnumerateMode::Folders, all));
    // Case folded ("A.url" before "b.URL", "B_dir" after "b.URL"), hidden names left out.
    EXPECT_EQ(namesOf(all), (QStringList{"A.url", "b.URL", "B_dir", "c.txt", "dangling.URL", "dirlink",
                                         "link.URL", "readonly.URL", "Zfolder", QString::fromUtf8("ä")}));
    EXPECT_EQ(entryNamed(all, "B_dir")->attributes, FileAttribute::Directory);
    EXPECT_EQ(entryNamed(all, "b.URL")->attributes, 0u);
    EXPECT_TRUE(entryNamed(all, "b.URL")->isFileOrLinkToFile);
    EXPECT_EQ(entryNamed(all, "readonly.URL")->attributes, FileAttribute::ReadOnly);
    EXPECT_EQ(entryNamed(all, "dirlink")->attributes, FileAttribute::ReparsePoint); // never followed
    EXPECT_FALSE(entryNamed(all, "dirlink")->isFileOrLinkToFile);
    EXPECT_EQ(entryNamed(all, "link.URL")->attributes, FileAttribute::ReparsePoint);
    EXPECT_TRUE(entryNamed(all, "link.URL")->isFileOrLinkToFile);
    EXPECT_FALSE(entryNamed(all, "dangling.URL")->isFileOrLinkToFile);

    std::vector<DirEntry> shortcuts;
    ASSERT_TRUE(enumerateFolder(root, EnumerateMode::Shortcuts, shortcuts));
    EXPECT_EQ(namesOf(shortcuts),
              (QStringList{".hidden.URL", "A.url", "b.URL", "dangling.URL", "link.URL", "readonly.URL"}));
    EXPECT_EQ(entryNamed(shortcuts, ".hidden.URL")->attributes, FileAttribute::Hidden);
}

TEST(Enumerate, TheScanFormsTakeExactlyWhatTheRulesTake)
{
    TempFavorites fav;
    const QString root = fav.root();
    fav.addFolder(QStringLiteral("plain"));
    fav.addFolder(QStringLiteral(".hidden"));
    fav.addFolder(QStringLiteral("Folder.URL"));
    const QString ro = fav.addFolder(QStringLiteral("readonly"));
    ::chmod(QFile::encodeName(ro).constData(), 0555);
    QFile::link(root + QStringLiteral("/plain"), root + QStringLiteral("/linked"));
    fav.addFile(QStringLiteral("a.URL"), "x");
    fav.addFile(QStringLiteral("B.Url"), "x");
    fav.addFile(QStringLiteral(".h.url"), "x");
    fav.addFile(QStringLiteral("x.URL.txt"), "x");
    fav.addFile(QStringLiteral("URL"), "x");
    QFile::link(root + QStringLiteral("/a.URL"), root + QStringLiteral("/toFile.URL"));
    QFile::link(root + QStringLiteral("/plain"), root + QStringLiteral("/toDir.URL"));
    QFile::link(root + QStringLiteral("/gone"), root + QStringLiteral("/dangling.URL"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/fifo.URL")).constData(), 0644), 0);

    QStringList folders;
    ASSERT_TRUE(listSubfolderNames(root, folders));
    EXPECT_EQ(folders, (QStringList{"Folder.URL", "plain"}));

    QStringList shortcuts;
    ASSERT_TRUE(listShortcutNames(root, shortcuts));
    EXPECT_EQ(shortcuts, (QStringList{".h.url", "a.URL", "B.Url", "toFile.URL"}));

    EXPECT_FALSE(listSubfolderNames(root + QStringLiteral("/missing"), folders));
    EXPECT_TRUE(folders.isEmpty());
    EXPECT_FALSE(listShortcutNames(root + QStringLiteral("/a.URL"), shortcuts));
    std::vector<DirEntry> entries;
    EXPECT_FALSE(enumerateFolder(root + QStringLiteral("/missing"), EnumerateMode::Folders, entries));
}

TEST(Enumerate, NtfsOrderFoldsCaseThenComparesOrdinally)
{
    QStringList names{"b", "B", "a", "_x", "Z", "ab", "A", "é", "É", "f"};
    std::sort(names.begin(), names.end(), ntfsNameLess);
    // "_" (0x5F) sorts after the upper-case letters, as NTFS compares upper-cased names.
    EXPECT_EQ(names, (QStringList{"A", "a", "ab", "B", "b", "f", "Z", "_x", "É", "é"}));
}

TEST(Exists, FilesAndFoldersAreToldApart)
{
    TempFavorites fav;
    const QString file = fav.addFile(QStringLiteral("f.URL"), "x");
    const QString folder = fav.addFolder(QStringLiteral("d"));
    QFile::link(file, fav.root() + QStringLiteral("/lf"));
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(fileExists(folder));
    EXPECT_TRUE(fileExists(fav.root() + QStringLiteral("/lf")));
    EXPECT_FALSE(fileExists(fav.root() + QStringLiteral("/none")));
    EXPECT_FALSE(fileExists(QString()));
    EXPECT_TRUE(directoryExists(folder));
    EXPECT_FALSE(directoryExists(file));
}

TEST(Rename, NeverReplacesAnExistingTarget)
{
    TempFavorites fav;
    const QString a = fav.addFile(QStringLiteral("a.URL"), "AAA");
    const QString b = fav.addFile(QStringLiteral("b.URL"), "BBB");
    EXPECT_FALSE(renameNoReplace(a, b));
    EXPECT_EQ(TempFavorites::readBytes(a), QByteArray("AAA"));
    EXPECT_EQ(TempFavorites::readBytes(b), QByteArray("BBB"));

    const QString c = fav.root() + QStringLiteral("/c.URL");
    EXPECT_TRUE(renameNoReplace(a, c));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(TempFavorites::readBytes(c), QByteArray("AAA"));
    EXPECT_FALSE(renameNoReplace(a, fav.root() + QStringLiteral("/d.URL"))); // source gone

    // An empty folder as target is not replaced either.
    const QString f1 = fav.addFolder(QStringLiteral("F1"));
    const QString f2 = fav.addFolder(QStringLiteral("F2"));
    EXPECT_FALSE(renameNoReplace(f1, f2));
    EXPECT_TRUE(QFileInfo(f1).isDir());
}

TEST(Rename, FoldersMoveWithTheirContentButNotIntoTheirOwnSubtree)
{
    TempFavorites fav;
    const QString x = fav.addFolder(QStringLiteral("X"));
    fav.addFile(QStringLiteral("X/Sub/s.URL"), "S");
    fav.addFolder(QStringLiteral("Y"));
    EXPECT_FALSE(renameNoReplace(x, x + QStringLiteral("/Sub/X")));
    EXPECT_FALSE(renameNoReplace(x, x + QStringLiteral("/X")));
    EXPECT_TRUE(QFileInfo(x).isDir());

    const QString moved = fav.root() + QStringLiteral("/Y/X");
    EXPECT_TRUE(renameNoReplace(x, moved));
    EXPECT_EQ(TempFavorites::readBytes(moved + QStringLiteral("/Sub/s.URL")), QByteArray("S"));
    // A folder whose name merely starts like the source's is no subtree of it.
    const QString xy = fav.addFolder(QStringLiteral("XY"));
    EXPECT_TRUE(renameNoReplace(fav.root() + QStringLiteral("/Y"), xy + QStringLiteral("/Y")));
}

TEST(Names, PlainNamesHaveNoSeparatorAndAreNoDots)
{
    EXPECT_TRUE(isPlainName(QStringLiteral("a.URL")));
    EXPECT_TRUE(isPlainName(QStringLiteral("...")));
    EXPECT_FALSE(isPlainName(QString()));
    EXPECT_FALSE(isPlainName(QStringLiteral(".")));
    EXPECT_FALSE(isPlainName(QStringLiteral("..")));
    EXPECT_FALSE(isPlainName(QStringLiteral("a/b")));
}

TEST(SafeWrite, ReplacesTheContentAndKeepsPermissionBits)
{
    TempFavorites fav;
    const QString path = fav.addFile(QStringLiteral("a.URL"), "old");
    ::chmod(QFile::encodeName(path).constData(), 0640);
    EXPECT_EQ(writeFileSafely(path, "new bytes\r\n", WriteMode::ReplaceExisting), WriteResult::Written);
    EXPECT_EQ(TempFavorites::readBytes(path), QByteArray("new bytes\r\n"));
    EXPECT_EQ(modeOf(path), mode_t(0640));
    EXPECT_EQ(filesIn(fav.root()), QStringList{"a.URL"}); // no temporary file left behind

    EXPECT_EQ(writeFileSafely(path, "", WriteMode::CreateOrReplace), WriteResult::Written);
    EXPECT_EQ(TempFavorites::readBytes(path), QByteArray());
}

TEST(SafeWrite, KeepsTheOwnerWhenRunningAsRoot)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    TempFavorites fav;
    const QString path = fav.addFile(QStringLiteral("a.URL"), "old");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4321, 4322), 0);
    writeFileSafely(path, "new", WriteMode::ReplaceExisting);
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

TEST(SafeWrite, ARefusedWriteLeavesTheFileAsItWasAndNamesIt)
{
    TempFavorites fav;
    const QByteArray original("[InternetShortcut]\r\nURL=http://a/\r\n");
    const QString readOnly = fav.addFile(QStringLiteral("ro.URL"), original);
    TempFavorites::makeReadOnly(readOnly); // refused by the bits, also for root

    const QString goneFolder = fav.root() + QStringLiteral("/gone/x.ini");
    const QString folderAsFile = fav.addFolder(QStringLiteral("dir.URL"));

    for (const QString& path : {readOnly, goneFolder, folderAsFile}) {
        try {
            writeFileSafely(path, "replacement", WriteMode::CreateOrReplace);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const WriteError& e) {
            EXPECT_EQ(e.message(), path + QStringLiteral(" に書き込めません"));
            EXPECT_EQ(e.path(), path);
            EXPECT_EQ(QString::fromStdString(e.what()), e.message());
        }
    }
    EXPECT_EQ(TempFavorites::readBytes(readOnly), original);
    EXPECT_EQ(modeOf(readOnly), mode_t(0444));
    EXPECT_FALSE(QFileInfo::exists(goneFolder));
    EXPECT_TRUE(QFileInfo(folderAsFile).isDir());
    EXPECT_EQ(filesIn(fav.root()), (QStringList{"dir.URL", "ro.URL"}));
}

TEST(SafeWrite, AVanishedShortcutIsNotRecreatedButASettingsFileIsCreated)
{
    TempFavorites fav;
    const QString shortcut = fav.root() + QStringLiteral("/deleted.URL");
    EXPECT_EQ(writeFileSafely(shortcut, "x", WriteMode::ReplaceExisting), WriteResult::TargetMissing);
    EXPECT_FALSE(QFileInfo::exists(shortcut));

    const QString settings = fav.scratch() + QStringLiteral("/Lintora.ini");
    EXPECT_EQ(writeFileSafely(settings, "[PARM]\r\n", WriteMode::CreateOrReplace), WriteResult::Written);
    EXPECT_EQ(TempFavorites::readBytes(settings), QByteArray("[PARM]\r\n"));
}

TEST(SafeWrite, ALinkedFileStaysALinkAndItsTargetIsWritten)
{
    TempFavorites fav;
    const QString target = fav.addFile(QStringLiteral("real/t.URL"), "old");
    const QString link = fav.root() + QStringLiteral("/l.URL");
    ASSERT_TRUE(QFile::link(QStringLiteral("real/t.URL"), link)); // relative link
    EXPECT_EQ(writeFileSafely(link, "new", WriteMode::ReplaceExisting), WriteResult::Written);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(TempFavorites::readBytes(target), QByteArray("new"));

    // A dangling link: a shortcut is not brought back, the settings file is created at the target.
    const QString dangling = fav.root() + QStringLiteral("/d.URL");
    ASSERT_TRUE(QFile::link(fav.scratch() + QStringLiteral("/made.ini"), dangling));
    EXPECT_EQ(writeFileSafely(dangling, "x", WriteMode::ReplaceExisting), WriteResult::TargetMissing);
    EXPECT_EQ(writeFileSafely(dangling, "x", WriteMode::CreateOrReplace), WriteResult::Written);
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(TempFavorites::readBytes(fav.scratch() + QStringLiteral("/made.ini")), QByteArray("x"));

    // A link loop is refused, not followed for ever.
    const QString loop = fav.root() + QStringLiteral("/loop.URL");
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_THROW(writeFileSafely(loop, "x", WriteMode::CreateOrReplace), WriteError);
}

TEST(ReadFile, ReadsWholeFilesAndNeverWaitsOnAFifo)
{
    TempFavorites fav;
    QByteArray big(3 * 1024 * 1024, 'x');
    big[12345] = '\0';
    const QString path = fav.addFile(QStringLiteral("big.URL"), big);
    QByteArray content;
    ASSERT_TRUE(readWholeFile(path, content));
    EXPECT_EQ(content, big);

    const QString fifo = fav.root() + QStringLiteral("/fifo.URL");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(readWholeFile(fifo, content));
    EXPECT_FALSE(readWholeFile(fav.root(), content));
    EXPECT_FALSE(readWholeFile(fav.root() + QStringLiteral("/none"), content));
    EXPECT_TRUE(content.isEmpty());
}

TEST(Remove, RemovesTreesButNeverFollowsLinksOutOfThem)
{
    TempFavorites fav;
    const QString outside = fav.scratch() + QStringLiteral("/outside");
    QDir().mkpath(outside);
    QFile keep(outside + QStringLiteral("/keep.URL"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("keep");
    keep.close();

    const QString tree = fav.addFolder(QStringLiteral("Tree"));
    fav.addFile(QStringLiteral("Tree/a.URL"), "a");
    fav.addFile(QStringLiteral("Tree/Deep/Deeper/.hidden"), "h");
    const QString readOnly = fav.addFile(QStringLiteral("Tree/Deep/ro.URL"), "r");
    TempFavorites::makeReadOnly(readOnly);
    QFile::link(outside, tree + QStringLiteral("/linkToOutside"));
    QFile::link(outside + QStringLiteral("/keep.URL"), tree + QStringLiteral("/linkToFile.URL"));
    const QString single = fav.addFile(QStringLiteral("single.URL"), "s");
    const QString topLink = fav.root() + QStringLiteral("/topLink");
    QFile::link(outside, topLink);

    const QStringList failed = removePermanently({tree, single, topLink});
    EXPECT_TRUE(failed.isEmpty()) << failed.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_FALSE(QFileInfo::exists(single));
    EXPECT_FALSE(QFileInfo(topLink).isSymLink());
    EXPECT_EQ(TempFavorites::readBytes(outside + QStringLiteral("/keep.URL")), QByteArray("keep"));
}

TEST(Remove, ReportsThePathsItCouldNotRemove)
{
    TempFavorites fav;
    const QString ok = fav.addFile(QStringLiteral("ok.URL"), "x");
    // Files of the kernel's own file system cannot be removed, not even by root.
    const QString stuck = QStringLiteral("/proc/self/status");
    EXPECT_EQ(removePermanently({ok, stuck, fav.root() + QStringLiteral("/never-existed")}),
              QStringList{stuck});
    EXPECT_FALSE(QFileInfo::exists(ok));
}

TEST(UserPlaces, HomeLogonAndExecutableFolderComeFromTheSystem)
{
    const passwd* pw = ::getpwuid(::getuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(homeDirectory(), QString::fromLocal8Bit(pw->pw_dir));
    EXPECT_EQ(logonName(), QString::fromLocal8Bit(pw->pw_name));
    EXPECT_EQ(QFileInfo(executableFolder()).canonicalFilePath(),
              QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
}
