#pragma once

#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"

#include <vector>

/** The amplifier's settings with no window: the parameter tree with its addresses, and the two
    blocks that live outside it, the speaker setting ("/speaker") and the signal generator
    ("/siggen").  In the program the main window builds the tree and the Configuration and
    Utility pages own the two blocks; zr-ctl keeps one of these per amplifier, and the tests
    and fuzz targets build theirs here.  Nothing is published in the globals: that is the
    owner's decision.  Message thread only. */
class HeadlessModel
{
public:
    /** The tree at step zero everywhere, every node with its address. */
    HeadlessModel();

    HeadlessModel (const HeadlessModel&) = delete;
    HeadlessModel& operator= (const HeadlessModel&) = delete;

    /** The node at a tree path such as "channel/1/peq/3" (no leading "/"), or null. */
    Cnode* find (const char* path);

    /** The node an amplifier message with this address decodes into, found as the hub finds
        it: the speaker for "/speaker", the generator for "/siggen", otherwise the tree's node
        at the address ("/channel/1/delay"); null when there is none. */
    Cnode* nodeFor (const char* address);

    /** Every block the program sends: the tree's in tree order, then the generator and the
        speaker. */
    std::vector<Cnode*> blocks();

    Croot root;
    Ciospeaker speaker;
    Ciosiggen siggen;
};
