#pragma once

namespace osc
{
    /** What the hub tells the main panel about the amplifier as a whole.

        Implemented by the main panel; the hub calls these on the message thread only, from
        its dispatch of "/gain", "/meter" and "/peaklimit" and from the offline sequence.
    */
    class PanelOperations
    {
    public:
        virtual ~PanelOperations() = default;

        /** The amplifier's input gains (dB, as sent) and mute states. */
        virtual void setGainsFromDevice (float gainA, float gainB, bool muteA, bool muteB) = 0;

        /** The four level meters as linear levels (1.0 = full scale, 0.0 = silence). */
        virtual void setMeters (float inputA, float inputB, float outputA, float outputB) = 0;

        /** The four lamps: input clip A and B, output limit A and B (true = lit). */
        virtual void setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB) = 0;
    };
}
