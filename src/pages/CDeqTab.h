#pragma once

#include "AmpMode.h"
#include "HandleOwners.h"
#include "PageLookAndFeel.h"
#include "ParamKnob.h"
#include "ValueEntry.h"
#include "ValueKnob.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

class Cblock;
class Croot;
class Cdeqcomp;
class Cdeqfilt;
class Cdeqtime;

/** One channel's tab of the Dynamic EQ page: the two bands, each with its compressor (gain,
    threshold, ratio), timing (attack, release) and filter (on/off, type, frequency,
    quality).

    A user edit sets the block's parameters and sends that block at once; compressor and
    filter edits also recompute the band's curves (through onBandChanged, which the page
    sets), timing edits only send.  A change message of a block refreshes the band's widgets
    and curves and sends nothing.  Channel A's tab also holds channel B's blocks: in Stereo
    and Bridge (setFollowMode) every edit, the handles' too, is copied into them, unsent.  Message thread only.
*/
class CDeqTab : public juce::Component,
                public juce::ChangeListener,
                public DeqHandleTab,
                private juce::Slider::Listener,
                private juce::ComboBox::Listener,
                private juce::Button::Listener
{
public:
    static constexpr int tabWidth = 720;
    static constexpr int tabHeight = 260;
    static constexpr int bandCount = 2;
    /** The ratios the ratio list offers, for ids 1 .. 4. */
    static constexpr float ratioChoices[4] = { 2.0f, 3.0f, 5.0f, 10.0f };

    /** The tab of `channel` (0 A, 1 B), listening to that channel's six blocks of `root`. */
    CDeqTab (Croot& root, int channel);
    ~CDeqTab() override;

    /** Called after a band's compressor or filter changed (edited or refreshed), with the
        band (0, 1): the page recomputes that band's curves and repaints its graph. */
    std::function<void (int band)> onBandChanged;

    /** From a band's graph handle: `what` 1 moves the frequency by `delta` steps (even on
        an "OFF" band), 2 lowers the gain by delta x 0.5 dB and 3 moves the quality by
        `delta` steps, both only while the band's filter is not "OFF".  Sends the block that
        changed, copied into channel B first while B follows, as every edit is. */
    void handleEdit (int what, int band, int delta) override;

    /** Stereo and Bridge make channel B follow A: B's blocks take A's values now (unsent) and
        A's edits from then on.  Channel A's tab only. */
    void setFollowMode (AmpMode mode);

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void paint (juce::Graphics& g) override;

    int getChannel() const noexcept { return channel; }
    bool isFollowingA() const noexcept { return followA; }
    Cdeqcomp* compBlock (int band) const { return comps[band]; }
    Cdeqtime* timeBlock (int band) const { return times[band]; }
    Cdeqfilt* filtBlock (int band) const { return filts[band]; }

private:
    struct BandWidgets
    {
        juce::TextButton deqButton;
        ValueKnob gainKnob { "DEQ gain ", 55, 20 };
        ValueKnob thresholdKnob { "DEQ theshold", 55, 20 };
        ParamKnob freqKnob { "DEQ frequency" };
        ValueEntry freqEditor { "freq text editor" };
        ParamKnob qualKnob { "DEQ quality" };
        ValueEntry qualEditor { "qual text editor" };
        ValueKnob attackKnob { "DEQ attack time", 55, 20 };
        ValueKnob releaseKnob { "DEQ release time", 55, 20 };
        juce::ComboBox typeCombo { "DEQ FilterType" };
        juce::ComboBox ratioCombo { "DEQ Ratio" };

        /** The band's labels, in the order of the layout's table. */
        enum LabelIndex
        {
            gainLabel,
            thresholdLabel,
            gainDb,
            thresholdDb,
            frequencyLabel,
            qualityLabel,
            attackLabel,
            releaseLabel,
            hzLabel,
            attackMs,
            releaseMs,
            typeLabel,
            ratioLabel,
            labelCount
        };
        juce::Label labels[labelCount];
    };

    enum Block
    {
        compBlockIndex,
        timeBlockIndex,
        filtBlockIndex
    };

    // Layout (CDeqTabLayout.cpp)
    void buildBand (int band);

    // Behaviour
    void sliderValueChanged (juce::Slider* slider) override;
    void comboBoxChanged (juce::ComboBox* box) override;
    void buttonClicked (juce::Button* button) override;

    void deqBlockEdited (int block, int band);
    void copyBlockToChannelB (int block, int band);
    /** Block `block` (compBlockIndex ..) of band `band`, channel B's copy on tab A. */
    Cblock* blockOf (int block, int band, bool channelB) const;
    void setDeqFilterType (int step, int band);
    void setDeqFromControl (int what, int band, int block, double x);
    void compressorKnobMoved (int band, bool threshold);
    void timeKnobMoved (int band, bool release);
    void ratioChosen (int band);
    void typeChosen (int band);
    void entryCommitted (int band, bool quality);
    void updateDeqActive();
    void showQualityFor (int band);
    void showCompressor (int band);
    void showTime (int band);
    void showFilter (int band);
    void bandChanged (int band);

    /** The page look with a smaller list font: "1:5.0" must fit a 64-pixel list. */
    class NarrowListLook : public PageLookAndFeel
    {
    public:
        juce::Font getComboBoxFont (juce::ComboBox& box) override;
        void positionComboBoxText (juce::ComboBox& box, juce::Label& label) override;
    };

    juce::SharedResourcePointer<PageLookAndFeel> look;
    NarrowListLook listLook;   // outlives the lists that use it

    Cdeqcomp* channelBComps[bandCount] {};
    Cdeqtime* channelBTimes[bandCount] {};
    Cdeqfilt* channelBFilts[bandCount] {};
    Cdeqcomp* comps[bandCount] {};
    Cdeqtime* times[bandCount] {};
    Cdeqfilt* filts[bandCount] {};
    int channel = 0;
    bool followA = false;

    BandWidgets bands[bandCount];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CDeqTab)
};
