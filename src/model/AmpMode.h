#pragma once

/** The amplifier mode: the steps of the amplifier-mode block (Cioampmode), in the order of
    its labels "DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE" and of the Configuration page's
    buttons "Dual Mono" .. "Bridge".

    The pages hand modes around as the block's step (an int); they read it with fromStep()
    and ask the mode what it means instead of comparing numbers.  Any thread.
*/
class AmpMode
{
public:
    enum Value : int
    {
        dualMono = 0,
        stereo = 1,
        biAmp1 = 2,
        biAmp2 = 3,
        bridge = 4
    };

    /** How many modes there are. */
    static constexpr int count = 5;

    constexpr AmpMode (Value mode = dualMono) noexcept
        : value (mode)
    {
    }

    /** True for the steps 0 .. 4. */
    static constexpr bool isValidStep (int step) noexcept { return step >= 0 && step < count; }

    /** The mode of step `step`; a step outside 0 .. 4 reads as Dual Mono. */
    static constexpr AmpMode fromStep (int step) noexcept
    {
        return isValidStep (step) ? AmpMode (static_cast<Value> (step)) : AmpMode (dualMono);
    }

    /** The block's step of the mode, 0 .. 4. */
    constexpr int step() const noexcept { return value; }

    constexpr operator Value() const noexcept { return value; }

    /** Stereo and Bridge: channel B follows channel A.  Its widgets are hidden, its
        parameters mirror channel A's and only channel A's messages are sent. */
    constexpr bool followsA() const noexcept { return value == stereo || value == bridge; }

    /** Bi-Amp 1 and Bi-Amp 2: one input split into a low band (A) and a high band (B). */
    constexpr bool isBiAmp() const noexcept { return value == biAmp1 || value == biAmp2; }

private:
    Value value;
};
