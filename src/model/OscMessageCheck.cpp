#include "OscMessageCheck.h"

#include <cstdint>
#include <cstring>

namespace
{
    std::size_t roundUp4 (std::size_t n)
    {
        return (n + 3) & ~(std::size_t) 3;
    }

    /** The padded size of the OSC string at `p`, or 0 when it runs past `end` or its padding
        is not all NULs (oscpack looks for the end only in the last byte of each group of four). */
    std::size_t stringSize (const char* p, const char* end)
    {
        if (p >= end)
            return 0;

        const void* nul = std::memchr (p, 0, (std::size_t) (end - p));
        if (nul == nullptr)
            return 0;

        const auto length = (std::size_t) (static_cast<const char*> (nul) - p);
        const auto size = roundUp4 (length + 1);
        if (size > (std::size_t) (end - p))
            return 0;

        for (auto i = length; i < size; ++i)
            if (p[i] != '\0')
                return 0;
        return size;
    }

    std::uint32_t readBigEndian (const char* p)
    {
        const auto* b = reinterpret_cast<const unsigned char*> (p);
        return ((std::uint32_t) b[0] << 24) | ((std::uint32_t) b[1] << 16) | ((std::uint32_t) b[2] << 8) | b[3];
    }

    /** The size of one argument of type `tag` at `arg`, or -1 when it does not fit or is unknown. */
    long long argumentSize (char tag, const char* arg, const char* end)
    {
        const auto room = (std::size_t) (end - arg);
        switch (tag)
        {
            case 'i':
            case 'f':
            case 'c':
            case 'r':
            case 'm': return room >= 4 ? 4 : -1;
            case 'h':
            case 't':
            case 'd': return room >= 8 ? 8 : -1;
            case 'T':
            case 'F':
            case 'N':
            case 'I':
            case '[':
            case ']': return 0;
            case 's':
            case 'S':
            {
                const auto size = stringSize (arg, end);
                return size > 0 ? (long long) size : -1;
            }
            case 'b':
            {
                if (room < 4)
                    return -1;
                const auto size = 4 + roundUp4 (readBigEndian (arg));
                return size <= room ? (long long) size : -1;
            }
            default: return -1;
        }
    }
}

bool isWellFormedOscMessage (const void* data, std::size_t size)
{
    if (data == nullptr || size == 0 || size % 4 != 0)
        return false;

    const auto* begin = static_cast<const char*> (data);
    const auto* end = begin + size;
    if (begin[0] != '/')
        return false;

    const auto addressSize = stringSize (begin, end);
    if (addressSize == 0)
        return false;

    const char* tags = begin + addressSize;
    if (tags == end)
        return true;   // no type tags: a message without arguments
    if (*tags != ',')
        return false;

    const auto tagsSize = stringSize (tags, end);
    if (tagsSize == 0)
        return false;

    const char* arg = tags + tagsSize;
    for (const char* t = tags + 1; *t != '\0'; ++t)
    {
        const auto argSize = argumentSize (*t, arg, end);
        if (argSize < 0)
            return false;
        arg += argSize;
    }
    return true;
}
