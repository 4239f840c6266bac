#include "HistoryFixture.h"

namespace
{
    const std::string band5 = "/channel/1/peq/5";
    const std::string band5B = "/channel/2/peq/5";
    const std::string limiterA = "/channel/1/limiter";

    std::string band5Gain (double db)
    {
        return band5 + " sfff PEQ 1k00 " + juce::String (db, 1).toStdString() + " 1.00";
    }
}

//==============================================================================
// Gestures

TEST_F (HistoryFixture, aKnobDragOfTwentyTurnsIsOneStepUndoneByOnePress)
{
    const auto original = line (band5);
    for (int i = 1; i <= 20; ++i)
    {
        edit (band5Gain (0.5 * i));
        clock.advance (40);
        history->tick (true);   // the button is held all along, however long the drag pauses
    }
    clock.advance (5000);
    history->tick (true);
    EXPECT_TRUE (history->isStepOpen());
    const auto dragged = line (band5);
    pause();

    EXPECT_FALSE (history->isStepOpen());
    EXPECT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Parametric EQ A, band 5 gain");

    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5), original);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sentAddress (0), band5);
    EXPECT_FALSE (history->canUndo());

    ASSERT_TRUE (history->redo());
    EXPECT_EQ (line (band5), dragged);
    EXPECT_EQ (sent.count(), 2u);
}

TEST_F (HistoryFixture, editsWithoutAButtonEndAfterAQuietHalfSecondAndANewGestureEndsThemAtOnce)
{
    // Wheel turns 400 ms apart: one burst, one step.
    edit (band5Gain (1.0));
    pause (400);
    edit (band5Gain (2.0));
    pause (400);
    EXPECT_TRUE (history->isStepOpen());
    pause (100);
    EXPECT_EQ (history->undoableSteps(), 1);

    // Two typed values, Tab between them: each is a step of its own.
    edit (band5Gain (3.0));
    history->focusMoved();
    edit (band5Gain (4.0));
    EXPECT_EQ (history->undoableSteps(), 2);
    click();
    EXPECT_EQ (history->undoableSteps(), 3);
}

TEST_F (HistoryFixture, anEditThatComesBeforeItsPressIsToldBelongsToTheNewStep)
{
    edit (band5Gain (1.0));
    const auto originalLimiter = line (limiterA);

    // A fader jumps to where it is pressed, before the press reaches anyone else; the drag follows.
    ++gesture;
    edit (limiterA + " fff 30.0 100.0 50.0");
    history->startGesture();
    edit (limiterA + " fff 40.0 100.0 50.0");
    pause();

    ASSERT_EQ (history->undoableSteps(), 2);
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (limiterA), originalLimiter);
    EXPECT_EQ (line (band5), band5 + " sfff PEQ 1k00  +1.0 1.00");
}

TEST_F (HistoryFixture, theAmplifiersAnswersNeverBecomeAStepNorBreakOne)
{
    const auto original = line (band5);
    edit (band5Gain (3.0));
    // An older value comes back while the drag goes on, and another block changes by itself.
    amplifierSends (band5Gain (1.0));
    amplifierSends (limiterA + " fff 50.0 100.0 50.0");
    edit (band5Gain (6.0));
    amplifierSends (band5Gain (5.5));   // the echo, clamped by the amplifier
    pause();

    ASSERT_EQ (history->undoableSteps(), 1);
    const auto limiterFromAmplifier = line (limiterA);

    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5), original);
    EXPECT_EQ (line (limiterA), limiterFromAmplifier);   // not the edit's to take back
    ASSERT_EQ (sent.count(), 1u);

    // Redo brings back what the user set, not an echo of something older.
    ASSERT_TRUE (history->redo());
    EXPECT_EQ (line (band5), band5 + " sfff PEQ 1k00  +6.0 1.00");
}

TEST_F (HistoryFixture, undoGoesBackToWhatTheAmplifierHadSentNotToOlderValues)
{
    amplifierSends (band5Gain (-4.0));
    const auto fromAmplifier = line (band5);
    EXPECT_FALSE (history->canUndo());

    edit (band5Gain (2.0));
    pause();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5), fromAmplifier);
}

//==============================================================================
// Channel B and the amplifier mode

