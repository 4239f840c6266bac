// The phone remote inside the program: a phone's command takes the road of a desktop edit
// (the panel's faders and buttons, the Parametric EQ tab's controls, the Setup page's
// recall), with nothing sent that the desktop would not send; and the phones are told what
// the desktop shows.

#include "PanelFixture.h"

#include "CPeqPage.h"
#include "CSetupPage.h"
#include "Cpeq.h"
#include "FilterResponse.h"
#include "PhoneClient.h"
#include "RemoteBridge.h"
#include "QrCodeView.h"
#include "RemoteWindowContent.h"

#include <regex>

namespace
{
    using remote::Command;
    using remote::CommandKind;

    /** One queued message, read: its address and arguments in order. */
    struct Queued
    {
        std::string address;
        std::vector<float> floats;
        std::vector<int> ints;
        std::vector<std::string> texts;
    };

    std::vector<Queued> queued()
    {
        std::vector<Queued> list;
        for (const auto& m : globals::hub->queuedMessages())
        {
            const osc::ReceivedPacket packet (static_cast<const char*> (m.getData()),
                                              (osc::osc_bundle_element_size_t) m.getSize());
            const osc::ReceivedMessage message (packet);
            Queued q { message.AddressPattern(), {}, {}, {} };
            for (auto a = message.ArgumentsBegin(); a != message.ArgumentsEnd(); ++a)
            {
                if (a->IsFloat())
                    q.floats.push_back (a->AsFloat());
                else if (a->IsInt32())
                    q.ints.push_back (a->AsInt32());
                else if (a->IsString())
                    q.texts.push_back (a->AsString());
            }
            list.push_back (q);
        }
        return list;
    }

    /** The queued messages to `address` that carry arguments (the online queries do not). */
    std::vector<Queued> queuedTo (const std::string& address)
    {
        std::vector<Queued> found;
        for (auto& q : queued())
            if (q.address == address && (! q.floats.empty() || ! q.ints.empty() || ! q.texts.empty()))
                found.push_back (q);
        return found;
    }

    Command gain (int channel, double db)
    {
        Command c;
        c.kind = CommandKind::gain;
        c.channel = channel;
        c.value = db;
        return c;
    }

    Command toggle (CommandKind kind, int channel, bool on)
    {
        Command c;
        c.kind = kind;
        c.channel = channel;
        c.on = on;
        return c;
    }

    Command band (int channel, int number, remote::BandChange change)
    {
        Command c;
        c.kind = CommandKind::band;
        c.channel = channel;
        c.band = number;
        c.change = change;
        return c;
    }

    class RemoteBridgeTest : public paneltest::PanelTest
    {
    protected:
        CPeqPage& peqPage() { return *dynamic_cast<CPeqPage*> (tabs().getTabContentComponent (2)); }
        CSetupPage& setupPage() { return *dynamic_cast<CSetupPage*> (tabs().getTabContentComponent (4)); }
        RemoteBridge& bridge() { return panel->getRemote(); }
        Cpeq& bandBlock (int channel, int number) { return peqPage().tab (channel).column (number - 1).block; }

        /** "Stage Left", a ZR440 on the network, connected through the Setup page. */
        void connectAmplifier()
        {
            auto& setup = setupPage();
            setup.addNetworkDevice (1, "Stage Left", "127.0.0.2");
            setup.selectDevice (setup.getRowCount() - 1);
            setup.connectDevice();
            ASSERT_FALSE (setup.isOffline());
            ASSERT_EQ (panel->getModelIndex(), 1);
        }
    };

    /** Frames from `phone` until one satisfies `wanted`, running the message loop between
        reads (the bridge works on this thread). */
    template <typename Wanted>
    std::optional<std::string> frameWhere (PhoneClient& phone, Wanted wanted, int timeoutMs = 3000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (juce::Time::getMillisecondCounter() < end)
        {
            testloop::run (2);
            if (auto frame = phone.readFrame (2); frame && frame->opcode == 1 && wanted (frame->payload))
                return frame->payload;
        }
        return std::nullopt;
    }

    bool joinWhileRunning (PhoneClient& phone, const std::string& token)
    {
        if (phone.upgrade() != 101 || ! phone.sendText (PhoneClient::helloFor (token)))
            return false;
        return frameWhere (phone,
                           [] (const std::string& f) { return f.find (R"("t":"welcome")") != std::string::npos; })
            .has_value();
    }

