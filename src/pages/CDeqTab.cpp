#include "CDeqTab.h"

#include "AmpMode.h"
#include "Cdeqcomp.h"
#include "Cdeqfilt.h"
#include "Cdeqtime.h"
#include "Croot.h"
#include "EditPath.h"
#include "Globals.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
    constexpr int bandPassId = 1;

    template <typename Block>
    Block* findBlock (Croot& root, const char* pattern, int channel, int band)
    {
        char path[64] {};
        std::snprintf (path, sizeof path, pattern, channel, band);
        auto* block = dynamic_cast<Block*> (findNode (&root, path, (int) std::strlen (path)));
        jassert (block != nullptr);
        return block;
    }

    void copyValue (Cparam& to, const Cparam& from)
    {
        to.setValue (from.getValue());
    }
}

CDeqTab::CDeqTab (Croot& root, int channelToShow)
    : channel (channelToShow != 0)
{
    setLookAndFeel (&look.get());
    setName ("DeqTab");

    for (int band = 0; band < bandCount; ++band)
    {
        comps[band] = findBlock<Cdeqcomp> (root, "channel/%d/deq/%d/comp", channel + 1, band + 1);
        times[band] = findBlock<Cdeqtime> (root, "channel/%d/deq/%d/time", channel + 1, band + 1);
        filts[band] = findBlock<Cdeqfilt> (root, "channel/%d/deq/%d/filt", channel + 1, band + 1);
        if (channel == 0)
        {
            channelBComps[band] = findBlock<Cdeqcomp> (root, "channel/%d/deq/%d/comp", 2, band + 1);
            channelBTimes[band] = findBlock<Cdeqtime> (root, "channel/%d/deq/%d/time", 2, band + 1);
            channelBFilts[band] = findBlock<Cdeqfilt> (root, "channel/%d/deq/%d/filt", 2, band + 1);
        }

        buildBand (band);
        auto& w = bands[band];
        w.gainKnob.bind (*comps[band]->mgain);
        w.thresholdKnob.bind (*comps[band]->thres);
        w.attackKnob.bind (*times[band]->att);
        w.releaseKnob.bind (*times[band]->rel);
        w.freqKnob.bind (*filts[band]->freq);
        w.qualKnob.bind (*filts[band]->qual);
        w.freqEditor.bind (*filts[band]->freq);
        w.qualEditor.bind (*filts[band]->qual);
        w.freqEditor.onCommit = [this, band] { entryCommitted (band, false); };
        w.qualEditor.onCommit = [this, band] { entryCommitted (band, true); };
        w.freqEditor.onRevert = [this, band] { deqBlockEdited (filtBlockIndex, band); };
        w.qualEditor.onRevert = [this, band] { deqBlockEdited (filtBlockIndex, band); };

        comps[band]->addChangeListener (this);
        times[band]->addChangeListener (this);
        filts[band]->addChangeListener (this);
    }
    setSize (tabWidth, tabHeight);
}

CDeqTab::~CDeqTab()
{
    for (int band = 0; band < bandCount; ++band)
    {
        comps[band]->removeChangeListener (this);
        times[band]->removeChangeListener (this);
        filts[band]->removeChangeListener (this);
        bands[band].typeCombo.setLookAndFeel (nullptr);
        bands[band].ratioCombo.setLookAndFeel (nullptr);
    }
    setLookAndFeel (nullptr);
}

//==============================================================================
void CDeqTab::deqBlockEdited (int block, int band)
{
    // Every edit of channel A passes here, from a control or a handle: while channel B
    // follows, it takes them all, so that it never holds a mixture of A's and its own.
    if (followA)
        copyBlockToChannelB (block, band);

    EditPath::blockEdited (*blockOf (block, band, false), followA ? blockOf (block, band, true) : nullptr);
    if (block != timeBlockIndex)
        bandChanged (band);
}

