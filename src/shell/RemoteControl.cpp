#include "RemoteControl.h"

#include "Artwork.h"
#include "CConfigPage.h"
#include "CDeqPage.h"
#include "CSetupPage.h"
#include "CUtilityPage.h"
#include "CXoverPage.h"
#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"
#include "EditPath.h"
#include "EntryNumber.h"
#include "StepNames.h"
#include "Palette.h"
#include "CPeqPage.h"
#include "RemoteBridge.h"
#include "RemoteWindow.h"

#include <cmath>

namespace
{
    using Palette::textGrey, Palette::amber, Palette::plate;

    constexpr double gainFloor = -60.0;
    constexpr double gainTop = 0.0;
    constexpr double meterFloor = -60.0;
    constexpr int meterSegments = 21;

    const juce::Rectangle<int> inputsBoundsZr { 742, 218, 160, 226 };
    const juce::Rectangle<int> inputsBoundsOther { 742, 218, 160, 172 };

    // "Remote": under the inputs group, above the family's picture, in either layout.
    const juce::Rectangle<int> remoteBoundsZr { 790, 447, 64, 20 };
    const juce::Rectangle<int> remoteBoundsOther { 790, 408, 64, 24 };

    void styleToggle (juce::TextButton& button, const juce::String& text, juce::Colour fillWhenOn)
    {
        button.setButtonText (text);
        PageLookAndFeel::styleSwitchButton (button, fillWhenOn);
    }

    /** "Arial Black" 20 where it is installed.  Elsewhere JUCE would draw the letters with a
        stand-in face but the metrics of none, which puts them below the 16-pixel label and
        cuts them off ("B" reads as "R"); a bold face of the default sans serif stands in. */
    juce::Font channelLabelFont()
    {
        static const bool installed = juce::Font::findAllTypefaceNames().contains ("Arial Black");
        if (installed)
            return juce::Font ("Arial Black", 20.0f, juce::Font::plain);
        return juce::Font (juce::Font::getDefaultSansSerifFontName(), 20.0f, juce::Font::bold);
    }

    void styleChannelLabel (juce::Label& label)
    {
        label.setFont (channelLabelFont());
        label.setJustificationType (juce::Justification::centred);
        label.setEditable (false, false, false);
        label.setColour (juce::Label::textColourId, textGrey);
    }

    void styleGroup (juce::GroupComponent& group)
    {
        group.setColour (juce::GroupComponent::outlineColourId, Palette::groupOutline);
        group.setColour (juce::GroupComponent::textColourId, textGrey);
    }

    juce::Path makeFramePath()
    {
        juce::Path p;
        p.startNewSubPath (12.0f, 4.0f);
        p.lineTo (724.0f, 4.0f);
        p.cubicTo (728.0f, 4.0f, 732.0f, 9.0f, 732.0f, 15.0f);
        p.lineTo (732.0f, 501.0f);
        p.cubicTo (732.0f, 507.0f, 728.0f, 512.0f, 724.0f, 512.0f);
        p.lineTo (12.0f, 512.0f);
        p.cubicTo (8.0f, 512.0f, 4.0f, 507.0f, 4.0f, 501.0f);
        p.lineTo (4.0f, 15.0f);
        p.cubicTo (4.0f, 9.0f, 8.0f, 4.0f, 12.0f, 4.0f);
        p.closeSubPath();
        return p;
    }
}

