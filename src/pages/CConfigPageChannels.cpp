// The Configuration page's channel controls: delay in ms, metres and feet, polarity, the peak
// limiter in dBfs and volts peak with the power it means, the speaker load or line voltage,
// and "Channel Link".  Part of CConfigPage; the frame and the mode are in CConfigPage.cpp.

#include "CConfigPage.h"

#include "Cdelay.h"
#include "Ciospeaker.h"
#include "Climiter.h"
#include "EditPath.h"
#include "EntryNumber.h"

#include <cmath>
#include <utility>

namespace
{
    /** Load in ohms by load list item id (0: nothing chosen, 1: " -"). */
    constexpr int loadOhms[] = { 0, 0, 2, 4, 8, 16 };
    /** Line voltage by output list item id on the constant-voltage models. */
    constexpr int lineVolts[] = { 0, 100, 70 };
    constexpr int lastLoadId = 5;

    const char* const noPower = " - ";

    int other (int c)
    {
        return 1 - c;
    }

    void copyStep (const Cparam& from, Cparam& to)
    {
        to.setStep (from.getStep());
    }

    /** The load list item that shows speaker value `value`; 0 for none. */
    int loadIdOfSpeakerValue (int value)
    {
        switch (value)
        {
            case 0: return 1;
            case 2: return 2;
            case 4: return 3;
            case 8: return 4;
            case 16: return 5;
            case 70: return 2;
            case 100: return 1;
            default: return 0;
        }
    }
}

//==============================================================================
// Mode and model

void CConfigPage::applyModeToChannels (AmpMode mode)
{
    if (followA)
        copyStep (*delay[0]->del, *delay[1]->del);   // the polarity stays B's own
    else
        refreshDelay (1);

    channels[0].group.setText (mode == AmpMode::stereo ? "Channel A+B" : "Channel A");
    updateChannelBVisibility();

    if (followA)
    {
        copyStep (*limiter[0]->thres, *limiter[1]->thres);
        copyStep (*limiter[0]->rel, *limiter[1]->rel);
        copyStep (*limiter[0]->hold, *limiter[1]->hold);
    }
    else
    {
        refreshLimiter (1);
    }

    // Bridged, channel A shows twice the voltage and four times the power.
    refreshLimiter (0);
}

void CConfigPage::applyModelToLoads()
{
    const bool lineVoltage = lineVoltageModel();
    for (auto& channel : channels)
        channel.fillLoadList (lineVoltage);
    updateChannelBVisibility();

    // Nothing is chosen until the amplifier reports its speaker or the user picks one; the
    // lists are refilled without reporting a change, so a new model never makes the page
    // send a load of "none" (or a limiter) to the amplifier on its own.
    loadId[0] = loadId[1] = 0;

    // The full scale changes with the model: the knobs show the thresholds in its dBfs.
    for (int c = 0; c < 2; ++c)
    {
        refreshLimiter (c);
        if (lineVoltage)
            channels[c].powerDisplay.setText (noPower, false);
    }
}

void CConfigPage::updateChannelBVisibility()
{
    channels[1].setFollowingWidgetsVisible (! followA);
    linkButton.setVisible (! followA);

    const bool lineVoltage = lineVoltageModel();
    for (int c = 0; c < 2; ++c)
    {
        const bool shown = c == 0 || ! followA;
        channels[c].outputLabel.setVisible (shown && lineVoltage);
        channels[c].loadLabel.setVisible (shown && ! lineVoltage);
    }
}

void CConfigPage::sendDelay (int c)
{
    // Channel A's edits are copied into channel B while it follows (only A is sent).
    EditPath::blockEdited (*delay[c], c == 0 && followA ? delay[1] : nullptr);
}

void CConfigPage::sendLimiter (int c)
{
    EditPath::blockEdited (*limiter[c], c == 0 && followA ? limiter[1] : nullptr);
}

bool CConfigPage::linkedToOther() const
{
    // While channel B follows channel A it mirrors A's parameters and is never sent, link
    // or not (the link button is hidden then).
    return channelLinked && ! followA;
}