Cblock* CDeqTab::blockOf (int block, int band, bool channelB) const
{
    if (block == compBlockIndex)
        return channelB ? channelBComps[band] : comps[band];
    if (block == timeBlockIndex)
        return channelB ? channelBTimes[band] : times[band];
    return channelB ? channelBFilts[band] : filts[band];
}

void CDeqTab::copyBlockToChannelB (int block, int band)
{
    if (block == compBlockIndex)
    {
        copyValue (*channelBComps[band]->mgain, *comps[band]->mgain);
        copyValue (*channelBComps[band]->thres, *comps[band]->thres);
        copyValue (*channelBComps[band]->ratio, *comps[band]->ratio);
    }
    else if (block == timeBlockIndex)
    {
        copyValue (*channelBTimes[band]->att, *times[band]->att);
        copyValue (*channelBTimes[band]->rel, *times[band]->rel);
    }
    else
    {
        channelBFilts[band]->type->setStep (filts[band]->type->getStep());
        copyValue (*channelBFilts[band]->freq, *filts[band]->freq);
        copyValue (*channelBFilts[band]->qual, *filts[band]->qual);
    }
}

void CDeqTab::bandChanged (int band)
{
    if (onBandChanged)
        onBandChanged (band);
    updateDeqActive();
}

void CDeqTab::updateDeqActive()
{
    bool active = false;
    for (int band = 0; band < bandCount; ++band)
        active = active || (filts[band]->type->getStep() > 0 && comps[band]->mgain->getValue() != 0.0f);
    globals::blockActive.set (ChainBlock::deq, channel, active);
}

void CDeqTab::setDeqFilterType (int step, int band)
{
    filts[band]->type->setStep (step);
    if (step >= 1)
        bands[band].typeCombo.setSelectedId (step, juce::dontSendNotification);
    deqBlockEdited (filtBlockIndex, band);
}

void CDeqTab::setDeqFromControl (int what, int band, int block, double x)
{
    auto& w = bands[band];
    auto& filt = *filts[band];
    if (block == filtBlockIndex && what == 1)
    {
        filt.freq->setStep ((int) std::trunc (x));
        w.freqEditor.showValue();
    }
    else if (block == filtBlockIndex && what == 2)
    {
        if (x <= 100.0)
            filt.qual->setStep ((int) std::trunc (x));
        w.qualEditor.showValue();
    }
    deqBlockEdited (block, band);
}

void CDeqTab::compressorKnobMoved (int band, bool threshold)
{
    auto& w = bands[band];
    auto* param = threshold ? comps[band]->thres : comps[band]->mgain;
    param->setValue ((float) (threshold ? w.thresholdKnob : w.gainKnob).getValue());
    deqBlockEdited (compBlockIndex, band);
}

void CDeqTab::timeKnobMoved (int band, bool release)
{
    auto& w = bands[band];
    auto* param = release ? times[band]->rel : times[band]->att;
    param->setValue ((float) (release ? w.releaseKnob : w.attackKnob).getValue());
    deqBlockEdited (timeBlockIndex, band);
}

void CDeqTab::ratioChosen (int band)
{
    const int id = bands[band].ratioCombo.getSelectedId();
    if (id < 1 || id > 4)
        return;
    comps[band]->ratio->setValue (ratioChoices[id - 1]);
    deqBlockEdited (compBlockIndex, band);
}

void CDeqTab::typeChosen (int band)
{
    const int id = bands[band].typeCombo.getSelectedId();
    if (id < 1)
        return;
    setDeqFilterType (id, band);
    showQualityFor (band);
}

void CDeqTab::entryCommitted (int band, bool quality)
{
    // The entry has read its text into the parameter and shows it again.
    auto& w = bands[band];
    (quality ? w.qualKnob : w.freqKnob).showParam();
    deqBlockEdited (filtBlockIndex, band);
}

void CDeqTab::showQualityFor (int band)
{
    auto& w = bands[band];
    const bool shown = w.typeCombo.getSelectedId() <= bandPassId;
    w.qualKnob.setVisible (shown);
    w.qualEditor.setVisible (shown);
    w.labels[BandWidgets::qualityLabel].setVisible (shown);
}

