#pragma once

#include "SettingsHistory.h"

/** One step of the edit history, one transaction of its juce::UndoManager.

    An edit step holds, for exactly the parts it changed, their lines before and after; the
    edit itself has already happened when it is recorded, so its first perform() changes
    nothing.  A switch step exchanges the tree and the other A/B memory, which is its own
    inverse: perform() and undo() both switch.  Both tell the history where they stand, so
    it can say what the next undo or redo will do before it is done.
*/
class SettingsStep : public juce::UndoableAction
{
public:
    /** An edit that has already happened. */
    SettingsStep (SettingsHistory& history, std::vector<SettingsHistory::Change> changes);
    /** An A/B switch, done by the first perform(). */
    explicit SettingsStep (SettingsHistory& history);
    ~SettingsStep() override;

    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 1; }

    /** Whether performing (or undoing) it changes the amplifier mode. */
    bool changesMode() const;

private:
    SettingsHistory& history;
    const bool switchesMemory;
    const std::vector<SettingsHistory::Change> changes;
    bool done = false;
};
