#pragma once

class Cnode;

/** Hears of the values that come from the amplifier.

    Installed as globals::blockWatch; a block calls it on the message thread right after it
    has decoded a message and posted its change message.  Edits never reach it: it tells
    the amplifier's own values (answers, echoes, a recalled preset) from the user's.
*/
class BlockWatch
{
public:
    virtual ~BlockWatch() = default;

    /** `block` (a tree block or a standalone one) now holds values the amplifier sent. */
    virtual void blockDecoded (Cnode& block) = 0;
};