TEST_F (HistoryFixture, channelBFollowingAIsPartOfAsStepButOnlyAIsSent)
{
    root.ampmode->mode->setStep (1);   // Stereo
    history->reset();
    const auto originalB = line (band5B);

    // The page copies A's edit into B and sends A only.
    ASSERT_TRUE (PresetText::applyBlockLine (root, band5Gain (6.0)));
    ASSERT_TRUE (PresetText::applyBlockLine (root, band5B + " sfff PEQ 1k00 +6.0 1.00"));
    send (band5);
    pause();

    ASSERT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Parametric EQ A, band 5 gain");
    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5B), originalB);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sentAddress (0), band5);
}

TEST_F (HistoryFixture, aConfirmedModeChangeWithEverythingItTouchedIsOneStep)
{
    // Dual Mono, with channel B's own settings.
    amplifierSends (band5B + " sfff PEQ 1k00 -9.0 1.00");
    amplifierSends ("/channel/2/limiter fff 20.0 100.0 50.0");
    const auto dualB = line (band5B);
    const auto dualLimiterB = line ("/channel/2/limiter");
    const auto dualLimiterA = line (limiterA);

    // "Stereo" confirmed: the pages copy A into B, the limiter and the speaker go out, then the mode.
    root.ampmode->mode->setStep (1);
    ASSERT_TRUE (PresetText::applyBlockLine (root, band5B + " sfff PEQ 1k00 +0.0 1.00"));
    ASSERT_TRUE (PresetText::applyBlockLine (root, "/channel/2/limiter fff 100.0 100.0 50.0"));
    send (limiterA);
    speaker.value->setStep (8);
    speaker.send ("/speaker");
    history->noteEdit ("/speaker");
    send ("/ampmode");
    // The amplifier answers each.
    amplifierSends ("/ampmode s STEREO");
    pause();

    ASSERT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Amp-mode Stereo");
    EXPECT_TRUE (history->undoChangesMode());

    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (root.ampmode->mode->getStep(), 0);
    EXPECT_EQ (line (band5B), dualB);
    EXPECT_EQ (line ("/channel/2/limiter"), dualLimiterB);
    EXPECT_EQ (line (limiterA), dualLimiterA);
    EXPECT_EQ (speaker.value->getStep(), 0);
    // The mode first; in Dual Mono channel B's blocks are its own and go out.
    ASSERT_EQ (sent.count(), 4u);
    EXPECT_EQ (sentAddress (0), "/ampmode");
    EXPECT_EQ (sentAddress (1), band5B);
    EXPECT_EQ (sentAddress (2), "/channel/2/limiter");
    EXPECT_EQ (sentAddress (3), "/speaker");
    EXPECT_TRUE (history->redoChangesMode());

    sent.clear();
    ASSERT_TRUE (history->redo());
    EXPECT_EQ (root.ampmode->mode->getStep(), 1);
    // Stereo again: channel B follows and is not sent.
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (sentAddress (0), "/ampmode");
    EXPECT_EQ (sentAddress (1), "/speaker");
}

TEST_F (HistoryFixture, copiesThePagesMakeWhenTheAmplifierChangesModeAreNoStep)
{
    amplifierSends ("/ampmode s STEREO");
    // The pages apply the mode the amplifier reported: B becomes A's copy.
    ASSERT_TRUE (PresetText::applyBlockLine (root, band5B + " sfff PEQ 1k00 +5.0 1.00"));
    history->pagesFollowedMode();
    const auto copied = line (band5B);
    EXPECT_FALSE (history->canUndo());

    // An edit of A, copied into B by the page: undone, B is the copy it was, not older.
    ASSERT_TRUE (PresetText::applyBlockLine (root, band5Gain (2.0)));
    ASSERT_TRUE (PresetText::applyBlockLine (root, band5B + " sfff PEQ 1k00 +2.0 1.00"));
    send (band5);
    click();
    ASSERT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Parametric EQ A, band 5 gain");
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5B), copied);
}

//==============================================================================
// What the history keeps