//==============================================================================
// Delay

void CConfigPage::bindEntries (int c)
{
    auto& channel = channels[c];
    ValueEntry* entries[] = { &channel.msEntry, &channel.metreEntry, &channel.feetEntry };
    for (int unit = 0; unit < 3; ++unit)
    {
        entries[unit]->bind ({ [this, c, unit]
                               { return juce::String (delay[c]->del->getValue() * delayUnitFactor[unit], 2); },
                               [this, c, unit] (const juce::String& typed) { return readDelay (c, unit, typed); } });
        entries[unit]->onCommit = [this, c]
        {
            if (std::exchange (delayEntryRead[c], false))
                delayEdited (c, delay[c]->del->getValue());
        };
    }

    channel.vpEntry.bind (
        { [this, c] { return vpText (c); }, [this, c] (const juce::String& typed) { return readVp (c, typed); } });
    channel.vpEntry.onCommit = [this, c]
    {
        if (std::exchange (vpEntryRead[c], false))
            vpEntered (c);
    };
}

bool CConfigPage::readDelay (int c, int unit, const juce::String& typed)
{
    float value = 0.0f;
    if (! readEntryNumber (typed, value))
        return false;

    delay[c]->del->setValue (value / delayUnitFactor[unit]);   // clamped to 0..300 ms
    delayEntryRead[c] = true;
    return true;
}

void CConfigPage::delayEdited (int c, float ms)
{
    updateDelay (c, ms);
    channels[c].delayKnob.setValue (delay[c]->del->getValue(), juce::dontSendNotification);

    if (linkedToOther())
    {
        const int o = other (c);
        channels[o].delayKnob.setValue (ms, juce::dontSendNotification);
        updateDelay (o, ms);
        sendDelay (o);
    }

    sendDelay (c);
}

void CConfigPage::updateDelay (int c, float ms)
{
    delay[c]->del->setValue (ms);

    auto& channel = channels[c];
    for (auto* entry : { &channel.msEntry, &channel.metreEntry, &channel.feetEntry })
        entry->showValue();

    if (c == 0 && followA)
        copyStep (*delay[0]->del, *delay[1]->del);

    globals::blockActive.set (ChainBlock::delay, c, delay[c]->del->getValue() > 0.0f);
    repaintDiagram();
}

void CConfigPage::refreshDelay (int c)
{
    const float ms = delay[c]->del->getValue();
    const bool inverted = delay[c]->pol->getStep() != 0;

    auto& channel = channels[c];
    channel.phaseButton.setToggleState (inverted, juce::dontSendNotification);
    channel.delayKnob.setValue (ms, juce::dontSendNotification);
    (inverted ? channel.oneEightyDegrees : channel.zeroDegrees).setToggleState (true, juce::dontSendNotification);

    updateDelay (c, ms);
}

//==============================================================================
// Polarity

void CConfigPage::polarityClicked (int c, int degrees)
{
    setPolarity (c, degrees);
    channels[c].phaseButton.setToggleState (degrees != 0, juce::dontSendNotification);

    if (linkedToOther())
    {
        setPolarity (other (c), degrees);
        channels[other (c)].phaseButton.setToggleState (degrees != 0, juce::dontSendNotification);
    }
}

void CConfigPage::phaseClicked (int c)
{
    const bool inverted = channels[c].phaseButton.getToggleState();
    setPolarity (c, inverted ? 180 : 0);

    if (linkedToOther())
    {
        setPolarity (other (c), inverted ? 180 : 0);
        channels[other (c)].phaseButton.setToggleState (inverted, juce::dontSendNotification);
    }
}

void CConfigPage::setPolarity (int c, int degrees)
{
    delay[c]->pol->setStep (degrees);
    auto& channel = channels[c];
    (degrees == 0 ? channel.zeroDegrees : channel.oneEightyDegrees).setToggleState (true, juce::dontSendNotification);

    if (c == 0 && followA)
        copyStep (*delay[0]->pol, *delay[1]->pol);

    // The delay block carries the polarity.
    sendDelay (c);
}