//==============================================================================
RemoteControl::RemoteControl (juce::Component& mainWindowToUse, Croot& root, presetDocument& presets, Dialogs& dialogs,
                              osc::HubOptions hubOptions)
    : mainWindow (mainWindowToUse),
      openQuestions (dialogs)
{
    styleGroup (outputsGroup);
    outputsGroup.setBounds (742, 46, 160, 168);
    addAndMakeVisible (outputsGroup);

    styleGroup (inputsGroup);
    inputsGroup.setComponentID ("inputsGroup");
    inputsGroup.setBounds (inputsBoundsZr);
    addAndMakeVisible (inputsGroup);

    buildGainControls();
    buildLabels();
    buildTabs (root, presets, openQuestions);

    dbLabel.setFont (juce::Font (15.0f, juce::Font::plain));
    dbLabel.setJustificationType (juce::Justification::centredLeft);
    dbLabel.setColour (juce::Label::textColourId, textGrey);
    dbLabel.setComponentID ("dbLabel");
    dbLabel.setBounds (808, 388, 26, 16);
    addAndMakeVisible (dbLabel);

    versionLabel.setFont (juce::Font (15.0f, juce::Font::plain));
    versionLabel.setJustificationType (juce::Justification::centred);
    versionLabel.setColour (juce::Label::textColourId, textGrey);
    versionLabel.setBounds (860, 36, 46, 16);
    addAndMakeVisible (versionLabel);

    loadImages();
    framePath = makeFramePath();
    setSize (panelWidth, panelHeight);

    tabs->removeTab (utilityTabIndex);
    gainA.setValue (gainFloor, juce::dontSendNotification);
    gainB.setValue (gainFloor, juce::dontSendNotification);
    for (auto* button : { &muteButtonA, &muteButtonB, &linkButton })
        button->setClickingTogglesState (true);

    // The hub takes the Setup page at construction, so the pages exist before it.
    hub = std::make_unique<osc::OscCom> (*this, *setupPage, openQuestions, std::move (hubOptions));
    hubForwarder.attach (hub.get());

    muteA = muteB = link = false;
    buildMeters();
    buildHistory (root);
    buildRemote();

    setDeviceLabel (ModelTable::noDevice);
    setWindowIcon();
}

RemoteControl::~RemoteControl()
{
    // The remote first: it reads and drives the panel and the pages.  Then the history,
    // which reads the pages' blocks.
    remoteWindow.reset();
    remote.reset();
    historyControls.reset();

    // Pages first: a page's thread (the generator sweep) may still send through the hub.
    configPage = nullptr;
    xoverPage = nullptr;
    peqPage = nullptr;
    deqPage = nullptr;
    setupPage = nullptr;
    tabs.reset();
    utilityPage.reset();

    hubForwarder.attach (nullptr);
    hub.reset();
}

//==============================================================================
void RemoteControl::buildGainControls()
{
    for (auto* fader : { &gainA, &gainB })
    {
        fader->setRange (gainFloor, gainTop, 0.5);
        fader->setSliderStyle (juce::Slider::LinearVertical);
        fader->setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        fader->setColour (juce::Slider::thumbColourId, Palette::knobPointer);
        fader->addListener (this);
        fader->setComponentID (fader->getName());
        addAndMakeVisible (fader);
    }
    gainA.setBounds (745, 240, 40, 140);
    gainB.setBounds (859, 240, 40, 140);

    styleToggle (muteButtonB, "Mute", Palette::alarmRed);
    styleToggle (muteButtonA, "Mute", Palette::alarmRed);
    styleToggle (linkButton, "Link", plate);
    muteButtonB.setBounds (848, 412, 48, 24);
    muteButtonA.setBounds (748, 412, 48, 24);
    linkButton.setBounds (798, 412, 48, 24);
    for (auto* button : { &muteButtonB, &muteButtonA, &linkButton })
    {
        button->addListener (this);
        button->setComponentID (button->getName());
        addAndMakeVisible (button);
    }

    gainEntryA.setComponentID ("gainEntryA");
    gainEntryB.setComponentID ("gainEntryB");
    gainEntryA.setBounds (752, 386, 48, 20);
    gainEntryB.setBounds (844, 386, 48, 20);
    bindGainEntry (gainEntryA, gainA);
    bindGainEntry (gainEntryB, gainB);
    for (auto* entry : { &gainEntryA, &gainEntryB })
    {
        entry->setLookAndFeel (&entryLook.get());
        PageLookAndFeel::styleTransparentEntry (*entry);
        entry->setText ("0.0", false);   // until the device reports its gains
        addAndMakeVisible (entry);
    }
}

void RemoteControl::bindGainEntry (ValueEntry& entry, juce::Slider& fader)
{
    // The fader is the value: it clamps to -60..0 and snaps to its grid, and the entry
    // shows what it then holds.  Moving it notifies the panel, which sends the gains.
    entry.bind ({ [&fader] { return gainText (fader.getValue()); },
                  [&fader] (const juce::String& typed)
                  {
                      // Read as every entry reads: a sign or a point alone is no number (it
                      // would be 0 dB, the loudest setting) and a decimal comma is a point.
                      float value = 0.0f;
                      if (! readEntryNumber (typed, value))
                          return false;
                      fader.setValue ((double) value);
                      return true;
                  } });

    // Return and leaving the entry both send the gains as they now are.
    entry.onCommit = [this] { sendGains(); };
    entry.onRevert = [this] { sendGains(); };
}

