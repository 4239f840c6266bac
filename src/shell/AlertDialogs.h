#pragma once

#include "Dialogs.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The program's dialogs: AlertWindows and JUCE's own file chooser, each shown modal to the
    program's windows and answered through its callback.

    An answer never reaches a callback once this object is gone: each callback holds a weak
    reference to it.  One file chooser is open at a time; asking for another closes the
    first without an answer.  Message thread only.
*/
class AlertDialogs : public Dialogs
{
public:
    AlertDialogs();
    ~AlertDialogs() override;

    void askOkCancel (Icon icon, const juce::String& title, const juce::String& message, const juce::String& okText,
                      const juce::String& cancelText, std::function<void (bool ok)> onAnswer) override;
    void showMessage (Icon icon, const juce::String& title, const juce::String& message, const juce::String& buttonText,
                      std::function<void()> onClosed) override;
    void chooseFileToOpen (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                           std::function<void (const juce::File&)> onChosen) override;
    void chooseFileToSave (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                           std::function<void (const juce::File&)> onChosen) override;

private:
    void launchChooser (const juce::String& title, const juce::File& initial, const juce::String& patterns, int flags,
                        std::function<void (const juce::File&)> onChosen);

    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_WEAK_REFERENCEABLE (AlertDialogs)
    JUCE_DECLARE_NON_COPYABLE (AlertDialogs)
};
