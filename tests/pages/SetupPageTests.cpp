// The Setup page on its own (no hub): layout, the device list, the connection question,
// the slot rows and the lock state display.

#include "SetupPageFixture.h"
#include "LockCode.h"
#include "TestDisplay.h"

using namespace setuptest;

namespace
{
    juce::String attributeOrder (const juce::XmlElement& row)
    {
        juce::StringArray names;
        for (int i = 0; i < row.getNumAttributes(); ++i)
            names.add (row.getAttributeName (i));
        return names.joinIntoString (",");
    }
}

TEST_F (PageTest, WidgetsAndSlotRowsSitAtTheirPlaces)
{
    EXPECT_EQ (page->getBounds(), juce::Rectangle<int> (0, 0, 720, 470));
    EXPECT_EQ (widget<juce::Component> ("deviceTable").getBounds(), juce::Rectangle<int> (15, 75, 290, 280));
    EXPECT_EQ (widget<juce::Component> ("lock").getBounds(), juce::Rectangle<int> (240, 430, 56, 24));
    EXPECT_EQ (widget<juce::Component> ("presetNameEditor").getBounds(), juce::Rectangle<int> (412, 126, 96, 24));
    EXPECT_EQ (widget<EntryField> ("ipEditor").getText(), "\"xxx.xxx.xxx.xxx\"");

    auto& header = widget<juce::TableListBox> ("deviceTable").getHeader();
    ASSERT_EQ (header.getNumColumns (false), 4);
    EXPECT_EQ (header.getColumnName (2), "Amp Model");
    EXPECT_EQ (header.getColumnWidth (4), 90);

    // Toggle, name field and mode label of slots 1, 6, 10, 11 and 20.
    const struct
    {
        int slot;
        juce::Rectangle<int> toggle, name, mode;
    } rows[] = {
        { 1, { 324, 202, 144, 20 }, { 364, 202, 100, 20 }, { 464, 202, 52, 20 } },
        { 6, { 323, 322, 145, 20 }, { 364, 322, 100, 20 }, { 464, 322, 52, 20 } },
        { 10, { 323, 418, 145, 20 }, { 364, 418, 100, 20 }, { 464, 418, 52, 20 } },
        { 11, { 516, 202, 144, 20 }, { 556, 202, 100, 20 }, { 656, 202, 52, 20 } },
        { 20, { 516, 418, 144, 20 }, { 556, 418, 100, 20 }, { 656, 418, 52, 20 } },
    };
    for (const auto& r : rows)
    {
        const juce::String n (r.slot);
        EXPECT_EQ (widget<juce::ToggleButton> (("slotToggle" + n).toRawUTF8()).getBounds(), r.toggle) << r.slot;
        EXPECT_EQ (widget<EntryField> (("slotName" + n).toRawUTF8()).getBounds(), r.name) << r.slot;
        EXPECT_EQ (widget<juce::Label> (("slotMode" + n).toRawUTF8()).getBounds(), r.mode) << r.slot;
    }
}

TEST_F (PageTest, DeviceRowsAreAddedOnceAndRefreshedInPlace)
{
    const auto& list = page->getDeviceList();
    EXPECT_EQ (list.getTagName(), "DEVICELIST");
    EXPECT_EQ (list.getChildElement (0)->getTagName(), "USBdevice");
    EXPECT_EQ (attributeOrder (*list.getChildElement (0)), "ID,AMPMODEL,IPorUSB,AMPNAME");
    EXPECT_EQ (cell (0, "AMPMODEL") + cell (0, "IPorUSB") + cell (0, "AMPNAME"), "-USB device-");

    page->addNetworkDevice (1, "Left", "192.0.2.7");
    page->addNetworkDevice (4, "Right", "192.0.2.9");
    page->addNetworkDevice (6, "Left renamed", "192.0.2.7");

    ASSERT_EQ (page->getRowCount(), 3);
    EXPECT_EQ (list.getChildElement (1)->getTagName(), "DEVICE");
    EXPECT_EQ (cell (1, "ID") + " " + cell (1, "AMPMODEL") + " " + cell (1, "AMPNAME"), "1 TARVO-4 Left renamed");
    EXPECT_EQ (attributeOrder (*list.getChildElement (1)), "ID,AMPMODEL,IPorUSB,AMPNAME");
    EXPECT_EQ (cell (2, "ID") + " " + cell (2, "IPorUSB"), "2 192.0.2.9");

    page->updateUsbEntry (3, "Front");
    EXPECT_EQ (cell (0, "ID") + " " + cell (0, "AMPMODEL") + " " + cell (0, "AMPNAME"), "0 ZR440Z Front");
    EXPECT_EQ (page->getRowCount(), 3);
}

