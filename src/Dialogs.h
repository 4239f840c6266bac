#pragma once

#include <juce_core/juce_core.h>
#include <functional>

/** The one door to questions, message boxes and file choosers.

    The program installs AlertDialogs (AlertWindow, FileChooser); tests install a scripted
    implementation that answers from a queue and records what was asked.

    Every call is made on the message thread and returns at once: the box stays on screen,
    modal to the window, and the answer arrives later through the callback, on the message
    thread.  Nothing runs a nested message loop, so nothing the caller holds can change under
    it while a box is open; instead, whatever a callback touches may have changed or gone
    by the time it runs, and the callback must check (a SafePointer, a weak reference, the
    row looked up again).  A callback is called at most once, and not at all when the box
    is dismissed by the program quitting.  Texts are shown as given; callers pass them
    through TRANS().
*/
class Dialogs
{
public:
    enum class Icon
    {
        none,
        question,
        warning,
        info
    };

    virtual ~Dialogs() = default;

    /** A two-button question; `onAnswer` gets true when the first button (okText) was chosen. */
    virtual void askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& okText, const juce::String& cancelText,
                              std::function<void (bool ok)> onAnswer)
        = 0;

    /** A message with one button; `onClosed` (may be empty) runs once it was dismissed. */
    virtual void showMessage (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& buttonText, std::function<void()> onClosed = {})
        = 0;

    /** A file to open: `onChosen` gets it, or a File() (empty full path) when cancelled. */
    virtual void chooseFileToOpen (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                                   std::function<void (const juce::File&)> onChosen)
        = 0;

    /** A file to save to: `onChosen` gets it, or a File() (empty full path) when cancelled. */
    virtual void chooseFileToSave (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                                   std::function<void (const juce::File&)> onChosen)
        = 0;
};
