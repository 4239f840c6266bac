#pragma once

#include "HistoryControls.h"
#include "HoverTooltips.h"
#include "HubForwarder.h"
#include "ModelTable.h"
#include "OscCom.h"
#include "PageLookAndFeel.h"
#include "PanelLink.h"
#include "OpenQuestions.h"
#include "PanelOperations.h"
#include "ValueEntry.h"
#include "led_clip.h"
#include "led_meter.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class CConfigPage;
class CDeqPage;
class CSetupPage;
class CUtilityPage;
class CXoverPage;
class Croot;
class Dialogs;
class CPeqPage;
class RemoteBridge;
class RemoteWindow;
class presetDocument;

/** The main panel: the content of the main window, fixed at 912 x 516.

    On the left the tabbed editor with the six pages; on the right the amplifier as a whole:
    output and input meters with their limit and clip lamps and, for the ZR family, the two
    input gain faders with mute, link and entry fields.  It creates the pages and then the
    communication hub, shows the connected model in the window title and adapts tabs and
    controls to the model's family.  It is the pages' PanelLink: it passes the model to the
    Configuration page and an applied amplifier mode to the pages that follow it.
    Everything here runs on the message thread.

    Children that other code or tests look up carry a component ID (see the constructor).
*/
class RemoteControl : public juce::Component,
                      public osc::PanelOperations,
                      public PanelLink,
                      private juce::Slider::Listener,
                      private juce::Button::Listener
{
public:
    static constexpr int panelWidth = 912;
    static constexpr int panelHeight = 516;
    /** Tab index of "  Setup  ", current at start. */
    static constexpr int setupTabIndex = 4;
    /** Tab index of the Utility page while it is shown. */
    static constexpr int utilityTabIndex = 5;

    /** Builds the panel: widgets, the six pages (the Utility tab removed again) with the
        tree, the preset document and the dialogs, then the hub with `hubOptions`, then
        meters and lamps; ends by showing "no device" in `mainWindow`'s title and, when it
        is a DocumentWindow, setting its icon.  Everything passed in must outlive the panel. */
    RemoteControl (juce::Component& mainWindow, Croot& root, presetDocument& presets, Dialogs& dialogs,
                   osc::HubOptions hubOptions = {});

    /** Deletes the pages first (a page's own threads may send through the hub), then the
        hub, whose threads are stopped before it goes. */
    ~RemoteControl() override;

    /** Shows model `index` (0..8; anything else is read as 8, no device): window title,
        Utility tab and gain controls for the ZR family only, inputs group height.  Also
        hands the index to the Configuration page.  Any other model (no device included:
        every connection ends with it) ends the generator's sweep and forgets its state
        (CUtilityPage::amplifierGone); with the Utility tab shown, the Setup tab replaces
        it.  Called by the Setup page. */
    void setDeviceLabel (int index) override;

    /** Hands the mode to the Parametric EQ, Filter/Crossover and Dynamic EQ pages, in that
        order.  Called by the Configuration page. */
    void ampModeApplied (int mode) override;

    /** Loads `file` through the Setup page as its "Load" does once a file is chosen (for
        files that come from outside: command line, later starts, drops). */
    void loadPresetFile (const juce::File& file);

    /** The model index last set, 0..8. */
    int getModelIndex() const noexcept { return modelIndex; }

    /** From "/gain" (dB): both faders follow without sending anything, and the entries show
        the faders' values (a gain outside -60..0 shows as the end it is held at); the mute
        buttons take the states; the link offset becomes gain A - gain B.  Gains that are
        not finite numbers change nothing. */
    void setGainsFromDevice (float gainA, float gainB, bool muteA, bool muteB) override;

    /** From "/meter" (linear levels, 1.0 = full scale): each meter shows
        trunc (20 log10 v + 1.2) dB, and -60 for anything at or below that (silence too). */
    void setMeters (float inputA, float inputB, float outputA, float outputB) override;

    /** From "/peaklimit" and the offline sequence: the four lamps. */
    void setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB) override;

    /** The meter level in dB shown for the linear level `value`. */
    static double meterLevelFor (float value);

    /** The link offset in dB (gain A - gain B) the faders keep while linked. */
    double getLinkOffset() const noexcept { return linkOffset; }

    /** A preset file was read into the tree: one step of the edit history, named by it. */
    void presetFileLoaded (const juce::String& fileName) override;

    /** A preset slot's recall was asked for: the values the amplifier sends next are one
        step of the edit history. */
    void presetSlotRecalled (int slot) override;

    /** Undo, redo and the A/B memories (created with the panel, null only while it is
        built and taken down). */
    HistoryControls* getHistoryControls() noexcept { return historyControls.get(); }

    /** The phone remote (off until started, from its window or the command line). */
    RemoteBridge& getRemote() noexcept { return *remote; }

    /** Opens the remote's window ("Remote"), or brings it to the front. */
    void showRemoteWindow();

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;