void RemoteControl::buildLabels()
{
    inputLabelA.setComponentID ("inputLabelA");
    inputLabelB.setComponentID ("inputLabelB");
    outputLabelA.setBounds (750, 64, 32, 16);
    outputLabelB.setBounds (862, 64, 32, 16);
    inputLabelA.setBounds (750, 240, 32, 16);
    inputLabelB.setBounds (862, 240, 32, 16);
    for (auto* label : { &outputLabelA, &outputLabelB, &inputLabelA, &inputLabelB })
    {
        styleChannelLabel (*label);
        addAndMakeVisible (label);
    }
}

void RemoteControl::buildTabs (Croot& root, presetDocument& presets, Dialogs& dialogs)
{
    tabs = std::make_unique<juce::TabbedComponent> (juce::TabbedButtonBar::TabsAtTop);
    tabs->setComponentID ("tabs");
    tabs->setTabBarDepth (30);
    tabs->setOutline (0);   // the pages are laid out for the full 720 x 470
    tabs->setBounds (8, 8, 720, 500);
    addAndMakeVisible (tabs.get());

    // Each page is created before it is added, in tab order, with what it uses (see
    // docs/pages.md).  The tabs own the first five.
    configPage = new CConfigPage (root, dialogs, *this);
    tabs->addTab ("  Configuration  ", Palette::tab, configPage, true);
    xoverPage = new CXoverPage (root, dialogs, [this] { return hub != nullptr && hub->isOnline(); });
    tabs->addTab ("  Filter/Crossover  ", Palette::tab, xoverPage, true);
    peqPage = new CPeqPage (root, dialogs);
    tabs->addTab ("  Parametric EQ  ", Palette::tab, peqPage, true);
    deqPage = new CDeqPage (root);
    tabs->addTab ("  Dynamic EQ  ", Palette::tab, deqPage, true);
    setupPage = new CSetupPage (root, presets, dialogs, *this, hubForwarder);
    tabs->addTab ("  Setup  ", Palette::tab, setupPage, true);

    utilityPage = std::make_unique<CUtilityPage> (dialogs);
    tabs->addTab ("  Utility  ", Palette::tab, utilityPage.get(), false);

    tabs->setCurrentTabIndex (setupTabIndex);

    // The pages hold dozens of widgets that change far less often than the meters beside
    // them: each keeps its last rendering and redraws only what was invalidated, so
    // window exposes and full repaints blit it instead of painting every widget again.
    for (int i = 0; i < tabs->getNumTabs(); ++i)
        tabs->getTabContentComponent (i)->setBufferedToImage (true);
}

void RemoteControl::buildMeters()
{
    const juce::Rectangle<int> meterBounds[] = {
        { 790, 90, 14, 105 }, { 840, 90, 14, 105 }, { 790, 266, 14, 105 }, { 840, 266, 14, 105 }
    };
    led_meter* meters[] = { &outputMeterA, &outputMeterB, &inputMeterA, &inputMeterB };
    for (int i = 0; i < 4; ++i)
    {
        meters[i]->floorLevel = meterFloor;
        meters[i]->segmentCount = meterSegments;
        meters[i]->topLevel = 0.0;
        meters[i]->setComponentID (meters[i]->getName());
        meters[i]->setBounds (meterBounds[i]);
        addAndMakeVisible (meters[i]);
    }

    const juce::Rectangle<int> ledBounds[] = {
        { 790, 76, 14, 3 }, { 840, 76, 14, 3 }, { 790, 252, 14, 3 }, { 840, 252, 14, 3 }
    };
    led_clip* leds[] = { &outputLimitLedA, &outputLimitLedB, &inputClipLedA, &inputClipLedB };
    for (int i = 0; i < 4; ++i)
    {
        leds[i]->setComponentID (leds[i]->getName());
        leds[i]->setBounds (ledBounds[i]);
        addAndMakeVisible (leds[i]);
    }
}

void RemoteControl::buildRemote()
{
    remote = std::make_unique<RemoteBridge> (*this, *peqPage, *setupPage);

    styleToggle (remoteButton, "Remote", plate);
    remoteButton.setComponentID ("remote");
    remoteButton.setTooltip (TRANS ("A phone or tablet on this network as a remote"));
    remoteButton.addListener (this);
    remoteButton.setBounds (remoteBoundsOther);
    addAndMakeVisible (remoteButton);
}

