#pragma once

#include <netinet/in.h>
#include <cstdint>
#include <string>

/** An IPv4 address and UDP port, both in host byte order. */
struct Endpoint
{
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    bool isUnspecified() const noexcept { return address == 0 || port == 0; }

    /** "a.b.c.d:port". */
    std::string toString() const;

    /** The socket API's form (network byte order), and back. */
    sockaddr_in toSockaddr() const;
    static Endpoint fromSockaddr (const sockaddr_in& address);

    /** Reads a dotted IPv4 address ("127.0.0.2"); false when the text is not one. */
    static bool parseAddress (const std::string& text, std::uint32_t& out);

    friend bool operator== (const Endpoint& a, const Endpoint& b) { return a.address == b.address && a.port == b.port; }
    friend bool operator!= (const Endpoint& a, const Endpoint& b) { return ! (a == b); }
};
