// Which directed broadcast addresses a search sends "/info" to, from the interfaces the
// system lists.  Reading the list sends nothing.

#include "HostAddress.h"
#include "InterfaceBroadcasts.h"
#include "PrivateNetwork.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>

namespace
{
    std::uint32_t at (const char* dotted)
    {
        return hostaddress::parseDotted (dotted).value_or (0);
    }

    InterfaceBroadcasts::Interface interface (const char* name, const char* broadcast, bool up = true,
                                              bool loopback = false)
    {
        InterfaceBroadcasts::Interface i;
        i.name = name;
        i.up = up;
        i.loopback = loopback;
        i.hasBroadcast = broadcast != nullptr;
        i.broadcast = broadcast != nullptr ? at (broadcast) : 0;
        return i;
    }
}

TEST (InterfaceBroadcasts, EveryUpInterfaceWithABroadcastAddressOnceInListedOrder)
{
    const std::vector<InterfaceBroadcasts::Interface> listed {
        interface ("eth0", "192.0.2.255"),
        interface ("lo", nullptr, true, true),
        interface ("wlan0", "198.51.100.255"),
        interface ("eth0", "192.0.2.255"),                 // a second address on the same subnet
        interface ("eth1", "203.0.113.255", false),        // down
        interface ("tun0", nullptr),                       // point to point: no broadcast
        interface ("odd", "255.255.255.255"),              // already sent to
        interface ("zero", "0.0.0.0"),                     // never a destination
        interface ("lo2", "127.255.255.255", true, true)   // loopback, even with a broadcast
    };

    EXPECT_EQ (InterfaceBroadcasts::select (listed),
               (std::vector<std::uint32_t> { at ("192.0.2.255"), at ("198.51.100.255") }));
    EXPECT_TRUE (InterfaceBroadcasts::select ({}).empty());
}

TEST (InterfaceBroadcasts, TheHostsInterfacesAreReadAsTheyAreNow)
{
    // In a namespace of its own: one veth end up on 198.51.100.0/24, its peer on
    // 203.0.113.0/24 still down, and loopback.
    REQUIRE_PRIVATE_NETWORK ("ip link add zr-a type veth peer name zr-b"
                             " && ip addr add 198.51.100.7/24 brd + dev zr-a && ip link set zr-a up"
                             " && ip addr add 203.0.113.7/24 brd + dev zr-b");

    const auto interfaces = InterfaceBroadcasts::listInterfaces();
    const auto named = [&interfaces] (const std::string& name)
    {
        for (const auto& i : interfaces)
            if (i.name == name)
                return i;
        return InterfaceBroadcasts::Interface {};
    };
    EXPECT_TRUE (named ("lo").loopback);
    EXPECT_TRUE (named ("zr-a").up);
    EXPECT_EQ (named ("zr-a").broadcast, at ("198.51.100.255"));
    EXPECT_FALSE (named ("zr-b").up);
    EXPECT_EQ (named ("zr-b").broadcast, at ("203.0.113.255"));

    EXPECT_EQ (InterfaceBroadcasts::current(), (std::vector<std::uint32_t> { at ("198.51.100.255") }));

    // Brought up between two searches: the next reading has it.
    ASSERT_EQ (std::system ("PATH=\"$PATH:/usr/sbin:/sbin\"; ip link set zr-b up"), 0);
    auto now = InterfaceBroadcasts::current();
    std::sort (now.begin(), now.end());
    std::vector<std::uint32_t> expected { at ("198.51.100.255"), at ("203.0.113.255") };
    std::sort (expected.begin(), expected.end());
    EXPECT_EQ (now, expected);
}