    std::string tokenOf (const std::string& url)
    {
        return url.substr (url.find ("#k=") + 3);
    }

    std::string textOfFrequency (Cpeq& band)
    {
        char text[32] = {};
        band.freq->toText (text, (int) sizeof text);
        return juce::String (text).trim().toStdString();
    }
}

//==============================================================================
TEST_F (RemoteBridgeTest, GainsMutesAndLinkGoThroughThePanelsControls)
{
    holdSendsInQueue();
    panel->setDeviceLabel (1);   // ZR440: the gain controls exist

    bridge().apply (gain (0, -20.0));
    settle();
    EXPECT_EQ (gainA().getValue(), -20.0);
    auto sent = queuedGains();
    ASSERT_TRUE (sent);
    EXPECT_EQ (sent->a, -20.0f);

    bridge().apply (gain (0, -70.0));   // below the fader's floor
    settle();
    EXPECT_EQ (gainA().getValue(), -60.0);
    EXPECT_EQ (queuedGains()->a, -60.0f);

    bridge().apply (gain (1, -12.3));   // between the fader's 0.5 dB steps
    settle();
    EXPECT_EQ (gainB().getValue(), -12.5);
    EXPECT_EQ (queuedGains()->b, -12.5f);

    bridge().apply (toggle (CommandKind::mute, 1, true));
    EXPECT_TRUE (muteB().getToggleState());
    EXPECT_EQ (queuedGains()->muteB, 1);

    // Linked, gain A moves B by the offset, as a drag on the desktop does.
    bridge().apply (toggle (CommandKind::link, 0, true));
    EXPECT_TRUE (link().getToggleState());
    EXPECT_EQ (panel->getLinkOffset(), -60.0 - -12.5);
    bridge().apply (gain (0, -50.0));
    settle();
    EXPECT_EQ (gainA().getValue(), -50.0);
    EXPECT_EQ (gainB().getValue(), -2.5);
    EXPECT_EQ (queuedGains()->b, -2.5f);
    EXPECT_EQ (queuedTo ("/gain").size(), 1u) << "merged in the queue as the desktop's are";
}

TEST_F (RemoteBridgeTest, WithoutTheGainControlsAPhoneChangesNoGain)
{
    holdSendsInQueue();
    for (int model : { 5, 8 })   // a TARVO-2, no amplifier: the panel shows no gain controls
    {
        panel->setDeviceLabel (model);
        bridge().apply (gain (0, -6.0));
        bridge().apply (toggle (CommandKind::mute, 0, true));
        bridge().apply (toggle (CommandKind::link, 0, true));
        settle();
        EXPECT_EQ (gainA().getValue(), -60.0);
        EXPECT_FALSE (muteA().getToggleState());
        EXPECT_FALSE (link().getToggleState());
        EXPECT_FALSE (queuedGains()) << "model " << model;
    }
}

TEST_F (RemoteBridgeTest, ABandEditIsClampedByTheModelAndSentAsTheBand)
{
    holdSendsInQueue();
    auto& tab = peqPage().tab (0);

    remote::BandChange change;
    change.type = 2;   // "LS6" in the list; the band is off, so nothing is sent for it yet
    bridge().apply (band (0, 3, change));
    EXPECT_EQ (tab.column (2).selectedType(), 2);
    EXPECT_TRUE (queuedTo ("/channel/1/peq/3").empty());

    change = {};
    change.on = true;
    change.gain = 99.0;        // beyond +15 dB
    change.freqStep = 10000;   // beyond 20 kHz
    change.qualStep = -5;      // below the lowest quality
    bridge().apply (band (0, 3, change));

    auto& block = bandBlock (0, 3);
    EXPECT_EQ (block.type->getStep(), 2);
    EXPECT_EQ (block.gain->getValue(), 15.0f);
    EXPECT_EQ (block.freq->getStep(), 600);
    EXPECT_EQ (block.qual->getStep(), 0);
    const auto sent = queuedTo ("/channel/1/peq/3");
    ASSERT_EQ (sent.size(), 1u);
    EXPECT_EQ (sent[0].texts, (std::vector<std::string> { "LS6" }));
    EXPECT_EQ (sent[0].floats[1], 15.0f);
    EXPECT_NEAR (sent[0].floats[0], 20000.0f, 1.0f);

    // The desktop shows it: the knob, the handle above the new frequency, the selection.
    EXPECT_EQ (tab.column (2).gainKnob.getValue(), 15.0);
    EXPECT_EQ (peqPage().getGraph().handleFreq[2], block.freq->getValue());
    EXPECT_EQ (globals::selectedHandle, 2);
    EXPECT_NE (tab.selectionBounds().getWidth(), 0);

    // Type outside the list and numbers that are not finite change nothing.
    change = {};
    change.type = 9;
    change.gain = std::numeric_limits<double>::quiet_NaN();
    bridge().apply (band (0, 3, change));
    EXPECT_EQ (block.type->getStep(), 2);
    EXPECT_EQ (block.gain->getValue(), 15.0f);
    EXPECT_TRUE (queuedTo ("/channel/2/peq/3").empty());
}

