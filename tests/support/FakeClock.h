#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

/** A millisecond clock that moves only when a test says so. */
class FakeClock
{
public:
    std::uint32_t now() const           { return ms.load(); }
    void advance (std::uint32_t delta)  { ms.fetch_add (delta); }

    /** For the hub's options: reads this clock (which must outlive the user). */
    std::function<std::uint32_t()> function()
    {
        return [this] { return now(); };
    }

private:
    // Starts near the wrap so that arithmetic across it is exercised too.
    std::atomic<std::uint32_t> ms { 0xFFFFF000u };
};
