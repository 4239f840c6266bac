#include "HidrawListing.h"

#include <algorithm>
#include <dirent.h>

HidrawListing::HidrawListing (std::string directoryToRead)
    : directory (std::move (directoryToRead))
{
}

bool HidrawListing::unchangedSinceLastLook()
{
    auto now = read();
    const bool unchanged = lookedBefore && now == previous;
    previous = std::move (now);
    lookedBefore = true;
    return unchanged;
}

std::vector<HidrawListing::Entry> HidrawListing::read() const
{
    std::vector<Entry> entries;
    DIR* dir = opendir (directory.c_str());
    if (dir == nullptr)
        return entries;

    while (const auto* entry = readdir (dir))
    {
        const std::string name (entry->d_name);
        if (name != "." && name != "..")
            entries.emplace_back (name, (unsigned long) entry->d_ino);
    }
    closedir (dir);

    std::sort (entries.begin(), entries.end());
    return entries;
}
