// The USB transport against a simulated HID bus: device matching, the announce and
// released states, the mailbox and report framing in both directions.

#include "PostRecorder.h"
#include "UsbConnection.h"
#include "LinkMessage.h"
#include "MessageLoop.h"
#include "SimulatedHid.h"
#include "HidapiAccess.h"
#include "HidrawListing.h"
#include <gtest/gtest.h>
#include <cstring>

namespace
{
    constexpr int testTag = osc::messageTag;

    using Recorder = PostRecorder;

    SimulatedHid::Device fw (const std::string& path = "fw")
    {
        return { path, 0x2F17, 0x1102, L"FW12", true };
    }
    SimulatedHid::Device ap (const std::string& path = "ap")
    {
        return { path, 0x2F17, 0x1101, L"AP34", true };
    }

    /** An OSC-looking payload of `size` bytes: '/', letters, zero padding at the end. */
    std::string payloadOf (int size, char fill = 'p')
    {
        std::string s ((size_t) size, fill);
        s[0] = '/';
        s[(size_t) size - 1] = '\0';
        return s;
    }

    std::string packetFor (const std::string& payload)
    {
        return std::string (4, '\0') + payload;
    }

    struct UsbTransport : public ::testing::Test
    {
        SimulatedHid bus;
        Recorder hub;
        std::unique_ptr<UsbConnection> usb;

        void start() { usb = std::make_unique<UsbConnection> (hub, testTag, bus.makeAccess()); }
        void TearDown() override { usb.reset(); }

        bool waitForOpened (int count)
        {
            return testloop::runUntil ([&] { return hub.countOpenings() >= count; });
        }
    };
}

TEST_F (UsbTransport, NothingAttachedPostsNothingAndPollsGently)
{
    start();
    testloop::run (700);

    EXPECT_TRUE (hub.posted.empty());
    EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::none);
    EXPECT_TRUE (usb->isAnnouncementArmed());
    EXPECT_TRUE (usb->mailboxBusy());
    EXPECT_FALSE (usb->tryFillMailbox ("/x\0\0", 4));

    // Two kinds looked for per pass, one pass every 200 ms: a handful, not a busy loop.
    EXPECT_GE (bus.enumerateCount(), 4);
    EXPECT_LE (bus.enumerateCount(), 20);
}

TEST_F (UsbTransport, ArrivalOfKindTwoIsAnnouncedExactlyOnce)
{
    start();
    testloop::run (250);
    bus.attach (ap());

    ASSERT_TRUE (waitForOpened (1));
    testloop::run (400);

    ASSERT_EQ (hub.posted.size(), 1u);
    EXPECT_EQ (hub.posted[0].tag, testTag);
    EXPECT_FALSE (hub.posted[0].isPacket);
    EXPECT_EQ (hub.posted[0].event, osc::LinkEvent::usbOpened);
    EXPECT_EQ (hub.posted[0].family, DeviceFamily::tarvo);
    EXPECT_TRUE (hub.posted[0].bytes.empty());
    EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::tarvo);
    EXPECT_FALSE (usb->isAnnouncementArmed());
    EXPECT_TRUE (bus.isHeld ("ap"));
    EXPECT_EQ (bus.openCount ("ap"), 1);
}

TEST_F (UsbTransport, KindOneIsPreferredWhenBothArePresent)
{
    bus.attach (ap());
    bus.attach (fw());
    start();

    ASSERT_TRUE (waitForOpened (1));
    EXPECT_EQ (hub.posted[0].family, DeviceFamily::zr);
    EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::zr);
    EXPECT_TRUE (bus.isHeld ("fw"));
    EXPECT_FALSE (bus.isHeld ("ap"));
}

TEST_F (UsbTransport, DevicesFailingTheIdentityRulesAreNotTaken)
{
    bus.attach ({ "ap-on-fw-product", 0x2F17, 0x1102, L"AP01", true });
    bus.attach ({ "fw-on-ap-product", 0x2F17, 0x1101, L"FW01", true });
    bus.attach ({ "other-vendor", 0x1234, 0x1102, L"FW01", true });
    bus.attach ({ "unreadable", 0x2F17, 0x1102, L"FW01", false });
    bus.attach ({ "one-char", 0x2F17, 0x1102, L"F", true });
    bus.attach ({ "lower-case", 0x2F17, 0x1101, L"ap", true });
    start();
    testloop::run (600);

    EXPECT_TRUE (hub.posted.empty());
    EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::none);
    for (auto path : { "ap-on-fw-product", "fw-on-ap-product", "unreadable", "one-char", "lower-case" })
        EXPECT_FALSE (bus.isHeld (path)) << path;
    EXPECT_EQ (bus.openCount ("other-vendor"), 0);

    // A proper device among the misfits is still found, and only it is held.
    bus.attach (ap ("good"));
    ASSERT_TRUE (waitForOpened (1));
    EXPECT_EQ (hub.posted[0].family, DeviceFamily::tarvo);
    EXPECT_TRUE (bus.isHeld ("good"));
    EXPECT_FALSE (bus.isHeld ("ap-on-fw-product"));
}

