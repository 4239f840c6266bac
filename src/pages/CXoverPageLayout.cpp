// The Filter/Crossover page's layout: where every widget sits and how the page paints its
// background.  The behaviour is in CXoverPage.cpp.

#include "Artwork.h"
#include "CXoverPage.h"
#include "Palette.h"
#include "PlaceChild.h"

namespace
{
    struct FilterColumn
    {
        const char* caption;
        juce::Rectangle<int> caption_, knob, freqLabel, entry, hz, family, slope;
    };

    // Filters 0 .. 3: A high-pass, A low-pass, B high-pass, B low-pass.
    const FilterColumn columns[CXoverPage::filterCount] = {
        { "High Pass 1",
          { 44, 284, 96, 20 },
          { 72, 308, 40, 40 },
          { 20, 352, 48, 20 },
          { 68, 352, 48, 20 },
          { 116, 353, 28, 18 },
          { 32, 384, 112, 24 },
          { 33, 421, 112, 24 } },
        { "Low Pass 2",
          { 232, 284, 96, 20 },
          { 260, 308, 40, 40 },
          { 208, 352, 48, 20 },
          { 256, 352, 48, 20 },
          { 304, 353, 28, 18 },
          { 220, 384, 112, 24 },
          { 220, 420, 112, 24 } },
        { "High Pass 3",
          { 400, 284, 96, 20 },
          { 428, 308, 40, 40 },
          { 376, 352, 48, 20 },
          { 424, 352, 48, 20 },
          { 472, 353, 28, 18 },
          { 388, 384, 112, 24 },
          { 389, 421, 112, 24 } },
        { "Low Pass 4",
          { 592, 284, 96, 20 },
          { 620, 308, 40, 40 },
          { 568, 352, 48, 20 },
          { 616, 352, 48, 20 },
          { 664, 353, 28, 18 },
          { 580, 384, 112, 24 },
          { 580, 420, 112, 24 } },
    };

    struct ChannelArea
    {
        juce::Rectangle<int> group, typeLabel, slopeLabel, gainLabel, gainKnob, dbLabel;
    };

    const ChannelArea channelAreas[2] = {
        { { 4, 206, 356, 260 },
          { 144, 384, 76, 24 },
          { 144, 420, 76, 24 },
          { 152, 226, 64, 20 },
          { 160, 248, 48, 60 },
          { 208, 289, 28, 18 } },
        { { 360, 206, 356, 260 },
          { 500, 384, 80, 24 },
          { 500, 420, 80, 24 },
          { 508, 226, 64, 20 },
          { 516, 248, 48, 60 },
          { 564, 289, 28, 18 } },
    };

    const juce::Rectangle<int> graphBounds { 50, 10, 660, 150 };
    const juce::Colour channelAColour = Palette::amber;
    const juce::Colour channelBColour = Palette::channelB;
    constexpr float fillAlpha = 0.3f;
    constexpr int fillToBottom = 2;
    const juce::Rectangle<int> graphBackground { 4, 4, 712, 180 };
    const juce::Rectangle<int> buttonBand { 0, 176, 720, 28 };
    const juce::Rectangle<int> crossoverButtonBounds { 316, 180, 88, 24 };
    const juce::Point<int> freqScalePosition { 43, 160 };
    const juce::Point<int> levelScalePosition { 20, 4 };

}

void CXoverPage::buildWidgets()
{
    for (int channel = 0; channel < 2; ++channel)
        buildChannel (channel);
    for (int index = 0; index < filterCount; ++index)
        buildFilterColumn (index);

    crossoverButton.setClickingTogglesState (true);
    crossoverButton.setTooltip ("enable/disable");
    PageLookAndFeel::styleSwitchButton (crossoverButton);
    crossoverButton.addListener (this);
    placeChild (*this, crossoverButton, "xoverButton", crossoverButtonBounds);

    freqScaleImage = Artwork::get (Artwork::Id::freqScaleWide);
    levelScaleImage = Artwork::get (Artwork::Id::xoverLevelScale);
}

