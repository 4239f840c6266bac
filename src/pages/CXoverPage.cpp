#include "CXoverPage.h"

#include "Croot.h"
#include "Cxoversection.h"
#include "Dialogs.h"
#include "EditPath.h"
#include "Globals.h"

#include <cstdio>
#include <cstring>

namespace
{
    using namespace CrossoverTypes;

    template <typename Block>
    Block* findBlock (Croot& root, const char* pattern, int channel)
    {
        char path[64] {};
        std::snprintf (path, sizeof path, pattern, channel);
        return dynamic_cast<Block*> (findNode (&root, path, (int) std::strlen (path)));
    }
}

CXoverPage::CXoverPage (Croot& root, Dialogs& dialogsToUse, std::function<bool()> hubOnlineToUse)
    : dialogs (dialogsToUse),
      isOnline (std::move (hubOnlineToUse))
{
    setLookAndFeel (&look.get());
    setName ("XoverPage");

    for (int channel = 1; channel <= 2; ++channel)
    {
        filters[2 * (channel - 1)] = findBlock<Cxover> (root, "channel/%d/xover/hp", channel);
        filters[2 * (channel - 1) + 1] = findBlock<Cxover> (root, "channel/%d/xover/lp", channel);
        gains[channel - 1] = findBlock<Cxovergain> (root, "channel/%d/xover/gain", channel);
    }
    jassert (filters[0] != nullptr && filters[3] != nullptr && gains[1] != nullptr);

    buildWidgets();
    buildGraph();

    for (int index = 0; index < filterCount; ++index)
    {
        auto& w = filterWidgets[index];
        w.knob.bind (*filters[index]->freq);
        w.entry.bind (*filters[index]->freq);
        w.entry.onCommit = [this, index] { frequencyEntered (index); };
        w.entry.onRevert = [this, index] { frequencyLeft (index); };
        lastSlope[index] = slope6;
        filters[index]->addChangeListener (this);
    }
    for (int channel = 0; channel < 2; ++channel)
    {
        channelWidgets[channel].gainKnob.bind (*gains[channel]->gain);
        gains[channel]->addChangeListener (this);
    }

    // The button exists in the bi-amp modes only; the page starts in Dual Mono.
    crossoverButton.setVisible (false);
    setSize (pageWidth, pageHeight);
}

CXoverPage::~CXoverPage()
{
    for (auto* filter : filters)
        filter->removeChangeListener (this);
    for (auto* gain : gains)
        gain->removeChangeListener (this);
    setLookAndFeel (nullptr);
}

//==============================================================================
void CXoverPage::setType (int index, int family, int slope, bool slopeGiven)
{
    if (slopeGiven)
        lastSlope[index] = slope;

    const int code = typeCode (family, lastSlope[index]);
    if (code < 0)
        return;   // a slope the family lacks: never offered by the lists

    filters[index]->type->setStep (code);
    if (followA && index < 2)
        filters[index + 2]->type->setStep (code);
    showType (index, code);
}

void CXoverPage::showType (int index, int code)
{
    auto& w = filterWidgets[index];
    const auto family = familyOf (code);
    w.family.setSelectedId (family + 1, juce::dontSendNotification);

    w.slope.clear (juce::dontSendNotification);
    const auto slopes = slopesOf (family);
    for (int i = 0; i < slopes.count; ++i)
        w.slope.addItem (slopeNames[slopes.slopes[(std::size_t) i]], i + 1);
    const int position = slopes.indexOf (slopeOf (code));
    if (position >= 0)
        w.slope.setSelectedId (position + 1, juce::dontSendNotification);
}

void CXoverPage::familyChosen (int index, int familyId)
{
    const int family = familyId - 1;
    if (family < 0 || family >= familyCount)
        return;

    setType (index, family, defaultSlope (family), true);
    if (linked && index != 0)
        linkCrossoverPartner (index);
    commitFilter (index);
}

void CXoverPage::slopeChosen (int index, int slopeId)
{
    // Before the first refresh the family list shows nothing: no row of the table applies.
    const int family = filterWidgets[index].family.getSelectedId() - 1;
    const auto slopes = slopesOf (family);
    if (family < 0 || slopeId < 1 || slopeId > slopes.count)
        return;

    setType (index, family, slopes.slopes[(std::size_t) slopeId - 1], true);
    if (linked && index != 0)
        linkCrossoverPartner (index);
    commitFilter (index);
}

