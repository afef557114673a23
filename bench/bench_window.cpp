// Drives the real main window (run it offscreen: QT_QPA_PLATFORM=offscreen) over a large favorites
// tree and prints what the user waits for: listing "全て表示", sorting by each column, select all,
// invert, the status bar after a change of selection, and the peak memory.
// Usage: bench_window [bookmarks] [folders] [rounds]
// Defaults: 100000 bookmarks in 5000 folders, best of 3 rounds after one warm-up pass.

#include "FavoritesGenerator.h"

#include "app/SettingsFile.h"
#include "mainwindow/BookmarkListModel.h"
#include "mainwindow/MainWindow.h"
#include "platform/MessageBox.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QWindow>
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

// Time of one piece of work, including the events it leaves behind (relayout, repaint).
double timeOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

double bestOf(int rounds, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < rounds; ++i)
        best = std::min(best, timeOf(work));
    return best;
}

long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LintoraDesk"));
    bench::FavoritesSpec shape;
    if (argc > 1)
        shape.bookmarks = std::max(1, std::atoi(argv[1]));
    if (argc > 2)
        shape.folders = std::max(0, std::atoi(argv[2]));
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const bench::GeneratedFavorites tree =
        bench::generateFavorites(temp.path() + QStringLiteral("/Favorites"), shape);
    std::printf("generated %lld bookmarks in %lld folders in %.0f ms\n", qlonglong(tree.shortcuts.size()),
                qlonglong(tree.folders.size() - 1), timer.nsecsElapsed() / 1e6);

    // A settings file of its own naming the generated tree; messages go to a recorder.
    const QString ini = temp.path() + QStringLiteral("/Lintora.ini");
    {
        QFile file(ini);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("[PARM]\r\nFAVORITES=" + QFile::encodeName(tree.root) + "\r\n");
    }
    RecordingMessageService messages;
    MessageService::setInstance(&messages);

    long beforeWindowKb = peakMemoryKb();
    TForm1 window(SettingsFile(ini, {temp.path(), QStringLiteral("bench")}));
    window.CreateDialogs();
    window.show();
    QElapsedTimer exposed;
    exposed.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && exposed.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        std::fprintf(stderr, "the window did not show (run with QT_QPA_PLATFORM=offscreen)\n");
        return 1;
    }
    const QByteArray rootBytes = QFile::encodeName(tree.root);
    std::size_t floorFiles = 0, floorBytes = 0;
    const auto floorPass = [&] {
        floorBytes = 0;
        floorFiles = floorWalk(rootBytes, floorBytes);
    };
    QTreeWidgetItem* showAll = window.TopNode(0);
    const auto fill = [&] { window.TreeView1Change(showAll); };

    // Warm-up: page cache and dentry cache hot, code paths touched once.
    floorPass();
    fill();
    QCoreApplication::processEvents();
    if (window.RowCount() != tree.shortcuts.size() || floorFiles != std::size_t(window.RowCount())) {
        std::fprintf(stderr, "mismatch: %d rows, floor %zu files, %lld generated\n", window.RowCount(),
                     floorFiles, qlonglong(tree.shortcuts.size()));
        return 1;
    }

    // The floor and the fill alternate, so that both see the same state of the machine.
    double floorMs = 1e300, fillMs = 1e300;
    for (int i = 0; i < rounds; ++i) {
        floorMs = std::min(floorMs, timeOf(floorPass));
        fillMs = std::min(fillMs, timeOf(fill));
    }

    std::printf("best of %d rounds, %d rows, %.1f MB read per pass\n", rounds, window.RowCount(),
                floorBytes / 1048576.0);
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

    std::printf("peak memory (VmHWM): %.1f MB, %.1f MB before the window was made\n", peakMemoryKb() / 1024.0,
                beforeWindowKb / 1024.0);
    MessageService::setInstance(nullptr);
    return 0;
}
