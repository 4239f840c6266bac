// An inbound message is untrusted: whatever bytes arrive, looking up the address and decoding
// into the block must not crash, read outside the message or leave a value out of range.

#include "Croot.h"
#include "Ciosiggen.h"
#include "Ciospeaker.h"

#include <oscpack/osc/OscReceivedElements.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
    std::size_t roundUp4 (std::size_t n)  { return (n + 3) & ~(std::size_t) 3; }

    /** The size of the NUL-terminated, NUL-padded OSC string at `p`, or 0 if it runs past `end`
        or is not padded with NULs. */
    std::size_t stringSize (const char* p, const char* end)
    {
        const void* nul = p < end ? std::memchr (p, 0, (std::size_t) (end - p)) : nullptr;
        if (nul == nullptr)
            return 0;
        const auto length = (std::size_t) (static_cast<const char*> (nul) - p);
        const auto size = roundUp4 (length + 1);
        if (size > (std::size_t) (end - p))
            return 0;

        // oscpack looks for the terminator only in the last byte of each group of four, so
        // padding that is not all NULs would make it read a different, longer string.
        for (auto i = length; i < size; ++i)
            if (p[i] != '\0')
                return 0;
        return size;
    }

    // oscpack 1.1.0 reads past the end of a message whose blob size runs past it, already
    // while it parses the message, so the raw bytes are measured first (as the hub does).
    bool messageFits (const char* begin, const char* end)
    {
        const auto addressSize = stringSize (begin, end);
        if (addressSize == 0)
            return false;

        const char* tags = begin + addressSize;
        if (tags == end)
            return true;   // no type tags: no arguments
        if (*tags != ',')
            return false;

        const auto tagsSize = stringSize (tags, end);
        if (tagsSize == 0)
            return false;

        const char* arg = tags + tagsSize;
        for (const char* t = tags + 1; *t != '\0'; ++t)
        {
            std::size_t size = 0;
            switch (*t)
            {
                case 'i': case 'f': case 'c': case 'r': case 'm': size = 4; break;
                case 'h': case 't': case 'd': size = 8; break;
                case 'T': case 'F': case 'N': case 'I': case '[': case ']': size = 0; break;
                case 's': case 'S':
                    size = stringSize (arg, end);
                    if (size == 0)
                        return false;
                    break;
                case 'b':
                {
                    if (end - arg < 4)
                        return false;
                    const auto* p = reinterpret_cast<const unsigned char*> (arg);
                    const std::uint32_t length = ((std::uint32_t) p[0] << 24) | ((std::uint32_t) p[1] << 16)
                                               | ((std::uint32_t) p[2] << 8) | p[3];
                    size = 4 + roundUp4 (length);
                    break;
                }
                default:
                    return false;
            }
            if ((std::size_t) (end - arg) < size)
                return false;
            arg += size;
        }
        return true;
    }

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
    static Croot* root = []
    {
        auto* r = new Croot();
        assignAddresses (*r);
        return r;
    }();
    static Ciosiggen siggen;
    static Ciospeaker speaker;

    if (size == 0 || size > 512)
        return 0;

    // Exactly the bytes received, in an allocation of their own (aligned, and any read past
    // the end is caught).
    std::vector<char> copy (data, data + size);
    const char* begin = copy.data();

    try
    {
        if (size % 4 != 0 || begin[0] != '/' || ! messageFits (begin, begin + size))
            return 0;

        osc::ReceivedPacket packet (begin, (osc::osc_bundle_element_size_t) size);
        osc::ReceivedMessage message (packet);

        const char* address = message.AddressPattern();
        Cnode* block = nullptr;
        if (std::strcmp (address, "/siggen") == 0)
            block = &siggen;
        else if (std::strcmp (address, "/speaker") == 0)
            block = &speaker;
        else if (address[0] == '/')
            block = findNode (root, address + 1, (int) std::strlen (address + 1));

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

    checkRanges (*root);
    checkRanges (siggen);
    checkRanges (speaker);
    return 0;
}