void CXoverPage::frequencyKnobTurned (int index, int step)
{
    auto& freq = *filters[index]->freq;
    freq.setStep (step);
    filterWidgets[index].entry.showValue();
    if (linked && index != 0)
        linkCrossoverPartner (index);
    commitFilter (index);
}

void CXoverPage::frequencyEntered (int index)
{
    // The entry has read its text into the parameter and shows it again.
    filterWidgets[index].knob.showParam();
    commitFilter (index);
    if (linked && index != 0)
        linkCrossoverPartner (index);
}

void CXoverPage::frequencyLeft (int index)
{
    commitFilter (index);
    if (linked && index != 0)
        linkCrossoverPartner (index);
}

void CXoverPage::gainKnobMoved (int channel, double gainDb)
{
    channel = channel != 0;
    gains[channel]->gain->setValue ((float) gainDb);
    const bool bFollows = followA && channel == 0;
    if (bFollows)
        gains[1]->gain->setValue ((float) gainDb);
    EditPath::blockEdited (*gains[channel], bFollows ? gains[1] : nullptr);
    response.setGain (channel, gains[channel]->gain->getValue());
    graph->repaint();
    updateBlockFlags();
}

//==============================================================================
float CXoverPage::filterResponse (int curve, float frequency) const
{
    return response.value (curve, frequency);
}

Cxover* CXoverPage::crossoverBlock (int slot)
{
    return slot >= 0 && slot < filterCount ? filters[slot] : nullptr;
}

bool CXoverPage::hubOnline() const
{
    return isOnline && isOnline();
}

//==============================================================================
void CXoverPage::commitFilter (int index)
{
    if (index < 0 || index >= filterCount)
        return;
    // Every edit of channel A's filters is committed here, from a list, knob, entry or
    // handle: while channel B follows, it takes them all, so that it never holds a mixture.
    const bool bFollows = followA && index < 2;
    if (bFollows)
        copyFilter (index, index + 2);
    EditPath::blockEdited (*filters[index], bFollows ? filters[index + 2] : nullptr);
    recompute (index);
    graph->handleFreq[(std::size_t) index] = response.frequency (index);
    globals::selectedHandle = index;
    graph->moveHandles();
    graph->repaint();
    updateBlockFlags();
}

void CXoverPage::linkCrossoverPartner (int index)
{
    const int partner = index == 1 ? 2 : index == 2 ? 1 : -1;
    if (partner < 0)
        return;

    copyFilter (index, partner);
    if (! hubOnline())
        refreshFilter (partner);
    commitFilter (partner);
}

void CXoverPage::copyFilter (int from, int to)
{
    filters[to]->type->setStep (filters[from]->type->getStep());
    filters[to]->freq->setValue (filters[from]->freq->getValue());
}

void CXoverPage::recompute (int index)
{
    const auto& filter = *filters[index];
    response.computeFilter (index, filter.type->getStep(), filter.freq->getValue());
}

void CXoverPage::updateBlockFlags()
{
    for (int channel = 0; channel < 2; ++channel)
    {
        const bool active = filters[2 * channel]->type->getStep() != 0 || filters[2 * channel + 1]->type->getStep() != 0
                            || gains[channel]->gain->getValue() != 0.0f;
        globals::blockActive.set (ChainBlock::crossover, channel, active);
    }
}

//==============================================================================
void CXoverPage::crossoverButtonClicked()
{
    linked = crossoverButton.getToggleState();
    if (! linked)
    {
        showTitles();
        return;
    }

    dialogs.askOkCancel (Dialogs::Icon::question, TRANS ("Link Crossover frequencies..."),
                         TRANS ("Do you want to set a default Crossover?"), TRANS ("Yes"), TRANS ("Cancel"),
                         [page = juce::Component::SafePointer<CXoverPage> (this)] (bool yes)
                         {
                             // The mode or the button may have changed while the box was open.
                             if (page == nullptr || ! page->linked)
                                 return;
                             if (yes)
                                 page->applyDefaultCrossover();
                             else
                                 page->linkWithoutDefault();
                             page->showTitles();
                         });
}

