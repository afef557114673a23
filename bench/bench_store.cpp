// Measures the favorites scan and the reading of list rows against the plain cost of touching every
// file once (the floor). Usage: bench_store [bookmarks] [folders] [rounds]
// Defaults: 100000 bookmarks in 5000 folders, best of 3 rounds, after one warm-up pass.

#include "FavoritesGenerator.h"

#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace lintora;

namespace {

// The floor: a plain readdir walk of the tree plus one open/read/close of every ".URL" file.
std::size_t floorWalk(const QByteArray& folder, std::size_t& bytes)
{
    std::size_t files = 0;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    static char buffer[65536];
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.')
            continue;
        const QByteArray path = folder + '/' + name;
        if (e->d_type == DT_DIR) {
            files += floorWalk(path, bytes);
            continue;
        }
        const std::size_t length = std::strlen(name);
        if (length < 4 || strcasecmp(name + length - 4, ".url") != 0)
            continue;
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes += std::size_t(n);
        ::close(fd);
        ++files;
    }
    ::closedir(dir);
    return files;
}

// Runs every pass once per round, round after round, and keeps each pass's best time, so that a
// busy machine disturbs all passes alike.
std::vector<double> bestOf(int rounds, const std::vector<std::function<void()>>& passes)
{
    std::vector<double> best(passes.size(), 1e300);
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < passes.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            passes[i]();
            best[i] = std::min(best[i], timer.nsecsElapsed() / 1e6);
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::FavoritesSpec spec;
    if (argc > 1)
        spec.bookmarks = std::max(1, std::atoi(argv[1]));
    if (argc > 2)
        spec.folders = std::max(0, std::atoi(argv[2]));
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const bench::GeneratedFavorites tree =
        bench::generateFavorites(temp.path() + QStringLiteral("/Favorites"), spec);
    std::printf("generated %lld bookmarks in %lld folders in %.0f ms (%s)\n",
                qlonglong(tree.shortcuts.size()), qlonglong(tree.folders.size() - 1),
                timer.nsecsElapsed() / 1e6, qPrintable(tree.root));

    const QByteArray rootBytes = QFile::encodeName(tree.root);
    std::size_t floorFiles = 0, floorBytes = 0;
    QStringList folders, shortcuts;
    std::size_t sink = 0;

    const auto floorPass = [&] {
        floorBytes = 0;
        floorFiles = floorWalk(rootBytes, floorBytes);
    };
    const auto scanPass = [&] {
        CollectAllFolders(tree.root, folders);
        shortcuts.clear();
        CollectShortcuts(folders, shortcuts);
    };
    const auto gettersPass = [&] {
        for (const QString& path : shortcuts) {
            const TBMFile file(path);
            sink += file.GetTitle().size() + file.GetURL().size() + file.GetComment().size() +
                    file.GetStatusText().size() + file.GetResponseText().size() +
                    file.GetCheckDateText().size();
        }
    };
    const auto addRow = [&](const BookmarkRowTexts& row) {
        sink += row.title.size() + row.url.size() + row.comment.size() + row.statusText.size() +
                row.responseText.size() + row.checkDateText.size();
    };
    const auto rowPass = [&] {
        for (const QString& path : shortcuts)
            addRow(TBMFile(path).ReadRow());
    };
    const auto readOnlyPass = [&] {
        QByteArray content;
        for (const QString& path : shortcuts) {
            readWholeFile(path, content);
            sink += std::size_t(content.size());
        }
    };
    const auto parseOnlyPass = [&] {
        QByteArray content;
        for (const QString& path : shortcuts) {
            readWholeFile(path, content);
            sink += ini::lookupMany(content, {{"DEFAULT", "BASEURL"},
                                              {"InternetShortcut", "URL"},
                                              {"Lintora", "COMMENT"},
                                              {"Lintora", "STATUS"},
                                              {"Lintora", "RESPONS"},
                                              {"Lintora", "DATE"}})
                        .size();
        }
    };
    const auto rowOfPass = [&] {
        for (const QString& path : shortcuts)
            addRow(TBMFile::ReadRowOf(path));
    };

    // Warm-up: page cache and dentry cache hot, code paths touched once.
    floorPass();
    scanPass();
    rowOfPass();
    if (floorFiles != std::size_t(shortcuts.size()) || shortcuts.size() != tree.shortcuts.size()) {
        std::fprintf(stderr, "mismatch: floor %zu files, scan %lld, generated %lld\n", floorFiles,
                     qlonglong(shortcuts.size()), qlonglong(tree.shortcuts.size()));
        return 1;
    }

    const std::vector<double> ms =
        bestOf(rounds, {floorPass, scanPass, gettersPass, rowPass, rowOfPass, readOnlyPass, parseOnlyPass});
    const double floorMs = ms[0], scanMs = ms[1], gettersMs = ms[2], rowMs = ms[3], rowOfMs = ms[4],
                 readOnlyMs = ms[5], parseOnlyMs = ms[6];

    std::printf("best of %d rounds, %zu files, %.1f MB read per pass\n", rounds, floorFiles,
                floorBytes / 1048576.0);
    std::printf("%-44s %9s %8s\n", "pass", "ms", "x floor");
    const auto line = [&](const char* what, double ms) {
        std::printf("%-44s %9.1f %8.2f\n", what, ms, ms / floorMs);
    };
    line("floor (readdir walk + open/read/close)", floorMs);
    line("CollectAllFolders + CollectShortcuts", scanMs);
    line("six getters per bookmark", gettersMs);
    line("TBMFile(path).ReadRow() per bookmark", rowMs);
    line("TBMFile::ReadRowOf(path) per bookmark", rowOfMs);
    line("  of which readWholeFile", readOnlyMs);
    line("  of which readWholeFile + lookupMany", parseOnlyMs);
    line("scan + ReadRow", scanMs + rowMs);
    line("scan + ReadRowOf (list fill of all folders)", scanMs + rowOfMs);
    line("scan + six getters", scanMs + gettersMs);
    std::printf("(checksum %zu)\n", sink);
    return 0;
}
