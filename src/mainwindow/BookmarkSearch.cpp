#include "mainwindow/BookmarkSearch.h"

#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "store/BookmarkFile.h"
#include "store/FolderScan.h"
#include "store/IniFile.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace lintora {

namespace {

// Runs work(i) for every i below count, on a few threads when there is enough to share. Mostly the
// work waits for the file system, so even two cores gain. An error on any thread ends the run and
// is raised again here.
template <typename Work> void forEachIndex(std::size_t count, std::size_t block, const Work& work)
{
    const unsigned threads = std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), 4);
    if (threads < 2 || count < 2 * block) {
        for (std::size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    const auto run = [&] {
        try {
            for (;;) {
                const std::size_t first = next.fetch_add(block, std::memory_order_relaxed);
                if (first >= count || failed.load(std::memory_order_relaxed))
                    return;
                for (std::size_t i = first; i < std::min(count, first + block); ++i)
                    work(i);
            }
        } catch (...) {
            if (!failed.exchange(true))
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

// TBMFile::Matches from a single read of the file, wanted being the search text in capitals. The
// texts are those of the record's getters: the title from the file name, the URL from [DEFAULT]
// BASEURL unless that is empty, else from [InternetShortcut] URL, the comment from [Lintora]. Only
// the fields tried are decoded, in the order title, URL, comment.
bool matchesUpper(const QString& path, const QString& wanted)
{
    QByteArray content;
    // A file that exists but cannot be read still has its title; a missing one has nothing.
    if (!readWholeFile(path, content) && !fileExists(path))
        return false;
    if (titleOfPath(path).toUpper().contains(wanted))
        return true;
    const std::vector<std::optional<QByteArray>> values = ini::lookupMany(
        content, {{"DEFAULT", "BASEURL"}, {"InternetShortcut", "URL"}, {"Lintora", "COMMENT"}});
    const std::optional<QByteArray>& baseUrl = values[0];
    const std::optional<QByteArray>& url = baseUrl && !baseUrl->isEmpty() ? baseUrl : values[1];
    if (url && decodeCp932(*url).toUpper().contains(wanted))
        return true;
    return values[2] && decodeCp932(*values[2]).toUpper().contains(wanted);
}

} // namespace

QStringList findBookmarks(const QStringList& folders, const QString& searchText)
{
    const QString wanted = searchText.toUpper();
    if (wanted.isEmpty())
        return {};
    // Listing a folder and reading its files go together, folder by folder on a few threads; the
    // results are joined in the folders' order, as CollectShortcuts lists them.
    std::vector<QStringList> perFolder(static_cast<std::size_t>(folders.size()));
    forEachIndex(perFolder.size(), 8, [&](std::size_t f) {
        const QString& folder = folders[static_cast<qsizetype>(f)];
        QStringList names;
        if (!listShortcutNames(folder, names))
            return;
        for (const QString& name : names) {
            QString path = joinPath(folder, name);
            if (matchesUpper(path, wanted))
                perFolder[f].append(std::move(path));
        }
    });
    QStringList found;
    for (QStringList& paths : perFolder)
        found.append(std::move(paths));
    return found;
}

} // namespace lintora
