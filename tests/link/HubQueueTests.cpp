// The outbound ring on its own, and the lock code packing.

#include "LockCode.h"
#include "OutboundQueue.h"

#include <gtest/gtest.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <string>

namespace
{
    OutboundPacketPtr packet (const char* address, float value)
    {
        auto p = std::make_unique<OutboundPacket>();
        p->stream << osc::BeginMessage (address) << value << osc::EndMessage;
        return p;
    }

    OutboundPacketPtr presetName (int slot)
    {
        auto p = std::make_unique<OutboundPacket>();
        p->stream << osc::BeginMessage ("/preset/name") << (osc::int32) slot << (osc::int32) 0 << "DUMMY"
                  << osc::EndMessage;
        return p;
    }

    std::string addressAt (const osc::OutboundQueue& q, int i)
    {
        return q.entry (i) != nullptr ? q.entry (i)->address() : "";
    }

    float firstFloatAt (const osc::OutboundQueue& q, int i)
    {
        const auto* e = q.entry (i);
        osc::ReceivedMessage m (osc::ReceivedPacket (e->data(), (osc::osc_bundle_element_size_t) e->size()));
        return m.ArgumentsBegin()->AsFloat();
    }

    int firstIntAt (const osc::OutboundQueue& q, int i)
    {
        const auto* e = q.entry (i);
        osc::ReceivedMessage m (osc::ReceivedPacket (e->data(), (osc::osc_bundle_element_size_t) e->size()));
        return m.ArgumentsBegin()->AsInt32();
    }
}

TEST (OutboundQueue, SameAddressReplacesTheQueuedValueInPlace)
{
    osc::OutboundQueue q;
    q.merge (packet ("/channel/1/peq/3", 1.0f), false);
    q.merge (packet ("/channel/1/delay", 5.0f), false);
    q.merge (packet ("/channel/1/peq/3", 2.0f), false);
    // A longer address with the same beginning is another address.
    q.merge (packet ("/channel/1/peq/30", 3.0f), false);

    ASSERT_EQ (q.size(), 3);
    EXPECT_EQ (addressAt (q, 0), "/channel/1/peq/3");
    EXPECT_EQ (firstFloatAt (q, 0), 2.0f);
    EXPECT_EQ (addressAt (q, 1), "/channel/1/delay");
    EXPECT_EQ (addressAt (q, 2), "/channel/1/peq/30");
}

