#pragma once

#include "Dialogs.h"
#include <deque>
#include <functional>
#include <string>
#include <vector>

/** Answers questions from a script and records everything that was shown.

    Each record is "title|message|button1|button2|icon" (button2 empty for a message box).
    Questions with no scripted answer get `defaultAnswer`.  By default every box is answered
    inline, before the call returns, so tests read as if the boxes were modal.  With
    `holdBoxes` set, boxes stay "open" instead: their callbacks wait in `open` until
    answerOpenBox() closes the newest (the one on top, as on screen), which lets a test act
    while a box is up.  The file choosers pick `openAnswer` and `saveAnswer` and are recorded
    in `opens` and `saves`; held open, answerOpenBoxWith (false) cancels one.
*/
class FakeDialogs : public Dialogs
{
public:
    void askOkCancel (Icon icon, const juce::String& title, const juce::String& message, const juce::String& okText,
                      const juce::String& cancelText, std::function<void (bool)> onAnswer) override
    {
        record (icon, title, message, okText, cancelText);
        if (onAsk)
            onAsk();
        if (holdBoxes)
        {
            open.push_back (std::move (onAnswer));
            return;
        }
        if (onAnswer)
            onAnswer (nextAnswer());
    }

    void showMessage (Icon icon, const juce::String& title, const juce::String& message, const juce::String& buttonText,
                      std::function<void()> onClosed) override
    {
        record (icon, title, message, buttonText, {});
        if (holdBoxes)
        {
            open.push_back (
                [onClosed] (bool)
                {
                    if (onClosed)
                        onClosed();
                });
            return;
        }
        if (onClosed)
            onClosed();
    }

    void chooseFileToOpen (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                           std::function<void (const juce::File&)> onChosen) override
    {
        opens.push_back ({ title, initial, patterns });
        chooseFile (openAnswer, std::move (onChosen));
    }

    void chooseFileToSave (const juce::String& title, const juce::File& initial, const juce::String& patterns,
                           std::function<void (const juce::File&)> onChosen) override
    {
        saves.push_back ({ title, initial, patterns });
        chooseFile (saveAnswer, std::move (onChosen));
    }

    /** Closes the newest open box: a question gets the next scripted answer, a message box
        just closes.  False when no box is open. */
    bool answerOpenBox() { return answerOpenBoxWith (nextAnswer()); }

    bool answerOpenBoxWith (bool answer)
    {
        if (open.empty())
            return false;
        auto callback = std::move (open.back());
        open.pop_back();
        if (callback)
            callback (answer);
        return true;
    }

    std::deque<bool> answers;
    bool defaultAnswer = false;
    bool holdBoxes = false;
    std::vector<std::string> shown;
    /** Callbacks of the boxes still open (holdBoxes), oldest first. */
    std::deque<std::function<void (bool)>> open;
    /** Runs inside a question, while it is "open". */
    std::function<void()> onAsk;

    /** One file chooser as it was opened. */
    struct Pick
    {
        juce::String title;
        juce::File initial;
        juce::String patterns;
    };

    /** The files the choosers pick (File(), cancelled, unless the test sets one). */
    juce::File openAnswer, saveAnswer;
    /** Every chooser opened, oldest first. */
    std::vector<Pick> opens, saves;

private:
    void chooseFile (const juce::File& file, std::function<void (const juce::File&)> onChosen)
    {
        if (! onChosen)
            return;
        if (holdBoxes)
            open.push_back ([file, onChosen] (bool chosen) { onChosen (chosen ? file : juce::File()); });
        else
            onChosen (file);
    }

    bool nextAnswer()
    {
        if (answers.empty())
            return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void record (Icon icon, const juce::String& title, const juce::String& message, const juce::String& first,
                 const juce::String& second)
    {
        static const char* const icons[] = { "none", "question", "warning", "info" };
        shown.push_back ((title + "|" + message + "|" + first + "|" + second + "|" + icons[(int) icon]).toStdString());
    }
};
