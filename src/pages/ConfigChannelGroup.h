#pragma once

#include "ValueEntry.h"
#include "ValueKnob.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <vector>

/** The widgets of one channel of the Configuration page: delay with its ms, m and ft
    entries, polarity, the peak limiter with its volts-peak entry and power display, the
    load (or line output) list, release and hold.

    Only a holder with the layout: the widgets sit directly on the page, which listens to
    them and decides what they do (CConfigPage).  Channel B's widgets sit 356 pixels to the
    right of channel A's.  Every widget carries a component ID made of its role and the
    channel letter ("delayKnobA", "vpEntryB").  Message thread only. */
class ConfigChannelGroup
{
public:
    /** Horizontal distance between the two channels' widgets. */
    static constexpr int channelSpacing = 356;

    /** The widgets of channel `channel` (0 A, 1 B), not yet on a page. */
    explicit ConfigChannelGroup (int channel);

    /** Puts every widget on `page` at its place and makes the page the listener of its
        knobs, buttons and list (the entries report through their own hooks).  Channel
        B's load list starts with its short items, channel A's with the ohm items; both
        select id 1. */
    void build (juce::Component& page, juce::Slider::Listener& sliders, juce::Button::Listener& buttons,
                juce::ComboBox::Listener& lists);

    /** Shows or hides what channel B hides while it follows channel A: everything of the
        channel but the "Load" and "Output" labels, which go with the model. */
    void setFollowingWidgetsVisible (bool visible);

    /** Fills the load list with the ohm items (" -", "2 Ohm" .. "16 Ohm", ids 1..5) or the
        line-voltage items ("100 V", "70 V", ids 1..2), without reporting a change and with
        nothing selected. */
    void fillLoadList (bool lineVoltage);

    const int channel;

    juce::GroupComponent group;

    juce::Label delayLabel { {}, "Delay" };
    ValueKnob delayKnob;
    ValueEntry msEntry, metreEntry, feetEntry;
    juce::Label msLabel { {}, "ms" };
    juce::Label metreLabel { {}, "m" };
    juce::Label feetLabel { {}, "ft" };

    juce::TextButton phaseButton { "Phase" };
    juce::ToggleButton zeroDegrees, oneEightyDegrees;

    juce::Label limiterLabel { {}, "Peak Limiter" };
    ValueKnob thresholdKnob;
    juce::Label dbfsLabel { {}, "dBfs" };
    ValueEntry vpEntry;
    juce::Label vpLabel { {}, "Vp" };
    EntryField powerDisplay;
    juce::Label wattLabel { {}, "W" };

    juce::Label loadLabel { {}, "Load" };
    juce::Label outputLabel { {}, "Output" };
    juce::ComboBox loadList;

    juce::Label releaseLabel { {}, "Release" };
    ValueKnob releaseKnob;
    juce::Label releaseMsLabel { {}, "ms" };
    juce::Label holdLabel { {}, "Hold" };
    ValueKnob holdKnob;
    juce::Label holdMsLabel { {}, "ms" };

private:
    std::vector<juce::Component*> followingWidgets();
    void place (juce::Component& page, juce::Component& widget, const char* role, juce::Rectangle<int> bounds);

    JUCE_DECLARE_NON_COPYABLE (ConfigChannelGroup)
};
