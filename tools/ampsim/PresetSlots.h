#pragma once

#include "SimSettings.h"

#include <array>
#include <string>

/** The amplifier's 20 preset slots.

    Each slot holds a name, an amplifier mode (0..4, or 5 for none) and the settings of the
    39 preset blocks in the simulator's own form (SimSettings::PresetValues).  Slot 1 holds
    the factory settings under the name "INIT_DATA" and cannot be written; the other slots
    start empty (no name, mode 5, no settings).
*/
class PresetSlots
{
public:
    static constexpr int count = 20;
    static constexpr int readOnlySlot = 1;
    static constexpr int noMode = 5;
    /** Longest stored name: a "/preset/name" answer with it still fits 64 bytes. */
    static constexpr std::size_t maxNameLength = 31;

    struct Slot
    {
        std::string name;
        int mode = noMode;
        SimSettings::PresetValues values;   // empty: nothing stored

        bool isEmpty() const noexcept { return values.empty(); }
    };

    /** Slot 1 holds `factorySettings` under the name "INIT_DATA" with mode 0. */
    explicit PresetSlots (SimSettings::PresetValues factorySettings);

    /** The slot numbered n (1..20), or null for any other number. */
    const Slot* find (int n) const;

    /** True for the slots a store may change (2..20). */
    static bool isWritable (int n) noexcept { return n > readOnlySlot && n <= count; }

    /** Stores settings in slot n; the name is cut to maxNameLength bytes and a mode outside
        0..4 becomes 5.  False (nothing changes) when the slot is not writable. */
    bool store (int n, int mode, const std::string& name, SimSettings::PresetValues values);

private:
    std::array<Slot, count> slots;
};
