#include "SetupPresetRows.h"

#include "Cioampmode.h"

namespace
{
    const juce::Colour nameBackground (0x50ffffff);
    const juce::Colour modeOutline (0x50ffffff);
    const juce::Colour modeBox (0x50000000);

    constexpr int rowHeight = 20;
    constexpr int firstRowY = 202;
    constexpr int rowPitch = 24;
    constexpr int rowsPerColumn = 10;
    constexpr float modeFontHeight = 14.0f;

    const char* const noModeText = "-MODE-";

    bool isSlot (int slot) noexcept
    {
        return slot >= 1 && slot <= SetupPresetRows::slotCount;
    }

    bool inRightColumn (int slot) noexcept
    {
        return slot > rowsPerColumn;
    }
}

SetupPresetRows::SetupPresetRows (juce::Component& page, juce::Button::Listener& listener)
{
    for (int slot = 1; slot <= slotCount; ++slot)
        buildRow (slot, page, listener);
}

SetupPresetRows::~SetupPresetRows() = default;

void SetupPresetRows::buildRow (int slot, juce::Component& page, juce::Button::Listener& listener)
{
    auto& r = *(rows[(std::size_t) (slot - 1)] = std::make_unique<Row>());
    const juce::String number (slot);

    // The toggle spans the whole row; the field and the label, added after it, lie on top,
    // so only the number part of the toggle takes clicks.
    r.toggle.setButtonText (number);
    r.toggle.setComponentID ("slotToggle" + number);
    r.toggle.setRadioGroupId (radioGroup, juce::dontSendNotification);
    r.toggle.setBounds (toggleBounds (slot));
    r.toggle.addListener (&listener);
    page.addAndMakeVisible (r.toggle);

    r.name.setComponentID ("slotName" + number);
    r.name.setReadOnly (true);
    r.name.setColour (juce::TextEditor::backgroundColourId, nameBackground);
    r.name.setBounds (nameBounds (slot));
    page.addAndMakeVisible (r.name);

    r.mode.setComponentID ("slotMode" + number);
    r.mode.setText (modeText (noMode), juce::dontSendNotification);
    r.mode.setFont (juce::Font (modeFontHeight));
    r.mode.setJustificationType (juce::Justification::centredLeft);
    r.mode.setColour (juce::Label::outlineColourId, modeOutline);
    r.mode.setBounds (modeBounds (slot));
    page.addAndMakeVisible (r.mode);
}

SetupPresetRows::Row* SetupPresetRows::row (int slot) const noexcept
{
    return isSlot (slot) ? rows[(std::size_t) (slot - 1)].get() : nullptr;
}

int SetupPresetRows::slotOf (const juce::Button* button) const noexcept
{
    for (int slot = 1; slot <= slotCount; ++slot)
        if (button == &row (slot)->toggle)
            return slot;
    return 0;
}

void SetupPresetRows::setSlot (int slot, int mode, const juce::String& name)
{
    if (auto* r = row (slot))
    {
        r->name.setText (name, false);
        r->mode.setText (modeText (mode), juce::dontSendNotification);
    }
}

void SetupPresetRows::clearAll()
{
    for (int slot = 1; slot <= slotCount; ++slot)
        setSlot (slot, noMode, {});
}

void SetupPresetRows::setSelected (int slot, bool selected)
{
    if (auto* r = row (slot))
        r->toggle.setToggleState (selected, juce::dontSendNotification);
}

juce::String SetupPresetRows::nameOf (int slot) const
{
    auto* r = row (slot);
    return r != nullptr ? r->name.getText() : juce::String();
}

juce::String SetupPresetRows::modeOf (int slot) const
{
    auto* r = row (slot);
    return r != nullptr ? r->mode.getText() : juce::String();
}

void SetupPresetRows::paintModeBoxes (juce::Graphics& g) const
{
    g.setColour (modeBox);
    for (int slot = 1; slot <= slotCount; ++slot)
        g.fillRect (modeBoxBounds (slot));
}

juce::String SetupPresetRows::modeText (int mode)
{
    return mode >= 0 && mode < Cioampmode::modeCount ? Cioampmode::modeLabels[mode] : noModeText;
}

int SetupPresetRows::rowY (int slot) noexcept
{
    return firstRowY + rowPitch * ((slot - 1) % rowsPerColumn);
}

juce::Rectangle<int> SetupPresetRows::toggleBounds (int slot)
{
    if (inRightColumn (slot))
        return { 516, rowY (slot), 144, rowHeight };
    if (slot > 5)
        return { 323, rowY (slot), 145, rowHeight };
    return { 324, rowY (slot), 144, rowHeight };
}

juce::Rectangle<int> SetupPresetRows::nameBounds (int slot)
{
    return { inRightColumn (slot) ? 556 : 364, rowY (slot), 100, rowHeight };
}

juce::Rectangle<int> SetupPresetRows::modeBounds (int slot)
{
    return { inRightColumn (slot) ? 656 : 464, rowY (slot), 52, rowHeight };
}

juce::Rectangle<int> SetupPresetRows::modeBoxBounds (int slot)
{
    return { inRightColumn (slot) ? 659 : 467, rowY (slot), 48, rowHeight };
}
