#pragma once

#include "Cparam.h"

/** Parameters that several blocks share, made with their one range, scale and text format. */
namespace commonParams
{
    /** "freq": 20 Hz .. 20 kHz in 600 logarithmic steps (1/200 decade), text "%k1f". */
    Cparam* makeFrequency (std::uint32_t blockKind);

    /** "qual": 0.1 .. 10 in 100 logarithmic steps (1/50 decade), text "%4.2f". */
    Cparam* makeQuality (std::uint32_t blockKind);

    /** An equaliser gain: -15 .. +15 dB in 0.5 dB steps, text "%+5.1f". */
    Cparam* makeEqGain (const char* name, std::uint32_t blockKind);

    /** "rel": a release time of 20 .. 4000 ms in 2.5 ms steps, text "%5.1f". */
    Cparam* makeRelease (std::uint32_t blockKind);
}
