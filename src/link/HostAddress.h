#pragma once

#include <cstdint>
#include <optional>
#include <string>

/** IPv4 addresses of amplifiers, held as the four bytes in network order (as sockets and
    the hub's sender prefix carry them), and the one place where a typed host is turned
    into such an address.  No state; any thread. */
namespace hostaddress
{
    /** The address of a dotted IPv4 text ("192.0.2.7"); nothing for anything else,
        including host names and the resolver's shorthands ("1234", "10.1"). */
    std::optional<std::uint32_t> parseDotted (const std::string& text);

    /** The first IPv4 address of `host`: a dotted address is taken as it is, anything else
        is asked of the system's resolver, which may block for seconds.  Call it once, where
        the user entered the host, never on a path that holds a lock or runs per packet.
        Nothing when the text is empty, over 253 characters, holds characters no host name
        has, or does not resolve. */
    std::optional<std::uint32_t> resolve (const std::string& host);

    /** "192.0.2.7" for the address. */
    std::string dotted (std::uint32_t address);

    /** True for 0.0.0.0/8 ("this network"): a placeholder before a device is chosen, never
        a destination. */
    bool isPlaceholder (std::uint32_t address);
}