//==============================================================================
// Limiter

void CConfigPage::thresholdEdited (int c, float dbfs)
{
    updateThreshold (c, dbfs);

    if (linkedToOther())
    {
        channels[other (c)].thresholdKnob.setValue (dbfs, juce::dontSendNotification);
        updateThreshold (other (c), dbfs);
    }
}

void CConfigPage::updateThreshold (int c, float dbfs)
{
    limiter[c]->thres->setValue (fullScaleVp() * std::pow (10.0f, 0.05f * dbfs));

    if (! lineVoltageModel())
        updatePower (c, limiter[c]->thres->getValue());
    channels[c].vpEntry.showValue();

    globals::blockActive.set (ChainBlock::limiter, c, dbfs < 0.0f);
    repaintDiagram();

    if (c == 0 && followA)
        copyStep (*limiter[0]->thres, *limiter[1]->thres);

    sendLimiter (c);
}

void CConfigPage::releaseOrHoldEdited (int c, bool release, float ms)
{
    const auto paramOf = [release] (Climiter& block) { return release ? block.rel : block.hold; };
    const auto knobOf = [release] (ConfigChannelGroup& channel) -> juce::Slider&
    { return release ? channel.releaseKnob : channel.holdKnob; };

    paramOf (*limiter[c])->setValue (ms);
    if (c == 0 && followA)
        copyStep (*paramOf (*limiter[0]), *paramOf (*limiter[1]));
    sendLimiter (c);

    if (linkedToOther())
    {
        const int o = other (c);
        knobOf (channels[o]).setValue (ms, juce::dontSendNotification);
        paramOf (*limiter[o])->setValue (ms);
        sendLimiter (o);
    }
}

bool CConfigPage::readVp (int c, const juce::String& typed)
{
    float vp = 0.0f;
    if (! readEntryNumber (typed, vp))
        return false;

    // Bridged, the entry shows the voltage across both outputs: twice the channel's.  It is
    // halved before the parameter clamps it, so that 180 stays 90 rather than 165 / 2.
    if (bridged)
        vp = vp / 2.0f;

    auto& thres = *limiter[c]->thres;
    thres.setValue (vp);   // 0.1 .. 165 Vp
    if (thres.getValue() > fullScaleVp())
        thres.setValue (fullScaleVp());

    vpEntryRead[c] = true;
    return true;
}

void CConfigPage::vpEntered (int c)
{
    refreshLimiter (c);
    if (c == 0 && followA)
        copyStep (*limiter[0]->thres, *limiter[1]->thres);
    sendLimiter (c);

    if (linkedToOther())
    {
        const int o = other (c);
        copyStep (*limiter[c]->thres, *limiter[o]->thres);
        refreshLimiter (o);
        sendLimiter (o);
    }
}

void CConfigPage::refreshLimiter (int c)
{
    const float fullScale = fullScaleVp();
    const float vp = juce::jmin (limiter[c]->thres->getValue(), fullScale);
    const float dbfs = 20.0f * std::log10 (vp / fullScale);

    if (! lineVoltageModel())
        updatePower (c, vp);

    auto& channel = channels[c];
    channel.vpEntry.showValue();
    channel.thresholdKnob.setValue (dbfs, juce::dontSendNotification);
    channel.releaseKnob.setValue (limiter[c]->rel->getValue(), juce::dontSendNotification);
    channel.holdKnob.setValue (limiter[c]->hold->getValue(), juce::dontSendNotification);

    globals::blockActive.set (ChainBlock::limiter, c, dbfs < -0.01f);
    repaintDiagram();
}