TEST_F (PageTest, LostNetworkRowGoesAndLaterRowsTakeTheRowCountAsId)
{
    for (auto address : { "192.0.2.1", "192.0.2.2", "192.0.2.3" })
        page->addNetworkDevice (0, "amp", address);

    page->selectDevice (1);
    EXPECT_EQ (page->getDeviceAddress(), "192.0.2.1");
    EXPECT_EQ (panelModels(), std::vector<int> { 0 });

    page->forgetActiveDevice();
    EXPECT_EQ (page->getActiveRow(), -1);
    EXPECT_EQ (panelModels().back(), 8);
    ASSERT_EQ (page->getRowCount(), 3);
    EXPECT_EQ (cell (1, "IPorUSB") + "=" + cell (1, "ID"), "192.0.2.2=2");

    page->addNetworkDevice (0, "late", "192.0.2.4");
    EXPECT_EQ (cell (3, "ID"), "3");   // the same "ID" as 192.0.2.3's
    EXPECT_EQ (cell (2, "ID"), "3");
}

TEST_F (PageTest, UnpluggedUsbAmplifierEmptiesTheUsbRowUnlessItIsTheConnection)
{
    page->updateUsbEntry (2, "Desk");
    page->usbDeviceRemoved();
    EXPECT_EQ (cell (0, "AMPMODEL") + cell (0, "IPorUSB") + cell (0, "AMPNAME"), "-USB device-");

    page->updateUsbEntry (2, "Desk");
    page->selectDevice (0);
    page->connectDevice();
    ASSERT_FALSE (page->isOffline());
    page->usbDeviceRemoved();   // the hub ends a connection in use itself
    EXPECT_EQ (cell (0, "AMPNAME"), "Desk");
    EXPECT_EQ (page->getActiveRow(), 0);

    // Chosen but not connected: the choice goes with the device.
    page->disconnectDevice();
    page->usbDeviceRemoved();
    EXPECT_EQ (cell (0, "AMPNAME"), "-");
    EXPECT_EQ (page->getActiveRow(), -1);
    EXPECT_EQ (panelModels().back(), 8);
}

TEST_F (PageTest, ConnectionQuestionOnlyForAnotherReachableRow)
{
    page->addNetworkDevice (1, "Stage", "192.0.2.5");

    page->rowClicked (0);   // the USB row while no USB device is there
    EXPECT_TRUE (dialogs.shown.empty());

    page->buttonClicked (&widget<juce::Button> ("connect"));   // no device chosen yet
    EXPECT_TRUE (page->isOffline());

    dialogs.answers = { false };
    page->rowClicked (1);
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0],
               "Select active Device|Connect to device and lose current settings?|Connect|Cancel|question");
    EXPECT_EQ (page->getActiveRow(), -1);

    dialogs.answers = { true };
    page->rowClicked (1);
    EXPECT_FALSE (page->isOffline());
    EXPECT_EQ (page->getActiveRow(), 1);
    EXPECT_TRUE (widget<juce::Button> ("connect").getToggleState());
    EXPECT_EQ (widget<EntryField> ("ampNameEditor").getText(), "Stage");
    EXPECT_EQ (panelModels().back(), 1);

    page->rowClicked (1);   // the active row
    EXPECT_EQ (dialogs.shown.size(), 2u);
    EXPECT_FALSE (page->isOffline());

    page->addNetworkDevice (4, "Hall", "192.0.2.6");
    dialogs.answers = { false };
    page->rowClicked (2);   // "Cancel" keeps the connection
    EXPECT_EQ (dialogs.shown.size(), 3u);
    EXPECT_FALSE (page->isOffline());
    EXPECT_EQ (page->getActiveRow(), 1);
    EXPECT_EQ (widget<juce::TableListBox> ("deviceTable").getSelectedRow(), 1);

    page->buttonClicked (&widget<juce::Button> ("connect"));
    EXPECT_TRUE (page->isOffline());
    EXPECT_FALSE (widget<juce::Button> ("connect").getToggleState());
    EXPECT_EQ (panelModels().back(), 8);
}

