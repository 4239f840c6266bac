// Arbitrary bytes as a preset text: split into lines and applied to a whole parameter tree.
// Nothing may crash, hang, read out of bounds or overflow, whatever the text holds.

#include "Croot.h"
#include "PresetText.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // One tree for the whole run, as in the program: presets are applied over each other.
    static const auto root = []
    {
        auto tree = std::make_unique<Croot>();
        assignAddresses (*tree);
        return tree;
    }();

    const auto lines = PresetText::splitLines (reinterpret_cast<const char*> (data), size);
    PresetText::applyLines (*root, lines);

    // Whatever was read must write back as a well-formed text.
    const auto text = PresetText::build (*root);
    if (text.compare (0, 14, PresetText::beginMarker) != 0)
        __builtin_trap();

    return 0;
}
