#include "ModelTable.h"

namespace
{
    struct Row
    {
        const char* modelName;
        ModelTable::Family family;
    };

    const Row rows[ModelTable::rowCount] = {
        { "ZR220", ModelTable::Family::zr },
        { "ZR440", ModelTable::Family::zr },
        { "ZR220Z", ModelTable::Family::zr },
        { "ZR440Z", ModelTable::Family::zr },
        { "TARVO-1", ModelTable::Family::tarvo },
        { "TARVO-2", ModelTable::Family::tarvo },
        { "TARVO-4", ModelTable::Family::tarvo },
        { "TARVO-8", ModelTable::Family::tarvo },
        { "-", ModelTable::Family::none },
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

ModelTable::Family ModelTable::family (int index) noexcept
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