TEST_F (PageTest, SlotRowsShowNamesAndModesAndSelectOneAtATime)
{
    page->setSlot (11, 4, "Hall");
    EXPECT_EQ (widget<EntryField> ("slotName11").getText(), "Hall");
    EXPECT_EQ (widget<juce::Label> ("slotMode11").getText(), "BRIDGE");

    page->setSlot (3, 7, "Odd");
    EXPECT_EQ (page->getPresetRows().modeOf (3), "-MODE-");

    page->setSlot (21, 1, "Nowhere");
    page->setSlot (0, 1, "Nowhere");
    for (int slot = 1; slot <= 20; ++slot)
        EXPECT_NE (page->getPresetRows().nameOf (slot), "Nowhere");

    page->buttonClicked (&widget<juce::Button> ("slotToggle3"));
    page->selectSlot (12);
    EXPECT_EQ (page->getSelectedSlot(), 12);
    EXPECT_TRUE (widget<juce::Button> ("slotToggle12").getToggleState());
    EXPECT_FALSE (widget<juce::Button> ("slotToggle3").getToggleState());

    page->presetStored (5, 1, "Jazz");
    page->presetRecalled ("Recalled");
    EXPECT_EQ (page->getPresetRows().nameOf (5) + " " + page->getPresetRows().modeOf (5), "Jazz STEREO");
    EXPECT_EQ (widget<EntryField> ("presetNameEditor").getText(), "Recalled");
    EXPECT_EQ (widget<EntryField> ("fileNameEditor").getText(), "");

    page->disconnectDevice();   // clears the rows even while offline
    EXPECT_EQ (page->getPresetRows().nameOf (11) + page->getPresetRows().modeOf (11), "-MODE-");
    EXPECT_EQ (page->getSelectedSlot(), 12);
}

TEST_F (PageTest, LockStateShowsTheUnpackedCode)
{
    std::int32_t code = 0;
    ASSERT_TRUE (osc::packLockCode ("ab1Z", code));
    EXPECT_EQ (code, 0x5A316261);

    page->showLockState (code);
    EXPECT_EQ (widget<EntryField> ("lockCodeEditor").getText(), "ab1Z");
    EXPECT_TRUE (widget<juce::Button> ("lock").getToggleState());

    page->showLockState (0x00006978);   // stops at the first zero byte
    EXPECT_EQ (widget<EntryField> ("lockCodeEditor").getText(), "xi");

    page->showLockState (0);
    EXPECT_EQ (widget<EntryField> ("lockCodeEditor").getText(), "");
    EXPECT_TRUE (widget<juce::Button> ("unlock").getToggleState());
    EXPECT_FALSE (widget<juce::Button> ("lock").getToggleState());
}

TEST_F (PageTest, SelectedRowColourFollowsTheConnectionAndColumnsFitTheirText)
{
    auto rowColour = [this]
    {
        juce::Image image (juce::Image::ARGB, 10, 10, true);
        juce::Graphics g (image);
        page->paintRowBackground (g, 1, 10, 10, true);
        return image.getPixelAt (5, 5).getARGB();
    };

    page->addNetworkDevice (1, "A much longer amplifier name", "192.0.2.5");
    EXPECT_EQ (rowColour(), 0xffa8a8a8u);

    dialogs.answers = { true };
    page->rowClicked (1);
    EXPECT_EQ (rowColour(), 0xfffdbb30u);

    juce::Image image (juce::Image::ARGB, 40, 10, true);
    {
        juce::Graphics g (image);
        page->paintRowBackground (g, 0, 40, 10, false);
        page->paintCell (g, 0, 1, 40, 10, false);
    }
    EXPECT_EQ (image.getPixelAt (20, 9).getAlpha(), 0);            // unselected: not filled
    EXPECT_EQ (image.getPixelAt (39, 5).getARGB(), 0x33ffffffu);   // the separator

    EXPECT_EQ (page->getColumnAutoSizeWidth (1), 32 + 8);
    EXPECT_EQ (page->getColumnAutoSizeWidth (4),
               juce::Font (14.0f).getStringWidth ("A much longer amplifier name") + 8);
}

TEST_F (PageTest, ReturnSelectsTheTextAndLeavingMovesTheCaretHome)
{
    auto& name = widget<EntryField> ("presetNameEditor");
    pagetest::openEditor (name);
    name.setText ("Club");
    page->entryReturnPressed (name);
    EXPECT_EQ (name.getHighlightedText(), "Club");

    name.setCaretPosition (3);
    page->entryLeft (name);
    EXPECT_EQ (name.getCaretPosition(), 0);
    EXPECT_EQ (name.getText(), "Club");
}

