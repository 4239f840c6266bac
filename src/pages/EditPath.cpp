#include "EditPath.h"

#include "Cblock.h"
#include "Globals.h"

namespace EditPath
{
    void blockEdited (Cblock& block, Cblock* follower)
    {
        block.send (block.address);
        if (globals::editObserver != nullptr)
            globals::editObserver->blockEdited (block, block.address, follower);
    }

    void standaloneBlockEdited (Cblock& block, const char* address)
    {
        block.send (address);
        if (globals::editObserver != nullptr)
            globals::editObserver->blockEdited (block, address, nullptr);
    }

    void gainsEdited (float gainA, float gainB, bool muteA, bool muteB)
    {
        if (globals::editObserver != nullptr)
            globals::editObserver->gainsEdited (gainA, gainB, muteA, muteB);
    }
}
