#include "RateLimiter.h"

namespace remote
{
    namespace
    {
        constexpr std::uint64_t windowMs = 1000;
    }

    RateLimiter::RateLimiter (int perSecond)
        : times ((std::size_t) (perSecond > 0 ? perSecond : 0))
    {
    }

    bool RateLimiter::admit (std::uint64_t nowMs)
    {
        if (times.empty())
        {
            ++refusedCount;
            return false;
        }
        // Once the ring is full, `next` is the oldest admission.
        if (used == times.size() && nowMs < times[next] + windowMs)
        {
            ++refusedCount;
            return false;
        }
        times[next] = nowMs;
        next = (next + 1) % times.size();
        if (used < times.size())
            ++used;
        return true;
    }
}
