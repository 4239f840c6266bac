#pragma once

#include "CompareButton.h"
#include "HistoryButton.h"
#include "SettingsHistory.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
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

    The buttons sit in a row in free space of the right-hand column: below the inputs group
    and above the family picture, whose place differs between the families (placeFor).
    Message thread only.
*/
class HistoryControls : private juce::KeyListener, private juce::ChangeListener
{
public:
    /** The row's top in panel pixels: for the ZR family between the inputs group (to 444)
        and the picture (from 469), for the others between the shorter inputs group (to
        390) and their taller picture (from 443). */
    static constexpr int rowTopZr = 446;
    static constexpr int rowTopOther = 416;
    static constexpr int rowHeight = 21;
    /** Left edges and widths of "Undo", "Redo", "A/B" and "Copy". */
    static constexpr int buttonLeft[4] = { 742, 783, 824, 863 };
    static constexpr int buttonWidth[4] = { 38, 38, 36, 38 };

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

    /** The panel is going: the history hears no more edits nor answers (the pages it reads
        go first), while sends still pass to the hub until this object goes. */
    void stopWatching();

    /** Puts the row where the layout of the ZR family (`zrFamily`) or the others has room. */
    void placeFor (bool zrFamily);

    /** The keys above; true when `key` was one of them and was taken. */
    bool handleKey (const juce::KeyPress& key);

    /** What the buttons do. */
    void undo();
    void redo();
    void switchMemory();
    void copyMemory();

private:
    bool keyPressed (const juce::KeyPress& key, juce::Component*) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    std::array<HistoryButton*, 4> buttons();
    bool busy() const;
    void afterModeQuestion (std::function<void()> action);
    void refresh();
    juce::String undoTooltip() const;
    juce::String redoTooltip() const;

    juce::Component& window;
    juce::ChangeBroadcaster& modeBlock;
    Dialogs& dialogs;
    std::function<bool()> questionOpen;
    bool asking = false;

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