TEST_F (RemoteBridgeTest, WhileChannelBFollowsAOnlyAIsSentAndBTakesItsValues)
{
    holdSendsInQueue();
    panel->ampModeApplied (1);   // Stereo
    ASSERT_TRUE (peqPage().tab (0).isFollowingA());

    remote::BandChange change;
    change.gain = 4.5;
    bridge().apply (band (0, 2, change));
    EXPECT_EQ (bandBlock (1, 2).gain->getValue(), 4.5f);
    EXPECT_EQ (queuedTo ("/channel/1/peq/2").size(), 1u);
    EXPECT_TRUE (queuedTo ("/channel/2/peq/2").empty());

    // Channel B has no controls of its own now: its edits are refused.
    change.gain = -9.0;
    bridge().apply (band (1, 2, change));
    bridge().apply (toggle (CommandKind::bypass, 1, true));
    EXPECT_EQ (bandBlock (1, 2).gain->getValue(), 4.5f);
    EXPECT_FALSE (peqPage().tab (1).isBypassed());
    EXPECT_TRUE (queuedTo ("/channel/2/peq/2").empty());
}

TEST_F (RemoteBridgeTest, BypassSwitchesTheBandsOffAsTheDesktopsButtonDoes)
{
    holdSendsInQueue();
    for (int b = 1; b <= 8; ++b)   // the controls show the tree, as after its first change messages
        peqPage().tab (0).changeListenerCallback (&bandBlock (0, b));
    remote::BandChange on, off;
    on.on = true;
    off.on = false;
    for (int b = 1; b <= 8; ++b)
        bridge().apply (band (0, b, off));

    bridge().apply (band (0, 1, on));
    bridge().apply (band (0, 4, on));
    const int typeOf1 = peqPage().tab (0).column (0).selectedType();   // the type its list shows
    ASSERT_EQ (bandBlock (0, 1).type->getStep(), typeOf1);
    ASSERT_EQ (bandBlock (0, 4).type->getStep(), 1);

    bridge().apply (toggle (CommandKind::bypass, 0, true));
    EXPECT_TRUE (peqPage().tab (0).isBypassed());
    EXPECT_EQ (bandBlock (0, 1).type->getStep(), 0);
    EXPECT_EQ (bandBlock (0, 4).type->getStep(), 0);

    // While bypassed a band cannot be switched on; off again, the same bands come back.
    bridge().apply (band (0, 6, on));
    EXPECT_EQ (bandBlock (0, 6).type->getStep(), 0);
    bridge().apply (toggle (CommandKind::bypass, 0, false));
    EXPECT_EQ (bandBlock (0, 1).type->getStep(), typeOf1);
    EXPECT_EQ (bandBlock (0, 4).type->getStep(), 1);
    EXPECT_EQ (bandBlock (0, 6).type->getStep(), 0);
}

TEST_F (RemoteBridgeTest, RecallGoesThroughTheSetupPageAndOnlyWhileConnected)
{
    Command recall;
    recall.kind = CommandKind::recall;
    recall.slot = 5;
    bridge().apply (recall);
    EXPECT_EQ (setupPage().getSelectedSlot(), 0) << "offline: nothing happens";

    connectAmplifier();
    setupPage().setSlot (5, 1, "Club A");
    bridge().apply (recall);
    EXPECT_EQ (setupPage().getSelectedSlot(), 5);
    const auto sent = queuedTo ("/preset/load");
    ASSERT_EQ (sent.size(), 1u);
    EXPECT_EQ (sent[0].ints, (std::vector<int> { 5, 0 }));
    EXPECT_EQ (sent[0].texts, (std::vector<std::string> { "Club A" }));
}

//==============================================================================
namespace
{
    Command historyCommand (CommandKind kind, bool modeAgreed = false)
    {
        Command c;
        c.kind = kind;
        c.modeAgreed = modeAgreed;
        return c;
    }

