// Undo, redo and A/B compare on the panel: the buttons, the keys, the mode question, and
// what feeds the history (edits, the amplifier's answers, a recall, connecting).

#include "CConfigPage.h"
#include "Cdelay.h"
#include "Ciosiggen.h"
#include "Cpeq.h"
#include "CompareButton.h"
#include "EditPath.h"
#include "PanelFixture.h"

#include <thread>

using paneltest::PanelTest;

namespace
{
    const juce::KeyPress ctrlZ ('z', juce::ModifierKeys::ctrlModifier, 0);
    const juce::KeyPress ctrlShiftZ ('Z', juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier, 0);
    const juce::KeyPress ctrlY ('y', juce::ModifierKeys::ctrlModifier, 0);
}

class HistoryPanelTest : public PanelTest
{
protected:
    HistoryControls& controls() { return *panel->getHistoryControls(); }
    SettingsHistory& history() { return controls().getHistory(); }
    juce::Button& undoButton() { return child<juce::Button> ("undoStep"); }
    juce::Button& redoButton() { return child<juce::Button> ("redoStep"); }
    CompareButton& compareButton() { return child<CompareButton> ("compareMemories"); }

    /** Waits (running the loop) until the open step has ended by itself. */
    bool stepEnds()
    {
        return testloop::runUntil ([this] { return ! history().isStepOpen(); }, 3000);
    }

    /** Gain A moved as a fader drag moves it, in several steps. */
    void dragGainA (double to)
    {
        for (double v = gainA().getValue(); v < to; v += 2.0)
            gainA().setValue (v, juce::sendNotificationSync);
        gainA().setValue (to, juce::sendNotificationSync);
    }

    CConfigPage& config() { return *dynamic_cast<CConfigPage*> (tabs().getTabContentComponent (0)); }

    void clickModeButton (int mode)
    {
        pagetest::widgetIn<juce::Button> (config(), "mode" + juce::String (mode)).triggerClick();
        settle();
    }
};

TEST_F (HistoryPanelTest, theButtonsSitInFreeSpaceOfTheRightHandColumnInEveryLayout)
{
    const juce::String ids[] = { "undoStep", "redoStep", "compareMemories", "copyMemory" };
    // The pictures the panel paints there: the banner, and each family's badge and picture.
    const std::vector<juce::Rectangle<int>> zrPictures = { { 740, 15, 164, 32 },
                                                           { 778, 15, 90, 16 },
                                                           { 773, 469, 102, 25 } };
    const std::vector<juce::Rectangle<int>> otherPictures = { { 740, 15, 164, 32 },
                                                              { 775, 9, 90, 23 },
                                                              { 789, 443, 73, 60 } };

    for (const int model : { 1, 5, ModelTable::noDevice })
    {
        panel->setDeviceLabel (model);
        const auto& painted = ModelTable::isZr (model) ? zrPictures : otherPictures;
        for (const auto& id : ids)
        {
            auto& button = child<juce::Component> (id);
            const auto bounds = button.getBounds();
            SCOPED_TRACE ((id + " with model " + juce::String (model)).toStdString());
            EXPECT_TRUE (button.isVisible());
            EXPECT_TRUE (juce::Rectangle<int> (740, 44, 164, 463).contains (bounds));   // the column's black plate
            for (auto* other : panel->getChildren())
            {
                if (other != &button && other->isVisible())
                {
                    EXPECT_FALSE (other->getBounds().intersects (bounds)) << other->getComponentID();
                }
            }
            for (const auto& picture : painted)
            {
                EXPECT_FALSE (picture.intersects (bounds));
            }
        }
    }
}

TEST_F (HistoryPanelTest, aFaderDragIsOneStepThatTheUndoButtonNames)
{
    panel->setDeviceLabel (1);
    EXPECT_FALSE (undoButton().isEnabled());
    EXPECT_FALSE (redoButton().isEnabled());
    EXPECT_EQ (undoButton().getTooltip(), "Undo");

    dragGainA (-20.0);
    EXPECT_TRUE (undoButton().isEnabled());
    ASSERT_TRUE (stepEnds());
    EXPECT_EQ (history().undoableSteps(), 1);
    EXPECT_EQ (undoButton().getTooltip(), "Undo: Input gain A");

    controls().undo();
    EXPECT_EQ (gainA().getValue(), -60.0);
    EXPECT_EQ (entryA().getText(), "-60.0");
    EXPECT_FALSE (undoButton().isEnabled());
    EXPECT_TRUE (redoButton().isEnabled());
    EXPECT_EQ (redoButton().getTooltip(), "Redo: Input gain A");

    controls().redo();
    EXPECT_EQ (gainA().getValue(), -20.0);
}

TEST_F (HistoryPanelTest, theKeysUndoAndRedo)
{
    panel->setDeviceLabel (1);
    muteB().triggerClick();
    settle();
    ASSERT_TRUE (muteB().getToggleState());

    EXPECT_TRUE (panel->keyPressed (ctrlZ));
    EXPECT_FALSE (muteB().getToggleState());
    EXPECT_TRUE (panel->keyPressed (ctrlShiftZ));
    EXPECT_TRUE (muteB().getToggleState());
    EXPECT_TRUE (panel->keyPressed (ctrlZ));
    EXPECT_TRUE (panel->keyPressed (ctrlY));
    EXPECT_TRUE (muteB().getToggleState());

    EXPECT_FALSE (panel->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::noModifiers, 0)));
}

