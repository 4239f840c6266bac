// The hub over USB, against the simulated HID bus: announcement, the connect question, the
// mailbox route, source filtering and the USB lost-connection rule.

#include "HubFixture.h"

using namespace hubtest;

namespace
{
    const std::string devicePath = "sim-amp";

    std::string asPayload (const std::vector<char>& message)
    {
        return { message.begin(), message.end() };
    }

    /** The OSC message carried by a written report. */
    std::vector<char> payloadOf (const SimulatedHid::Report& report)
    {
        return { report.begin() + 2, report.begin() + 2 + report[1] };
    }
}

class HubUsb : public HubTest
{
protected:
    std::vector<std::string> writtenAddresses() const
    {
        std::vector<std::string> addresses;
        for (const auto& report : bus.written (devicePath))
            addresses.push_back (addressOf (payloadOf (report)));
        return addresses;
    }

    bool waitForWrites (std::size_t count)
    {
        return testloop::runUntil ([&] { return bus.written (devicePath).size() >= count; }, 3000);
    }

    /** Plugs the amplifier in and waits for the hub's "/info" over USB. */
    void plugIn (int productId = 0x1102, const wchar_t* identity = L"FW01")
    {
        SimulatedHid::Device device;
        device.path = devicePath;
        device.productId = productId;
        device.identity = identity;
        bus.attach (device);
        ASSERT_TRUE (waitForWrites (1));
        ASSERT_EQ (payloadOf (bus.written (devicePath)[0]), bare ("/info"));
    }

    /** The amplifier answers "/info" over USB and the user is asked (answer scripted). */
    void answerInfo (bool connect)
    {
        dialogs.answers.push_back (connect);
        bus.queuePayload (devicePath, asPayload (info ("Usb Amp", 1)));
        ASSERT_TRUE (testloop::runUntil ([this] { return ! dialogs.shown.empty(); }));
    }
};

TEST_F (HubUsb, AnnouncedDeviceIsAskedForInfoAndTheUserIsAskedToConnect)
{
    plugIn();
    EXPECT_EQ (hub->getDeviceFamily(), DeviceFamily::zr);
    EXPECT_EQ (bus.written (devicePath)[0][1], 12);   // "/info" padded to 8, then ","

    answerInfo (true);

    EXPECT_EQ (dialogs.shown[0],
               "ZR series connected|Connect to device and lose current settings?|Connect|Cancel|question");
    EXPECT_EQ (setup.calls,
               (std::vector<std::string> { "updateUsbEntry 1 Usb Amp", "selectDevice 0", "connectDevice" }));
    EXPECT_TRUE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::usb);

    // "/online" through the mailbox, then the queue drains through it one request at a time.
    ASSERT_TRUE (waitForWrites (3));
    testloop::run (30);
    EXPECT_EQ (writtenAddresses(), (std::vector<std::string> { "/info", "/online", "/gain" }));
}

TEST_F (HubUsb, TarvoDevicesGetTheirOwnQuestionTitle)
{
    plugIn (0x1101, L"AP01");
    EXPECT_EQ (hub->getDeviceFamily(), DeviceFamily::tarvo);
    answerInfo (false);
    EXPECT_EQ (dialogs.shown[0],
               "TARVO model connected|Connect to device and lose current settings?|Connect|Cancel|question");
}

TEST_F (HubUsb, CancelLeavesTheDeviceOpenAndItsPacketsUnheard)
{
    plugIn();
    answerInfo (false);

    EXPECT_FALSE (hub->isOnline());
    EXPECT_TRUE (hub->usbDevicePresent());
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "updateUsbEntry 1 Usb Amp" }));

    bus.queuePayload (devicePath, asPayload (gains (-3.0f, -3.0f, 0, 0)));
    testloop::run (100);
    EXPECT_EQ (panel.gainCalls, 0);

    // Selecting the USB row later connects without asking again.
    setup.selectDevice (0);
    setup.connectDevice();
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::usb);
    ASSERT_TRUE (waitForWrites (3));
    EXPECT_EQ (dialogs.shown.size(), 1u);
}