void RemoteControl::showRemoteWindow()
{
    if (remoteWindow == nullptr)
        remoteWindow = std::make_unique<RemoteWindow> (*remote);
    remoteWindow->setVisible (true);
    remoteWindow->toFront (true);
}

void RemoteControl::loadImages()
{
    banner = Artwork::get (Artwork::Id::banner);
    outputScale = Artwork::get (Artwork::Id::outputMeterScale);
    inputScale = Artwork::get (Artwork::Id::inputMeterScale);
    tarvoBadge = Artwork::get (Artwork::Id::tarvoBadge);
    tarvoLogo = Artwork::get (Artwork::Id::tarvoLogo);
    zrBadge = Artwork::get (Artwork::Id::zrBadge);
    zrLogo = Artwork::get (Artwork::Id::zrLogo);
    windowIcon = Artwork::get (Artwork::Id::windowIcon);
}

void RemoteControl::buildHistory (Croot& root)
{
    auto parts = SettingsPart::treeBlocks (root);
    for (auto& part : panelParts())
        parts.push_back (std::move (part));

    historyControls = std::make_unique<HistoryControls> (
        *this, mainWindow, std::move (parts), *root.ampmode,
        [&root]
        {
            const int mode = root.ampmode->mode->getStep();
            return mode == 1 || mode == 4;   // Stereo, Bridge
        },
        openQuestions, [this] { return openQuestions.any(); });
}

std::vector<SettingsPart> RemoteControl::panelParts()
{
    std::vector<SettingsPart> parts;

    // Only a ZR amplifier has a speaker setting, a generator and input gains to send: a
    // TARVO would leave them unanswered.
    const auto zrOnly = [this] (std::function<void()> send)
    {
        return [this, send]
        {
            if (ModelTable::isZr (modelIndex))
                send();
        };
    };

    if (auto* speaker = globals::speaker)
    {
        auto part = SettingsPart::standaloneBlock (*speaker, "/speaker", { speaker->value });
        part.send = zrOnly (part.send);
        parts.push_back (std::move (part));
    }

    if (auto* siggen = globals::siggen)
    {
        // Level and frequency only: switching the generator on or off is nobody's step.
        auto level = SettingsPart::standaloneBlock (*siggen, "/siggen/level", { siggen->gain }, "/siggen");
        level.send = zrOnly (level.send);
        parts.push_back (std::move (level));

        // The sweep moves the frequency: not a setting while it does.
        auto frequency = SettingsPart::standaloneBlock (*siggen, "/siggen/freq", { siggen->freq }, "/siggen");
        frequency.editedOnly = true;
        frequency.moving = [this]
        {
            auto& sweep = utilityPage->getSweep();
            return sweep.isSweeping() || sweep.isRunning();
        };
        frequency.send = zrOnly (frequency.send);
        parts.push_back (std::move (frequency));
    }

    SettingsPart gains;
    gains.address = "/gain";
    gains.read = [this]
    {
        return PartState { "/gain ffii " + gainText (gainA.getValue()).toStdString() + " "
                               + gainText (gainB.getValue()).toStdString() + (muteA ? " 1" : " 0")
                               + (muteB ? " 1" : " 0"),
                           {} };
    };
    gains.apply = [this] (const PartState& state)
    {
        const auto values = StepNames::valuesOf (state.line);
        if (values.size() == 4)
            showGains (juce::String (values[0]).getFloatValue(), juce::String (values[1]).getFloatValue(),
                       values[2] != "0", values[3] != "0");
    };
    gains.send = zrOnly ([this] { sendGains(); });
    parts.push_back (std::move (gains));

    SettingsPart linked;
    linked.address = "/link";
    linked.read = [this] { return PartState { link ? "/link i 1" : "/link i 0", {} }; };
    linked.apply = [this] (const PartState& state)
    {
        link = state.line == "/link i 1";
        linkButton.setToggleState (link, juce::dontSendNotification);
        linkOffset = gainA.getValue() - gainB.getValue();
    };
    linked.send = [] {};   // the panel's own: nothing goes to the amplifier
    parts.push_back (std::move (linked));

    return parts;
}

void RemoteControl::noteEdit (const char* address)
{
    if (historyControls != nullptr)
        historyControls->getHistory().noteEdit (address);
}