TEST_F (UsbTransport, MailboxFramesUpTo62BytesAndDiscardsLonger)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));

    const auto longest = payloadOf (62, 'a');
    ASSERT_TRUE (usb->tryFillMailbox (longest.data(), 62));
    ASSERT_TRUE (testloop::runUntil ([&] { return bus.written ("fw").size() == 1; }));

    auto report = bus.written ("fw")[0];
    EXPECT_EQ (report[0], 0);
    EXPECT_EQ (report[1], 62);
    EXPECT_EQ (std::string (report.begin() + 2, report.end()), longest);

    const auto tooLong = payloadOf (63, 'b');
    ASSERT_TRUE (testloop::runUntil ([&] { return ! usb->mailboxBusy(); }));
    EXPECT_TRUE (usb->tryFillMailbox (tooLong.data(), 63));
    ASSERT_TRUE (testloop::runUntil ([&] { return ! usb->mailboxBusy(); }));

    // The next short payload follows the 62-byte one directly: nothing went out between,
    // and nothing of the longer report before it is left behind the short one.
    const auto shortOne = payloadOf (8, 'c');
    EXPECT_TRUE (usb->tryFillMailbox (shortOne.data(), 8));
    ASSERT_TRUE (testloop::runUntil ([&] { return bus.written ("fw").size() == 2; }));
    testloop::run (50);

    const auto all = bus.written ("fw");
    ASSERT_EQ (all.size(), 2u);
    EXPECT_EQ (all[1][1], 8);
    EXPECT_EQ (std::string (all[1].begin() + 2, all[1].begin() + 10), shortOne);
    EXPECT_EQ (std::string (all[1].begin() + 10, all[1].end()), std::string (54, '\0'));
}

TEST_F (UsbTransport, WritesAreRetriedFiveTimesThenDropped)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));
    const auto payload = payloadOf (12);

    bus.failWrites (4);
    ASSERT_TRUE (usb->tryFillMailbox (payload.data(), 12));
    ASSERT_TRUE (testloop::runUntil ([&] { return ! usb->mailboxBusy(); }));
    EXPECT_EQ (bus.written ("fw").size(), 1u);
    EXPECT_EQ (bus.writeAttempts(), 5);

    bus.failWrites (5);
    ASSERT_TRUE (usb->tryFillMailbox (payload.data(), 12));
    ASSERT_TRUE (testloop::runUntil ([&] { return ! usb->mailboxBusy(); }));
    testloop::run (50);
    EXPECT_EQ (bus.written ("fw").size(), 1u);
    EXPECT_EQ (bus.writeAttempts(), 10);
}

TEST_F (UsbTransport, OnePayloadsWritesStopWithinTheirBudgetEvenWhenTheDeviceLayerOverruns)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));
    const auto payload = payloadOf (12);

    // Each write takes 400 ms, twice the time-out it is given, and fails.
    constexpr int stallMs = 400;
    bus.stallWrites (stallMs);
    ASSERT_TRUE (usb->tryFillMailbox (payload.data(), 12));
    ASSERT_TRUE (testloop::runUntil ([&] { return ! usb->mailboxBusy(); }, 5000));

    const auto timeouts = bus.writeTimeouts();
    EXPECT_LE ((int) timeouts.size(), (UsbConnection::writeBudgetMs + stallMs - 1) / stallMs);
    EXPECT_GE (timeouts.size(), 2u);   // still tried again
    for (int timeout : timeouts)
        EXPECT_LE (timeout, UsbConnection::writeTimeoutMs);

    // Asked to stop during an attempt, the thread makes no further one.
    ASSERT_TRUE (usb->tryFillMailbox (payload.data(), 12));
    ASSERT_TRUE (testloop::runUntil ([&] { return (int) bus.writeTimeouts().size() > (int) timeouts.size(); }));
    const auto attemptsWhenStopped = bus.writeAttempts();
    usb.reset();
    EXPECT_EQ (bus.writeAttempts(), attemptsWhenStopped);
}

