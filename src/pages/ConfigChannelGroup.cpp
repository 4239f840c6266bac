// Where the widgets of a Configuration page channel sit: channel A's places, in page pixels,
// inside its group at (4, 178, 356 x 288); channel B's are the same 356 pixels further right.

#include "ConfigChannelGroup.h"

#include "PageLookAndFeel.h"
#include "PlaceChild.h"

namespace
{
    const juce::Rectangle<int> groupBounds { 4, 178, 356, 288 };
    constexpr int valueBoxWidth = 64;
    constexpr int valueBoxHeight = 20;

    // Delay and polarity, the left column.
    const juce::Rectangle<int> delayLabelBounds { 14, 194, 90, 18 };
    const juce::Rectangle<int> delayKnobBounds { 29, 212, 60, 60 };
    const juce::Rectangle<int> delayEntryBounds[] = { { 14, 280, 64, 22 }, { 14, 306, 64, 22 }, { 14, 332, 64, 22 } };
    const juce::Rectangle<int> unitLabelBounds[] = { { 80, 280, 32, 22 }, { 80, 306, 32, 22 }, { 80, 332, 32, 22 } };
    const juce::Rectangle<int> phaseBounds { 14, 370, 64, 24 };
    const juce::Rectangle<int> zeroDegreesBounds { 14, 400, 72, 22 };
    const juce::Rectangle<int> oneEightyDegreesBounds { 14, 426, 72, 22 };

    // The peak limiter, the right part.
    const juce::Rectangle<int> limiterLabelBounds { 128, 194, 120, 18 };
    const juce::Rectangle<int> thresholdKnobBounds { 128, 212, 64, 84 };
    const juce::Rectangle<int> dbfsLabelBounds { 192, 276, 40, 20 };
    const juce::Rectangle<int> vpEntryBounds { 240, 214, 64, 22 };
    const juce::Rectangle<int> vpLabelBounds { 306, 214, 40, 22 };
    const juce::Rectangle<int> powerBounds { 240, 242, 64, 22 };
    const juce::Rectangle<int> wattLabelBounds { 306, 242, 40, 22 };
    const juce::Rectangle<int> loadLabelBounds { 238, 272, 100, 18 };
    const juce::Rectangle<int> loadListBounds { 240, 290, 100, 24 };
    const juce::Rectangle<int> releaseLabelBounds { 128, 324, 64, 18 };
    const juce::Rectangle<int> releaseKnobBounds { 128, 342, 64, 84 };
    const juce::Rectangle<int> releaseMsBounds { 192, 406, 30, 20 };
    const juce::Rectangle<int> holdLabelBounds { 240, 324, 64, 18 };
    const juce::Rectangle<int> holdKnobBounds { 240, 342, 64, 84 };
    const juce::Rectangle<int> holdMsBounds { 304, 406, 30, 20 };

    // The polarity toggles of channel A and of channel B are each a radio group of their own.
    constexpr int polarityRadioGroup[] = { 2, 3 };

    const juce::String degrees (juce::CharPointer_UTF8 ("\xc2\xb0"));

    const char* const ohmItems[] = { " -", "2 Ohm", "4 Ohm", "8 Ohm", "16 Ohm" };
    const char* const shortItems[] = { "  -", "  2", "  4", "  8", "  16" };
    const char* const lineVoltageItems[] = { "100 V", "70 V" };

    template <size_t count>
    void fill (juce::ComboBox& list, const char* const (&items)[count])
    {
        list.clear (juce::dontSendNotification);
        for (size_t i = 0; i < count; ++i)
            list.addItem (items[i], (int) i + 1);
    }
}

ConfigChannelGroup::ConfigChannelGroup (int channelIndex)
    : channel (channelIndex),
      group ({}, channelIndex == 0 ? "Channel A" : "Channel B"),
      delayKnob ("Delay", 0.0, 300.0, 0.02),
      zeroDegrees ("0" + degrees),
      oneEightyDegrees ("180" + degrees),
      thresholdKnob ("dBfs", -36.0, 0.0, 0.1, valueBoxWidth, valueBoxHeight),
      releaseKnob ("Release", 20.0, 4000.0, 2.5, valueBoxWidth, valueBoxHeight),
      holdKnob ("Hold", 0.0, 2000.0, 2.5, valueBoxWidth, valueBoxHeight)
{
}

