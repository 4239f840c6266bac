// The Setup page's layout: where every widget sits, and how the device table paints its
// rows.  Colours come from the page look (PageLookAndFeel); the behaviour is in
// CSetupPage.cpp and CSetupPagePresets.cpp.

#include "CSetupPage.h"
#include "Palette.h"
#include "PlaceChild.h"

namespace
{
    const juce::Colour connectedRow = Palette::amber;
    const juce::Colour offlineRow = Palette::textGrey;

    constexpr int lockRadioGroup = 5;
    constexpr int cellInset = 2;
    constexpr int narrowestColumn = 32;
    constexpr int columnPadding = 8;

    const char* const attributeNames[] = { "ID", "AMPMODEL", "IPorUSB", "AMPNAME" };
}

void CSetupPage::buildConnectionArea()
{
    placeChild (*this, connectionGroup, "ampConnectionGroup", { 4, 8, 312, 458 });

    placeButton (searchButton, "search", { 24, 30, 64, 24 });
    placeButton (addIpButton, "addFixedIp", { 100, 30, 88, 24 });
    placeEditor (ipEditor, "ipEditor", { 196, 30, 100, 24 }, 15);
    ipEditor.setText ("\"xxx.xxx.xxx.xxx\"", false);   // a hint wider than the field: its start shows
    placeChild (*this, ipLabel, "ipLabel", { 192, 54, 84, 20 });

    deviceTable.setModel (this);
    auto& header = deviceTable.getHeader();
    header.addColumn ("ID", 1, 22, 10, 50);
    header.addColumn ("Amp Model", 2, 83, 50, 120);
    header.addColumn ("IP/USB", 3, 90, 50, 120);
    header.addColumn ("Amp Name", 4, 90, 50, 120);
    deviceTable.setColour (juce::ListBox::backgroundColourId, juce::Colours::black);
    placeChild (*this, deviceTable, "deviceTable", { 15, 75, 290, 280 });

    // Over the foot of the list, which stays empty of network rows while it shows.
    placeChild (*this, portMessage, "portMessage", { 17, 303, 286, 50 });
    portMessage.setColour (juce::Label::backgroundColourId, Palette::plate);
    portMessage.setColour (juce::Label::textColourId, Palette::amber);
    portMessage.setJustificationType (juce::Justification::centred);
    portMessage.setMinimumHorizontalScale (1.0f);
    portMessage.setVisible (false);

    placeChild (*this, selectLabel, "selectLabel", { 22, 356, 96, 20 });
    placeButton (connectButton, "connect", { 172, 358, 124, 24 });
    placeEditor (ampNameEditor, "ampNameEditor", { 24, 394, 116, 24 }, 10);
    placeButton (renameButton, "rename", { 172, 394, 124, 24 });
    placeChild (*this, lockLabel, "lockLabel", { 24, 430, 72, 22 });
    placeEditor (lockCodeEditor, "lockCodeEditor", { 96, 430, 44, 24 }, lockCodeLength);
    lockCodeEditor.setText ("****", false);
    placeButton (unlockButton, "unlock", { 172, 430, 56, 24 });
    placeButton (lockButton, "lock", { 240, 430, 56, 24 });
    unlockButton.setRadioGroupId (lockRadioGroup, juce::dontSendNotification);
    lockButton.setRadioGroupId (lockRadioGroup, juce::dontSendNotification);
}

void CSetupPage::buildPresetAreas()
{
    placeChild (*this, pcPresetsGroup, "pcPresetsGroup", { 316, 8, 400, 90 });
    placeButton (loadButton, "load", { 336, 30, 56, 24 });
    placeButton (saveButton, "save", { 336, 62, 56, 24 });
    placeEditor (fileNameEditor, "fileNameEditor", { 412, 30, 160, 24 }, 0);
    placeChild (*this, fileNameLabel, "fileNameLabel", { 408, 54, 92, 20 });

    placeChild (*this, ampPresetsGroup, "ampPresetsGroup", { 316, 102, 400, 364 });
    placeButton (recallButton, "recall", { 336, 126, 56, 24 });
    placeButton (storeButton, "store", { 336, 158, 56, 24 });
    placeEditor (presetNameEditor, "presetNameEditor", { 412, 126, 96, 24 }, 10);
    placeChild (*this, presetNameLabel, "presetNameLabel", { 408, 150, 92, 20 });

    presetRows = std::make_unique<SetupPresetRows> (*this, *this);
}

void CSetupPage::placeButton (juce::TextButton& button, const juce::String& id, juce::Rectangle<int> bounds)
{
    button.addListener (this);
    placeChild (*this, button, id, bounds);
}

void CSetupPage::placeEditor (EntryField& editor, const juce::String& id, juce::Rectangle<int> bounds, int maxLength)
{
    editor.setInputRestrictions (maxLength);
    editor.onReturnKey = [this, &editor] { entryReturnPressed (editor); };
    editor.onFocusLost = [this, &editor] { entryLeft (editor); };
    placeChild (*this, editor, id, bounds);
}

void CSetupPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    presetRows->paintModeBoxes (g);
}

//==============================================================================
void CSetupPage::paintRowBackground (juce::Graphics& g, int, int, int, bool rowIsSelected)
{
    if (rowIsSelected)
        g.fillAll (offline ? offlineRow : connectedRow);
}

void CSetupPage::paintCell (juce::Graphics& g, int row, int columnId, int width, int height, bool rowIsSelected)
{
    if (columnId >= 1 && columnId <= 4)
    {
        g.setColour (rowIsSelected ? juce::Colours::black : juce::Colours::white);
        g.setFont (cellFont());
        g.drawText (devices.text (row, attributeNames[columnId - 1]), cellInset, 0, width - 2 * cellInset, height,
                    juce::Justification::centredLeft, true);
    }

    g.setColour (juce::Colours::white.withAlpha (0.2f));
    g.fillRect (width - 1, 0, 1, height);
}

int CSetupPage::getColumnAutoSizeWidth (int columnId)
{
    if (columnId < 1 || columnId > 4)
        return 0;

    const auto font = cellFont();
    int widest = narrowestColumn;
    for (int row = 0; row < devices.size(); ++row)
        widest = juce::jmax (widest, font.getStringWidth (devices.text (row, attributeNames[columnId - 1])));
    return widest + columnPadding;
}

juce::Font CSetupPage::cellFont()
{
    return juce::Font (14.0f);
}