TEST_F (HistoryPanelTest, undoingAModeChangeAsksTheModeQuestionAgain)
{
    auto& mode = *model.root.ampmode->mode;
    dialogs.answers = { true };
    clickModeButton (1);   // "Stereo", confirmed
    ASSERT_EQ (mode.getStep(), 1);
    ASSERT_TRUE (stepEnds());
    ASSERT_EQ (history().undoName(), "Amp-mode Stereo");

    const auto asked = dialogs.shown.size();
    dialogs.answers = { false };
    controls().undo();
    ASSERT_EQ (dialogs.shown.size(), asked + 1);
    EXPECT_EQ (dialogs.shown.back(), "Changing Amp-mode...|Do you want to change the Amp-mode?|Yes|Cancel|question");
    // Cancel: everything as it was.
    EXPECT_EQ (mode.getStep(), 1);
    EXPECT_TRUE (history().canUndo());
    EXPECT_FALSE (history().canRedo());

    dialogs.answers = { true };
    controls().undo();
    EXPECT_EQ (mode.getStep(), 0);

    dialogs.answers = { true };
    controls().redo();
    EXPECT_EQ (mode.getStep(), 1);
    EXPECT_EQ (dialogs.shown.size(), asked + 3);
}

TEST_F (HistoryPanelTest, nothingIsUndoneOrSwitchedWhileAQuestionIsOpen)
{
    panel->setDeviceLabel (1);
    dragGainA (-30.0);
    ASSERT_TRUE (stepEnds());

    dialogs.holdBoxes = true;
    clickModeButton (1);   // its question stays open
    ASSERT_EQ (dialogs.open.size(), 1u);

    controls().undo();
    EXPECT_TRUE (panel->keyPressed (ctrlZ));
    controls().switchMemory();
    EXPECT_EQ (gainA().getValue(), -30.0);
    EXPECT_EQ (compareButton().getMemoryShown(), 'A');
    EXPECT_EQ (dialogs.open.size(), 1u);

    dialogs.answerOpenBoxWith (false);
    controls().undo();
    EXPECT_EQ (gainA().getValue(), -60.0);
}

TEST_F (HistoryPanelTest, theCompareButtonsSwitchAndCopyTheMemories)
{
    panel->setDeviceLabel (1);
    dragGainA (-24.0);
    ASSERT_TRUE (stepEnds());
    EXPECT_EQ (compareButton().getTooltip(), "Memory A in use: switch to B");

    compareButton().triggerClick();
    settle();
    EXPECT_EQ (compareButton().getMemoryShown(), 'B');
    EXPECT_EQ (gainA().getValue(), -60.0);   // B: what was there before the edit
    EXPECT_EQ (undoButton().getTooltip(), "Undo: Switch to B");
    EXPECT_EQ (child<juce::Button> ("copyMemory").getTooltip(), "Copy B onto A");

    child<juce::Button> ("copyMemory").triggerClick();
    settle();
    compareButton().triggerClick();
    settle();
    EXPECT_EQ (compareButton().getMemoryShown(), 'A');
    EXPECT_EQ (gainA().getValue(), -60.0);

    // Undo switches back.
    EXPECT_TRUE (panel->keyPressed (ctrlZ));
    EXPECT_EQ (compareButton().getMemoryShown(), 'B');
}

TEST_F (HistoryPanelTest, connectingClearsTheHistory)
{
    panel->setDeviceLabel (1);
    dragGainA (-30.0);
    ASSERT_TRUE (stepEnds());
    compareButton().triggerClick();
    settle();
    ASSERT_TRUE (history().canUndo());

    holdSendsInQueue();   // online
    panel->setDeviceLabel (1);
    EXPECT_FALSE (history().canUndo());
    EXPECT_EQ (compareButton().getMemoryShown(), 'A');

    // Still connected: another call changes nothing.
    dragGainA (-20.0);
    ASSERT_TRUE (stepEnds());
    panel->setDeviceLabel (1);
    EXPECT_TRUE (history().canUndo());
}

TEST_F (HistoryPanelTest, theValuesARecalledSlotBringsAreOneStepAndAnswersAloneAreNone)
{
    holdSendsInQueue();
    panel->setDeviceLabel (1);
    const auto band = [] (float gain)
    {
        return message (
            [gain] (osc::OutboundPacketStream& s)
            { s << osc::BeginMessage ("/channel/1/peq/5") << "PEQ" << 1000.0f << gain << 1.0f << osc::EndMessage; });
    };

    // An answer on its own: no step.
    post (band (2.0f));
    settle();
    EXPECT_FALSE (history().canUndo());

    panel->presetSlotRecalled (3);
    post (band (-6.0f));
    post (message ([] (osc::OutboundPacketStream& s)
                   { s << osc::BeginMessage ("/channel/2/delay") << 4.0f << (osc::int32) 180 << osc::EndMessage; }));
    ASSERT_TRUE (stepEnds());
    ASSERT_EQ (history().undoableSteps(), 1);
    EXPECT_EQ (history().undoName(), "Recall of slot 3");

    controls().undo();
    auto& peq = *model.root.channels[0]->peq->bands[4];
    EXPECT_FLOAT_EQ (peq.gain->getValue(), 2.0f);
    EXPECT_EQ (model.root.channels[1]->delay->pol->getStep(), 0);
}

TEST_F (HistoryPanelTest, theGeneratorsSweepSendsAreNoEdits)
{
    auto* siggen = globals::siggen;
    ASSERT_NE (siggen, nullptr);
    std::thread sweep ([siggen] { siggen->send ("/siggen"); });
    sweep.join();
    EXPECT_FALSE (history().isStepOpen());

    // An edit of the Utility page's ends in the edit path.
    siggen->gain->setValue (-12.0f);
    EditPath::standaloneBlockEdited (*siggen, "/siggen");
    EXPECT_TRUE (history().isStepOpen());
    EXPECT_TRUE (history().canUndo());
}
