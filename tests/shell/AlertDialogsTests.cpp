// The program's dialogs on a real display: each call returns at once with its box modal on
// screen, the answer arrives through the callback, and never once the dialogs object is gone.

#include "AlertDialogs.h"
#include "MessageLoop.h"
#include "TestDisplay.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
    juce::Component* topModal()
    {
        auto& modal = *juce::ModalComponentManager::getInstance();
        return modal.getNumModalComponents() > 0 ? modal.getModalComponent (0) : nullptr;
    }

    void settle()
    {
        testloop::run (50);
    }
}

TEST (AlertDialogs, AnswersArriveThroughCallbacksAndNeverAfterTheDialogsWent)
{
    REQUIRE_DISPLAY();
    auto dialogs = std::make_unique<AlertDialogs>();
    std::vector<int> answers;
    const auto record = [&answers] (bool ok) { answers.push_back (ok ? 1 : 0); };

    dialogs->askOkCancel (Dialogs::Icon::question, "Select active Device", "Connect?", "Connect", "Cancel", record);
    auto* box = dynamic_cast<juce::AlertWindow*> (topModal());
    ASSERT_NE (box, nullptr);
    EXPECT_EQ (box->getName(), "Select active Device");
    EXPECT_TRUE (answers.empty());   // nothing answered yet
    box->exitModalState (1);         // the first button
    settle();
    EXPECT_EQ (answers, std::vector<int> { 1 });

    dialogs->askOkCancel (Dialogs::Icon::warning, "File already exists", "Overwrite?", "Overwrite", "Cancel", record);
    box = dynamic_cast<juce::AlertWindow*> (topModal());
    ASSERT_NE (box, nullptr);
    static_cast<juce::Component*> (box)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    settle();
    EXPECT_EQ (answers, (std::vector<int> { 1, 0 }));

    bool closed = false;
    dialogs->showMessage (Dialogs::Icon::warning, "Not an IP address", "Please...", "Ok", [&closed] { closed = true; });
    box = dynamic_cast<juce::AlertWindow*> (topModal());
    ASSERT_NE (box, nullptr);
    EXPECT_EQ (box->getNumButtons(), 1);
    static_cast<juce::Component*> (box)->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    settle();
    EXPECT_TRUE (closed);

    // A cancelled chooser answers with the empty file.
    juce::File chosen ("/not/answered");
    dialogs->chooseFileToOpen ("Please select the preset you want to load...", {}, "*.kvt",
                               [&chosen] (const juce::File& file) { chosen = file; });
    auto* chooser = dynamic_cast<juce::FileChooserDialogBox*> (topModal());
    ASSERT_NE (chooser, nullptr);
    EXPECT_EQ (chooser->getName(), "Please select the preset you want to load...");
    chooser->exitModalState (0);
    settle();
    EXPECT_EQ (chosen, juce::File());

    // Boxes still open when the dialogs go answer nobody.
    dialogs->askOkCancel (Dialogs::Icon::question, "Late", "Late?", "Yes", "No",
                          [&answers] (bool) { answers.push_back (9); });
    dialogs->chooseFileToSave ("Save as preset file...", {}, "*.kvt",
                               [&answers] (const juce::File&) { answers.push_back (8); });
    dialogs.reset();
    settle();
    while (auto* open = topModal())
    {
        open->exitModalState (1);
        settle();
    }
    EXPECT_EQ (answers, (std::vector<int> { 1, 0 }));
}
