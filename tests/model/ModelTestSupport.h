#pragma once

#include "TestModel.h"

#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <gtest/gtest.h>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

/** Every parameter step below `node`, in tree order: a snapshot to compare. */
inline std::vector<int> allSteps (const Cnode& node)
{
    std::vector<int> steps;
    for (auto* child = node.firstChild; child != &node; child = child->next)
    {
        if (child->isParameter())
        {
            steps.push_back (static_cast<const Cparam*> (child)->step);
        }
        else
        {
            const auto below = allSteps (*child);
            steps.insert (steps.end(), below.begin(), below.end());
        }
    }
    return steps;
}

/** An inbound OSC message built with oscpack, decoded the way the hub does it. */
class Inbound
{
public:
    explicit Inbound (const char* address) { stream << osc::BeginMessage (address); }

    template <typename T>
    Inbound& operator<< (T value)
    {
        stream << value;
        return *this;
    }

    /** Looks the address up below `root` (without the leading "/") and decodes into it. */
    void deliverTo (Cnode& root)
    {
        auto message = finish();
        const char* address = message.AddressPattern() + 1;
        auto* node = findNode (&root, address, (int) std::strlen (address));
        if (node == nullptr)
            throw std::runtime_error ("address not found");
        auto args = message.ArgumentStream();
        node->decode (args);
    }

    /** Decodes into a standalone block. */
    void decodeInto (Cblock& block)
    {
        auto message = finish();
        auto args = message.ArgumentStream();
        block.decode (args);
    }

private:
    osc::ReceivedMessage finish()
    {
        stream << osc::EndMessage;
        return osc::ReceivedMessage (
            osc::ReceivedPacket (stream.Data(), (osc::osc_bundle_element_size_t) stream.Size()));
    }

    alignas (4) char buffer[256] {};
    osc::OutboundPacketStream stream { buffer, sizeof (buffer) };
};

inline std::string blockText (Cnode& block)
{
    char text[nodeTextCapacity];
    EXPECT_EQ (block.toText (text, sizeof (text)), 0);
    return text;
}
