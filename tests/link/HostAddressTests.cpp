// Typed hosts into IPv4 addresses: the one place where that happens.  Only texts that never
// reach a name server are used here.

#include "HostAddress.h"

#include <gtest/gtest.h>
#include <arpa/inet.h>

TEST (HostAddress, DottedAddressesAreTakenAsTheyAreInNetworkOrder)
{
    const auto address = hostaddress::parseDotted ("192.0.2.7");
    ASSERT_TRUE (address.has_value());
    EXPECT_EQ (ntohl (*address), 0xC0000207u);
    EXPECT_EQ (hostaddress::resolve ("192.0.2.7"), address);
    EXPECT_EQ (hostaddress::dotted (*address), "192.0.2.7");
    EXPECT_EQ (hostaddress::dotted (*hostaddress::parseDotted ("255.255.255.255")), "255.255.255.255");
}

TEST (HostAddress, TextsThatAreNoHostAreRefusedWithoutAsking)
{
    for (const char* text : { "", "1234", "10.1", "192.0.2", "192.0.2.256", "192.0.2.7.", "no such host", "amp_1",
                              "amp;rm", "192.0.2.7:3456" })
        EXPECT_FALSE (hostaddress::resolve (text).has_value()) << "\"" << text << "\"";

    EXPECT_FALSE (hostaddress::resolve (std::string (254, 'a')).has_value());
    EXPECT_FALSE (hostaddress::parseDotted ("amp").has_value());
}

TEST (HostAddress, ThisNetworkIsAPlaceholder)
{
    EXPECT_TRUE (hostaddress::isPlaceholder (0));
    EXPECT_TRUE (hostaddress::isPlaceholder (*hostaddress::parseDotted ("0.0.0.1")));
    EXPECT_TRUE (hostaddress::isPlaceholder (*hostaddress::parseDotted ("0.255.255.255")));
    EXPECT_FALSE (hostaddress::isPlaceholder (*hostaddress::parseDotted ("1.0.0.0")));
    EXPECT_FALSE (hostaddress::isPlaceholder (*hostaddress::parseDotted ("127.0.0.2")));
    EXPECT_FALSE (hostaddress::isPlaceholder (0xFFFFFFFFu));
}
