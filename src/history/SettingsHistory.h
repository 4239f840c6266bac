#pragma once

#include "SettingsPart.h"
#include <juce_data_structures/juce_data_structures.h>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class SettingsStep;

/** Undo, redo and the two A/B memories of the amplifier's settings.

    The settings are parts (SettingsPart): the blocks of the tree, the standalone blocks and
    the panel's gains, each held as its preset line.  The history keeps what each part held
    when it was last known outside an edit (`known`); an edit changes the tree first and is
    told afterwards (noteEdit), so a step is what differs from `known` when the gesture
    ends.  One step is one juce::UndoManager transaction; undo and redo put the lines back
    through the parts (the parameters clamp) and send exactly the parts whose lines changed,
    except channel B's blocks while channel B follows A.

    Gestures: a step opens at the first edit and ends when an edit of another gesture comes
    (Options::gesture tells them apart: a new mouse press, another control's wheel), when the
    next gesture starts (startGesture, endStep), or once no edit came for `quietMs` while no
    mouse button is held (tick).  Values decoded from the
    amplifier (noteDecoded) are never a step and never end one; they only move `known`,
    except for the parts an open step has already edited.  After a preset recall, the
    values the amplifier sends are collected into one step instead (beginRecall).

    The memory in use is the tree itself; the other memory is a line per part, or nothing
    where it still holds what the amplifier had when it was connected (then it reads as
    the memory in use did before the first step that changed that part).

    Everything runs on the message thread; time comes from the clock given.
*/
class SettingsHistory
{
public:
    /** Steps kept (at least 500 are asked for). */
    static constexpr int depth = 1000;
    /** A gesture without a button held (a typed value, wheel turns) ends this long after
        its last edit. */
    static constexpr std::uint32_t quietMs = 500;
    /** A recall's step ends this long after the last value the amplifier sent ... */
    static constexpr std::uint32_t recallQuietMs = 1000;
    /** ... or this long after the request when nothing came. */
    static constexpr std::uint32_t recallWaitMs = 3000;

    struct Options
    {
        /** Whether channel B follows channel A in the tree's amplifier mode now. */
        std::function<bool()> channelBFollowsA;
        /** Milliseconds, wrapping like juce::Time::getMillisecondCounter (the default). */
        std::function<std::uint32_t()> clock;
        /** Which gesture of the user's is in progress: a value that changes when a new one
            begins (a mouse press, wheel turns on another control), read when an edit comes.
            Edits without a gesture of their own (a remote's) share one.  Default: one for all. */
        std::function<std::uint64_t()> gesture;
    };

    /** Takes the parts in the order they are sent: the amplifier mode first.  The part
        "/ampmode", if any, tells mode changes. */
    SettingsHistory (std::vector<SettingsPart> parts, Options options);
    ~SettingsHistory();

    //==============================================================================
    // What happens to the settings

    /** The settings are another amplifier's now (connecting): no steps, both memories hold
        what the tree holds, A in use. */
    void reset();

    /** The user's edit of the part at `address` has just been sent (or would have been,
        offline).  Ignored while the history applies a step itself. */
    void noteEdit (std::string_view address);

    /** Values from the amplifier were decoded into the part whose block is `source`, or
        whose address is `address`. */
    void noteDecoded (const Cnode* source);
    void noteDecodedAddress (std::string_view address);

    /** A new gesture has begun (a mouse press, told after the control under it has had
        it): the open step ends unless the gesture's own first edit opened it, and changes
        made without an edit being told (a preset file loaded offline) become a step of
        their own. */
    void startGesture();

    /** The pages have applied an amplifier mode, making channel B a copy of A where it
        follows: what B holds now is no edit. */
    void pagesFollowedMode();

    /** The keyboard focus moved without a press (Tab to the next entry): what was typed
        before is a step of its own. */
    void focusMoved();

