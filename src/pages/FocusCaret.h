#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The text caret of the pages' entries: it blinks only while its editor has the keyboard
    focus.

    The framework's own caret keeps a timer running for every editor, focused or not, which
    wakes the program several times a second per editor while nothing happens.  This one
    stops its timer as soon as the editor loses the focus (or a modal box covers it) and
    starts it again when the editor moves its caret, which it does on getting the focus.
    Created by PageLookAndFeel.  Message thread only.
*/
class FocusCaret : public juce::CaretComponent
{
public:
    /** A caret for `editor` (must outlive the caret, as the editor owns it). */
    explicit FocusCaret (juce::Component* editor);
    ~FocusCaret() override;

    /** Moves to `characterArea` and shows at once while the editor has the focus; hides and
        stops blinking otherwise. */
    void setCaretPosition (const juce::Rectangle<int>& characterArea) override;

    /** True while the blink timer runs. */
    bool isBlinking() const { return blink.isTimerRunning(); }

    static constexpr int blinkMs = 380;

private:
    struct Blink : public juce::Timer
    {
        std::function<void()> tick;
        void timerCallback() override { tick(); }
    };

    bool editorHasFocus() const;
    void tick();

    juce::Component* editor;
    Blink blink;

    JUCE_DECLARE_NON_COPYABLE (FocusCaret)
};
