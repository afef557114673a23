// Measures the favorites scan and the reading of list rows against the plain cost of touching every
// file once (the floor). Usage: bench_store [bookmarks] [folders] [rounds]
// Defaults: 100000 bookmarks in 5000 folders, best of 3 rounds, after one warm-up pass.

#include "BenchSupport.h"

#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QCoreApplication>
#include <cstdio>

using namespace lintora;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bench::BenchArgs args = bench::parseArgs(argc, argv);
    const int rounds = args.rounds;

    const bench::BenchTree favorites(args.shape, true);
    if (!favorites.isValid())
        return 1;
    const bench::GeneratedFavorites& tree = favorites.tree();

    bench::FloorPass floorPass(tree.root);
    QStringList folders, shortcuts;
    std::size_t sink = 0;

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
    if (floorPass.files != std::size_t(shortcuts.size()) || shortcuts.size() != tree.shortcuts.size()) {
        std::fprintf(stderr, "mismatch: floor %zu files, scan %lld, generated %lld\n", floorPass.files,
                     qlonglong(shortcuts.size()), qlonglong(tree.shortcuts.size()));
        return 1;
    }

    const std::vector<double> ms =
        bench::bestOfEach(rounds, {std::ref(floorPass), scanPass, gettersPass, rowPass, rowOfPass,
                                   readOnlyPass, parseOnlyPass});
    const double floorMs = ms[0], scanMs = ms[1], gettersMs = ms[2], rowMs = ms[3], rowOfMs = ms[4],
                 readOnlyMs = ms[5], parseOnlyMs = ms[6];

    std::printf("best of %d rounds, %zu files, %.1f MB read per pass\n", rounds, floorPass.files,
                floorPass.megabytes());
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