void CConfigPage::updatePower (int c, float vp)
{
    const int id = loadId[c];
    if (id <= 1 || id > lastLoadId)
    {
        channels[c].powerDisplay.setText (noPower, false);
        return;
    }

    // The sine power that reaches the threshold into the load; bridged, the output swings
    // twice the voltage.
    const float watts = vp * vp / (float) loadOhms[id] * 0.5f * (bridged ? 4.0f : 1.0f);
    channels[c].powerDisplay.setText (juce::String (watts, 1), false);
}

juce::String CConfigPage::vpText (int c) const
{
    const float vp = juce::jmin (limiter[c]->thres->getValue(), fullScaleVp());
    return juce::String (bridged ? 2.0f * vp : vp, 1);
}

//==============================================================================
// Load and line output

void CConfigPage::loadChosen (int c)
{
    auto& list = channels[c].loadList;
    int id = list.getSelectedId();

    // A TARVO-4 takes no 2 Ohm load, and bridged outputs none at all.
    if (! ModelTable::takesTwoOhmLoad (deviceModel) && id == 2)
    {
        id = 3;
        list.setSelectedId (id, juce::dontSendNotification);
    }
    if (c == 0 && ampMode == AmpMode::bridge && id == 2)
    {
        id = 1;
        list.setSelectedId (id, juce::dontSendNotification);
    }

    loadId[c] = id;
    const bool bothChannels = channelLinked || lineVoltageModel();
    if (bothChannels)
    {
        loadId[other (c)] = id;
        channels[other (c)].loadList.setSelectedId (id, juce::dontSendNotification);
    }

    // A load (or a mode) changes what the threshold means, not the threshold: the stored
    // value goes out as it is.  Read back from the knob it would come back rounded to its
    // tenths of a dB and raised to its -36 dBfs.
    refreshLimiter (c);
    if (bothChannels)
        refreshLimiter (other (c));
    if (c == 0 && followA)
        copyStep (*limiter[0]->thres, *limiter[1]->thres);
    sendLimiter (c);

    setSpeakerFromLoad();
}

void CConfigPage::setSpeakerFromLoad()
{
    // The amplifier has one speaker setting, channel A's.
    const int id = loadId[0];
    int value = 0;
    if (lineVoltageModel())
        value = id >= 0 && id <= 2 ? lineVolts[id] : 0;
    else
        value = id >= 0 && id <= lastLoadId ? loadOhms[id] : 0;

    speaker->value->setStep (value);
    if (ModelTable::isZr (deviceModel))
        EditPath::standaloneBlockEdited (*speaker, "/speaker");
}

void CConfigPage::refreshLoads()
{
    int id = loadIdOfSpeakerValue (speaker->value->getStep());
    if (lineVoltageModel() && id > 2)
        id = 0;
    if (! ModelTable::takesTwoOhmLoad (deviceModel) && id == 2)
        id = 3;

    for (int c = 0; c < 2; ++c)
    {
        loadId[c] = id;
        channels[c].loadList.setSelectedId (id, juce::dontSendNotification);
        if (! lineVoltageModel())
            updatePower (c, juce::jmin (limiter[c]->thres->getValue(), fullScaleVp()));
    }
}

//==============================================================================
// Channel Link

void CConfigPage::linkClicked()
{
    channelLinked = linkButton.getToggleState();
    if (! channelLinked)
        return;

    // From now on every channel setting applies to both: B starts as a copy of A.
    copyStep (*delay[0]->del, *delay[1]->del);
    copyStep (*delay[0]->pol, *delay[1]->pol);
    refreshDelay (1);

    copyStep (*limiter[0]->thres, *limiter[1]->thres);
    copyStep (*limiter[0]->rel, *limiter[1]->rel);
    copyStep (*limiter[0]->hold, *limiter[1]->hold);
    loadId[1] = loadId[0];
    channels[1].loadList.setSelectedId (loadId[1], juce::dontSendNotification);
    for (auto block : { ChainBlock::delay, ChainBlock::limiter })
        globals::blockActive.set (block, 1, globals::blockActive.get (block, 0));
    refreshLimiter (1);

    sendDelay (1);
    sendLimiter (1);
    repaintDiagram();
}
