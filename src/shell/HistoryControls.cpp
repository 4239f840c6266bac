#include "HistoryControls.h"

#include "Dialogs.h"
#include "EditWatch.h"
#include "GestureWatch.h"

HistoryControls::HistoryControls (juce::Component& panel, juce::Component& windowToWatch,
                                  std::vector<SettingsPart> parts, juce::ChangeBroadcaster& modeBlockToWatch,
                                  std::function<bool()> channelBFollowsA, Dialogs& dialogsToUse,
                                  std::function<bool()> isQuestionOpen)
    : window (windowToWatch),
      modeBlock (modeBlockToWatch),
      dialogs (dialogsToUse),
      questionOpen (std::move (isQuestionOpen))
{
    SettingsHistory::Options options;
    options.channelBFollowsA = std::move (channelBFollowsA);
    options.gesture = [this] { return gestures != nullptr ? gestures->gestureNow() : std::uint64_t { 0 }; };
    history = std::make_unique<SettingsHistory> (std::move (parts), std::move (options));
    gestures = std::make_unique<GestureWatch> (*history);
    edits = std::make_unique<EditWatch> (*history);
    history->onChange = [this] { refresh(); };

    for (auto* button : buttons())
        panel.addAndMakeVisible (button);
    placeFor (false);

    undoButton.onClick = [this] { undo(); };
    redoButton.onClick = [this] { redo(); };
    compareButton.onClick = [this] { switchMemory(); };
    copyButton.onClick = [this] { copyMemory(); };

    undoButton.tooltipText = [this] { return undoTooltip(); };
    redoButton.tooltipText = [this] { return redoTooltip(); };
    compareButton.tooltipText = [this]
    {
        return history->memoryInUse() == 'A' ? TRANS ("Memory A in use: switch to B")
                                             : TRANS ("Memory B in use: switch to A");
    };
    copyButton.tooltipText = [this]
    { return history->memoryInUse() == 'A' ? TRANS ("Copy A onto B") : TRANS ("Copy B onto A"); };

    window.addKeyListener (this);
    modeBlock.addChangeListener (this);
    refresh();
}

HistoryControls::~HistoryControls()
{
    modeBlock.removeChangeListener (this);
    window.removeKeyListener (this);
    history->onChange = nullptr;
    edits.reset();
    history.reset();
    gestures.reset();
}

std::array<HistoryButton*, 4> HistoryControls::buttons()
{
    return { &undoButton, &redoButton, &compareButton, &copyButton };
}

void HistoryControls::placeFor (bool zrFamily)
{
    const auto& bounds = zrFamily ? boundsZr : boundsOther;
    const auto row = buttons();
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i]->setBounds (bounds[i]);
}

//==============================================================================
bool HistoryControls::handleKey (const juce::KeyPress& key)
{
    // In an entry the keys undo and redo its typing.
    if (dynamic_cast<juce::TextEditor*> (juce::Component::getCurrentlyFocusedComponent()) != nullptr)
        return false;

    const auto mods = key.getModifiers();
    if (! mods.isCtrlDown() || mods.isAltDown())
        return false;

    const auto letter = juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) key.getKeyCode());
    if (letter == 'Z' && ! mods.isShiftDown())
        undo();
    else if ((letter == 'Z' && mods.isShiftDown()) || (letter == 'Y' && ! mods.isShiftDown()))
        redo();
    else
        return false;
    return true;
}

bool HistoryControls::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    return handleKey (key);
}

void HistoryControls::changeListenerCallback (juce::ChangeBroadcaster*)
{
    // The pages apply the mode in their own callbacks of this change, copying channel A
    // into B where it follows: once they all have, B's copies are what the next edit finds.
    juce::MessageManager::callAsync (
        [controls = juce::WeakReference<HistoryControls> (this)]
        {
            if (controls != nullptr)
                controls->history->pagesFollowedMode();
        });
}

//==============================================================================
bool HistoryControls::busy() const
{
    // What a step would change may be what an open question is about: it waits.
    return asking || (questionOpen && questionOpen());
}

void HistoryControls::undo (ModeConsent consent)
{
    if (! busy())
        takeStep (history->undoChangesMode(), consent, [this] { history->undo(); });
}

void HistoryControls::redo (ModeConsent consent)
{
    if (! busy())
        takeStep (history->redoChangesMode(), consent, [this] { history->redo(); });
}

void HistoryControls::switchMemory (ModeConsent consent)
{
    if (! busy())
        takeStep (history->switchChangesMode(), consent, [this] { history->switchMemory(); });
}

void HistoryControls::copyMemory()
{
    if (! busy())
        history->copyMemory();
}

void HistoryControls::takeStep (bool changesMode, ModeConsent consent, std::function<void()> action)
{
    if (! changesMode || consent == ModeConsent::given)
        action();
    else if (consent == ModeConsent::askHere)
        afterModeQuestion (std::move (action));
}

void HistoryControls::afterModeQuestion (std::function<void()> action)
{
    // The step in view ends now, so the question is about what the answer will do.
    history->endStep();
    asking = true;
    dialogs.askOkCancel (Dialogs::Icon::question, TRANS ("Changing Amp-mode..."),
                         TRANS ("Do you want to change the Amp-mode?"), TRANS ("Yes"), TRANS ("Cancel"),
                         [controls = juce::WeakReference<HistoryControls> (this), action] (bool yes)
                         {
                             if (controls == nullptr)
                                 return;
                             controls->asking = false;
                             if (yes)
                                 action();
                             controls->refresh();
                         });
}

//==============================================================================
void HistoryControls::refresh()
{
    ++refreshCount;
    undoButton.setEnabled (history->canUndo());
    redoButton.setEnabled (history->canRedo());
    compareButton.showMemoryInUse (history->memoryInUse());
    gestures->watchOpenStep();
}

juce::String HistoryControls::undoTooltip() const
{
    const auto name = history->undoName();
    return name.isEmpty() ? TRANS ("Undo") : TRANS ("Undo") + ": " + name;
}

juce::String HistoryControls::redoTooltip() const
{
    const auto name = history->redoName();
    return name.isEmpty() ? TRANS ("Redo") : TRANS ("Redo") + ": " + name;
}