void CXoverPage::buildGraph()
{
    graph = std::make_unique<EQGraph> (1, this);
    graph->setComponentID ("graph");
    graph->responseFunction = [this] (int curve, float frequency) { return filterResponse (curve, frequency); };
    graph->strokeColour[0] = channelAColour;
    graph->strokeColour[1] = channelBColour;
    graph->fillColour[0] = channelAColour.withAlpha (fillAlpha);
    graph->fillColour[1] = channelBColour.withAlpha (fillAlpha);
    graph->fillMode = fillToBottom;
    graph->setHandleCount (filterCount);
    for (int index = 0; index < filterCount; ++index)
    {
        const auto badge = Artwork::handleBadge (index + 1);
        graph->setHandle (index, std::make_unique<filter_drag> (badge, 1, this, index));
        graph->handleOffset = (unsigned) badge.getWidth() / 2;
    }
    graph->setBounds (graphBounds);
    addAndMakeVisible (*graph);
}

void CXoverPage::buildChannel (int channel)
{
    auto& w = channelWidgets[channel];
    const auto& area = channelAreas[channel];
    const juce::String suffix = channel == 0 ? "A" : "B";

    w.group.setText (channel == 0 ? "Channel A" : "Channel B");
    w.group.setTextLabelPosition (juce::Justification::centred);
    w.group.setColour (juce::GroupComponent::outlineColourId, Palette::groupOutline);
    placeChild (*this, w.group, "group" + suffix, area.group);

    placeLabel (*this, w.typeLabel, "typeLabel" + suffix, area.typeLabel, juce::Justification::centred);
    placeLabel (*this, w.slopeLabel, "slopeLabel" + suffix, area.slopeLabel, juce::Justification::centred);
    placeLabel (*this, w.gainLabel, "gainLabel" + suffix, area.gainLabel, juce::Justification::centred);
    placeLabel (*this, w.dbLabel, "dbLabel" + suffix, area.dbLabel, juce::Justification::centredLeft);

    w.gainKnob.addListener (this);
    placeChild (*this, w.gainKnob, "gain" + suffix, area.gainKnob);
}

void CXoverPage::buildFilterColumn (int index)
{
    auto& w = filterWidgets[index];
    const auto& column = columns[index];
    const juce::String suffix (index + 1);

    w.caption.setText (column.caption, juce::dontSendNotification);
    placeLabel (*this, w.caption, "caption" + suffix, column.caption_, juce::Justification::centred);

    w.knob.addListener (this);
    placeChild (*this, w.knob, "freqKnob" + suffix, column.knob);

    placeLabel (*this, w.freqLabel, "freqLabel" + suffix, column.freqLabel, juce::Justification::centredRight);
    w.entry.setSelectAllWhenFocused (true);
    PageLookAndFeel::styleTransparentEntry (w.entry, 8);
    placeChild (*this, w.entry, "freqEntry" + suffix, column.entry);
    placeLabel (*this, w.hzLabel, "hzLabel" + suffix, column.hz, juce::Justification::centredLeft);

    for (int family = 0; family < CrossoverTypes::familyCount; ++family)
        w.family.addItem (CrossoverTypes::familyNames[family], family + 1);
    w.family.addListener (this);
    placeChild (*this, w.family, "family" + suffix, column.family);

    for (int slope = 0; slope < CrossoverTypes::slopeCount; ++slope)
        w.slope.addItem (CrossoverTypes::slopeNames[slope], slope + 1);
    w.slope.addListener (this);
    placeChild (*this, w.slope, "slope" + suffix, column.slope);
}

void CXoverPage::showChannelB (bool shown)
{
    for (int index = 2; index < filterCount; ++index)
    {
        auto& w = filterWidgets[index];
        for (juce::Component* c :
             { (juce::Component*) &w.caption, (juce::Component*) &w.knob, (juce::Component*) &w.freqLabel,
               (juce::Component*) &w.entry, (juce::Component*) &w.hzLabel, (juce::Component*) &w.family,
               (juce::Component*) &w.slope })
            c->setVisible (shown);
    }
    auto& b = channelWidgets[1];
    for (juce::Component* c :
         { (juce::Component*) &b.typeLabel, (juce::Component*) &b.slopeLabel, (juce::Component*) &b.gainLabel,
           (juce::Component*) &b.gainKnob, (juce::Component*) &b.dbLabel, (juce::Component*) &b.group })
        c->setVisible (shown);
}

void CXoverPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.fillRect (graphBackground);
    g.drawImageAt (freqScaleImage, freqScalePosition.x, freqScalePosition.y);
    g.drawImageAt (levelScaleImage, levelScalePosition.x, levelScalePosition.y);
    g.setColour (Palette::plate);
    g.fillRect (buttonBand);

    for (int index = 0; index < filterCount; ++index)
        graph->handleFreq[(std::size_t) index] = response.frequency (index);
}
