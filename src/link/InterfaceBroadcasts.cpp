#include "InterfaceBroadcasts.h"
#include "HostAddress.h"

#include <algorithm>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

std::vector<std::uint32_t> InterfaceBroadcasts::select (const std::vector<Interface>& interfaces)
{
    constexpr std::uint32_t limitedBroadcast = 0xFFFFFFFFu;
    std::vector<std::uint32_t> addresses;

    for (const auto& interface : interfaces)
    {
        if (! interface.up || interface.loopback || ! interface.hasBroadcast)
            continue;
        if (interface.broadcast == limitedBroadcast || hostaddress::isPlaceholder (interface.broadcast))
            continue;

        // An interface with several addresses of one subnet lists its broadcast once per
        // address; the query goes out once.
        if (std::find (addresses.begin(), addresses.end(), interface.broadcast) == addresses.end())
            addresses.push_back (interface.broadcast);
    }
    return addresses;
}

std::vector<InterfaceBroadcasts::Interface> InterfaceBroadcasts::listInterfaces()
{
    std::vector<Interface> interfaces;
    ifaddrs* list = nullptr;
    if (getifaddrs (&list) != 0)
        return interfaces;

    for (const auto* entry = list; entry != nullptr; entry = entry->ifa_next)
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;

        Interface interface;
        interface.name = entry->ifa_name != nullptr ? entry->ifa_name : "";
        interface.up = (entry->ifa_flags & IFF_UP) != 0;
        interface.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        interface.hasBroadcast = (entry->ifa_flags & IFF_BROADCAST) != 0 && entry->ifa_broadaddr != nullptr
                                 && entry->ifa_broadaddr->sa_family == AF_INET;
        if (interface.hasBroadcast)
            interface.broadcast = reinterpret_cast<const sockaddr_in*> (entry->ifa_broadaddr)->sin_addr.s_addr;
        interfaces.push_back (interface);
    }

    freeifaddrs (list);
    return interfaces;
}

std::vector<std::uint32_t> InterfaceBroadcasts::current()
{
    return select (listInterfaces());
}
