#pragma once

#include "Dialogs.h"
#include <memory>

/** The program's dialogs, counting the questions still open.

    The panel hands this to its pages and the hub instead of the dialogs themselves, so that
    undo, redo and the A/B switch can wait while a question (the mode question above all) is
    on screen: what they would change is what the question is about.  Everything else is
    passed through unchanged.  Message thread only.
*/
class OpenQuestions : public Dialogs
{
public:
    /** `dialogs` must outlive this. */
    explicit OpenQuestions (Dialogs& dialogs);

    /** True from askOkCancel until it is answered. */
    bool any() const noexcept { return open > 0; }

    void askOkCancel (Icon icon, const juce::String& title, const juce::String& message, const juce::String& okText,
                      const juce::String& cancelText, std::function<void (bool ok)> onAnswer) override;
    void showMessage (Icon icon, const juce::String& title, const juce::String& message, const juce::String& buttonText,
                      std::function<void()> onClosed) override;
    void chooseFileToOpen (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                           std::function<void (const juce::File&)> onChosen) override;
    void chooseFileToSave (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                           std::function<void (const juce::File&)> onChosen) override;

private:
    Dialogs& dialogs;
    int open = 0;
    // The count lives as long as this object; an answer arriving later finds it gone.
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);
};
