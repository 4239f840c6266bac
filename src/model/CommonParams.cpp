#include "CommonParams.h"

namespace commonParams
{
    Cparam* makeFrequency (std::uint32_t blockKind)
    {
        return Cparam::makeLog ("freq", blockKind, 20.0f, 20000.0f, 600, "%k1f");
    }

    Cparam* makeQuality (std::uint32_t blockKind)
    {
        return Cparam::makeLog ("qual", blockKind, 0.1f, 10.0f, 100, "%4.2f");
    }

    Cparam* makeEqGain (const char* name, std::uint32_t blockKind)
    {
        return Cparam::makeLinear (name, blockKind, -15.0f, 15.0f, 60, "%+5.1f");
    }

    Cparam* makeRelease (std::uint32_t blockKind)
    {
        return Cparam::makeLinear ("rel", blockKind, 20.0f, 4000.0f, 1592, "%5.1f");
    }
}
