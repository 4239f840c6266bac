// The Setup page's one call into the main panel.  Kept apart from the page so that the
// page's tests can link their own stand-in for the panel.

#include "CSetupPage.h"
#include "Globals.h"
#include "RemoteControl.h"

void showDeviceOnPanel (int modelIndex)
{
    if (auto* panel = globals::panel)
        panel->setDeviceLabel (modelIndex);
}
