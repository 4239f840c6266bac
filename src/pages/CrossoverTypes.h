#pragma once

#include <array>

/** The crossover filter's type codes (the "type" step of a Cxover block, 0 "OFF" .. 10
    "LR48") and the two choices the page builds them from: a filter family and a slope.

    Not every family has every slope: Bessel exists at 12 and 24 dB, Linkwitz-Riley at 12,
    24 and 48 dB, Butterworth at all five.  A family's slope list offers only its own slopes,
    and its first one is its default.  Pure table work, no widgets.
*/
namespace CrossoverTypes
{
    /** Families in the order of the page's family list (list id = family + 1). */
    enum Family
    {
        off,
        butterworth,
        bessel,
        linkwitzRiley,
        familyCount
    };

    /** Slopes in dB per octave, in the order of the full slope list. */
    enum Slope
    {
        slope6,
        slope12,
        slope18,
        slope24,
        slope48,
        slopeCount
    };

    /** Family names as the family list shows them. */
    extern const char* const familyNames[familyCount];

    /** Slope names as the slope lists show them ("6 dB" .. "48 dB"). */
    extern const char* const slopeNames[slopeCount];

    /** The type code of `family` at `slope`: 0 for "OFF" at any slope, -1 for a slope the
        family does not have (or arguments out of range). */
    int typeCode (int family, int slope);

    /** The family of type code `code` (0..10); "OFF" for anything else. */
    Family familyOf (int code);

    /** The slope of type code `code`; 6 dB for "OFF" and anything out of range. */
    Slope slopeOf (int code);

    /** The slopes `family` offers, in slope order (none for "OFF"). */
    struct SlopeList
    {
        std::array<Slope, slopeCount> slopes {};
        int count = 0;

        /** The position of `slope` in the list, or -1. */
        int indexOf (Slope slope) const;
    };
    SlopeList slopesOf (int family);

    /** The first slope `family` offers (6 dB for Butterworth and "OFF", 12 dB otherwise). */
    Slope defaultSlope (int family);
}
