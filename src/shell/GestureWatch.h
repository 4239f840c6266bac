#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <cstdint>

class SettingsHistory;

/** Tells the edit history where the user's gestures begin and end.

    A gesture is identified by the framework's own counters, read when an edit comes
    (gestureNow): each mouse press is a new one, and so are wheel turns on another control
    than the last.  A move of the keyboard focus while no button is held (Tab to the next
    entry) ends what was typed before.  While a step is open, a timer ticks the history so
    that a gesture without a button held ends after a quiet half second.  At rest nothing
    runs: no global mouse listener either, whose framework timer would ask the X server for
    the pointer ten times a second.  Message thread only.
*/
class GestureWatch : private juce::FocusChangeListener, private juce::Timer
{
public:
    explicit GestureWatch (SettingsHistory& history);
    ~GestureWatch() override;

    /** The gesture in progress (see SettingsHistory::Options::gesture). */
    std::uint64_t gestureNow();

    /** A step is open: ticks the history until it ends. */
    void watchOpenStep();

    /** How often an open step is looked at. */
    static constexpr int tickMs = 100;

private:
    void globalFocusChanged (juce::Component* focused) override;
    void timerCallback() override;

    SettingsHistory& history;
    int clicksSeen = -1;
    int wheelTurnsAtClick = 0;

    JUCE_DECLARE_NON_COPYABLE (GestureWatch)
};
