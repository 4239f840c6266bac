#include "CrossoverTypes.h"

#include <cstddef>

namespace CrossoverTypes
{
    namespace
    {
        // Rows: families; columns: 6, 12, 18, 24, 48 dB.  -1 marks a slope the family lacks.
        constexpr int codeTable[familyCount][slopeCount] = {
            { 0, 0, 0, 0, 0 },      // OFF
            { 1, 2, 5, 6, 9 },      // BUT6, BUT12, BUT18, BUT24, BUT48
            { -1, 3, -1, 7, -1 },   // BES12, BES24
            { -1, 4, -1, 8, 10 },   // LR12, LR24, LR48
        };

        constexpr int codeCount = 11;

        bool inRange (int value, int count)
        {
            return value >= 0 && value < count;
        }
    }

    const char* const familyNames[familyCount] = { "OFF", "Butterworth", "Bessel", "Linkwitz-Riley" };
    const char* const slopeNames[slopeCount] = { "6 dB", "12 dB", "18 dB", "24 dB", "48 dB" };

    int typeCode (int family, int slope)
    {
        if (! inRange (family, familyCount) || ! inRange (slope, slopeCount))
            return -1;
        return codeTable[family][slope];
    }

    Family familyOf (int code)
    {
        if (! inRange (code, codeCount) || code == 0)
            return off;
        for (int family = butterworth; family < familyCount; ++family)
            for (int slope = 0; slope < slopeCount; ++slope)
                if (codeTable[family][slope] == code)
                    return (Family) family;
        return off;
    }

    Slope slopeOf (int code)
    {
        if (! inRange (code, codeCount) || code == 0)
            return slope6;
        const int family = familyOf (code);
        for (int slope = 0; slope < slopeCount; ++slope)
            if (codeTable[family][slope] == code)
                return (Slope) slope;
        return slope6;
    }

    int SlopeList::indexOf (Slope slope) const
    {
        for (int i = 0; i < count; ++i)
            if (slopes[(std::size_t) i] == slope)
                return i;
        return -1;
    }

    SlopeList slopesOf (int family)
    {
        SlopeList list;
        if (! inRange (family, familyCount) || family == off)
            return list;
        for (int slope = 0; slope < slopeCount; ++slope)
            if (codeTable[family][slope] > 0)
                list.slopes[(std::size_t) list.count++] = (Slope) slope;
        return list;
    }

    Slope defaultSlope (int family)
    {
        const auto list = slopesOf (family);
        return list.count > 0 ? list.slopes[0] : slope6;
    }
}
