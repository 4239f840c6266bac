#pragma once

#include <cstdint>
#include <vector>

namespace remote
{
    /** At most `perSecond` messages in any one second: the times of the last `perSecond`
        admitted messages are kept, and a message is admitted when the oldest of them is a
        second old or more.  Refused messages are counted.  Time is passed in (milliseconds
        of a steady clock), so tests need no clock.  One thread at a time.
    */
    class RateLimiter
    {
    public:
        explicit RateLimiter (int perSecond);

        /** True when a message at `nowMs` may pass (and it is counted as passed). */
        bool admit (std::uint64_t nowMs);

        std::uint64_t refused() const noexcept { return refusedCount; }

    private:
        std::vector<std::uint64_t> times;   // ring of admission times
        std::size_t next = 0;
        std::size_t used = 0;
        std::uint64_t refusedCount = 0;
    };
}
