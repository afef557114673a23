// Drives the real main window (run it offscreen: QT_QPA_PLATFORM=offscreen) over a large favorites
// tree and prints what the user waits for: listing "全て表示", sorting by each column, select all,
// invert, the status bar after a change of selection, and the peak memory.
// Usage: bench_window [bookmarks] [folders] [rounds]
// Defaults: 100000 bookmarks in 5000 folders, best of 3 rounds after one warm-up pass.

#include "BenchSupport.h"

#include "app/SettingsFile.h"
#include "mainwindow/BookmarkListModel.h"
#include "mainwindow/MainWindow.h"
#include "platform/MessageBox.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>

using namespace lintora;
using bench::bestOf;
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

    // A settings file of its own naming the generated tree; messages go to a recorder.
    const QString ini = favorites.writeSettings();
    if (ini.isEmpty())
        return 1;
    RecordingMessageService messages;
    MessageService::setInstance(&messages);

    long beforeWindowKb = bench::peakMemoryKb();
    TForm1 window(SettingsFile(ini, {favorites.tempPath(), QStringLiteral("bench")}));
    window.CreateDialogs();
    if (!bench::showExposed(window))
        return 1;
    bench::FloorPass floorPass(tree.root);
    QTreeWidgetItem* showAll = window.TopNode(0);
    const auto fill = [&] { window.TreeView1Change(showAll); };

    // Warm-up: page cache and dentry cache hot, code paths touched once.
    floorPass();
    fill();
    QCoreApplication::processEvents();
    if (window.RowCount() != tree.shortcuts.size() || floorPass.files != std::size_t(window.RowCount())) {
        std::fprintf(stderr, "mismatch: %d rows, floor %zu files, %lld generated\n", window.RowCount(),
                     floorPass.files, qlonglong(tree.shortcuts.size()));
        return 1;
    }

    // The floor and the fill alternate, so that both see the same state of the machine.
    double floorMs = 1e300, fillMs = 1e300;
    for (int i = 0; i < rounds; ++i) {
        floorMs = std::min(floorMs, timeOf(std::ref(floorPass)));
        fillMs = std::min(fillMs, timeOf(fill));
    }

    std::printf("best of %d rounds, %d rows, %.1f MB read per pass\n", rounds, window.RowCount(),
                floorPass.megabytes());
    std::printf("%-52s %9s %9s %9s\n", "step", "ms", "x floor", "x fill");
    const auto line = [&](const char* what, double ms) {
        std::printf("%-52s %9.1f %9.2f %9.3f\n", what, ms, ms / floorMs, ms / fillMs);
    };
    line("floor (readdir walk + open/read/close)", floorMs);
    line("select 全て表示 (scan + FillList)", fillMs);
    {
        QStringList folders, paths;
        const double scanMs = bestOf(rounds, [&] {
            CollectAllFolders(tree.root, folders);
            paths.clear();
            CollectShortcuts(folders, paths);
        });
        std::size_t sink = 0;
        const double readMs = bestOf(rounds, [&] {
            for (const QString& path : paths)
                sink += TBMFile(path).ReadRow().url.size();
        });
        line("  of which: CollectAllFolders + CollectShortcuts", scanMs);
        line("  for comparison: TBMFile(path).ReadRow(), one thread", readMs);
        line("  of which: FillList of those paths", bestOf(rounds, [&] { window.FillList(paths); }));
        if (sink == 0)
            std::printf("(no URLs read)\n");
    }

    QItemSelectionModel* selection = window.ListView1->selectionModel();
    const auto clickRow = [&](int row, QItemSelectionModel::SelectionFlags how) {
        selection->setCurrentIndex(window.ListModel->index(row, 0), how | QItemSelectionModel::Rows);
    };

    static const char* const columnNames[7] = {"title",    "URL",        "comment",      "status",
                                               "response", "check date", "shortcut file"};
    for (int column = 0; column < 7; ++column) {
        // Two clicks: one ascending, one descending (the direction alternates).
        double best = 1e300;
        for (int i = 0; i < std::max(2, rounds); ++i)
            best = std::min(best, timeOf([&] { window.ListView1ColumnClick(column); }));
        const QByteArray what = "sort by " + QByteArray(columnNames[column]);
        line(what.constData(), best);
    }

    line("select all (Ctrl+A)", bestOf(rounds, [&] {
             clickRow(0, QItemSelectionModel::ClearAndSelect);
             window.N4Click();
         }));
    line("invert, all selected (Ctrl+T)", bestOf(rounds, [&] {
             window.N4Click();
             window.N5Click();
         }));
    line("invert, none selected (Ctrl+T)", bestOf(rounds, [&] {
             selection->clearSelection();
             window.N5Click();
         }));
    window.N4Click();
    line("status after a click on one row (all selected before)", bestOf(rounds, [&] {
             window.N4Click();
             clickRow(window.RowCount() / 2, QItemSelectionModel::ClearAndSelect);
         }));
    window.N4Click();
    line("status after Ctrl+click on one row (all selected)",
         bestOf(rounds, [&] { clickRow(window.RowCount() / 3, QItemSelectionModel::Toggle); }));
    std::printf("status bar: %s\n", qPrintable(window.StatusText()));

    // A scattered selection: every other row, then a sort scatters it further.
    const auto selectEveryOther = [&] {
        QItemSelection every;
        for (int r = 0; r < window.RowCount(); r += 2)
            every.append(QItemSelectionRange(window.ListModel->index(r, 0), window.ListModel->index(r, 6)));
        selection->clearSelection();
        selection->select(every, QItemSelectionModel::Select);
    };
    line("select every other row (setup of the next lines)", timeOf(selectEveryOther));
    line("  sort by title, half of the rows selected", timeOf([&] { window.ListView1ColumnClick(0); }));
    line("  status after Ctrl+click on one row", timeOf([&] { clickRow(1, QItemSelectionModel::Toggle); }));
    line("  invert", timeOf([&] { window.N5Click(); }));
    std::printf("status bar: %s\n", qPrintable(window.StatusText()));

    std::printf("peak memory (VmHWM): %.1f MB, %.1f MB before the window was made\n",
                bench::peakMemoryKb() / 1024.0, beforeWindowKb / 1024.0);
    MessageService::setInstance(nullptr);
    return 0;
}
