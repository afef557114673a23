#pragma once

// What every favorites benchmark shares: the command line, the generated tree, the floor they are
// measured against, timing with best-of rounds, a window shown offscreen and the peak memory.
// Header-only, since every benchmark is an executable of its own.

#include "FavoritesGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace lintora::bench {

// Usage of every favorites benchmark: [bookmarks] [folders] [rounds].
struct BenchArgs
{
    FavoritesShape shape;
    int rounds = 3;
};

inline BenchArgs parseArgs(int argc, char** argv)
{
    BenchArgs args;
    if (argc > 1)
        args.shape.bookmarks = std::max(1, std::atoi(argv[1]));
    if (argc > 2)
        args.shape.folders = std::max(0, std::atoi(argv[2]));
    if (argc > 3)
        args.rounds = std::max(1, std::atoi(argv[3]));
    return args;
}

// A temporary folder holding the generated tree as "Favorites", removed at the end. Says on stdout
// how long the generation took (withRoot adds the path of the tree), on stderr why it failed.
class BenchTree
{
public:
    explicit BenchTree(const FavoritesShape& shape, bool withRoot = false)
    {
        if (!m_temp.isValid()) {
            std::fprintf(stderr, "cannot create a temporary folder\n");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        m_tree = generateFavorites(m_temp.path() + QStringLiteral("/Favorites"), shape);
        const double ms = timer.nsecsElapsed() / 1e6;
        const qlonglong bookmarks = m_tree.shortcuts.size(), folders = m_tree.folders.size() - 1;
        if (withRoot)
            std::printf("generated %lld bookmarks in %lld folders in %.0f ms (%s)\n", bookmarks, folders, ms,
                        qPrintable(m_tree.root));
        else
            std::printf("generated %lld bookmarks in %lld folders in %.0f ms\n", bookmarks, folders, ms);
    }
    bool isValid() const { return m_temp.isValid(); }
    QString tempPath() const { return m_temp.path(); }
    const GeneratedFavorites& tree() const { return m_tree; }

    // A settings file of its own in the temporary folder naming the tree as the favorites folder;
    // empty when it cannot be written.
    QString writeSettings() const
    {
        const QString ini = m_temp.path() + QStringLiteral("/Lintora.ini");
        QFile file(ini);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("[PARM]\r\nFAVORITES=" + QFile::encodeName(m_tree.root) + "\r\n");
        return ini;
    }

private:
    QTemporaryDir m_temp;
    GeneratedFavorites m_tree;
};

// The floor: a plain readdir walk of the tree plus one open/read/close of every ".URL" file.
inline std::size_t floorWalk(const QByteArray& folder, std::size_t& bytes)
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

// One floor pass over a tree, callable as a pass; files and bytes are those of the last pass.
struct FloorPass
{
    explicit FloorPass(const QString& root) : root(QFile::encodeName(root)) {}
    void operator()()
    {
        bytes = 0;
        files = floorWalk(root, bytes);
    }
    double megabytes() const { return bytes / 1048576.0; }

    QByteArray root;
    std::size_t files = 0;
    std::size_t bytes = 0;
};

// Time of one piece of work alone, in milliseconds.
inline double elapsedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Time of one piece of work, including the events it leaves behind (relayout, repaint).
inline double timeOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

inline double bestOf(int rounds, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < rounds; ++i)
        best = std::min(best, timeOf(work));
    return best;
}

// Runs every pass once per round, round after round, and keeps each pass's best time (events not
// included), so that a busy machine disturbs all passes alike.
inline std::vector<double> bestOfEach(int rounds, const std::vector<std::function<void()>>& passes)
{
    std::vector<double> best(passes.size(), 1e300);
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < passes.size(); ++i)
            best[i] = std::min(best[i], elapsedMs(passes[i]));
    }
    return best;
}

// Shows the window and waits up to five seconds until it is exposed; says why on stderr when not.
inline bool showExposed(QWidget& window)
{
    window.show();
    const auto exposed = [&] { return window.windowHandle() && window.windowHandle()->isExposed(); };
    QElapsedTimer waited;
    waited.start();
    while (!exposed() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!exposed()) {
        std::fprintf(stderr, "the window did not show (run with QT_QPA_PLATFORM=offscreen)\n");
        return false;
    }
    return true;
}

// The peak resident memory of this process so far (VmHWM), in kB; -1 when it cannot be read.
inline long peakMemoryKb()
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

} // namespace lintora::bench
