#pragma once

#include <cstdint>
#include <string>

namespace osc
{
    /** A lock code is four 8-bit characters travelling as one int32, the first character
        in the least significant byte: c0 + c1 x 256 + c2 x 65536 + c3 x 16777216.
        0 means "no lock".  Characters above 127 keep their byte value (the int may be negative).

        Packs `text`, which must be exactly four bytes; returns false (code untouched) otherwise. */
    inline bool packLockCode (const std::string& text, std::int32_t& code)
    {
        if (text.size() != 4)
            return false;

        std::uint32_t packed = 0;
        for (int i = 3; i >= 0; --i)
            packed = (packed << 8) | (std::uint8_t) text[(std::size_t) i];

        code = (std::int32_t) packed;
        return true;
    }

    /** The characters of a packed code, least significant byte first, stopping at a zero byte
        (so 0 gives ""). */
    inline std::string unpackLockCode (std::int32_t code)
    {
        std::string text;
        auto bits = (std::uint32_t) code;
        for (int i = 0; i < 4 && (bits & 0xFFu) != 0; ++i, bits >>= 8)
            text += (char) (bits & 0xFFu);
        return text;
    }
}
