#pragma once

// Where every settings edit a user makes ends: on a page (a knob, a list, an entry, a
// button, a graph handle, "Reset", a preset file loaded) and on the panel (the input gains
// and mutes).  The edit is sent, and an observer (globals::editObserver, none today) hears
// of it: the one place for undo and redo, an A/B compare or a remote to follow the user.
// Changes that arrive from the amplifier never pass here.  Message thread only.

class Cblock;

/** Hears every user edit once it is sent.  Installed as globals::editObserver. */
class EditObserver
{
public:
    virtual ~EditObserver() = default;

    /** `block` was edited and sent to `address`.  `follower` is channel B's block that took
        the same values because channel B follows channel A (Stereo, Bridge): changed in the
        tree, never sent; null otherwise. */
    virtual void blockEdited (Cblock& block, const char* address, Cblock* follower) = 0;

    /** The panel's input gains (dB) and mutes were edited and sent ("/gain"). */
    virtual void gainsEdited (float gainA, float gainB, bool muteA, bool muteB) = 0;
};

namespace EditPath
{
    /** The end of a user edit of a block of the tree: sends `block` to its own address and
        tells the observer.  `follower`: channel B's copy of it while B follows A, which is
        not sent (only channel A's messages are). */
    void blockEdited (Cblock& block, Cblock* follower = nullptr);

    /** The same for a block outside the tree (the speaker, the signal generator), which has
        no address of its own: sent to `address` ("/speaker", "/siggen"). */
    void standaloneBlockEdited (Cblock& block, const char* address);

    /** The panel sent its input gains and mutes: tells the observer. */
    void gainsEdited (float gainA, float gainB, bool muteA, bool muteB);
}
