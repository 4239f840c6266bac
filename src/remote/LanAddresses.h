#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace remote
{
    /** The computer's addresses on its local networks: where a phone can reach the remote,
        and which peers count as local.  Addresses are IPv4 in host byte order.  No state;
        any thread.
    */
    class LanAddresses
    {
    public:
        struct Network
        {
            std::string interfaceName;
            std::uint32_t address = 0;
            std::uint32_t netmask = 0;
        };

        /** The networks of the interfaces that are up, loopback left out, in the order the
            system lists them (each address once). */
        static std::vector<Network> current();

        /** True for a loopback peer or one inside one of `networks`. */
        static bool isLocalPeer (std::uint32_t peer, const std::vector<Network>& networks);

        /** "http://ADDRESS:PORT/#k=TOKEN" for each of `networks`; for loopback alone when there
            is none (the computer is on no network: only its own browser can open it). */
        static std::vector<std::string> urls (const std::vector<Network>& networks, int port, const std::string& token);

        /** Dotted text of `address`. */
        static std::string dotted (std::uint32_t address);
    };
}
