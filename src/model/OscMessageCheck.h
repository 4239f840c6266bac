#pragma once

#include <cstddef>

/** True when `data` holds exactly one well-formed OSC message that oscpack can parse without
    reading outside it: a size that is a multiple of four, an address beginning with "/",
    NUL-terminated strings padded with NULs, optional type tags of known kinds, and every
    argument (blobs included) inside the `size` bytes.

    oscpack 1.1.0 neither rejects a blob whose size runs past the end of the message nor
    finds a string's end when its padding is not all NULs, and it reads past the message
    while parsing either; everything received from outside is measured with this first.
    Any thread; reads only the bytes given. */
bool isWellFormedOscMessage (const void* data, std::size_t size);
