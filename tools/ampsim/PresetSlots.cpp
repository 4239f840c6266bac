#include "PresetSlots.h"

PresetSlots::PresetSlots (SimSettings::PresetValues factorySettings)
{
    auto& initial = slots[readOnlySlot - 1];
    initial.name = "INIT_DATA";
    initial.mode = 0;
    initial.values = std::move (factorySettings);
}

const PresetSlots::Slot* PresetSlots::find (int n) const
{
    if (n < 1 || n > count)
        return nullptr;
    return &slots[(std::size_t) n - 1];
}

bool PresetSlots::store (int n, int mode, const std::string& name, SimSettings::PresetValues values)
{
    if (! isWritable (n))
        return false;

    auto& slot = slots[(std::size_t) n - 1];
    slot.name = name.substr (0, maxNameLength);
    slot.mode = mode >= 0 && mode < noMode ? mode : noMode;
    slot.values = std::move (values);
    return true;
}
