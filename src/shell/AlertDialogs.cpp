#include "AlertDialogs.h"

namespace
{
    juce::MessageBoxIconType toJuce (Dialogs::Icon icon)
    {
        switch (icon)
        {
            case Dialogs::Icon::question: return juce::MessageBoxIconType::QuestionIcon;
            case Dialogs::Icon::warning: return juce::MessageBoxIconType::WarningIcon;
            case Dialogs::Icon::info: return juce::MessageBoxIconType::InfoIcon;
            case Dialogs::Icon::none: break;
        }
        return juce::MessageBoxIconType::NoIcon;
    }
}

AlertDialogs::AlertDialogs() = default;

// A chooser still open closes here; its answer is dropped.
AlertDialogs::~AlertDialogs() = default;

void AlertDialogs::askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                                const juce::String& okText, const juce::String& cancelText,
                                std::function<void (bool)> onAnswer)
{
    const auto options = juce::MessageBoxOptions()
                             .withIconType (toJuce (icon))
                             .withTitle (title)
                             .withMessage (message)
                             .withButton (okText)
                             .withButton (cancelText);

    // The first button answers 1, the second 0 (as do Escape and closing the box).
    juce::AlertWindow::showAsync (
        options,
        [self = juce::WeakReference<AlertDialogs> (this), onAnswer = std::move (onAnswer)] (int button)
        {
            if (self != nullptr && onAnswer)
                onAnswer (button == 1);
        });
}

void AlertDialogs::showMessage (Icon icon, const juce::String& title, const juce::String& message,
                                const juce::String& buttonText, std::function<void()> onClosed)
{
    const auto options = juce::MessageBoxOptions()
                             .withIconType (toJuce (icon))
                             .withTitle (title)
                             .withMessage (message)
                             .withButton (buttonText);

    juce::AlertWindow::showAsync (
        options,
        [self = juce::WeakReference<AlertDialogs> (this), onClosed = std::move (onClosed)] (int)
        {
            if (self != nullptr && onClosed)
                onClosed();
        });
}

void AlertDialogs::chooseFileToOpen (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                                     std::function<void (const juce::File&)> onChosen)
{
    launchChooser (title, initial, patterns,
                   juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                   std::move (onChosen));
}

void AlertDialogs::chooseFileToSave (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                                     std::function<void (const juce::File&)> onChosen)
{
    launchChooser (title, initial, patterns,
                   juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                       | juce::FileBrowserComponent::warnAboutOverwriting,
                   std::move (onChosen));
}

// The file choosers use JUCE's own dialog: Linux desktops differ in what native helper they
// offer, and the program must behave the same on all of them.
void AlertDialogs::launchChooser (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                                  int flags, std::function<void (const juce::File&)> onChosen)
{
    chooser = std::make_unique<juce::FileChooser> (title, initial, patterns, false);

    // The chooser lives on in `chooser` until the next one replaces it or this object goes;
    // deleting it closes its dialog, whose answer is then never delivered.
    chooser->launchAsync (flags,
                          [self = juce::WeakReference<AlertDialogs> (this),
                           onChosen = std::move (onChosen)] (const juce::FileChooser& done)
                          {
                              if (self != nullptr && onChosen)
                                  onChosen (done.getResult());
                          });
}
