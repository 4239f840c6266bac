#include "SettingsStep.h"

SettingsStep::SettingsStep (SettingsHistory& historyToUse, std::vector<SettingsHistory::Change> changesMade)
    : history (historyToUse),
      switchesMemory (false),
      changes (std::move (changesMade)),
      done (true)
{
}

SettingsStep::SettingsStep (SettingsHistory& historyToUse)
    : history (historyToUse),
      switchesMemory (true)
{
}

SettingsStep::~SettingsStep()
{
    history.stepGone (*this);
}

bool SettingsStep::perform()
{
    if (switchesMemory)
        history.swapMemories();
    else if (! std::exchange (done, false))
        history.putBack (changes, false);

    history.stepPerformed (*this);
    // Never false: the manager would drop the whole history.
    return true;
}

bool SettingsStep::undo()
{
    if (switchesMemory)
        history.swapMemories();
    else
        history.putBack (changes, true);

    history.stepUndone (*this);
    return true;
}

bool SettingsStep::changesMode() const
{
    return switchesMemory ? history.switchChangesMode() : history.stepChangesMode (changes);
}
