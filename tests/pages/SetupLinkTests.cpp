// The Setup page with the real hub, talking to zr-ampsim processes over loopback inside the
// test's own network namespace.

#include "HostAddress.h"
#include "SetupPageFixture.h"

#include <algorithm>
#include <oscpack/osc/OscOutboundPacketStream.h>

using namespace setuptest;

namespace
{
    int countOf (const std::vector<std::string>& lines, const std::string& text)
    {
        return (int) std::count_if (lines.begin(), lines.end(),
                                    [&text] (const std::string& line)
                                    { return line.find (text) != std::string::npos; });
    }
}

TEST_F (LinkTest, ConnectingFillsTheSlotRowsFromTheAmplifierAndSlotOneStaysReadOnly)
{
    auto& amp = addAmp (2, "Stage Left", 1);
    ASSERT_EQ (page->getRowCount(), 2);
    EXPECT_EQ (cell (1, "ID") + " " + cell (1, "AMPMODEL") + " " + cell (1, "IPorUSB") + " " + cell (1, "AMPNAME"),
               "1 ZR440 127.0.0.2 Stage Left");

    connectRow (1);
    EXPECT_FALSE (page->isOffline());
    EXPECT_EQ (panelModels().back(), 1);
    EXPECT_EQ (page->getPresetRows().nameOf (1), "INIT_DATA");
    EXPECT_EQ (countOf (amp.received(), "/siggen ,"), 1);   // a ZR model
    EXPECT_EQ (countOf (amp.received(), "/speaker ,"), 1);

    page->selectSlot (1);
    page->storeSlot();
    ASSERT_EQ (dialogs.shown.size(), 2u);
    EXPECT_EQ (dialogs.shown[1], "Save Preset to Amp...|INIT_DATA is read-only!|Ok||warning");
    EXPECT_TRUE (queued().empty());

    page->selectSlot (7);
    widget<EntryField> ("presetNameEditor").setText ("Club");
    root.ampmode->mode->setStep (4);
    page->storeSlot();
    ASSERT_TRUE (waitIdle());
    EXPECT_EQ (page->getPresetRows().nameOf (7) + " " + page->getPresetRows().modeOf (7), "Club BRIDGE");
    EXPECT_EQ (countOf (amp.received(), "/preset/save ,iis 7 4 \"Club\""), 1);

    // Offline the rows are cleared; online again they come from the amplifier.
    page->buttonClicked (&widget<juce::Button> ("connect"));
    EXPECT_EQ (page->getPresetRows().nameOf (7), "");
    EXPECT_FALSE (hub->isOnline());
    page->buttonClicked (&widget<juce::Button> ("connect"));
    ASSERT_TRUE (hub->isOnline());
    ASSERT_TRUE (waitIdle());
    EXPECT_EQ (page->getPresetRows().nameOf (7) + " " + page->getPresetRows().modeOf (7), "Club BRIDGE");
    EXPECT_EQ (page->getPresetRows().modeOf (8), "-MODE-");

    page->rowClicked (1);   // the active row: no question
    EXPECT_EQ (dialogs.shown.size(), 2u);
    EXPECT_TRUE (hub->isOnline());
}

TEST_F (LinkTest, LockCodeOfFourCharactersRoundTripsThroughTheAmplifier)
{
    auto& amp = addAmp (2, "Stage", 5);
    connectRow (1);
    EXPECT_EQ (countOf (amp.received(), "/siggen"), 0);   // a TARVO model
    EXPECT_EQ (countOf (amp.received(), "/speaker"), 0);
    auto& code = widget<EntryField> ("lockCodeEditor");

    code.setText ("ab1");
    page->buttonClicked (&widget<juce::Button> ("lock"));
    EXPECT_TRUE (queued().empty());

    code.setText ("ab12");
    page->buttonClicked (&widget<juce::Button> ("lock"));
    code.clear();
    ASSERT_TRUE (testloop::runUntil ([&] { return widget<juce::Button> ("lock").getToggleState(); }));
    EXPECT_EQ (code.getText(), "ab12");
    const int packed = 'a' + 'b' * 256 + '1' * 65536 + '2' * 16777216;
    EXPECT_EQ (countOf (amp.received(), "/lock ,i " + std::to_string (packed)), 1);

    page->buttonClicked (&widget<juce::Button> ("unlock"));
    ASSERT_TRUE (testloop::runUntil ([&] { return widget<juce::Button> ("unlock").getToggleState(); }));
    EXPECT_EQ (code.getText(), "");
    EXPECT_EQ (countOf (amp.received(), "/lock"), 1);
}

TEST_F (LinkTest, RenameSendsTheNameThenAsksTheDeviceForItsInfo)
{
    auto& amp = addAmp (2, "Old Name");
    addAmp (3, "Other");
    connectRow (1);

    widget<EntryField> ("ampNameEditor").setText ("Rack 3");
    page->entryReturnPressed (widget<EntryField> ("ampNameEditor"));
    ASSERT_TRUE (testloop::runUntil ([this] { return cell (1, "AMPNAME") == "Rack 3"; }));

    const auto lines = amp.received();
    const auto rename = std::find_if (lines.begin(), lines.end(),
                                      [] (const std::string& l)
                                      { return l.find ("/ampname ,s \"Rack 3\"") != std::string::npos; });
    ASSERT_NE (rename, lines.end());
    EXPECT_NE (std::find_if (rename, lines.end(),
                             [] (const std::string& l) { return l.find ("/info ,") != std::string::npos; }),
               lines.end());
    EXPECT_EQ (countOf (amps[1]->received(), "/info"), 1);   // only the search that found it
    EXPECT_EQ (page->getRowCount(), 3);
    EXPECT_EQ (cell (1, "ID"), "1");
    EXPECT_EQ (widget<EntryField> ("ampNameEditor").getText(), "Rack 3");
}

