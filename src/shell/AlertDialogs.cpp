#include "AlertDialogs.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
    juce::MessageBoxIconType toJuce (Dialogs::Icon icon)
    {
        switch (icon)
        {
            case Dialogs::Icon::question: return juce::MessageBoxIconType::QuestionIcon;
            case Dialogs::Icon::warning:  return juce::MessageBoxIconType::WarningIcon;
            case Dialogs::Icon::info:     return juce::MessageBoxIconType::InfoIcon;
            case Dialogs::Icon::none:     break;
        }
        return juce::MessageBoxIconType::NoIcon;
    }
}

bool AlertDialogs::askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                                const juce::String& okText, const juce::String& cancelText)
{
    return juce::AlertWindow::showOkCancelBox (toJuce (icon), title, message, okText, cancelText);
}

void AlertDialogs::showMessage (Icon icon, const juce::String& title, const juce::String& message,
                                const juce::String& buttonText)
{
    juce::AlertWindow::showMessageBox (toJuce (icon), title, message, buttonText);
}

// The file choosers use JUCE's own dialog: Linux desktops differ in what native helper they
// offer, and the program must behave the same on all of them.
juce::File AlertDialogs::chooseFileToOpen (const juce::String& title, const juce::File& initial,
                                           const juce::String& patterns)
{
    juce::FileChooser chooser (title, initial, patterns, false);
    return chooser.browseForFileToOpen() ? chooser.getResult() : juce::File();
}

juce::File AlertDialogs::chooseFileToSave (const juce::String& title, const juce::File& initial,
                                           const juce::String& patterns)
{
    juce::FileChooser chooser (title, initial, patterns, false);
    return chooser.browseForFileToSave (true) ? chooser.getResult() : juce::File();
}
