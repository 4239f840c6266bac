#pragma once

#include "Globals.h"

#include <cstdint>

/** The state the pages share through Globals.h (which blocks change the signal, the selected
    handle, the channel each EQ page shows, the response graphs' filter tables) as the program
    starts with it, for one test; the old values come back when it goes. */
struct FreshPageState
{
    ScopedGlobal<BlockActivity> activity { globals::blockActive, BlockActivity {} };
    ScopedGlobal<std::int32_t> selected { globals::selectedHandle, 0 };
    ScopedGlobal<int> peqChannel { globals::peqVisibleChannel, 0 };
    ScopedGlobal<int> deqChannel { globals::deqVisibleChannel, 0 };
    ScopedGlobal<PeqFilterTable> peqTable { globals::peqFilterTable, flatPeqFilterTable() };
    ScopedGlobal<DeqFilterTable> deqTable { globals::deqFilterTable, DeqFilterTable {} };
    ScopedGlobal<DeqLevelGainTable> levelGains { globals::deqLevelGain, DeqLevelGainTable {} };
};
