#pragma once

#include <cstddef>
#include <string_view>

namespace remote
{
    /** One file of the phone's page, built into the program (src/remote/web). */
    struct Asset
    {
        std::string_view path;   // "/", "/remote.js", ...
        std::string_view contentType;
        const unsigned char* data = nullptr;
        std::size_t size = 0;
    };

    /** The page's file for a request target ("/" is the page itself; a query is ignored),
        or null when there is none by that name.  Constant data; any thread. */
    const Asset* findAsset (std::string_view target);
}