//==============================================================================
TEST_F (PageTest, DeviceListIsWellFormedXmlWithTheAddressAsAnAttribute)
{
    page->addNetworkDevice (1, "Left", "192.0.2.7");
    page->addNetworkDevice (6, "Right", "10.0.0.250");

    // Rows once carried the address as their tag, which is no XML name.
    const auto reread = juce::parseXML (page->getDeviceList().toString());
    ASSERT_NE (reread, nullptr);
    ASSERT_EQ (reread->getNumChildElements(), 3);
    EXPECT_EQ (reread->getChildElement (0)->getTagName(), "USBdevice");
    for (int row = 1; row < 3; ++row)
    {
        EXPECT_EQ (reread->getChildElement (row)->getTagName(), "DEVICE");
        EXPECT_TRUE (
            reread->getChildElement (row)->isEquivalentTo (page->getDeviceList().getChildElement (row), false));
    }
    EXPECT_EQ (reread->getChildElement (2)->getStringAttribute ("IPorUSB"), "10.0.0.250");
}

TEST_F (PageTest, NetworkRowsStopAtSixtyFourAndTheOldestUnconnectedGoesFirst)
{
    const auto address = [] (int n) { return "192.0.2." + juce::String (n); };
    for (int n = 1; n <= 10; ++n)
        page->addNetworkDevice (1, "amp", address (n));

    dialogs.answers = { true };
    page->rowClicked (5);
    ASSERT_FALSE (page->isOffline());
    ASSERT_EQ (page->getDeviceAddress(), address (5));

    for (int n = 11; n <= 80; ++n)
        page->addNetworkDevice (1, "amp", address (n));

    // 80 answered; 16 rows went, oldest first, but never the connected one.
    ASSERT_EQ (page->getRowCount(), 1 + 64);
    EXPECT_EQ (cell (1, "IPorUSB"), address (5));
    EXPECT_EQ (cell (2, "IPorUSB"), address (18));
    EXPECT_EQ (cell (64, "IPorUSB"), address (80));
    EXPECT_EQ (page->getActiveRow(), 1);
    EXPECT_EQ (widget<juce::TableListBox> ("deviceTable").getSelectedRow(), 1);
    EXPECT_FALSE (page->isOffline());

    // A device that answers again keeps its row and does not push anyone out.
    page->addNetworkDevice (4, "renamed", address (40));
    EXPECT_EQ (page->getRowCount(), 1 + 64);
    EXPECT_EQ (cell (1 + 40 - 18 + 1, "AMPNAME"), "renamed");

    // Losing the connection frees its row, and then any row may go.
    page->forgetActiveDevice();
    page->addNetworkDevice (1, "amp", address (81));
    page->addNetworkDevice (1, "amp", address (82));
    EXPECT_EQ (page->getRowCount(), 1 + 64);
    EXPECT_EQ (cell (1, "IPorUSB"), address (19));
    EXPECT_EQ (cell (64, "IPorUSB"), address (82));
}

TEST_F (PageTest, ConnectQuestionAnsweredLaterConnectsTheChosenDeviceWhereverItsRowIsNow)
{
    for (auto address : { "192.0.2.1", "192.0.2.2", "192.0.2.3" })
        page->addNetworkDevice (1, "amp", address);
    dialogs.answers = { true };
    page->rowClicked (1);
    ASSERT_EQ (page->getDeviceAddress(), "192.0.2.1");

    // The user clicks row 3 and, while the question is open, the connection to row 1 is
    // lost and its row removed: the chosen device is now row 2.
    dialogs.holdBoxes = true;
    page->rowClicked (3);
    ASSERT_EQ (dialogs.open.size(), 1u);
    page->disconnectDevice();
    page->forgetActiveDevice();
    ASSERT_EQ (cell (2, "IPorUSB"), "192.0.2.3");

    dialogs.answers = { true };
    ASSERT_TRUE (dialogs.answerOpenBox());
    EXPECT_FALSE (page->isOffline());
    EXPECT_EQ (page->getActiveRow(), 2);
    EXPECT_EQ (page->getDeviceAddress(), "192.0.2.3");
    EXPECT_EQ (panelModels().back(), 1);

    // A device whose row was pushed out while the question was open is not connected.
    page->rowClicked (1);   // 192.0.2.2, the oldest row not connected
    for (int n = 0; n < 64; ++n)
        page->addNetworkDevice (1, "amp", "198.51.100." + juce::String (n));
    ASSERT_EQ (page->getRowCount(), 1 + 64);
    ASSERT_NE (cell (1, "IPorUSB"), "192.0.2.2");
    const auto told = panelModels().size();
    dialogs.answers = { true };
    ASSERT_TRUE (dialogs.answerOpenBox());
    EXPECT_FALSE (page->isOffline());
    EXPECT_EQ (page->getDeviceAddress(), "192.0.2.3");
    EXPECT_EQ (cell (page->getActiveRow(), "IPorUSB"), "192.0.2.3");
    EXPECT_EQ (panelModels().size(), told);
}