    /** Ends the open step now, named `name` (when it is not empty) instead of by its
        changes; changes made without an edit being told are part of it. */
    void endStep (const juce::String& name = {});

    /** A preset slot was recalled: the values the amplifier sends next are one step. */
    void beginRecall (const juce::String& name);

    /** Ends a step whose gesture is over; `buttonHeld` keeps a drag open however long it
        pauses. */
    void tick (bool buttonHeld);

    /** True while a step is open: tick() has work to do. */
    bool isStepOpen() const noexcept { return open.active; }

    //==============================================================================
    // Undo and redo (each ends the open step first)

    /** Also true while an open step has changed something. */
    bool canUndo() const;
    bool canRedo() const { return manager.canRedo(); }
    juce::String undoName() const;
    juce::String redoName() const;
    /** Whether undoing (redoing) the next step changes the amplifier mode. */
    bool undoChangesMode() const;
    bool redoChangesMode() const;
    bool undo();
    bool redo();

    //==============================================================================
    // A/B

    /** 'A' or 'B'. */
    char memoryInUse() const noexcept { return inUse; }
    /** Whether switching would change the amplifier mode. */
    bool switchChangesMode() const;
    /** Puts the other memory into the tree (sending what differs) and keeps the tree's
        settings as the other memory; one step. */
    void switchMemory();
    /** Copies the memory in use onto the other. */
    void copyMemory();

    /** Called whenever what the buttons show may have changed. */
    std::function<void()> onChange;

    /** Steps that can be undone now. */
    int undoableSteps() const { return (int) undoable.size(); }

    /** The parts, in sending order. */
    const std::vector<SettingsPart>& getParts() const noexcept { return parts; }

private:
    friend class SettingsStep;
    struct Change
    {
        int part;
        PartState before, after;
    };

    struct OpenStep
    {
        bool active = false;
        bool collecting = false;   // a recall's values
        bool anyDecoded = false;
        std::uint32_t started = 0;
        std::uint32_t lastChange = 0;
        std::uint64_t gesture = 0;
        std::vector<bool> touched;
        std::vector<PartState> after;
        juce::String name;
    };

    int indexOf (std::string_view address) const;
    void decoded (int part);
    void openStep();
    void touch (int part);
    std::vector<Change> pendingChanges (bool includeUntold, const std::vector<int>& newEdit = {}) const;
    bool includesPart (int part, bool modeChanged, bool follows) const;
    void commit (const juce::String& name, const std::vector<int>& newEdit = {});
    static bool isNewEdit (std::size_t part, const std::vector<int>& newEdit);
    bool keepsMoving (int part);
    std::vector<int> partsSentAs (std::string_view address) const;
    void record (std::vector<Change> changes, const juce::String& name);
    void applyStates (const std::vector<std::pair<int, PartState>>& states);
    void syncFollowers();
    void changed();
    juce::String nameOf (const std::vector<Change>& changes) const;
    bool follows() const;
    std::uint32_t now() const;

    // The steps' side (SettingsStep calls these while the manager performs or undoes it).
    void stepPerformed (SettingsStep& step);
    void stepUndone (SettingsStep& step);
    void stepGone (SettingsStep& step);
    void putBack (const std::vector<Change>& changes, bool before);
    void swapMemories();
    bool stepChangesMode (const std::vector<Change>& changes) const;

    std::vector<SettingsPart> parts;
    Options options;
    int modePart = -1;
    std::vector<int> counterpart;

    std::vector<PartState> known;
    std::vector<std::optional<PartState>> otherMemory;
    std::vector<bool> moved;   // a part that moves by itself was seen moving
    char inUse = 'A';
    OpenStep open;
    bool applying = false;

    std::vector<SettingsStep*> undoable;   // the manager's transactions, newest last
    std::vector<SettingsStep*> redoable;   // next redo last
    juce::UndoManager manager { depth, depth };

    JUCE_DECLARE_NON_COPYABLE (SettingsHistory)
};
