#include "ModelTable.h"

namespace
{
    struct Row
    {
        const char* modelName;
        DeviceFamily family;
    };

    const Row rows[ModelTable::rowCount] = {
        { "ZR220", DeviceFamily::zr },      { "ZR440", DeviceFamily::zr },      { "ZR220Z", DeviceFamily::zr },
        { "ZR440Z", DeviceFamily::zr },     { "TARVO-1", DeviceFamily::tarvo }, { "TARVO-2", DeviceFamily::tarvo },
        { "TARVO-4", DeviceFamily::tarvo }, { "TARVO-8", DeviceFamily::tarvo }, { "-", DeviceFamily::none },
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

int ModelTable::indexOfModel (const juce::String& name)
{
    for (int index = 0; index < noDevice; ++index)
        if (modelName (index) == name)
            return index;
    return noDevice;
}
