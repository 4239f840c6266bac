#include "Endpoint.h"

#include <arpa/inet.h>
#include <cstdio>

std::string Endpoint::toString() const
{
    char text[32];
    std::snprintf (text, sizeof text, "%u.%u.%u.%u:%u", (unsigned) (address >> 24) & 0xFF,
                   (unsigned) (address >> 16) & 0xFF, (unsigned) (address >> 8) & 0xFF, (unsigned) address & 0xFF,
                   (unsigned) port);
    return text;
}

sockaddr_in Endpoint::toSockaddr() const
{
    sockaddr_in out {};
    out.sin_family = AF_INET;
    out.sin_addr.s_addr = htonl (address);
    out.sin_port = htons (port);
    return out;
}

Endpoint Endpoint::fromSockaddr (const sockaddr_in& in)
{
    return { ntohl (in.sin_addr.s_addr), ntohs (in.sin_port) };
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