TEST_F (HubUsb, OnlineOverUsbOnlyUsbPacketsAreHeardAndAnswersRetireRequests)
{
    plugIn();
    answerInfo (true);
    ASSERT_TRUE (waitForWrites (3));

    // The network amplifier shares the port but is not the connection in use.
    amp->send (gains (-20.0f, -20.0f, 1, 1));
    testloop::run (100);
    EXPECT_EQ (panel.gainCalls, 0);
    EXPECT_EQ (queuedAddresses().front(), "/gain");

    bus.queuePayload (devicePath, asPayload (gains (-4.0f, -5.0f, 0, 1)));
    ASSERT_TRUE (testloop::runUntil ([this] { return panel.gainCalls == 1; }));
    EXPECT_EQ (panel.gains, (std::array<float, 2> { -4.0f, -5.0f }));

    ASSERT_TRUE (waitForWrites (4));
    EXPECT_EQ (writtenAddresses()[3], "/preset/name");
}

TEST_F (HubUsb, FourUnansweredTransmissionsThenOneUsbErrorBoxAndTheDeviceIsReleased)
{
    plugIn();
    answerInfo (true);
    ASSERT_TRUE (waitForWrites (3));

    for (std::size_t writes = 4; writes <= 6; ++writes)
    {
        clock.advance (501);
        ASSERT_TRUE (waitForWrites (writes));
    }
    testloop::run (30);
    EXPECT_EQ (writtenAddresses(),
               (std::vector<std::string> { "/info", "/online", "/gain", "/gain", "/gain", "/gain" }));

    clock.advance (501);
    ASSERT_TRUE (testloop::runUntil ([this] { return dialogs.shown.size() == 2; }));
    testloop::run (100);

    ASSERT_EQ (dialogs.shown.size(), 2u);
    EXPECT_EQ (dialogs.shown[1], "USB connection error!|Device will be disconnected|Ok||warning");
    EXPECT_FALSE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
    EXPECT_EQ (setup.last(), "forgetActiveDevice");

    // Released: the device is closed and not announced again until a search re-arms it.
    ASSERT_TRUE (testloop::runUntil ([this] { return ! bus.isHeld (devicePath); }));
    testloop::run (500);
    EXPECT_EQ (bus.written (devicePath).size(), 6u);

    hub->searchDevices ("127.0.0.2");
    ASSERT_TRUE (waitForWrites (7));
    EXPECT_EQ (writtenAddresses().back(), "/info");
}

TEST_F (HubUsb, GoingOfflineReleasesTheDeviceAndForgetsIt)
{
    plugIn();
    answerInfo (true);
    ASSERT_TRUE (waitForWrites (3));
    setup.calls.clear();

    setup.disconnectDevice();

    EXPECT_FALSE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "disconnectDevice", "forgetActiveDevice" }));
    ASSERT_TRUE (testloop::runUntil ([this] { return ! bus.isHeld (devicePath); }));
    testloop::run (50);
    // No "/offline" over USB.
    EXPECT_EQ (writtenAddresses().back(), "/gain");
}

TEST_F (HubUsb, RequestsTooLongForOneReportAreNotQueued)
{
    plugIn();
    answerInfo (true);
    ASSERT_TRUE (waitForWrites (3));
    const auto before = hub->queuedMessages().size();

    hub->sendAmpName (juce::String::repeatedString ("x", 44));   // a 64-byte message
    EXPECT_EQ (hub->queuedMessages().size(), before);

    hub->sendAmpName (juce::String::repeatedString ("x", 40));   // 60 bytes: fits
    EXPECT_EQ (hub->queuedMessages().size(), before + 1);
    EXPECT_EQ (queuedAddresses().back(), "/ampname");
}

TEST_F (HubUsb, AnUnpluggedAmplifierIsReportedLost)
{
    plugIn();
    answerInfo (true);
    ASSERT_TRUE (waitForWrites (3));

    bus.detach (devicePath);
    for (int i = 0; i < 12 && dialogs.shown.size() < 2; ++i)
    {
        clock.advance (501);
        testloop::run (300);
    }

    ASSERT_EQ (dialogs.shown.size(), 2u);
    EXPECT_EQ (dialogs.shown[1], "USB connection error!|Device will be disconnected|Ok||warning");
    EXPECT_FALSE (hub->isOnline());
}

