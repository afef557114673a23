#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace lintora {

// Runs work(i) for every i below count, sharing blocks of indexes among a few threads when there is
// enough to share. Reading many small files is mostly waiting for the file system, so even two
// cores gain. work must only touch what belongs to its index. An error on any thread ends the run
// and is raised again here, on the caller's thread.
template <typename Work>
void forEachIndexInBlocks(std::size_t count, std::size_t block, std::size_t smallest, const Work& work)
{
    const unsigned threads = std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), 4);
    if (threads < 2 || count < smallest) {
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

} // namespace lintora
