#pragma once

#include "Globals.h"
#include "SettingsStore.h"

/** The test process's settings store, installed as globals::settings from its first use to
    the end of the process, as the program's application object does for the program.  It
    reads the settings file of the environment at that time; tests that change the
    environment call reopen(). */
inline SettingsStore& testSettings()
{
    static SettingsStore store;
    static ScopedGlobal<SettingsStore*> installed { globals::settings, &store };
    return store;
}
