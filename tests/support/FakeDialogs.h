#pragma once

#include "Dialogs.h"
#include <deque>
#include <functional>
#include <string>
#include <vector>

/** Answers questions from a script and records everything that was shown.

    Each record is "title|message|button1|button2|icon" (button2 empty for a message box).
    Questions with no scripted answer get `defaultAnswer`.
*/
class FakeDialogs : public Dialogs
{
public:
    bool askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& okText, const juce::String& cancelText) override
    {
        record (icon, title, message, okText, cancelText);
        if (onAsk)
            onAsk();
        if (answers.empty())
            return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void showMessage (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& buttonText) override
    {
        record (icon, title, message, buttonText, {});
    }

    juce::File chooseFileToOpen (const juce::String&, const juce::File&, const juce::String&) override { return {}; }
    juce::File chooseFileToSave (const juce::String&, const juce::File&, const juce::String&) override { return {}; }

    std::deque<bool> answers;
    bool defaultAnswer = false;
    std::vector<std::string> shown;
    /** Runs inside a question, while it is "open". */
    std::function<void()> onAsk;

private:
    void record (Icon icon, const juce::String& title, const juce::String& message,
                 const juce::String& first, const juce::String& second)
    {
        static const char* const icons[] = { "none", "question", "warning", "info" };
        shown.push_back ((title + "|" + message + "|" + first + "|" + second + "|" + icons[(int) icon]).toStdString());
    }
};