TEST (OutboundQueue, PresetNameRequestsAreNeverMerged)
{
    osc::OutboundQueue q;
    for (int slot = 1; slot <= 20; ++slot)
        q.merge (presetName (slot), false);

    ASSERT_EQ (q.size(), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ (firstIntAt (q, i), i + 1);
}

TEST (OutboundQueue, HeadNotYetTransmittedIsReplacedToo)
{
    osc::OutboundQueue q;
    q.merge (packet ("/gain", 1.0f), false);
    q.merge (packet ("/meter", 10.0f), false);
    q.merge (packet ("/gain", 2.0f), false);

    ASSERT_EQ (q.size(), 2);
    EXPECT_EQ (addressAt (q, 0), "/gain");
    EXPECT_EQ (firstFloatAt (q, 0), 2.0f);
}

TEST (OutboundQueue, HeadInFlightKeepsItsValueAndTheNewestWaitsBehindIt)
{
    osc::OutboundQueue q;
    q.merge (packet ("/gain", 1.0f), false);
    q.merge (packet ("/gain", 2.0f), true);
    q.merge (packet ("/meter", 10.0f), true);
    q.merge (packet ("/gain", 3.0f), true);

    ASSERT_EQ (q.size(), 3);
    EXPECT_EQ (firstFloatAt (q, 0), 1.0f);
    EXPECT_EQ (addressAt (q, 1), "/gain");
    EXPECT_EQ (firstFloatAt (q, 1), 3.0f);
    EXPECT_EQ (addressAt (q, 2), "/meter");
}

TEST (OutboundQueue, FullRingRefusesWithoutTouchingLiveEntries)
{
    osc::OutboundQueue q;
    // Move the indexes near the end of the ring first, so the live run wraps.
    for (int i = 0; i < 500; ++i)
    {
        ASSERT_TRUE (q.append (packet ("/x", 0.0f)));
        ASSERT_TRUE (q.retireHeadIf ("/x"));
    }

    for (int i = 0; i < osc::OutboundQueue::capacity; ++i)
        ASSERT_TRUE (q.append (packet (("/a/" + std::to_string (i)).c_str(), (float) i)));

    EXPECT_EQ (q.size(), 511);
    EXPECT_FALSE (q.append (packet ("/refused", 1.0f)));
    EXPECT_FALSE (q.merge (packet ("/refused", 1.0f), false));
    EXPECT_FALSE (q.merge (presetName (1), false));
    // Merging into a live entry needs no room.
    EXPECT_TRUE (q.merge (packet ("/a/7", 77.0f), false));

    EXPECT_EQ (q.size(), 511);
    EXPECT_EQ (addressAt (q, 0), "/a/0");
    EXPECT_EQ (firstFloatAt (q, 7), 77.0f);
    EXPECT_EQ (addressAt (q, 510), "/a/510");
    EXPECT_EQ (firstFloatAt (q, 510), 510.0f);

    ASSERT_TRUE (q.retireHeadIf ("/a/0"));
    EXPECT_TRUE (q.append (packet ("/fits", 1.0f)));
    EXPECT_EQ (addressAt (q, 510), "/fits");
}

TEST (OutboundQueue, OnlyAMatchingHeadIsRetired)
{
    osc::OutboundQueue q;
    EXPECT_FALSE (q.retireHeadIf ("/gain"));

    q.append (packet ("/gain", 1.0f));
    q.append (packet ("/meter", 10.0f));

    EXPECT_FALSE (q.retireHeadIf ("/meter"));
    EXPECT_FALSE (q.retireHeadIf ("/gai"));
    EXPECT_FALSE (q.retireHeadIf ("/gainx"));
    EXPECT_EQ (q.size(), 2);

    // Compared without the leading '/'.
    EXPECT_TRUE (q.retireHeadIf ("gain"));
    EXPECT_EQ (addressAt (q, 0), "/meter");
    EXPECT_TRUE (q.retireHeadIf ("/meter"));
    EXPECT_TRUE (q.isEmpty());
}

TEST (OutboundQueue, ClearEmptiesAndTheRingIsUsableAfterwards)
{
    osc::OutboundQueue q;
    for (int i = 0; i < 300; ++i)
        q.append (packet ("/a", 0.0f));
    q.clear();
    EXPECT_TRUE (q.isEmpty());
    EXPECT_EQ (q.head(), nullptr);

    for (int i = 0; i < osc::OutboundQueue::capacity; ++i)
        ASSERT_TRUE (q.append (packet ("/b", 0.0f)));
    EXPECT_FALSE (q.append (packet ("/b", 0.0f)));
}

TEST (LockCode, PacksFirstCharacterIntoTheLowestByte)
{
    std::int32_t code = 0;
    ASSERT_TRUE (osc::packLockCode ("ABCD", code));
    EXPECT_EQ (code, 0x44434241);
    EXPECT_EQ (osc::unpackLockCode (code), "ABCD");

    ASSERT_TRUE (osc::packLockCode ("1234", code));
    EXPECT_EQ (code, '1' + '2' * 256 + '3' * 65536 + '4' * 16777216);
}

TEST (LockCode, EightBitCharactersSurviveBothWays)
{
    const std::string text { 'a', 'b', 'c', (char) 0xE9 };
    std::int32_t code = 0;
    ASSERT_TRUE (osc::packLockCode (text, code));
    EXPECT_LT (code, 0);
    EXPECT_EQ ((std::uint32_t) code, 0xE9636261u);
    EXPECT_EQ (osc::unpackLockCode (code), text);
}

TEST (LockCode, OtherLengthsAreRefusedAndUnpackingStopsAtAZeroByte)
{
    std::int32_t code = 99;
    EXPECT_FALSE (osc::packLockCode ("ABC", code));
    EXPECT_FALSE (osc::packLockCode ("ABCDE", code));
    EXPECT_FALSE (osc::packLockCode ("", code));
    EXPECT_EQ (code, 99);

    EXPECT_EQ (osc::unpackLockCode (0), "");
    EXPECT_EQ (osc::unpackLockCode (0x00004241), "AB");
    EXPECT_EQ (osc::unpackLockCode (0x44004241), "AB");
}
