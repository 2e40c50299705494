#pragma once
// Work split in two, the second part on a thread of its own where one can be had.

#include <cstddef>
#include <system_error>
#include <thread>

namespace varnex {

// Runs f on [0, split) and [split, count) at once, the second on a thread of its own where one
// can be had (else after the first).
template <class F>
void onTwoThreads(size_t split, size_t count, const F& f)
{
    std::thread second;
    try {
        second = std::thread([&] { f(split, count); });
    } catch (const std::system_error&) {
    }
    f(size_t{0}, split);
    if (second.joinable())
        second.join();
    else
        f(split, count);
}

}  // namespace varnex
