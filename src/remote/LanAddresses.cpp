#include "LanAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <algorithm>

namespace remote
{
    namespace
    {
        constexpr std::uint32_t loopbackNet = 0x7F000000u;
        constexpr std::uint32_t loopbackMask = 0xFF000000u;

        std::uint32_t hostOrder (const sockaddr* address)
        {
            return ntohl (reinterpret_cast<const sockaddr_in*> (address)->sin_addr.s_addr);
        }
    }

    std::vector<LanAddresses::Network> LanAddresses::current()
    {
        std::vector<Network> networks;
        ifaddrs* list = nullptr;
        if (getifaddrs (&list) != 0)
            return networks;
        for (auto* entry = list; entry != nullptr; entry = entry->ifa_next)
        {
            if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || entry->ifa_netmask == nullptr)
                continue;
            if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0)
                continue;
            Network network { entry->ifa_name != nullptr ? entry->ifa_name : "", hostOrder (entry->ifa_addr),
                              hostOrder (entry->ifa_netmask) };
            const bool known = std::any_of (networks.begin(), networks.end(),
                                            [&] (const Network& n) { return n.address == network.address; });
            if (! known && (network.address & loopbackMask) != loopbackNet)
                networks.push_back (network);
        }
        freeifaddrs (list);
        return networks;
    }

    bool LanAddresses::isLocalPeer (std::uint32_t peer, const std::vector<Network>& networks)
    {
        if ((peer & loopbackMask) == loopbackNet)
            return true;
        return std::any_of (networks.begin(), networks.end(),
                            [peer] (const Network& n) { return (peer & n.netmask) == (n.address & n.netmask); });
    }

    std::vector<std::string> LanAddresses::urls (const std::vector<Network>& networks, int port,
                                                 const std::string& token)
    {
        std::vector<std::uint32_t> addresses;
        for (const auto& network : networks)
            addresses.push_back (network.address);
        if (addresses.empty())
            addresses.push_back (0x7F000001u);

        std::vector<std::string> result;
        for (const auto address : addresses)
            result.push_back ("http://" + dotted (address) + ":" + std::to_string (port) + "/#k=" + token);
        return result;
    }

    std::string LanAddresses::dotted (std::uint32_t address)
    {
        return std::to_string (address >> 24) + "." + std::to_string ((address >> 16) & 255) + "."
               + std::to_string ((address >> 8) & 255) + "." + std::to_string (address & 255);
    }
}
