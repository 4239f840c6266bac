// Arbitrary bytes as a preset text: split into lines and applied to a whole parameter tree.
// Nothing may crash, hang, read out of bounds or overflow, whatever the text holds.

#include "HeadlessModel.h"
#include "PresetText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // One tree for the whole run, as in the program: presets are applied over each other.
    static HeadlessModel model;

    const auto lines = PresetText::splitLines (reinterpret_cast<const char*> (data), size);
    PresetText::applyLines (model.root, lines);

    // Whatever was read must write back as a well-formed text.
    const auto text = PresetText::build (model.root);
    if (text.compare (0, 14, PresetText::beginMarker) != 0)
        __builtin_trap();

    return 0;
}
