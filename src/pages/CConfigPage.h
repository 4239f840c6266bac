#pragma once

#include "AmpMode.h"
#include "ConfigChannelGroup.h"
#include "Globals.h"
#include "ModelTable.h"
#include "PageLookAndFeel.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class Cdelay;
class Cioampmode;
class Climiter;
class Ciospeaker;
class Croot;
class Dialogs;
class PanelLink;

/** The Configuration page, the first tab: the amplifier mode with a picture of the signal
    flow it makes, and per channel delay, polarity, the peak limiter and the speaker load.

    A mode is changed only after the user confirms it; a mode the amplifier reports is applied
    without asking and without sending.  Applying a mode tells the panel (PanelLink), which
    hands it to the Parametric EQ, Filter/Crossover and Dynamic EQ pages in that order, and
    hides channel B in Stereo and Bridge, where channel B follows channel A: its parameters
    mirror A's and only A's messages are sent.  The device model decides whether "Bridge"
    exists, the full-scale voltage of the limiter and whether the list offers loads or line
    voltages.  The page owns the one speaker block (globals::speaker) and writes the delay
    and limiter flags of globals::blockActive; its picture draws all five blocks' flags.

    Built as every page is (docs/pages.md); the layout is in CConfigPageLayout.cpp, the
    channel controls in CConfigPageChannels.cpp.  Message thread only.  Widgets carry
    component IDs ("mode1", "delayKnobA", see ConfigChannelGroup) for tests and tools.
*/
class CConfigPage : public juce::Component,
                    public juce::ChangeListener,
                    public juce::Button::Listener,
                    public juce::Slider::Listener,
                    public juce::ComboBox::Listener
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    /** Units per millisecond of the ms, m and ft delay entries. */
    static constexpr float delayUnitFactor[3] = { 1.0f, 0.343f, 1.1253623f };

    /** Builds every widget at its place, finds the blocks in `root`, creates the speaker
        block and listens to them all.  Sends nothing.  No mode button is on, the Dual Mono
        picture is shown.  Everything passed in must outlive the page. */
    CConfigPage (Croot& root, Dialogs& dialogs, PanelLink& panel);
    ~CConfigPage() override;

    /** The model in use, 0..8 (8: none; anything else reads as 8), from the panel.  Hides
        "Bridge" for the models without it, and asks to leave Bridge if it is in force on
        one of them; gives the lists the model's loads or line voltages, none selected.
        Sends nothing unless the user confirms a mode change. */
    void setDeviceModel (int index);

    /** The amplifier-mode block's mode, 0..4 (for the Setup page). */
    int currentAmpMode() const;

    /** A click on mode button `mode` (0..4): unless it is the mode in force, asks "Changing
        Amp-mode..."; "Yes" applies the mode and sends channel A's limiter, "/speaker" (ZR
        family) and "/ampmode", in that order; "Cancel" turns the button of the mode in force
        back on and sends nothing. */
    void requestAmpMode (int mode);

    int getDeviceModel() const noexcept { return deviceModel; }
    int getAmpMode() const noexcept { return ampMode.step(); }
    bool isChannelLinked() const noexcept { return channelLinked; }
    /** The load (or line output) list item chosen for channel 0 (A) or 1 (B); 0 = none. */
    int getLoadId (int channel) const noexcept { return loadId[channel != 0]; }
    Ciospeaker& getSpeaker() noexcept { return *speaker; }

    /** A block of the signal-flow picture: which icon, lit or not, and where. */
    struct DiagramIcon
    {
        juce::Image image;
        juce::Point<int> position;
    };

    /** The icons the picture shows for mode `mode` with the given block flags, in drawing order. */
    static std::vector<DiagramIcon> diagramIcons (int mode, const BlockActivity& flags);

    void paint (juce::Graphics& g) override;

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void comboBoxChanged (juce::ComboBox* list) override;

private:
    Dialogs& dialogs;
    PanelLink& panel;
    juce::SharedResourcePointer<PageLookAndFeel> look;

    Cioampmode* ampmodeBlock = nullptr;
    Cdelay* delay[2] {};
    Climiter* limiter[2] {};
    std::unique_ptr<Ciospeaker> speaker;
    ScopedGlobal<Ciospeaker*> speakerInstalled;

    // Page state.
    int deviceModel = 0;
    AmpMode ampMode;
    bool followA = false;
    bool bridged = false;
    bool channelLinked = false;
    int loadId[2] {};
    // Set when an entry's Return has read a number, until its commit hook has used it.
    bool delayEntryRead[2] {};
    bool vpEntryRead[2] {};

    juce::GroupComponent modeGroup { {}, "Mode" };
    juce::TextButton modeButtons[AmpMode::count];
    juce::TextButton linkButton { "Channel Link" };
    ConfigChannelGroup channels[2] { ConfigChannelGroup (0), ConfigChannelGroup (1) };
    juce::Image modePicture;

    // Layout (CConfigPageLayout.cpp)
    void buildModeArea();
    void bindEntries (int c);

    // The mode (CConfigPage.cpp)
    void modeAnswered (int mode, bool yes);
    void applyMode (AmpMode mode);
    void showModeButton (int mode);
    bool bridgeAllowed() const;
    bool lineVoltageModel() const;
    float fullScaleVp() const;

    // The channels (CConfigPageChannels.cpp)
    void applyModeToChannels (AmpMode mode);
    void applyModelToLoads();
    void updateChannelBVisibility();
    bool linkedToOther() const;
    /** Channel `c`'s delay (limiter) block as the user edited it: sent, channel B's copy
        along while B follows A. */
    void sendDelay (int c);
    void sendLimiter (int c);

    void delayEdited (int c, float ms);
    bool readDelay (int c, int unit, const juce::String& typed);
    void updateDelay (int c, float ms);
    void refreshDelay (int c);

    void polarityClicked (int c, int degrees);
    void phaseClicked (int c);
    void setPolarity (int c, int degrees);

    void thresholdEdited (int c, float dbfs);
    void updateThreshold (int c, float dbfs);
    void releaseOrHoldEdited (int c, bool release, float ms);
    bool readVp (int c, const juce::String& typed);
    void vpEntered (int c);
    void refreshLimiter (int c);
    void updatePower (int c, float vp);
    juce::String vpText (int c) const;

    void loadChosen (int c);
    void setSpeakerFromLoad();
    void refreshLoads();

    void linkClicked();

    void repaintDiagram();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CConfigPage)
};
