#pragma once

#include "Cblock.h"

/** The signal generator, "/siggen" ,iff: input (int32), gain (dB), freq (Hz).

    Standalone: built by the Utility page, never in the tree and without an address; it is
    sent with "/siggen".  "scan" is the page's sweep rate and not part of the message.
*/
class Ciosiggen : public Cblock
{
public:
    Ciosiggen();

    /** Reads input, gain and freq (,iff); "scan" is untouched. */
    void decode (osc::ReceivedMessageArgumentStream& args) override;
    using Cblock::encode;
    /** Writes input, gain and freq (,iff). */
    bool encode (osc::OutboundPacketStream& stream, const char* address) const override;

    /** 0 off, 1 .. 3 the chosen signal. */
    Cparam* input;
    /** -40 .. 0 dB in 0.5 dB steps. */
    Cparam* gain;
    /** 20 Hz .. 20 kHz, 600 logarithmic steps. */
    Cparam* freq;
    /** Sweep rate 5 .. 30; starts at 5. */
    Cparam* scan;

private:
    static constexpr int argumentCount = 3;
    Cparam* arguments[argumentCount];   // the message's order: input, gain, freq
};