private:
    void sliderValueChanged (juce::Slider* slider) override;
    void buttonClicked (juce::Button* button) override;

    void buildGainControls();
    void bindGainEntry (ValueEntry& entry, juce::Slider& fader);
    void buildLabels();
    void buildTabs (Croot& root, presetDocument& presets, Dialogs& dialogs);
    void buildMeters();
    void buildRemote();
    void loadImages();
    void setWindowIcon();
    void buildHistory (Croot& root);
    std::vector<SettingsPart> panelParts();
    void showGains (float gainA, float gainB, bool muteA, bool muteB);
    void noteEdit (const char* address);

    void followLinkFromA();
    void followLinkFromB();
    void sendGains();
    static juce::String gainText (double value);

    juce::Component& mainWindow;
    // The pages and the hub ask their questions through this: undo waits while one is open.
    OpenQuestions openQuestions;
    int modelIndex = ModelTable::noDevice;
    bool muteA = false;
    bool muteB = false;
    bool link = false;
    double linkOffset = 0.0;

    juce::GroupComponent outputsGroup { "new group", "Outputs" };
    juce::GroupComponent inputsGroup { "new group", "Inputs" };
    juce::Slider gainA { "gainA" };
    juce::Slider gainB { "gainB" };
    juce::TextButton muteButtonB { "mutegainB" };
    juce::TextButton muteButtonA { "mutegainA" };
    juce::TextButton linkButton { "linkgain" };
    // The gain entries are the pages' entries, with their look (their caret is quiet
    // while they have no focus); declared first, the look outlives them.
    juce::SharedResourcePointer<PageLookAndFeel> entryLook;
    ValueEntry gainEntryA { "gain text editor" };
    ValueEntry gainEntryB { "gain text editor" };
    juce::Label outputLabelA { "new label", "A" };
    juce::Label outputLabelB { "new label", "B" };
    juce::Label inputLabelA { "new label", "A" };
    juce::Label inputLabelB { "new label", "B" };
    juce::Label dbLabel { "dB label", "dB" };
    juce::Label versionLabel { "new label", "V1.4" };

    // The Setup page reaches the hub through this; the hub comes after the pages.
    HubForwarder hubForwarder;

    // The tabs own five pages; the Utility page is the panel's, shown only for the ZR family.
    std::unique_ptr<juce::TabbedComponent> tabs;
    CConfigPage* configPage = nullptr;
    CXoverPage* xoverPage = nullptr;
    CPeqPage* peqPage = nullptr;
    CDeqPage* deqPage = nullptr;
    CSetupPage* setupPage = nullptr;   // the hub's partner
    std::unique_ptr<CUtilityPage> utilityPage;

    std::unique_ptr<osc::OscCom> hub;

    // Undo, redo and A/B: built last, taken down first.
    std::unique_ptr<HistoryControls> historyControls;
    bool historyOnline = false;   // the history was reset for the amplifier now connected

    // The phone remote, which reads and drives the panel and the pages; it goes first.
    juce::TextButton remoteButton { "remote" };
    std::unique_ptr<RemoteBridge> remote;
    std::unique_ptr<RemoteWindow> remoteWindow;

    led_meter outputMeterA { "output meter A" };
    led_meter outputMeterB { "output meter B" };
    led_meter inputMeterA { "input meter A" };
    led_meter inputMeterB { "input meter B" };
    led_clip outputLimitLedA { "output limit led A" };
    led_clip outputLimitLedB { "output limit led B" };
    led_clip inputClipLedA { "input clip led A" };
    led_clip inputClipLedB { "input clip led B" };

    juce::Image banner, outputScale, inputScale, tarvoBadge, tarvoLogo, zrBadge, zrLogo, windowIcon;
    juce::Path framePath;

    // The tooltips of the pages' buttons, drawn inside the panel while the pointer is over it.
    HoverTooltips tooltips { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RemoteControl)
};