TEST_F (LinkTest, FileLoadedWhileConnectedQueuesEveryBlockOnce)
{
    addAmp (2, "Stage");
    connectRow (1);

    const auto file = folder.getChildFile ("hall.kvt");
    ASSERT_TRUE (
        file.replaceWithText ("Hall\nBEGIN_OSC_DATA\n/ampmode s BIAMP1\n/channel/2/delay fi 1.5 1\nEND_OSC_DATA"));
    dialogs.openAnswer = file;
    ASSERT_TRUE (waitIdle());
    page->loadPresetFile();

    const auto messages = queued();
    ASSERT_EQ (messages.size(), 39u);
    EXPECT_EQ (messages.front(), "/ampmode");
    EXPECT_EQ (messages.back(), "/channel/2/limiter");
    ASSERT_TRUE (waitIdle());
    EXPECT_EQ (root.ampmode->mode->getStep(), 2);   // the amplifier's answers agree
}

TEST_F (LinkTest, LostDeviceLosesItsRowAndLaterRowsTakeTheRowCount)
{
    auto& lost = addAmp (2, "Lost");
    addAmp (3, "Stays");
    connectRow (1);

    lost.stop();
    ASSERT_TRUE (testloop::runUntil ([this] { return page->getRowCount() == 2; }, 8000));
    EXPECT_EQ (dialogs.shown.back(), "Network connection error!|Device will be disconnected|Ok||warning");
    EXPECT_TRUE (page->isOffline());
    EXPECT_EQ (page->getActiveRow(), -1);
    EXPECT_EQ (panelModels().back(), 8);
    EXPECT_EQ (cell (1, "IPorUSB") + " " + cell (1, "ID"), "127.0.0.3 2");

    addAmp (4, "Late");
    EXPECT_EQ (cell (2, "IPorUSB") + " " + cell (2, "ID"), "127.0.0.4 2");
}

TEST_F (LinkTest, SearchFindsEveryAmplifierAndARepeatWaitsForTheFirst)
{
    auto& first = addAmp (2, "One");
    auto& second = addAmp (3, "Two");

    page->buttonClicked (&widget<juce::Button> ("search"));
    page->startSearch();
    testloop::run (200);
    EXPECT_LE (countOf (first.received(), "/info"), 2);   // its own search, then one broadcast

    const auto bothHeard = [&] (int n)
    { return countOf (first.received(), "/info") == n && countOf (second.received(), "/info") == n; };
    ASSERT_TRUE (testloop::runUntil ([&] { return bothHeard (3); }));
    testloop::run (CSetupPage::searchWaitMs);
    EXPECT_TRUE (bothHeard (3));
    EXPECT_EQ (page->getRowCount(), 3);
}

TEST_F (LinkTest, TextThatIsNoAddressGetsAMessageAndNothingIsSent)
{
    auto& amp = addAmp (2, "Stage");
    auto& ip = widget<EntryField> ("ipEditor");

    for (auto text :
         { "\"xxx.xxx.xxx.xxx\"", "300.1.1.1", "127.0.0", "1234", "0.0.0.0", "no such host", "nosuch.invalid" })
    {
        dialogs.shown.clear();
        ip.setText (text);
        page->buttonClicked (&widget<juce::Button> ("addFixedIp"));
        ASSERT_EQ (dialogs.shown.size(), 1u) << text;
        EXPECT_EQ (dialogs.shown[0], "Not an IP address|Please enter an address like 192.168.1.20.|Ok||warning");
        EXPECT_EQ (std::optional<std::uint32_t> (hub->getQueryTarget()), hostaddress::parseDotted (amp.address));
    }

    pagetest::typeAndReturn (ip, " 127.0.0.2 ");
    EXPECT_TRUE (testloop::runUntil ([&] { return countOf (amp.received(), "/info") == 2; }));
    EXPECT_EQ (ip.getHighlightedText(), " 127.0.0.2 ");
}

TEST_F (LinkTest, UsbRowConnectsOverUsbAndIsResetWhenLeft)
{
    page->rowClicked (0);   // no USB device yet: nothing is asked
    EXPECT_TRUE (dialogs.shown.empty());

    bus.attach ({ "usb-1" });
    ASSERT_TRUE (testloop::runUntil ([this] { return hub->usbDevicePresent(); }));
    char buffer[64];
    osc::OutboundPacketStream info (buffer, sizeof buffer);
    info << osc::BeginMessage ("/info") << "Desk"
         << "V1.4" << (osc::int32) 2 << osc::EndMessage;
    bus.queuePayload ("usb-1", std::string (info.Data(), info.Size()));
    ASSERT_TRUE (testloop::runUntil ([this] { return cell (0, "AMPNAME") == "Desk"; }));
    EXPECT_EQ (dialogs.shown.back(),
               "ZR series connected|Connect to device and lose current settings?|Connect|Cancel|question");
    EXPECT_EQ (cell (0, "AMPMODEL"), "ZR220Z");

    dialogs.answers = { true };
    page->rowClicked (0);
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::usb);
    EXPECT_TRUE (hub->isOnline());
    EXPECT_EQ (page->getDeviceAddress(), "USB device");
    EXPECT_EQ (panelModels().back(), 2);

    page->disconnectDevice();
    EXPECT_EQ (cell (0, "AMPMODEL") + cell (0, "AMPNAME"), "--");
    EXPECT_EQ (page->getActiveRow(), -1);
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
}