void ConfigChannelGroup::build (juce::Component& page, juce::Slider::Listener& sliders, juce::Button::Listener& buttons,
                                juce::ComboBox::Listener& lists)
{
    place (page, group, "channelGroup", groupBounds);

    place (page, delayLabel, "delayLabel", delayLabelBounds);
    delayLabel.setJustificationType (juce::Justification::centred);
    place (page, delayKnob, "delayKnob", delayKnobBounds);

    ValueEntry* entries[] = { &msEntry, &metreEntry, &feetEntry };
    juce::Label* units[] = { &msLabel, &metreLabel, &feetLabel };
    const char* entryRoles[] = { "msEntry", "metreEntry", "feetEntry" };
    const char* unitRoles[] = { "msLabel", "metreLabel", "feetLabel" };
    for (int i = 0; i < 3; ++i)
    {
        place (page, *entries[i], entryRoles[i], delayEntryBounds[i]);
        place (page, *units[i], unitRoles[i], unitLabelBounds[i]);
    }

    place (page, phaseButton, "phase", phaseBounds);
    phaseButton.setClickingTogglesState (true);
    PageLookAndFeel::styleLitButton (phaseButton);
    place (page, zeroDegrees, "zeroDegrees", zeroDegreesBounds);
    place (page, oneEightyDegrees, "oneEightyDegrees", oneEightyDegreesBounds);
    for (auto* toggle : { &zeroDegrees, &oneEightyDegrees })
    {
        toggle->setClickingTogglesState (true);
        toggle->setRadioGroupId (polarityRadioGroup[channel], juce::dontSendNotification);
    }
    zeroDegrees.setToggleState (true, juce::dontSendNotification);

    place (page, limiterLabel, "limiterLabel", limiterLabelBounds);
    place (page, thresholdKnob, "thresholdKnob", thresholdKnobBounds);
    place (page, dbfsLabel, "dbfsLabel", dbfsLabelBounds);
    place (page, vpEntry, "vpEntry", vpEntryBounds);
    place (page, vpLabel, "vpLabel", vpLabelBounds);
    place (page, powerDisplay, "powerDisplay", powerBounds);
    powerDisplay.setReadOnly (true);
    place (page, wattLabel, "wattLabel", wattLabelBounds);

    place (page, loadLabel, "loadLabel", loadLabelBounds);
    place (page, outputLabel, "outputLabel", loadLabelBounds);
    outputLabel.setVisible (false);
    place (page, loadList, "loadList", loadListBounds);
    if (channel == 0)
        fill (loadList, ohmItems);
    else
        fill (loadList, shortItems);
    loadList.setSelectedId (1, juce::dontSendNotification);

    place (page, releaseLabel, "releaseLabel", releaseLabelBounds);
    place (page, releaseKnob, "releaseKnob", releaseKnobBounds);
    place (page, releaseMsLabel, "releaseMsLabel", releaseMsBounds);
    place (page, holdLabel, "holdLabel", holdLabelBounds);
    place (page, holdKnob, "holdKnob", holdKnobBounds);
    place (page, holdMsLabel, "holdMsLabel", holdMsBounds);
    releaseLabel.setJustificationType (juce::Justification::centred);
    holdLabel.setJustificationType (juce::Justification::centred);

    for (auto* entry : { &msEntry, &metreEntry, &feetEntry, &vpEntry })
        entry->setSelectAllWhenFocused (true);
    for (auto* knob : { &delayKnob, &thresholdKnob, &releaseKnob, &holdKnob })
        knob->addListener (&sliders);
    for (juce::Button* button :
         { (juce::Button*) &phaseButton, (juce::Button*) &zeroDegrees, (juce::Button*) &oneEightyDegrees })
        button->addListener (&buttons);
    loadList.addListener (&lists);
}

void ConfigChannelGroup::place (juce::Component& page, juce::Component& widget, const char* role,
                                juce::Rectangle<int> bounds)
{
    if (auto* label = dynamic_cast<juce::Label*> (&widget))
        label->setFont (PageLookAndFeel::textFont());
    placeChild (page, widget, juce::String (role) + (channel == 0 ? "A" : "B"),
                bounds.translated (channel * channelSpacing, 0));
}

void ConfigChannelGroup::setFollowingWidgetsVisible (bool visible)
{
    for (auto* widget : followingWidgets())
        widget->setVisible (visible);
}

std::vector<juce::Component*> ConfigChannelGroup::followingWidgets()
{
    return { &group,        &delayLabel,    &delayKnob,    &msEntry,     &metreEntry,     &feetEntry,
             &msLabel,      &metreLabel,    &feetLabel,    &phaseButton, &zeroDegrees,    &oneEightyDegrees,
             &limiterLabel, &thresholdKnob, &dbfsLabel,    &vpEntry,     &vpLabel,        &powerDisplay,
             &wattLabel,    &loadList,      &releaseLabel, &releaseKnob, &releaseMsLabel, &holdLabel,
             &holdKnob,     &holdMsLabel };
}

void ConfigChannelGroup::fillLoadList (bool lineVoltage)
{
    if (lineVoltage)
        fill (loadList, lineVoltageItems);
    else
        fill (loadList, ohmItems);
}