TEST_F (UsbTransport, AnUnpluggedDeviceIsLetGoReportedAndAnnouncedAgainWhenItReturns)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));
    EXPECT_FALSE (usb->isAnnouncementArmed());

    bus.detach ("fw");
    ASSERT_TRUE (testloop::runUntil ([&] { return hub.countEvents (osc::LinkEvent::usbRemoved) == 1; }));
    EXPECT_FALSE (usb->hasDevice());
    EXPECT_FALSE (bus.isHeld ("fw"));
    EXPECT_TRUE (usb->isAnnouncementArmed());
    EXPECT_TRUE (usb->mailboxBusy());

    bus.attach (fw());
    ASSERT_TRUE (waitForOpened (2));
    EXPECT_EQ (hub.posted.back().family, DeviceFamily::zr);
    EXPECT_TRUE (usb->hasDevice());
    EXPECT_EQ (hub.countEvents (osc::LinkEvent::usbRemoved), 1);
}

TEST_F (UsbTransport, OnlyWellFormedInputReportsArePosted)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));

    const auto first = payloadOf (8, 'f');
    const auto longest = payloadOf (60, 'l');
    const auto last = payloadOf (4, 'z');

    SimulatedHid::Report bad {};
    const auto queueBad = [&] (int length, char lead, int bytes = 64)
    {
        bad.fill ('/');
        bad[0] = 0;
        bad[1] = (std::uint8_t) length;
        bad[2] = (std::uint8_t) lead;
        bus.queueReport ("fw", bad, bytes);
    };

    bus.queuePayload ("fw", first);
    queueBad (63, '/');
    queueBad (64, '/');
    queueBad (255, '/');
    queueBad (0, '/');
    queueBad (6, '/');      // not a whole number of OSC words
    queueBad (62, '/');     // fits the report, but is no OSC message
    queueBad (8, 'x');      // not an address
    queueBad (8, '/', 9);   // the device delivered less than it claims
    queueBad (8, '/', 1);
    bus.queuePayload ("fw", longest);
    bus.queuePayload ("fw", last);

    ASSERT_TRUE (testloop::runUntil ([&] { return hub.posted.size() >= 4; }));
    testloop::run (100);

    ASSERT_EQ (hub.posted.size(), 4u);
    const std::string expected[] = { packetFor (first), packetFor (longest), packetFor (last) };
    for (int i = 0; i < 3; ++i)
    {
        const auto& p = hub.posted[(size_t) i + 1];
        EXPECT_EQ (p.tag, testTag);
        EXPECT_TRUE (p.isPacket);
        EXPECT_EQ (p.source, osc::PacketSource::usb);
        EXPECT_EQ (p.bytes, expected[i]) << "packet " << i;
    }
}

TEST_F (UsbTransport, ReleasedDeviceIsNotAnnouncedAgainUntilRearmed)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));

    usb->release();
    ASSERT_TRUE (testloop::runUntil ([&] { return ! bus.isHeld ("fw"); }));
    const int opensWhenReleased = bus.openCount ("fw");
    testloop::run (600);

    EXPECT_EQ (hub.countOpenings(), 1);
    EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::none);
    EXPECT_FALSE (usb->isAnnouncementArmed());
    EXPECT_TRUE (usb->mailboxBusy());
    // Still looked at (so a re-arm finds it promptly), but never kept.
    EXPECT_GT (bus.openCount ("fw"), opensWhenReleased);
    EXPECT_FALSE (bus.isHeld ("fw"));

    usb->rearmAnnouncement();
    ASSERT_TRUE (waitForOpened (2));
    EXPECT_EQ (hub.posted.back().family, DeviceFamily::zr);
    EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::zr);
    EXPECT_TRUE (bus.isHeld ("fw"));
}

TEST_F (UsbTransport, EachArrivalIsAnnouncedOnce)
{
    start();
    for (int arrival = 1; arrival <= 2; ++arrival)
    {
        bus.attach (ap());
        ASSERT_TRUE (waitForOpened (arrival));
        testloop::run (250);
        EXPECT_EQ (hub.countOpenings(), arrival);

        // Unplugged while open: the failed read lets it go and arms the announcement.
        bus.detach ("ap");
        ASSERT_TRUE (testloop::runUntil ([&] { return usb->isAnnouncementArmed() && ! bus.isHeld ("ap"); }));
        EXPECT_EQ (usb->openDeviceKind(), DeviceFamily::none);
    }
    // The removal is posted after the device is let go: wait for the second to arrive.
    EXPECT_TRUE (testloop::runUntil ([&] { return hub.countEvents (osc::LinkEvent::usbRemoved) == 2; }));
    testloop::run (50);
    EXPECT_EQ (hub.countOpenings(), 2);
    EXPECT_EQ (hub.countEvents (osc::LinkEvent::usbRemoved), 2);
}