void RemoteControl::presetFileLoaded (const juce::String& fileName)
{
    if (historyControls != nullptr)
        historyControls->getHistory().endStep (TRANS ("Load") + " " + fileName);
}

void RemoteControl::presetSlotRecalled (int slot)
{
    if (historyControls != nullptr)
        historyControls->getHistory().beginRecall (TRANS ("Recall of slot") + " " + juce::String (slot));
}

bool RemoteControl::keyPressed (const juce::KeyPress& key)
{
    return historyControls != nullptr && historyControls->handleKey (key);
}

void RemoteControl::setWindowIcon()
{
    if (auto* window = dynamic_cast<juce::DocumentWindow*> (&mainWindow))
        window->setIcon (windowIcon);
}

//==============================================================================
void RemoteControl::loadPresetFile (const juce::File& file)
{
    setupPage->loadChosenFile (file);
}

void RemoteControl::setDeviceLabel (int index)
{
    modelIndex = ModelTable::checkedIndex (index);
    configPage->setDeviceModel (modelIndex);

    // Connected: the settings are this amplifier's now, and the history of another's values
    // would be wrong to replay.
    const bool online = hub != nullptr && hub->isOnline();
    if (online && ! historyOnline && historyControls != nullptr)
        historyControls->getHistory().reset();
    historyOnline = online;

    mainWindow.setName (ModelTable::deviceLabel (modelIndex));

    const bool zr = ModelTable::isZr (modelIndex);
    // Every connection ends here with "no device" (and a TARVO has no generator): the
    // generator's sweep and state go with the amplifier, before its tab does.
    if (! zr)
        utilityPage->amplifierGone();

    if (zr && tabs->getNumTabs() == utilityTabIndex)
        tabs->addTab ("Utility", Palette::tab, utilityPage.get(), false);
    else if (! zr && tabs->getNumTabs() == utilityTabIndex + 1)
        tabs->removeTab (utilityTabIndex);

    // The Utility tab was the one shown: the Setup page, where the next amplifier is chosen,
    // takes its place rather than an empty frame.
    if (tabs->getCurrentTabIndex() < 0)
        tabs->setCurrentTabIndex (setupTabIndex);

    for (juce::Component* c :
         { (juce::Component*) &gainA, (juce::Component*) &gainB, (juce::Component*) &muteButtonA,
           (juce::Component*) &muteButtonB, (juce::Component*) &gainEntryA, (juce::Component*) &gainEntryB,
           (juce::Component*) &linkButton, (juce::Component*) &dbLabel })
        c->setVisible (zr);

    inputLabelA.setVisible (! zr);
    inputLabelB.setVisible (! zr);
    inputsGroup.setBounds (zr ? inputsBoundsZr : inputsBoundsOther);
    remoteButton.setBounds (zr ? remoteBoundsZr : remoteBoundsOther);
    if (historyControls != nullptr)
        historyControls->placeFor (zr);

    repaint();
}

void RemoteControl::setGainsFromDevice (float newGainA, float newGainB, bool newMuteA, bool newMuteB)
{
    if (! std::isfinite (newGainA) || ! std::isfinite (newGainB))
        return;

    showGains (newGainA, newGainB, newMuteA, newMuteB);
    if (historyControls != nullptr)
        historyControls->getHistory().noteDecodedAddress ("/gain");
}

void RemoteControl::showGains (float newGainA, float newGainB, bool newMuteA, bool newMuteB)
{
    gainA.setValue (newGainA, juce::dontSendNotification);
    gainB.setValue (newGainB, juce::dontSendNotification);
    gainEntryA.showValue();
    gainEntryB.showValue();

    muteButtonA.setToggleState (newMuteA, juce::dontSendNotification);
    muteButtonB.setToggleState (newMuteB, juce::dontSendNotification);
    muteA = newMuteA;
    muteB = newMuteB;

    // Taken from the faders, which hold the values on their 0.5 dB grid: an offset off that
    // grid would make linked faders push each other along by a step on every correction.
    linkOffset = gainA.getValue() - gainB.getValue();
}

void RemoteControl::ampModeApplied (int mode)
{
    peqPage->ampModeChanged (mode);
    xoverPage->ampModeChanged (mode);
    deqPage->ampModeChanged (mode);
}

double RemoteControl::meterLevelFor (float value)
{
    const double level = std::trunc (20.0 * std::log10 ((double) value) + 1.2);
    // NaN (a negative value) and -inf (silence) both fail this test.
    return level > meterFloor ? level : meterFloor;
}