void CXoverPage::applyDefaultCrossover()
{
    moveKnobAndTurn (1, defaultCrossoverStep);
    if (filters[1]->type->getStep() == 0)
    {
        filterWidgets[1].family.setSelectedId (butterworth + 1, juce::dontSendNotification);
        slopeChosen (1, slopesOf (butterworth).indexOf (slope12) + 1);
    }
    if (filters[0]->freq->getStep() > filters[1]->freq->getStep())
        moveKnobAndTurn (0, defaultHighPassStep);
    if (filters[3]->freq->getStep() < filters[1]->freq->getStep())
        moveKnobAndTurn (3, defaultLowPassStep);
}

void CXoverPage::linkWithoutDefault()
{
    copyFilter (1, 2);
    if (! hubOnline())
        refreshFilter (2);
    commitFilter (2);
}

void CXoverPage::moveKnobAndTurn (int index, int step)
{
    filterWidgets[index].knob.setValue (step, juce::dontSendNotification);
    frequencyKnobTurned (index, step);
}

void CXoverPage::showTitles()
{
    auto& a = channelWidgets[0].group;
    auto& b = channelWidgets[1].group;
    if (ampMode == AmpMode::stereo)
        a.setText ("Channel A+B");
    else
        a.setText (linked ? "Channel A - LOW" : "Channel A");
    b.setText (linked ? "Channel B - HIGH" : "Channel B");
}

//==============================================================================
void CXoverPage::ampModeChanged (int modeStep)
{
    ampMode = AmpMode::fromStep (modeStep);
    followA = ampMode.followsA();
    if (followA)
    {
        copyFilter (0, 2);
        copyFilter (1, 3);
    }
    else
    {
        refreshFilter (2);
        refreshFilter (3);
        refreshGain (1);
    }
    showChannelB (! followA);
    graph->setHandleCount (followA ? 2 : 4);
    graph->curveCount = followA ? 1 : 2;

    const bool biamp = ampMode.isBiAmp();
    crossoverButton.setVisible (biamp);
    linked = biamp && crossoverButton.getToggleState();

    showTitles();
    repaint();
}

//==============================================================================
void CXoverPage::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    const int index = filterIndexOf (source);
    if (index >= 0)
    {
        refreshFilter (index);
        return;
    }
    const int channel = channelOfGain (source);
    if (channel >= 0)
        refreshGain (channel);
}

void CXoverPage::refreshFilter (int index)
{
    const auto& filter = *filters[index];
    const int code = filter.type->getStep();
    const auto family = familyOf (code);
    setType (index, family, slopeOf (code), family != off);

    auto& w = filterWidgets[index];
    w.entry.showValue();
    w.knob.showParam();
    recompute (index);
    graph->handleFreq[(std::size_t) index] = response.frequency (index);
    graph->moveHandles();
    graph->repaint();
    updateBlockFlags();
}

void CXoverPage::refreshGain (int channel)
{
    channelWidgets[channel].gainKnob.showParam();
    response.setGain (channel, gains[channel]->gain->getValue());
    graph->repaint();
    updateBlockFlags();
}

int CXoverPage::filterIndexOf (const juce::ChangeBroadcaster* source) const
{
    for (int index = 0; index < filterCount; ++index)
        if (source == filters[index])
            return index;
    return -1;
}

int CXoverPage::channelOfGain (const juce::ChangeBroadcaster* source) const
{
    for (int channel = 0; channel < 2; ++channel)
        if (source == gains[channel])
            return channel;
    return -1;
}

//==============================================================================
void CXoverPage::comboBoxChanged (juce::ComboBox* box)
{
    for (int index = 0; index < filterCount; ++index)
    {
        auto& w = filterWidgets[index];
        if (box == &w.family)
            familyChosen (index, w.family.getSelectedId());
        else if (box == &w.slope)
            slopeChosen (index, w.slope.getSelectedId());
    }
}

void CXoverPage::buttonClicked (juce::Button* button)
{
    if (button == &crossoverButton)
        crossoverButtonClicked();
}

void CXoverPage::sliderValueChanged (juce::Slider* slider)
{
    for (int index = 0; index < filterCount; ++index)
        if (slider == &filterWidgets[index].knob)
            frequencyKnobTurned (index, filterWidgets[index].knob.getStep());
    for (int channel = 0; channel < 2; ++channel)
        if (slider == &channelWidgets[channel].gainKnob)
            gainKnobMoved (channel, channelWidgets[channel].gainKnob.getValue());
}
