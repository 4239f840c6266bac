// An inbound message is untrusted: whatever bytes arrive, looking up the address and decoding
// into the block must not crash, read outside the message or leave a value out of range.

#include "HeadlessModel.h"
#include "OscMessageCheck.h"

#include <oscpack/osc/OscReceivedElements.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
    void checkRanges (const Cnode& node)
    {
        for (auto* child = node.firstChild; child != &node; child = child->next)
        {
            if (child->isParameter())
            {
                const auto& p = *static_cast<const Cparam*> (child);
                if (p.step < p.minStep || p.step > p.maxStep)
                    std::abort();
            }
            else
            {
                checkRanges (*child);
            }
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    static auto* model = new HeadlessModel();

    if (size == 0 || size > 512)
        return 0;

    // Exactly the bytes received, in an allocation of their own (aligned, and any read past
    // the end is caught).
    std::vector<char> copy (data, data + size);
    const char* begin = copy.data();

    try
    {
        // What the program receives is measured before oscpack parses it (the hub does the same).
        if (! isWellFormedOscMessage (begin, size))
            return 0;

        osc::ReceivedPacket packet (begin, (osc::osc_bundle_element_size_t) size);
        osc::ReceivedMessage message (packet);

        Cnode* block = model->nodeFor (message.AddressPattern());
        if (block == nullptr)
            return 0;

        auto args = message.ArgumentStream();
        block->decode (args);

        char text[nodeTextCapacity];
        block->toText (text, sizeof (text));
        block->send (block->address);   // no sink: built and freed
    }
    catch (const osc::Exception&)
    {
    }

    checkRanges (model->root);
    checkRanges (model->siggen);
    checkRanges (model->speaker);
    return 0;
}