TEST_F (HistoryFixture, resetClearsEverything)
{
    edit (band5Gain (2.0));
    pause();
    history->switchMemory();
    ASSERT_TRUE (history->canUndo());
    ASSERT_EQ (history->memoryInUse(), 'B');

    history->reset();
    EXPECT_FALSE (history->canUndo());
    EXPECT_FALSE (history->canRedo());
    EXPECT_EQ (history->memoryInUse(), 'A');

    // Both memories hold what the tree holds: switching sends nothing.
    sent.clear();
    history->switchMemory();
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (HistoryFixture, keepsTheNewestThousandSteps)
{
    for (int i = 0; i < SettingsHistory::depth + 200; ++i)
    {
        edit (band5Gain (i % 2 == 0 ? 1.0 : 2.0));
        click();
    }
    EXPECT_EQ (history->undoableSteps(), SettingsHistory::depth);

    int undone = 0;
    while (history->undo())
        ++undone;
    EXPECT_EQ (undone, SettingsHistory::depth);
    EXPECT_GE (undone, 500);
}

TEST_F (HistoryFixture, aNewEditDropsWhatCouldBeRedone)
{
    edit (band5Gain (1.0));
    click();
    edit (band5Gain (2.0));
    click();
    ASSERT_TRUE (history->undo());
    ASSERT_TRUE (history->canRedo());
    EXPECT_EQ (history->redoName(), "Parametric EQ A, band 5 gain");

    edit (limiterA + " fff 30.0 100.0 50.0");
    click();
    EXPECT_FALSE (history->canRedo());
    EXPECT_FALSE (history->redo());
    EXPECT_EQ (history->undoableSteps(), 2);
}

TEST_F (HistoryFixture, undoSendsOnlyTheBlocksWhoseValuesChange)
{
    const auto originalLimiter = line (limiterA);
    edit (band5Gain (3.0));
    edit (limiterA + " fff 30.0 100.0 50.0");
    pause();
    // The amplifier has since put the limiter back by itself.
    amplifierSends (originalLimiter);

    sent.clear();
    ASSERT_TRUE (history->undo());
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sentAddress (0), band5);
}

TEST_F (HistoryFixture, valuesPutBackAreClampedByTheirParameters)
{
    // A line from anywhere (a preset file, say) with a gain far beyond +15 dB.
    SettingsPart part = SettingsPart::treeBlock (root, block (band5));
    part.apply ({ band5 + " sfff PEQ 1k00 +40.0 1.00", {} });
    EXPECT_FLOAT_EQ (static_cast<Cpeq&> (block (band5)).gain->getValue(), 15.0f);
}

TEST_F (HistoryFixture, exactStepsComeBackNotOnlyTheDigitsShown)
{
    auto& band = static_cast<Cpeq&> (block (band5));
    band.freq->setExactStep (339794 + 123);   // between the steps a text can tell apart
    history->reset();
    const auto exact = band.freq->exactStep();

    edit (band5Gain (4.0));
    pause();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (band.freq->exactStep(), exact);
}

TEST_F (HistoryFixture, theGeneratorIsNeverSwitchedOnOrOffByUndoOrASwitch)
{
    siggen.gain->setValue (-30.0f);
    history->reset();
    siggen.gain->setValue (-10.0f);
    siggen.send ("/siggen");
    history->noteEdit ("/siggen");
    pause();
    ASSERT_EQ (history->undoName(), "Generator level");

    // The tone was switched on afterwards (through its own question).
    siggen.input->setStep (1);
    ASSERT_TRUE (history->undo());
    EXPECT_FLOAT_EQ (siggen.gain->getValue(), -30.0f);
    EXPECT_EQ (siggen.input->getStep(), 1);

    // Switched off, a redo or a switch of memories does not switch it on.
    siggen.input->setStep (0);
    ASSERT_TRUE (history->redo());
    history->switchMemory();
    EXPECT_EQ (siggen.input->getStep(), 0);
}

TEST_F (HistoryFixture, theGeneratorsSweepIsNoStepNorPartOfOne)
{
    // The sweep runs: its thread steps the frequency and sends it; now and then the
    // amplifier's answer comes back.
    sweeping = true;
    siggen.freq->setStep (100);
    generatorAnswers();
    siggen.freq->setStep (106);
    click();
    EXPECT_FALSE (history->canUndo());

    // The level turned meanwhile: that alone is the step.
    siggen.gain->setValue (-12.0f);
    sendGenerator();
    pause();
    ASSERT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Generator level");

    // "Test Tone" off ends the sweep where it is: its click is no step either.
    sweeping = false;
    siggen.freq->setStep (112);
    siggen.input->setStep (0);
    sendGenerator();
    pause();
    EXPECT_EQ (history->undoableSteps(), 1);

    // A frequency chosen now is a step, and goes back to where the sweep stopped.
    siggen.freq->setStep (300);
    sendGenerator();
    pause();
    ASSERT_EQ (history->undoName(), "Generator frequency");
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (siggen.freq->getStep(), 112);
}

