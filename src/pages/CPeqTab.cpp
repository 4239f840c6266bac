#include "CPeqTab.h"

#include "AmpMode.h"
#include "Cpeq.h"
#include "Croot.h"
#include "Dialogs.h"
#include "EditPath.h"
#include "Globals.h"

#include <cmath>

namespace
{
    // "Reset": the bands' frequencies, as typed.
    const char* const resetFrequencies[CPeqTab::bandCount] = { "40",   "100",  "200",  "400",
                                                               "1000", "2000", "4000", "10000" };
    constexpr int resetQualityStep = 9;   // 0.1 x 100^(9/100): "0.15"
    constexpr int peakingType = 1;

    enum ControlValue
    {
        frequency = 1,
        gain = 2,
        quality = 3
    };

    Cpeq* findBand (Croot& root, int channelNumber, int bandNumber)
    {
        const auto path = "channel/" + juce::String (channelNumber) + "/peq/" + juce::String (bandNumber);
        return dynamic_cast<Cpeq*> (findNode (&root, path.toRawUTF8(), path.length()));
    }
}

CPeqTab::CPeqTab (Croot& root, int channelIndex, Dialogs& dialogBoxes)
    : dialogs (dialogBoxes),
      channel (channelIndex)
{
    setLookAndFeel (&look.get());
    setName ("PeqTab");
    setSize (720, 260);

    for (int k = 0; k < bandCount; ++k)
    {
        bands[(size_t) k] = findBand (root, channel + 1, k + 1);
        jassert (bands[(size_t) k] != nullptr);
        if (channel == 0)
            channelBBands[(size_t) k] = findBand (root, 2, k + 1);
    }

    for (int k = 0; k < bandCount; ++k)
    {
        auto& column = *(columns[(size_t) k] = std::make_unique<PeqBandColumn> (*this, k, *bands[(size_t) k]));
        column.filterButton.addListener (this);
        column.gainKnob.addListener (this);
        column.freqKnob.addListener (this);
        column.qualKnob.addListener (this);
        column.typeCombo.addListener (this);
        column.freqEditor.onCommit = [this, k] { commitEntry (k, columns[(size_t) k]->freqKnob); };
        column.qualEditor.onCommit = [this, k] { commitEntry (k, columns[(size_t) k]->qualKnob); };
        // An entry left without Return shows the value again, and the band is sent as it is.
        column.freqEditor.onRevert = [this, k] { bandEdited (k); };
        column.qualEditor.onRevert = [this, k] { bandEdited (k); };
    }
    buildControls();

    for (auto* band : bands)
        band->addChangeListener (this);
}

CPeqTab::~CPeqTab()
{
    for (auto* band : bands)
        band->removeChangeListener (this);
    // Entries losing the focus while the window goes must not send any more.
    for (auto& column : columns)
    {
        column->freqEditor.onRevert = column->qualEditor.onRevert = nullptr;
        column->freqEditor.onCommit = column->qualEditor.onCommit = nullptr;
    }
    setLookAndFeel (nullptr);
}

Cpeq* CPeqTab::handleBand (int band)
{
    return band >= 0 && band < bandCount ? bands[(size_t) band] : nullptr;
}

int CPeqTab::bandOfControl (const juce::Component* control) const
{
    for (int k = 0; k < bandCount; ++k)
        if (columns[(size_t) k]->owns (control))
            return k;
    return -1;
}

//==============================================================================
void CPeqTab::changeListenerCallback (juce::ChangeBroadcaster* block)
{
    const auto found = std::find (bands.begin(), bands.end(), block);
    if (found == bands.end())
        return;
    const int k = (int) (found - bands.begin());

    // A band on again that "Bypass" had switched off (an undo, a preset, the amplifier):
    // the bypass is over, and the button must not say otherwise.
    if (bypassed && bands[(size_t) k]->type->getStep() > 0)
        leaveBypass();

    columns[(size_t) k]->showBand();
    bandChanged (k);
}

void CPeqTab::bandEdited (int k)
{
    if (k < 0 || k >= bandCount)
        return;

    sendBand (k);
    bandChanged (k);
    selectionFrame.setBounds (75 + 80 * k, 22, 85, 240);
}

void CPeqTab::sendBand (int k)
{
    // While channel B follows, it takes every edit of A, but only A's band is sent.
    if (followA)
        copyBandToChannelB (k);
    EditPath::blockEdited (*bands[(size_t) k], followA ? channelBBands[(size_t) k] : nullptr);
}

void CPeqTab::bandChanged (int k)
{
    if (onBandChanged)
        onBandChanged (k);
    updatePeqActive();
}

void CPeqTab::updatePeqActive()
{
    const bool active = std::any_of (bands.begin(), bands.end(),
                                     [] (const Cpeq* band)
                                     { return band->type->getStep() > 0 && band->gain->getValue() != 0.0f; });
    globals::blockActive.set (ChainBlock::peq, channel, active);
}

void CPeqTab::copyBandToChannelB (int k)
{
    const auto* a = bands[(size_t) k];
    auto* b = channelBBands[(size_t) k];
    if (b == nullptr)
        return;
    b->type->setStep (a->type->getStep());
    b->freq->setValue (a->freq->getValue());   // keeps a typed frequency between whole steps
    b->gain->setValue (a->gain->getValue());
    b->qual->setValue (a->qual->getValue());
}

//==============================================================================
void CPeqTab::setBandType (int step, int k)
{
    bands[(size_t) k]->type->setStep (step);
    if (step > 0)
        columns[(size_t) k]->typeCombo.setSelectedId (step, juce::dontSendNotification);
    bandEdited (k);
}

