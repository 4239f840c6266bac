#pragma once

#include "CompareButton.h"
#include "HistoryButton.h"
#include "SettingsHistory.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class Dialogs;
class EditWatch;
class GestureWatch;

/** Undo, redo and A/B compare on the main panel: the edit history with what feeds it, the
    four buttons of the right-hand column and the keys.

    Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, anywhere in the window except in a text
    entry (whose own keys they are there).  "Undo" and "Redo" are disabled when there is
    nothing to take back or bring back, and their tooltips name the step.  "A/B" switches
    the memory in use and shows it; "Copy" copies the memory in use onto the other.  A step
    or a switch that changes the amplifier mode asks the mode question first ("Cancel"
    changes nothing), and none of them does anything while a question is open.

    The buttons sit in free space of the right-hand column, around the "Remote" button and
    the family picture, whose places differ between the families (placeFor).  Message
    thread only.
*/
class HistoryControls : private juce::KeyListener, private juce::ChangeListener
{
public:
    /** Where the buttons sit, in panel pixels, in the order "Undo", "Redo", "A/B", "Copy".
        ZR family: "Undo" and "Redo" either side of "Remote" (790, 447) below the inputs
        group (to 444), "A/B" and "Copy" either side of the family picture (773, 469,
        102 x 25).  Others: "Undo" and "Redo" either side of "Remote" (790, 408) below the
        shorter inputs group (to 390), "A/B" and "Copy" either side of their taller picture
        (789, 443, 73 x 60). */
    static inline const juce::Rectangle<int> boundsZr[4] = {
        { 742, 447, 46, 20 }, { 856, 447, 46, 20 }, { 740, 471, 32, 20 }, { 876, 471, 28, 20 }
    };
    static inline const juce::Rectangle<int> boundsOther[4] = {
        { 742, 408, 46, 24 }, { 856, 408, 46, 24 }, { 742, 447, 44, 20 }, { 864, 447, 38, 20 }
    };

    /** Puts the buttons on `panel` and listens for the keys on `window` (the top-level
        component, which sees every key no child took).  `modeBlock` is the amplifier-mode
        block, whose changes make the pages copy channel A into B.  `questionOpen` tells
        whether a question is on screen.  The history starts with `parts` as they are now.
        Everything given must outlive this. */
    HistoryControls (juce::Component& panel, juce::Component& window, std::vector<SettingsPart> parts,
                     juce::ChangeBroadcaster& modeBlock, std::function<bool()> channelBFollowsA, Dialogs& dialogs,
                     std::function<bool()> questionOpen);
    ~HistoryControls() override;

    SettingsHistory& getHistory() noexcept { return *history; }

    /** Puts the row where the layout of the ZR family (`zrFamily`) or the others has room. */
    void placeFor (bool zrFamily);

    /** The keys above; true when `key` was one of them and was taken. */
    bool handleKey (const juce::KeyPress& key);

    /** Who agrees to a step or switch that changes the amplifier mode: the user, asked the
        mode question here (the buttons and keys); the user of a remote, asked there already;
        or nobody (a remote that did not ask), in which case such a step is not taken. */
    enum class ModeConsent
    {
        askHere,
        given,
        notGiven
    };

    /** What the buttons do. */
    void undo (ModeConsent consent = ModeConsent::askHere);
    void redo (ModeConsent consent = ModeConsent::askHere);
    void switchMemory (ModeConsent consent = ModeConsent::askHere);
    void copyMemory();

    /** Counts the times what the buttons show was refreshed, so a reader of their state
        (the phone remote) reads it again only when it may have changed. */
    std::uint64_t getRefreshCount() const noexcept { return refreshCount; }

private:
    bool keyPressed (const juce::KeyPress& key, juce::Component*) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    std::array<HistoryButton*, 4> buttons();
    bool busy() const;
    void takeStep (bool changesMode, ModeConsent consent, std::function<void()> action);
    void afterModeQuestion (std::function<void()> action);
    void refresh();
    juce::String undoTooltip() const;
    juce::String redoTooltip() const;

    juce::Component& window;
    juce::ChangeBroadcaster& modeBlock;
    Dialogs& dialogs;
    std::function<bool()> questionOpen;
    bool asking = false;
    std::uint64_t refreshCount = 0;

    std::unique_ptr<GestureWatch> gestures;
    std::unique_ptr<SettingsHistory> history;
    std::unique_ptr<EditWatch> edits;

    HistoryButton undoButton { "undoStep", "Undo" };
    HistoryButton redoButton { "redoStep", "Redo" };
    CompareButton compareButton;
    HistoryButton copyButton { "copyMemory", "Copy" };

    JUCE_DECLARE_WEAK_REFERENCEABLE (HistoryControls)
    JUCE_DECLARE_NON_COPYABLE (HistoryControls)
};