TEST_F (HistoryFixture, aBlockGoesOutOnceHoweverManyOfItsPartsChanged)
{
    siggen.gain->setValue (-12.0f);
    siggen.freq->setStep (300);
    sendGenerator();
    pause();
    EXPECT_EQ (history->undoName(), "Generator, 2 settings");

    sent.clear();
    ASSERT_TRUE (history->undo());
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sentAddress (0), "/siggen");
}

TEST_F (HistoryFixture, switchingTheToneOnOrOffIsNoStep)
{
    siggen.input->setStep (1);
    sendGenerator();
    EXPECT_TRUE (history->isStepOpen());
    EXPECT_FALSE (history->canUndo());
    pause();
    EXPECT_FALSE (history->canUndo());
}

//==============================================================================
// A/B

TEST_F (HistoryFixture, aSwitchSendsExactlyTheBlocksInWhichTheMemoriesDifferAndIsAStep)
{
    const auto originalLimiter = line (limiterA);
    edit (band5Gain (3.0));
    edit (limiterA + " fff 30.0 100.0 50.0");
    click();
    edit ("/channel/1/delay fi 2.00 0");
    click();
    const auto editedBand = line (band5);

    // B still holds what the amplifier had when it was connected.
    sent.clear();
    history->switchMemory();
    EXPECT_EQ (history->memoryInUse(), 'B');
    ASSERT_EQ (sent.count(), 3u);
    EXPECT_EQ (sentAddress (0), "/channel/1/peq/5");
    EXPECT_EQ (sentAddress (1), "/channel/1/delay");
    EXPECT_EQ (sentAddress (2), limiterA);
    EXPECT_EQ (line (limiterA), originalLimiter);
    EXPECT_EQ (history->undoName(), "Switch to B");

    // An edit in B, then Ctrl+Z twice: the edit, then back to A.
    edit ("/channel/1/xover/gain f -3.0");
    click();
    ASSERT_TRUE (history->undo());
    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (history->memoryInUse(), 'A');
    EXPECT_EQ (line (band5), editedBand);
    EXPECT_EQ (sent.count(), 3u);
}

TEST_F (HistoryFixture, copyMakesBothMemoriesTheSame)
{
    edit (band5Gain (3.0));
    click();
    history->copyMemory();
    EXPECT_FALSE (history->switchChangesMode());

    sent.clear();
    history->switchMemory();
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (history->memoryInUse(), 'B');
}

TEST_F (HistoryFixture, aSwitchToADifferentModeSaysSo)
{
    root.ampmode->mode->setStep (1);
    send ("/ampmode");
    click();
    EXPECT_TRUE (history->switchChangesMode());
}

//==============================================================================
// Presets

TEST_F (HistoryFixture, theValuesARecallBringsAreOneStep)
{
    const auto original5 = line (band5);
    const auto originalLimiter = line (limiterA);
    history->beginRecall ("Recall slot 3");
    clock.advance (200);
    history->tick (false);
    amplifierSends (band5Gain (-6.0));
    clock.advance (300);
    click();   // a click meanwhile does not end it
    amplifierSends (limiterA + " fff 40.0 100.0 50.0");
    pause (SettingsHistory::recallQuietMs);

    ASSERT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Recall slot 3");
    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5), original5);
    EXPECT_EQ (line (limiterA), originalLimiter);
    EXPECT_EQ (sent.count(), 2u);
}

TEST_F (HistoryFixture, aRecallThatBringsNothingLeavesNoStep)
{
    history->beginRecall ("Recall slot 3");
    pause (SettingsHistory::recallWaitMs);
    EXPECT_FALSE (history->isStepOpen());
    EXPECT_FALSE (history->canUndo());
}

TEST_F (HistoryFixture, aPresetLoadedOfflineIsOneStepNamedByItsFile)
{
    const auto original5 = line (band5);
    PresetText::applyBlockLine (root, band5Gain (7.0));
    PresetText::applyBlockLine (root, "/channel/2/delay fi 3.00 0");
    history->endStep ("Load stage.kvt");

    ASSERT_EQ (history->undoableSteps(), 1);
    EXPECT_EQ (history->undoName(), "Load stage.kvt");
    sent.clear();
    ASSERT_TRUE (history->undo());
    EXPECT_EQ (line (band5), original5);
    EXPECT_EQ (sent.count(), 2u);
}