void CPeqTab::setBandFromControl (int k, int what, double x)
{
    auto& band = *bands[(size_t) k];
    auto& column = *columns[(size_t) k];
    if (what == frequency)
    {
        band.freq->setStep ((int) x);
        column.freqEditor.showValue();
    }
    else if (what == gain)
    {
        band.gain->setValue ((float) x);
    }
    else if (what == quality)
    {
        if (x <= 100.0)
            band.qual->setStep ((int) x);
        column.qualEditor.showValue();
    }
}

void CPeqTab::commitEntry (int k, ParamKnob& knob)
{
    knob.showParam();
    bandEdited (k);
}

void CPeqTab::sliderValueChanged (juce::Slider* slider)
{
    const int k = bandOfControl (slider);
    if (k < 0)
        return;
    auto& column = *columns[(size_t) k];
    const double value = slider->getValue();
    if (slider == &column.gainKnob)
        setBandFromControl (k, gain, value);
    else if (slider == &column.freqKnob)
        setBandFromControl (k, frequency, value);
    else
        setBandFromControl (k, quality, value);
    bandEdited (k);
}

void CPeqTab::comboBoxChanged (juce::ComboBox* combo)
{
    const int k = bandOfControl (combo);
    if (k < 0)
        return;
    auto& column = *columns[(size_t) k];
    if (column.filterButton.getToggleState())
        setBandType (column.selectedType(), k);
    column.showQualityForSelectedType();
}

void CPeqTab::buttonClicked (juce::Button* button)
{
    if (button == &bypassButton)
    {
        setBypass (bypassButton.getToggleState());
        return;
    }
    if (button == &resetButton)
    {
        resetFilters();
        return;
    }
    const int k = bandOfControl (button);
    if (k >= 0)
    {
        auto& column = *columns[(size_t) k];
        setBandType (column.filterButton.getToggleState() ? column.selectedType() : 0, k);
    }
}

void CPeqTab::setBypass (bool on)
{
    bypassed = on;
    if (on)
    {
        for (int k = 0; k < bandCount; ++k)
        {
            auto& button = columns[(size_t) k]->filterButton;
            filterWasOn[(size_t) k] = button.getToggleState();
            button.setToggleState (false, juce::dontSendNotification);
        }
        for (int k = 0; k < bandCount; ++k)
            if (filterWasOn[(size_t) k])
                setBandType (0, k);
    }
    else
    {
        for (int k = 0; k < bandCount; ++k)
        {
            if (! filterWasOn[(size_t) k])
                continue;
            auto& column = *columns[(size_t) k];
            column.filterButton.setToggleState (true, juce::dontSendNotification);
            setBandType (column.selectedType(), k);
        }
    }
    // While bypassed a band button stays off, and clicking it sends its band as "OFF".
    for (auto& column : columns)
        column->filterButton.setClickingTogglesState (! bypassed);
}

void CPeqTab::applyEdit (const Edit& edit)
{
    if (edit.bypass && *edit.bypass != bypassButton.getToggleState())
        bypassButton.setToggleState (*edit.bypass, juce::sendNotificationSync);

    if (edit.band < 0 || edit.band >= bandCount)
        return;
    auto& column = *columns[(size_t) edit.band];
    const auto turn = [] (juce::Slider& knob, const std::optional<double>& value)
    {
        if (value && std::isfinite (*value))
            knob.setValue (*value, juce::sendNotificationSync);
    };

    // The list first: switching the band on then sends the type just chosen.
    if (edit.type && *edit.type >= 1 && *edit.type < Cpeq::typeCount)
        column.typeCombo.setSelectedId (*edit.type, juce::sendNotificationSync);
    if (edit.on && ! bypassed && *edit.on != column.filterButton.getToggleState())
        column.filterButton.setToggleState (*edit.on, juce::sendNotificationSync);
    turn (column.gainKnob, edit.gain);
    turn (column.freqKnob, edit.freqStep);
    turn (column.qualKnob, edit.qualStep);
}

void CPeqTab::setFollowMode (AmpMode mode)
{
    followA = mode.followsA();
    if (followA)
        for (int k = 0; k < bandCount; ++k)
            copyBandToChannelB (k);

    leaveBypass();
}

void CPeqTab::leaveBypass()
{
    bypassed = false;
    bypassButton.setToggleState (false, juce::dontSendNotification);
    // With "Bypass" shown off, the band buttons must work again.
    for (auto& column : columns)
        column->filterButton.setClickingTogglesState (true);
}

void CPeqTab::resetFilters()
{
    dialogs.askOkCancel (Dialogs::Icon::question, TRANS ("Reset Parametric EQ..."),
                         TRANS ("Do you want to reset all filters?"), TRANS ("Yes"), TRANS ("Cancel"),
                         [tab = juce::Component::SafePointer<CPeqTab> (this)] (bool yes)
                         {
                             if (tab != nullptr && yes)
                                 tab->applyReset();
                         });
}

void CPeqTab::applyReset()
{
    for (auto& column : columns)
        column->filterButton.setToggleState (false, juce::dontSendNotification);

    for (int k = 0; k < bandCount; ++k)
    {
        auto& band = *bands[(size_t) k];
        auto& column = *columns[(size_t) k];
        setBandType (peakingType, k);
        band.freq->fromText (resetFrequencies[k]);
        column.freqKnob.showParam();
        column.freqEditor.setText (resetFrequencies[k], false);
        band.gain->setValue (0.0f);
        setBandFromControl (k, quality, resetQualityStep);
        changeListenerCallback (&band);
        sendBand (k);
    }
    globals::blockActive.set (ChainBlock::peq, channel, false);
}
