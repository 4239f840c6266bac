#pragma once

#include <string>
#include <string_view>

namespace remote
{
    /** The secret a phone must show: 128 random bits from the system's generator, as 32
        lower-case hexadecimal digits.  It travels in the address's fragment ("#k=..."),
        which a browser never puts into a request, and then in the page's hello.  Any thread.
    */
    class RemoteToken
    {
    public:
        static constexpr std::size_t hexLength = 32;

        /** A new token; empty only if the system has no random numbers to give. */
        static std::string generate();

        /** True when `offered` is `expected`, taking the same time whatever they share; an
            empty `expected` matches nothing. */
        static bool matches (std::string_view expected, std::string_view offered);
    };
}