    /** Every queued message, as bytes: what would go to the amplifier. */
    std::vector<juce::MemoryBlock> queueNow()
    {
        return globals::hub->queuedMessages();
    }
}

TEST_F (RemoteBridgeTest, APhonesUndoAndRedoTakeTheDesktopsStepsThroughTheHistory)
{
    holdSendsInQueue();
    panel->setDeviceLabel (1);
    auto& history = panel->getHistoryControls()->getHistory();

    // Nothing to take back: nothing happens and nothing is sent.
    const auto before = queueNow();
    bridge().apply (historyCommand (CommandKind::undo));
    bridge().apply (historyCommand (CommandKind::redo));
    settle();
    EXPECT_EQ (queueNow(), before);
    auto state = bridge().readHistory();
    EXPECT_FALSE (state.canUndo);
    EXPECT_FALSE (state.canRedo);
    EXPECT_EQ (state.undoTip, "Undo");

    // A desktop edit, as the fader is dragged: the phone sees it named as the tooltip names it.
    gainA().setValue (-20.0, juce::sendNotificationSync);
    history.endStep();
    state = bridge().readHistory();
    EXPECT_TRUE (state.canUndo);
    EXPECT_EQ (state.undoTip, "Undo: Input gain A");

    bridge().apply (historyCommand (CommandKind::undo));
    EXPECT_EQ (gainA().getValue(), -60.0);
    ASSERT_TRUE (queuedGains());
    EXPECT_EQ (queuedGains()->a, -60.0f) << "the old value goes to the amplifier";
    state = bridge().readHistory();
    EXPECT_FALSE (state.canUndo);
    EXPECT_TRUE (state.canRedo);
    EXPECT_EQ (state.redoTip, "Redo: Input gain A");

    bridge().apply (historyCommand (CommandKind::redo));
    EXPECT_EQ (gainA().getValue(), -20.0);
    EXPECT_EQ (queuedGains()->a, -20.0f);
}

TEST_F (RemoteBridgeTest, AStepThatChangesTheModeIsTakenOnlyWhenThePhoneAgreed)
{
    holdSendsInQueue();
    auto& mode = *model.root.ampmode->mode;
    auto& config = *tabs().getTabContentComponent (0);
    auto* stereo = dynamic_cast<juce::Button*> (config.findChildWithID ("mode1"));
    ASSERT_NE (stereo, nullptr);
    dialogs.answers = { true };
    stereo->triggerClick();
    settle();
    ASSERT_EQ (mode.getStep(), 1);
    panel->getHistoryControls()->getHistory().endStep();
    EXPECT_TRUE (bridge().readHistory().undoChangesMode);

    // No question pops up on the desktop for a phone, and the step waits.
    const auto asked = dialogs.shown.size();
    bridge().apply (historyCommand (CommandKind::undo));
    settle();
    EXPECT_EQ (mode.getStep(), 1);
    EXPECT_EQ (dialogs.shown.size(), asked);

    bridge().apply (historyCommand (CommandKind::undo, true));
    settle();
    EXPECT_EQ (mode.getStep(), 0);
    EXPECT_EQ (dialogs.shown.size(), asked);
    EXPECT_TRUE (bridge().readHistory().redoChangesMode);
}

TEST_F (RemoteBridgeTest, APhoneSwitchesAndCopiesTheMemoriesAsTheDesktopsButtonsDo)
{
    holdSendsInQueue();
    panel->setDeviceLabel (1);
    gainA().setValue (-24.0, juce::sendNotificationSync);
    panel->getHistoryControls()->getHistory().endStep();
    auto state = bridge().readHistory();
    EXPECT_EQ (state.memory, 'A');
    EXPECT_TRUE (state.canCompare);
    EXPECT_EQ (state.compareTip, "Memory A in use: switch to B");
    EXPECT_EQ (state.copyTip, "Copy A onto B");

    bridge().apply (historyCommand (CommandKind::compare));
    EXPECT_EQ (gainA().getValue(), -60.0);   // B: what was there before the edit
    EXPECT_EQ (queuedGains()->a, -60.0f);
    state = bridge().readHistory();
    EXPECT_EQ (state.memory, 'B');
    EXPECT_EQ (state.copyTip, "Copy B onto A");

    // B copied onto A: switching back now changes nothing.
    bridge().apply (historyCommand (CommandKind::copy));
    bridge().apply (historyCommand (CommandKind::compare));
    EXPECT_EQ (bridge().readHistory().memory, 'A');
    EXPECT_EQ (gainA().getValue(), -60.0);
}

