#include "PageLookAndFeel.h"

#include "FocusCaret.h"
#include "Palette.h"

PageLookAndFeel::PageLookAndFeel()
{
    using Palette::textGrey;

    setColour (juce::Label::textColourId, textGrey);
    setColour (juce::GroupComponent::textColourId, textGrey);
    setColour (juce::ToggleButton::textColourId, textGrey);
    setColour (juce::TextEditor::textColourId, textGrey);
    setColour (juce::TextButton::buttonColourId, Palette::plate);
    setColour (juce::TextButton::textColourOffId, textGrey);
    setColour (juce::TextButton::textColourOnId, textGrey);

    setColour (juce::Slider::thumbColourId, knobPointer);
    setColour (juce::Slider::rotarySliderFillColourId, Palette::amber);
    setColour (juce::Slider::rotarySliderOutlineColourId, knobTrack);
    setColour (juce::Slider::textBoxTextColourId, textGrey);
    setColour (juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    setColour (juce::Slider::textBoxOutlineColourId, Palette::boxOutline);
}

void PageLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float position,
                                        float startAngle, float endAngle, juce::Slider& slider)
{
    const auto bounds = juce::Rectangle<int> (x, y, width, height).toFloat().reduced (2.0f);
    const float radius = juce::jmin (bounds.getWidth(), bounds.getHeight()) / 2.0f;
    if (radius < 4.0f)
        return;

    const auto centre = bounds.getCentre();
    const float ring = juce::jmax (2.0f, radius * 0.2f);
    const float arcRadius = radius - ring / 2.0f;
    const float angle = startAngle + juce::jlimit (0.0f, 1.0f, position) * (endAngle - startAngle);

    g.setColour (knobBody);
    g.fillEllipse (juce::Rectangle<float> (2.0f * (radius - ring), 2.0f * (radius - ring)).withCentre (centre));

    const juce::PathStrokeType stroke (ring, juce::PathStrokeType::curved, juce::PathStrokeType::butt);
    juce::Path track;
    track.addCentredArc (centre.x, centre.y, arcRadius, arcRadius, 0.0f, startAngle, endAngle, true);
    g.setColour (slider.findColour (juce::Slider::rotarySliderOutlineColourId));
    g.strokePath (track, stroke);

    if (slider.isEnabled() && angle > startAngle)
    {
        juce::Path value;
        value.addCentredArc (centre.x, centre.y, arcRadius, arcRadius, 0.0f, startAngle, angle, true);
        g.setColour (slider.findColour (juce::Slider::rotarySliderFillColourId));
        g.strokePath (value, stroke);
    }

    // Angles run clockwise from twelve o'clock.
    const auto tip = centre.getPointOnCircumference (radius - ring, angle);
    g.setColour (slider.findColour (juce::Slider::thumbColourId));
    g.drawLine ({ centre, tip }, juce::jmax (2.0f, ring * 0.75f));
}

juce::CaretComponent* PageLookAndFeel::createCaretComponent (juce::Component* keyFocusOwner)
{
    return new FocusCaret (keyFocusOwner);
}

juce::Font PageLookAndFeel::textFont()
{
    return juce::Font (15.0f, juce::Font::plain);
}

void PageLookAndFeel::styleTransparentEntry (EntryField& entry, int maxLength)
{
    if (maxLength > 0)
        entry.setInputRestrictions (maxLength);
    entry.setColour (juce::TextEditor::textColourId, Palette::textGrey);
    entry.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
    entry.setColour (juce::TextEditor::outlineColourId, Palette::boxOutline);
    entry.setColour (juce::TextEditor::focusedOutlineColourId, Palette::boxOutline);
    entry.setColour (juce::CaretComponent::caretColourId, caret);
    entry.setFont (textFont());
}

void PageLookAndFeel::styleSwitchButton (juce::TextButton& button, juce::Colour faceWhenOn)
{
    button.setColour (juce::TextButton::buttonColourId, Palette::plate);
    button.setColour (juce::TextButton::buttonOnColourId, faceWhenOn);
    button.setColour (juce::TextButton::textColourOffId, Palette::amber);
    button.setColour (juce::TextButton::textColourOnId, Palette::textGrey);
}

void PageLookAndFeel::styleLitButton (juce::TextButton& button, juce::Colour faceWhenOn)
{
    button.setColour (juce::TextButton::buttonOnColourId, faceWhenOn);
    button.setColour (juce::TextButton::textColourOnId, juce::Colours::black);
}
