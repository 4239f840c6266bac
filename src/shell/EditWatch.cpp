#include "EditWatch.h"

#include "Globals.h"
#include "SettingsHistory.h"

EditWatch::EditWatch (SettingsHistory& historyToTell)
    : history (historyToTell),
      previousObserver (globals::editObserver),
      previousWatch (globals::blockWatch)
{
    globals::editObserver = this;
    globals::blockWatch = this;
}

EditWatch::~EditWatch()
{
    if (globals::editObserver == this)
        globals::editObserver = previousObserver;
    if (globals::blockWatch == this)
        globals::blockWatch = previousWatch;
}

void EditWatch::blockEdited (Cblock&, const char* address, Cblock*)
{
    // Channel B's copy while it follows A is known to the history by its address.
    if (address != nullptr)
        history.noteEdit (address);
}

void EditWatch::gainsEdited (float, float, bool, bool)
{
    history.noteEdit ("/gain");
}

void EditWatch::blockDecoded (Cnode& block)
{
    history.noteDecoded (&block);
}
