#pragma once

#include "BlockWatch.h"
#include "PacketSink.h"
#include <juce_events/juce_events.h>

class SettingsHistory;

/** Tells the edit history what is edited and what the amplifier answers.

    It stands in front of the hub as the packet sink: every block a page sends from the
    message thread is an edit of that block (the sweep thread's generator frequencies are
    not, nor are the history's own sends, which it ignores itself); and as the block watch
    it hears every block the amplifier's values were decoded into.  Both are installed for
    its lifetime, which must lie within the hub's.
*/
class EditWatch : public PacketSink, public BlockWatch
{
public:
    explicit EditWatch (SettingsHistory& history);
    ~EditWatch() override;

    /** Passes the packet on to the sink that was installed before (the hub). */
    void sendPacket (OutboundPacketPtr packet) override;

    void blockDecoded (Cnode& block) override;

    /** From now on the history hears nothing more; the sink stays in front of the hub (a
        sweep thread may still be sending through it) until this goes. */
    void stopTelling();

private:
    SettingsHistory& history;
    bool telling = true;   // message thread only
    PacketSink* const next;
    BlockWatch* const previousWatch;

    JUCE_DECLARE_NON_COPYABLE (EditWatch)
};
