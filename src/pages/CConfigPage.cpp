// The Configuration page's frame and amplifier mode: building, the device model's rules, the
// mode question, applying a mode, and the listeners, which hand the channel controls to
// CConfigPageChannels.cpp.  The layout is in CConfigPageLayout.cpp and ConfigChannelGroup.cpp.

#include "CConfigPage.h"

#include "Artwork.h"
#include "Cdelay.h"
#include "Cioampmode.h"
#include "Ciospeaker.h"
#include "Climiter.h"
#include "Croot.h"
#include "Dialogs.h"
#include "EditPath.h"
#include "PanelLink.h"

namespace
{
    template <typename Block>
    Block* findBlock (Croot& root, const juce::String& path)
    {
        auto* block = dynamic_cast<Block*> (findNode (&root, path.toRawUTF8(), (int) path.getNumBytesAsUTF8()));
        jassert (block != nullptr);   // the tree always has it
        return block;
    }
}

CConfigPage::CConfigPage (Croot& root, Dialogs& dialogsToUse, PanelLink& panelToUse)
    : juce::Component ("ConfigPage"),
      dialogs (dialogsToUse),
      panel (panelToUse),
      speaker (std::make_unique<Ciospeaker>()),
      speakerInstalled (globals::speaker, speaker.get())
{
    // The look first: the widgets take their colours from it as they are built.
    setLookAndFeel (&look.get());
    setOpaque (true);

    ampmodeBlock = findBlock<Cioampmode> (root, "ampmode");
    for (int c = 0; c < 2; ++c)
    {
        delay[c] = findBlock<Cdelay> (root, "channel/" + juce::String (c + 1) + "/delay");
        limiter[c] = findBlock<Climiter> (root, "channel/" + juce::String (c + 1) + "/limiter");
    }

    buildModeArea();
    for (int c = 0; c < 2; ++c)
        bindEntries (c);
    modePicture = Artwork::modeDiagram (AmpMode::dualMono);
    setSize (pageWidth, pageHeight);

    ampmodeBlock->addChangeListener (this);
    for (int c = 0; c < 2; ++c)
    {
        delay[c]->addChangeListener (this);
        limiter[c]->addChangeListener (this);
    }
    speaker->addChangeListener (this);
}

CConfigPage::~CConfigPage()
{
    speaker->removeChangeListener (this);
    for (int c = 0; c < 2; ++c)
    {
        limiter[c]->removeChangeListener (this);
        delay[c]->removeChangeListener (this);
    }
    ampmodeBlock->removeChangeListener (this);
    setLookAndFeel (nullptr);
}

//==============================================================================
void CConfigPage::setDeviceModel (int index)
{
    deviceModel = ModelTable::checkedIndex (index);

    // The lists first: the question below is answered later, with the new model's lists.
    applyModelToLoads();

    if (deviceModel == ModelTable::noDevice)
        return;   // "Bridge" stays as it was while nothing is connected

    modeButtons[AmpMode::bridge].setVisible (bridgeAllowed());
    if (! bridgeAllowed() && currentAmpMode() == AmpMode::bridge)
        requestAmpMode (AmpMode::dualMono);
}

int CConfigPage::currentAmpMode() const
{
    return ampmodeBlock->mode->getStep();
}

void CConfigPage::requestAmpMode (int mode)
{
    if (! AmpMode::isValidStep (mode) || mode == currentAmpMode())
        return;

    dialogs.askOkCancel (Dialogs::Icon::question, TRANS ("Changing Amp-mode..."),
                         TRANS ("Do you want to change the Amp-mode?"), TRANS ("Yes"), TRANS ("Cancel"),
                         [page = juce::Component::SafePointer<CConfigPage> (this), mode] (bool yes)
                         {
                             if (page != nullptr)
                                 page->modeAnswered (mode, yes);
                         });
}

void CConfigPage::modeAnswered (int mode, bool yes)
{
    // While the box was open the amplifier may have reported a mode, or a model without
    // "Bridge" may have come: then there is nothing left to change, or it may not be.
    if (! yes || mode == currentAmpMode() || (mode == AmpMode::bridge && ! bridgeAllowed()))
    {
        showModeButton (currentAmpMode());
        return;
    }

    ampmodeBlock->mode->setStep (mode);
    showModeButton (mode);
    applyMode (AmpMode::fromStep (mode));

    // The load rules depend on the mode (no 2 Ohm bridged): channel A's load is chosen
    // again, which sends its limiter and the speaker, and the mode goes last.
    loadChosen (0);
    EditPath::blockEdited (*ampmodeBlock);
}

void CConfigPage::applyMode (AmpMode mode)
{
    panel.ampModeApplied (mode.step());

    followA = mode.followsA();
    bridged = mode == AmpMode::bridge;
    applyModeToChannels (mode);

    ampMode = mode;
    modePicture = Artwork::modeDiagram (mode.step());
    repaint();
}

void CConfigPage::showModeButton (int mode)
{
    if (AmpMode::isValidStep (mode))
        modeButtons[mode].setToggleState (true, juce::dontSendNotification);
}

bool CConfigPage::bridgeAllowed() const
{
    return ModelTable::allowsBridge (deviceModel);
}

bool CConfigPage::lineVoltageModel() const
{
    return ModelTable::hasLineVoltageOutputs (deviceModel);
}

float CConfigPage::fullScaleVp() const
{
    return ModelTable::fullScaleVp (deviceModel);
}

//==============================================================================
void CConfigPage::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == ampmodeBlock)
    {
        const int mode = currentAmpMode();
        showModeButton (mode);
        applyMode (AmpMode::fromStep (mode));
        return;
    }

    if (source == speaker.get())
    {
        refreshLoads();
        return;
    }

    for (int c = 0; c < 2; ++c)
    {
        if (source == delay[c])
            refreshDelay (c);
        else if (source == limiter[c])
            refreshLimiter (c);
    }
}

void CConfigPage::buttonClicked (juce::Button* button)
{
    // A radio group reports the button it turns off as well: only the one turned on counts.
    for (int i = 0; i < AmpMode::count; ++i)
        if (button == &modeButtons[i] && button->getToggleState())
            requestAmpMode (i);

    if (button == &linkButton)
        linkClicked();

    for (int c = 0; c < 2; ++c)
    {
        auto& channel = channels[c];
        if (button == &channel.phaseButton)
            phaseClicked (c);
        else if (button == &channel.zeroDegrees && button->getToggleState())
            polarityClicked (c, 0);
        else if (button == &channel.oneEightyDegrees && button->getToggleState())
            polarityClicked (c, 180);
    }
}

void CConfigPage::sliderValueChanged (juce::Slider* slider)
{
    for (int c = 0; c < 2; ++c)
    {
        auto& channel = channels[c];
        const auto value = (float) slider->getValue();
        if (slider == &channel.delayKnob)
            delayEdited (c, value);
        else if (slider == &channel.thresholdKnob)
            thresholdEdited (c, value);
        else if (slider == &channel.releaseKnob)
            releaseOrHoldEdited (c, true, value);
        else if (slider == &channel.holdKnob)
            releaseOrHoldEdited (c, false, value);
    }
}

void CConfigPage::comboBoxChanged (juce::ComboBox* list)
{
    for (int c = 0; c < 2; ++c)
        if (list == &channels[c].loadList)
            loadChosen (c);
}
