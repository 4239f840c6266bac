#pragma once

#include "DeviceFamily.h"
#include <juce_core/juce_core.h>

/** The amplifier models the program knows, by the model index an amplifier reports in its
    "/info" answer: 0..3 the ZR family, 4..7 the TARVO family, 8 for no device.

    Any index outside 0..8 is read as 8, so a stray number can never pick a row that does
    not exist.  Constant data; any thread.
*/
class ModelTable
{
public:
    /** The index that stands for "no device". */
    static constexpr int noDevice = 8;
    /** Rows in the table, "no device" included. */
    static constexpr int rowCount = 9;

    /** `index` when it names a row (0..8), otherwise noDevice. */
    static int checkedIndex (int index) noexcept;

    /** "ZR220" ... "TARVO-8", or "-" for no device. */
    static juce::String modelName (int index);

    /** The index whose model name is `name` ("ZR220" ... "TARVO-8"), else noDevice. */
    static int indexOfModel (const juce::String& name);

    /** The window title for the model: "[Device: ZR440]", or "[not connected!]". */
    static juce::String deviceLabel (int index);

    static DeviceFamily family (int index) noexcept;

    /** True for the ZR family (0..3): the input gains and the signal generator exist. */
    static bool isZr (int index) noexcept { return family (index) == DeviceFamily::zr; }

    // What the Configuration page's rules need to know of a model.

    /** Volts peak at the limiter's 0 dBfs: 80 (ZR220) .. 165 (TARVO-8); 100 for no device. */
    static float fullScaleVp (int index) noexcept;

    /** False for the models that cannot bridge their outputs (ZR220Z, ZR440Z, TARVO-4,
        TARVO-8); true for the others and for no device. */
    static bool allowsBridge (int index) noexcept;

    /** True for the constant-voltage models (ZR220Z, ZR440Z): their outputs drive 100 V or
        70 V lines instead of a load in ohms. */
    static bool hasLineVoltageOutputs (int index) noexcept;

    /** False for the TARVO-4, which takes no 2 Ohm load (4 Ohm is its lowest). */
    static bool takesTwoOhmLoad (int index) noexcept;
};
