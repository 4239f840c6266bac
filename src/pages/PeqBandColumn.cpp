// One band's column of a Parametric EQ tab: where its controls sit and how they look.

#include "PeqBandColumn.h"

#include "Cpeq.h"
#include "PageLookAndFeel.h"
#include "PlaceChild.h"

namespace
{
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
    PageLookAndFeel::styleSwitchButton (filterButton);
    placeChild (tab, filterButton, "filterButton" + number, { x0, 4, 68, 24 });

    gainKnob.bind (*block.gain);
    placeChild (tab, gainKnob, "gainKnob" + number, { x0, 32, 48, 60 });
    placeLabel (tab, dbLabel, "dbLabel" + number, { x0 + 48, 73, 26, 18 }, juce::Justification::centredLeft);

    placeStepControls (tab, freqKnob, freqEditor, *block.freq, "freq", number, 100, freqTextLength);
    placeLabel (tab, hzLabel, "hzLabel" + number, { x0 + 46, 142, 26, 18 }, juce::Justification::centredLeft);
    placeStepControls (tab, qualKnob, qualEditor, *block.qual, "qual", number, 164, qualTextLength);

    for (int type = 1; type < 6; ++type)   // the item id is the type step; "OFF" has none
        typeCombo.addItem (Cpeq::typeLabels[type], type);
    typeCombo.setTextWhenNoChoicesAvailable ("(no choices)");
    typeCombo.setSelectedId (1, juce::dontSendNotification);
    typeListLook = std::make_unique<TypeListLook>();
    typeCombo.setLookAndFeel (typeListLook.get());
    placeChild (tab, typeCombo, "typeCombo" + number, { x0, 232, 60, 20 });
}

PeqBandColumn::~PeqBandColumn()
{
    typeCombo.setLookAndFeel (nullptr);
}

void PeqBandColumn::placeStepControls (juce::Component& tab, ParamKnob& knob, ValueEntry& entry, Cparam& param,
                                       const juce::String& role, const juce::String& number, int knobTop, int maxLength)
{
    // The knob over the parameter's whole steps, the entry with its text right below.
    const int x0 = columnX (band);
    knob.bind (param);
    placeChild (tab, knob, role + "Knob" + number, { x0 + 4, knobTop, 40, 40 });
    placeChild (tab, entry, role + "Editor" + number, { x0, knobTop + 40, 48, 20 });
    PageLookAndFeel::styleTransparentEntry (entry, maxLength);
    entry.bind (param);
}

void PeqBandColumn::showBand()
{
    const int type = block.type->getStep();
    filterButton.setToggleState (type >= 1, juce::dontSendNotification);
    if (type >= 1)
        typeCombo.setSelectedId (type, juce::dontSendNotification);

    freqEditor.showValue();
    freqKnob.showParam();
    gainKnob.showParam();
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
