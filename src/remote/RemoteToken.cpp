#include "RemoteToken.h"

#include <sys/random.h>
#include <cerrno>
#include <cstdint>

namespace remote
{
    std::string RemoteToken::generate()
    {
        std::uint8_t bytes[hexLength / 2];
        std::size_t filled = 0;
        while (filled < sizeof bytes)
        {
            const auto got = getrandom (bytes + filled, sizeof bytes - filled, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return {};
            filled += (std::size_t) got;
        }

        static const char hex[] = "0123456789abcdef";
        std::string token;
        for (const auto byte : bytes)
        {
            token += hex[byte >> 4];
            token += hex[byte & 15];
        }
        return token;
    }

    bool RemoteToken::matches (std::string_view expected, std::string_view offered)
    {
        if (expected.empty() || expected.size() != offered.size())
            return false;
        unsigned difference = 0;
        for (std::size_t i = 0; i < expected.size(); ++i)
            difference |= (unsigned) (std::uint8_t) (expected[i] ^ offered[i]);
        return difference == 0;
    }
}
