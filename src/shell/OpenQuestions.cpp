#include "OpenQuestions.h"

OpenQuestions::OpenQuestions (Dialogs& dialogsToUse)
    : dialogs (dialogsToUse)
{
}

void OpenQuestions::askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                                 const juce::String& okText, const juce::String& cancelText,
                                 std::function<void (bool ok)> onAnswer)
{
    ++open;
    dialogs.askOkCancel (icon, title, message, okText, cancelText,
                         [this, alive = std::weak_ptr<bool> (alive), onAnswer = std::move (onAnswer)] (bool ok)
                         {
                             if (! alive.expired())
                                 --open;
                             if (onAnswer)
                                 onAnswer (ok);
                         });
}

void OpenQuestions::showMessage (Icon icon, const juce::String& title, const juce::String& message,
                                 const juce::String& buttonText, std::function<void()> onClosed)
{
    dialogs.showMessage (icon, title, message, buttonText, std::move (onClosed));
}

void OpenQuestions::chooseFileToOpen (const juce::String& title, const juce::File& initial,
                                      const juce::String& patterns, std::function<void (const juce::File&)> onChosen)
{
    dialogs.chooseFileToOpen (title, initial, patterns, std::move (onChosen));
}

void OpenQuestions::chooseFileToSave (const juce::String& title, const juce::File& initial,
                                      const juce::String& patterns, std::function<void (const juce::File&)> onChosen)
{
    dialogs.chooseFileToSave (title, initial, patterns, std::move (onChosen));
}