TEST_F (PageTest, AnswersArrivingAfterThePageWentAreDropped)
{
    page->addNetworkDevice (1, "amp", "192.0.2.1");
    dialogs.holdBoxes = true;
    page->rowClicked (1);
    page->loadPresetFile();
    page->savePresetFile();
    ASSERT_EQ (dialogs.open.size(), 3u);

    page.reset();
    dialogs.answers = { true, true, true };
    dialogs.openAnswer = folder.getChildFile ("never.kvt");
    dialogs.saveAnswer = folder.getChildFile ("never.kvt");
    while (dialogs.answerOpenBox())
        ;
    EXPECT_FALSE (folder.getChildFile ("never.kvt").exists());
    EXPECT_TRUE (panelModels().empty());
}

TEST_F (PageTest, OnlyAClickOnARowAsksToConnectNotAPressThatDrags)
{
    REQUIRE_DISPLAY();
    page->addNetworkDevice (1, "Stage", "192.0.2.5");
    page->addNetworkDevice (4, "Hall", "192.0.2.6");
    page->addToDesktop (0);
    page->setVisible (true);
    auto* peer = page->getPeer();
    ASSERT_NE (peer, nullptr);

    // Mouse events as the window system delivers them, in page pixels, 50 ms apart.
    auto time = juce::Time::currentTimeMillis();
    const auto mouse = [peer, &time] (juce::Point<float> at, bool buttonDown, int afterMs = 50)
    {
        time += afterMs;
        peer->handleMouseEvent (
            juce::MouseInputSource::InputSourceType::mouse, at,
            buttonDown ? juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier) : juce::ModifierKeys(),
            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, time);
    };
    const auto row = [] (int r) { return juce::Point<float> (122.0f, 75.0f + 28.0f + 22.0f * (float) r + 11.0f); };

    // Pressed on row 1 (not selected), dragged to row 2 and let go there: no question.
    mouse (row (1), false);
    mouse (row (1), true);
    mouse (row (1).translated (0.0f, 12.0f), true);
    mouse (row (2), true);
    mouse (row (2), false);
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_EQ (widget<juce::TableListBox> ("deviceTable").getSelectedRow(), -1);

    // A click: press and release on the same row.
    mouse (row (2), true);
    mouse (row (2), false);
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (page->getActiveRow(), -1);   // "Cancel"

    // A slow click, held for a second, is a click too.
    dialogs.answers = { true };
    mouse (row (1), true, 1000);
    mouse (row (1), false, 1000);
    EXPECT_EQ (dialogs.shown.size(), 2u);
    EXPECT_EQ (page->getActiveRow(), 1);
    EXPECT_EQ (page->getDeviceAddress(), "192.0.2.5");

    page->removeFromDesktop();
}

TEST_F (PageTest, APortTakenByAnotherProgramIsSaidOverTheListUntilItIsFree)
{
    auto& message = widget<juce::Label> ("portMessage");
    EXPECT_FALSE (message.isVisible());

    page->showPortInUse (true, 3456);
    EXPECT_TRUE (message.isVisible());
    EXPECT_EQ (message.getText(), "Port 3456 is in use by another program: amplifiers on the network cannot answer.");
    // Over the foot of the device list, inside it, and in front of it.
    const auto table = widget<juce::Component> ("deviceTable").getBounds();
    EXPECT_TRUE (table.contains (message.getBounds()));
    EXPECT_GT (page->getIndexOfChildComponent (&message),
               page->getIndexOfChildComponent (&widget<juce::Component> ("deviceTable")));

    // Rows still arrive meanwhile (USB keeps working), and the message goes once the port is free.
    page->updateUsbEntry (1, "Desk");
    EXPECT_EQ (page->getDeviceList().getChildElement (0)->getStringAttribute ("AMPNAME"), "Desk");
    page->showPortInUse (false, 3456);
    EXPECT_FALSE (message.isVisible());

    page->showPortInUse (true, 9000);
    EXPECT_EQ (message.getText(), "Port 9000 is in use by another program: amplifiers on the network cannot answer.");
}
