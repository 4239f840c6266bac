#include "FocusCaret.h"

FocusCaret::FocusCaret (juce::Component* editorToFollow)
    : juce::CaretComponent (editorToFollow),
      editor (editorToFollow)
{
    blink.tick = [this] { tick(); };
}

FocusCaret::~FocusCaret()
{
    blink.stopTimer();
}

void FocusCaret::setCaretPosition (const juce::Rectangle<int>& characterArea)
{
    // The framework's caret would start its own timer here; this one keeps it off.
    setBounds (characterArea.withWidth (2));

    const bool focused = editorHasFocus();
    setVisible (focused);
    if (focused)
        blink.startTimer (blinkMs);
    else
        blink.stopTimer();
}

bool FocusCaret::editorHasFocus() const
{
    return editor == nullptr
           || (editor->hasKeyboardFocus (false) && ! editor->isCurrentlyBlockedByAnotherModalComponent());
}

void FocusCaret::tick()
{
    if (editorHasFocus())
    {
        setVisible (! isVisible());
        return;
    }

    setVisible (false);
    blink.stopTimer();
}
