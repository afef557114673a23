// Drives the find command of the real main window (run it offscreen: QT_QPA_PLATFORM=offscreen) over
// a large favorites tree and sets it against the floor: a plain readdir walk of the tree plus one
// open/read/close of every ".URL" file, measured in the same run.
// Usage: bench_find [bookmarks] [folders] [rounds]
// Defaults: 100000 bookmarks in 5000 folders, best of 3 rounds after one warm-up pass.

#include "BenchSupport.h"

#include "app/SettingsFile.h"
#include "mainwindow/BookmarkSearch.h"
#include "mainwindow/FindDialog.h"
#include "mainwindow/MainWindow.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

using namespace lintora;
using bench::timeOf;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LintoraDesk"));
    const bench::BenchArgs args = bench::parseArgs(argc, argv);
    const int rounds = args.rounds;

    const bench::BenchTree favorites(args.shape);
    if (!favorites.isValid())
        return 1;
    const bench::GeneratedFavorites& tree = favorites.tree();

    const QString ini = favorites.writeSettings();
    if (ini.isEmpty())
        return 1;
    RecordingMessageService messages;
    MessageService::setInstance(&messages);

    TForm1 window(SettingsFile(ini, {favorites.tempPath(), QStringLiteral("bench")}));
    window.CreateDialogs();
    if (!bench::showExposed(window))
        return 1;

    bench::FloorPass floorPass(tree.root);
    // The whole command as the user runs it: the dialog answered with "実行", the search, the list
    // of results and the node "検索" selected. Another node is selected first, so that the results
    // are listed twice, as they are when the user finds from a folder.
    const auto findCommand = [&](const QString& text) {
        window.TreeView1->setCurrentItem(window.TopNode(2));
        return timeOf([&] {
            QTimer::singleShot(0, &window, [&] {
                window.Form6->setSearchText(text);
                window.Form6->Button1->click();
            });
            window.Find1Click();
        });
    };

    floorPass();
    findCommand(QStringLiteral("zzzz"));
    if (floorPass.files != std::size_t(tree.shortcuts.size())) {
        std::fprintf(stderr, "mismatch: floor %zu files, %lld generated\n", floorPass.files,
                     qlonglong(tree.shortcuts.size()));
        return 1;
    }

    struct Text
    {
        const char* label;
        QString text;
    };
    const Text texts[] = {
        {"no hit (every file read to its end)", QStringLiteral("zzzz")},
        {"ASCII in small letters (news)", QStringLiteral("news")},
        {"Japanese, two kanji", QStringLiteral("天気")},
        {"full-width letters in small, folded", QStringLiteral("ｑ＆ａ")},
        {"found in every bookmark (example)", QStringLiteral("example")},
    };

    std::printf("best of %d rounds, %zu files, %.1f MB read per pass\n", rounds, floorPass.files,
                floorPass.megabytes());
    std::printf("%-52s %9s %9s %9s\n", "step", "ms", "x floor", "found");
    double floorMs = 1e300;
    for (int i = 0; i < rounds; ++i)
        floorMs = std::min(floorMs, timeOf(std::ref(floorPass)));
    std::printf("%-52s %9.1f %9.2f\n", "floor (readdir walk + open/read/close)", floorMs, 1.0);
    for (const Text& t : texts) {
        // The floor and the find alternate, so that both see the same state of the machine.
        double best = 1e300, floorNow = 1e300;
        for (int i = 0; i < rounds; ++i) {
            floorNow = std::min(floorNow, timeOf(std::ref(floorPass)));
            best = std::min(best, findCommand(t.text));
        }
        const QByteArray what = "find: " + QByteArray(t.label);
        std::printf("%-52s %9.1f %9.2f %9lld\n", what.constData(), best, best / floorNow,
                    qlonglong(window.FoundFiles.size()));
    }

    {
        double dialogMs = 1e300;
        for (int i = 0; i < rounds; ++i)
            dialogMs = std::min(dialogMs, findCommand(QString()));
        std::printf("%-52s %9.1f %9.2f\n", "  of which: the dialog shown and closed (empty text)", dialogMs,
                    dialogMs / floorMs);
        findCommand(QStringLiteral("news"));
        const QStringList found = window.FoundFiles;
        double fillMs = 1e300;
        for (int i = 0; i < rounds; ++i)
            fillMs = std::min(fillMs, timeOf([&] { window.FillList(found); }));
        std::printf("%-52s %9.1f %9.2f %9lld\n", "  of which: FillList of the results of news", fillMs,
                    fillMs / floorMs, qlonglong(found.size()));
    }

    // Where the time of a find goes, for the text that hits nothing, and what the plain way of the
    // design (the whole scan, then one record and Matches per path, on one thread) would cost.
    {
        const QString none = QStringLiteral("zzzz");
        QStringList folders, paths;
        double foldersMs = 1e300, searchMs = 1e300, scanMs = 1e300, matchMs = 1e300;
        std::size_t sink = 0;
        for (int i = 0; i < rounds; ++i) {
            foldersMs = std::min(foldersMs, timeOf([&] { CollectAllFolders(tree.root, folders); }));
            searchMs = std::min(searchMs, timeOf([&] { sink += findBookmarks(folders, none).size(); }));
            scanMs = std::min(scanMs, timeOf([&] {
                                  CollectAllFolders(tree.root, folders);
                                  paths.clear();
                                  CollectShortcuts(folders, paths);
                              }));
            matchMs = std::min(matchMs, timeOf([&] {
                                   for (const QString& path : paths)
                                       sink += TBMFile(path).Matches(none) ? 1 : 0;
                               }));
        }
        const auto line = [&](const char* what, double ms) {
            std::printf("%-52s %9.1f %9.2f\n", what, ms, ms / floorMs);
        };
        line("  of which: CollectAllFolders", foldersMs);
        line("  of which: findBookmarks (list and read each folder)", searchMs);
        line("  plain way: CollectAllFolders + CollectShortcuts", scanMs);
        line("  plain way: TBMFile(path).Matches for every path", matchMs);
        if (sink != 0)
            std::printf("(unexpected hits)\n");
    }
    MessageService::setInstance(nullptr);
    return 0;
}
