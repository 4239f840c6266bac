// The Setup page on its own (no hub): layout, the device list, the connection question,
// the slot rows and the lock state display.

#include "SetupTestSupport.h"
#include "LockCode.h"

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
    EXPECT_EQ (widget<juce::TextEditor> ("ipEditor").getText(), "\"xxx.xxx.xxx.xxx\"");

    auto& header = widget<juce::TableListBox> ("deviceTable").getHeader();
    ASSERT_EQ (header.getNumColumns (false), 4);
    EXPECT_EQ (header.getColumnName (2), "Amp Model");
    EXPECT_EQ (header.getColumnWidth (4), 90);

    // Toggle, name field and mode label of slots 1, 6, 10, 11 and 20.
    const struct { int slot; juce::Rectangle<int> toggle, name, mode; } rows[] = {
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
        EXPECT_EQ (widget<juce::TextEditor> (("slotName" + n).toRawUTF8()).getBounds(), r.name) << r.slot;
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
    EXPECT_EQ (dialogs.shown[0], "Select active Device|Connect to device and lose current settings?|Connect|Cancel|question");
    EXPECT_EQ (page->getActiveRow(), -1);

    dialogs.answers = { true };
    page->rowClicked (1);
    EXPECT_FALSE (page->isOffline());
    EXPECT_EQ (page->getActiveRow(), 1);
    EXPECT_TRUE (widget<juce::Button> ("connect").getToggleState());
    EXPECT_EQ (widget<juce::TextEditor> ("ampNameEditor").getText(), "Stage");
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
    EXPECT_EQ (widget<juce::TextEditor> ("slotName11").getText(), "Hall");
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
    EXPECT_EQ (widget<juce::TextEditor> ("presetNameEditor").getText(), "Recalled");
    EXPECT_EQ (widget<juce::TextEditor> ("fileNameEditor").getText(), "");

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
    EXPECT_EQ (widget<juce::TextEditor> ("lockCodeEditor").getText(), "ab1Z");
    EXPECT_TRUE (widget<juce::Button> ("lock").getToggleState());

    page->showLockState (0x00006978);   // stops at the first zero byte
    EXPECT_EQ (widget<juce::TextEditor> ("lockCodeEditor").getText(), "xi");

    page->showLockState (0);
    EXPECT_EQ (widget<juce::TextEditor> ("lockCodeEditor").getText(), "");
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
    EXPECT_EQ (image.getPixelAt (20, 9).getAlpha(), 0);           // unselected: not filled
    EXPECT_EQ (image.getPixelAt (39, 5).getARGB(), 0x33ffffffu);  // the separator

    EXPECT_EQ (page->getColumnAutoSizeWidth (1), 32 + 8);
    EXPECT_EQ (page->getColumnAutoSizeWidth (4), juce::Font (14.0f).getStringWidth ("A much longer amplifier name") + 8);
}

TEST_F (PageTest, ReturnSelectsTheTextAndLeavingMovesTheCaretHome)
{
    auto& name = widget<juce::TextEditor> ("presetNameEditor");
    name.setText ("Club");
    page->textEditorReturnKeyPressed (name);
    EXPECT_EQ (name.getHighlightedText(), "Club");

    name.setCaretPosition (3);
    page->textEditorFocusLost (name);
    EXPECT_EQ (name.getCaretPosition(), 0);
    EXPECT_EQ (name.getText(), "Club");
}
