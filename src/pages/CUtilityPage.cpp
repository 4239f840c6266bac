// The Utility page's behaviour: the generator's buttons, knobs and entries, the activation
// question and the sweep.  The layout is in CUtilityPageLayout.cpp.

#include "CUtilityPage.h"

#include "Dialogs.h"
#include "EditPath.h"

namespace
{
    const char* const generatorAddress = "/siggen";
}

//==============================================================================
CUtilityPage::CUtilityPage (Dialogs& dialogsToUse, SiggenSweep::Pacer* sweepPacer)
    : juce::Component ("UtilityPage"),
      dialogs (dialogsToUse),
      sweep (generator, sweepPacer)
{
    // The look first: the widgets take their colours from it as they are built.
    setLookAndFeel (&look.get());
    setOpaque (true);

    buildGenerator();
    setSize (pageWidth, pageHeight);

    // The generator starts off, at its lowest level and at 1000 Hz, with the sine chosen
    // and lit: "Test Tone" plays what the page shows.
    generator.freq->fromText ("1000");
    sineButton.setToggleState (true, juce::dontSendNotification);

    levelKnob.bind (*generator.gain);
    freqKnob.bind (*generator.freq);
    rateKnob.bind (*generator.scan);
    bindEntries();
    rateEntry.showValue();   // the rate is the page's own: refresh() leaves it alone

    generator.addChangeListener (this);
    refresh();
}

CUtilityPage::~CUtilityPage()
{
    sweep.setSweeping (false);
    generator.removeChangeListener (this);
    setLookAndFeel (nullptr);
}

void CUtilityPage::bindEntries()
{
    const std::pair<ValueEntry*, ParamKnob*> pairs[] = { { &levelEntry, &levelKnob },
                                                         { &freqEntry, &freqKnob },
                                                         { &rateEntry, &rateKnob } };
    for (const auto& [entry, knob] : pairs)
    {
        entry->bind (*knob->getParam());
        entry->onCommit = [this, knob = knob]
        {
            knob->showParam();
            if (knob == &freqKnob)
                sweep.moveTo (generator.freq->getStep());
            sendGenerator();
        };
        entry->onRevert = [this] { sendGenerator(); };
    }
}

//==============================================================================
void CUtilityPage::testToneClicked()
{
    endSweep();

    if (! testToneButton.getToggleState())
    {
        play (off);
        return;
    }

    dialogs.askOkCancel (Dialogs::Icon::question, TRANS ("Signal Generator..."),
                         TRANS ("Do you want to activate the Signal Generator? '(Check Level!)"), TRANS ("Yes"),
                         TRANS ("Cancel"),
                         [page = juce::Component::SafePointer<CUtilityPage> (this), asked = amplifiersGone] (bool yes)
                         {
                             if (page == nullptr)
                                 return;
                             // "Yes" is for the amplifier that was asked about, not one that came since.
                             if (yes && page->amplifiersGone == asked)
                                 page->activateChosenSource();
                             else   // the button shows what the generator does, as the amplifier last said
                                 page->testToneButton.setToggleState (page->generator.input->getStep() > off,
                                                                      juce::dontSendNotification);
                         });
}

void CUtilityPage::activateChosenSource()
{
    testToneButton.setToggleState (true, juce::dontSendNotification);
    play (juce::jlimit ((int) off, (int) whiteNoise, chosenSource));
}

void CUtilityPage::sourceClicked (Source source)
{
    endSweep();

    auto* button = sourceButton (source);
    if (button == nullptr || ! button->getToggleState())
        return;

    chosenSource = source;
    // While the activation question is still open the generator is not on yet: the answer
    // decides, and it plays the source chosen by then.
    if (testToneButton.getToggleState() && generator.input->getStep() > off)
        play (source);
}

void CUtilityPage::sweepClicked()
{
    sweep.setSweeping (sweepButton.getToggleState());
}

void CUtilityPage::amplifierGone()
{
    endSweep();
    ++amplifiersGone;

    // Not sent: there is no amplifier to tell.  The next one reports its own generator.
    generator.input->setStep (off);
    refresh();
}

void CUtilityPage::play (int source)
{
    generator.input->setStep (source);
    sendGenerator();
}

void CUtilityPage::endSweep()
{
    sweep.setSweeping (false);
    sweepButton.setToggleState (false, juce::dontSendNotification);
}

void CUtilityPage::sendGenerator()
{
    EditPath::standaloneBlockEdited (generator, generatorAddress);
}

//==============================================================================
void CUtilityPage::refresh()
{
    const int input = generator.input->getStep();
    testToneButton.setToggleState (input > off, juce::dontSendNotification);
    if (auto* button = sourceButton (input))
    {
        button->setToggleState (true, juce::dontSendNotification);   // the radio group turns the others off
        chosenSource = input;
    }

    levelEntry.showValue();
    levelKnob.showParam();
    freqEntry.showValue();
    freqKnob.showParam();
}

juce::TextButton* CUtilityPage::sourceButton (int source)
{
    switch (source)
    {
        case sine: return &sineButton;
        case pinkNoise: return &pinkNoiseButton;
        case whiteNoise: return &whiteNoiseButton;
        default: return nullptr;
    }
}

//==============================================================================
void CUtilityPage::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &generator)
        refresh();
}

void CUtilityPage::buttonClicked (juce::Button* button)
{
    if (button == &testToneButton)
        testToneClicked();
    else if (button == &sineButton)
        sourceClicked (sine);
    else if (button == &pinkNoiseButton)
        sourceClicked (pinkNoise);
    else if (button == &whiteNoiseButton)
        sourceClicked (whiteNoise);
    else if (button == &sweepButton)
        sweepClicked();
}

void CUtilityPage::sliderValueChanged (juce::Slider* slider)
{
    if (slider == &levelKnob)
    {
        generator.gain->setStep (levelKnob.getStep());
        levelEntry.showValue();
    }
    else if (slider == &freqKnob)
    {
        generator.freq->setStep (freqKnob.getStep());
        freqEntry.showValue();
        sweep.moveTo (generator.freq->getStep());
    }
    else if (slider == &rateKnob)
    {
        generator.scan->setStep (rateKnob.getStep());
        rateEntry.showValue();   // the message does not carry the rate, yet it is sent as every edit is
    }
    else
    {
        return;
    }

    sendGenerator();
}