void RemoteControl::setMeters (float inputA, float inputB, float outputA, float outputB)
{
    const std::pair<led_meter*, float> updates[] = {
        { &inputMeterA, inputA }, { &inputMeterB, inputB }, { &outputMeterA, outputA }, { &outputMeterB, outputB }
    };
    for (const auto& [meter, value] : updates)
    {
        meter->level = meterLevelFor (value);
        meter->repaint();
    }
}

void RemoteControl::setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB)
{
    const std::pair<led_clip*, bool> updates[] = { { &inputClipLedA, inputClipA },
                                                   { &inputClipLedB, inputClipB },
                                                   { &outputLimitLedA, outputLimitA },
                                                   { &outputLimitLedB, outputLimitB } };
    for (const auto& [led, lit] : updates)
    {
        led->lit = lit;
        led->repaint();
    }
}

//==============================================================================
void RemoteControl::sliderValueChanged (juce::Slider* slider)
{
    if (link && slider == &gainA)
        followLinkFromA();
    else if (link && slider == &gainB)
        followLinkFromB();

    sendGains();
}

void RemoteControl::followLinkFromA()
{
    // Keep gain B = gain A - offset inside the fader range by holding gain A back.
    if (linkOffset > 0.0 && gainA.getValue() < linkOffset + gainFloor)
        gainA.setValue (linkOffset + gainFloor);
    if (linkOffset < 0.0 && gainA.getValue() > linkOffset)
        gainA.setValue (linkOffset);

    gainB.setValue (gainA.getValue() - linkOffset);
}

void RemoteControl::followLinkFromB()
{
    if (linkOffset < 0.0 && gainB.getValue() < -linkOffset + gainFloor)
        gainB.setValue (-linkOffset + gainFloor);
    if (linkOffset > 0.0 && gainB.getValue() > -linkOffset)
        gainB.setValue (-linkOffset);

    gainA.setValue (gainB.getValue() + linkOffset);
}

void RemoteControl::buttonClicked (juce::Button* button)
{
    if (button == &muteButtonA)
    {
        muteA = button->getToggleState();
        sendGains();
    }
    else if (button == &muteButtonB)
    {
        muteB = button->getToggleState();
        sendGains();
    }
    else if (button == &linkButton)
    {
        link = button->getToggleState();
        linkOffset = gainA.getValue() - gainB.getValue();
        noteEdit ("/link");
    }
    else if (button == &remoteButton)
    {
        showRemoteWindow();
    }
}

juce::String RemoteControl::gainText (double value)
{
    return juce::String (value, 1);
}

void RemoteControl::sendGains()
{
    const auto a = (float) gainA.getValue();
    const auto b = (float) gainB.getValue();
    if (hub != nullptr)
        hub->sendGains (a, b, muteA ? 1 : 0, muteB ? 1 : 0);
    EditPath::gainsEdited (a, b, muteA, muteB);
}

//==============================================================================
void RemoteControl::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);

    g.setColour (plate);
    g.fillRoundedRectangle (735.0f, 4.0f, 174.0f, 508.0f, 10.0f);

    g.drawImageAt (banner, 740, 15);

    g.setColour (juce::Colours::black);
    g.fillRect (740, 44, 164, 463);

    g.setColour (plate);
    g.fillPath (framePath);

    g.fillRoundedRectangle (782.0f, 64.0f, 80.0f, 140.0f, 5.0f);
    g.fillRoundedRectangle (782.0f, 240.0f, 80.0f, 140.0f, 5.0f);

    const auto centredNeverEnlarged = juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize;
    g.drawImageWithin (outputScale, 802, 62, 40, 140, centredNeverEnlarged);
    g.drawImageWithin (inputScale, 802, 238, 40, 140, centredNeverEnlarged);

    if (ModelTable::isZr (modelIndex))
    {
        g.setColour (plate);
        g.fillRoundedRectangle (752.0f, 240.0f, 26.0f, 140.0f, 5.0f);
        g.fillRoundedRectangle (866.0f, 240.0f, 26.0f, 140.0f, 5.0f);
        g.drawImageAt (zrBadge, 778, 15);
        g.drawImageAt (zrLogo, 773, 469);
    }
    else
    {
        g.drawImageAt (tarvoBadge, 775, 9);
        g.drawImageAt (tarvoLogo, 789, 443);
    }
}
