#pragma once

#include <juce_core/juce_core.h>

/** The one door to modal questions, message boxes and file choosers.

    The program installs AlertDialogs (AlertWindow, FileChooser); tests install a scripted
    implementation that answers from a queue and records what was asked.  All calls are made
    on the message thread and return when the user has answered.  Texts are shown as given;
    callers pass them through TRANS().
*/
class Dialogs
{
public:
    enum class Icon { none, question, warning, info };

    virtual ~Dialogs() = default;

    /** A two-button question; true when the first button (okText) was chosen. */
    virtual bool askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& okText, const juce::String& cancelText) = 0;

    /** A message with one button. */
    virtual void showMessage (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& buttonText) = 0;

    /** A file to open; a non-existent File when the user cancelled. */
    virtual juce::File chooseFileToOpen (const juce::String& title, const juce::File& initial,
                                         const juce::String& patterns) = 0;

    /** A file to save to; a non-existent File() (getFullPathName empty) when cancelled. */
    virtual juce::File chooseFileToSave (const juce::String& title, const juce::File& initial,
                                         const juce::String& patterns) = 0;
};
