// One band's column of a Parametric EQ tab: where its controls sit and how they look.

#include "PeqBandColumn.h"

#include "EntryNumber.h"

#include "Cpeq.h"
#include "NumberText.h"
#include "PageLookAndFeel.h"
#include "Palette.h"

#include <cmath>

namespace
{
    const juce::Colour transparent { 0x00000000 };
    const juce::Colour valueBoxOutline { 0x50ffffff };
    const juce::Colour caret { 0xfff0ffff };

    constexpr int freqTextLength = 8;
    constexpr int qualTextLength = 13;

    /** The type lists are 60 pixels wide: a smaller font and a narrow arrow leave room for
        "LS12" and "HS12". */
    class TypeListLook : public PageLookAndFeel
    {
    public:
        void drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int,
                           juce::ComboBox& box) override
        {
            const auto bounds = juce::Rectangle<int> (0, 0, width, height).toFloat();
            g.setColour (box.findColour (juce::ComboBox::backgroundColourId));
            g.fillRoundedRectangle (bounds, 3.0f);
            g.setColour (box.findColour (juce::ComboBox::outlineColourId));
            g.drawRoundedRectangle (bounds.reduced (0.5f), 3.0f, 1.0f);

            const auto arrow = juce::Rectangle<float> ((float) width - arrowWidth - 2.0f, 0.0f, arrowWidth,
                                                       (float) height);
            juce::Path path;
            path.startNewSubPath (arrow.getX() + 2.0f, arrow.getCentreY() - 2.0f);
            path.lineTo (arrow.getCentreX(), arrow.getCentreY() + 2.0f);
            path.lineTo (arrow.getRight() - 2.0f, arrow.getCentreY() - 2.0f);
            g.setColour (box.findColour (juce::ComboBox::arrowColourId).withAlpha (box.isEnabled() ? 0.9f : 0.2f));
            g.strokePath (path, juce::PathStrokeType (1.5f));
        }

        juce::Font getComboBoxFont (juce::ComboBox&) override { return juce::Font (13.0f); }

        void positionComboBoxText (juce::ComboBox& box, juce::Label& label) override
        {
            label.setBounds (1, 1, box.getWidth() - (int) arrowWidth - 3, box.getHeight() - 2);
            label.setFont (getComboBoxFont (box));
        }

    private:
        static constexpr float arrowWidth = 11.0f;
    };

    void styleEntry (juce::TextEditor& entry, int maxLength)
    {
        entry.setInputRestrictions (maxLength);
        entry.setColour (juce::TextEditor::backgroundColourId, transparent);
        entry.setColour (juce::TextEditor::outlineColourId, transparent);
        entry.setColour (juce::TextEditor::focusedOutlineColourId, valueBoxOutline);
        entry.setColour (juce::CaretComponent::caretColourId, caret);
        entry.setFont (PageLookAndFeel::textFont());
    }

    void styleLabel (juce::Label& label)
    {
        label.setFont (PageLookAndFeel::textFont());
        label.setJustificationType (juce::Justification::centredLeft);
    }
}

PeqBandColumn::GainKnob::GainKnob()
    : juce::Slider (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::TextBoxBelow)
{
    setRange (-15.0, 15.0, 0.5);
    setTextBoxStyle (juce::Slider::TextBoxBelow, false, 80, 20);
    setColour (juce::Slider::textBoxTextColourId, Palette::textGrey);
    setColour (juce::Slider::textBoxBackgroundColourId, transparent);
    setColour (juce::Slider::textBoxOutlineColourId, valueBoxOutline);
}

double PeqBandColumn::GainKnob::getValueFromText (const juce::String& text)
{
    // The same number text as every entry; what holds no number keeps the gain.
    float typed = 0.0f;
    if (! readEntryNumber (text, typed))
        return getValue();
    return juce::jlimit (getMinimum(), getMaximum(), (double) typed);
}

juce::String PeqBandColumn::GainKnob::getTextFromValue (double value)
{
    char text[16] {};
    formatText (text, sizeof text, "%+5.1f", value);
    return juce::String (text).trim();
}

PeqBandColumn::PeqBandColumn (juce::Component& tab, int bandIndex, Cpeq& bandBlock)
    : band (bandIndex),
      block (bandBlock),
      filterButton ("Filter " + juce::String (bandIndex + 1))
{
    const int x0 = columnX (band);
    const auto number = juce::String (band + 1);

    filterButton.setTooltip ("enable/disable");
    filterButton.setClickingTogglesState (true);
    filterButton.setColour (juce::TextButton::buttonColourId, Palette::plate);
    filterButton.setColour (juce::TextButton::buttonOnColourId, Palette::plate);
    filterButton.setColour (juce::TextButton::textColourOffId, Palette::amber);
    filterButton.setColour (juce::TextButton::textColourOnId, Palette::textGrey);
    place (tab, filterButton, "filterButton" + number, { x0, 4, 68, 24 });

    gainKnob.setName ("EQ gain ");
    place (tab, gainKnob, "gainKnob" + number, { x0, 32, 48, 60 });
    styleLabel (dbLabel);
    place (tab, dbLabel, "dbLabel" + number, { x0 + 48, 73, 26, 18 });

    freqKnob.bind (*block.freq);
    place (tab, freqKnob, "freqKnob" + number, { x0 + 4, 100, 40, 40 });
    place (tab, freqEditor, "freqEditor" + number, { x0, 140, 48, 20 });
    styleEntry (freqEditor, freqTextLength);
    freqEditor.bind (*block.freq);
    styleLabel (hzLabel);
    place (tab, hzLabel, "hzLabel" + number, { x0 + 46, 142, 26, 18 });

    qualKnob.bind (*block.qual);
    place (tab, qualKnob, "qualKnob" + number, { x0 + 4, 164, 40, 40 });
    place (tab, qualEditor, "qualEditor" + number, { x0, 204, 48, 20 });
    styleEntry (qualEditor, qualTextLength);
    qualEditor.bind (*block.qual);

    for (int type = 1; type < 6; ++type)   // the item id is the type step; "OFF" has none
        typeCombo.addItem (Cpeq::typeLabels[type], type);
    typeCombo.setTextWhenNoChoicesAvailable ("(no choices)");
    typeCombo.setSelectedId (1, juce::dontSendNotification);
    typeListLook = std::make_unique<TypeListLook>();
    typeCombo.setLookAndFeel (typeListLook.get());
    place (tab, typeCombo, "typeCombo" + number, { x0, 232, 60, 20 });
}

PeqBandColumn::~PeqBandColumn()
{
    typeCombo.setLookAndFeel (nullptr);
}

void PeqBandColumn::place (juce::Component& tab, juce::Component& widget, const juce::String& id,
                           juce::Rectangle<int> bounds)
{
    widget.setComponentID (id);
    widget.setBounds (bounds);
    tab.addAndMakeVisible (widget);
}

void PeqBandColumn::showBand()
{
    const int type = block.type->getStep();
    filterButton.setToggleState (type >= 1, juce::dontSendNotification);
    if (type >= 1)
        typeCombo.setSelectedId (type, juce::dontSendNotification);

    freqEditor.showValue();
    freqKnob.showParam();
    gainKnob.setValue (block.gain->getValue(), juce::dontSendNotification);
    qualKnob.showParam();
    qualEditor.showValue();
    showQualityForSelectedType();
}

void PeqBandColumn::showQualityForSelectedType()
{
    const bool peaking = typeCombo.getSelectedId() < 2;
    qualKnob.setVisible (peaking);
    qualEditor.setVisible (peaking);
}