//==============================================================================
TEST_F (RemoteBridgeTest, TheStateIsWhatTheDesktopShows)
{
    ScopedGlobal<PeqFilterTable> flat { globals::peqFilterTable, flatPeqFilterTable() };
    auto device = bridge().readDevice();
    EXPECT_FALSE (device.connected);
    EXPECT_EQ (device.model, "-");

    connectAmplifier();
    device = bridge().readDevice();
    EXPECT_TRUE (device.connected);
    EXPECT_EQ (device.name, "Stage Left");
    EXPECT_EQ (device.model, "ZR440");
    EXPECT_TRUE (device.zrFamily);
    EXPECT_TRUE (bridge().readPanel().shown);

    panel->setMeters (1.0f, 0.5f, 0.0f, 0.25f);
    panel->setClipLeds (true, false, false, true);
    const auto meters = bridge().readMeters();
    EXPECT_EQ (meters.inputDb, (std::array<double, 2> { 1.0, -4.0 }));
    EXPECT_EQ (meters.outputDb, (std::array<double, 2> { -60.0, -10.0 }));
    EXPECT_EQ (meters.inputClip, (std::array<bool, 2> { true, false }));
    EXPECT_EQ (meters.outputLimit, (std::array<bool, 2> { false, true }));

    // A desktop edit: the band's gain knob turned, as the mouse turns it.
    auto& column = peqPage().tab (1).column (4);
    column.filterButton.setToggleState (true, juce::sendNotificationSync);
    column.gainKnob.setValue (-6.0, juce::sendNotificationSync);
    const auto peqB = bridge().readPeq (1);
    EXPECT_TRUE (peqB.shown);
    EXPECT_EQ (peqB.name, "Channel B");
    EXPECT_TRUE (peqB.bands[4].on);
    EXPECT_EQ (peqB.bands[4].gainDb, -6.0);
    EXPECT_EQ (peqB.bands[4].freqText, textOfFrequency (bandBlock (1, 5)));

    // The curve is the desktop graph's, column by column, in dB.
    auto& graph = peqPage().getGraph();
    ASSERT_EQ ((int) peqB.curveDb.size(), graph.getWidth());
    for (int x : { 0, 100, graph.getWidth() / 2, graph.getWidth() - 1 })
        EXPECT_FLOAT_EQ (peqB.curveDb[(size_t) x], 0.5f * peqChannelResponse (1, graph.frequencyAtColumn (x)));
    const auto lowest = *std::min_element (peqB.curveDb.begin(), peqB.curveDb.end());
    EXPECT_NEAR (lowest, -6.0f, 0.5f) << "the cut shows at its depth";

    setupPage().setSlot (20, 4, "Club A");
    const auto slots = bridge().readSlots();
    ASSERT_EQ (slots.size(), 20u);
    EXPECT_EQ (slots[19].name, "Club A");
    EXPECT_EQ (slots[19].mode, "BRIDGE");

    panel->ampModeApplied (1);
    EXPECT_EQ (bridge().readPeq (0).name, "Channel A+B");
    EXPECT_FALSE (bridge().readPeq (1).shown);
}