//==============================================================================
void CDeqTab::handleEdit (int what, int band, int delta)
{
    if (band < 0 || band >= bandCount)
        return;

    auto& filt = *filts[band];
    const bool off = filt.type->getStep() == 0;
    if (what == frequency)
    {
        filt.freq->stepBy (delta);
    }
    else if (what == gain)
    {
        if (off)
            return;
        auto& mgain = *comps[band]->mgain;
        mgain.setValue (mgain.getValue() - (float) delta * 0.5f);
        showCompressor (band);
        deqBlockEdited (compBlockIndex, band);
        return;
    }
    else if (what == quality)
    {
        if (off)
            return;
        filt.qual->stepBy (delta);
    }
    else
    {
        return;
    }

    showFilter (band);
    deqBlockEdited (filtBlockIndex, band);
}

void CDeqTab::setFollowMode (AmpMode mode)
{
    followA = channel == 0 && mode.followsA();
    if (! followA)
        return;

    for (int band = 0; band < bandCount; ++band)
        for (int block : { compBlockIndex, timeBlockIndex, filtBlockIndex })
            copyBlockToChannelB (block, band);
}

//==============================================================================
void CDeqTab::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (int band = 0; band < bandCount; ++band)
    {
        if (source == comps[band])
            showCompressor (band);
        else if (source == times[band])
            showTime (band);
        else if (source == filts[band])
            showFilter (band);
        else
            continue;
        bandChanged (band);
        return;
    }
}

void CDeqTab::showCompressor (int band)
{
    auto& w = bands[band];
    w.gainKnob.showParam();
    w.thresholdKnob.showParam();

    // The first choice at or above the ratio; above the last one, none.
    const float ratio = comps[band]->ratio->getValue();
    int id = 0;
    for (int i = 0; i < 4 && id == 0; ++i)
        if (ratio <= ratioChoices[i])
            id = i + 1;
    w.ratioCombo.setSelectedId (id, juce::dontSendNotification);
}

void CDeqTab::showTime (int band)
{
    bands[band].attackKnob.showParam();
    bands[band].releaseKnob.showParam();
}

void CDeqTab::showFilter (int band)
{
    auto& w = bands[band];
    const int type = filts[band]->type->getStep();
    w.deqButton.setToggleState (type > 0, juce::dontSendNotification);
    if (type > 0)
        w.typeCombo.setSelectedId (type, juce::dontSendNotification);
    w.freqEditor.showValue();
    w.qualEditor.showValue();
    w.freqKnob.showParam();
    w.qualKnob.showParam();
    showQualityFor (band);
}

//==============================================================================
void CDeqTab::sliderValueChanged (juce::Slider* slider)
{
    for (int band = 0; band < bandCount; ++band)
    {
        auto& w = bands[band];
        if (slider == &w.gainKnob || slider == &w.thresholdKnob)
            compressorKnobMoved (band, slider == &w.thresholdKnob);
        else if (slider == &w.attackKnob || slider == &w.releaseKnob)
            timeKnobMoved (band, slider == &w.releaseKnob);
        else if (slider == &w.freqKnob)
            setDeqFromControl (1, band, filtBlockIndex, w.freqKnob.getValue());
        else if (slider == &w.qualKnob)
            setDeqFromControl (2, band, filtBlockIndex, w.qualKnob.getValue());
    }
}

void CDeqTab::comboBoxChanged (juce::ComboBox* box)
{
    for (int band = 0; band < bandCount; ++band)
    {
        if (box == &bands[band].typeCombo)
            typeChosen (band);
        else if (box == &bands[band].ratioCombo)
            ratioChosen (band);
    }
}

void CDeqTab::buttonClicked (juce::Button* button)
{
    for (int band = 0; band < bandCount; ++band)
    {
        auto& w = bands[band];
        if (button == &w.deqButton)
            setDeqFilterType (w.deqButton.getToggleState() ? w.typeCombo.getSelectedId() : 0, band);
    }
}
