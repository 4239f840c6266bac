// The Dynamic EQ tab's layout: where each band's widgets sit.  Band 2's widgets stand
// 356 to 360 pixels right of band 1's.  The behaviour is in CDeqTab.cpp.

#include "CDeqTab.h"
#include "Cdeqfilt.h"
#include "PlaceChild.h"

#include <iterator>
#include <type_traits>

namespace
{
    using R = juce::Rectangle<int>;

    struct BandLayout
    {
        R deqButton, gainKnob, thresholdKnob, freqKnob, freqEditor, qualKnob, qualEditor, attackKnob, releaseKnob,
            typeCombo, ratioCombo;
        R labels[13];   // in the order of CDeqTab::BandWidgets::LabelIndex
    };

    const BandLayout layouts[CDeqTab::bandCount] = {
        { { 152, 48, 52, 24 },
          { 64, 40, 48, 60 },
          { 244, 40, 48, 60 },
          { 28, 144, 40, 40 },
          { 24, 184, 48, 20 },
          { 104, 144, 40, 40 },
          { 100, 184, 48, 20 },
          { 200, 144, 48, 60 },
          { 280, 144, 48, 60 },
          { 57, 216, 65, 20 },
          { 240, 216, 64, 20 },
          { { 68, 20, 44, 20 },
            { 232, 20, 84, 20 },
            { 112, 80, 32, 20 },
            { 292, 80, 32, 20 },
            { 16, 120, 88, 20 },
            { 100, 120, 64, 20 },
            { 192, 120, 64, 20 },
            { 272, 120, 72, 20 },
            { 72, 186, 28, 18 },
            { 244, 184, 28, 20 },
            { 324, 184, 28, 20 },
            { 12, 216, 52, 20 },
            { 192, 216, 56, 20 } } },
        { { 512, 48, 52, 24 },
          { 420, 40, 48, 60 },
          { 604, 40, 48, 60 },
          { 388, 144, 40, 40 },
          { 384, 184, 48, 20 },
          { 463, 144, 40, 40 },
          { 460, 184, 48, 20 },
          { 560, 144, 48, 60 },
          { 640, 144, 48, 60 },
          { 416, 216, 65, 20 },
          { 600, 216, 64, 20 },
          { { 424, 20, 44, 20 },
            { 592, 20, 84, 20 },
            { 468, 80, 32, 20 },
            { 652, 80, 32, 20 },
            { 376, 120, 88, 20 },
            { 459, 120, 64, 20 },
            { 552, 120, 64, 20 },
            { 632, 120, 72, 20 },
            { 432, 186, 28, 18 },
            { 604, 184, 28, 20 },
            { 684, 184, 28, 20 },
            { 371, 216, 52, 20 },
            { 552, 216, 56, 20 } } },
    };

    const char* const ratioTexts[] = { "1:2.0", "1:3.0", "1:5.0", "1:10" };

    const char* const labelTexts[] = { "Gain",    "Threshold", "dB", "dB", "Frequency", "Quality", "Attack",
                                       "Release", "Hz",        "ms", "ms", "Type",      "Ratio" };
    // Titles stand centred over their knobs; units and list names sit left, beside theirs.
    const bool labelCentred[] = { true, true, false, false, true, true, true, true, false, false, false, false, false };
}

void CDeqTab::buildBand (int band)
{
    auto& w = bands[band];
    const auto& at = layouts[band];
    const juce::String n (band + 1);

    w.deqButton.setButtonText ("DEQ " + n);
    w.deqButton.setTooltip ("enable/disable");
    w.deqButton.setClickingTogglesState (true);
    PageLookAndFeel::styleSwitchButton (w.deqButton);
    w.deqButton.addListener (this);
    placeChild (*this, w.deqButton, "deqButton" + n, at.deqButton);

    for (auto* knob : { &w.gainKnob, &w.thresholdKnob, &w.attackKnob, &w.releaseKnob })
        knob->addListener (this);
    placeChild (*this, w.gainKnob, "gainKnob" + n, at.gainKnob);
    placeChild (*this, w.thresholdKnob, "thresholdKnob" + n, at.thresholdKnob);
    placeChild (*this, w.attackKnob, "attackKnob" + n, at.attackKnob);
    placeChild (*this, w.releaseKnob, "releaseKnob" + n, at.releaseKnob);

    w.freqKnob.addListener (this);
    placeChild (*this, w.freqKnob, "freqKnob" + n, at.freqKnob);
    w.qualKnob.addListener (this);
    placeChild (*this, w.qualKnob, "qualKnob" + n, at.qualKnob);
    placeChild (*this, w.freqEditor, "freqEditor" + n, at.freqEditor);
    PageLookAndFeel::styleTransparentEntry (w.freqEditor, 8);
    placeChild (*this, w.qualEditor, "qualEditor" + n, at.qualEditor);
    PageLookAndFeel::styleTransparentEntry (w.qualEditor, 13);

    for (int id = 1; id < Cdeqfilt::typeCount; ++id)
        w.typeCombo.addItem (Cdeqfilt::typeLabels[id], id);
    w.typeCombo.setSelectedId (1, juce::dontSendNotification);
    w.typeCombo.setLookAndFeel (&listLook);
    w.typeCombo.addListener (this);
    placeChild (*this, w.typeCombo, "typeCombo" + n, at.typeCombo);

    for (int id = 1; id <= 4; ++id)
        w.ratioCombo.addItem (ratioTexts[id - 1], id);
    w.ratioCombo.setLookAndFeel (&listLook);
    w.ratioCombo.addListener (this);
    placeChild (*this, w.ratioCombo, "ratioCombo" + n, at.ratioCombo);

    static_assert (std::size (labelTexts) == BandWidgets::labelCount
                   && std::extent_v<decltype (BandLayout::labels)> == BandWidgets::labelCount);
    for (int i = 0; i < BandWidgets::labelCount; ++i)
    {
        w.labels[i].setText (labelTexts[i], juce::dontSendNotification);
        placeLabel (*this, w.labels[i], {}, at.labels[i],
                    labelCentred[i] ? juce::Justification::centred : juce::Justification::centredLeft);
    }
}

juce::Font CDeqTab::NarrowListLook::getComboBoxFont (juce::ComboBox&)
{
    return juce::Font (13.0f);
}

void CDeqTab::NarrowListLook::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    // Room for the text up to the arrow, which needs about the list's height.
    label.setBounds (1, 1, box.getWidth() - box.getHeight(), box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
}

void CDeqTab::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}