//==============================================================================
TEST_F (RemoteBridgeTest, APhoneOverTheNetworkSeesAndChangesTheDesktop)
{
    REQUIRE_PRIVATE_NETWORK();
    holdSendsInQueue();
    testing::internal::CaptureStdout();
    ASSERT_TRUE (bridge().start (0)) << bridge().lastProblem();
    const auto printed = testing::internal::GetCapturedStdout();
    const auto port = bridge().getPort();
    ASSERT_FALSE (bridge().getUrls().empty());
    const std::regex line ("Remote control: http://[0-9.]+:" + std::to_string (port) + "/#k=[0-9a-f]{32}\n");
    EXPECT_TRUE (std::regex_search (printed, line)) << printed;
    const auto token = tokenOf (bridge().getUrls()[0]);

    PhoneClient phone (port);
    ASSERT_TRUE (joinWhileRunning (phone, token));
    EXPECT_TRUE (frameWhere (phone, [] (const std::string& f) { return f.find (R"("t":"peq","ch":0)") == 1; }));

    // The phone turns band 3's gain: the band goes to the hub, the desktop knob follows.
    phone.sendText (R"({"t":"band","ch":0,"b":3,"on":true,"gain":4.5})");
    ASSERT_TRUE (testloop::runUntil ([&] { return ! queuedTo ("/channel/1/peq/3").empty(); }));
    EXPECT_EQ (queuedTo ("/channel/1/peq/3").back().floats[1], 4.5f);
    EXPECT_EQ (peqPage().tab (0).column (2).gainKnob.getValue(), 4.5);

    // A desktop edit reaches the phone (how soon: bench_remote).
    peqPage().tab (0).column (6).gainKnob.setValue (-3.0, juce::sendNotificationSync);
    EXPECT_TRUE (
        frameWhere (phone, [] (const std::string& f)
                    { return f.find (R"("t":"peq","ch":0)") == 1 && f.find (R"("gain":-3,)") != std::string::npos; }));

    // Meters keep coming while a phone is connected.
    int meterFrames = 0;
    frameWhere (
        phone,
        [&] (const std::string& f)
        {
            meterFrames += f.find (R"("t":"meters")") == 1 ? 1 : 0;
            return false;
        },
        500);
    EXPECT_GE (meterFrames, 10);

    // Another code: the phone is sent away, and the new address is printed.
    testing::internal::CaptureStdout();
    bridge().newCode();
    EXPECT_NE (testing::internal::GetCapturedStdout().find (tokenOf (bridge().getUrls()[0])), std::string::npos);
    EXPECT_NE (tokenOf (bridge().getUrls()[0]), token);
    EXPECT_TRUE (frameWhere (phone, [] (const std::string& f) { return f == R"({"t":"bye","why":"new code"})"; }));

    PhoneClient stranger (port);
    EXPECT_FALSE (joinWhileRunning (stranger, token));
}

TEST_F (RemoteBridgeTest, TheWindowSwitchesShowsTheAddressAndMakesNewCodes)
{
    REQUIRE_PRIVATE_NETWORK();
    RemoteWindowContent content (bridge());
    EXPECT_FALSE (content.onOffSwitch().getToggleState());
    EXPECT_EQ (content.phonesText(), "The remote is off.");
    EXPECT_EQ (content.qrCode().moduleCount(), 0);

    testing::internal::CaptureStdout();
    bridge().start (0);
    testing::internal::GetCapturedStdout();
    settle();
    EXPECT_TRUE (content.onOffSwitch().getToggleState());
    ASSERT_EQ (content.addressList().getNumItems(), (int) bridge().getUrls().size());
    EXPECT_EQ (content.qrCode().getText(), juce::String (bridge().getUrls()[0]));
    EXPECT_GT (content.qrCode().moduleCount(), 20);
    EXPECT_EQ (content.phonesText(), "Phones connected: 0");

    const auto before = content.qrCode().getText();
    testing::internal::CaptureStdout();
    content.newCodeButton().triggerClick();
    settle();
    testing::internal::GetCapturedStdout();
    EXPECT_NE (content.qrCode().getText(), before);
    EXPECT_EQ (content.qrCode().getText(), juce::String (bridge().getUrls()[0]));

    content.onOffSwitch().setToggleState (false, juce::sendNotificationSync);   // as clicked
    settle();
    EXPECT_FALSE (bridge().isOn());
    EXPECT_EQ (content.qrCode().moduleCount(), 0);
    EXPECT_EQ (content.phonesText(), "The remote is off.");
}

TEST (QrCodeView, AReaderReadsTheAddressBack)
{
    const auto reader = juce::File ("/usr/bin/zbarimg");
    if (! reader.existsAsFile())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";

    const juce::String url = "http://192.0.2.1:8080/#k=0123456789abcdef0123456789abcdef";
    QrCodeView view;
    view.setText (url);
    view.setBounds (0, 0, 250, 250);
    juce::Image picture (juce::Image::RGB, 250, 250, true);
    {
        juce::Graphics g (picture);
        g.fillAll (juce::Colours::black);   // the window's background around the white
        view.paintEntireComponent (g, false);
    }
    const auto file = juce::File::createTempFile (".png");
    {
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (picture, out));
    }
    juce::ChildProcess zbar;
    ASSERT_TRUE (zbar.start (juce::StringArray { reader.getFullPathName(), "--raw", "-q", file.getFullPathName() },
                             juce::ChildProcess::wantStdOut));
    const auto read = zbar.readAllProcessOutput().trim();
    file.deleteFile();
    EXPECT_EQ (read, url);
}
