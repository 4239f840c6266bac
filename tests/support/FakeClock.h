#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

/** A millisecond clock that moves only when a test says so, and counts how often it is read
    (a thread that polls reads it again and again; one that sleeps does not). */
class FakeClock
{
public:
    std::uint32_t now() const
    {
        ++readCount;
        return ms.load();
    }
    void advance (std::uint32_t delta) { ms.fetch_add (delta); }
    int reads() const { return readCount.load(); }

    /** For the hub's options: reads this clock (which must outlive the user). */
    std::function<std::uint32_t()> function()
    {
        return [this] { return now(); };
    }

private:
    // Starts near the wrap so that arithmetic across it is exercised too.
    std::atomic<std::uint32_t> ms { 0xFFFFF000u };
    mutable std::atomic<int> readCount { 0 };
};
