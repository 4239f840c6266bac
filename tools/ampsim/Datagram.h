#pragma once

#include <array>
#include <cstddef>
#include <cstring>

/** One UDP datagram in an aligned buffer of its own.

    oscpack reads strings and numbers in place and expects 4-byte alignment, so every byte
    block that is parsed is first copied here.  Datagrams larger than maxSize are refused.
*/
struct Datagram
{
    static constexpr std::size_t maxSize = 128;

    alignas (8) std::array<char, maxSize> bytes {};
    std::size_t size = 0;

    /** Copies `length` bytes in; false (and empty) when they do not fit. */
    bool assign (const void* data, std::size_t length)
    {
        if (length > maxSize || (length > 0 && data == nullptr))
        {
            size = 0;
            return false;
        }
        if (length > 0)
            std::memcpy (bytes.data(), data, length);
        size = length;
        return true;
    }

    const char* data() const noexcept { return bytes.data(); }
};
