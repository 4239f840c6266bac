#pragma once

#include "Cchannel.h"
#include "Cioampmode.h"

/** The root of the parameter tree (name "/", address "").

    The constructor builds the whole tree: "/ampmode", then the "channel" folder with channels
    1 and 2.  The owner then calls assignAddresses (root) once before anything uses it.
*/
class Croot : public Cnode
{
public:
    Croot();

    static constexpr int channelCount = 2;

    Cchannel* channels[channelCount];
    Cioampmode* ampmode;
    Cnode* channelFolder;
};