TEST_F (UsbTransport, PayloadLeftForAReleasedDeviceIsNotSentToTheNextOne)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));

    // Catch the thread inside a read, then fill the mailbox and release the device before
    // it can come back to write.
    bus.holdReads (true);
    ASSERT_TRUE (testloop::runUntil ([&] { return bus.heldReaders() == 1; }));
    const auto stale = payloadOf (16, 's');
    ASSERT_TRUE (usb->tryFillMailbox (stale.data(), 16));
    usb->release();
    bus.holdReads (false);
    ASSERT_TRUE (testloop::runUntil ([&] { return ! bus.isHeld ("fw"); }));

    usb->rearmAnnouncement();
    ASSERT_TRUE (waitForOpened (2));
    testloop::run (100);

    EXPECT_TRUE (bus.written ("fw").empty());
    EXPECT_FALSE (usb->mailboxBusy());
}

TEST_F (UsbTransport, DestructionReleasesTheDevice)
{
    bus.attach (fw());
    start();
    ASSERT_TRUE (waitForOpened (1));
    ASSERT_TRUE (bus.isHeld ("fw"));

    usb.reset();
    EXPECT_FALSE (bus.isHeld ("fw"));
}

TEST (HidapiAccess, WithoutADeviceEveryOperationFailsCleanly)
{
    HidapiAccess hid;
    if (! hid.enumerate (UsbConnection::vendorId, 0).empty())
        GTEST_SKIP() << "an amplifier is attached to this machine";

    std::uint8_t report[HidAccess::reportSize] {};
    std::wstring text = L"stale";
    EXPECT_FALSE (hid.isOpen());
    EXPECT_FALSE (hid.open ("/dev/no-such-hidraw"));
    EXPECT_FALSE (hid.isOpen());
    EXPECT_FALSE (hid.readIndexedString (4, text, 2));
    EXPECT_TRUE (text.empty());
    EXPECT_FALSE (hid.writeReport (report, 200));
    EXPECT_EQ (hid.readReport (report, 5), -1);
    hid.close();

    // The transport over the real layer starts, finds nothing, and stops at once.
    Recorder hub;
    {
        UsbConnection usb (hub, testTag);
        testloop::run (250);
        EXPECT_EQ (usb.openDeviceKind(), DeviceFamily::none);
    }
    EXPECT_TRUE (hub.posted.empty());
}

TEST (HidrawListing, ReadsAsChangedWhenADeviceComesGoesOrIsReplacedUnderItsName)
{
    const auto dir = juce::File::createTempFile ("hidraw");
    ASSERT_TRUE (dir.createDirectory());
    const auto plug = [&dir] (const char* name) { return dir.getChildFile (name).create().wasOk(); };
    HidrawListing listing (dir.getFullPathName().toStdString());

    EXPECT_FALSE (listing.unchangedSinceLastLook());   // the first look knows no before
    EXPECT_TRUE (listing.unchangedSinceLastLook());

    ASSERT_TRUE (plug ("hidraw0"));
    EXPECT_FALSE (listing.unchangedSinceLastLook());
    EXPECT_TRUE (listing.unchangedSinceLastLook());

    // Another device under the same name between two looks: made before the first goes,
    // so it cannot get its inode.
    ASSERT_TRUE (plug ("hidraw0.next"));
    ASSERT_TRUE (dir.getChildFile ("hidraw0.next").moveFileTo (dir.getChildFile ("hidraw0")));
    EXPECT_FALSE (listing.unchangedSinceLastLook());

    ASSERT_TRUE (dir.getChildFile ("hidraw0").deleteFile());
    EXPECT_FALSE (listing.unchangedSinceLastLook());

    // A listing that cannot be read lists nothing, like an empty one.
    ASSERT_TRUE (dir.deleteRecursively());
    EXPECT_TRUE (listing.unchangedSinceLastLook());
    HidapiAccess hid (dir.getFullPathName().toStdString());
    EXPECT_TRUE (hid.enumerate (UsbConnection::vendorId, 0x7fff).empty());
    EXPECT_TRUE (hid.enumerate (UsbConnection::vendorId, 0x7fff).empty());
}
