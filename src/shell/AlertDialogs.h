#pragma once

#include "Dialogs.h"

/** The program's dialogs: modal AlertWindows and JUCE's own file chooser. */
class AlertDialogs : public Dialogs
{
public:
    bool askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& okText, const juce::String& cancelText) override;
    void showMessage (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& buttonText) override;
    juce::File chooseFileToOpen (const juce::String& title, const juce::File& initial,
                                 const juce::String& patterns) override;
    juce::File chooseFileToSave (const juce::String& title, const juce::File& initial,
                                 const juce::String& patterns) override;
};
