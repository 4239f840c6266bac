#include "OscMessageCheck.h"

#include <gtest/gtest.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <string>

using namespace std::string_literals;

namespace
{
    bool wellFormed (const std::string& bytes)
    {
        // A copy of its own, so the check can only see the bytes it is given.
        const std::string copy (bytes);
        return isWellFormedOscMessage (copy.data(), copy.size());
    }

    const auto bandMessage = "/channel/1/peq/3\0\0\0\0"s   //  0  address
                             ",sfff\0\0\0"s                // 20  type tags
                             "PEQ\0"s                      // 28  type
                             "\x46\x9c\x40\x00"s           // 32  freq
                             "\x40\x40\x00\x00"s           // 36  gain
                             "\x41\x20\x00\x00"s;          // 40  qual
}

TEST (OscMessageCheck, AcceptsWellFormedMessages)
{
    EXPECT_TRUE (wellFormed (bandMessage));
    EXPECT_TRUE (wellFormed ("/ampmode\0\0\0\0"s));   // no type tags at all
    EXPECT_TRUE (wellFormed ("/x\0\0,\0\0\0"s));      // empty type tags
    EXPECT_TRUE (wellFormed ("/x\0\0,bT\0"s
                             "\x00\x00\x00\x05"
                             "abcde\0\0\0"s));
    EXPECT_TRUE (wellFormed ("/x\0\0,hd\0"s + std::string (16, '\x01')));

    const std::string copy (bandMessage);
    osc::ReceivedMessage message (osc::ReceivedPacket (copy.data(), (osc::osc_bundle_element_size_t) copy.size()));
    EXPECT_EQ (message.ArgumentCount(), 4u);
}

TEST (OscMessageCheck, RefusesWhatOscpackWouldReadPast)
{
    // A blob whose size runs past the end, or whose size itself is missing.
    EXPECT_FALSE (wellFormed ("/x\0\0,b\0\0"s
                              "\x00\x00\x01\x00"
                              "abcd"s));
    EXPECT_FALSE (wellFormed ("/x\0\0,b\0\0"s));
    EXPECT_FALSE (wellFormed ("/x\0\0,b\0\0"s
                              "\xff\xff\xff\xff"s));
    // A string padded with something other than NULs.
    EXPECT_FALSE (wellFormed ("/x\0\0,sfb\0\0\0\0"s
                              "ab\0\x80"
                              "\0\0\0\0"
                              "\0\0\0\0"s));
    EXPECT_FALSE (wellFormed ("/x\0A,f\0\0\0\0\0\0"s));
    // Strings without an end inside the message.
    EXPECT_FALSE (wellFormed ("/abc"s));
    EXPECT_FALSE (wellFormed ("/x\0\0,sss"s));
    EXPECT_FALSE (wellFormed ("/x\0\0,s\0\0abcd"s));
    // Numbers cut short.
    EXPECT_FALSE (wellFormed ("/x\0\0,f\0\0"s));
    EXPECT_FALSE (wellFormed ("/x\0\0,d\0\0\0\0\0\0"s));
    // A truncated copy of a good message.
    EXPECT_FALSE (wellFormed (bandMessage.substr (0, 40)));
}

TEST (OscMessageCheck, RefusesOtherShapes)
{
    EXPECT_FALSE (wellFormed (""s));
    EXPECT_FALSE (wellFormed ("/ampmode\0\0\0"s));   // not a multiple of four
    EXPECT_FALSE (wellFormed ("#bundle\0"s + std::string (8, '\0')));
    EXPECT_FALSE (wellFormed ("\0\0\0\0"s));               // no address
    EXPECT_FALSE (wellFormed ("/x\0\0sf\0\0"s));           // type tags without ","
    EXPECT_FALSE (wellFormed ("/x\0\0,Q\0\0\0\0\0\0"s));   // unknown type tag
    EXPECT_FALSE (isWellFormedOscMessage (nullptr, 8));
}
