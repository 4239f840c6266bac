#include "GestureWatch.h"

#include "SettingsHistory.h"

GestureWatch::GestureWatch (SettingsHistory& historyToTell)
    : history (historyToTell)
{
    juce::Desktop::getInstance().addFocusChangeListener (this);
}

GestureWatch::~GestureWatch()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);
}

std::uint64_t GestureWatch::gestureNow()
{
    // The framework counts presses and wheel turns before the control under the mouse has
    // them, so an edit made on the press itself already reads the new gesture.
    auto& desktop = juce::Desktop::getInstance();
    const int clicks = desktop.getMouseButtonClickCounter();
    const int wheelTurns = desktop.getMouseWheelMoveCounter();
    if (clicks != clicksSeen)
    {
        clicksSeen = clicks;
        wheelTurnsAtClick = wheelTurns;
    }

    // Turned since the last press: the control under the mouse is the gesture.
    std::uint64_t wheelTarget = 0;
    if (wheelTurns != wheelTurnsAtClick)
        wheelTarget = (std::uint64_t) reinterpret_cast<std::uintptr_t> (
            desktop.getMainMouseSource().getComponentUnderMouse());

    return ((std::uint64_t) (std::uint32_t) clicks << 32) ^ wheelTarget;
}

void GestureWatch::watchOpenStep()
{
    if (history.isStepOpen() && ! isTimerRunning())
        startTimer (tickMs);
}

void GestureWatch::globalFocusChanged (juce::Component*)
{
    // Moved by a press, the focus is that press's gesture (the press itself counts); moved
    // by the keyboard, it ends what was typed before.
    if (! juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown())
        history.focusMoved();
}

void GestureWatch::timerCallback()
{
    history.tick (juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown());
    if (! history.isStepOpen())
        stopTimer();
}
