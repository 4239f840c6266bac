#include "ModelTable.h"

namespace
{
    struct Row
    {
        const char* modelName;
        DeviceFamily family;
        float fullScaleVp;
        bool bridge;
        bool lineVoltage;
        bool twoOhmLoad;
    };

    using F = DeviceFamily;
    const Row rows[ModelTable::rowCount] = {
        // name, family, volts peak at 0 dBfs, bridges, drives 100 V / 70 V lines, takes 2 Ohm
        { "ZR220", F::zr, 80.0f, true, false, true },         { "ZR440", F::zr, 94.0f, true, false, true },
        { "ZR220Z", F::zr, 100.0f, false, true, true },       { "ZR440Z", F::zr, 100.0f, false, true, true },
        { "TARVO-1", F::tarvo, 50.0f, true, false, true },    { "TARVO-2", F::tarvo, 85.0f, true, false, true },
        { "TARVO-4", F::tarvo, 160.0f, false, false, false }, { "TARVO-8", F::tarvo, 165.0f, false, false, true },
        { "-", F::none, 100.0f, true, false, true },
    };
}

int ModelTable::checkedIndex (int index) noexcept
{
    return index >= 0 && index < rowCount ? index : noDevice;
}

juce::String ModelTable::modelName (int index)
{
    return rows[checkedIndex (index)].modelName;
}

juce::String ModelTable::deviceLabel (int index)
{
    const int row = checkedIndex (index);
    if (row == noDevice)
        return "[not connected!]";

    return "[Device: " + juce::String (rows[row].modelName) + "]";
}

DeviceFamily ModelTable::family (int index) noexcept
{
    return rows[checkedIndex (index)].family;
}

float ModelTable::fullScaleVp (int index) noexcept
{
    return rows[checkedIndex (index)].fullScaleVp;
}

bool ModelTable::allowsBridge (int index) noexcept
{
    return rows[checkedIndex (index)].bridge;
}

bool ModelTable::hasLineVoltageOutputs (int index) noexcept
{
    return rows[checkedIndex (index)].lineVoltage;
}

bool ModelTable::takesTwoOhmLoad (int index) noexcept
{
    return rows[checkedIndex (index)].twoOhmLoad;
}

int ModelTable::indexOfModel (const juce::String& name)
{
    for (int index = 0; index < noDevice; ++index)
        if (modelName (index) == name)
            return index;
    return noDevice;
}
