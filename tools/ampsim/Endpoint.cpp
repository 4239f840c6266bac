#include "Endpoint.h"

#include <arpa/inet.h>
#include <cstdio>

std::string Endpoint::toString() const
{
    char text[32];
    std::snprintf (text, sizeof text, "%u.%u.%u.%u:%u",
                   (unsigned) (address >> 24) & 0xFF, (unsigned) (address >> 16) & 0xFF,
                   (unsigned) (address >> 8) & 0xFF, (unsigned) address & 0xFF, (unsigned) port);
    return text;
}

bool Endpoint::parseAddress (const std::string& text, std::uint32_t& out)
{
    in_addr parsed {};
    // inet_pton takes only the strict dotted form: no names, no octal, no short forms.
    if (inet_pton (AF_INET, text.c_str(), &parsed) != 1)
        return false;
    out = ntohl (parsed.s_addr);
    return true;
}