TEST_F (HubUsb, InfoFromTheNetworkNeverAsksToConnect)
{
    plugIn();
    amp->send (info ("Net Amp", 4));
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") == 1; }));
    EXPECT_EQ (setup.calls[0], "addNetworkDevice 4 Net Amp 127.0.0.2");
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (HubUsb, AskingIsNotRepeatedWhileTheQuestionIsOpen)
{
    plugIn();
    // While the box is up the device answers again.
    dialogs.onAsk = [this]
    {
        dialogs.onAsk = nullptr;
        deliver (info ("Usb Amp", 1), osc::PacketSource::usb);
    };
    answerInfo (true);

    EXPECT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (setup.count ("connectDevice"), 1);
    EXPECT_EQ (setup.count ("updateUsbEntry"), 2);
}

TEST_F (HubUsb, AnAmplifierUnpluggedWhileNotConnectedLeavesTheListAndIsAnnouncedAgainWhenBack)
{
    plugIn();
    answerInfo (false);   // "Cancel": open and listed, not connected
    setup.calls.clear();

    bus.detach (devicePath);
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("usbDeviceRemoved") == 1; }));
    EXPECT_FALSE (hub->usbDevicePresent());
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "usbDeviceRemoved" }));
    EXPECT_EQ (dialogs.shown.size(), 1u);   // nothing was lost

    // Back again: asked for "/info" over USB once more, and the user is asked once more.
    SimulatedHid::Device device;
    device.path = devicePath;
    bus.attach (device);
    ASSERT_TRUE (waitForWrites (2));
    EXPECT_EQ (writtenAddresses(), (std::vector<std::string> { "/info", "/info" }));

    dialogs.answers.push_back (true);
    bus.queuePayload (devicePath, asPayload (info ("Usb Amp", 1)));
    ASSERT_TRUE (testloop::runUntil ([this] { return dialogs.shown.size() == 2; }));
    EXPECT_TRUE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::usb);
}

TEST_F (HubUsb, AnAmplifierUnpluggedWhileConnectedIsReportedLostAtOnce)
{
    plugIn();
    answerInfo (true);
    ASSERT_TRUE (waitForWrites (3));
    setup.calls.clear();

    // No answer window needs to pass: the clock stands still.
    bus.detach (devicePath);
    ASSERT_TRUE (testloop::runUntil ([this] { return dialogs.shown.size() == 2; }));
    EXPECT_EQ (dialogs.shown[1], "USB connection error!|Device will be disconnected|Ok||warning");
    EXPECT_EQ (setup.calls.front(), "usbDeviceRemoved");
    EXPECT_EQ (setup.calls.back(), "forgetActiveDevice");
    EXPECT_FALSE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
}

TEST_F (HubUsb, AnAmplifierUnpluggedWhileTheQuestionIsOpenIsNotConnected)
{
    plugIn();
    dialogs.holdBoxes = true;
    bus.queuePayload (devicePath, asPayload (info ("Usb Amp", 1)));
    ASSERT_TRUE (testloop::runUntil ([this] { return dialogs.open.size() == 1; }));

    bus.detach (devicePath);
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("usbDeviceRemoved") == 1; }));
    ASSERT_TRUE (dialogs.answerOpenBoxWith (true));

    EXPECT_FALSE (hub->isOnline());
    EXPECT_EQ (setup.count ("connectDevice"), 0);
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
}

TEST_F (HubUsb, AConnectionMadeWhileTheErrorBoxIsOpenOutlivesTheBox)
{
    // The network amplifier falls silent and the error box stays open; meanwhile a USB
    // amplifier is announced and the user connects it.  Closing the old box afterwards must
    // not undo the newer connection.
    dialogs.holdBoxes = true;
    connectOverNetwork();
    ASSERT_EQ (addressOf (nextAtAmp()), "/online");
    for (int transmission = 1; transmission <= 4; ++transmission)
    {
        ASSERT_EQ (addressOf (nextAtAmp()), "/gain");
        clock.advance (501);
    }
    ASSERT_TRUE (testloop::runUntil ([this] { return dialogs.open.size() == 1; }));
    EXPECT_FALSE (hub->isOnline());

    plugIn();
    bus.queuePayload (devicePath, asPayload (info ("Usb Amp", 1)));
    ASSERT_TRUE (testloop::runUntil ([this] { return dialogs.open.size() == 2; }));
    ASSERT_TRUE (dialogs.answerOpenBoxWith (true));   // "Connect", on top of the error box
    ASSERT_TRUE (hub->isOnline());
    ASSERT_EQ (hub->getConnectionKind(), osc::ConnectionKind::usb);

    ASSERT_TRUE (dialogs.answerOpenBox());   // the error box's "Ok"
    testloop::run (50);

    EXPECT_TRUE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::usb);
    EXPECT_TRUE (bus.isHeld (devicePath));
    EXPECT_EQ (setup.last(), "connectDevice");
    ASSERT_TRUE (waitForWrites (3));
    EXPECT_EQ (writtenAddresses()[1], "/online");
}
