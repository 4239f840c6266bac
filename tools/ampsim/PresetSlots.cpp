#include "PresetSlots.h"
#include "PresetText.h"

#include <cstring>

PresetSlots::PresetSlots()
{
    auto& initial = slots[readOnlySlot - 1];
    initial.name = "INIT_DATA";
    initial.mode = 0;
    initial.lines = PresetText::splitLines (PresetText::defaultPreset, std::strlen (PresetText::defaultPreset));
}

const PresetSlots::Slot* PresetSlots::find (int n) const
{
    if (n < 1 || n > count)
        return nullptr;
    return &slots[(std::size_t) n - 1];
}

bool PresetSlots::store (int n, int mode, const std::string& name, std::vector<std::string> lines)
{
    if (! isWritable (n))
        return false;

    auto& slot = slots[(std::size_t) n - 1];
    slot.name = name.substr (0, maxNameLength);
    slot.mode = mode >= 0 && mode < noMode ? mode : noMode;
    slot.lines = std::move (lines);
    return true;
}
