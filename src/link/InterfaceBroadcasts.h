#pragma once

#include <cstdint>
#include <string>
#include <vector>

/** Where a search reaches amplifiers beyond the default route: the directed broadcast
    address of every IPv4 interface that is up.

    The limited broadcast 255.255.255.255 leaves by the default route's interface only, so a
    computer on a wired stage network and on Wi-Fi would find the amplifiers of one of them.
    Sending the query to each interface's own broadcast address too reaches every network
    the computer is on.  The list is read afresh at every search, so interfaces that come
    and go are followed.  No state; any thread.
*/
class InterfaceBroadcasts
{
public:
    /** One IPv4 interface address as the system lists it (addresses in network byte order). */
    struct Interface
    {
        std::string name;
        bool up = false;
        bool loopback = false;
        bool hasBroadcast = false;
        std::uint32_t broadcast = 0;
    };

    /** The directed broadcast addresses of the interfaces that are up, are not loopback
        and have one, each once, in the order listed.  255.255.255.255 (sent anyway) and
        0.0.0.0/8 are left out. */
    static std::vector<std::uint32_t> select (const std::vector<Interface>& interfaces);

    /** The IPv4 interfaces of this host (of the caller's network namespace) now; empty when
        the system cannot tell. */
    static std::vector<Interface> listInterfaces();

    /** select (listInterfaces()): what a search sends to besides 255.255.255.255. */
    static std::vector<std::uint32_t> current();
};
